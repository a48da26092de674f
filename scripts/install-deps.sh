#!/bin/bash
# Installs, with apt-get, only what the builds and tests need and the machine lacks.
# Idempotent and quiet when everything is already there.
#
#   scripts/install-deps.sh            the builds' and tests' packages
#   scripts/install-deps.sh PKG...     only these (the tools of one target: make pictures
#                                      installs ansilove, make bench python3-matplotlib)
set -euo pipefail

# wine32 installs on a machine that cannot run i386 programs too; the tests then skip
# the 32-bit build's end-to-end runs. python3-pefile reads the DLLs' structure.
pkgs=(cmake g++ make libgtest-dev libgmock-dev googletest libbenchmark-dev
      g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64
      binutils-mingw-w64-x86-64 wine wine64 wine32:i386 tmux iproute2
      clang libclang-rt-14-dev valgrind python3 python3-pefile)
[ $# -gt 0 ] && pkgs=("$@")

missing=()
for p in "${pkgs[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=
[ "$(id -u)" -ne 0 ] && SUDO=sudo
if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi
# About 11 s a package: the cross compilers and Wine (8 of them, the largest) took 90 s
# on a fresh machine here, with the package lists' update.
minutes=$(( (${#missing[@]} * 11 + 59) / 60 ))
echo "install-deps: installing ${#missing[@]} packages with apt-get: once, about" \
    "$minutes minute$([ "$minutes" -eq 1 ] || echo s) (${missing[*]})" >&2
export DEBIAN_FRONTEND=noninteractive
# A mirror caught in the middle of a sync serves one index of the wrong size; apt-get
# keeps the others, so a failed update is tried once more and then is no reason to stop.
if ! $SUDO apt-get update -qq >/dev/null; then
    sleep 10
    $SUDO apt-get update -qq >/dev/null ||
        echo "install-deps: apt-get update failed; installing from the lists it could read" >&2
fi
if ! $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; then
    # Without the i386 lists (seen: bookworm-security's, during a sync) no i386 package
    # matches the versions of its amd64 libraries. The rest can still come: the x86 build
    # is then built but not run, and its end-to-end scripts say so.
    rest=()
    for p in "${missing[@]}"; do
        [[ $p == *:i386 ]] || rest+=("$p")
    done
    [ ${#rest[@]} -lt ${#missing[@]} ] || exit 1
    echo "install-deps: the i386 packages cannot be installed now; installing the others:" \
        "32-bit Wine is missing, so the x86 build will not run end to end" >&2
    [ ${#rest[@]} -eq 0 ] || $SUDO apt-get install -y -qq --no-install-recommends "${rest[@]}" >/dev/null
fi
