#!/usr/bin/env python3
"""Writes a large Word 97-2003 document for benchmarks: large.doc in the folder given
(BUILD_DIR/bench-data/word by default), about --megabytes MB (20 by default), made once and
kept while it is there; and the first --markup-megabytes MB (2 by default) of the same text as
rich text (markup.rtf) and as a web page (markup.htm) beside it, smaller since the converters
they are timed against slow down more than in proportion (unrtf's time grows with the square
of the file's size). Never committed.

The text is paragraphs of words drawn with a fixed seed, so every run makes the same
document; every 1,000th paragraph holds the word "zanzibarite", so a search has matches
throughout. LibreOffice Writer converts it from a flat OpenDocument text, as the test
documents are made (tools/make-word-documents.py); it stores the text as UTF-16, two bytes a
character, and a document this size lists its FAT in extra DIFAT sectors.

Needs: apt-get install libreoffice-writer-nogui
"""
import argparse
import os
import random
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True
documents = __import__("make-word-documents")

RARE_WORD = "zanzibarite"
SYLLABLES = ["ap", "ple", "or", "chard", "tree", "ri", "pen", "har", "vest", "crate", "bas", "ket", "cider",
             "pre", "ss", "mar", "ket", "stall", "fro", "st", "blo", "ssom", "prun", "ing", "gra", "ft"]


def paragraphs(characters):
    rng = random.Random(20)
    written = 0
    number = 0
    while written < characters:
        words = ["".join(rng.choice(SYLLABLES) for _ in range(rng.randint(1, 3))) for _ in range(rng.randint(8, 40))]
        if number % 1000 == 0:
            words[len(words) // 2] = RARE_WORD
        text = " ".join(words).capitalize() + "."
        written += len(text) + 1
        number += 1
        yield "<text:p>" + text + "</text:p>\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder", nargs="?", default=os.path.join(HERE, "..", "build", "bench-data", "word"))
    parser.add_argument("--megabytes", type=int, default=20)
    parser.add_argument("--markup-megabytes", type=int, default=2)
    args = parser.parse_args()
    folder = os.path.abspath(args.folder)
    # Each file: its name, LibreOffice's filter for it, the name that writes, and its text's size.
    wanted = [file for file in (
        ("large.doc", "doc:MS Word 97", "large.doc", args.megabytes),
        ("markup.rtf", "rtf:Rich Text Format", "markup.rtf", args.markup_megabytes),
        ("markup.htm", "html:HTML (StarWriter)", "markup.html", args.markup_megabytes),
    ) if not os.path.exists(os.path.join(folder, file[0]))]
    if not wanted:
        return
    os.makedirs(folder, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        profile = "file://" + os.path.join(work, "profile")
        for name, export, written, megabytes in wanted:
            source = os.path.join(work, os.path.splitext(written)[0] + ".fodt")
            with open(source, "w", encoding="utf-8") as f:
                f.write(documents.HEAD + "<office:body><office:text>\n")
                for paragraph in paragraphs(megabytes * 1000 * 1000 // 2):
                    f.write(paragraph)
                f.write("</office:text></office:body></office:document>\n")
            subprocess.run(["soffice", "-env:UserInstallation=" + profile, "--headless", "--convert-to", export,
                            "--outdir", work, source], check=True, stdout=subprocess.DEVNULL)
            target = os.path.join(folder, name)
            os.replace(os.path.join(work, written), target)
            print("Wrote", target, os.path.getsize(target), "bytes")


if __name__ == "__main__":
    main()
