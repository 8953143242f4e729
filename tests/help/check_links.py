#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks the help pages in resources/Ayuda.

Every local link (href, src, linked style sheet) must point to an existing
file, and to an existing anchor when it names one; every page must declare
UTF-8, link back to default.htm and be reachable from default.htm.

Usage: check_links.py [HELP_DIR]   (exit status 0 when all is well, 1 otherwise)
"""
import os
import sys
from html.parser import HTMLParser
from urllib.parse import unquote, urlsplit

ENTRY = "default.htm"


class PageScanner(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.links = []      # (line, attribute value)
        self.anchors = set()
        self.utf8 = False

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        for name in ("href", "src"):
            if a.get(name):
                self.links.append((self.getpos()[0], a[name]))
        for name in ("id", "name"):
            if tag in ("a", "h1", "h2", "h3", "div", "p", "table") and a.get(name):
                self.anchors.add(a[name])
        if tag == "meta":
            if (a.get("charset") or "").lower() == "utf-8":
                self.utf8 = True
            content = (a.get("content") or "").lower().replace(" ", "")
            if "charset=utf-8" in content:
                self.utf8 = True


def scan(path):
    with open(path, encoding="utf-8") as f:   # also proves the file is UTF-8
        text = f.read()
    p = PageScanner()
    p.feed(text)
    p.close()
    return p


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    root = os.path.abspath(argv[1] if len(argv) > 1
                           else os.path.join(here, "..", "..", "resources", "Ayuda"))
    errors = []
    pages = sorted(f for f in os.listdir(root) if f.lower().endswith((".htm", ".html")))
    if ENTRY not in pages:
        print(f"{root}: no {ENTRY}")
        return 1

    scanned = {}
    for page in pages:
        try:
            scanned[page] = scan(os.path.join(root, page))
        except UnicodeDecodeError as e:
            errors.append(f"{page}: not UTF-8 ({e})")

    targets = {}
    for page, p in scanned.items():
        if not p.utf8:
            errors.append(f"{page}: no UTF-8 charset declaration")
        targets[page] = set()
        for line, link in p.links:
            parts = urlsplit(link)
            if parts.scheme or parts.netloc:
                continue   # external address, nothing to check locally
            target = unquote(parts.path) or page
            full = os.path.normpath(os.path.join(root, os.path.dirname(page), target))
            if not os.path.isfile(full):
                errors.append(f"{page}:{line}: broken link {link!r}")
                continue
            rel = os.path.relpath(full, root)
            targets[page].add(rel)
            if parts.fragment:
                anchors = scanned[rel].anchors if rel in scanned else set()
                if parts.fragment not in anchors:
                    errors.append(f"{page}:{line}: missing anchor {link!r}")
        if page != ENTRY and ENTRY not in targets[page]:
            errors.append(f"{page}: no link back to {ENTRY}")

    reached, todo = {ENTRY}, [ENTRY]
    while todo:
        for t in targets.get(todo.pop(), ()):
            if t in scanned and t not in reached:
                reached.add(t)
                todo.append(t)
    for page in scanned:
        if page not in reached:
            errors.append(f"{page}: not reachable from {ENTRY}")

    for e in errors:
        print(e)
    print(f"{len(scanned)} pages checked, {len(errors)} problem(s)")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
