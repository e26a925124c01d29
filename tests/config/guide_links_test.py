#!/usr/bin/env python3
"""Every relative link of the Markdown guides leads somewhere: the file or folder it names
exists, and its #anchor is a heading of the Markdown file it names, as GitHub makes a heading's
anchor. Code (indented, fenced or in backticks) holds no links.
  guide_links_test.py SOURCE_DIR"""
import pathlib
import re
import sys

root = pathlib.Path(sys.argv[1]).resolve()
guides = sorted({root / "README.md", root / "CHANGELOG.md", *root.glob("docs/*.md"), *root.glob("docs/*/*.md")})
link = re.compile(r"!?\[(?:[^\]]|\][^(])*\]\(([^)\s]+)(?:\s+\"[^\"]*\")?\)")


def prose(path, span=""):
    """The lines of the file outside code blocks, each code span replaced by span ("\\2" keeps
    its text)."""
    fenced = False
    for line in path.read_text(encoding="utf-8").splitlines():
        if line.lstrip().startswith(("```", "~~~")):
            fenced = not fenced
        elif not fenced and not line.startswith("    "):
            yield re.sub(r"(`+)(.*?)\1", span, line)


def anchors(path):
    """GitHub's anchors of the file's headings: the text as shown, lower case, without what is
    no letter, digit, space, hyphen or underscore, spaces as hyphens; a repeated one numbered."""
    seen = {}
    for line in prose(path, r"\2") if path.suffix == ".md" else ():
        heading = re.match(r"#{1,6}\s+(.*?)\s*#*\s*$", line)
        if not heading:
            continue
        text = re.sub(r"\[([^\]]*)\]\([^)]*\)", r"\1", heading.group(1))
        anchor = re.sub(r"[^\w\- ]", "", text.lower()).replace(" ", "-")
        count = seen.get(anchor, 0)
        seen[anchor] = count + 1
        yield anchor if count == 0 else f"{anchor}-{count}"


broken = []
links = 0
for guide in guides:
    for line in prose(guide):
        for target in link.findall(line):
            if re.match(r"[a-z]+:", target):
                continue
            links += 1
            name, _, anchor = target.partition("#")
            path = (guide.parent / name).resolve() if name else guide
            if not path.exists():
                broken.append(f"{guide.relative_to(root)}: {target}: no {name}")
            elif anchor and anchor not in set(anchors(path)):
                broken.append(f"{guide.relative_to(root)}: {target}: no heading #{anchor}")

for message in broken:
    print("FAIL:", message, file=sys.stderr)
print(f"guide links: {links} links in {len(guides)} guides, {len(broken)} broken")
sys.exit(1 if broken or links < 20 else 0)
