#!/bin/bash
# The last line of make test: which Windows builds ran end to end here, and why one did
# not. Reads the e2e-results.txt that tests/e2e/run.sh leaves in each build folder.
#   scripts/e2e-summary.sh BUILD_DIR...
root=$(cd "$(dirname "$0")/.." && pwd)
parts=()
for dir in "$@"; do
    (
        source "$root/scripts/wine-env.sh" "$dir/bin"
        results="$dir/e2e-results.txt"
        ran=$(grep -c ' ran$' "$results" 2>/dev/null)
        skipped=$(grep -c ' skipped$' "$results" 2>/dev/null)
        if [ "${ran:-0}" -gt 0 ]; then
            echo "$NICSHOW_ARCH ran (${ran} tests${skipped:+, $skipped skipped})"
        elif why=$(wine_can_run); then
            echo "$NICSHOW_ARCH did not run (no end-to-end test was run)"
        else
            echo "$NICSHOW_ARCH skipped: $why"
        fi
    )
done | paste -sd';' | sed 's/;/; /g; s/^/end to end: /'
