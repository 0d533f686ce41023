#!/usr/bin/env python3
"""Turns the user guide from Markdown into one web page for the desktop's browser.

Usage: guide_html.py Anleitung.md Anleitung.html

The page keeps the guide's structure for a screen reader: headings with anchors and a table of
contents of links to them, tables with header cells, pictures with their descriptions as alternative
texts. It is written to a temporary file first, so that a failed run leaves no half page behind.
"""
import html
import os
import re
import sys

import markdown

STYLE = """
body { font-family: sans-serif; line-height: 1.45; max-width: 60em; margin: 0 auto; padding: 1em; color: #1a1a1a; }
img { max-width: 100%; height: auto; border: 1px solid #767676; }
table { border-collapse: collapse; margin: 0.5em 0; }
th, td { border: 1px solid #767676; padding: 0.25em 0.5em; text-align: left; vertical-align: top; }
code, pre { font-family: monospace; background: #f2f2f2; }
pre { padding: 0.5em; overflow-x: auto; }
nav { border: 1px solid #767676; padding: 0 1em; margin: 1em 0; }
a:focus { outline: 3px solid #1a1a1a; }
"""


def page(source):
    converter = markdown.Markdown(extensions=["tables", "toc", "sane_lists"],
                                  extension_configs={"toc": {"toc_depth": "2-3"}})
    body = converter.convert(source)
    first = re.search(r"<h1[^>]*>(.*?)</h1>", body, re.S)
    title = html.unescape(re.sub(r"<[^>]+>", "", first.group(1))) if first else "Anleitung"
    # The contents after the first heading, which is the page's title.
    contents = '<nav aria-label="Inhalt">\n' + converter.toc + "</nav>\n"
    end = body.find("</h1>")
    body = body[:end + 5] + "\n" + contents + body[end + 5:] if end >= 0 else contents + body
    return ('<!DOCTYPE html>\n<html lang="de">\n<head>\n<meta charset="utf-8">\n'
            '<meta name="viewport" content="width=device-width, initial-scale=1">\n'
            f"<title>{html.escape(title)}</title>\n<style>{STYLE}</style>\n</head>\n"
            f"<body>\n<main>\n{body}\n</main>\n</body>\n</html>\n")


def main():
    source, target = sys.argv[1], sys.argv[2]
    with open(source, encoding="utf-8") as f:
        text = page(f.read())
    temporary = target + ".tmp"
    with open(temporary, "w", encoding="utf-8") as f:
        f.write(text)
    os.replace(temporary, target)


if __name__ == "__main__":
    main()
