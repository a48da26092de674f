// Line ends with paging and break handling, the page prompt and its key wait, the break
// echo, and highlighted text.
#include "pager.h"
#include "highlight.h"
#include "../plugin/host.h"
#include "../plugin/plugin.h"

static const WCHAR prompt_text[] =
    TEXT("\r   \u2500\u2500 Press a key to continue \u2500\u2500 ");
static const WCHAR erase_text[] =
    TEXT("\r                                                            \r");
static const WCHAR break_echo[] = TEXT("\r ^C \n");

#define POLL_MS 10
#define MIN_WINDOW_ROWS 10
#define MAX_WINDOW_ROWS 100

static int line_end(void)
{
    if (highlight_colors.normal) {
        SetConsoleTextAttribute(GetStdHandle(STD_OUTPUT_HANDLE), highlight_colors.normal);
        SetColors(highlight_colors.normal);
    }
    CrLf();
    if (pager.break_requested)
        return show_break();
    if (pager.lines_left == 0)
        return 0;
    if (--pager.lines_left > 0)
        return 0;
    return page_prompt();
}

int end_line(void)
{
    return line_end();
}

int end_lines(DWORD count)
{
    for (; count > 0; count--) {
        int rc = line_end();
        if (rc != 0)
            return rc;
    }
    return 0;
}

int show_break(void)
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    bool known = console_output && GetConsoleScreenBufferInfo(console_output, &info);
    BYTE current = known ? (BYTE)info.wAttributes : 0;
    BYTE colour = contrast_table[1][current >> 4];

    if (colour == current)
        colour = contrast_table[0][current >> 4];
    // Without the attributes in force they could not be put back afterwards, so the echo
    // then goes out in whatever colour the console has.
    if (known) {
        SetConsoleTextAttribute(console_output, colour);
        SetColors(colour);
    }
    _cputws(break_echo);
    if (known) {
        SetConsoleTextAttribute(console_output, info.wAttributes);
        SetColors(current);
    }
    return USER_BREAK;
}

static bool is_modifier(WORD vk)
{
    return vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU || vk == VK_CAPITAL ||
           vk == VK_NUMLOCK || vk == VK_SCROLL || vk == VK_LWIN || vk == VK_RWIN ||
           vk == VK_APPS || (vk >= VK_LSHIFT && vk <= VK_RMENU);
}

// The key code of an input record, or false for a record that is no key press: releases,
// mouse, focus and window events, and Shift, Ctrl, Alt and the lock keys alone.
static bool key_code(const INPUT_RECORD *record, DWORD *code)
{
    const KEY_EVENT_RECORD *key = &record->Event.KeyEvent;

    if (record->EventType != KEY_EVENT || !key->bKeyDown)
        return false;
    if (key->uChar.UnicodeChar) {
        *code = key->uChar.UnicodeChar;
        return true;
    }
    // Wine leaves out the character of Esc.
    if (key->wVirtualKeyCode == VK_ESCAPE) {
        *code = KEY_ESC;
        return true;
    }
    // Wine sends Shift and Ctrl as records of their own before the key they modify.
    if (is_modifier(key->wVirtualKeyCode))
        return false;
    // The scan code is the second code the runtime reports after its 0 or 0xE0 prefix.
    *code = KEY_EXTENDED + (key->wVirtualScanCode & 0xFF);
    return true;
}

// 1 and the code when a key press was waiting, 0 when none was, -1 when the console
// input cannot be read.
static int take_key(HANDLE input, DWORD *code)
{
    INPUT_RECORD record;
    DWORD count = 0, read = 0;

    for (;;) {
        if (!GetNumberOfConsoleInputEvents(input, &count))
            return -1;
        if (count == 0)
            return 0;
        if (!ReadConsoleInputW(input, &record, 1, &read) || read != 1)
            return -1;
        if (key_code(&record, code))
            return 1;
    }
}

// Keys are read as input records from the console input device, CONIN$, rather than
// with the runtime's _kbhit and _getwch. Under Wine those see nothing before a first
// blocking read, never report arrows, and never deliver Esc or the function keys; on
// Windows the runtime reads the very same records. An extended key comes in one record
// here, so a typed U+00E0 can no longer pass for the runtime's prefix. Reading CONIN$
// also keeps redirected standard input from answering the prompt. With processed input
// off, Ctrl-C arrives as a key record with the character 3 instead of a break.
//
// Each poll waits up to 10 ms on the input handle instead of sleeping: Wine's console
// reads the terminal only while somebody reads or waits on its input, and on Windows the
// wait ends as soon as a key comes.
DWORD wait_key(void)
{
    DWORD start = 0, code = KEY_TIMEOUT;  // take_key writes the code only when it takes a key
    HANDLE input;

    if (pager.pause_ms)
        start = GetTickCount();
    pager.break_requested = 0;
    input = CreateFileW(TEXT("CONIN$"), GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    for (;;) {
        if (input != INVALID_HANDLE_VALUE) {
            int got = take_key(input, &code);
            if (got > 0)
                break;
            if (got < 0) {
                CloseHandle(input);
                input = INVALID_HANDLE_VALUE;
            }
        }
        if (input != INVALID_HANDLE_VALUE) {
            if (WaitForSingleObject(input, POLL_MS) == WAIT_FAILED)
                Sleep(POLL_MS);
        } else {
            // Without a keyboard no key can end the wait: without a pause time it would
            // never end, with one the user still gets the pause asked for.
            if (!pager.pause_ms)
                break;
            Sleep(POLL_MS);
        }
        if (pager.break_requested) {
            code = KEY_CTRL_C;
            break;
        }
        // The unsigned difference stays right across a wrap of the tick counter, also
        // one that falls between two polls.
        if (pager.pause_ms && GetTickCount() - start >= pager.pause_ms)
            break;
    }
    if (input != INVALID_HANDLE_VALUE)
        CloseHandle(input);
    return code;
}

int page_prompt(void)
{
    DWORD key;

    pager.lines_left = pager.page_length;
    _cputws(prompt_text);
    key = wait_key();
    _cputws(erase_text);
    switch (key) {
    case 'a':
    case 'A':
    case 'c':
    case 'C':
        pager.page_length = 0;
        pager.lines_left = 0;
        return 0;
    case '/':
        pager.lines_left = pager.page_length / 2;
        return 0;
    case '0':
        pager.lines_left = 10;
        return 0;
    case KEY_ESC:
        return USER_BREAK;
    case KEY_CTRL_C:
        return show_break();
    default:
        if (key >= '1' && key <= '9')
            pager.lines_left = key - '0';
        return 0;
    }
}

static bool has_surrogates(LPCWSTR text)
{
    for (; *text; text++)
        if (*text >= 0xD800 && *text <= 0xDFFF)
            return true;
    return false;
}

int write_highlighted(LPCWSTR text, DWORD count)
{
    if (!text)
        text = TEXT("");
    if (!highlight_colors.normal) {
        QPuts(text);
    } else {
        HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
        SetConsoleTextAttribute(out, highlight_colors.highlight);
        _cputws(text);
        // The console miscounts the cells of a character outside the Basic Multilingual
        // Plane; a blank and a backspace bring the cursor back in step.
        if (has_surrogates(text))
            _cputws(TEXT(" \b"));
        SetConsoleTextAttribute(out, highlight_colors.normal);
        SetColors(highlight_colors.normal);
    }
    return end_lines(count & 0xFF);
}

void start_paging(DWORD requested_lines)
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    DWORD length = 0;

    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info)) {
        LONG rows = (LONG)info.srWindow.Bottom - info.srWindow.Top + 1;
        if (rows >= MIN_WINDOW_ROWS && rows <= MAX_WINDOW_ROWS) {
            if (requested_lines >= 3 && requested_lines < (DWORD)rows)
                length = requested_lines;
            else
                length = (DWORD)rows - 2;
        }
    }
    pager.page_length = length;
    pager.lines_left = length;
}
