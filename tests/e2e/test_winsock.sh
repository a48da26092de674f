#!/bin/bash
# The shell's own sockets through the orders of loads and unloads a host may call. The
# launcher holds a Winsock start-up of its own, as the shell does, and after each step
# makes and closes a socket (nothing is sent). At the end, with the plug-in freed, it gives
# its own start-up back: its sockets must fail then, unless the plug-in kept one.
source "$(dirname "$0")/lib.sh" "$1"
DLL=$NICSHOW_DLL
CRLF=$'\r\n'
LOAD="InitializePlugin 0, host sockets ok$CRLF"
REFUSED="InitializePlugin 1, host sockets ok$CRLF"
UNLOAD="ShutdownPlugin 0, host sockets ok$CRLF"
GONE="the host's own WSACleanup 0, host sockets failed with 10093$CRLF"
KEPT="the host's own WSACleanup 0, host sockets ok$CRLF"

# steps WHAT STEPS EXPECTED: the lines of --steps STEPS on standard output, exit code 0.
steps() {
    run_host out err rc --set noloadmsg=1 --steps "$2" $DLL
    expect_eq "$1: each step" "$3" "$out"
    expect_eq "$1: exit code" "0" "$rc"
}

steps "load, unload" LU "$LOAD$UNLOAD$GONE"
steps "load, unload, unload again" LUU "$LOAD$UNLOAD$UNLOAD$GONE"
steps "unload without a load" U "$UNLOAD$GONE"
steps "load, unload, load, unload" LULU "$LOAD$UNLOAD$LOAD$UNLOAD$GONE"
# The last look can see a start-up the plug-in holds: here it was never unloaded.
steps "a load never undone" L "$LOAD$KEPT"

# Refused for want of the wireless LAN library, then unloaded all the same.
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;wlanapi=d" run_host out err rc --steps LU $DLL
expect_eq "a refused load, then an unload: each step" "$REFUSED$UNLOAD$GONE" "$out"
expect_eq "a refused load, then an unload: the refusal" \
    "Nicshow plugin: WlanOpenHandle() failed!" "${err%%$CRLF*}"
expect_eq "a refused load, then an unload: exit code" "0" "$rc"

finish
