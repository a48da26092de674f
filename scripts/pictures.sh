#!/bin/bash
# The README's pictures of the report as a terminal shows it: the x64 build under Wine in
# tmux, 80 x 24, on the end-to-end tests' test host, each screen captured with its colours
# and drawn by ansilove in its console font.
#
#   scripts/pictures.sh [BIN [OUT]]   BIN: build/win64/bin; OUT: docs/images
#
# Root is needed for the test host (a network namespace; removed on every way out). make
# pictures builds the x64 build and installs ansilove first.
#
# What would differ from machine to machine or run to run is fixed: the host name (the
# script runs in a UTS namespace of its own, named HOST_NAME, so no picture names this
# machine), the adapters and their addresses (the test host), the terminal's size and
# locale, and the highlight setting (the environment's and the prefix's own are cleared).
# Wine reports no leases, so there are no dates. The same build gives the same PNGs byte
# for byte.
set -u
HOST_NAME=demo
if [ "$(id -u)" -ne 0 ]; then
    echo "pictures: root is needed, for the test host and its host name" >&2
    exit 2
fi
# A Wine program alone in a UTS namespace still showed this machine's name once other Wine
# processes of the prefix had run outside it: so every one of them, the server included,
# runs in this one.
if [ "${NICSHOW_PICTURES_UTS:-}" != "$HOST_NAME" ]; then
    NICSHOW_PICTURES_UTS=$HOST_NAME exec unshare --uts bash "$0" "$@"
fi
hostname "$HOST_NAME" || exit 2
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BIN=${1:-$ROOT/build/win64/bin}
OUT=${2:-$ROOT/docs/images}
COLS=80
ROWS=24

for tool in ansilove iconv; do
    if ! command -v $tool >/dev/null; then
        echo "pictures: $tool is not installed (make pictures installs it)" >&2
        exit 2
    fi
done
if [ ! -f "$BIN/Nicshow-x64.dll" ]; then
    echo "pictures: no x64 build in $BIN (make win64 builds it)" >&2
    exit 2
fi
mkdir -p "$OUT" || exit 2
OUT=$(cd "$OUT" && pwd)

source "$ROOT/tests/e2e/lib.sh" "$BIN"
need_terminal_on_test_host "the pictures" pictures
TMP=$(mktemp -d)
start_test_host_until_exit
# A value left in the prefix by an interrupted terminal test would colour the pictures.
for key in 'HKCU\Software\VantrelPlugins\Nicshow' 'HKCU\Software\VantrelPlugins'; do
    in_ns "$WINE" reg delete "$key" /v Highlight /f >/dev/null 2>&1
done

# start NAME 'ENVIRONMENT' 'SWITCHES': the command in a terminal of its own on the test
# host.
start() {
    tmux_start_sh "$1" $COLS $ROWS "$2 \"\$WINE\" nicshow-host.exe --set noloadmsg=1 $NICSHOW_DLL nicshow $3"
}

# The {XX:text} runs of sgr_to_attributes as the escapes ansilove reads (30-37 and 40-47,
# bold for a bright foreground, blink for a bright background with iCE colours), each run
# set in full; tmux's own (90-97, 39, 49) it does not know. Every row is filled out to
# the terminal's width, with no line end (ansilove goes on to the next row after the last
# column by itself): tmux leaves out the blanks at a row's end, and ansilove draws no row
# below the last character.
attributes_to_ansi() {
    python3 -c '
import re, sys
ansi = [0, 4, 2, 6, 1, 5, 3, 7]
def sgr(attr):
    fg, bg = attr & 15, attr >> 4
    return "\x1b[0;%s3%d;%s4%dm" % ("1;" if fg & 8 else "", ansi[fg & 7],
                                     "5;" if bg & 8 else "", ansi[bg & 7])
def run(m):
    return sgr(int(m.group(1), 16)) + m.group(2) + "\x1b[0m"
rows, cols = int(sys.argv[1]), int(sys.argv[2])
lines = sys.stdin.read().split("\n")
if len(lines) < rows:
    sys.exit("pictures: %d rows captured, not %d" % (len(lines), rows))
for line in lines[:rows]:
    text = re.sub(r"\{([0-9A-F]{2}):([^{}]*)\}", run, line)
    width = len(re.sub(r"\x1b\[[0-9;]*m", "", text))
    sys.stdout.write(text + " " * (cols - width))
' $ROWS $COLS
}

# picture NAME FILE: the visible screen, every row and column, in code page 437 for
# ansilove's font.
picture() {
    local ans="$TMP/$1.ans"
    [ "$(tmux_size "$1")" == "${COLS}x$ROWS" ] || { echo "pictures: $1: not ${COLS}x$ROWS" >&2; exit 1; }
    tmux_capture "$1" | sgr_to_attributes 07 | attributes_to_ansi |
        iconv -f UTF-8 -t CP437 >"$ans"
    [[ "${PIPESTATUS[*]}" == "0 0 0 0" ]] || { echo "pictures: $1: capture failed" >&2; exit 1; }
    ansilove -q -i -c $COLS -o "$OUT/$2" "$ans" >/dev/null ||
        { echo "pictures: $1: ansilove failed" >&2; exit 1; }
    echo "pictures: $OUT/$2"
}

# finished NAME CODE: waits for the launcher's exit code.
finished() {
    local rc
    rc=$(tmux_wait_exit "$1" 60) || rc="(still running)"
    if [ "$rc" != "$2" ]; then
        echo "pictures: $1 ended with $rc, not $2:" >&2
        tmux_text "$1" >&2
        exit 1
    fi
}

start report "" a0
start page "" "/A /P"
start colour "Highlight='bright yellow on blue'" a0

finished report 0
picture report report.png
finished colour 0
picture colour highlight.png
if ! tmux_wait_text page 'continue ──' 60; then
    echo "pictures: no page prompt:" >&2
    tmux_text page >&2
    exit 1
fi
picture page page-prompt.png
tmux_keys page Escape
finished page 3
