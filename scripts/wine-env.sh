# Sourced by the scripts that run the win32 build under Wine: the project's own 32-bit
# prefix inside the build folder, silent, without sound drivers or Mono/Gecko prompts.
# An optional argument names the win32 build's bin/ folder (tests are given theirs);
# the prefix lives beside it.
NICSHOW_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
NICSHOW_BIN="$(cd "${1:-${NICSHOW_BIN:-$NICSHOW_ROOT/build/win32/bin}}" && pwd)"
export WINEPREFIX="${WINEPREFIX:-$(dirname "$NICSHOW_BIN")/wineprefix}"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winealsa.drv=d;mscoree=d;mshtml=d"

# Creates the prefix once (3-8 s); later starts take about half a second.
wine_prefix_ready() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w 2>/dev/null || true
    fi
}

# Runs the launcher with the real plug-in: nicshow_host [launcher options] [command line]
nicshow_host() {
    (cd "$NICSHOW_BIN" && wine nicshow-host.exe "$@")
}
