// The report's opening: the host as a whole, and in the detailed form the node type,
// routing, proxy and DNS switches and the DNS suffix search list.
#ifndef NICSHOW_COMMAND_HEADER_H
#define NICSHOW_COMMAND_HEADER_H

#include "../platform/win32.h"
#include "../text_buffer.h"

// 0, USER_BREAK, or the Windows error of fetching the host record (nothing written then).
int print_global_header(BOOL detailed);
// Entries written (0 for no search list), or USER_BREAK.
int print_dns_search_list(void);
// 1 and the registry's search list in buffer (TEXT_BUFFER_CHARS), 0 and an empty text when
// there is none, -1 without a buffer. The text ends at its first NUL, or fills the buffer
// without one.
int read_search_list(LPWSTR buffer);

#endif
