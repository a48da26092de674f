#!/bin/bash
# Installs, with apt-get, only what the builds and tests need and the machine lacks.
# Idempotent and quiet when everything is already there.
#
#   scripts/install-deps.sh               every package of the builds and tests (make test)
#   scripts/install-deps.sh --for SET...  the packages of some goals: native (the native
#                                         build, make unit), x64 or x86 (that Windows
#                                         build), x64-run or x86-run (make run of it), all
#   scripts/install-deps.sh PKG...        only these (the tools of one target: make pictures
#                                         installs ansilove, make bench python3-matplotlib)
#
# What cannot be installed is said in one line (what is missing, what will not run without
# it, and why: where apt-get's output went, that the i386 architecture could not be added,
# or that this user is not root and has no sudo) and written into a note,
# install-deps.missing in NICSHOW_BUILD (the Makefile's BUILD, build/ by default), one
# package a line with its reason after a tab; for a day, or until the note is deleted,
# those packages are not asked for again.
#
# Exit codes, one meaning each:
#   0  everything asked for is here, or only 32-bit Wine is missing (the x86 build is
#      still built, only not run, so make goes on)
#   1  another package is missing: make stops
#   2  no such package set
#   3  this script failed on its own (a folder it cannot write, say), in one line
set -eEuo pipefail
trap 'rc=$?; echo "install-deps: stopped: \"$BASH_COMMAND\" failed (exit code $rc)" >&2; exit 3' ERR
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/i386.sh"
build=${NICSHOW_BUILD:-$root/build}
note=$build/install-deps.missing
log=$build/install-deps.log

# wine32 installs on a machine that cannot run i386 programs too; the tests then skip
# the 32-bit build's end-to-end runs. python3-pefile reads the DLLs' structure. Both
# Wine runs use the 64-bit wineserver, which serves 32-bit prefixes too.
set_packages() {
    case $1 in
        native) echo cmake make g++ libgtest-dev libgmock-dev googletest libbenchmark-dev ;;
        x64) echo cmake make g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 ;;
        x86) echo cmake make g++-mingw-w64-i686 binutils-mingw-w64-i686 ;;
        x64-run) echo "$(set_packages x64) wine64" ;;
        x86-run) echo "$(set_packages x86) wine64 wine32:i386" ;;
        all) echo "$(set_packages native) $(set_packages x64) $(set_packages x86)" \
            wine wine64 wine32:i386 tmux iproute2 clang libclang-rt-14-dev valgrind \
            python3 python3-pefile ;;
        *) return 1 ;;
    esac
}

# What will not work without a package, as a clause of the one line.
without() {
    case $1 in
        cmake | make) echo "nothing will build" ;;
        g++ | libgtest-dev | libgmock-dev | googletest) echo "the unit tests will not build" ;;
        libbenchmark-dev) echo "the benchmarks will not build" ;;
        *mingw-w64-i686) echo "the x86 DLL will not build" ;;
        *mingw-w64-x86-64) echo "the x64 DLL will not build" ;;
        wine32:i386) echo "the x86 build will not run under Wine (make run ARCH=x86, its end-to-end tests)" ;;
        wine | wine64) echo "the Windows builds will not run under Wine" ;;
        tmux | iproute2) echo "the end-to-end tests will not run" ;;
        python3 | python3-pefile) echo "the DLLs' checks will not run" ;;
        clang | libclang-rt-14-dev) echo "the fuzzers will not build" ;;
        valgrind) echo "make memcheck will not run" ;;
        python3-matplotlib) echo "the benchmarks will have no plots" ;;
        ansilove) echo "make pictures will not run" ;;
        *) echo "what needs $1 will not work" ;;
    esac
}

stamp() { date "$@" '+%Y-%m-%d %H:%M'; }

# "a", "a and b", "a, b and c"
listing() {
    local out="" i
    for ((i = 1; i <= $#; i++)); do
        if [ "$i" -gt 1 ]; then
            if [ "$i" -eq $# ]; then out+=" and "; else out+=", "; fi
        fi
        out+=${!i}
    done
    echo "$out"
}

# Why each package of the note was not had (empty: apt-get failed, its log tells).
declare -A why=()

# "a; b" from the reasons of these packages, each said once.
reasons() {
    local p r out=""
    local -A told=()
    for p in "$@"; do
        r=${why[$p]:-"apt-get's output: $log"}
        [ -n "${told[$r]:-}" ] || out+="${out:+; }$r"
        told[$r]=1
    done
    echo "$out"
}

# The one line for packages that could not be had, at the note's time.
say_missing() {
    local p clause clauses=() i386=""
    local -A seen=()
    for p in "$@"; do
        clause=$(without "$p")
        [ -n "${seen[$clause]:-}" ] || clauses+=("$clause")
        seen[$clause]=1
        [[ $p != *:i386 ]] || i386="; $(i386_state)"
    done
    echo "install-deps: $(listing "$@") could not be installed ($(stamp -r "$note");" \
        "$(reasons "$@")), so $(listing "${clauses[@]}")$i386." \
        "Not asked for again until $(stamp -d "@$(($(stat -c %Y "$note") + 86400))")," \
        "or until $note is deleted." >&2
}

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

pkgs=()
if [ "${1:-}" = --for ]; then
    shift
    sets=("$@")
elif [ $# -gt 0 ]; then
    sets=()
    pkgs=("$@")
else
    sets=(all)
fi
for s in "${sets[@]}"; do
    list=$(set_packages "$s") || {
        echo "install-deps: no package set $s (native, x64, x86, x64-run, x86-run, all)" >&2
        exit 2
    }
    read -ra more <<<"$list"
    pkgs+=("${more[@]}")
done

missing=()
for p in "${pkgs[@]}"; do
    [[ " ${missing[*]} " == *" $p "* ]] || installed "$p" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

# A note younger than a day holds what could not be installed then, and why.
noted=()
if [ -n "$(find "$note" -maxdepth 0 -mmin -1440 2>/dev/null)" ]; then
    while IFS=$'\t' read -r p r; do
        [[ -z $p || $p == \#* ]] && continue
        noted+=("$p")
        why[$p]=$r
    done <"$note"
fi
fresh=()
for p in "${missing[@]}"; do
    [[ " ${noted[*]} " == *" $p "* ]] || fresh+=("$p")
done

if [ ${#fresh[@]} -gt 0 ]; then
    SUDO=
    nosudo=
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null; then SUDO=sudo; else nosudo="not root, and no sudo"; fi
    fi
    mkdir -p "$build"
    : >"$log"
    # An i386 package needs the architecture added first; where that fails, the other
    # packages are still installed.
    get=("${fresh[@]}")
    if [[ " ${fresh[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        arch_why=$nosudo
        if [ -z "$nosudo" ]; then
            echo "\$ dpkg --add-architecture i386" >>"$log"
            rc=0
            out=$($SUDO dpkg --add-architecture i386 2>&1) || rc=$?
            [ -z "$out" ] || echo "$out" >>"$log"
            if [ "$rc" -ne 0 ]; then
                # Its last line says why (dpkg's error, or sudo's).
                arch_why=$(awk 'NF { last = $0 } END { print last }' <<<"$out")
                : "${arch_why:=dpkg --add-architecture i386 failed with exit code $rc}"
            fi
        fi
        if [ -n "$arch_why" ]; then
            get=()
            for p in "${fresh[@]}"; do
                if [[ $p == *:i386 ]]; then
                    why[$p]="the i386 architecture could not be added: $arch_why"
                else
                    get+=("$p")
                fi
            done
        fi
    fi
    if [ -n "$nosudo" ]; then
        for p in "${get[@]}"; do
            why[$p]="$nosudo to run apt-get"
        done
        get=()
    fi
    if [ ${#get[@]} -gt 0 ]; then
        # About 11 s a package: the cross compilers and Wine (8 of them, the largest) took
        # 90 s on a fresh machine here, with the package lists' update.
        minutes=$(( (${#get[@]} * 11 + 59) / 60 ))
        echo "install-deps: installing ${#get[@]} package$([ ${#get[@]} -eq 1 ] || echo s)" \
            "with apt-get (${get[*]}): about $minutes minute$([ "$minutes" -eq 1 ] || echo s)" >&2
        export DEBIAN_FRONTEND=noninteractive
        apt() { echo "\$ apt-get $*" >>"$log"; $SUDO apt-get "$@" >>"$log" 2>&1; }
        # A mirror caught in the middle of a sync serves one index of the wrong size;
        # apt-get keeps the others, so a failed update is tried once more and then is no
        # reason to stop.
        apt update -qq || { sleep 10; apt update -qq; } || true
        # Without the i386 lists (seen: bookworm-security's, during a sync) no i386 package
        # matches the versions of its amd64 libraries, and one package that cannot be had
        # fails the whole install: then each is tried alone.
        if ! apt install -y -qq --no-install-recommends "${get[@]}" && [ ${#get[@]} -gt 1 ]; then
            for p in "${get[@]}"; do
                installed "$p" || apt install -y -qq --no-install-recommends "$p" || true
            done
        fi
    fi
    # A new failure starts the note's day anew, with what the old note holds and still
    # lacks; without one the note keeps its time (or goes, once nothing in it is missing).
    failed=()
    for p in "${fresh[@]}"; do
        installed "$p" || failed+=("$p")
    done
    kept=()
    for p in "${noted[@]}"; do
        installed "$p" || kept+=("$p")
    done
    if [ ${#failed[@]} -gt 0 ]; then
        {
            echo "# These could not be installed on $(stamp), each for the reason after it;"
            echo "# none: apt-get failed, its output is in"
            echo "#   $log"
            echo "# They are not asked for again for a day, or until this file is deleted."
            for p in "${kept[@]}" "${failed[@]}"; do
                printf '%s%s\n' "$p" "${why[$p]:+$'\t'${why[$p]}}"
            done
        } >"$note"
    elif [ ${#kept[@]} -eq 0 ]; then
        rm -f "$note"
    fi
fi

# What this call asked for and cannot have: said, and only 32-bit Wine may be missing.
still=()
for p in "${missing[@]}"; do
    installed "$p" || still+=("$p")
done
[ ${#still[@]} -eq 0 ] && exit 0
say_missing "${still[@]}"
for p in "${still[@]}"; do
    [[ $p == *:i386 ]] || exit 1
done
exit 0
