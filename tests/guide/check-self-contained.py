#!/usr/bin/env python3
"""The guide page needs nothing outside itself: it has pictures, and every address in it
(src, href) is a data: URI or a place on the page itself.
    check-self-contained.py <page.html>"""
import sys
from html.parser import HTMLParser


class Addresses(HTMLParser):
    def __init__(self):
        super().__init__()
        self.outside = []
        self.pictures = 0

    def handle_starttag(self, tag, attrs):
        self.pictures += tag == "img"
        for name, value in attrs:
            if name in ("src", "href", "srcset") and not (value or "").startswith(("data:", "#")):
                self.outside.append("<%s %s=%s>" % (tag, name, value))


page = Addresses()
with open(sys.argv[1], encoding="utf-8") as text:
    page.feed(text.read())
for address in page.outside:
    print("FAIL: an address outside the page: " + address[:200])
if page.pictures == 0:
    print("FAIL: the page has no pictures")
sys.exit(1 if page.outside or page.pictures == 0 else 0)
