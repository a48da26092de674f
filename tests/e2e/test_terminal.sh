#!/bin/bash
# The real DLL in a real terminal: the launcher under Wine inside tmux, in a window of a
# known size, captured with its colour escapes. What the terminal shows must be what the
# DLL writes, plain, in the shell's normal colour.
if ! command -v tmux >/dev/null; then
    echo "SKIPPED: tmux is not installed, so the terminal tests did not run" >&2
    exit 77
fi
source "$(dirname "$0")/lib.sh" "$1"
source "$(dirname "$0")/../../scripts/tmux-run.sh"
trap tmux_stop_all EXIT
DLL=$NICSHOW_DLL

# What a terminal makes of the text a pipe receives: line ends, tabs every 8 columns, and
# no trailing blanks (tmux does not keep them).
as_terminal() {
    printf '%s' "$1" | tr -d '\r' | expand -t 8 | sed -e 's/ *$//'
}

# The colour reader on escapes of the kinds tmux writes.
expect_eq "colour escapes read back as attributes" \
    "a{1E:b}c
{0F:host} {0C:!}
{0C:on} ok" \
    "$(printf 'a\e[93m\e[44mb\e[39m\e[49mc\n\e[97mhost\e[39m \e[91m\e[40m!\non\e[0m ok\n' |
        sgr_to_attributes 07)"

# The load message. ($(...) drops the blank rows below the output.)
tmux_start load 80 25 $DLL
rc=$(tmux_wait_exit load 60)
expect_eq "launcher ends in the terminal" "0" "$rc"
expect_eq "window of 80 x 25" "80x25" "$(tmux_size load)"
expect_eq "load message on the screen" "Nicshow v0.95.2 loaded." "$(tmux_text load)"
expect_eq "load message in the normal colour" "Nicshow v0.95.2 loaded." \
    "$(tmux_coloured load)"

# The usage text, against what the same call writes into a pipe.
run_host piped err rc --set noloadmsg=1 --usage nicshow $DLL
expect_eq "usage through a pipe" "0" "$rc"
tmux_start usage 80 25 --set noloadmsg=1 --usage nicshow $DLL
rc=$(tmux_wait_exit usage 60)
expect_eq "usage ends in the terminal" "0" "$rc"
shown=$(tmux_text usage)
expect_eq "usage on the screen is what the DLL writes" "$(as_terminal "$piped")" "$shown"
expect_eq "usage in the normal colour" "$shown" "$(tmux_coloured usage)"
case $shown in
    *"NICSHOW /A /B /D /I /L /P /Q /R /S /T /U /X wildmask"*"[Usage returned "*) ;;
    *) expect_eq "usage text present" "the usage text" "$shown" ;;
esac

# A smaller window, and the command-line wrapper with a wait step and an exit code.
out=$(bash "$(dirname "$0")/../../scripts/tmux-run.sh" --bin "$1" --size 60x12 \
    --wait 'no such command' -- --set noloadmsg=1 $DLL nosuch)
rc=$?
expect_eq "exit code through the wrapper" "122" "$rc"
expect_eq "error on the screen" "nicshow-host: no such command: nosuch" "$out"

tmux_stop load
tmux_stop usage
finish
