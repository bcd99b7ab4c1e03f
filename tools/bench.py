#!/usr/bin/env python3
"""Measures how fast a search is, next to what the platform itself costs, and prints one table.

    python3 tools/bench.py BUILD_DIR        (run by `make bench`, which sets up Wine first)

BENCH_RUNS sets how many times each figure is measured (at least 5, 7 by default; the
median is shown), BENCH_VERBOSE=1 prints every figure. The test data is generated into
BUILD_DIR/bench-data on the first run and kept.

Everything (the Wine server, the programs, grep) runs on one processor: a search under Wine
is mostly round trips to the Wine server, and their cost swings widely when the two ends
are woken on different processors.
"""
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True
corpus = __import__("make-corpus")

ONE_WORD = corpus.RARE_WORD
FIVE_WORDS = " ".join(corpus.FIVE_WORD_QUERY)
GREP_INCLUDES = ["--include=*.[hH][tT][mM]", "--include=*.[tT][xX][tT]",
                 "--include=*.[rR][tT][fF]", "--include=*.[dD][oO][cC]"]


def fail(message):
    print("bench: " + message, file=sys.stderr)
    sys.exit(1)


PINNED = []  # the command prefix that keeps a process on one processor, when there is one


def run_wine(program, *args):
    """Runs one bench program under Wine; returns its key=value results."""
    # Output goes through a file, not a pipe: a Wine service started along the way would
    # inherit the pipe and hold it open long after the program has ended.
    with tempfile.TemporaryFile("w+") as output:
        code = subprocess.run(PINNED + ["wine", program] + list(args), stdout=output,
                              stderr=subprocess.STDOUT).returncode
        output.seek(0)
        text = output.read()
    if code != 0:
        fail("%s %s failed (%d): %s" % (os.path.basename(program), " ".join(args), code,
                                         text.strip()[-500:]))
    values = {}
    for key, value in re.findall(r"(\w+)=(\S+)", text):
        values.setdefault(key, []).append(value)
    return values


def run_grep(args):
    """Wall time of one grep run and its output lines."""
    started = time.perf_counter()
    result = subprocess.run(PINNED + ["grep"] + args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    seconds = time.perf_counter() - started
    if result.returncode not in (0, 1):
        fail("grep %s failed: %s" % (" ".join(args), result.stderr.strip()))
    return seconds, result.stdout.splitlines()


def grep_words(query):
    args = []
    for word in query.split():
        args += ["-e", word]
    return args


ENDING_FILES = 5000


def make_endings(folder):
    """The same 5,000 small files twice: named f00000.txt... and F00000.TXT..., one in ten
    holding the word. Returns the two folders."""
    lower, upper = os.path.join(folder, "lower"), os.path.join(folder, "upper")
    if not os.path.isdir(upper):
        for path, name in ((lower, "f%05d.txt"), (upper, "F%05d.TXT")):
            os.makedirs(path, exist_ok=True)
            for i in range(ENDING_FILES):
                with open(os.path.join(path, name % i), "w") as f:
                    f.write("hay %s hay\n" % (ONE_WORD if i % 10 == 0 else "straw"))
    return lower, upper


UTF8_ACCENT_AT = 100 * 1000  # past the first block, which is all ASCII


def make_unicode_files(big_file, folder):
    """The first 20 MB of big.txt as it is, as UTF-16 LE with its mark, and as UTF-8 without a
    mark whose first character beyond ASCII, an "\u00e9" put in before a line, lies past the
    first block. Returns the three paths."""
    paths = [os.path.join(folder, name) for name in ("ansi.txt", "utf16.txt", "utf8.txt")]
    if not all(os.path.exists(path) for path in paths):
        os.makedirs(folder, exist_ok=True)
        with open(big_file, "rb") as f:
            text = f.read(20 * 1000 * 1000)
        line = text.index(b"\n", UTF8_ACCENT_AT) + 1
        for path, data in zip(paths, (text, b"\xff\xfe" + text.decode("latin-1").encode("utf-16-le"),
                                      text[:line] + "\u00e9 ".encode("utf-8") + text[line:])):
            with open(path, "wb") as f:
                f.write(data)
    return paths


def time_native(command, runs):
    """Wall times of a native command, its output thrown away, and its last output."""
    seconds, output = [], ""
    for _ in range(runs):
        started = time.perf_counter()
        result = subprocess.run(PINNED + command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                                errors="replace")
        seconds.append(time.perf_counter() - started)
        output = result.stdout
    return seconds, output


def median(values):
    return statistics.median(values)


def main():
    if len(sys.argv) != 2:
        fail("usage: bench.py BUILD_DIR")
    build = os.path.abspath(sys.argv[1])
    runs = max(5, int(os.environ.get("BENCH_RUNS", "7")))
    if shutil.which("taskset"):
        PINNED.extend(["taskset", "-c", str(os.cpu_count() - 1)])
    programs = os.path.join(build, "bench")
    walk = os.path.join(programs, "bench_walk.exe")
    floor = os.path.join(programs, "bench_floor.exe")
    scan = os.path.join(programs, "bench_scan.exe")
    render = os.path.join(programs, "bench_render.exe")
    results = os.path.join(programs, "bench_results.exe")
    for program in (walk, floor, scan, render, results):
        if not os.path.exists(program):
            fail("%s is missing: build first (make bench does)" % program)
    if shutil.which("grep") is None:
        fail("grep is not installed")

    data = os.path.join(build, "bench-data")
    small = os.path.join(data, "corpus1")
    large = os.path.join(data, "corpus4")
    many = os.path.join(data, "results")
    for folder, options in ((small, ["--scale", "1"]), (large, ["--scale", "4"]), (many, ["--results"])):
        if subprocess.run([sys.executable, os.path.join(HERE, "make-corpus.py"), folder] + options).returncode != 0:
            fail("could not generate the corpus in " + folder)
    small_tree = os.path.join(small, "tree")
    large_tree = os.path.join(large, "tree")
    big_file = os.path.join(small, "big.txt")
    render_file = os.path.join(small, "render.txt")
    many_tree = os.path.join(many, "tree")
    lower_endings, upper_endings = make_endings(os.path.join(data, "endings"))
    word_folder = os.path.join(data, "word")
    if subprocess.run([sys.executable, os.path.join(HERE, "make-word-bench.py"), word_folder]).returncode != 0:
        fail("could not generate the Word document in " + word_folder)
    large_doc = os.path.join(word_folder, "large.doc")
    markup_rtf = os.path.join(word_folder, "markup.rtf")
    markup_htm = os.path.join(word_folder, "markup.htm")
    ansi_text, utf16_text, utf8_text = make_unicode_files(big_file, os.path.join(data, "unicode"))

    # One Wine server for the whole run, so no run pays for starting it.
    subprocess.run(PINNED + ["wineserver", "-p"], check=False)
    subprocess.run(PINNED + ["wineboot"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)

    keys = ["floor", "unyielding", "lowered", "lines", "walk1", "walk5", "grep1", "grep5", "floor4", "walk4",
            "none", "every", "lower", "upper", "floor_plain", "walk_plain", "floor_markup", "walk_markup"]
    times = {key: [] for key in keys}
    peaks = {"small": [], "large": []}
    found = {"walk1": set(), "walk5": set(), "grep1": set(), "grep5": set(), "walk4": set(), "none": set(),
             "every": set(), "lower": set(), "upper": set()}
    floor_files = floor_bytes = 0

    # The small tree first, then the large one, each after an untimed pass that brings it
    # into the page cache: a pass over the large tree leaves the next pass over the small one
    # slower. The runs are interleaved, so a change in the machine's load falls on every
    # figure alike, and the floor is taken before and after the walks, so a drift within a
    # run falls on both sides of their ratios.
    print("Small tree: one untimed pass...", file=sys.stderr)
    run_wine(floor, small_tree, "blocks")
    run_grep(["-rli"] + GREP_INCLUDES + ["-e", ONE_WORD, small_tree])
    for run in range(runs):
        print("Small tree: run %d of %d..." % (run + 1, runs), file=sys.stderr)
        before = run_wine(floor, small_tree, "blocks")
        floor_files, floor_bytes = int(before["files"][0]), int(before["bytes"][0])
        for key, query in (("walk1", ONE_WORD), ("walk5", FIVE_WORDS)):
            result = run_wine(walk, small_tree, query)
            times[key].append(float(result["seconds"][0]))
            found[key].add((result["files"][0], result["hash"][0]))
            if key == "walk1":
                peaks["small"].append(int(result["peak_kib"][0]))
        after = run_wine(floor, small_tree, "blocks")
        times["floor"].append((float(before["seconds"][0]) + float(after["seconds"][0])) / 2)
        result = run_wine(floor, small_tree, "blocks", "no-yield")
        times["unyielding"].append(float(result["seconds"][0]))
        result = run_wine(floor, small_tree, "blocks", "lowered")
        times["lowered"].append(float(result["seconds"][0]))
        result = run_wine(floor, small_tree, "lines")
        times["lines"].append(float(result["seconds"][0]))
        for key, query in (("grep1", ONE_WORD), ("grep5", FIVE_WORDS)):
            seconds, lines = run_grep(["-rli"] + GREP_INCLUDES + grep_words(query) + [small_tree])
            times[key].append(seconds)
            found[key].add(len(lines))
        # The tree's plain text files and its markup apart, each beside the floor of the same files.
        for key, kinds in (("plain", "txt,doc"), ("markup", "htm,rtf")):
            result = run_wine(floor, small_tree, "blocks", "kinds=" + kinds)
            times["floor_" + key].append(float(result["seconds"][0]))
            result = run_wine(walk, small_tree, ONE_WORD, kinds)
            times["walk_" + key].append(float(result["seconds"][0]))

    print("Large tree: one untimed pass...", file=sys.stderr)
    run_wine(floor, large_tree, "blocks")
    for run in range(runs):
        print("Large tree: run %d of %d..." % (run + 1, runs), file=sys.stderr)
        # Floor and walk take turns going first.
        for step in ((0, 1) if run % 2 == 0 else (1, 0)):
            if step == 0:
                result = run_wine(floor, large_tree, "blocks")
                times["floor4"].append(float(result["seconds"][0]))
            else:
                result = run_wine(walk, large_tree, ONE_WORD)
                times["walk4"].append(float(result["seconds"][0]))
                found["walk4"].add((result["files"][0], result["hash"][0]))
                peaks["large"].append(int(result["peak_kib"][0]))

    # The same files with upper- and lower-case endings, taking turns going first.
    print("Endings: one untimed pass...", file=sys.stderr)
    run_wine(walk, upper_endings, ONE_WORD)
    for run in range(runs):
        print("Endings: run %d of %d..." % (run + 1, runs), file=sys.stderr)
        for key in (("lower", "upper") if run % 2 == 0 else ("upper", "lower")):
            result = run_wine(walk, lower_endings if key == "lower" else upper_endings, ONE_WORD)
            times[key].append(float(result["seconds"][0]))
            found[key].add(int(result["files"][0]))

    print("Matcher throughput and rendering...", file=sys.stderr)
    scan_times = {}
    for key, query in (("scan1", ONE_WORD), ("scan5", FIVE_WORDS)):
        result = run_wine(scan, big_file, query, str(runs))
        scan_times[key] = [float(value) for value in result["seconds"]]
        scan_bytes = int(result["bytes"][0])
    for key, query in (("grepc1", ONE_WORD), ("grepc5", FIVE_WORDS)):
        scan_times[key] = [run_grep(["-ci"] + grep_words(query) + [big_file])[0] for _ in range(runs)]
    # Files read as their characters: a Word document beside two native extractors, and a
    # UTF-16 and a UTF-8 file beside the same text in ANSI.
    word_query = "zanzibarite"
    result = run_wine(scan, large_doc, word_query, str(runs))
    scan_times["doc"] = [float(value) for value in result["seconds"]]
    doc_bytes, doc_matches = int(result["bytes"][0]), int(result["matches"][0])
    extracted = {}
    for tool in ("antiword", "catdoc"):
        scan_times[tool], output = time_native([tool, large_doc], runs)
        extracted[tool] = output.count(word_query)
    # Rich text and a web page of the same text, each beside a native converter to plain text.
    markup_found = {}
    for key, path, peer in (("rtf", markup_rtf, ["unrtf", "--text"]), ("htm", markup_htm, ["html2text"])):
        result = run_wine(scan, path, word_query, str(runs))
        scan_times[key] = [float(value) for value in result["seconds"]]
        scan_times[key + "_bytes"] = [int(result["bytes"][0])]
        scan_times[key + "_peer"], output = time_native(peer + [path], runs)
        markup_found[key] = (int(result["matches"][0]), output.count(word_query))
    text_matches = {}
    for key, path in (("ansi", ansi_text), ("utf16", utf16_text), ("utf8", utf8_text)):
        result = run_wine(scan, path, ONE_WORD, str(runs))
        scan_times[key] = [float(value) for value in result["seconds"]]
        scan_times[key + "_bytes"] = [int(result["bytes"][0])]
        text_matches[key] = int(result["matches"][0])
    result = run_wine(render, "render", render_file, corpus.RENDER_QUERY, str(runs))
    render_seconds = median([float(value) for value in result["seconds"]])
    # The first run finds the view empty; the others empty it of the previous run first.
    clear_seconds = median([float(value) for value in result["clear_seconds"][1:]])
    render_lines = int(result["lines"][0]) - 1  # the last, empty line holds no match

    # Files a view cannot show whole: how soon the first lines show, how long the window
    # leaves a message from another thread unanswered, the whole time and the memory.
    heavy = {}
    for key, name in (("lines", "lines.txt"), ("minified", "minified.htm")):
        print("Rendering %s..." % name, file=sys.stderr)
        result = run_wine(render, "render", os.path.join(many, name), corpus.RENDER_QUERY, str(runs))
        heavy[key] = {field: [float(value) for value in result[field]]
                      for field in ("seconds", "first_paint", "longest_wait")}
        heavy[key]["peak_kib"] = int(result["peak_kib"][0])
        heavy[key]["view_kib"] = int(result["view_kib"][0])
        heavy[key]["lines"] = int(result["lines"][0])
    nexts = {}
    for key, path in (("next3", render_file), ("next10", os.path.join(many, "dense.txt"))):
        result = run_wine(render, "next", path, os.path.join(many, "small.txt"), corpus.RENDER_QUERY, str(runs))
        nexts[key] = median([float(value) for value in result["next_seconds"]])

    # A search that finds every file of a tree against one of the same tree that finds none,
    # in the program's own window, taking turns going first.
    print("Many results: one untimed pass...", file=sys.stderr)
    run_wine(results, many_tree, corpus.NO_RESULTS_WORD)
    for run in range(runs):
        print("Many results: run %d of %d..." % (run + 1, runs), file=sys.stderr)
        for word in ((corpus.NO_RESULTS_WORD, corpus.RESULTS_WORD) if run % 2 == 0
                     else (corpus.RESULTS_WORD, corpus.NO_RESULTS_WORD)):
            result = run_wine(results, many_tree, word)
            key = "none" if word == corpus.NO_RESULTS_WORD else "every"
            times[key].append(float(result["seconds"][0]))
            found[key].add(int(result["files"][0]))
    subprocess.run(["wineserver", "-k"], check=False)

    if os.environ.get("BENCH_VERBOSE"):
        for key, values in list(times.items()) + list(scan_times.items()):
            print("%-7s %s" % (key, " ".join("%.3f" % v for v in values)), file=sys.stderr)

    # The table.
    m = {key: median(values) for key, values in times.items()}

    def paired(key, floor_key):
        """Median of the ratios of key to the floor measured in the same run: a slow spell of
        the machine then falls on both sides of each ratio."""
        return median([a / b for a, b in zip(times[key], times[floor_key])])

    s = {key: median(values) for key, values in scan_times.items()}
    rows = []

    def row(name, figure, ratio, target="", met=None):
        verdict = "" if met is None else ("met" if met else "MISSED")
        rows.append((name, figure, ratio, target, verdict))

    row("Platform floor: list, open/read/close, yield", "%.3f s" % m["floor"], "1.00 x floor")
    for key, words in (("walk1", "1 word"), ("walk5", "5 words")):
        ratio = paired(key, "floor")
        row("Tree search, %s" % words, "%.3f s" % m[key], "%.3f x floor" % ratio, "<= 1.05 x floor",
            ratio <= 1.05)
    for key, what in (("plain", "the .txt and .doc files (plain text)"),
                      ("markup", "the .htm and .rtf files (pages, rich text)")):
        row("Tree search, 1 word, %s" % what, "%.3f s" % m["walk_" + key],
            "%.3f x their floor (%.3f s)" % (paired("walk_" + key, "floor_" + key), m["floor_" + key]))
    row("Floor without the yields", "%.3f s" % m["unyielding"], "%.2f x floor" % paired("unyielding", "floor"))
    row("Floor opening endings lower-cased", "%.3f s" % m["lowered"], "%.2f x floor" % paired("lowered", "floor"))
    row("Floor reading a line at a time (fgets)", "%.3f s" % m["lines"], "%.2f x floor" % paired("lines", "floor"))
    for key, words in (("grep1", "1 word"), ("grep5", "5 words")):
        row("GNU grep -rli, %s (native)" % words, "%.3f s" % m[key], "%.2f x floor" % paired(key, "floor"))
    row("Tree search, %d files ending .txt" % ENDING_FILES, "%.3f s" % m["lower"], "1.00 x .txt")
    row("Tree search, the same files ending .TXT", "%.3f s" % m["upper"], "%.3f x .txt" % paired("upper", "lower"),
        "<= 1.1 x .txt", paired("upper", "lower") <= 1.1)
    row("Platform floor, 4x corpus", "%.3f s" % m["floor4"], "%.2f x small floor" % paired("floor4", "floor"))
    row("Tree search, 1 word, 4x corpus", "%.3f s" % m["walk4"], "%.3f x its floor" % paired("walk4", "floor4"))
    megabytes = scan_bytes / 1e6
    grep_rate = megabytes / s["grepc1"]
    rate1 = megabytes / s["scan1"]
    row("grep -ci, 1 word, %.0f MB file" % megabytes, "%.0f MB/s" % grep_rate, "%.3f s" % s["grepc1"])
    row("Matcher, 1 word, %.0f MB file" % megabytes, "%.0f MB/s" % rate1, "%.2f x grep -ci" % (rate1 / grep_rate),
        ">= 2 x grep -ci", rate1 / grep_rate >= 2)
    ratio5 = s["scan5"] / s["scan1"]
    row("Matcher, 5 words, %.0f MB file" % megabytes, "%.0f MB/s" % (megabytes / s["scan5"]),
        "%.2f x 1-word time" % ratio5, "<= 1.3 x 1-word time", ratio5 <= 1.3)
    row("grep -ci, 5 words (for the record)", "%.0f MB/s" % (megabytes / s["grepc5"]), "%.3f s" % s["grepc5"])
    doc_mb = doc_bytes / 1e6
    doc_rate = doc_mb / s["doc"]
    catdoc_rate = doc_mb / s["catdoc"]
    row("Word document, %.0f MB, read and matched" % doc_mb, "%.0f MB/s" % doc_rate,
        "%.2f x catdoc" % (doc_rate / catdoc_rate), ">= 1.0 x catdoc", doc_rate >= catdoc_rate)
    row("catdoc, the same document (native)", "%.0f MB/s" % catdoc_rate, "%.3f s" % s["catdoc"])
    row("antiword, the same document (native)", "%.0f MB/s" % (doc_mb / s["antiword"]), "%.3f s" % s["antiword"])
    for key, name, peer in (("rtf", "Rich text", "unrtf --text"), ("htm", "Web page", "html2text")):
        mb = scan_times[key + "_bytes"][0] / 1e6
        rate, peer_rate = mb / s[key], mb / s[key + "_peer"]
        row("%s, %.0f MB, read and matched" % (name, mb), "%.0f MB/s" % rate, "%.2f x %s" % (rate / peer_rate, peer),
            ">= 1.0 x %s" % peer, rate >= peer_rate)
        row("%s, the same file (native)" % peer, "%.0f MB/s" % peer_rate, "%.3f s" % s[key + "_peer"])
    ansi_mb = scan_times["ansi_bytes"][0] / 1e6
    utf16_mb = scan_times["utf16_bytes"][0] / 1e6
    utf16_ratio = s["utf16"] / s["ansi"]
    row("UTF-16 file, %.0f MB, read and matched" % utf16_mb, "%.0f MB/s" % (utf16_mb / s["utf16"]),
        "%.2f x the ANSI time" % utf16_ratio, "<= 3 x the ANSI time", utf16_ratio <= 3)
    utf8_mb = scan_times["utf8_bytes"][0] / 1e6
    row("UTF-8 file, %.0f MB, first accent past 64 KB" % utf8_mb, "%.0f MB/s" % (utf8_mb / s["utf8"]),
        "%.2f x the ANSI time" % (s["utf8"] / s["ansi"]))
    row("The same text in ANSI, %.0f MB" % ansi_mb, "%.0f MB/s" % (ansi_mb / s["ansi"]), "%.3f s" % s["ansi"])
    row("Render %d matching lines, drawn" % render_lines, "%.3f s" % render_seconds, "", "<= 0.5 s",
        render_seconds <= 0.5)
    row("Emptying the view of them first", "%.3f s" % clear_seconds, "%.2f x render" % (clear_seconds / render_seconds))
    for key, words in (("next3", "3"), ("next10", "10")):
        row("Next file after 2,000 lines of %s matches" % words, "%.3f s" % nexts[key], "", "<= 0.5 s",
            nexts[key] <= 0.5)
    for key, name in (("lines", "100,000 matching lines, 61 MB"), ("minified", "1 MB minified, one line")):
        h = heavy[key]
        first = median(h["first_paint"])
        wait = median(h["longest_wait"])
        row("%s: first lines painted" % name, "%.3f s" % first, "", "<= 0.5 s", 0 <= first <= 0.5)
        row("%s: longest unanswered" % name, "%.3f s" % wait, "worst %.3f s" % max(h["longest_wait"]),
            "<= 0.25 s", wait <= 0.25)
        row("%s: whole render" % name, "%.3f s" % median(h["seconds"]), "%d lines in view" % (h["lines"] - 1))
        row("%s: peak working set" % name, "%.1f MiB" % (h["peak_kib"] / 1024),
            "%.1f MiB for the view" % (h["view_kib"] / 1024), "view < 200 MiB", h["view_kib"] < 200 * 1024)
    ratio = paired("every", "none")
    row("Search finding none of 20,000 files, in the window", "%.3f s" % m["none"], "1.00 x none found")
    row("Search finding all 20,000 files, in the window", "%.3f s" % m["every"], "%.3f x none found" % ratio,
        "<= 1.25 x none found", ratio <= 1.25)
    peak_small = median(peaks["small"]) / 1024
    peak_large = median(peaks["large"]) / 1024
    row("Peak working set, small corpus", "%.1f MiB" % peak_small, "")
    row("Peak working set, 4x corpus", "%.1f MiB" % peak_large, "%.3f x small" % (peak_large / peak_small),
        "<= 1.05 x small", peak_large / peak_small <= 1.05)

    print()
    print("Search benchmark: medians of %d runs. Small corpus: %d searched files, %.0f MB read by the floor."
          % (runs, floor_files, floor_bytes / 1e6))
    widths = [max(len(r[i]) for r in rows) for i in range(5)]
    header = ("Measure", "Median", "Ratio", "Target", "")
    widths = [max(w, len(h)) for w, h in zip(widths, header)]
    for line in [header] + rows:
        print("  ".join(text.ljust(width) for text, width in zip(line, widths)).rstrip())

    # Every run must have found the same files, and as many as grep finds.
    problems = []
    for key in ("walk1", "walk5", "walk4", "none", "every", "lower", "upper"):
        if len(found[key]) != 1:
            problems.append("%s found different files from run to run: %s" % (key, sorted(found[key])))
    for walk_key, grep_key in (("walk1", "grep1"), ("walk5", "grep5")):
        walked = {int(files) for files, _ in found[walk_key]}
        if walked != found[grep_key]:
            problems.append("%s found %s files, grep %s" % (walk_key, walked, found[grep_key]))
    if not doc_matches or any(count != doc_matches for count in extracted.values()):
        problems.append("the Word document gave %d matches, the extractors %s" % (doc_matches, extracted))
    if len(set(text_matches.values())) != 1:
        problems.append("the same text in ANSI, UTF-16 and UTF-8 gave %s matches" % text_matches)
    for key, (ours, peers) in markup_found.items():
        if not ours or ours != peers:
            problems.append("the %s file gave %d matches, its converter's text %d" % (key, ours, peers))
    if found["lower"] != {ENDING_FILES // 10} or found["upper"] != found["lower"]:
        problems.append("the endings searches found %s and %s files" % (found["lower"], found["upper"]))
    if found["none"] != {0} or found["every"] != {corpus.RESULTS_FOLDERS * corpus.RESULTS_FILES_PER_FOLDER}:
        problems.append("the many-results searches listed %s and %s files" % (found["none"], found["every"]))
    print()
    if problems:
        for problem in problems:
            print("Check failed: " + problem)
        return 1
    print("Check: every run found the same files, as many as grep (%s and %s files); the window listed"
          " all %d files of the many-results tree, or none." % (next(iter(found["walk1"]))[0],
                                                               next(iter(found["walk5"]))[0],
                                                               next(iter(found["every"]))))
    return 0


if __name__ == "__main__":
    sys.exit(main())
