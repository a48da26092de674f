#!/bin/bash
# make dist: the release package dist/nicshow-VERSION.zip, from the release builds:
#   nicshow-VERSION/Nicshow-x86.dll, Nicshow-x64.dll   stripped of symbols
#   nicshow-VERSION/INSTALL.txt                          packaging/INSTALL.txt, CRLF
#   nicshow-VERSION/SHA256SUMS                           sha256sum of the three
# The same inputs give the same bytes: SOURCE_DATE_EPOCH (the release time, which make
# dist takes from the last commit) is the time in the PE headers that strip writes and
# of every zip entry; the entries have fixed modes and a fixed order.
#
#   SOURCE_DATE_EPOCH=SECONDS scripts/dist.sh VERSION WIN32_BIN WIN64_BIN OUT_DIR
set -euo pipefail
version=$1 win32_bin=$2 win64_bin=$3 out=$4
: "${SOURCE_DATE_EPOCH:?dist.sh: set SOURCE_DATE_EPOCH to the release time (make dist sets it to the last commit time)}"
export SOURCE_DATE_EPOCH
root=$(cd "$(dirname "$0")/.." && pwd)
name=nicshow-$version
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/$name" "$out"

i686-w64-mingw32-strip --strip-all -o "$stage/$name/Nicshow-x86.dll" "$win32_bin/Nicshow-x86.dll"
x86_64-w64-mingw32-strip --strip-all -o "$stage/$name/Nicshow-x64.dll" "$win64_bin/Nicshow-x64.dll"
sed 's/$/\r/' "$root/packaging/INSTALL.txt" >"$stage/$name/INSTALL.txt"
(cd "$stage/$name" && sha256sum Nicshow-x86.dll Nicshow-x64.dll INSTALL.txt >SHA256SUMS)

zip="$(cd "$out" && pwd)/$name.zip"
rm -f "$zip"
(cd "$stage" && /usr/bin/python3 - "$zip" "$name" <<'PY'
import os, sys, time, zipfile
zip_path, name = sys.argv[1], sys.argv[2]
# Zip times are local times without a zone: the release time in UTC, the same anywhere.
when = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), 315532800))[:6]
with zipfile.ZipFile(zip_path, "w", zipfile.ZIP_DEFLATED) as z:
    for f in ("Nicshow-x86.dll", "Nicshow-x64.dll", "INSTALL.txt", "SHA256SUMS"):
        entry = zipfile.ZipInfo(name + "/" + f, when)
        entry.compress_type = zipfile.ZIP_DEFLATED
        entry.external_attr = 0o100644 << 16  # a regular file, rw-r--r--
        with open(os.path.join(name, f), "rb") as data:
            z.writestr(entry, data.read())
PY
)
echo "dist: $zip ($(stat -c %s "$zip") bytes)"
