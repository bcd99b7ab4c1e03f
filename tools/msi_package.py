"""Builds the installer with wixl from tools/KadrelSearch.wxs, the same bytes from the same inputs.

wixl stamps its summary information with the time of the build and a random package code,
and the cabinet with the files' times. The files are staged with a fixed time, and the summary
is rewritten in place (with olefile, which writes a stream of a compound file where it lies):
the times become the fixed date, and the package code is derived from the version, the
description, the icon and the packed files, so a package with other contents has another code, as
Windows Installer requires.
"""
import hashlib
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import uuid

try:
    import olefile
except ImportError:
    # Debian's python3-olefile, when another Python than the system's comes first on the path.
    sys.path.append("/usr/lib/python3/dist-packages")
    import olefile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# Every product code and package code is derived in this namespace.
NAMESPACE = uuid.UUID("3b0f6c52-9a1e-4d7b-8f21-6c4e2a9d5b70")
FIXED_TIME = 315532800  # 1980-01-01 00:00 UTC, the zip's date
DESCRIPTION = os.path.join(ROOT, "tools", "KadrelSearch.wxs")
ICON = os.path.join(ROOT, "resources", "main.ico")
SUMMARY = "\x05SummaryInformation"
PID_REVNUMBER, PID_CREATE_DTM, PID_LASTSAVE_DTM = 9, 12, 13


def fix_summary(path, package_code):
    """Rewrites the summary's times and package code in place; every value keeps its size, so
    the stream keeps its size and its sectors, and nothing else in the package moves."""
    with olefile.OleFileIO(path, write_mode=True) as package:
        stream = bytearray(package.openstream(SUMMARY).read())
        section = struct.unpack_from("<I", stream, 44)[0]
        count = struct.unpack_from("<I", stream, section + 4)[0]
        filetime = (FIXED_TIME + 11644473600) * 10000000
        for i in range(count):
            pid, offset = struct.unpack_from("<II", stream, section + 8 + 8 * i)
            value = section + offset
            kind = struct.unpack_from("<I", stream, value)[0]
            if pid in (PID_CREATE_DTM, PID_LASTSAVE_DTM) and kind == 64:  # VT_FILETIME
                struct.pack_into("<Q", stream, value + 4, filetime)
            elif pid == PID_REVNUMBER and kind == 30:  # VT_LPSTR
                length = struct.unpack_from("<I", stream, value + 4)[0]
                code = ("{%s}" % package_code).upper().encode("ascii") + b"\0"
                if len(code) != length:
                    raise ValueError("the package code has an unexpected length")
                stream[value + 8:value + 8 + length] = code
        package.write_stream(SUMMARY, bytes(stream))


def build_msi(files, version, target):
    """Writes target, the installer of files (name, bytes) at version."""
    wixl = shutil.which("wixl")
    if wixl is None:
        raise RuntimeError("wixl is missing: tools/ensure-deps.sh installs it")
    contents = hashlib.sha256()
    for source in (DESCRIPTION, ICON):
        with open(source, "rb") as packed:
            contents.update(hashlib.sha256(packed.read()).digest())
    for name, data in files:
        contents.update(name.encode("utf-8") + b"\0" + hashlib.sha256(data).digest())
    product_code = uuid.uuid5(NAMESPACE, "product " + version)
    package_code = uuid.uuid5(NAMESPACE, "package %s %s" % (version, contents.hexdigest()))
    with tempfile.TemporaryDirectory() as stage:
        shutil.copyfile(ICON, os.path.join(stage, "main.ico"))
        for name, data in files:
            with open(os.path.join(stage, name), "wb") as staged:
                staged.write(data)
        for name in os.listdir(stage):
            os.utime(os.path.join(stage, name), (FIXED_TIME, FIXED_TIME))
        # wixl looks for sources by names relative to the description's folder.
        shutil.copyfile(DESCRIPTION, os.path.join(stage, "KadrelSearch.wxs"))
        partial = os.path.abspath(target + ".part")
        subprocess.run([wixl, "-a", "x64", "-o", partial,
                        "-D", "Version=" + version, "-D", "ProductCode=" + str(product_code),
                        "-D", "SourceDir=.", "KadrelSearch.wxs"],
                       check=True, cwd=stage)
    fix_summary(partial, package_code)
    os.replace(partial, target)


def main():
    """python3 tools/msi_package.py VERSION FOLDER OUT.msi: the installer of the release's three
    files in FOLDER at VERSION, for the test that installs a newer version over the older."""
    if len(sys.argv) != 4:
        sys.exit("usage: msi_package.py VERSION FOLDER OUT.msi")
    version, folder, target = sys.argv[1:]
    files = []
    for name in ("KadrelSearch.exe", "README.txt", "SHA256SUMS"):
        with open(os.path.join(folder, name), "rb") as packed:
            files.append((name, packed.read()))
    os.makedirs(os.path.dirname(os.path.abspath(target)), exist_ok=True)
    build_msi(files, version, target)


if __name__ == "__main__":
    main()
