// Narrow texts of the operating system's records as UTF-16, bounded by the buffer.
#ifndef NICSHOW_COMMAND_TEXT_H
#define NICSHOW_COMMAND_TEXT_H

#include "../platform/win32.h"
#include "../text_buffer.h"

// Converts at most max_bytes bytes of text (it may lack a terminator within them) from
// the ANSI code page into out, which holds TEXT_BUFFER_CHARS; out is always terminated.
void ansi_to_wide(const char *text, size_t max_bytes, LPWSTR out);

#endif
