# Sourced by the scripts that run a Windows build under Wine: the build's own prefix
# inside its build folder, silent, without sound drivers or Mono/Gecko prompts.
# An optional argument names the build's bin/ folder (tests are given theirs); without
# one, NICSHOW_BIN, or else the build that NICSHOW_ARCH names (x64 unless told x86).
# The architecture is that of the plug-in DLL in the folder; before the folder is built,
# NICSHOW_ARCH's (so that make run ARCH=x86 can ask wine_can_run before a build).
#
# Debian's wine wrapper always takes the 32-bit loader when it is installed, even on a
# machine that cannot run it, so the loader is named here: run programs with "$WINE",
# and stop or keep the server with "$WINESERVER" (both exported, with WINELOADER, for
# child processes and test hosts).
NICSHOW_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
_nicshow_default_bin() {
    case "${NICSHOW_ARCH:-x64}" in
        x86) echo "$NICSHOW_ROOT/build/win32/bin" ;;
        *) echo "$NICSHOW_ROOT/build/win64/bin" ;;
    esac
}
NICSHOW_BIN="${1:-${NICSHOW_BIN:-$(_nicshow_default_bin)}}"
[ ! -d "$NICSHOW_BIN" ] || NICSHOW_BIN="$(cd "$NICSHOW_BIN" && pwd)"
if [ -f "$NICSHOW_BIN/Nicshow-x86.dll" ]; then
    NICSHOW_ARCH=x86
elif [ -f "$NICSHOW_BIN/Nicshow-x64.dll" ] || [ "${NICSHOW_ARCH:-}" != x86 ]; then
    NICSHOW_ARCH=x64
fi
NICSHOW_DLL="Nicshow-$NICSHOW_ARCH.dll"
export NICSHOW_BIN NICSHOW_ARCH NICSHOW_DLL
export WINEPREFIX="$(dirname "$NICSHOW_BIN")/wineprefix"
if [ "$NICSHOW_ARCH" = x64 ]; then
    export WINEARCH=win64 WINE=/usr/lib/wine/wine64
else
    export WINEARCH=win32 WINE=/usr/lib/wine/wine
fi
export WINELOADER="$WINE"
# The 64-bit server serves 32-bit prefixes too; Debian's own wineserver wrapper picks it.
export WINESERVER=/usr/lib/wine/wineserver64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winealsa.drv=d;mscoree=d;mshtml=d"

source "$NICSHOW_ROOT/scripts/i386.sh"

# 0 when this build can run under Wine here; otherwise prints why not, in one sentence.
wine_can_run() {
    local kernel=0
    [ "$NICSHOW_ARCH" = x64 ] || kernel_runs_i386 || kernel=$?
    if [ "$kernel" -eq 1 ]; then
        echo "this machine cannot start i386 programs (the kernel's IA-32 emulation is off), so 32-bit Wine and the x86 build cannot run here"
        return 1
    fi
    if [ "$kernel" -eq 2 ]; then
        echo "$I386_NO_EXEC; the x86 build is not run here"
        return 1
    fi
    if [ "$NICSHOW_ARCH" = x86 ] && { [ ! -x "$WINE" ] || ! machine_runs_i386; }; then
        echo "32-bit Wine is not installed (wine32:i386 and its 32-bit libraries; the kernel can start i386 programs), so the x86 build cannot run here"
        return 1
    fi
    if [ ! -x "$WINE" ]; then
        echo "$WINE is not installed, so the $NICSHOW_ARCH build cannot run here"
        return 1
    fi
    return 0
}

# Creates the prefix once (3-8 s on an idle machine, 15-20 s on a busy one); later starts
# take about half a second.
wine_prefix_ready() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "making the Wine prefix for $NICSHOW_ARCH: once, about 20 seconds" >&2
        mkdir -p "$WINEPREFIX"
        "$WINE" wineboot -i >/dev/null 2>&1 || true
        "$WINESERVER" -w 2>/dev/null || true
        # The first program after that starts Wine's own services in the new prefix, on
        # its standard error; once, one of them crashed there ("wine: Unhandled page
        # fault ...") into the output of a test. A first program whose output goes nowhere.
        "$WINE" cmd /c exit >/dev/null 2>&1 || true
        "$WINESERVER" -w 2>/dev/null || true
    fi
}

# Ends every Wine process of the prefix and waits for its server to go.
wine_stop() {
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w 2>/dev/null || true
}

# Runs the launcher with the real plug-in: nicshow_host [launcher options] [command line]
nicshow_host() {
    (cd "$NICSHOW_BIN" && "$WINE" nicshow-host.exe "$@")
}
