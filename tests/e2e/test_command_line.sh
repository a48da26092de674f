#!/bin/bash
# NICSHOW's command line through the launcher and the real DLL: the help screens, the
# messages for bad arguments with their exit codes, and the Usage and Help exports.
# lib.sh sources scripts/wine-env.sh with the bin folder given as $1 and readies the prefix.
source "$(dirname "$0")/lib.sh" "$1"
DLL=$NICSHOW_DLL
CRLF=$'\r\n'
QUIET=(--set noloadmsg=1)
PREFIX="Nicshow plugin: "

# The host writes UTF-8 when standard output is a file; the quotes are U+2018 and U+2019.
USAGE_PROPER=$'NICSHOW /A /B /D /I /L /P /Q /R /S /T /U /X wildmask\r\n\n'
USAGE_PROPER+=$'\t/A or /ALL \tshow detailed info on all adapters\n'
USAGE_PROPER+=$'\t/B or /BOUNCE \trelease and then renew IPv4 addresses  \n'
USAGE_PROPER+=$'\t/D \t\tdisable highlight\n'
USAGE_PROPER+=$'\t/I \t\tshow more detailed information\n'
USAGE_PROPER+=$'\t/L \t\tinclude loopback adapters\n'
USAGE_PROPER+=$'\t/P \t\tpage output\n'
USAGE_PROPER+=$'\t/Q \t\tquietly  (affects /B /R and /X)\n'
USAGE_PROPER+=$'\t/R or /RENEW \trenew IPv4 addresses\n'
USAGE_PROPER+=$'\t/S \t\tmake sounds  (affects /B /R and /X)\n'
USAGE_PROPER+=$'\t/T \t\tinclude tunnel adapters\n'
USAGE_PROPER+=$'\t/U \t\tinclude disconnected adapters\n'
USAGE_PROPER+=$'\t/X or /RELEASE \trelease IPv4 addresses\n\n'
USAGE_PROPER+=$'With no options, the default is to display basic info on all except\n'
USAGE_PROPER+=$'tunnel, loopback, and disconnected adapters.  If wildmask is given,  \n'
USAGE_PROPER+=$'only adapters with matching \xe2\x80\x98friendly\xe2\x80\x99 names will be listed\n'
USAGE_PROPER+=$'(released, renewed). \n'
USAGE=$'Display IP interface information.\n\n'"$USAGE_PROPER"
VERSION_LINE=$'\r\n\t\t\t\tNicshow  0.95.2.0 ('"$NICSHOW_ARCH"$')\r\n'

# check WHAT EXPECTED_OUT EXPECTED_ERR EXPECTED_RC [launcher arguments...]
check() {
    local what=$1 want_out=$2 want_err=$3 want_rc=$4
    shift 4
    run_host out err rc "$@"
    expect_eq "$what: standard output" "$want_out" "$out"
    expect_eq "$what: standard error" "$want_err" "$err"
    expect_eq "$what: exit code" "$want_rc" "$rc"
}

# Help.
check "/? after the load message" "Nicshow v0.95.2 loaded.$CRLF$USAGE" "" 0 $DLL nicshow '/?'
check "/?" "$USAGE" "" 0 "${QUIET[@]}" $DLL nicshow '/?'
check "/?? adds the version line" "$USAGE$VERSION_LINE" "" 0 "${QUIET[@]}" $DLL nicshow '/??'
check "--help" "$USAGE" "" 0 "${QUIET[@]}" $DLL nicshow --help
check "/x /? releases nothing" "$USAGE" "" 0 "${QUIET[@]}" $DLL nicshow /x '/?'

# Bad arguments: one message on standard error, exit code 1.
check "-?" "" "${PREFIX}Unknown option: \"-?\"$CRLF" 1 "${QUIET[@]}" $DLL nicshow '-?'
check "/z /?" "" "${PREFIX}Unknown option: \"/Z\"$CRLF" 1 "${QUIET[@]}" $DLL nicshow /z '/?'
check "/ai" "" "${PREFIX}Unknown option: \"/AI\"$CRLF" 1 "${QUIET[@]}" $DLL nicshow /ai
check "eth* wifi*" "" "${PREFIX}Syntax error: \"WIFI*\"$CRLF" 1 \
    "${QUIET[@]}" $DLL nicshow 'eth*' 'wifi*'
check "two quoted masks" "" "${PREFIX}Syntax error: \"WI  FI\"$CRLF" 1 \
    "${QUIET[@]}" $DLL nicshow '"my lan "' '"wi  fi"'
check "/P,1001" "" "${PREFIX}Pause lines must be 0 - 1000: 1001$CRLF" 1 \
    "${QUIET[@]}" $DLL nicshow '/P,1001'
check "/p:5s" "" "${PREFIX}Syntax error: \"/P:5S\"$CRLF" 1 "${QUIET[@]}" $DLL nicshow /p:5s
check "/p:5000000 would wrap" "" "${PREFIX}Bad pause time: \"/P:5000000\"$CRLF" 1 \
    "${QUIET[@]}" $DLL nicshow /p:5000000
check "/p,99999999999" "" "${PREFIX}Bad pause lines: \"/P,99999999999\"$CRLF" 1 \
    "${QUIET[@]}" $DLL nicshow /p,99999999999
check "/f:3x" "" "${PREFIX}Bad fmt value: \"/F:3X\"$CRLF" 1 "${QUIET[@]}" $DLL nicshow /f:3x
check "/foo" "" "${PREFIX}Bad fmt value: \"/FOO\"$CRLF" 1 "${QUIET[@]}" $DLL nicshow /foo
check "/f= in a batch file" "" "${PREFIX}C:\\jobs\\net.btm [7]  Missing fmt value: \"/F=\"$CRLF" 1 \
    "${QUIET[@]}" --set _batch=1 --set '_batchname=C:\jobs\net.btm' --set _batchline=7 \
    $DLL nicshow /f=

# Limits of the word table.
long=$(printf 'x%.0s' $(seq 9000))
check "a text beyond the word buffer" "" \
    "${PREFIX}Buffer overflow: b = 8191, MAX_ARG_LEN = 8192 $CRLF" 1 \
    "${QUIET[@]}" $DLL nicshow /a "$long"
many=()
for i in $(seq 1023); do many+=(/i); done
# The 1024th word is the mask; wifi0 and /z after it are never examined.
run_host out err rc "${QUIET[@]}" $DLL nicshow "${many[@]}" lan0 wifi0 /z
expect_eq "words after the 1024th are ignored: exit code and stderr" "0 " "$rc $err"
expect_eq "words after the 1024th are ignored: the report runs with mask LAN0" \
    "yes" "$([[ $out == $CRLF"Windows IP Configuration"* && $out == *" listed.$CRLF" ]] && echo yes)"

# Good switches reach the run: output to a file is neither paged nor coloured.
run_host out err rc "${QUIET[@]}" $DLL nicshow /a/i -p:2,30 /f:0x121 'eth*'
expect_eq "good switches: exit code and stderr" "0 " "$rc $err"
expect_eq "good switches: a detailed report without a prompt" "yes" \
    "$([[ $out == *"   Node type"* && $out == *" listed.$CRLF" && $out != *"Press a key"* ]] && echo yes)"

# The exports.
check "Usage" "$USAGE_PROPER[Usage returned 1]$CRLF" "" 0 "${QUIET[@]}" --usage NicShow $DLL
check "Usage of a function name" "[Usage returned 0]$CRLF" "" 0 \
    "${QUIET[@]}" --usage @nicshow $DLL
check "Usage of another name" "[Usage returned 0]$CRLF" "" 0 "${QUIET[@]}" --usage ipconfig $DLL
# Without a display the message box answers at once; Help still reports it shown.
run_host_no_display() {
    (unset DISPLAY WAYLAND_DISPLAY; run_host "$@"; declare -p out err rc)
}
eval "$(run_host_no_display out err rc "${QUIET[@]}" --help nicshow $DLL)"
expect_eq "Help: standard output" "[Help returned 1]$CRLF" "$out"
expect_eq "Help: exit code" "0" "$rc"
eval "$(run_host_no_display out err rc "${QUIET[@]}" --help ipconfig $DLL)"
expect_eq "Help of another name" "[Help returned 0]$CRLF" "$out"

finish
