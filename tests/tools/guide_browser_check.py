#!/usr/bin/env python3
"""The operator's guide in a real browser (headless Chromium): every picture loads and the page
refers to nothing outside its own file (every src and href is a data: URI or an anchor of the
page, and the browser fetched nothing else). Not run, exit 77, when chromium is not installed."""
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

TIME_LIMIT = 60
# Runs once the page and its pictures have loaded; its verdict goes into the page for --dump-dom.
PROBE = """<script>
window.addEventListener('load', () => {
  const problems = [];
  for (const img of document.images)
    if (!img.complete || img.naturalWidth === 0) problems.push('picture not loaded: ' + (img.alt || img.src.slice(0, 60)));
  for (const e of document.querySelectorAll('[src], [href], [srcset], [poster]'))
    for (const name of ['src', 'href', 'srcset', 'poster']) {
      const v = e.getAttribute(name);
      if (v === null || v.startsWith('data:')) continue;
      if (name === 'href' && v.startsWith('#') && document.getElementById(v.slice(1))) continue;
      problems.push((v.startsWith('#') ? 'broken anchor: ' : 'reference outside the file: ') + name + '=' + v);
    }
  for (const r of performance.getEntriesByType('resource'))
    if (!r.name.startsWith('data:')) problems.push('fetched: ' + r.name);
  const out = document.createElement('pre');
  out.id = 'guide-check';
  out.textContent = 'pictures ' + document.images.length + '\\n' + problems.join('\\n');
  document.body.appendChild(out);
});
</script>
"""


def main():
    root = Path(sys.argv[1])
    browser = shutil.which('chromium')
    if not browser:
        print('not run: guide.browser (chromium is not installed: scripts/lib/packages.sh could not install it)')
        return 77
    guide = (root / 'docs/guide/quorvex.html').read_text(encoding='utf-8')
    if '</body>' not in guide:
        print('FAILED: the guide has no </body>')
        return 1
    with tempfile.TemporaryDirectory() as work:
        page = Path(work) / 'quorvex.html'
        page.write_text(guide.replace('</body>', PROBE + '</body>', 1), encoding='utf-8')
        command = [browser, '--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
                   '--user-data-dir=' + str(Path(work) / 'profile'), '--virtual-time-budget=1000',
                   '--dump-dom', page.as_uri()]
        try:
            run = subprocess.run(command, capture_output=True, text=True, timeout=TIME_LIMIT)
        except subprocess.TimeoutExpired:
            print('FAILED: chromium did not print the page within %d s' % TIME_LIMIT)
            return 1
    found = re.search(r'<pre id="guide-check">(.*?)</pre>', run.stdout, re.S)
    if not found:
        print('FAILED: the page never finished loading in chromium (exit %d)' % run.returncode)
        print(run.stderr[-2000:])
        return 1
    lines = found.group(1).strip().split('\n')
    print(lines[0])
    for problem in lines[1:]:
        print('FAILED:', problem)
    if lines[0] == 'pictures 0':
        print('FAILED: the guide shows no pictures')
        return 1
    return 1 if len(lines) > 1 else 0


if __name__ == '__main__':
    sys.exit(main())
