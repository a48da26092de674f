#!/bin/bash
# Runs one end-to-end script for one Windows build, the way ctest calls it:
#
#   tests/e2e/run.sh SCRIPT BIN
#
# A build that cannot run on this machine (the x86 one where i386 programs cannot start)
# is reported skipped in one line, with exit code 77. Whatever becomes of the script
# (passed, failed, out of time, interrupted), nothing it started is left behind: its tmux
# servers, the Wine processes of the build's prefix, the network namespaces it made.
# The script has E2E_SECONDS (default 540, below ctest's own limit of 600) to finish.
script=$1
bin=$2
source "$(dirname "$0")/../../scripts/wine-env.sh" "$bin"
name=$(basename "$script" .sh)
results="$(dirname "$NICSHOW_BIN")/e2e-results.txt"

if ! why=$(wine_can_run); then
    echo "SKIPPED: $name of the $NICSHOW_ARCH build: $why"
    echo "$name skipped" >>"$results"
    exit 77
fi

# Everything the script makes is named or placed so that it can be found here: its
# temporary files (tmux sockets among them) under one folder, its namespaces by prefix.
export TMPDIR
TMPDIR=$(mktemp -d "/tmp/nicshow-e2e-$NICSHOW_ARCH.XXXXXX")
export NICSHOW_NS_PREFIX="ns-$NICSHOW_ARCH-$$"

cleanup() {
    trap '' INT TERM HUP
    [ -n "${child:-}" ] && kill -TERM "$child" 2>/dev/null && wait "$child" 2>/dev/null
    local socket ns
    for socket in "$TMPDIR"/*/socket; do
        [ -S "$socket" ] && tmux -S "$socket" kill-server 2>/dev/null
    done
    wine_stop
    for ns in $(ip netns list 2>/dev/null | awk '{ print $1 }'); do
        case $ns in
            "$NICSHOW_NS_PREFIX"*) bash "$NICSHOW_ROOT/scripts/testhosts.sh" delete "$ns" ;;
        esac
    done
    rm -rf "$TMPDIR"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

timeout -k 10 "${E2E_SECONDS:-540}" bash "$script" "$bin" &
child=$!
wait "$child"
rc=$?
child=
if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
    echo "FAIL: $name did not finish within ${E2E_SECONDS:-540} s"
    rc=1
fi
case $rc in
    0) echo "$name ran" >>"$results" ;;
    77) echo "$name skipped" >>"$results" ;;
    *) echo "$name failed" >>"$results" ;;
esac
exit "$rc"
