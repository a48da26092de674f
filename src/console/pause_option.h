// The /P switch: pause time of the pager prompt and requested page length; and the
// unsigned number reader the command's other numeric switch uses too.
#ifndef NICSHOW_CONSOLE_PAUSE_OPTION_H
#define NICSHOW_CONSOLE_PAUSE_OPTION_H

#include "../platform/win32.h"

// Requested page length when /P carries no lines value: fit the console window.
#define PAUSE_LINES_FIT_WINDOW 0xFFFFFFFFu
#define PAUSE_LINES_MAX 1000u

// Reads one argument word into pager.pause_ms and *requested_lines. 0: read, or not a
// pause switch; 1: malformed, message written; -1: no word. The word may be upper-cased
// in place for the message.
int parse_pause_option(LPWSTR word, DWORD *requested_lines);

// Reads an unsigned 32-bit number (decimal, or 0x and hex digits) at the start of text.
// With end: anything may follow and *end gets the position after the number; without:
// nothing may follow. 0, -1 (no number, trailing text, missing argument) or ERANGE.
// *value and *end are written only on success.
int parse_unsigned(LPCWSTR text, LPCWSTR *end, DWORD *value);

#endif
