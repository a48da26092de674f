// The simulated console: whether standard output is a console, the window, the current
// attributes, the control handlers, direct console writes, and console input driven by a
// test's script of keys and control events over a virtual clock.
#include "sim.h"

#include <conio.h>

#include <stdexcept>
#include <thread>

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

HANDLE conin_handle()
{
    return (HANDLE)0x300;
}

HANDLE open_conin()
{
    if (console_state.conin_missing)
        return INVALID_HANDLE_VALUE;
    console_state.conin_opens++;
    return conin_handle();
}

static bool is_screen(HANDLE h)
{
    return (h == std_out() && console_state.stdout_is_console) || h == conout_handle();
}

// --- input script ----------------------------------------------------------------------
static Input key_record(BOOL down, char16_t ch, WORD vk, WORD scan, DWORD after_ms)
{
    Input in;
    in.record.EventType = KEY_EVENT;
    KEY_EVENT_RECORD &k = in.record.Event.KeyEvent;
    k.bKeyDown = down;
    k.wVirtualKeyCode = vk;
    k.wVirtualScanCode = scan;
    k.uChar.UnicodeChar = ch;
    in.after_ms = after_ms;
    return in;
}

static WORD vk_of(char16_t ch)
{
    if (ch >= u'a' && ch <= u'z')
        return (WORD)(ch - 32);
    // Digits, capitals, blank, Esc, Enter, Backspace and Tab are their own key codes.
    if ((ch >= u'A' && ch <= u'Z') || (ch >= u'0' && ch <= u'9') || ch == VK_SPACE ||
        ch == VK_ESCAPE || ch == VK_RETURN || ch == VK_BACK || ch == VK_TAB)
        return ch;
    return 0;
}

Input key(char16_t ch, DWORD after_ms)
{
    return key_record(TRUE, ch, vk_of(ch), 0, after_ms);
}

Input key_up(char16_t ch)
{
    return key_record(FALSE, ch, vk_of(ch), 0, 0);
}

Input vkey(WORD vk, WORD scan, DWORD after_ms)
{
    return key_record(TRUE, 0, vk, scan, after_ms);
}

Input mouse()
{
    Input in;
    in.record.EventType = MOUSE_EVENT;
    in.record.Event.MouseEvent.dwButtonState = 1;
    return in;
}

static Input ctrl(DWORD type, DWORD after_ms)
{
    Input in;
    in.is_ctrl = true;
    in.ctrl_type = type;
    in.after_ms = after_ms;
    return in;
}

Input ctrl_c(DWORD after_ms)
{
    return ctrl(CTRL_C_EVENT, after_ms);
}

Input ctrl_break(DWORD after_ms)
{
    return ctrl(CTRL_BREAK_EVENT, after_ms);
}

void script(std::initializer_list<Input> inputs)
{
    console_state.script.insert(console_state.script.end(), inputs.begin(), inputs.end());
}

void script_text(const std::string &keys)
{
    for (char16_t ch : utf16(keys))
        console_state.script.push_back(key(ch));
}

void raise_ctrl(DWORD type)
{
    auto &c = console_state;
    if (type == CTRL_C_EVENT && !c.processed_input) {
        c.buffer.push_back(key_record(TRUE, 3, 'C', 0x2E, 0).record);
        return;
    }
    // The system calls the handlers on a thread of its own, the last installed first,
    // until one of them takes the event.
    std::vector<PHANDLER_ROUTINE> handlers = c.handlers;
    for (auto it = handlers.rbegin(); it != handlers.rend(); ++it) {
        BOOL taken = FALSE;
        std::thread control_thread([&] { taken = (*it)(type); });
        control_thread.join();
        if (taken) {
            c.ctrl_handled.push_back(type);
            return;
        }
    }
    c.ctrl_unhandled.push_back(type);
}

// Virtual time passes; the tick counter moves in steps of the timer resolution.
static void pass_time(ULONG64 ms)
{
    auto &c = console_state;
    ULONG64 step = c.tick_step ? c.tick_step : 1;
    ULONG64 before = c.slept_ms;
    c.slept_ms += ms;
    kernel().tick += (DWORD)((c.slept_ms / step - before / step) * step);
    if (c.slept_ms > c.sleep_limit_ms)
        throw std::runtime_error("sim: waited past the test's limit: a wait that never ends");
}

// Lets everything arrive whose time has come.
static void pump()
{
    auto &c = console_state;
    while (c.script_next < c.script.size()) {
        Input in = c.script[c.script_next];
        if (c.slept_ms < c.last_arrival_ms + in.after_ms)
            break;
        c.script_next++;
        c.last_arrival_ms += in.after_ms;
        if (in.is_ctrl)
            raise_ctrl(in.ctrl_type);
        else
            c.buffer.push_back(in.record);
    }
}

// A blocking read with an empty buffer: time passes until the next scripted input.
static bool wait_for_input()
{
    auto &c = console_state;
    pump();
    while (c.buffer.empty()) {
        if (c.script_next >= c.script.size())
            return false;
        ULONG64 due = c.last_arrival_ms + c.script[c.script_next].after_ms;
        if (due > c.slept_ms)
            pass_time(due - c.slept_ms);
        pump();
    }
    return true;
}

void line_end()
{
    auto &c = console_state;
    c.line_ends++;
    if (c.ctrl_c_at_line_end && c.line_ends == c.ctrl_c_at_line_end)
        raise_ctrl(CTRL_C_EVENT);
}

}  // namespace sim

using sim::console_state;

BOOL GetConsoleMode(HANDLE h, LPDWORD mode)
{
    SIM_CALL(per_run);
    if (!sim::is_screen(h))
        return FALSE;
    if (mode)
        *mode = h == sim::std_out() ? console_state.stdout_mode : 3;
    return TRUE;
}

BOOL GetConsoleScreenBufferInfo(HANDLE h, PCONSOLE_SCREEN_BUFFER_INFO info)
{
    SIM_CALL(per_adapter);
    if (!sim::is_screen(h) || !info || console_state.screen_info_fails)
        return FALSE;
    memset(info, 0, sizeof(*info));
    info->wAttributes = console_state.attr;
    info->srWindow.Top = console_state.window_top;
    info->srWindow.Bottom = (SHORT)(console_state.window_top + console_state.window_rows - 1);
    return TRUE;
}

BOOL SetConsoleTextAttribute(HANDLE h, WORD attributes)
{
    SIM_CALL(per_line);
    if (!sim::is_screen(h))
        return FALSE;
    console_state.attr = attributes;
    console_state.attr_log.push_back(attributes);
    return TRUE;
}

BOOL SetConsoleCtrlHandler(PHANDLER_ROUTINE handler, BOOL add)
{
    SIM_CALL(per_run);
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

BOOL GetNumberOfConsoleInputEvents(HANDLE h, LPDWORD count)
{
    SIM_CALL(per_line);
    if (h != sim::conin_handle() || !count || console_state.conin_uncountable)
        return FALSE;
    sim::pump();
    *count = (DWORD)console_state.buffer.size();
    return TRUE;
}

BOOL ReadConsoleInputW(HANDLE h, PINPUT_RECORD records, DWORD length, LPDWORD read)
{
    SIM_CALL(per_line);
    if (h != sim::conin_handle() || !records || !read || console_state.conin_unreadable)
        return FALSE;
    if (length && !sim::wait_for_input())
        throw std::runtime_error("sim: ReadConsoleInputW would block for ever: nothing scripted");
    auto &b = console_state.buffer;
    DWORD n = 0;
    console_state.unread_signals = 0;
    for (; n < length && n < b.size(); n++)
        records[n] = b[n];
    b.erase(b.begin(), b.begin() + n);
    *read = n;
    return TRUE;
}

int _cputws(const char16_t *text)
{
    SIM_CALL(per_line);
    if (!text)
        return -1;
    sim::write(sim::Stream::Console, text);
    return 0;
}

void Sleep(DWORD ms)
{
    SIM_CALL(per_line);
    sim::kernel().sleeps.push_back(ms);
    sim::pass_time(ms);
    sim::pump();
}

// Signalled while the console input buffer holds anything; returns as soon as something
// arrives, like the real wait.
DWORD WaitForSingleObject(HANDLE h, DWORD ms)
{
    SIM_CALL(per_line);
    if (h != sim::conin_handle())
        return WAIT_FAILED;
    console_state.input_waits.push_back(ms);
    sim::pump();
    for (ULONG64 waited = 0; console_state.buffer.empty(); waited++) {
        if (ms != INFINITE && waited >= ms)
            return WAIT_TIMEOUT;
        sim::pass_time(1);
        sim::pump();
    }
    // Input that nobody reads keeps the handle signalled: a poll that never reads it
    // would spin for ever, with no time passing. A prompt reads after each signalled
    // wait, and no test scripts more than a few hundred records, so 100,000 such waits
    // in a row can only be that spin.
    if (++console_state.unread_signals > 100000)
        throw std::runtime_error("sim: waits on console input that is never read: a spin");
    return WAIT_OBJECT_0;
}
