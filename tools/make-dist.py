#!/usr/bin/env python3
"""Packs the release: dist/KadrelSearch-<version>-win64.zip with the program, a README.txt for
users and a SHA256SUMS file covering both; dist/KadrelSearch-<version>-win64.msi, the installer
of the same three files (tools/msi_package.py); and dist/SHA256SUMS covering the zip and the
installer.

    python3 tools/make-dist.py PROGRAM.exe OUT_DIR      (run by `make dist`)

The version is the one in the version block of resources/Program.rc. README.txt is made from
README.md: its opening paragraph and the sections a user needs. The same inputs give the same
bytes: every entry has a fixed date and mode, and the entries come in a fixed order.
"""
import hashlib
import os
import re
import sys
import zipfile

from msi_package import build_msi

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
USER_SECTIONS = ["Getting it", "Using the program", "Unusual files, folders and commands"]
FIXED_DATE = (1980, 1, 1, 0, 0, 0)


def fail(message):
    print("make-dist: " + message, file=sys.stderr)
    sys.exit(1)


def version():
    with open(os.path.join(ROOT, "resources", "Program.rc"), encoding="utf-8") as rc:
        match = re.search(r"^FILEVERSION\s+(\d+),\s*(\d+),\s*(\d+),\s*(\d+)", rc.read(), re.M)
    if not match:
        fail("resources/Program.rc has no FILEVERSION line")
    return ".".join(match.groups())


def plain(markdown):
    """Markdown as plain text: no pictures, links as their text, no emphasis or code marks."""
    lines = []
    for line in markdown.splitlines():
        if line.startswith("!["):
            continue
        line = re.sub(r"\[([^\]]*)\]\([^)]*\)", r"\1", line)
        line = line.replace("**", "").replace("`", "")
        if line or (lines and lines[-1]):
            lines.append(line)
    return "\n".join(lines).strip("\n")


def readme_text(program_version):
    with open(os.path.join(ROOT, "README.md"), encoding="utf-8") as source:
        text = source.read()
    parts = re.split(r"^## ", text, flags=re.M)
    title, _, intro = parts[0].partition("\n")
    sections = {}
    for part in parts[1:]:
        heading, _, body = part.partition("\n")
        sections[heading.strip()] = body.strip("\n")
    missing = [name for name in USER_SECTIONS if name not in sections]
    if missing:
        fail("README.md lacks the sections " + ", ".join(missing))
    name = title.lstrip("# ").strip() + " " + program_version
    out = [name, "=" * len(name), "", plain(intro.strip().split("\n\n")[0]), ""]
    for heading in USER_SECTIONS:
        out += [heading, "-" * len(heading), "", plain(sections[heading]), ""]
    # Windows' own editors expect CR LF, and take the text as UTF-8 by its byte order mark.
    text = "\n".join(out).rstrip() + "\n"
    return ("\ufeff" + text.replace("\n", "\r\n")).encode("utf-8")


def main():
    if len(sys.argv) != 3:
        fail("usage: make-dist.py PROGRAM.exe OUT_DIR")
    program, out_dir = sys.argv[1], sys.argv[2]
    if not os.path.isfile(program):
        fail(program + " is missing")
    program_version = version()
    with open(program, "rb") as exe:
        files = [("KadrelSearch.exe", exe.read()), ("README.txt", readme_text(program_version))]
    sums = "".join("%s  %s\n" % (hashlib.sha256(data).hexdigest(), name) for name, data in files)
    files.append(("SHA256SUMS", sums.encode("ascii")))

    os.makedirs(out_dir, exist_ok=True)
    target = os.path.join(out_dir, "KadrelSearch-%s-win64.zip" % program_version)
    partial = target + ".part"
    with zipfile.ZipFile(partial, "w") as archive:
        for name, data in files:
            entry = zipfile.ZipInfo(name, date_time=FIXED_DATE)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.create_system = 3  # Unix, so the mode below is read back
            entry.external_attr = (0o755 if name.endswith(".exe") else 0o644) << 16
            archive.writestr(entry, data, compresslevel=9)
    os.replace(partial, target)
    print("Wrote %s" % os.path.relpath(target))

    installer = os.path.join(out_dir, "KadrelSearch-%s-win64.msi" % program_version)
    build_msi(files, program_version, installer)
    print("Wrote %s" % os.path.relpath(installer))
    release_sums = ""
    for path in (target, installer):
        with open(path, "rb") as packed:
            release_sums += "%s  %s\n" % (hashlib.sha256(packed.read()).hexdigest(), os.path.basename(path))
    with open(os.path.join(out_dir, "SHA256SUMS"), "w", encoding="ascii", newline="\n") as sums_file:
        sums_file.write(release_sums)


if __name__ == "__main__":
    main()
