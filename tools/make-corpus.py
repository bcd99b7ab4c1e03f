#!/usr/bin/env python3
"""Writes the benchmark's test data, the same bytes on every machine, into one folder:

    python3 tools/make-corpus.py OUT_DIR [--scale N]

OUT_DIR/tree     about 20,000 files in about 2,000 folders (N times as many with --scale N),
                 roughly 180 MB per unit of scale, three levels deep whatever the scale
OUT_DIR/big.txt  one 100 MB text file for the matcher's throughput (scale 1 only)
OUT_DIR/render.txt  a file of 2,000 lines, each with three words that match RENDER_QUERY

    python3 tools/make-corpus.py OUT_DIR --results

writes instead what grows with what a search finds rather than with what it reads:

OUT_DIR/tree         20,000 small files in 100 folders, every one holding RESULTS_WORD once
                     and none holding NO_RESULTS_WORD, so the two searches read the same bytes
OUT_DIR/lines.txt    about 60 MB in 800,000 lines, 100,000 of them matching RENDER_QUERY
OUT_DIR/minified.htm one physical line of 1 MB of markup, with a RENDER_QUERY word every few words
OUT_DIR/dense.txt    2,000 lines with ten words matching RENDER_QUERY each
OUT_DIR/small.txt    twenty lines with one word matching RENDER_QUERY each

The files are text in the four searched kinds (.htm .txt .rtf .doc, in mixed letter case)
and in two kinds that must never be searched (.html and .c). Lines have 3 to 14 words.
RARE_WORD occurs, in mixed case, in a few hundred searched files and in some unsearched ones.
The other words of FIVE_WORD_QUERY are rarer still. Nothing is written when OUT_DIR/done
already records the same parameters, so a second run costs nothing.
"""
import argparse
import os
import random
import shutil
import sys

VERSION = 1
RESULTS_VERSION = 1
RARE_WORD = "zephyrquill"
FIVE_WORD_QUERY = [RARE_WORD, "marrowfat", "sextant", "brindled", "topgallant"]
RENDER_QUERY = "lantern"
# Made of letters no vocabulary syllable has, so neither can turn up by chance.
RESULTS_WORD = "quixotry"
NO_RESULTS_WORD = "xylyzquay"

TOP_FOLDERS = 20       # per unit of scale
MIDDLE_FOLDERS = 10    # in each top folder
LEAF_FOLDERS = 9       # in each middle folder
FILES_PER_FOLDER = 10  # in every folder, at every level

BIG_FILE_BYTES = 100 * 1000 * 1000
RENDER_LINES = 2000

SEARCHED = ["htm", "txt", "rtf", "doc"]
NOT_SEARCHED = ["html", "c"]
SYLLABLES = ("ba be bi bo bu da de di do du fa fe fi fo ka ke ki ko ku la le li lo lu ma me mi "
             "mo mu na ne ni no nu pa pe pi po pu ra re ri ro ru sa se si so su ta te ti to tu "
             "va ve vi vo wa we wi ha he hi ho an en in on ar er ir or al el il ol st tr pl gr "
             "ch sh th ng nd nt rs ck").split()
PUNCTUATION = [" ", " ", " ", " ", " ", " ", ", ", ". ", "; ", " - ", " (", ") ", ": ", "'", "/"]


def mixed_case(rng, word):
    """The word as it might be typed: mostly lower case, now and then capitalised or shouted."""
    roll = rng.random()
    if roll < 0.15:
        return word.capitalize()
    if roll < 0.18:
        return word.upper()
    return word


def make_vocabulary(rng, forbidden):
    words = set()
    while len(words) < 6000:
        word = "".join(rng.choice(SYLLABLES) for _ in range(rng.randint(1, 5)))
        if not any(f in word or word in f for f in forbidden):
            words.add(word)
    words = sorted(words)
    rng.shuffle(words)
    for number in range(200):
        words.append(str(rng.randint(0, 99999)))
    return words


def make_line_pool(rng, vocabulary, count):
    """Lines of 3 to 14 words. Common words come up far more often than rare ones."""
    weights = [1.0 / (rank + 10) for rank in range(len(vocabulary))]
    pool = []
    for _ in range(count):
        n = rng.randint(3, 14)
        words = rng.choices(vocabulary, weights, k=n)
        parts = []
        for i, word in enumerate(words):
            parts.append(mixed_case(rng, word))
            if i + 1 < n:
                parts.append(rng.choice(PUNCTUATION))
        pool.append("".join(parts) + rng.choice(["", "", ".", "!", "?"]))
    return pool


def special_line(rng, pool, word):
    """A pool line with word put somewhere among its words, in mixed case."""
    words = rng.choice(pool).split(" ")
    words.insert(rng.randint(0, len(words)), mixed_case(rng, word))
    return " ".join(words)


def wrap(kind, lines):
    if kind in ("htm", "html"):
        return ["<html><head><title>" + lines[0] + "</title></head><body>"] + \
               ["<p>" + line + "</p>" for line in lines[1:]] + ["</body></html>"]
    if kind == "rtf":
        return ["{\\rtf1\\ansi\\deff0 {\\fonttbl {\\f0 Times;}}"] + \
               [line + "\\par" for line in lines] + ["}"]
    if kind == "c":
        return ["/* " + line + " */" for line in lines]
    return lines


def file_text(rng, pool, kind, plant):
    n = max(3, min(2000, int(rng.lognormvariate(4.45, 0.8))))
    lines = rng.choices(pool, k=n)
    for word in plant:
        for _ in range(rng.randint(1, 3)):
            lines[rng.randrange(n)] = special_line(rng, pool, word)
    newline = "\r\n" if rng.random() < 0.7 else "\n"
    return newline.join(wrap(kind, lines)) + newline


def pick_extension(rng):
    if rng.random() < 0.12:
        kind = rng.choice(NOT_SEARCHED)
    else:
        kind = rng.choice(SEARCHED)
    roll = rng.random()
    if roll < 0.2:
        shown = kind.upper()
    elif roll < 0.3:
        shown = kind.capitalize()
    else:
        shown = kind
    return kind, shown


def write_tree(rng, pool, root, scale):
    """Returns the number of folders and files written and their total size in bytes."""
    folders = files = size = 0
    name_words = [w for w in pool[:500]]

    def fill(folder):
        nonlocal files, size
        for index in range(FILES_PER_FOLDER):
            kind, shown = pick_extension(rng)
            plant = []
            if rng.random() < 0.016:
                plant.append(RARE_WORD)
            for word in FIVE_WORD_QUERY[1:]:
                if rng.random() < 0.002:
                    plant.append(word)
            base = "".join(c for c in rng.choice(name_words)[:12] if c.isalnum()) or "file"
            name = "%s%02d.%s" % (base, index, shown)
            data = file_text(rng, pool, kind, plant).encode("ascii")
            with open(os.path.join(folder, name), "wb") as out:
                out.write(data)
            files += 1
            size += len(data)

    for top in range(TOP_FOLDERS * scale):
        top_path = os.path.join(root, "part%03d" % top)
        os.makedirs(top_path)
        folders += 1
        fill(top_path)
        for middle in range(MIDDLE_FOLDERS):
            middle_path = os.path.join(top_path, "Section %02d" % middle)
            os.makedirs(middle_path)
            folders += 1
            fill(middle_path)
            for leaf in range(LEAF_FOLDERS):
                leaf_path = os.path.join(middle_path, "chapter_%d" % leaf)
                os.makedirs(leaf_path)
                folders += 1
                fill(leaf_path)
    return folders, files, size


def write_big_file(rng, pool, path):
    with open(path, "wb") as out:
        written = 0
        while written < BIG_FILE_BYTES:
            lines = rng.choices(pool, k=2000)
            if rng.random() < 0.3:
                lines[rng.randrange(len(lines))] = special_line(rng, pool, RARE_WORD)
            chunk = ("\r\n".join(lines) + "\r\n").encode("ascii")
            chunk = chunk[:BIG_FILE_BYTES - written]
            out.write(chunk)
            written += len(chunk)


RESULTS_FOLDERS = 100
RESULTS_FILES_PER_FOLDER = 200
LINES_FILE_LINES = 800000
LINES_FILE_MATCHES = 100000
MINIFIED_BYTES = 1024 * 1024
DENSE_LINES = 2000
LANTERN_FORMS = [RENDER_QUERY, "Lanterns", "lanternlight", "LANTERN", "hurricanelantern"]


def write_results_tree(rng, pool, root):
    """Returns the number of files written and their total size in bytes."""
    files = size = 0
    for folder in range(RESULTS_FOLDERS):
        path = os.path.join(root, "box%03d" % folder)
        os.makedirs(path)
        for index in range(RESULTS_FILES_PER_FOLDER):
            lines = rng.choices(pool, k=rng.randint(3, 8))
            lines[rng.randrange(len(lines))] = special_line(rng, pool, RESULTS_WORD)
            name = "note%03d.%s" % (index, rng.choice(["txt", "htm", "TXT"]))
            data = ("\r\n".join(lines) + "\r\n").encode("ascii")
            with open(os.path.join(path, name), "wb") as out:
                out.write(data)
            files += 1
            size += len(data)
    return files, size


def write_lines_file(rng, pool, path):
    """Ordinary lines; every eighth one has a RENDER_QUERY word."""
    with open(path, "wb") as out:
        for _ in range(LINES_FILE_LINES // 8000):
            lines = rng.choices(pool, k=8000)
            for i in range(0, 8000, LINES_FILE_LINES // LINES_FILE_MATCHES):
                lines[i] = special_line(rng, pool, rng.choice(LANTERN_FORMS))
            out.write(("\r\n".join(lines) + "\r\n").encode("ascii"))


def write_minified_file(rng, pool, path):
    """Markup and words with no line break at all, and a matching word every few words."""
    parts = ["<!DOCTYPE html><html><head><title>Lanterns</title></head><body>"]
    size = len(parts[0])
    while size < MINIFIED_BYTES - 16:
        words = rng.choice(pool).split(" ")[:rng.randint(2, 6)]
        words.append(rng.choice(LANTERN_FORMS))
        piece = "<span class=\"w%d\">%s</span>" % (rng.randint(0, 9), " ".join(words))
        parts.append(piece)
        size += len(piece)
    text = "".join(parts)[:MINIFIED_BYTES - 15] + "</body></html>\n"
    with open(path, "wb") as out:
        out.write(text.encode("ascii"))


def write_lantern_file(rng, pool, path, line_count, per_line):
    """Every line has exactly per_line words that contain RENDER_QUERY, among ordinary words."""
    lines = []
    for _ in range(line_count):
        words = rng.choice(pool).split(" ")
        for _ in range(per_line):
            words.insert(rng.randint(0, len(words)), rng.choice(LANTERN_FORMS))
        lines.append(" ".join(words))
    with open(path, "wb") as out:
        out.write(("\r\n".join(lines) + "\r\n").encode("ascii"))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("out_dir")
    parser.add_argument("--scale", type=int, default=1)
    parser.add_argument("--results", action="store_true")
    args = parser.parse_args()

    stamp_path = os.path.join(args.out_dir, "done")
    if args.results:
        stamp = "results version %d\n" % RESULTS_VERSION
    else:
        stamp = "version %d scale %d\n" % (VERSION, args.scale)
    if os.path.exists(stamp_path) and open(stamp_path).read() == stamp:
        return 0
    if os.path.exists(args.out_dir):
        shutil.rmtree(args.out_dir)
    os.makedirs(args.out_dir)

    # One seed for everything shared (the words and lines), one per tree so the scaled
    # tree is its own deterministic sample rather than a copy of the small one.
    rng = random.Random(20240611)
    forbidden = FIVE_WORD_QUERY + [RENDER_QUERY]
    vocabulary = make_vocabulary(rng, forbidden)
    pool = make_line_pool(rng, vocabulary, 50000)

    if args.results:
        print("Writing the many-results data into %s" % args.out_dir, file=sys.stderr)
        files, size = write_results_tree(random.Random(31), pool, os.path.join(args.out_dir, "tree"))
        write_lines_file(random.Random(37), pool, os.path.join(args.out_dir, "lines.txt"))
        write_minified_file(random.Random(41), pool, os.path.join(args.out_dir, "minified.htm"))
        write_lantern_file(random.Random(43), pool, os.path.join(args.out_dir, "dense.txt"), DENSE_LINES, 10)
        with open(os.path.join(args.out_dir, "small.txt"), "wb") as out:
            lines = [special_line(rng, pool, RENDER_QUERY) for _ in range(20)]
            out.write(("\r\n".join(lines) + "\r\n").encode("ascii"))
        print("  %d files, %.0f MB" % (files, size / 1e6), file=sys.stderr)
        with open(stamp_path, "w") as out:
            out.write(stamp)
        return 0

    print("Writing the benchmark corpus (scale %d) into %s" % (args.scale, args.out_dir),
          file=sys.stderr)
    tree_rng = random.Random(1000 + args.scale)
    folders, files, size = write_tree(tree_rng, pool, os.path.join(args.out_dir, "tree"),
                                      args.scale)
    if args.scale == 1:
        write_big_file(random.Random(7), pool, os.path.join(args.out_dir, "big.txt"))
        write_lantern_file(random.Random(11), pool, os.path.join(args.out_dir, "render.txt"), RENDER_LINES, 3)
    print("  %d folders, %d files, %.0f MB" % (folders, files, size / 1e6), file=sys.stderr)
    with open(stamp_path, "w") as out:
        out.write(stamp)
    return 0


if __name__ == "__main__":
    sys.exit(main())
