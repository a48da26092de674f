// The /P switch: /P[:|=][time[M]][,|;[lines]], and the number reader behind it.
#include "pause_option.h"
#include "pager_state.h"
#include "../plugin/errors.h"
#include "../plugin/host.h"

// Seconds above this no longer fit 32 bits once turned into milliseconds.
#define PAUSE_SECONDS_MAX (0xFFFFFFFFu / 1000u)

static bool is_digit(WCHAR c)
{
    return c >= TEXT('0') && c <= TEXT('9');
}

static bool is_hex_digit(WCHAR c)
{
    return is_digit(c) || (c >= TEXT('a') && c <= TEXT('f')) || (c >= TEXT('A') && c <= TEXT('F'));
}

int parse_unsigned(LPCWSTR text, LPCWSTR *end, DWORD *value)
{
    LPWSTR stop = NULL;
    DWORD number;
    int base;

    if (!text || !value)
        return -1;
    errno = 0;
    if (text[0] == TEXT('0') && (text[1] == TEXT('x') || text[1] == TEXT('X')) &&
        is_hex_digit(text[2]))
        base = 16;  // the conversion steps over the 0x itself
    else if (is_digit(text[0]))
        base = 10;
    else
        return -1;
    number = (DWORD)wcstoul(text, &stop, base);
    if (errno == ERANGE)
        return ERANGE;
    if (!end && *stop)
        return -1;
    *value = number;
    if (end)
        *end = stop;
    return 0;
}

static int pause_error(LPCWSTR format, LPWSTR word)
{
    CharUpperW(word);
    report_error_prefix();
    Qprintf(GetStdHandle(STD_ERROR_HANDLE), format, word);
    return 1;
}

int parse_pause_option(LPWSTR word, DWORD *requested_lines)
{
    LPCWSTR p;
    DWORD number;

    if (!word || !requested_lines)
        return -1;
    if ((word[0] != TEXT('/') && word[0] != TEXT('-')) ||
        (word[1] != TEXT('P') && word[1] != TEXT('p')))
        return 0;

    // Every pause switch starts from scratch: the last one on the line counts.
    *requested_lines = PAUSE_LINES_FIT_WINDOW;
    pager.pause_ms = 0;
    p = word + 2;
    if (*p == TEXT(':') || *p == TEXT('='))
        p++;

    if (is_digit(*p)) {
        if (parse_unsigned(p, &p, &number) != 0)
            return pause_error(TEXT("Bad pause time: \"%s\"\r\n"), word);
        if (*p == TEXT('M') || *p == TEXT('m')) {
            p++;
        } else {
            // Seconds that would wrap when multiplied are refused, not shortened.
            if (number > PAUSE_SECONDS_MAX)
                return pause_error(TEXT("Bad pause time: \"%s\"\r\n"), word);
            number *= 1000;
        }
        pager.pause_ms = number;
    }

    if (*p == TEXT(',') || *p == TEXT(';')) {
        p++;
        if (is_digit(*p)) {
            if (parse_unsigned(p, &p, &number) != 0)
                return pause_error(TEXT("Bad pause lines: \"%s\"\r\n"), word);
            if (number > PAUSE_LINES_MAX) {
                report_error_prefix();
                Qprintf(GetStdHandle(STD_ERROR_HANDLE),
                        TEXT("Pause lines must be 0 - 1000: %u\r\n"), number);
                return 1;
            }
            *requested_lines = number;
        }
    }

    if (*p)
        return pause_error(TEXT("Syntax error: \"%s\"\r\n"), word);
    return 0;
}
