#!/usr/bin/env python3
"""The guide's pictures inside docs/guide/quorvex.html as data: URIs, so that the guide stays one file.

Each <img data-picture="NAME" data-scale="N"> holds the generator's NAME.png; its width and height are
the picture's times N. Without --check: writes the pictures from the folder into the guide. With
--check: runs the generator and fails, naming the picture, where the guide holds other pixels (the
pixels are compared, not the bytes: another zlib may pack the same picture otherwise), a size that
does not fit, or a picture the generator no longer makes.
"""
import base64
import re
import struct
import subprocess
import sys
import tempfile
import zlib
from pathlib import Path

IMG = re.compile(r'<img\b[^>]*\bdata-picture="([^"]+)"[^>]*>')


def pixels(png):
    """IHDR and the inflated image data of a PNG."""
    if png[:8] != b'\x89PNG\r\n\x1a\n':
        return None
    at, header, data = 8, b'', b''
    while at + 8 <= len(png):
        length, kind = struct.unpack('>I4s', png[at:at + 8])
        body = png[at + 8:at + 8 + length]
        if kind == b'IHDR':
            header = body
        elif kind == b'IDAT':
            data += body
        at += 12 + length
    return header, zlib.decompress(data)


def size(png):
    return struct.unpack('>II', png[16:24])


def attribute(tag, name):
    m = re.search(r'\b%s="([^"]*)"' % name, tag)
    return m.group(1) if m else None


def with_attribute(tag, name, value):
    if attribute(tag, name) is None:  # added last, so that the hand-written attributes lead
        return tag[:-1].rstrip() + ' %s="%s">' % (name, value)
    return re.sub(r'\b%s="[^"]*"' % name, '%s="%s"' % (name, value), tag, count=1)


def embed(guide, folder):
    def replace(m):
        png = (folder / (m.group(1) + '.png')).read_bytes()
        tag = m.group(0)
        scale = int(attribute(tag, 'data-scale') or 1)
        width, height = size(png)
        tag = with_attribute(tag, 'width', width * scale)
        tag = with_attribute(tag, 'height', height * scale)
        return with_attribute(tag, 'src', 'data:image/png;base64,' + base64.b64encode(png).decode())
    return IMG.sub(replace, guide)


def check(guide, folder):
    problems = []
    made = {p.stem for p in folder.glob('*.png')}
    shown = IMG.findall(guide)
    for name in sorted(made - set(shown)):
        problems.append('%s.png is not in the guide' % name)
    for m in IMG.finditer(guide):
        name, tag = m.group(1), m.group(0)
        if name not in made:
            problems.append('%s: the generator makes no such picture' % name)
            continue
        png = (folder / (name + '.png')).read_bytes()
        src = attribute(tag, 'src') or ''
        prefix = 'data:image/png;base64,'
        held = base64.b64decode(src[len(prefix):]) if src.startswith(prefix) else b''
        if not held or pixels(held) != pixels(png):
            problems.append('%s: the guide holds other pixels than the generator draws now' % name)
        scale = int(attribute(tag, 'data-scale') or 1)
        want = tuple(str(v * scale) for v in size(png))
        if (attribute(tag, 'width'), attribute(tag, 'height')) != want:
            problems.append('%s: width and height are not %s x %s' % ((name,) + want))
    return problems


def main():
    args = sys.argv[1:]
    if len(args) == 3 and args[0] == '--check':
        generator, root = args[1], Path(args[2])
        guide_path = root / 'docs/guide/quorvex.html'
        with tempfile.TemporaryDirectory() as folder:
            subprocess.run([generator, '--guide', folder, str(root / 'res/quorvex.rc')], check=True, timeout=120)
            problems = check(guide_path.read_text(encoding='utf-8'), Path(folder))
        for p in problems:
            print('FAILED:', p)
        print('%d pictures checked' % len(IMG.findall(guide_path.read_text(encoding='utf-8'))))
        print('run ./scripts/pictures to embed the pictures the generator draws now' if problems else 'ok')
        return 1 if problems else 0
    if len(args) == 2:
        guide_path, folder = Path(args[0]), Path(args[1])
        guide_path.write_text(embed(guide_path.read_text(encoding='utf-8'), folder), encoding='utf-8')
        return 0
    print('usage: guide_embed.py GUIDE PICTURE-FOLDER | --check GENERATOR ROOT', file=sys.stderr)
    return 2


if __name__ == '__main__':
    sys.exit(main())
