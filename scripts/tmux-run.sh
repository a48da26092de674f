#!/bin/bash
# Runs the launcher under Wine in a detached tmux session of a known size, so that a
# test can use the real DLL the way a user at a terminal does: wait for text, send keys
# (Esc, arrows, Ctrl-C), and capture the pane with its colour escapes.
#
# As a command (prints the pane, colour escapes included, once the launcher has ended,
# and exits with its exit code; 124 when it did not end in time):
#
#   scripts/tmux-run.sh [--bin DIR] [--size COLSxROWS] [--timeout SECONDS]
#                       [--wait REGEX | --keys 'KEY ...']... -- [launcher arguments]
#
#   e.g. scripts/tmux-run.sh --size 80x25 --wait 'Press a key' --keys 5 \
#            -- Nicshow-x64.dll nicshow /p
#
# As a library: source scripts/wine-env.sh BIN, then this file, then
#
#   tmux_start NAME COLS ROWS [launcher arguments]  the launcher starts in $NICSHOW_BIN
#   tmux_start_sh NAME COLS ROWS 'COMMAND'  a bash command line (pipefail on) instead,
#                                         also in $NICSHOW_BIN, with the same Wine set-up
#   tmux_wait_text NAME REGEX [SECONDS]   until the pane's text matches (grep -E); 1 if not
#   tmux_keys NAME KEY...                 tmux key names: a, 5, /, Escape, Enter, Up, F1, C-c
#   tmux_wait_exit NAME [SECONDS]         prints the launcher's exit code; 1 if not ended
#   tmux_capture NAME [capture-pane options]  the pane with colour escapes (-e)
#   tmux_text NAME                        the pane as plain text
#   tmux_coloured NAME [NORMAL]           the pane with each run of text in another colour
#                                         than NORMAL (default 07) as {XX:text}, XX the
#                                         console attribute: the unit tests' notation
#   sgr_to_attributes [NORMAL]            the same for any text with colour escapes
#   tmux_size NAME                        the pane's COLSxROWS
#   tmux_cursor NAME                      the cursor's column and row in the pane, from 0
#   tmux_stop NAME;  tmux_stop_all        end sessions; tmux_stop_all ends the server too
#
# Sessions live on a private tmux server (its own socket), so nothing here touches the
# user's own tmux sessions, and ending the server ends every Wine process started here.
#
# With TMUX_RUN_NETNS set to a network namespace, sessions are created from inside it:
# the server that the first session starts, and so every pane, runs in that namespace.

TMUX_RUN_DIR="${TMUX_RUN_DIR:-$(mktemp -d "${TMPDIR:-/tmp}/nicshow-tmux.XXXXXX")}"
TMUX_RUN_SOCKET="$TMUX_RUN_DIR/socket"

_tmux() {
    tmux -S "$TMUX_RUN_SOCKET" -f "$TMUX_RUN_DIR/tmux.conf" "$@"
}

# _tmux_session NAME COLS ROWS SCRIPT [ARGS]: a session running the bash SCRIPT in
# $NICSHOW_BIN with the Wine set-up; SCRIPT leaves its exit code in $?.
_tmux_session() {
    local name=$1 cols=$2 rows=$3 script=$4 netns=()
    shift 4
    # No status line, so the pane is the whole window: exactly COLS x ROWS.
    printf 'set -g status off\nset -g history-limit 10000\n' >"$TMUX_RUN_DIR/tmux.conf"
    rm -f "$TMUX_RUN_DIR/$name.rc"
    [ -n "${TMUX_RUN_NETNS:-}" ] && netns=(ip netns exec "$TMUX_RUN_NETNS")
    # The wrapper keeps the pane alive after the command ends, so it can still be
    # captured; the exit code goes to a file.
    "${netns[@]}" tmux -S "$TMUX_RUN_SOCKET" -f "$TMUX_RUN_DIR/tmux.conf" \
        new-session -d -s "$name" -x "$cols" -y "$rows" \
        env WINEPREFIX="$WINEPREFIX" WINEARCH="$WINEARCH" WINEDEBUG="$WINEDEBUG" \
        WINEDLLOVERRIDES="$WINEDLLOVERRIDES" WINE="$WINE" WINELOADER="$WINELOADER" \
        WINESERVER="$WINESERVER" LANG="${LANG:-C.UTF-8}" \
        bash -c 'rc_file=$1; cd "$2" || exit; shift 2
                 '"$script"'
                 echo $? >"$rc_file.tmp"
                 mv "$rc_file.tmp" "$rc_file"; exec sleep 86400' \
        _ "$TMUX_RUN_DIR/$name.rc" "$NICSHOW_BIN" "$@"
}

tmux_start() {
    local name=$1 cols=$2 rows=$3
    shift 3
    _tmux_session "$name" "$cols" "$rows" '"$WINE" nicshow-host.exe "$@"' "$@"
}

tmux_start_sh() {
    _tmux_session "$1" "$2" "$3" 'set -o pipefail; eval "$1"' "$4"
}

tmux_text() {
    _tmux capture-pane -p -t "$1"
}

tmux_capture() {
    local name=$1
    shift
    _tmux capture-pane -p -e -t "$name" "$@"
}

tmux_keys() {
    local name=$1
    shift
    _tmux send-keys -t "$name" "$@"
}

tmux_wait_text() {
    local name=$1 regex=$2 seconds=${3:-20} i
    for ((i = 0; i < seconds * 10; i++)); do
        tmux_text "$name" | grep -Eq -- "$regex" && return 0
        sleep 0.1
    done
    return 1
}

tmux_wait_exit() {
    local name=$1 seconds=${2:-30} i
    for ((i = 0; i < seconds * 10; i++)); do
        if [ -f "$TMUX_RUN_DIR/$name.rc" ]; then
            cat "$TMUX_RUN_DIR/$name.rc"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

tmux_coloured() {
    tmux_capture "$1" | sgr_to_attributes "${2:-07}"
}

# Reads colour escapes on standard input back into console attributes (see
# tmux_coloured). tmux writes an escape only where the colour changes, so a colour runs
# on across line ends.
sgr_to_attributes() {
    python3 -c '
import re, sys
normal = int(sys.argv[1], 16)
ansi_to_console = [0, 4, 2, 6, 1, 5, 3, 7]
fg, bg = normal & 15, normal >> 4
def colour(n):
    return ansi_to_console[n & 7] | (8 if n >= 8 else 0)
out = []
for line in sys.stdin.read().split("\n"):
    text, runs = "", []
    for part in re.split(r"(\x1b\[[0-9;]*m)", line):
        if not part.startswith("\x1b["):
            attr = (bg << 4) | fg
            if part and runs and runs[-1][0] == attr:
                runs[-1] = (attr, runs[-1][1] + part)
            elif part:
                runs.append((attr, part))
            continue
        codes = [int(c) if c else 0 for c in part[2:-1].split(";")]
        i = 0
        while i < len(codes):
            c = codes[i]
            if c == 0: fg, bg = normal & 15, normal >> 4
            elif c == 39: fg = normal & 15
            elif c == 49: bg = normal >> 4
            elif 30 <= c <= 37: fg = colour(c - 30)
            elif 90 <= c <= 97: fg = colour(c - 90 + 8)
            elif 40 <= c <= 47: bg = colour(c - 40)
            elif 100 <= c <= 107: bg = colour(c - 100 + 8)
            elif c in (38, 48) and i + 2 < len(codes) and codes[i + 1] == 5:
                if codes[i + 2] < 16:
                    if c == 38: fg = colour(codes[i + 2])
                    else: bg = colour(codes[i + 2])
                i += 2
            i += 1
    for attr, part in runs:
        text += part if attr == normal else "{%02X:%s}" % (attr, part)
    out.append(text)
print("\n".join(out))
' "${1:-07}"
}

tmux_size() {
    _tmux display-message -p -t "$1" '#{pane_width}x#{pane_height}'
}

tmux_cursor() {
    _tmux display-message -p -t "$1" '#{cursor_x} #{cursor_y}'
}

tmux_stop() {
    _tmux kill-session -t "$1" 2>/dev/null
}

tmux_stop_all() {
    _tmux kill-server 2>/dev/null
    rm -rf "$TMUX_RUN_DIR"
}

# --- as a command ------------------------------------------------------------------------
if [ "${BASH_SOURCE[0]}" == "$0" ]; then
    set -u
    bin="" size=80x25 timeout=60
    steps=()
    while [ $# -gt 0 ]; do
        case $1 in
            --bin) bin=$2; shift 2 ;;
            --size) size=$2; shift 2 ;;
            --timeout) timeout=$2; shift 2 ;;
            --wait | --keys) steps+=("$1" "$2"); shift 2 ;;
            --) shift; break ;;
            *) echo "tmux-run: unknown option $1" >&2; exit 2 ;;
        esac
    done
    if ! command -v tmux >/dev/null; then
        echo "tmux-run: tmux is not installed" >&2
        exit 77
    fi
    source "$(dirname "$0")/wine-env.sh" "$bin"
    wine_prefix_ready
    trap tmux_stop_all EXIT
    tmux_start run "${size%x*}" "${size#*x}" "$@"
    for ((s = 0; s < ${#steps[@]}; s += 2)); do
        if [ "${steps[s]}" == --wait ]; then
            if ! tmux_wait_text run "${steps[s + 1]}" "$timeout"; then
                echo "tmux-run: no '${steps[s + 1]}' within ${timeout}s" >&2
                tmux_capture run
                exit 124
            fi
        else
            # shellcheck disable=SC2086  # a list of key names
            tmux_keys run ${steps[s + 1]}
        fi
    done
    if ! rc=$(tmux_wait_exit run "$timeout"); then
        tmux_capture run
        exit 124
    fi
    tmux_capture run
    exit "$rc"
fi
