#!/bin/bash
# Runs NICSHOW through the launcher and the real DLL under Wine, on this machine's own
# adapters: scripts/run-nicshow.sh [switches and wildmask]
source "$(dirname "$0")/wine-env.sh" ""
wine_prefix_ready
cd "$NICSHOW_BIN" && exec wine nicshow-host.exe Nicshow-x86.dll nicshow "$@"
