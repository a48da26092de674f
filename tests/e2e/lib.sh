# Shared by the end-to-end scripts: Wine set-up and exact comparisons.
# Usage: source "$(dirname "$0")/lib.sh" "$1"   ($1 is a Windows build's bin folder)
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-env.sh" "$1"
wine_prefix_ready
FAILS=0

# expect_eq WHAT EXPECTED ACTUAL: exact bytes.
expect_eq() {
    if [ "$2" == "$3" ]; then
        echo "ok: $1"
    else
        echo "FAIL: $1"
        echo "  expected: $(printf '%s' "$2" | od -c | head -20)"
        echo "  actual:   $(printf '%s' "$3" | od -c | head -20)"
        FAILS=$((FAILS + 1))
    fi
}

# run_host OUT_VAR ERR_VAR RC_VAR [launcher arguments...]: stdout and stderr kept apart,
# trailing line ends preserved.
run_host() {
    local _o _e _rc tmp
    tmp=$(mktemp -d)
    (cd "$NICSHOW_BIN" && "$WINE" nicshow-host.exe "${@:4}" >"$tmp/out" 2>"$tmp/err")
    _rc=$?
    printf -v "$1" '%s' "$(cat "$tmp/out"; printf x)"
    printf -v "$2" '%s' "$(cat "$tmp/err"; printf x)"
    printf -v "$3" '%s' "$_rc"
    # strip the x that protected trailing line ends
    eval "$1=\${$1%x}; $2=\${$2%x}"
    rm -rf "$tmp"
}

finish() {
    if [ "$FAILS" -ne 0 ]; then
        echo "$FAILS check(s) failed"
        exit 1
    fi
    echo "all checks passed"
    exit 0
}
