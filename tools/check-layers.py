#!/usr/bin/env python3
"""Checks that each folder of the program includes only its own headers and those of the
folders below it, and that the two pure folders reach no header of Windows, directly or through
a header of the project. Prints each fault and exits 1 when there is any.

The layers, from the bottom: the order below. resources/ holds identifiers only, which every
layer with windows may include.
"""
import os
import re
import subprocess
import sys

LAYERS = ["text", "match", "platform", "search", "dialogs", "panel", "app"]
PURE = {"text", "match"}
SHARED = {"resources"}
# The system's headers that bring in the window system or other Windows-only interfaces.
WINDOWS_HEADERS = {
    "windows.h", "windef.h", "winbase.h", "winuser.h", "wingdi.h", "winreg.h", "winnls.h",
    "commctrl.h", "commdlg.h", "richedit.h", "shellapi.h", "shlobj.h", "shlwapi.h", "objbase.h",
    "direct.h",
}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def program_files():
    listed = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard",
                             "*.cpp", "*.h"], cwd=ROOT, check=True, capture_output=True, text=True)
    return [f for f in listed.stdout.split("\0") if f.split("/")[0] in LAYERS]


def includes_of(path):
    try:
        with open(os.path.join(ROOT, path), encoding="utf-8", errors="replace") as f:
            return INCLUDE.findall(f.read())
    except FileNotFoundError:
        return []


def windows_path(path, seen):
    """The chain of project headers from path to a Windows header, or None."""
    if path in seen:
        return None
    seen.add(path)
    for kind, name in includes_of(path):
        if kind == "<" and name.lower() in WINDOWS_HEADERS:
            return [path, "<" + name + ">"]
        if kind == '"' and os.path.exists(os.path.join(ROOT, name)):
            chain = windows_path(name, seen)
            if chain:
                return [path] + chain
    return None


def main():
    faults = []
    for path in program_files():
        layer = path.split("/")[0]
        level = LAYERS.index(layer)
        for kind, name in includes_of(path):
            if kind != '"':
                continue
            folder = name.split("/")[0]
            if folder in SHARED and layer not in PURE:
                continue
            if folder not in LAYERS or LAYERS.index(folder) > level:
                faults.append(f"{path}: includes {name}, which is not below {layer}/")
        if layer in PURE:
            chain = windows_path(path, set())
            if chain:
                faults.append(f"{path}: reaches a Windows header: {' -> '.join(chain)}")
    for fault in faults:
        print(fault, file=sys.stderr)
    if faults:
        return 1
    print("Layers: every include goes down, and text/ and match/ reach no Windows header.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
