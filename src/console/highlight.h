// Which console colour counts as normal and which as the highlight in one run of the
// command, or that there is no highlighting at all.
#ifndef NICSHOW_CONSOLE_HIGHLIGHT_H
#define NICSHOW_CONSOLE_HIGHLIGHT_H

#include "../platform/win32.h"
#include "../text_buffer.h"

// Console attributes: bits 0-3 foreground, bits 4-7 background. normal 0 means that
// highlighting is off; both fields are set together or both stay 0.
struct HighlightColors {
    BYTE normal;
    BYTE highlight;
};

extern HighlightColors highlight_colors;

// Two contrasting attributes per background colour (the index), differing only in their
// foregrounds: row 0 is the default highlight's first choice, row 1 its fallback and the
// break echo's first choice.
extern const BYTE contrast_table[2][16];

// Fills highlight_colors from the shell's normal colour and the user's setting (the
// environment variable Highlight, else the registry value "Highlight" of the plug-in's
// key or its folder key, current user before machine), or leaves it all 0 when
// highlighting is off. Expects the record cleared. Returns the highlight, or 0.
int init_highlight_colors(void);

// Reads the REG_SZ value "Highlight" of root\key_path into text (TEXT_BUFFER_CHARS).
// 0 and a non-empty, terminated text; otherwise text is empty and the result is -1 for a
// missing or empty argument, the error of opening or querying, ERROR_INVALID_DATA for
// another type, ERROR_NO_DATA for an empty value, or ERROR_MORE_DATA for a value that
// does not fit the buffer with its terminator.
LONG read_highlight_value(HKEY root, LPCWSTR key_path, LPWSTR text);

#endif
