#!/usr/bin/python3
"""What a plug-in DLL must be, read from the file itself (no Wine needed): the machine
type, the export table, the import table and every key of the version resource.

    check_dll.py DLL x86|x64              the checks; exit 1 when one fails
    check_dll.py --version-info DLL       the version resource as the launcher's
                                          --version-info prints it, with plain line
                                          ends (for a comparison with what Wine reads
                                          from the same file)

Uses Debian's python3-pefile, hence /usr/bin/python3."""
import re
import sys

import pefile

MACHINES = {"x86": (0x14C, 0x10B, "i386, PE32"), "x64": (0x8664, 0x20B, "x86-64, PE32+")}
EXPORTS = ["GetPluginInfo", "Help", "InitializePlugin", "ShutdownPlugin", "Usage", "_clver$",
           "nicshow"]
SYSTEM_DLLS = {"kernel32.dll", "msvcrt.dll", "user32.dll", "ws2_32.dll",
               "iphlpapi.dll", "advapi32.dll", "ole32.dll", "winmm.dll"}
STRING_KEYS = ["CompanyName", "FileDescription", "FileVersion", "InternalName",
               "LegalCopyright", "OriginalFilename", "ProductName", "ProductVersion", "Build",
               "Built On"]


def expected_strings(arch):
    return {
        "CompanyName": "Nicshow developers",
        "FileDescription": "Nicshow plugin for Take Command",
        "FileVersion": "0.95.2.0",
        "InternalName": "Nicshow",
        "LegalCopyright": "Copyright (C) 2026 Nicshow developers",
        "OriginalFilename": "Nicshow-%s.dll" % arch,
        "ProductName": "Nicshow plugin",
        "ProductVersion": "0.95.2.0  (%s)" % arch,
    }


def version_resource(pe):
    """(fixed file info, translation, {key: value} of the 040904B0 table)."""
    fixed = pe.VS_FIXEDFILEINFO[0] if hasattr(pe, "VS_FIXEDFILEINFO") else None
    translation, strings = None, None
    for info in getattr(pe, "FileInfo", []):
        for entry in info:
            if entry.Key == b"StringFileInfo":
                for table in entry.StringTable:
                    if table.LangID.upper() == b"040904B0":
                        strings = {k.decode(): v.decode() for k, v in table.entries.items()}
            elif entry.Key == b"VarFileInfo":
                for var in entry.Var:
                    translation = var.entry.get(b"Translation")
    return fixed, translation, strings


def version_lines(pe):
    fixed, translation, strings = version_resource(pe)
    lines = []
    if fixed:
        def quad(ms, ls):
            return "%u.%u.%u.%u" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
        lines += ["FixedFileVersion=" + quad(fixed.FileVersionMS, fixed.FileVersionLS),
                  "FixedProductVersion=" + quad(fixed.ProductVersionMS, fixed.ProductVersionLS),
                  "FileType=%u" % fixed.FileType, "FileOS=0x%X" % fixed.FileOS]
    if translation:
        lines.append("Translation=" + " ".join(t[2:].upper() for t in translation.split()))
    for key in STRING_KEYS:
        if strings and key in strings:
            lines.append("%s=%s" % (key, strings[key]))
        else:
            lines.append("%s is missing" % key)
    return lines


class Checks:
    def __init__(self, name):
        self.name, self.failed = name, 0

    def eq(self, what, expected, actual):
        if expected == actual:
            print("ok: %s: %s" % (self.name, what))
        else:
            self.failed += 1
            print("FAIL: %s: %s\n  expected: %r\n  actual:   %r" % (self.name, what, expected, actual))


def check_dll(path, arch, checks):
    """The checks on one DLL file; the pefile record, for checks of the caller's own."""
    pe = pefile.PE(path)
    machine, magic, words = MACHINES[arch]
    checks.eq("machine type (%s)" % words, (hex(machine), hex(magic)),
              (hex(pe.FILE_HEADER.Machine), hex(pe.OPTIONAL_HEADER.Magic)))
    checks.eq("a DLL", True, bool(pe.FILE_HEADER.Characteristics & 0x2000))
    exports = sorted(s.name.decode() if s.name else "ordinal %d" % s.ordinal
                     for s in getattr(pe, "DIRECTORY_ENTRY_EXPORT").symbols) \
        if hasattr(pe, "DIRECTORY_ENTRY_EXPORT") else []
    checks.eq("exactly the seven exports", EXPORTS, exports)
    imports = sorted({i.dll.decode().lower() for i in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])})
    checks.eq("imports only Windows system DLLs and TakeCmd.dll", [],
              [d for d in imports if d not in SYSTEM_DLLS | {"takecmd.dll"}])
    checks.eq("imports the host's services from TakeCmd.dll", True, "takecmd.dll" in imports)
    # Taken at run time from the system directory, so that a machine without it still loads
    # the DLL and gets the plug-in's own message.
    checks.eq("does not import the wireless LAN library", False, "wlanapi.dll" in imports)
    checks.eq("the runtime is linked in", [],
              [d for d in imports if re.match(r"lib(gcc|stdc\+\+|winpthread)", d)])

    fixed, translation, strings = version_resource(pe)
    if fixed is None or strings is None:
        checks.eq("version resource present", True, False)
        return pe
    checks.eq("fixed file and product version", ("0x5f", "0x20000", "0x5f", "0x20000"),
              (hex(fixed.FileVersionMS), hex(fixed.FileVersionLS), hex(fixed.ProductVersionMS),
               hex(fixed.ProductVersionLS)))
    checks.eq("file type DLL, OS 32-bit Windows on NT", (2, 0x40004),
              (fixed.FileType, fixed.FileOS))
    checks.eq("translation US English, UTF-16", "0x0409 0x04b0", translation)
    checks.eq("the version strings, no more, no fewer", sorted(STRING_KEYS), sorted(strings))
    for key, value in expected_strings(arch).items():
        checks.eq(key, value, strings.get(key))
    checks.eq("Build is a local date and time", True,
              bool(re.fullmatch(r"\d{4}-\d\d-\d\d \d\d:\d\d:\d\d", strings.get("Build", ""))))
    checks.eq("Built On names a machine", True, bool(strings.get("Built On")))
    return pe


def main(argv):
    if len(argv) == 3 and argv[1] == "--version-info":
        print("\n".join(version_lines(pefile.PE(argv[2]))))
        return 0
    if len(argv) != 3 or argv[2] not in MACHINES:
        print("usage: check_dll.py DLL x86|x64 | --version-info DLL", file=sys.stderr)
        return 2
    checks = Checks(argv[1].rsplit("/", 1)[-1])
    check_dll(argv[1], argv[2], checks)
    print("%s: %s" % (checks.name, "all checks passed" if not checks.failed
                      else "%d check(s) failed" % checks.failed))
    return 1 if checks.failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
