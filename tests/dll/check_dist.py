#!/usr/bin/python3
"""Opens the release package and checks what a user gets: exactly the two DLLs, the
installation note and SHA256SUMS in one folder; sums that match; each DLL what its
build must be (check_dll.py), stripped of symbols, and stamped with the release time
(the commit's, in seconds since 1970, as make dist takes it) as the build's local time.

    check_dist.py ZIP VERSION RELEASE_TIME"""
import hashlib
import os
import sys
import tempfile
import time
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from check_dll import Checks, check_dll, version_resource  # noqa: E402

FILES = ["Nicshow-x86.dll", "Nicshow-x64.dll", "INSTALL.txt", "SHA256SUMS"]


def section_names(pe, image):
    """Section names, the long ones ("/4") looked up in the COFF string table that
    follows the symbols (.eh_frame of the 32-bit build has one)."""
    strings = pe.FILE_HEADER.PointerToSymbolTable + 18 * pe.FILE_HEADER.NumberOfSymbols
    names = []
    for section in pe.sections:
        name = section.Name.rstrip(b"\0").decode()
        if name.startswith("/") and pe.FILE_HEADER.PointerToSymbolTable:
            start = strings + int(name[1:])
            name = image[start:image.index(b"\0", start)].decode()
        names.append(name)
    return names


def main(zip_path, version, release_time):
    build = time.strftime("%Y-%m-%d %H:%M:%S", time.localtime(release_time))
    checks = Checks(os.path.basename(zip_path))
    folder = "nicshow-%s/" % version
    with zipfile.ZipFile(zip_path) as z:
        checks.eq("the files, in one folder", sorted(folder + f for f in FILES), sorted(z.namelist()))
        checks.eq("no damaged member", None, z.testzip())
        data = {f: z.read(folder + f) for f in FILES if folder + f in z.namelist()}

    sums = {}
    for line in data.get("SHA256SUMS", b"").decode().splitlines():
        digest, _, name = line.partition("  ")
        sums[name] = digest
    checks.eq("SHA256SUMS names the other three files", sorted(FILES[:3]), sorted(sums))
    for name in FILES[:3]:
        if name in data:
            checks.eq("sum of " + name, hashlib.sha256(data[name]).hexdigest(), sums.get(name))

    note = data.get("INSTALL.txt", b"").decode()
    checks.eq("the note has Windows line ends", True,
              "\r\n" in note and note.count("\n") == note.count("\r\n"))
    for words in ("Nicshow-x64.dll", "Nicshow-x86.dll", "64-bit", "32-bit", "PLUGINS",
                  "PLUGIN /L", "PLUGIN /U"):
        checks.eq("the note tells of " + words, True, words in note)

    with tempfile.TemporaryDirectory() as tmp:
        for arch in ("x86", "x64"):
            name = "Nicshow-%s.dll" % arch
            if name not in data:
                continue
            path = os.path.join(tmp, name)
            with open(path, "wb") as f:
                f.write(data[name])
            pe = check_dll(path, arch, checks)
            checks.eq(name + " has no symbols", 0, pe.FILE_HEADER.NumberOfSymbols)
            strings = version_resource(pe)[2] or {}
            checks.eq(name + " was built at the release time", build, strings.get("Build"))
            sections = section_names(pe, data[name])
            checks.eq(name + " has no debugging sections", [],
                      [s for s in sections if s.startswith(".debug")])
            pe.close()

    print("%s: %s" % (checks.name, "all checks passed" if not checks.failed
                      else "%d check(s) failed" % checks.failed))
    return 1 if checks.failed else 0


if __name__ == "__main__":
    if len(sys.argv) != 4 or not sys.argv[3].isdigit():
        print("usage: check_dist.py ZIP VERSION RELEASE_TIME", file=sys.stderr)
        sys.exit(2)
    sys.exit(main(sys.argv[1], sys.argv[2], int(sys.argv[3])))
