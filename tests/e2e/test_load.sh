#!/bin/bash
# The real DLL through the launcher: load message and its silences, plug-in information,
# _clver$, the export and import tables, the version resource.
source "$(dirname "$0")/lib.sh" "$1"
DLL=Nicshow-x86.dll
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
out=$(cd "$NICSHOW_BIN" && noloadmsg=yes wine nicshow-host.exe $DLL)
expect_eq "silent load with noloadmsg in the environment" "" "$out"

run_host out err rc --set noloadmsg=1 --clver $DLL
expect_eq "_clver\$" "1.1.0.0$CRLF[_clver\$ returned 0]$CRLF" "$out"

run_host out err rc --set noloadmsg=1 --info $DLL
expect_eq "plug-in information" "name=Nicshow${CRLF}author=Nicshow developers${CRLF}email=nicshow@example.org${CRLF}web=https://example.org/nicshow${CRLF}description=nicshow${CRLF}implements=nicshow${CRLF}major=0${CRLF}minor=95${CRLF}build=2${CRLF}" "$out"

dump=$(i686-w64-mingw32-objdump -p "$NICSHOW_BIN/$DLL")
exports=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
          awk '/\]/ && NR > 1 {print $NF}' | sort | tr '\n' ' ')
expect_eq "exports" "GetPluginInfo Help InitializePlugin ShutdownPlugin Usage _clver\$ nicshow " "$exports"
imports=$(printf '%s\n' "$dump" | awk '/DLL Name:/ {print tolower($3)}' | sort -u | tr '\n' ' ')
unexpected=$(for d in $imports; do
    case $d in
        kernel32.dll|msvcrt.dll|user32.dll|wlanapi.dll|ws2_32.dll|iphlpapi.dll|advapi32.dll|ole32.dll|winmm.dll|takecmd.dll) ;;
        *) printf '%s ' "$d" ;;
    esac
done)
expect_eq "imports only Windows system DLLs and TakeCmd.dll ($imports)" "" "$unexpected"
file_type=$(file -b "$NICSHOW_BIN/$DLL")
expect_eq "PE32 i386 DLL" "yes" "$(case $file_type in 'PE32 executable (DLL)'*'Intel 80386'*) echo yes;; *) echo "$file_type";; esac)"

run_host out err rc --version-info $DLL
build=$(printf '%s' "$out" | sed -n 's/^Build=\(.*\)\r$/\1/p')
expect_eq "Build is a local date and time" "yes" \
    "$([[ $build =~ ^[0-9]{4}-[0-9]{2}-[0-9]{2}\ [0-9]{2}:[0-9]{2}:[0-9]{2}$ ]] && echo yes || echo "$build")"
fixed=$(printf '%s' "$out" | grep -v -e '^Build=' -e '^Built On=' -e '^CompanyName=' -e '^LegalCopyright=' | tr -d '\r')
expect_eq "version resource" "FixedFileVersion=0.95.2.0
FixedProductVersion=0.95.2.0
FileType=2
FileOS=0x40004
Translation=0409 04B0
FileDescription=Nicshow plugin for Take Command
FileVersion=0.95.2.0
InternalName=Nicshow
OriginalFilename=Nicshow-x86.dll
ProductName=Nicshow plugin
ProductVersion=0.95.2.0  (x86)" "$fixed"
for key in CompanyName LegalCopyright "Built On"; do
    expect_eq "$key present" "yes" "$(printf '%s' "$out" | grep -q "^$key=." && echo yes || echo no)"
done

finish
