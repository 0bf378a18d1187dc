#!/usr/bin/env python3
"""Makes one self-contained HTML page from the painters' guide in Markdown.

    guide_html.py <guide.md> <page.html> [<depfile>]

The page carries its pictures inside (data: URIs), so it opens from any folder without
a network. It reads the small part of Markdown the guide uses:
  # / ## / ### headings, paragraphs, "- " and "1. " lists (one level), tables with a
  |---| line under the head, ![text](picture) on a line of its own, lines between two
  ``` lines kept as they are, and inside text **bold** and `code`.
Anything else in the syntax is written as plain text. A missing picture, a picture of
an unknown kind, a table row with the wrong number of cells, an unclosed ** or `,
or an unclosed ``` stops the tool with the file, the line and the reason, and no page is written.
The depfile, for the build, names the guide and every picture read.
"""
import base64
import html
import os
import re
import sys

PICTURE_TYPES = {".png": "image/png", ".jpg": "image/jpeg", ".jpeg": "image/jpeg", ".gif": "image/gif"}
STYLE = """body{font-family:"Segoe UI",Tahoma,Arial,sans-serif;font-size:12pt;line-height:1.5;\
max-width:52em;margin:1em auto;padding:0 1em;color:#222}
h1,h2,h3{line-height:1.2}h2{border-bottom:1px solid #ccc;padding-bottom:.2em;margin-top:1.6em}
table{border-collapse:collapse;margin:.8em 0}th,td{border:1px solid #bbb;padding:.3em .5em;vertical-align:top}
th{background:#eee;text-align:left}code{background:#f2f2f2;padding:0 .2em}pre{background:#f2f2f2;padding:.5em;overflow-x:auto}
img{max-width:100%;border:1px solid #ccc}"""

HEADING = re.compile(r"^(#{1,3}) (.+)$")
PICTURE = re.compile(r"^!\[([^\]]*)\]\(([^)\s]+)\)$")
BULLET = re.compile(r"^- (.+)$")
NUMBERED = re.compile(r"^\d+\. (.+)$")
FENCE = "```"
TABLE_RULE = re.compile(r"^\|(\s*:?-+:?\s*\|)+$")
INLINE = re.compile(r"\*\*(.+?)\*\*|`([^`]+)`")


class GuideError(Exception):
    def __init__(self, line, reason):
        super().__init__(reason)
        self.line = line
        self.reason = reason


def inline(text, line):
    """Escapes the text and turns **bold** and `code` into tags."""
    out = []
    pos = 0
    for match in INLINE.finditer(text):
        out.append(html.escape(text[pos:match.start()], quote=False))
        if match.group(1) is not None:
            out.append("<strong>" + html.escape(match.group(1), quote=False) + "</strong>")
        else:
            out.append("<code>" + html.escape(match.group(2), quote=False) + "</code>")
        pos = match.end()
    rest = text[pos:]
    if "**" in rest or "`" in rest:
        raise GuideError(line, "an unclosed ** or `")
    out.append(html.escape(rest, quote=False))
    return "".join(out)


def cells(row):
    return [cell.strip() for cell in row.strip().strip("|").split("|")]


class Page:
    def __init__(self, folder):
        self.folder = folder
        self.parts = []
        self.pictures = []
        self.title = ""

    def picture(self, alt, path, line):
        full = os.path.join(self.folder, path)
        kind = PICTURE_TYPES.get(os.path.splitext(path)[1].lower())
        if kind is None:
            raise GuideError(line, "the picture %s is not PNG, JPEG or GIF" % path)
        try:
            with open(full, "rb") as picture:
                data = base64.b64encode(picture.read()).decode("ascii")
        except OSError as error:
            raise GuideError(line, "cannot read the picture %s: %s" % (path, error.strerror))
        self.pictures.append(full)
        self.parts.append('<p><img src="data:%s;base64,%s" alt="%s"></p>' % (kind, data, html.escape(alt)))

    def table(self, rows, first_line):
        head = cells(rows[0])
        out = ["<table>", "<tr>" + "".join("<th>%s</th>" % inline(c, first_line) for c in head) + "</tr>"]
        for offset, row in enumerate(rows[2:], start=2):
            line = first_line + offset
            row_cells = cells(row)
            if len(row_cells) != len(head):
                raise GuideError(line, "a table row of %d cells under a head of %d" % (len(row_cells), len(head)))
            out.append("<tr>" + "".join("<td>%s</td>" % inline(c, line) for c in row_cells) + "</tr>")
        out.append("</table>")
        self.parts.append("\n".join(out))


def convert(text, folder):
    """Returns the page and the pictures it read; raises GuideError."""
    page = Page(folder)
    lines = text.splitlines()
    i = 0
    while i < len(lines):
        number = i + 1
        line = lines[i].rstrip()
        heading = HEADING.match(line)
        picture = PICTURE.match(line)
        if not line:
            i += 1
        elif heading:
            level = len(heading.group(1))
            if level == 1 and not page.title:
                page.title = heading.group(2)
            page.parts.append("<h%d>%s</h%d>" % (level, inline(heading.group(2), number), level))
            i += 1
        elif line == FENCE:
            end = i + 1
            while end < len(lines) and lines[end].rstrip() != FENCE:
                end += 1
            if end == len(lines):
                raise GuideError(number, "an unclosed ```")
            page.parts.append("<pre>%s</pre>" % html.escape("\n".join(lines[i + 1:end]), quote=False))
            i = end + 1
        elif picture:
            page.picture(picture.group(1), picture.group(2), number)
            i += 1
        elif line.startswith("|") and i + 1 < len(lines) and TABLE_RULE.match(lines[i + 1].strip()):
            end = i
            while end < len(lines) and lines[end].strip().startswith("|"):
                end += 1
            page.table([row.strip() for row in lines[i:end]], number)
            i = end
        elif BULLET.match(line) or NUMBERED.match(line):
            pattern, tag = (BULLET, "ul") if BULLET.match(line) else (NUMBERED, "ol")
            items = []
            while i < len(lines) and lines[i].strip():
                item = pattern.match(lines[i].rstrip())
                if item:
                    items.append(inline(item.group(1), i + 1))
                else:  # a continuation line of the item above
                    items[-1] += " " + inline(lines[i].strip(), i + 1)
                i += 1
            page.parts.append("<%s>%s</%s>" % (tag, "".join("<li>%s</li>" % item for item in items), tag))
        else:
            paragraph = [inline(line.strip(), number)]
            i += 1
            while i < len(lines) and lines[i].strip() and not (
                HEADING.match(lines[i]) or PICTURE.match(lines[i].rstrip()) or lines[i].startswith(("|", FENCE))
                or BULLET.match(lines[i]) or NUMBERED.match(lines[i])
            ):
                paragraph.append(inline(lines[i].strip(), i + 1))
                i += 1
            page.parts.append("<p>%s</p>" % " ".join(paragraph))
    document = (
        '<!DOCTYPE html>\n<html lang="ru">\n<head>\n<meta charset="utf-8">\n<title>%s</title>\n'
        "<style>\n%s\n</style>\n</head>\n<body>\n%s\n</body>\n</html>\n"
        % (html.escape(page.title), STYLE, "\n".join(page.parts))
    )
    return document, page.pictures


def depfile_path(path):
    return path.replace("\\", "/").replace(" ", "\\ ")


def main(argv):
    if len(argv) not in (3, 4):
        sys.stderr.write("usage: guide_html.py <guide.md> <page.html> [<depfile>]\n")
        return 2
    source, target = argv[1], argv[2]
    try:
        with open(source, encoding="utf-8") as guide:
            text = guide.read()
    except (OSError, UnicodeDecodeError) as error:
        sys.stderr.write("%s: cannot read: %s\n" % (source, error))
        return 1
    try:
        document, pictures = convert(text, os.path.dirname(os.path.abspath(source)))
    except GuideError as error:
        sys.stderr.write("%s:%d: %s\n" % (source, error.line, error.reason))
        return 1
    # Written whole and then renamed, so a failed run never leaves half a page.
    temporary = target + ".tmp"
    with open(temporary, "w", encoding="utf-8", newline="\n") as page:
        page.write(document)
    os.replace(temporary, target)
    if len(argv) == 4:
        with open(argv[3], "w", encoding="utf-8") as depfile:
            depfile.write("%s: %s\n" % (depfile_path(target), " ".join(depfile_path(p) for p in [source] + pictures)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
