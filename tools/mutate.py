#!/usr/bin/env python3
"""Mutation run: puts one small fault at a time into the program's code, rebuilds what the tests
use, runs the tests that reach that code and says which faults they missed.

    tools/mutate.py [--files GLOB ...] [--base REV] [--seed N] [--budget MINUTES] [--build DIR]

The program's sources are the .cpp and .h files of every top-level folder but those of tests,
tools and the like (NOT_PROGRAM). Each line of code offers the faults below; they are shuffled
by the seed and tried in that order until the budget is spent, so the same seed and sources give
the same faults. A fault is written into the file in place, and the file is always put back.

Each mutant is built in the MinGW build and, when the file is part of it, the native sanitizer
build. A mutant that does not compile is discarded. Its tests are the ctest tests whose
executable links an object that includes the file (read from the compilers' dependency files),
fastest first, stopping at the first failure. A run that takes far longer than the unmutated
one counts as caught: it is what a hang does to ctest too.

A survivor may be equivalent: no test can tell it from the program. Those a developer has
judged so are listed in tools/mutate-equivalent.txt as "path | kind | line | mutated line" (a
line written alike more than once in its file followed by " #n", its place among them), as the
run prints them; they are reported apart and not counted.
"""
import argparse
import difflib
import fnmatch
import json
import os
import random
import re
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
NOT_PROGRAM = {"tests", "fuzz", "bench", "tools", "cmake", "docs", "dist", "resources", "build"}
EQUIVALENT_LIST = os.path.join(ROOT, "tools", "mutate-equivalent.txt")


def git(*args):
    return subprocess.run(["git", *args], cwd=ROOT, check=True, capture_output=True, text=True).stdout


def program_sources():
    files = []
    for path in git("ls-files", "*.cpp", "*.h").split():
        top = path.split("/", 1)[0]
        if "/" in path and top not in NOT_PROGRAM and not top.startswith("."):
            files.append(path)
    return sorted(files)


def changed_lines(base, path):
    """Line numbers of path (1-based) added or changed since base."""
    lines = set()
    for hunk in re.finditer(r"^@@ -\S+ \+(\d+)(?:,(\d+))? @@", git("diff", "-U0", base, "--", path), re.M):
        start, count = int(hunk.group(1)), int(hunk.group(2) or "1")
        lines.update(range(start, start + count))
    return lines


# --- Faults ----------------------------------------------------------------------------------

RELATIONAL = {" < ": " <= ", " <= ": " < ", " > ": " >= ", " >= ": " > ", " == ": " != ", " != ": " == "}
LOGICAL = {" && ": " || ", " || ": " && "}
NUMBER = re.compile(r"(?<![\w.])(0x[0-9A-Fa-f]+|\d+)(u|U|L|UL|u?ll|ULL)?(?![\w.])")
ASSIGNING = re.compile(r"^\s*(\+\+|--)?[A-Za-z_][\w.\[\]>:-]*(\s*(\+\+|--|[-+*/|&^]?=(?!=)|<<=|>>=)|\()")
NOT_A_STATEMENT = re.compile(r"^\s*(return|case|default|for|if|while|else|do|switch|break|continue|goto)\b")


def code_part(line):
    """The line with string and character literals blanked and any // comment cut off, so the
    faults only touch code; same length up to the comment."""
    out, quote, i = [], None, 0
    while i < len(line):
        c = line[i]
        if quote:
            if c == "\\":
                out.append("__")
                i += 2
                continue
            out.append("_" if c != quote else c)
            if c == quote:
                quote = None
        elif c in "\"'":
            quote = c
            out.append(c)
        elif line.startswith("//", i):
            break
        else:
            out.append(c)
        i += 1
    return "".join(out)


def closing_paren(code, open_at):
    depth = 0
    for i in range(open_at, len(code)):
        depth += {"(": 1, ")": -1}.get(code[i], 0)
        if depth == 0:
            return i
    return -1


def faults_of_line(line):
    """(kind, mutated line) for every fault this line offers."""
    stripped = line.strip()
    if not stripped or stripped.startswith(("#", "//", "*", "/*", "static_assert", "template")):
        return []
    code = code_part(line)
    found = []
    for table, kind in ((RELATIONAL, "comparison turned"), (LOGICAL, "condition inverted")):
        for old, new in table.items():
            for at in [m.start() for m in re.finditer(re.escape(old), code)]:
                found.append((kind, line[:at] + new + line[at + len(old):]))
    for m in NUMBER.finditer(code):
        text = m.group(1)
        value = int(text, 16) if text.startswith("0x") else int(text)
        # One way for each constant, up or down by where it stands, to keep their share modest.
        delta = -1 if value > 1 and m.start(1) % 2 else 1
        new = str(value + delta)
        if text.startswith("0x"):
            new = ("0x%X" if text[2:] == text[2:].upper() else "0x%x") % (value + delta)
        found.append(("constant off by one", line[:m.start(1)] + new + line[m.end(1):]))
    for m in re.finditer(r"\b(if|while) \(", code):
        close = closing_paren(code, m.end() - 1)
        if close > 0:
            inner = line[m.end():close]
            found.append(("condition inverted", line[:m.end()] + "!(" + inner + ")" + line[close:]))
    m = re.search(r"\breturn (.+);\s*$", code)
    if m:
        value = line[m.start(1):m.end(1)]
        swapped = {"true": "false", "false": "true"}.get(value)
        if swapped is None and not NUMBER.fullmatch(value) and value not in ("nullptr", "0"):
            swapped = "!(" + value + ")"
        if swapped is not None:
            found.append(("return value changed", line[:m.start(1)] + swapped + line[m.end(1):]))
    if (code.rstrip().endswith(";") and ASSIGNING.match(code) and not NOT_A_STATEMENT.match(code) and
            code.count("(") == code.count(")")):
        indent = line[:len(line) - len(line.lstrip())]
        found.append(("statement dropped", indent + "{}\n"))
    return found


def candidates(files, base):
    """Every fault of every line of code in files, in a fixed order."""
    result = []
    for path in files:
        with open(os.path.join(ROOT, path), encoding="latin-1") as f:
            lines = f.readlines()
        wanted = changed_lines(base, path) if base else None
        in_comment = False
        # A line written alike more than once in its file is told apart by its place among them.
        seen = {}
        total = {}
        for line in lines:
            total[line.strip()] = total.get(line.strip(), 0) + 1
        for number, line in enumerate(lines, 1):
            seen[line.strip()] = seen.get(line.strip(), 0) + 1
            named = line.strip() if total[line.strip()] == 1 else "%s #%d" % (line.strip(), seen[line.strip()])
            if in_comment:
                in_comment = "*/" not in line
                continue
            if line.lstrip().startswith("/*"):
                in_comment = "*/" not in line
                continue
            if wanted is not None and number not in wanted:
                continue
            for kind, mutated in faults_of_line(line):
                if mutated != line:
                    result.append({"path": path, "line": number, "kind": kind, "old": line, "new": mutated,
                                   "named": named})
    return result


def equivalent_keys():
    keys = set()
    if os.path.exists(EQUIVALENT_LIST):
        with open(EQUIVALENT_LIST, encoding="latin-1") as f:
            for entry in f:
                if entry.strip() and not entry.startswith("#"):
                    parts = [p.strip() for p in entry.split(" | ", 3)]
                    if len(parts) == 4:
                        keys.add(tuple(parts))
    return keys


def key_of(mutant):
    return (mutant["path"], mutant["kind"], mutant["named"], mutant["new"].strip())


def diff_of(mutant):
    return "".join(difflib.unified_diff([mutant["old"]], [mutant["new"]], "a/" + mutant["path"], "b/" + mutant["path"],
                                        n=0, lineterm="\n")).replace("@@ -1 +1 @@", "@@ line %d @@" % mutant["line"])


# --- Builds and tests ------------------------------------------------------------------------

def run(command, timeout=None, cwd=ROOT):
    """Runs command in a process group of its own; (exit code, output), code None on timeout."""
    process = subprocess.Popen(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                               errors="replace", start_new_session=True)
    try:
        output, _ = process.communicate(timeout=timeout)
        return process.returncode, output
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        output, _ = process.communicate()
        return None, output
    except BaseException:
        # Interrupted: the build or test of the mutant goes too, before the file is put back.
        os.killpg(process.pid, signal.SIGKILL)
        raise


class Builds:
    """The MinGW build and the native sanitizer build, what links which file, and the tests."""

    def __init__(self, build):
        self.build = os.path.abspath(build)
        self.native = os.path.join(self.build, "native")
        listing = json.loads(run(["ctest", "--test-dir", self.build, "--show-only=json-v1"])[1])
        self.tests = {}  # ctest name -> executable it runs
        for test in listing["tests"]:
            command = test.get("command", [])
            exe = next((os.path.basename(a) for a in command if a.endswith(".exe") or "/native/" in a), None)
            # The release's tests try the shipped zip and installer, which a mutant leaves alone.
            if exe and not test["name"].startswith(("release", "installer")):
                self.tests[test["name"]] = exe.replace(".exe", "")
        self.seconds = self.last_times()

    def last_times(self):
        """Seconds each ctest test took when last run, from ctest's cost data."""
        seconds = {}
        path = os.path.join(self.build, "Testing", "Temporary", "CTestCostData.txt")
        if os.path.exists(path):
            with open(path) as f:
                for line in f:
                    parts = line.split()
                    if len(parts) == 3:
                        seconds[parts[0]] = float(parts[2])
        return seconds

    @staticmethod
    def targets_including(build, path):
        """The targets of build with an object whose dependency file names path."""
        absolute = os.path.join(ROOT, path)
        targets = set()
        for folder, subfolders, names in os.walk(build):
            # Not the Wine prefixes, test drives or other builds inside this one.
            subfolders[:] = [s for s in subfolders if s == "CMakeFiles" or s.endswith(".dir") or
                             "CMakeFiles" in folder or s in ("tests", "bench")]
            target = os.path.basename(folder) if folder.endswith(".dir") else None
            if target is None and ".dir" + os.sep in folder:
                target = folder.split(".dir" + os.sep, 1)[0].rsplit(os.sep, 1)[-1] + ".dir"
            if target is None:
                continue
            for name in names:
                if name.endswith(".d"):
                    with open(os.path.join(folder, name), errors="replace") as f:
                        if absolute in f.read():
                            targets.add(target[:-4])
                            break
        return targets

    def plan(self, path):
        """(MinGW targets, native targets, ctest tests fastest first) for a fault in path."""
        libraries = self.targets_including(self.build, path)
        native = self.targets_including(self.native, path) if os.path.isdir(self.native) else set()
        exes = set()
        for exe in set(self.tests.values()):
            linked = self.links(exe)
            if libraries & linked or exe in libraries:
                exes.add(exe)
            if native and self.is_native(exe):
                if native & ({"engine_pure", exe}):
                    exes.add(exe)
        # First the native tests, then those of the executables whose sources mirror the file's
        # folder (tests/search for search/), each fastest first, then the rest.
        folder = path.split("/", 1)[0]

        def order(test):
            exe = self.tests[test]
            home = os.path.isdir(os.path.join(self.build, "tests", "CMakeFiles", exe + ".dir", folder))
            return (0 if self.is_native(exe) else 1 if home else 2, self.seconds.get(test, 60.0))

        tests = sorted((t for t, exe in self.tests.items() if exe in exes), key=order)
        mingw = sorted(e for e in exes if not self.is_native(e))
        return mingw, sorted(e for e in exes if self.is_native(e)), tests

    def is_native(self, exe):
        return exe == "engine_native_tests" or exe.endswith("_replay") or exe.endswith("_fuzzer")

    def links(self, exe):
        """The static libraries of this build that executable links, from its link line."""
        libraries = set()
        for folder in ("", "tests"):
            for name in ("link.txt", "linkLibs.rsp"):
                link = os.path.join(self.build, folder, "CMakeFiles", exe + ".dir", name)
                if os.path.exists(link):
                    with open(link) as f:
                        libraries.update(re.findall(r"\blib(\w+)\.a\b", f.read()))
        if "test_support" in libraries:
            libraries.add("search")  # test_support links it publicly
        return libraries

    def compile(self, mingw, native):
        """Builds the executables; False when the code does not compile."""
        if mingw:
            code, _ = run(["cmake", "--build", self.build, "-j", "2", "--target", *mingw])
            if code != 0:
                return False
        if native:
            code, _ = run(["cmake", "--build", self.native, "-j", "2", "--target", *native])
            if code != 0:
                return False
        return True

    def test(self, tests):
        """The first test that fails, or None when all pass."""
        for name in tests:
            limit = 2 * self.seconds.get(name, 100.0) + 30
            # The fixtures (the trees behind drive U:) are there from make test.
            code, _ = run(["ctest", "--test-dir", self.build, "-R", "^" + re.escape(name) + "$", "-FA", ".*",
                           "--timeout", str(int(limit) + 5)], timeout=limit)
            if code is None:
                subprocess.run(["wineserver", "-k"], capture_output=True)
                return name + " (hung)"
            if code != 0:
                return name
        return None


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--files", nargs="*", default=[], help="globs of program files to mutate (default: all)")
    parser.add_argument("--base", default="", help="only lines changed since this git revision")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--budget", type=float, default=30, help="minutes; no new fault starts after them")
    parser.add_argument("--build", default="build")
    parser.add_argument("--list", action="store_true", help="only list the faults, in their order")
    args = parser.parse_args()

    files = program_sources()
    if args.files:
        patterns = [p for given in args.files for p in given.split()]
        files = [f for f in files if any(fnmatch.fnmatch(f, p) or f.startswith(p.rstrip("/") + "/") for p in patterns)]
    mutants = candidates(files, args.base)
    random.Random(args.seed).shuffle(mutants)
    if args.list:
        for m in mutants:
            print("%s:%d %s: %s" % (m["path"], m["line"], m["kind"], m["new"].strip()))
        return 0
    if not mutants:
        print("No faults to try in the files chosen.")
        return 0
    dirty = git("status", "--porcelain", "--", *files).strip()
    if dirty:
        print("These files have uncommitted changes; commit or stash them first:\n" + dirty, file=sys.stderr)
        return 2

    if not os.environ.get("WINEPREFIX"):
        print("WINEPREFIX is not set: run this through make mutate, which sets it.", file=sys.stderr)
        return 2
    builds = Builds(args.build)
    known = equivalent_keys()
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(130))
    started = time.time()
    caught, survived, equivalent, discarded = [], [], [], 0
    print("%d faults in %d files, seed %d, budget %g minutes" % (len(mutants), len(files), args.seed, args.budget))
    plans = {}
    try:
        for index, mutant in enumerate(mutants, 1):
            if time.time() - started > 60 * args.budget:
                break
            path = os.path.join(ROOT, mutant["path"])
            with open(path, encoding="latin-1", newline="") as f:
                original = f.read()
            lines = original.splitlines(keepends=True)
            lines[mutant["line"] - 1] = mutant["new"]
            if mutant["path"] not in plans:
                plans[mutant["path"]] = builds.plan(mutant["path"])
            mingw, native, tests = plans[mutant["path"]]
            clock = time.time()
            try:
                with open(path, "w", encoding="latin-1", newline="") as f:
                    f.write("".join(lines))
                if not builds.compile(mingw, native):
                    verdict = "does not compile, discarded"
                    discarded += 1
                else:
                    failing = builds.test(tests)
                    if failing:
                        verdict = "caught by " + failing
                        caught.append(mutant)
                    elif key_of(mutant) in known:
                        verdict = "survived, listed as equivalent"
                        equivalent.append(mutant)
                    else:
                        verdict = "SURVIVED"
                        survived.append(mutant)
            finally:
                with open(path, "w", encoding="latin-1", newline="") as f:
                    f.write(original)
            print("[%d] %5.1f min  %s:%d %s: %s (%d s)" % (index, (time.time() - started) / 60, mutant["path"],
                                                         mutant["line"], mutant["kind"], verdict,
                                                         time.time() - clock), flush=True)
    finally:
        # The build matches the sources again.
        builds.compile(sorted({e for p in plans.values() for e in p[0]}), sorted({e for p in plans.values() for e in p[1]}))

    counted = len(caught) + len(survived)
    print("\nTried %d faults: %d caught, %d survived, %d equivalent (not counted), %d did not compile." %
          (counted + len(equivalent) + discarded, len(caught), len(survived), len(equivalent), discarded))
    if counted:
        print("Caught: %.0f %% of %d faults." % (100.0 * len(caught) / counted, counted))
    for title, group in (("Survivors", survived), ("Equivalent (listed in tools/mutate-equivalent.txt)", equivalent)):
        if group:
            print("\n%s:" % title)
            for mutant in group:
                print("%s  %s" % (diff_of(mutant), " | ".join(key_of(mutant))))
    return 0


if __name__ == "__main__":
    sys.exit(main())
