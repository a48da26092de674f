#!/bin/bash
# make dist: the release package dist/nicshow-VERSION.zip, from the release builds:
#   nicshow-VERSION/Nicshow-x86.dll, Nicshow-x64.dll   stripped of symbols
#   nicshow-VERSION/INSTALL.txt                          packaging/INSTALL.txt, CRLF
#   nicshow-VERSION/SHA256SUMS                           sha256sum of the three
#
#   scripts/dist.sh VERSION WIN32_BIN WIN64_BIN OUT_DIR
set -euo pipefail
version=$1 win32_bin=$2 win64_bin=$3 out=$4
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
import os, sys, zipfile
zip_path, name = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(zip_path, "w", zipfile.ZIP_DEFLATED) as z:
    for f in ("Nicshow-x86.dll", "Nicshow-x64.dll", "INSTALL.txt", "SHA256SUMS"):
        z.write(os.path.join(name, f), name + "/" + f)
PY
)
echo "dist: $zip ($(stat -c %s "$zip") bytes)"
