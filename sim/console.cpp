// The simulated console: whether standard output is a console, the window, the current
// attributes, the control handlers, and direct console writes.
#include "sim.h"

#include <conio.h>

namespace sim {

void write(Stream stream, const std::u16string &text);

static ConsoleState console_state;

static void reset_console()
{
    console_state = ConsoleState();
}
static ResetHook console_hook(reset_console);

ConsoleState &console()
{
    return console_state;
}

static bool is_screen(HANDLE h)
{
    return (h == std_out() && console_state.stdout_is_console) || h == conout_handle();
}

}  // namespace sim

using sim::console_state;

BOOL GetConsoleMode(HANDLE h, LPDWORD mode)
{
    if (!sim::is_screen(h)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (mode)
        *mode = 3;
    return TRUE;
}

BOOL SetConsoleMode(HANDLE h, DWORD)
{
    return sim::is_screen(h);
}

BOOL GetConsoleScreenBufferInfo(HANDLE h, PCONSOLE_SCREEN_BUFFER_INFO info)
{
    if (!sim::is_screen(h) || !info) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    memset(info, 0, sizeof(*info));
    info->dwSize.X = 80;
    info->dwSize.Y = 300;
    info->wAttributes = console_state.attr;
    info->srWindow.Left = 0;
    info->srWindow.Right = 79;
    info->srWindow.Top = console_state.window_top;
    info->srWindow.Bottom = (SHORT)(console_state.window_top + console_state.window_rows - 1);
    info->dwMaximumWindowSize.X = 80;
    info->dwMaximumWindowSize.Y = console_state.window_rows;
    return TRUE;
}

BOOL SetConsoleTextAttribute(HANDLE h, WORD attributes)
{
    if (!sim::is_screen(h))
        return FALSE;
    console_state.attr = attributes;
    console_state.attr_log.push_back(attributes);
    return TRUE;
}

BOOL SetConsoleCtrlHandler(PHANDLER_ROUTINE handler, BOOL add)
{
    auto &hs = console_state.handlers;
    if (add) {
        sim::kernel().events.push_back("SetConsoleCtrlHandler(add)");
        hs.push_back(handler);
        return TRUE;
    }
    sim::kernel().events.push_back("SetConsoleCtrlHandler(remove)");
    for (auto it = hs.begin(); it != hs.end(); ++it) {
        if (*it == handler) {
            hs.erase(it);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL WriteConsoleW(HANDLE h, const void *text, DWORD chars, LPDWORD written, LPVOID)
{
    if (!sim::is_screen(h))
        return FALSE;
    sim::write(sim::Stream::Console, std::u16string((const char16_t *)text, chars));
    if (written)
        *written = chars;
    return TRUE;
}

int _cputws(const char16_t *text)
{
    if (!text)
        return -1;
    sim::write(sim::Stream::Console, text);
    return 0;
}

int _kbhit(void)
{
    return 0;
}

int _getwch(void)
{
    return 0;
}

void Sleep(DWORD ms)
{
    sim::kernel().sleeps.push_back(ms);
    sim::kernel().tick += ms;
}
