#!/bin/bash
# The report in a real terminal, on a test host: the launcher under Wine inside tmux, the
# tmux server started in a network namespace made by scripts/testhosts.sh, so the report
# is the same on every machine. What the user sees is checked exactly against the report
# that the same command writes into a file, with the colours in the unit tests' {XX:text}
# notation (07 is the normal colour of Wine's console):
#   - the host name, the adapter names and the IPv4 and IPv6 addresses in the highlight
#     colour, everything else plain; the Highlight environment variable and registry
#     value, and /D;
#   - /P in a window of 24 rows: the prompt on the 23rd row after 22 lines, and the keys
#     5, /, an arrow, 0 and C; the prompt's time-out; Esc (exit code 3, no echo); Ctrl-C
#     at the prompt and while the listing is being written (the "^C" echo, exit code 3);
#   - output into a pipe: no prompt and no colour.
source "$(dirname "$0")/lib.sh" "$1"
need_terminal_on_test_host "the terminal report tests" term
DLL=$NICSHOW_DLL
# The launcher with the plug-in and its command, as words (used unquoted).
HOST="$WINE nicshow-host.exe --set noloadmsg=1 $DLL nicshow"
REG_KEY='HKCU\Software\VantrelPlugins\Nicshow'
PROMPT="   ── Press a key to continue ──"   # tmux drops the prompt's last blank
ECHO="{0E: ^C}"                              # the break echo: 0E on black, as shown
TMP=$(mktemp -d)

registry_highlight() {  # VALUE, or nothing to remove it
    if [ -n "$1" ]; then
        in_ns "$WINE" reg add "$REG_KEY" /v Highlight /t REG_SZ /d "$1" /f >"$TMP/reg" 2>&1
    else
        in_ns "$WINE" reg delete "$REG_KEY" /v Highlight /f >"$TMP/reg" 2>&1
    fi
}

remove_highlight() { registry_highlight ""; }
start_test_host_until_exit remove_highlight
registry_highlight ""  # a value left behind by an interrupted run would colour everything

# expect_text WHAT EXPECTED ACTUAL: exact text, a diff when it differs.
expect_text() {
    if [ "$2" == "$3" ]; then
        echo "ok: $1"
    else
        echo "FAIL: $1"
        diff -u <(printf '%s\n' "$2") <(printf '%s\n' "$3") | sed -e '1,2d' -e 's/^/  /'
        FAILS=$((FAILS + 1))
    fi
}

# The report as written into a file, in the notation of the pane: line ends without CR,
# no trailing blanks, and with a highlight attribute (two hex digits) the values that are
# highlighted written as {XX:value}.
colour_report() {
    python3 -c '
import re, sys
attr = sys.argv[1]
lit = ("Host name", "Domain", "IPv4 address", "IPv6 address")
out, field = [], None
text = sys.stdin.read().replace("\r\n", "\n")
for line in text[:-1].split("\n") if text.endswith("\n") else text.split("\n"):
    heading = re.match(r"^(\[\d+\]  .* adapter:  )(.*)$", line)
    if heading:
        name = heading.group(2)
        out.append(heading.group(1) + ("{%s:%s}" % (attr, name) if attr and name else name))
        field = None
        continue
    if line[28:31] == ":  " and line.startswith("   ") and line[3] != " ":
        field = line[:28].strip(" .")
    elif not (field and line.startswith(" " * 31)):
        field = None
        out.append(line.rstrip())
        continue
    value = line[31:]
    if attr and field in lit and value:
        out.append(line[:31] + "{%s:%s}" % (attr, value))
    else:
        out.append(line.rstrip())
print("\n".join(out))
' "$1"
}

# The pane's whole transcript, scrolled-off lines included, in the {XX:text} notation.
transcript() {
    tmux_capture "$1" -S - | sgr_to_attributes 07
}

# The first N lines of the /A report as the pane shows it with the default highlight,
# then TEXT on the next row (in one word, so that an empty last line is kept).
lines_then() {
    printf '%s\n' "$ALL_0F" | head -n "$1"
    printf '%s' "$2"
}

# expect_screen WHAT NAME EXPECTED [SECONDS]: waits until the transcript is EXPECTED.
expect_screen() {
    local what=$1 name=$2 expected=$3 deadline=$((SECONDS + ${4:-30})) shown
    while :; do
        shown=$(transcript "$name")
        [ "$shown" == "$expected" ] && break
        [ $SECONDS -ge $deadline ] && break
        sleep 0.05
    done
    expect_text "$what" "$expected" "$shown"
}

# expect_exit WHAT NAME CODE: the launcher's exit code (waits for it to end).
expect_exit() {
    local rc
    rc=$(tmux_wait_exit "$2" 60) || rc="(still running)"
    expect_eq "$1" "$3" "$rc"
}

# wait_plain NAME REGEX: polls the pane's plain text quickly (5 ms); 1 after 20 s.
wait_plain() {
    local deadline=$((SECONDS + 20))
    until tmux_text "$1" | grep -Eq -- "$2"; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.005
    done
}

now_ms() {
    echo $(($(date +%s%N) / 1000000))
}

# --- the report as the DLL writes it, from files ---------------------------------------
in_ns $HOST /A >"$TMP/all" 2>"$TMP/all.err"
rc=$?
expect_eq "/A into a file: exit code 0, nothing on stderr" "0:" "$rc:$(cat "$TMP/all.err")"
in_ns $HOST >"$TMP/basic" 2>"$TMP/basic.err"
rc=$?
expect_eq "the default listing into a file: exit code 0, nothing on stderr, four adapters" \
    "0:4 adapters listed." "$rc:$(cat "$TMP/basic.err")$(colour_report "" <"$TMP/basic" | tail -n 1)"
PLAIN_ALL=$(colour_report "" <"$TMP/all")
ALL_LINES=$(printf '%s\n' "$PLAIN_ALL" | wc -l)
# The namespace's seven interfaces, detailed: enough lines for several pages.
expect_eq "/A report of the test host: 98 lines, the count line last" \
    "98 7 adapters listed." "$ALL_LINES $(printf '%s\n' "$PLAIN_ALL" | tail -n 1)"
case $PLAIN_ALL in
    *"   Host name. . . . . . . . :  "?*"   IPv4 address . . . . . . :  192.0.2.10"*) ;;
    *) expect_eq "/A report holds the host name and addresses" "yes" "no" ;;
esac
ALL_0F=$(colour_report 0F <"$TMP/all")

# --- Ctrl-C while the listing is being written ------------------------------------------
# The output is held with Ctrl-S (the terminal stops, so the DLL's next write waits) once
# the listing has begun; Ctrl-C then comes in the middle of it. The terminal restarts the
# output on Ctrl-C and echoes "^C" itself wherever the cursor is; that echo is not the
# DLL's and is taken out before comparing. The DLL ends the line in progress, then writes
# its own echo on the next row.
held=no
for _ in 1 2 3; do
    tmux_start_sh during 80 24 "stty ixon; $HOST /A"
    if wait_plain during 'adapter:  '; then
        tmux_keys during C-s
        sleep 0.2
        if ! tmux_text during | grep -q 'listed\.' && [ ! -f "$TMUX_RUN_DIR/during.rc" ]; then
            held=yes
            break
        fi
    fi
    tmux_stop during
done
expect_eq "Ctrl-S held the output in the middle of the listing" "yes" "$held"
if [ $held == yes ]; then
    tmux_keys during C-c
    expect_exit "Ctrl-C during the listing: exit code 3" during 3
    shown=$(transcript during | python3 -c '
import re, sys
lines = sys.stdin.read().rstrip("\n").split("\n")
for i, line in enumerate(lines[:-1]):
    if "^C" in line:
        lines[i] = re.sub(r"\{[0-9A-F]{2}:\}", "", line.replace("^C", "", 1))
        break
print("\n".join(lines))')
    k=$(($(printf '%s\n' "$shown" | wc -l) - 1))
    expect_text "Ctrl-C during the listing: the lines so far, then the echo in 0E" \
        "$(lines_then $k "$ECHO")" "$shown"
    expect_eq "Ctrl-C during the listing: stopped inside the listing (line $k)" yes \
        "$( ((k >= 11 && k < ALL_LINES)) && echo yes || echo no)"
fi
tmux_stop during

# --- the prompt's time-out ---------------------------------------------------------------
# rows_shown NAME: the number of the last row with text, scrolled-off rows included.
rows_shown() {
    tmux_capture "$1" -S - | sed -e 's/\x1b\[[0-9;]*m//g' | awk 'NF { n = NR } END { print n + 0 }'
}
# wait_prompt_at NAME ROW: polls quickly until the prompt stands on that row of the
# transcript; 1 after 20 s.
wait_prompt_at() {
    local deadline=$((SECONDS + 20))
    until [ "$(rows_shown "$1")" == "$2" ] && tmux_text "$1" | grep -q 'Press a key'; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.005
    done
}
tmux_start timeout 80 24 --set noloadmsg=1 $DLL nicshow /A /P:1
wait_prompt_at timeout 23
t0=$(now_ms)
expect_screen "/P:1: the first prompt after 22 lines" timeout "$(lines_then 22 "$PROMPT")"
# Without a key the prompt goes on by itself after a second, with a full page.
wait_prompt_at timeout 45
t1=$(now_ms)
expect_screen "/P:1: a second later 22 more lines and the prompt again" timeout \
    "$(lines_then 44 "$PROMPT")"
expect_eq "/P:1: the prompt waited about a second (0.8 s to 5 s): $((t1 - t0)) ms" yes \
    "$( ((t1 - t0 >= 800 && t1 - t0 <= 5000)) && echo yes || echo no)"
tmux_keys timeout Escape
expect_exit "/P:1: Esc at the second prompt, exit code 3" timeout 3
expect_screen "/P:1: Esc erases the prompt and writes nothing more" timeout \
    "$(lines_then 44 "")"
tmux_stop timeout

# --- colours, paging and keys, a pipe: independent sessions, started together -----------
tmux_start plain 80 24 --set noloadmsg=1 $DLL nicshow /A
tmux_start page 80 24 --set noloadmsg=1 $DLL nicshow /A /P
tmux_start esc 80 24 --set noloadmsg=1 $DLL nicshow /A /P
tmux_start break 80 24 --set noloadmsg=1 $DLL nicshow /A /P
tmux_start_sh nocolour 80 24 "Highlight=0x1E $HOST /A /D"
tmux_start_sh pipe 80 24 "Highlight=0x1E $HOST /A /P | cat"

expect_exit "no switches but /A: exit code 0" plain 0
expect_screen "/A: host name, adapter names and addresses in 0F, the rest plain" plain \
    "$ALL_0F"

expect_exit "/D with Highlight=0x1E: exit code 0" nocolour 0
expect_text "/D with Highlight=0x1E: the report as written into a file" "$PLAIN_ALL" \
    "$(tmux_capture nocolour -S - | sed -e 's/\x1b\[[0-9;]*m//g')"
expect_eq "/D with Highlight=0x1E: no colour escape at all" 0 \
    "$(tmux_capture nocolour -S - | grep -c $'\e')"

expect_exit "/A /P into a pipe in the terminal: exit code 0" pipe 0
expect_text "/A /P into a pipe: the whole report, no prompt" "$PLAIN_ALL" \
    "$(tmux_capture pipe -S - | sed -e 's/\x1b\[[0-9;]*m//g')"
expect_eq "/A /P into a pipe with Highlight=0x1E: no colour escape at all" 0 \
    "$(tmux_capture pipe -S - | grep -c $'\e')"

# The page prompt in 24 rows: after 22 lines, on the 23rd row, the cursor behind its
# last blank.
expect_screen "/P in 24 rows: 22 lines, then the prompt" page "$(lines_then 22 "$PROMPT")"
expect_eq "/P in 24 rows: the prompt on row 23, the cursor after its 33 characters" \
    "33 22" "$(tmux_cursor page)"
tmux_keys page 5
expect_screen "/P: 5 lets five lines pass" page "$(lines_then 27 "$PROMPT")"
tmux_keys page /
expect_screen "/P: / lets half a page (11 lines) pass" page "$(lines_then 38 "$PROMPT")"
tmux_keys page Up
expect_screen "/P: an arrow key gives a full page" page "$(lines_then 60 "$PROMPT")"
tmux_keys page 0
expect_screen "/P: 0 lets ten lines pass" page "$(lines_then 70 "$PROMPT")"
tmux_keys page C
expect_exit "/P: C, then exit code 0" page 0
expect_screen "/P: C gives the rest without a prompt" page "$ALL_0F"

expect_screen "/P (Esc): the prompt" esc "$(lines_then 22 "$PROMPT")"
tmux_keys esc Escape
expect_exit "/P: Esc at the prompt, exit code 3" esc 3
expect_screen "/P: Esc erases the prompt and writes nothing more, no echo" esc \
    "$(lines_then 22 "")"

expect_screen "/P (Ctrl-C): the prompt" break "$(lines_then 22 "$PROMPT")"
tmux_keys break C-c
expect_exit "/P: Ctrl-C at the prompt, exit code 3" break 3
expect_screen "/P: Ctrl-C at the prompt erases it and writes the echo in 0E" break \
    "$(lines_then 22 "$ECHO")"
for name in plain page esc break nocolour pipe; do tmux_stop $name; done

# --- Highlight settings: a registry value, and the environment before it ----------------
registry_highlight 0x2F
expect_eq "Highlight 0x2F in the registry of the prefix" "0" "$?"
tmux_start registry 80 24 --set noloadmsg=1 $DLL nicshow
tmux_start_sh env1E 80 24 "Highlight=0x1E $HOST"
tmux_start_sh inv 80 24 "Highlight=inverse $HOST"
tmux_start_sh words 80 24 "Highlight='bright green' $HOST"
tmux_start_sh bad 80 24 "Highlight=0xZZ $HOST"
for case in "registry 2F registry value 0x2F" "env1E 1E Highlight=0x1E before the registry" \
    "inv 70 Highlight=inverse: the normal colour inverted" \
    "words 0A Highlight='bright green': bright green on the normal background" \
    "bad - Highlight=0xZZ: no highlighting, the registry value not used"; do
    read -r name attr what <<<"$case"
    [ "$attr" == - ] && attr=""
    expect_exit "$what: exit code 0" "$name" 0
    expect_screen "$what" "$name" "$(colour_report "$attr" <"$TMP/basic")"
done
registry_highlight ""
expect_eq "Highlight removed from the registry again" "0" "$?"
for name in registry env1E inv words bad; do tmux_stop $name; done

finish
