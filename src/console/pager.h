// Paged output and break handling: every line of the report ends here. A line end puts
// the console back into the normal colour, notices a Ctrl-C or Ctrl-Break, and when
// paging is on counts lines and stops at the end of each page with a prompt.
//
// The output functions return 0, or USER_BREAK when the user stopped the output; a
// caller that gets USER_BREAK writes nothing more and returns it at once.
#ifndef NICSHOW_CONSOLE_PAGER_H
#define NICSHOW_CONSOLE_PAGER_H

#include "../platform/win32.h"
#include "pager_state.h"

// Key codes of wait_key beyond the UTF-16 characters.
#define KEY_EXTENDED 0x10000  // plus the second code of a function key, arrow and the like
#define KEY_CTRL_C 3          // Ctrl-C typed, or a break signalled while waiting
#define KEY_ESC 27
#define KEY_TIMEOUT 32        // the pause time ran out: as if the space bar was pressed

// Ends the current line.
int end_line(void);
// Ends count lines, stopping at the first user break; 0 does nothing.
int end_lines(DWORD count);
// Writes text in the highlight colour (plainly when highlighting is off), then
// end_lines of the low 8 bits of count: 0, 1 or 2.
int write_highlighted(LPCWSTR text, DWORD count);
// Echoes "^C" in a colour that stands out from the current one; returns USER_BREAK.
int show_break(void);
// Waits at the prompt for a key, a break, or the end of the pause time.
DWORD wait_key(void);
// The prompt at the end of a page: shows it, waits, erases it, acts on the key.
int page_prompt(void);
// Sets the page length from the request (1-1000, or all bits set to fit the window) and
// the console window's height; no paging when output is not a console or the window is
// smaller than 10 or larger than 100 rows. Called only for a request other than 0.
void start_paging(DWORD requested_lines);

#endif
