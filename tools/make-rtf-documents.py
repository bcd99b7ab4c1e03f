#!/usr/bin/env python3
"""Writes the rich text test documents into tests/data/rtf (or the folder given).

The documents are those of make-word-documents.py, converted by LibreOffice Writer
(soffice --headless --convert-to rtf) from the same flat OpenDocument text, so the .rtf files
come from a real word processor. The tests read only the committed .rtf files; the text each
must give is written by hand in tests/text/RichTextTest.cpp. Names after the folder choose
other documents: fuzz/corpus-rtf/hyperlink.rtf is `make-rtf-documents.py fuzz/corpus-rtf hyperlink`.

Needs: apt-get install libreoffice-writer-nogui
"""
import importlib.util
import os
import shutil
import subprocess
import sys
import tempfile

NAMES = sys.argv[2:] or ["accents", "table-cells", "footnote-header"]


def word_documents():
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "make-word-documents.py")
    found = importlib.util.spec_from_file_location("make_word_documents", path)
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module.DOCUMENTS


def main():
    out = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                          os.path.join(os.path.dirname(__file__), "..", "tests", "data", "rtf"))
    os.makedirs(out, exist_ok=True)
    documents = word_documents()
    with tempfile.TemporaryDirectory() as work:
        sources = []
        for name in NAMES:
            path = os.path.join(work, name + ".fodt")
            with open(path, "w", encoding="utf-8") as f:
                f.write(documents[name])
            sources.append(path)
        # A profile of its own, so a LibreOffice the user has open is neither used nor disturbed.
        profile = "file://" + os.path.join(work, "profile")
        subprocess.run(["soffice", "-env:UserInstallation=" + profile, "--headless", "--convert-to", "rtf",
                        "--outdir", work] + sources, check=True, stdout=subprocess.DEVNULL)
        for name in NAMES:
            shutil.copyfile(os.path.join(work, name + ".rtf"), os.path.join(out, name + ".rtf"))
            print("Wrote", os.path.join(out, name + ".rtf"))


if __name__ == "__main__":
    main()
