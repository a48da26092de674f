#!/bin/bash
# The real DLL through the launcher: load message and its silences, plug-in information,
# _clver$, the version resource as Wine reads it.
source "$(dirname "$0")/lib.sh" "$1"
DLL=$NICSHOW_DLL
CRLF=$'\r\n'

run_host out err rc $DLL
expect_eq "load message" "Nicshow v0.95.2 loaded.$CRLF" "$out"
expect_eq "load writes nothing on stderr" "" "$err"
expect_eq "load and unload exit code" "0" "$rc"

for set in noloadmsg=1 _transient=1 _pipe=1; do
    run_host out err rc --set $set $DLL
    expect_eq "silent load with $set" "" "$out$err"
    expect_eq "exit code with $set" "0" "$rc"
done
out=$(cd "$NICSHOW_BIN" && noloadmsg=yes "$WINE" nicshow-host.exe $DLL)
expect_eq "silent load with noloadmsg in the environment" "" "$out"

# A machine without the wireless LAN library (Windows Server without its Wireless LAN
# Service): the plug-in's own message with the system's text for the code the failed load
# left, the load refused, and nothing of it left running. Silent in a transient shell.
run_host out err rc --message 126
missing=$(printf '%s' "$out" | sed 's/[[:space:]]*$//')
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;wlanapi=d" run_host out err rc $DLL
expect_eq "without wlanapi.dll: the message" \
    "Nicshow plugin: WlanOpenHandle() failed!$CRLF$missing${CRLF}Nicshow plugin not loaded.$CRLF" \
    "$err"
expect_eq "without wlanapi.dll: nothing on standard output" "" "$out"
expect_eq "without wlanapi.dll: the load refused" "121" "$rc"
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;wlanapi=d" run_host out err rc --set _transient=1 $DLL
expect_eq "without wlanapi.dll in a transient shell: silent" "" "$out$err"
expect_eq "without wlanapi.dll in a transient shell: the load refused" "121" "$rc"
expect_eq "without wlanapi.dll: no launcher left running" "" "$(prefix_processes nicshow-host)"

run_host out err rc --set noloadmsg=1 --clver $DLL
expect_eq "_clver\$" "1.1.0.0$CRLF[_clver\$ returned 0]$CRLF" "$out"

run_host out err rc --set noloadmsg=1 --info $DLL
expect_eq "plug-in information" "name=Nicshow${CRLF}author=Nicshow developers${CRLF}email=nicshow@example.org${CRLF}web=https://example.org/nicshow${CRLF}description=nicshow${CRLF}implements=nicshow${CRLF}major=0${CRLF}minor=95${CRLF}build=2${CRLF}" "$out"

# The version resource as Wine's version.dll reads it, against the same resource read
# from the file by pefile (tests/dll/check_dll.py checks each key of it).
run_host out err rc --version-info $DLL
expect_eq "version resource through Wine" \
    "$(/usr/bin/python3 "$(dirname "$0")/../dll/check_dll.py" --version-info "$NICSHOW_BIN/$DLL")" \
    "$(printf '%s' "$out" | tr -d '\r')"
expect_eq "version resource names this DLL" "yes" \
    "$(printf '%s' "$out" | grep -q "^OriginalFilename=$DLL" && echo yes || echo no)"

finish
