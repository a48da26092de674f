#!/bin/bash
# The last line of make test: which Windows builds ran end to end here, which scripts
# failed, and why a build did not run. Reads the e2e-results.txt that tests/e2e/run.sh
# leaves in each build folder ("NAME ran", "NAME failed" or "NAME skipped" a line).
#   scripts/e2e-summary.sh BUILD_DIR...
root=$(cd "$(dirname "$0")/.." && pwd)
line="end to end:"
sep=""
for dir in "$@"; do
    part=$(
        source "$root/scripts/wine-env.sh" "$dir/bin"
        results="$dir/e2e-results.txt"
        failed=$(sed -n 's/ failed$//p' "$results" 2>/dev/null | paste -sd ' ')
        ran=$(grep -c -e ' ran$' -e ' failed$' "$results" 2>/dev/null)
        skipped=$(grep -c ' skipped$' "$results" 2>/dev/null)
        if [ "${ran:-0}" -gt 0 ]; then
            echo "the $NICSHOW_ARCH build ran (${ran} script$([ "$ran" -eq 1 ] || echo s)$(
                [ "${skipped:-0}" -gt 0 ] && echo ", $skipped skipped")$(
                [ -n "$failed" ] && echo ", failed: $failed"))"
        elif why=$(wine_can_run); then
            echo "the $NICSHOW_ARCH build ran no script"
        else
            echo "the $NICSHOW_ARCH build skipped: $why"
        fi
    )
    line+="$sep $part"
    sep=";"
done
echo "$line"
