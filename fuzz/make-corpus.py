#!/usr/bin/env python3
"""Writes the seed corpus of the engine fuzzer into fuzz/corpus (or the folder given).

Each seed is: the first line number (int32), a destination capacity and a copySlice count
(uint16 each), all little-endian; then the query up to a line feed; then the file's bytes.
Seeds kept from fuzzing runs (named after their content hash) are left alone.
"""
import os
import struct
import sys


def seed(query, file=b"", line=1, cap=0, count=0):
    return struct.pack("<iHH", line, cap, count) + query + b"\n" + file


SEEDS = {
    # Word rules and rendering.
    "cat-in-mixed-case-and-inside-words": seed(b"cat", b"Concatenate the CAT, cat-like.\n"),
    "query-word-longer-than-line-word": seed(b"cats", b"cat catalogue\n"),
    "line-starting-with-a-match": seed(b"alpha", b"alpha beta\n"),
    "underscore-separates-words": seed(b"bar", b"foo_bar bar_foo\n"),
    "digits-inside-a-word": seed(b"123", b"abc123 123 1234\n"),
    "accented-byte-ends-a-word": seed(b"caf", b"caf\xe9 au lait, cafe\n"),
    "every-high-byte-separates": seed(b"x\x80y", b"x" + bytes(range(0x80, 0x100)) + b"y\n"),
    "high-bytes-only-query": seed(b"\xe9\xe8\xff", b"\xe9\xe8\xff caf\xe9\n"),
    "punctuation-only-query": seed(b" ,.;:!?-_()[]{}'\"", b"any words here, and punctuation too.\n"),
    "empty-query": seed(b"", b"something to find\n"),
    "capital-query": seed(b"CAT", b"cat CAT Cat\n"),
    "same-word-twice-counts-once": seed(b"cat cat CAT", b"cat\n"),
    "two-query-words-in-one-line-word": seed(b"con cat", b"concat con cat\n"),
    "single-letter-whole-and-inside": seed(b"a", b"a ab ba bab A\n"),
    "whole-alphabet-folds": seed(b"abcdefghijklmnopqrstuvwxyz0123456789",
                                 b"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 abcdefghijklmnopqrstuvwxyz0123456789\n"),
    "bytes-next-to-the-letter-ranges": seed(b"q", b"@q[q`q{q/q:q\n"),
    "false-start-before-suffix-match": seed(b"ab", b"aab xaab\n"),
    "control-bytes-and-tabs": seed(b"tab", b"\ttab\x01tab\x1ftab\x7ftab\r\n"),
    "separators-only-file": seed(b"word", b" \t,.;\r\n\n---\n"),
    "empty-file": seed(b"word"),
    "no-line-feed-no-file": struct.pack("<iHH", 1, 0, 0) + b"query without file",
    "short-header": b"\x01\x00",
    # Zero bytes.
    "zero-byte-hides-rest-of-line": seed(b"hidden", b"visible\x00hidden\n"),
    "zero-byte-first": seed(b"word", b"\x00word\nword\n"),
    "zero-byte-in-query": seed(b"ab\x00cd", b"ab cd\n"),
    "zero-byte-after-match": seed(b"end", b"the end\x00\n"),
    # Lengths at the read boundary.
    "read-of-1023-bytes": seed(b"z", b"a" * 1022 + b"z"),
    "read-of-1023-bytes-then-feed": seed(b"yz", b"." * 1021 + b"yz\n"),
    "word-across-read-boundary": seed(b"xy", b"x" * 1023 + b"y\n"),
    "line-of-three-reads": seed(b"mark", (b"mark " * 205)[:1023] * 2 + b"tail mark\n"),
    "crlf-lines-and-last-without-feed": seed(b"b", b"a\r\nb a\r\nb"),
    "many-short-lines": seed(b"n", b"n\n" * 200),
    "many-one-letter-words": seed(b"a b c", (b"a b " * 256)[:1023] + b"\n"),
    # Long queries.
    "query-of-512-words": seed(b"a " * 511 + b"zz", b"zz a\n"),
    "query-of-513-words": seed(b"a " * 512 + b"zz", b"zz a\n"),
    "query-of-1023-characters": seed(b"q" * 1023, b"q" * 1023 + b"\n" + b"q" * 1022 + b"\n"),
    "query-longer-than-the-search-box": seed(b"w " * 1100, b"w ww\n"),
    # Line numbers.
    "largest-line-number-wraps": seed(b"x", b"x\nx\n", line=2**31 - 1),
    "smallest-line-number": seed(b"x", b"x\n", line=-2**31),
    "line-number-zero": seed(b"x", b"x\n", line=0),
    # The copies at their capacity.
    "copy-exact-fit": seed(b"abc", b"abc", cap=4, count=3),
    "copy-one-too-many": seed(b"abcd", b"abcd", cap=4, count=4),
    "copy-into-no-room": seed(b"", b"", cap=0, count=0),
    "copy-empty-into-one-byte": seed(b"", b"", cap=1, count=0),
    "join-drive-root-exact": seed(b"D:\\", b"Docs", cap=8),
    "join-adds-separator-exact": seed(b"D:\\Docs", b"Old", cap=12),
    "join-one-too-many": seed(b"D:\\Docs", b"Old", cap=11),
    "append-to-unterminated": seed(b"x", b"abcdefgh", cap=8),
    "append-exact-fit": seed(b"de", b"abc\x00zzzz", cap=6),
    "slice-count-past-terminator": seed(b"", b"short\x00rest", cap=300, count=4000),
    "path-of-259-characters": seed(b"C:\\" + b"d" * 247, b"name.txt", cap=260, count=259),
}


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "corpus")
    os.makedirs(folder, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)
    print(f"Wrote {len(SEEDS)} seeds to {folder}")


if __name__ == "__main__":
    main()
