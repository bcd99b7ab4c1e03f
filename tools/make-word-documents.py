#!/usr/bin/env python3
"""Writes the Word 97-2003 test documents into tests/data/word (or the folder given).

Each document is written as a flat OpenDocument text (.fodt) and converted by LibreOffice
Writer (soffice --headless --convert-to doc), so the .doc files come from a real word
processor. The tests read only the committed .doc files; they never need LibreOffice. The
text each must give is written by hand in tests/search/WordTextTest.cpp.

Needs: apt-get install libreoffice-writer-nogui
"""
import os
import shutil
import subprocess
import sys
import tempfile

HEAD = """<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:xlink="http://www.w3.org/1999/xlink"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.text">
"""

HEADER_PAGE = """<office:automatic-styles>
 <style:page-layout style:name="pm1"><style:page-layout-properties fo:page-width="21cm"
  fo:page-height="29.7cm" fo:margin="2cm"/><style:header-style/></style:page-layout>
</office:automatic-styles>
<office:master-styles>
 <style:master-page style:name="Standard" style:page-layout-name="pm1">
  <style:header><text:p>Quarterly orchard report</text:p></style:header>
 </style:master-page>
</office:master-styles>
"""


def document(body, page=""):
    return HEAD + page + "<office:body><office:text>\n" + body + "\n</office:text></office:body></office:document>\n"


def cell(text):
    return '<table:table-cell office:value-type="string"><text:p>' + text + "</text:p></table:table-cell>"


DOCUMENTS = {
    "plain": document(
        "<text:p>The quick brown fox jumps over the lazy dog.</text:p>\n"
        "<text:p>An apple a day keeps the doctor away.</text:p>"),
    "accents": document(
        "<text:p>Café “naïve” — 5 € each.</text:p>\n"
        "<text:p>Zażółć gęślą jaźń. Příliš žluťoučký kůň.</text:p>\n"
        "<text:p>Съешь ещё этих булок.</text:p>"),
    "table": document(
        "<text:p>Fruit prices:</text:p>\n"
        '<table:table table:name="Prices"><table:table-column table:number-columns-repeated="2"/>\n'
        "<table:table-row>" + cell("apple") + cell("1.20") + "</table:table-row>\n"
        "<table:table-row>" + cell("pear") + cell("0.90") + "</table:table-row>\n"
        "</table:table>\n"
        "<text:p>End of list.</text:p>"),
    "table-cells": document(
        '<table:table table:name="Cells"><table:table-column table:number-columns-repeated="3"/>\n'
        "<table:table-row>" + cell("") + cell("apple") + cell("") + "</table:table-row>\n"
        "<table:table-row>" + cell("two</text:p><text:p>lines") + cell("") + cell("pear") + "</table:table-row>\n"
        "</table:table>\n"
        "<text:p>After.</text:p>"),
    "hyperlink": document(
        '<text:p>See the <text:a xlink:type="simple" xlink:href="https://example.com/orchard">orchard '
        "page</text:a> for apples.</text:p>"),
    "footnote-header": document(
        "<text:p>Apples grew well this year"
        '<text:note text:id="ftn1" text:note-class="footnote"><text:note-citation>1</text:note-citation>'
        "<text:note-body><text:p>Counted by hand in October.</text:p></text:note-body></text:note>"
        ".</text:p>", HEADER_PAGE),
}


def main():
    out = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                          os.path.join(os.path.dirname(__file__), "..", "tests", "data", "word"))
    os.makedirs(out, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        sources = []
        for name, text in DOCUMENTS.items():
            path = os.path.join(work, name + ".fodt")
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
            sources.append(path)
        # A profile of its own, so a LibreOffice the user has open is neither used nor disturbed.
        profile = "file://" + os.path.join(work, "profile")
        subprocess.run(["soffice", "-env:UserInstallation=" + profile, "--headless", "--convert-to",
                        "doc:MS Word 97", "--outdir", work] + sources, check=True, stdout=subprocess.DEVNULL)
        for name in DOCUMENTS:
            shutil.copyfile(os.path.join(work, name + ".doc"), os.path.join(out, name + ".doc"))
            print("Wrote", os.path.join(out, name + ".doc"))


if __name__ == "__main__":
    main()
