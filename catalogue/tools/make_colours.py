#!/usr/bin/env python3
"""Writes catalogue/colours.txt from the RAL Classic reference table.

Usage: make_colours.py [path to ral_classic_ru.tsv]
The table (header code, rgb, hex, name_ru, name_en) lives in the shared reference
data beside the repository; each row becomes "code<TAB>r-g-b<TAB>English name<TAB>
Russian name". The program does not read the third field.
"""

import os
import sys

from catalogue_tables import CATALOGUE_DIR, catalogue_path, read_lines, write_text

DEFAULT_TSV = os.path.join(CATALOGUE_DIR, "..", "..", "shared", "data", "ral_classic_ru.tsv")


def main():
    tsv = sys.argv[1] if len(sys.argv) > 1 else DEFAULT_TSV
    rows = read_lines(tsv)
    header = rows[0].split("\t")
    column = {name: header.index(name) for name in ("code", "rgb", "name_ru", "name_en")}
    lines = []
    for row in rows[1:]:
        if not row.strip():
            continue
        fields = row.split("\t")
        lines.append("\t".join(fields[column[name]] for name in ("code", "rgb", "name_en", "name_ru")))
    write_text(catalogue_path("colours.txt"), lines)
    print(f"colours.txt: {len(lines)} colours")


if __name__ == "__main__":
    main()
