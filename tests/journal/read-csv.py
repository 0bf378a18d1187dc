"""Reads a journal export as a spreadsheet would and prints it for the test to check:
"BOM" when the file starts with one, then each row's fields joined by "|"."""
import csv
import sys

with open(sys.argv[1], "rb") as raw:
    print("BOM" if raw.read(3) == b"\xef\xbb\xbf" else "no BOM")
with open(sys.argv[1], newline="", encoding="utf-8-sig") as text:
    for row in csv.reader(text, delimiter=";", strict=True):
        print("|".join(row))
