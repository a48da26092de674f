#!/bin/bash
# NICSHOW under Wine on test hosts of about 3, 51 and 501 interfaces, beside its floor
# (the IP Helper calls of a run alone), Wine's own ipconfig /all and a program that does
# nothing (Wine's start-up cost).
#
#   scripts/bench-wine.sh [BIN]     BIN: the win32 build's bin/ folder (build/win32/bin)
#
#   RUNS=20            timed runs of each program per test host (the median is reported)
#   PAIRS="1 25 250"   veth pairs per test host (interfaces: twice that, plus loopback)
#   RESULTS=FILE       where the medians go (tab-separated); default beside BIN
#
# Each test host is a network namespace made by scripts/testhosts.sh create-many: veth
# pairs with documentation addresses only (IPv4 on the first 125 pairs, IPv6 only beyond),
# every fifth peer down. Nothing here sends traffic. Every namespace is removed on every
# way out.
#
# In each namespace the programs run in turn, one after the other (nicshow, nicshow /A,
# ipconfig /all, the two floors, the launcher loading and unloading the plug-in without a
# command, the empty program), RUNS times round, so that a change of
# machine load falls on all of them alike. Output goes to a file, as a user's redirection
# would: /dev/null would let the host skip work a real run does.
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

if [ "$1" = "--inner" ]; then
    # Runs inside the namespace: $2 the output folder, $3 the number of rounds.
    out=$2
    rounds=$3
    cd "$NICSHOW_BIN"
    programs=(nicshow nicshow_a ipconfig floor floor_a load idle)
    run_one() {
        case $1 in
            nicshow) taskset -c 0 wine nicshow-host.exe --set noloadmsg=1 Nicshow-x86.dll nicshow ;;
            nicshow_a) taskset -c 0 wine nicshow-host.exe --set noloadmsg=1 Nicshow-x86.dll nicshow /A ;;
            ipconfig) taskset -c 0 wine 'C:\windows\system32\ipconfig.exe' /all ;;
            floor) taskset -c 0 wine nicshow-floor.exe ;;
            floor_a) taskset -c 0 wine nicshow-floor.exe /A ;;
            load) taskset -c 0 wine nicshow-host.exe --set noloadmsg=1 Nicshow-x86.dll ;;
            idle) taskset -c 0 wine nicshow-idle.exe ;;
        esac
    }
    # One round unmeasured, which also checks that each program works here.
    for p in "${programs[@]}"; do
        if ! run_one "$p" >"$out/$p.txt" 2>"$out/$p.err"; then
            echo "bench-wine: $p failed here:" >&2
            cat "$out/$p.err" >&2
            exit 1
        fi
    done
    for ((r = 0; r < rounds; r++)); do
        for p in "${programs[@]}"; do
            start=$EPOCHREALTIME
            run_one "$p" >"$out/$p.txt" 2>>"$out/$p.err"
            end=$EPOCHREALTIME
            echo "${start/./} ${end/./}" | awk '{ printf "%.3f\n", ($2 - $1) / 1000 }' \
                >>"$out/$p.ms"
        done
    done
    exit 0
fi

source "$ROOT/scripts/wine-env.sh" "${1:-}"
TESTHOSTS="$ROOT/scripts/testhosts.sh"
RESULTS=${RESULTS:-$(dirname "$NICSHOW_BIN")/bench-wine.tsv}
export NICSHOW_BIN

if ! bash "$TESTHOSTS" check; then
    echo "bench-wine: SKIPPED: network namespaces cannot be made here (root and iproute2 needed)"
    exit 77
fi
for exe in nicshow-host.exe Nicshow-x86.dll TakeCmd.dll nicshow-floor.exe nicshow-idle.exe; do
    [ -f "$NICSHOW_BIN/$exe" ] || { echo "bench-wine: $NICSHOW_BIN/$exe missing" >&2; exit 2; }
done
wine_prefix_ready

WORK=$(mktemp -d)
NAMESPACES=()
stop_wineserver() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}
cleanup() {
    stop_wineserver
    for ns in "${NAMESPACES[@]}"; do
        bash "$TESTHOSTS" delete "$ns"
    done
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

median() {
    sort -n "$1" | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2];
                                             else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

printf 'interfaces\tprogram\tmedian_ms\tmin_ms\truns\n' >"$RESULTS"
for pairs in $PAIRS; do
    ns="nicshow-bench-$$-$pairs"
    NAMESPACES+=("$ns")
    start=$EPOCHREALTIME
    bash "$TESTHOSTS" create-many "$ns" $((pairs * 2))
    end=$EPOCHREALTIME
    interfaces=$(ip -n "$ns" -o link show | wc -l)
    echo "${start/./} ${end/./} $interfaces" |
        awk '{ printf "bench-wine: test host of %d interfaces made in %.1f s\n", $3, ($2 - $1) / 1e6 }'

    stop_wineserver
    ip netns exec "$ns" taskset -c 0 wineserver -p >/dev/null 2>&1
    mkdir -p "$WORK/$pairs"
    ip netns exec "$ns" bash "$0" --inner "$WORK/$pairs" "$RUNS"
    stop_wineserver

    for f in "$WORK/$pairs"/*.ms; do
        p=$(basename "$f" .ms)
        printf '%s\t%s\t%s\t%s\t%s\n' "$interfaces" "$p" "$(median "$f")" \
            "$(sort -n "$f" | head -1)" "$(wc -l <"$f")" >>"$RESULTS"
    done
    # The report of the largest listing is kept beside the results, for a look.
    cp "$WORK/$pairs/nicshow_a.txt" "$(dirname "$RESULTS")/bench-wine-$interfaces.txt"
    bash "$TESTHOSTS" delete "$ns"
done

# The table: medians in milliseconds and the ratios the targets are about. The last two
# columns set what the command adds to loading the plug-in against what the floor adds to
# starting a process: the run's own cost beside the platform calls' own cost.
awk -F'\t' 'NR > 1 { t[$1, $2] = $3; if (!($1 in seen)) { seen[$1] = 1; order[++n] = $1 } }
    END {
        printf "%-5s %8s %8s %8s %8s %8s %8s %8s | %6s %6s %6s %6s | %7s %7s\n", "ifs",
               "nicshow", "/A", "floor", "floor/A", "ipconfig", "load", "idle",
               "n/fl", "A/flA", "n/ipc", "A/ipc", "run/fl", "runA/fl"
        for (i = 1; i <= n; i++) {
            k = order[i]
            printf "%-5s %8.1f %8.1f %8.1f %8.1f %8.1f %8.1f %8.1f | %6.2f %6.2f %6.2f %6.2f | %7.2f %7.2f\n",
                   k, t[k, "nicshow"], t[k, "nicshow_a"], t[k, "floor"], t[k, "floor_a"],
                   t[k, "ipconfig"], t[k, "load"], t[k, "idle"],
                   t[k, "nicshow"] / t[k, "floor"], t[k, "nicshow_a"] / t[k, "floor_a"],
                   t[k, "nicshow"] / t[k, "ipconfig"], t[k, "nicshow_a"] / t[k, "ipconfig"],
                   (t[k, "nicshow"] - t[k, "load"]) / (t[k, "floor"] - t[k, "idle"]),
                   (t[k, "nicshow_a"] - t[k, "load"]) / (t[k, "floor_a"] - t[k, "idle"])
        }
        print "n/fl: nicshow / floor; A/flA: nicshow /A / floor /A; n/ipc, A/ipc: over ipconfig /all;"
        print "run/fl: (nicshow - load) / (floor - idle), the command beside the platform calls alone"
    }' "$RESULTS"
echo "bench-wine: medians of $RUNS alternating runs each, in milliseconds; $RESULTS"
