#!/bin/bash
# NICSHOW under Wine on test hosts of about 3, 51 and 501 interfaces, for each build that
# runs here: the command in a loaded host beside its floor (the IP Helper calls of a run
# alone) and beside Wine's own ipconfig /all; and, as the cost of a cold start, whole
# processes beside the floor, the plug-in's load and a program that does nothing.
#
#   scripts/bench-wine.sh [BIN...]   the builds' bin/ folders (build/win64/bin build/win32/bin)
#   scripts/bench-wine.sh --tables TSV ARCH   only the tables and targets of a bench-wine.tsv
#
#   RUNS=20            rounds per test host and build (the median of the rounds is reported)
#   REPEAT=n           runs of the command in one loaded host per round; by default about
#                      1000 / interfaces, from 3 to 200, so that a round takes seconds
#   PAIRS="1 25 250"   veth pairs per test host (interfaces: twice that, plus loopback)
#
# The medians go to bench-wine.tsv in each build's folder (beside BIN), tab-separated,
# and bench/plot.py draws them as bench-wine.png beside it (where Debian's
# python3-matplotlib is installed: make bench-wine installs it). A run of the documented
# shape (RUNS=20, the default PAIRS and REPEAT) also copies its plots to
# docs/images/bench-ARCH.png, the ones docs/performance.md shows; a shorter run leaves
# them alone.
#
# A build that cannot run here (the x86 one where the machine starts no i386 programs) is
# left out with one line saying why; exit code 77 when no build can run.
#
# Each test host is a network namespace made by scripts/testhosts.sh create-many: veth
# pairs with documentation addresses only (IPv4 on the first 125 pairs, IPv6 only beyond),
# every fifth peer down. Nothing here sends traffic. Every namespace is removed on every
# way out.
#
# Loaded: the shell loads a plug-in once and then calls the command each time the user
# types it, so what a user waits for is one call. The launcher with --repeat n --timing
# loads the plug-in once, runs the command once unmeasured and n times measured, and
# reports the median of one run: the call of the command and the write of its output
# (HostFlush). The floor program with --repeat n --timing makes the IP Helper calls of a
# run the same way, n times after one unmeasured pass. ipconfig /all is what a shell user
# would otherwise run, a whole process each time.
#
# In each namespace the programs take turns, RUNS rounds of: nicshow and nicshow /A in a
# loaded host, the floor and the floor /A repeated, ipconfig /all; then the whole
# processes of a cold start: nicshow, nicshow /A, the two floors run once, the launcher
# loading and unloading the plug-in without a command, the empty program. So a change of
# machine load falls on all of them alike. Output goes to a file, as a user's redirection
# would.
#
# Why a wineserver is started inside the namespace and everything is pinned to CPU 0:
# one wineserver serves the prefix whatever namespace it was started in (so it is stopped
# before and after each host, or Wine reports the first namespace's interfaces); a
# wineserver kept running (-p) turns a start-up of half a second into tens of
# milliseconds; and without one CPU for all Wine processes the client and the server
# wander between cores and the same program's time varies two to eight times. The
# wineserver's output is never read through a pipe: it keeps the pipe open as long as it
# lives, and the reader would wait for it.
set -e
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
RUNS=${RUNS:-20}
PAIRS=${PAIRS:-"1 25 250"}
LIMIT_FLOOR=1.10  # the command in a loaded host at most this many times its floor
LIMIT_IPCONFIG=3  # ipconfig /all at least this many times the command, at 3 interfaces
IPCONFIG_AT=3     # the smallest host, the only size that target is meant for

if [ "$1" = "--inner" ]; then
    # Runs inside the namespace: $2 the output folder, $3 the rounds, $4 the repeat count.
    out=$2
    rounds=$3
    n=$4
    cd "$NICSHOW_BIN"
    programs=(loaded loaded_a rfloor rfloor_a ipconfig nicshow nicshow_a floor floor_a load idle)
    # Each program runs in the background and is waited for: bash leaves a Ctrl-C that a
    # foreground Wine program survives unanswered, but it ends a wait and runs the trap.
    trap 'kill "$child" 2>/dev/null; exit 130' INT TERM
    run_one() {  # PROGRAM, in a subshell of its own, which becomes the program
        local pin=(exec taskset -c 0 "$WINE")
        case $1 in
            loaded) "${pin[@]}" nicshow-host.exe --repeat "$n" --timing --set noloadmsg=1 \
                "$NICSHOW_DLL" nicshow ;;
            loaded_a) "${pin[@]}" nicshow-host.exe --repeat "$n" --timing --set noloadmsg=1 \
                "$NICSHOW_DLL" nicshow /A ;;
            rfloor) "${pin[@]}" nicshow-floor.exe --repeat "$n" --timing ;;
            rfloor_a) "${pin[@]}" nicshow-floor.exe --repeat "$n" --timing /A ;;
            ipconfig) "${pin[@]}" 'C:\windows\system32\ipconfig.exe' /all ;;
            nicshow) "${pin[@]}" nicshow-host.exe --set noloadmsg=1 "$NICSHOW_DLL" nicshow ;;
            nicshow_a) "${pin[@]}" nicshow-host.exe --set noloadmsg=1 "$NICSHOW_DLL" nicshow /A ;;
            floor) "${pin[@]}" nicshow-floor.exe ;;
            floor_a) "${pin[@]}" nicshow-floor.exe /A ;;
            load) "${pin[@]}" nicshow-host.exe --set noloadmsg=1 "$NICSHOW_DLL" ;;
            idle) "${pin[@]}" nicshow-idle.exe ;;
        esac
    }
    run() {  # PROGRAM
        run_one "$1" >"$out/$1.txt" 2>"$out/$1.err" &
        child=$!
        wait "$child"
    }
    # The median of one run from a --timing line; the others are timed as whole processes.
    record() {  # PROGRAM START END
        local line
        case $1 in
            loaded* | rfloor*)
                line=$(grep -a '^timing: ' "$out/$1.err") || {
                    echo "bench-wine: no timing line from $1:" >&2
                    cat "$out/$1.err" >&2
                    exit 1
                }
                line=${line#*median_ms=}
                echo "${line%% *}" >>"$out/$1.ms"
                ;;
            *) echo "${2/./} ${3/./}" | awk '{ printf "%.3f\n", ($2 - $1) / 1000 }' >>"$out/$1.ms" ;;
        esac
    }
    # One round unmeasured, which also checks that each program works here and that every
    # run in the loaded host wrote the same report as a cold start.
    for p in "${programs[@]}"; do
        run "$p" || {
            echo "bench-wine: $p failed here (exit code $?):" >&2
            cat "$out/$p.err" >&2
            exit 1
        }
    done
    for p in nicshow nicshow_a; do
        for ((i = 0; i <= n; i++)); do cat "$out/$p.txt"; done >"$out/$p.expected"
        if ! cmp -s "$out/$p.expected" "$out/loaded${p#nicshow}.txt"; then
            echo "bench-wine: the $((n + 1)) runs of loaded${p#nicshow} differ from one cold run of $p" >&2
            exit 1
        fi
    done
    for ((r = 0; r < rounds; r++)); do
        for p in "${programs[@]}"; do
            start=$EPOCHREALTIME
            run "$p"
            end=$EPOCHREALTIME
            record "$p" "$start" "$end"
        done
    done
    exit 0
fi

# The tables of one build's bench-wine.tsv: the loaded host against the targets, then the
# cold start.
tables() {  # TSV ARCH
    awk -F'\t' -v arch="$2" -v lf="$LIMIT_FLOOR" -v li="$LIMIT_IPCONFIG" -v at="$IPCONFIG_AT" '
    NR > 1 { t[$1, $2] = $3; rounds = $5; rep[$1] = $6
             if (!($1 in seen)) { seen[$1] = 1; order[++n] = $1 } }
    function floor_target(what, num, den,    i, k, r, line) {
        line = ""
        for (i = 1; i <= n; i++) {
            k = order[i]
            r = t[k, num] / t[k, den]
            if (r <= lf + 0) {
                line = line sprintf("  %s: met, %.1f%% to spare (%.3f)", k, (1 - r / lf) * 100, r)
            } else {
                line = line sprintf("  %s: MISSED by %.1f%% (%.3f)", k, (r / lf - 1) * 100, r)
            }
        }
        printf "target %s within %.2f times its floor:%s\n", what, lf, line
    }
    # Judged at the smallest host alone; the larger ones show their ratio without a verdict.
    function ipconfig_target(what, prog,    i, k, r, line) {
        line = ((at, "ipconfig") in t) ? "" : sprintf("  %d: not measured", at)
        for (i = 1; i <= n; i++) {
            k = order[i]
            r = t[k, "ipconfig"] / t[k, prog]
            if (k != at + 0)
                line = line sprintf("  %s: %.2f times (n/a)", k, r)
            else if (r >= li + 0)
                line = line sprintf("  %s: met, %.1f times the target (%.1f times)", k, r / li, r)
            else
                line = line sprintf("  %s: MISSED by %.0f%% (%.2f times)", k, (1 - r / li) * 100, r)
        }
        printf "target %s at least %d times faster than ipconfig /all at %d interfaces:%s\n",
               what, li, at, line
    }
    END {
        printf "\n%s: the command in a loaded host, milliseconds per run (median of %d rounds, " \
               "each the median of n runs)\n", arch, rounds
        printf "%-5s %4s %9s %9s %7s %9s %9s %7s %9s %8s %8s\n", "ifs", "n", "nicshow",
               "floor", "ratio", "/A", "floor /A", "ratio", "ipconfig", "ipc/n", "ipc/A"
        for (i = 1; i <= n; i++) {
            k = order[i]
            printf "%-5s %4d %9.3f %9.3f %7.3f %9.3f %9.3f %7.3f %9.1f %8.1f %8.1f\n", k, rep[k],
                   t[k, "loaded"], t[k, "rfloor"], t[k, "loaded"] / t[k, "rfloor"],
                   t[k, "loaded_a"], t[k, "rfloor_a"], t[k, "loaded_a"] / t[k, "rfloor_a"],
                   t[k, "ipconfig"], t[k, "ipconfig"] / t[k, "loaded"],
                   t[k, "ipconfig"] / t[k, "loaded_a"]
        }
        print "ratio: the command / the floor repeated alike; ipconfig: ipconfig /all as a whole process;"
        print "ipc/n, ipc/A: ipconfig /all / the command (basic, /A)"
        floor_target("nicshow", "loaded", "rfloor")
        floor_target("nicshow /A", "loaded_a", "rfloor_a")
        ipconfig_target("nicshow", "loaded")
        ipconfig_target("nicshow /A", "loaded_a")

        printf "\n%s: the cost of a cold start, whole processes, milliseconds (median of %d rounds)\n",
               arch, rounds
        printf "%-5s %8s %8s %8s %8s %8s %8s %8s | %6s %6s | %7s %7s\n", "ifs",
               "nicshow", "/A", "floor", "floor/A", "ipconfig", "load", "idle",
               "n/fl", "A/flA", "run/fl", "runA/fl"
        for (i = 1; i <= n; i++) {
            k = order[i]
            printf "%-5s %8.1f %8.1f %8.1f %8.1f %8.1f %8.1f %8.1f | %6.2f %6.2f | %7.2f %7.2f\n",
                   k, t[k, "nicshow"], t[k, "nicshow_a"], t[k, "floor"], t[k, "floor_a"],
                   t[k, "ipconfig"], t[k, "load"], t[k, "idle"],
                   t[k, "nicshow"] / t[k, "floor"], t[k, "nicshow_a"] / t[k, "floor_a"],
                   (t[k, "nicshow"] - t[k, "load"]) / (t[k, "floor"] - t[k, "idle"]),
                   (t[k, "nicshow_a"] - t[k, "load"]) / (t[k, "floor_a"] - t[k, "idle"])
        }
        print "n/fl, A/flA: whole process / floor process; load: the launcher loading and unloading"
        print "the plug-in; idle: an empty program; run/fl: (nicshow - load) / (floor - idle)"
    }' "$1"
}

if [ "$1" = --tables ]; then
    tables "$2" "$3"
    exit
fi

BINS=("$@")
[ ${#BINS[@]} -gt 0 ] || BINS=("$ROOT/build/win64/bin" "$ROOT/build/win32/bin")
TESTHOSTS="$ROOT/scripts/testhosts.sh"

if ! bash "$TESTHOSTS" check; then
    echo "bench-wine: SKIPPED: network namespaces cannot be made here (root and iproute2 needed)"
    exit 77
fi

arch_of() {  # BIN: x64 or x86
    (source "$ROOT/scripts/wine-env.sh" "$1" && echo "$NICSHOW_ARCH")
}

# The builds that run here, each checked and its prefix made before any namespace.
RUNNABLE=()
for bin in "${BINS[@]}"; do
    [ -d "$bin" ] || { echo "bench-wine: $bin: no such folder" >&2; exit 2; }
    if why=$(source "$ROOT/scripts/wine-env.sh" "$bin" && wine_can_run); then
        (
            source "$ROOT/scripts/wine-env.sh" "$bin"
            for exe in nicshow-host.exe "$NICSHOW_DLL" TakeCmd.dll nicshow-floor.exe \
                nicshow-idle.exe; do
                [ -f "$NICSHOW_BIN/$exe" ] ||
                    { echo "bench-wine: $NICSHOW_BIN/$exe missing" >&2; exit 2; }
            done
            wine_prefix_ready
        )
        RUNNABLE+=("$bin")
    else
        arch=$(arch_of "$bin")
        echo "bench-wine: $arch not measured: $why"
    fi
done
if [ ${#RUNNABLE[@]} -eq 0 ]; then
    echo "bench-wine: SKIPPED: no build can run under Wine here"
    exit 77
fi

WORK=$(mktemp -d)
NAMESPACES=()
stop_wineservers() {
    local bin
    for bin in "${RUNNABLE[@]}"; do
        (source "$ROOT/scripts/wine-env.sh" "$bin" && wine_stop)
    done
}
cleanup() {
    stop_wineservers
    for ns in "${NAMESPACES[@]}"; do
        bash "$TESTHOSTS" delete "$ns"
    done
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

median() {
    sort -n "$1" | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2];
                                             else printf "%.4f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

repeat_for() {  # INTERFACES
    if [ -n "$REPEAT" ]; then
        echo "$REPEAT"
    else
        awk -v i="$1" 'BEGIN { n = int(1000 / i); print (n < 3 ? 3 : (n > 200 ? 200 : n)) }'
    fi
}

# One build on one test host: its own wineserver inside the namespace, the rounds, the
# medians appended to the build's results.
bench_build() {  # BIN NS PAIRS INTERFACES REPEAT
    local bin=$1 ns=$2 pairs=$3 interfaces=$4 n=$5 out results f p
    source "$ROOT/scripts/wine-env.sh" "$bin"
    out="$WORK/$NICSHOW_ARCH-$pairs"
    results=$(results_of "$bin")
    mkdir -p "$out"
    wine_stop
    ip netns exec "$ns" taskset -c 0 "$WINESERVER" -p >/dev/null 2>&1
    ip netns exec "$ns" bash "$0" --inner "$out" "$RUNS" "$n"
    wine_stop
    for f in "$out"/*.ms; do
        p=$(basename "$f" .ms)
        printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$interfaces" "$p" "$(median "$f")" \
            "$(sort -n "$f" | head -1)" "$(wc -l <"$f")" "$n" >>"$results"
    done
    # Each test host's /A report is kept beside the results, for a look.
    cp "$out/nicshow_a.txt" "$(dirname "$results")/bench-wine-$interfaces.txt"
}

results_of() {  # BIN
    echo "$(cd "$1/.." && pwd)/bench-wine.tsv"
}

for bin in "${RUNNABLE[@]}"; do
    printf 'interfaces\tprogram\tmedian_ms\tmin_ms\trounds\trepeat\n' >"$(results_of "$bin")"
done
for pairs in $PAIRS; do
    ns="nicshow-bench-$$-$pairs"
    NAMESPACES+=("$ns")
    start=$EPOCHREALTIME
    bash "$TESTHOSTS" create-many "$ns" $((pairs * 2))
    end=$EPOCHREALTIME
    interfaces=$(ip -n "$ns" -o link show | wc -l)
    n=$(repeat_for "$interfaces")
    echo "${start/./} ${end/./} $interfaces $n $RUNS $(cut -d' ' -f1 /proc/loadavg)" |
        awk '{ printf "bench-wine: test host of %d interfaces made in %.1f s; %d rounds, " \
               "%d runs in a loaded host per round; load average %s\n",
               $3, ($2 - $1) / 1e6, $5, $4, $6 }'
    for bin in "${RUNNABLE[@]}"; do
        (bench_build "$bin" "$ns" "$pairs" "$interfaces" "$n")
    done
    bash "$TESTHOSTS" delete "$ns"
done

# The tables, one pair per build.
for bin in "${RUNNABLE[@]}"; do
    tables "$(results_of "$bin")" "$(arch_of "$bin")"
done

# The plots.
if ! /usr/bin/python3 -c 'import matplotlib' 2>/dev/null; then
    echo "bench-wine: no plots: python3-matplotlib is not installed (make bench-wine installs it)"
else
    documented=no
    [ "$RUNS" = 20 ] && [ "$PAIRS" = "1 25 250" ] && [ -z "$REPEAT" ] && documented=yes
    for bin in "${RUNNABLE[@]}"; do
        arch=$(arch_of "$bin")
        tsv=$(results_of "$bin")
        /usr/bin/python3 "$ROOT/bench/plot.py" "$tsv" "${tsv%.tsv}.png" "$arch"
        if [ $documented = yes ]; then
            mkdir -p "$ROOT/docs/images"
            cp "${tsv%.tsv}.png" "$ROOT/docs/images/bench-$arch.png"
            echo "bench-wine: plot ${tsv%.tsv}.png, copied to docs/images/bench-$arch.png"
        else
            echo "bench-wine: plot ${tsv%.tsv}.png (not copied to docs/images: RUNS, PAIRS or" \
                "REPEAT differ from the documented run)"
        fi
    done
fi
echo
echo "bench-wine: $RUNS rounds on each test host; load average at the end" \
    "$(cut -d' ' -f1-3 /proc/loadavg); results in" \
    "$(for bin in "${RUNNABLE[@]}"; do printf '%s ' "$(results_of "$bin")"; done)"
