"""Reading the catalogue's UTF-8 tables; shared by the generators in this folder."""

import os

CATALOGUE_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def catalogue_path(name):
    return os.path.join(CATALOGUE_DIR, name)


def read_lines(path):
    with open(path, encoding="utf-8", newline="") as f:
        return f.read().splitlines()


def write_text(path, lines):
    """Writes lines ended by LF, as every table of the catalogue keeps them."""
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("".join(line + "\n" for line in lines))


def read_colours(path=None):
    """[(code, number, (r, g, b), name)] from colours.txt, in file order."""
    colours = []
    for line in read_lines(path or catalogue_path("colours.txt")):
        fields = line.split("\t")
        if len(fields) < 4:
            continue
        code = fields[0]
        number = int(code.split(" ")[1])
        rgb = tuple(int(part) for part in fields[1].split("-"))
        colours.append((code, number, rgb, fields[3]))
    return colours


def read_pigment_codes(path=None):
    """Codes of the pigment pastes ("P" lines) of components.txt, in file order."""
    codes = []
    for line in read_lines(path or catalogue_path("components.txt")):
        fields = line.split("\t")
        if len(fields) >= 3 and fields[0][:1] in ("P", "p"):
            codes.append(fields[2])
    return codes
