// Report line layout: blanks, dot leaders, and the label and continuation columns.
#include "layout.h"
#include "pager.h"
#include "../plugin/host.h"

#define CHUNK 1024  // characters per host call

int write_spaces(DWORD count)
{
    WCHAR buffer[CHUNK + 1];
    // Only what will be written is filled: most indents are 31 columns, not 1024.
    DWORD fill = count < CHUNK ? count : CHUNK;

    for (DWORD i = 0; i < fill; i++)
        buffer[i] = TEXT(' ');
    buffer[fill] = 0;
    for (; count > CHUNK; count -= CHUNK)
        QPuts(buffer);
    if (count > 0) {
        buffer[count] = 0;
        QPuts(buffer);
    }
    return 0;
}

int write_dot_leader(DWORD count)
{
    WCHAR buffer[CHUNK + 1];

    if (count == 0)
        return 0;
    if (count & 1) {
        QPuts(TEXT(" "));
        count--;
    }
    // Chunks of even length that begin with a dot keep the pattern unbroken. Only what
    // will be written is filled: a leader is some twenty columns, not 1024.
    DWORD fill = count < CHUNK ? count : CHUNK;
    for (DWORD i = 0; i < fill; i += 2) {
        buffer[i] = TEXT('.');
        buffer[i + 1] = TEXT(' ');
    }
    buffer[fill] = 0;
    for (; count > CHUNK; count -= CHUNK)
        QPuts(buffer);
    if (count > 0) {
        buffer[count] = 0;
        QPuts(buffer);
    }
    return 0;
}

int write_label(LPCWSTR label)
{
    DWORD length = (DWORD)lstrlenW(label);

    QPuts(label ? label : TEXT(""));
    write_dot_leader(length < LABEL_COLUMNS ? LABEL_COLUMNS - length : 0);
    QPuts(TEXT(":  "));
    return 0;
}

int write_continuation(void)
{
    return write_spaces(VALUE_COLUMN);
}

int write_report_line(LPCWSTR label, LPCWSTR value)
{
    write_label(label);
    if (value)
        QPuts(value);
    return end_lines(1);
}
