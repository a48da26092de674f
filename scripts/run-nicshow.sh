#!/bin/bash
# Runs NICSHOW through the launcher and the real DLL under Wine, on this machine's own
# adapters: scripts/run-nicshow.sh [switches and wildmask]. NICSHOW_BIN names the build's
# bin/ folder (the x64 build's by default). scripts/run-nicshow.sh --check only says
# whether the build can run here (exit code 1 and why, if not), before it is built too.
source "$(dirname "$0")/wine-env.sh" ""
if ! why=$(wine_can_run); then
    echo "make run: $why (make run without ARCH runs the x64 build)." >&2
    exit 1
fi
[ "${1:-}" != --check ] || exit 0
wine_prefix_ready
cd "$NICSHOW_BIN" && exec "$WINE" nicshow-host.exe "$NICSHOW_DLL" nicshow "$@"
