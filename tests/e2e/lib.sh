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

# For the scripts that use a terminal on a test host: exits with ctest's skip code and
# the reason where tmux or network namespaces are missing; otherwise sets NS to a
# namespace name of the script's own (not made yet) and runs panes inside it, in the
# locale the expected texts are written in.
#   need_terminal_on_test_host WHAT NAME   WHAT: "the terminal report tests" and the like
need_terminal_on_test_host() {
    if ! command -v tmux >/dev/null; then
        echo "SKIPPED: tmux is not installed, so $1 did not run" >&2
        exit 77
    fi
    if ! bash "$NICSHOW_ROOT/scripts/testhosts.sh" check; then
        echo "SKIPPED: network namespaces cannot be made here (root and iproute2 needed)," \
            "so $1 did not run" >&2
        exit 77
    fi
    export LANG=C.UTF-8
    unset LC_ALL LC_CTYPE LC_MESSAGES Highlight
    NS=${NICSHOW_NS_PREFIX:-nicshow}-$2-$$
    export TMUX_RUN_NETNS=$NS
    source "$NICSHOW_ROOT/scripts/tmux-run.sh"
}

# Makes the test host NS and keeps a wineserver running inside it. One wineserver serves
# the prefix, in the namespace it was started in: any other is stopped first (its output
# goes to no pipe of ours).
start_test_host() {
    wine_stop
    bash "$NICSHOW_ROOT/scripts/testhosts.sh" create "$NS" || exit 1
    in_ns "$WINESERVER" -p >/dev/null 2>&1
}

# Whether the script's test host is there (a clean-up may come before it was made).
test_host_up() {
    ip netns list | awk '{ print $1 }' | grep -qxF "$NS"
}

# start_test_host, and on every way out (Ctrl-C included) the test host removed, the
# terminals ended and $TMP deleted; a function named by the argument runs first, while the
# test host is still up.
start_test_host_until_exit() {
    TEST_HOST_CLEANUP=${1:-}
    trap remove_test_host_at_exit EXIT
    trap 'exit 130' INT TERM HUP
    start_test_host
}
remove_test_host_at_exit() {
    trap '' INT TERM HUP
    if test_host_up; then
        [ -z "$TEST_HOST_CLEANUP" ] || "$TEST_HOST_CLEANUP"
        stop_test_host
    fi
    tmux_stop_all
    rm -rf "${TMP:-}"
}

# Ends the terminals and Wine processes of the script and removes the test host.
stop_test_host() {
    tmux_stop_all
    wine_stop
    bash "$NICSHOW_ROOT/scripts/testhosts.sh" delete "$NS"
}

# A command in the test host, in the build's bin folder, reading nothing.
in_ns() {
    (cd "$NICSHOW_BIN" && ip netns exec "$NS" "$@" </dev/null)
}

# The processes of this build's prefix whose command line holds PATTERN, one per line
# (process id and command line); nothing when none is running.
prefix_processes() {
    local dir cmd
    for dir in /proc/[0-9]*; do
        { tr '\0' '\n' <"$dir/environ"; } 2>/dev/null |
            grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
        cmd=$({ tr '\0' ' ' <"$dir/cmdline"; } 2>/dev/null)
        case $cmd in *"$1"*) echo "${dir#/proc/} $cmd" ;; esac
    done
}

finish() {
    if [ "$FAILS" -ne 0 ]; then
        echo "$FAILS check(s) failed"
        exit 1
    fi
    echo "all checks passed"
    exit 0
}
