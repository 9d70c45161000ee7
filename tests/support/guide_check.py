"""Checks the operator's guide: every internal link leads to an anchor that exists (and no
anchor is defined twice), the file is self-contained (no link or source outside it), and every
text of the program's string table that the panel can show is in it.

Usage: guide_check.py GUIDE.html quorvex.rc
"""
import re
import sys
from html.parser import HTMLParser

# String-table texts the operator never sees: the display font's face, the text that sizes a
# status pane, and the pipe names.
NOT_SHOWN = {62020, 62160, 62232, 62233}


class Guide(HTMLParser):
    def __init__(self):
        super().__init__()
        self.ids, self.links, self.outside, self.duplicates, self.text = set(), [], [], [], []

    def handle_starttag(self, tag, attrs):
        for name, value in attrs:
            if name == "id":
                if value in self.ids:
                    self.duplicates.append(value)
                self.ids.add(value)
            elif name == "href":
                (self.links if value.startswith("#") else self.outside).append(f"<{tag} href={value}>")
            elif name == "src" and not value.startswith("data:"):
                self.outside.append(f"<{tag} src={value}>")
        if tag == "link":
            self.outside.append("<link>")

    def handle_data(self, data):
        self.text.append(data)


def normalized(text):
    return " ".join(text.split())


def string_table(rc_path):
    with open(rc_path, encoding="latin-1") as f:
        rc = f.read()
    table = rc[rc.index("STRINGTABLE"):]
    table = table[:table.index("\nEND")]
    texts = {}
    for number, quoted in re.findall(r'^\s*(\d+)\s+"((?:[^"\\]|\\.)*)"', table, re.M):
        texts[int(number)] = re.sub(r"\\(.)", lambda m: {"n": "\n", "t": "\t"}.get(m.group(1), m.group(1)), quoted)
    return texts


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    guide = Guide()
    with open(sys.argv[1], encoding="utf-8") as f:
        guide.feed(f.read())
    problems = [f"anchor defined twice: #{d}" for d in guide.duplicates]
    problems += [f"broken internal link: {link}" for link in guide.links if link.split("#", 1)[1][:-1] not in guide.ids]
    problems += [f"refers outside the file: {o}" for o in guide.outside]
    body = normalized("".join(guide.text))
    texts = string_table(sys.argv[2])
    for number, text in sorted(texts.items()):
        if number in NOT_SHOWN:
            continue
        # Placeholders are filled in at run time: each fixed piece must be in the guide.
        for piece in re.split(r"%[sud]", text):
            if normalized(piece) and normalized(piece) not in body:
                problems.append(f"text {number} is not in the guide: {normalized(piece)!r}")
    for p in problems:
        print("FAILED", p)
    print(f"{len(guide.links)} internal links, {len(texts) - len(NOT_SHOWN)} texts checked, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
