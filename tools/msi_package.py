"""Builds the installer with wixl from tools/KadrelSearch.wxs, the same bytes from the same inputs.

wixl stamps its summary information with the time of the build and a random package code,
and the cabinet with the files' times. The files are staged with a fixed time, and the summary
is rewritten in place: the times become the fixed date, and the package code is derived from
the version and the packed files, so a package with other contents has another code, as
Windows Installer requires.
"""
import hashlib
import os
import shutil
import struct
import subprocess
import tempfile
import uuid

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# Every product code and package code is derived in this namespace.
NAMESPACE = uuid.UUID("3b0f6c52-9a1e-4d7b-8f21-6c4e2a9d5b70")
FIXED_TIME = 315532800  # 1980-01-01 00:00 UTC, the zip's date
SUMMARY = "\x05SummaryInformation"
PID_REVNUMBER, PID_CREATE_DTM, PID_LASTSAVE_DTM = 9, 12, 13


def stream_offsets(data, name):
    """The file offset of every byte of the named stream of a compound file."""
    sector_size = 1 << struct.unpack_from("<H", data, 0x1E)[0]
    mini_size = 1 << struct.unpack_from("<H", data, 0x20)[0]
    fat_count, first_dir = struct.unpack_from("<II", data, 0x2C)
    cutoff, first_minifat = struct.unpack_from("<II", data, 0x38)
    fat_sectors = struct.unpack_from("<109I", data, 0x4C)[:fat_count]
    if fat_count > 109:
        raise ValueError("the package is too large for this reader")

    def at(sector):
        return (sector + 1) * sector_size

    fat = []
    for sector in fat_sectors:
        fat += struct.unpack_from("<%dI" % (sector_size // 4), data, at(sector))

    def chain(start):
        sectors = []
        while start < 0xFFFFFFFA:
            sectors.append(start)
            start = fat[start]
        return sectors

    minifat = []
    for sector in chain(first_minifat) if first_minifat < 0xFFFFFFFA else []:
        minifat += struct.unpack_from("<%dI" % (sector_size // 4), data, at(sector))
    entries = b"".join(data[at(s):at(s) + sector_size] for s in chain(first_dir))
    root_start = struct.unpack_from("<I", entries, 116)[0]
    mini_stream = [at(s) + i for s in chain(root_start) for i in range(sector_size)]
    for index in range(len(entries) // 128):
        entry = entries[index * 128:(index + 1) * 128]
        length = struct.unpack_from("<H", entry, 64)[0]
        if entry[:max(length - 2, 0)].decode("utf-16-le", "replace") != name:
            continue
        start, size = struct.unpack_from("<IQ", entry, 116)
        if size >= cutoff:
            offsets = [at(s) + i for s in chain(start) for i in range(sector_size)]
        else:
            sectors = []
            while start < 0xFFFFFFFA:
                sectors.append(start)
                start = minifat[start]
            offsets = [mini_stream[s * mini_size + i] for s in sectors for i in range(mini_size)]
        return offsets[:size]
    raise ValueError("the package has no stream " + repr(name))


def fix_summary(path, package_code):
    """Rewrites the summary's times and package code in place; every value keeps its size."""
    with open(path, "rb") as package:
        data = bytearray(package.read())
    offsets = stream_offsets(bytes(data), SUMMARY)
    stream = bytearray(data[o] for o in offsets)
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
    for o, byte in zip(offsets, stream):
        data[o] = byte
    with open(path, "wb") as package:
        package.write(data)


def build_msi(files, version, target):
    """Writes target, the installer of files (name, bytes) at version."""
    wixl = shutil.which("wixl")
    if wixl is None:
        raise RuntimeError("wixl is missing: tools/ensure-deps.sh installs it")
    contents = hashlib.sha256()
    for name, data in files:
        contents.update(name.encode("utf-8") + b"\0" + hashlib.sha256(data).digest())
    product_code = uuid.uuid5(NAMESPACE, "product " + version)
    package_code = uuid.uuid5(NAMESPACE, "package %s %s" % (version, contents.hexdigest()))
    with tempfile.TemporaryDirectory() as stage:
        shutil.copyfile(os.path.join(ROOT, "resources", "main.ico"), os.path.join(stage, "main.ico"))
        for name, data in files:
            with open(os.path.join(stage, name), "wb") as staged:
                staged.write(data)
        for name in os.listdir(stage):
            os.utime(os.path.join(stage, name), (FIXED_TIME, FIXED_TIME))
        # wixl looks for sources by names relative to the description's folder.
        shutil.copyfile(os.path.join(ROOT, "tools", "KadrelSearch.wxs"), os.path.join(stage, "KadrelSearch.wxs"))
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
    import sys
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
