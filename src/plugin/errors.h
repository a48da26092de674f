// The error prefix of every message, and Windows error codes as text.
#ifndef NICSHOW_PLUGIN_ERRORS_H
#define NICSHOW_PLUGIN_ERRORS_H

#include "../platform/win32.h"
#include "../text_buffer.h"

int report_error_prefix(void);
// The system's text for code, into text (TEXT_BUFFER_CHARS).
int format_system_error(DWORD code, LPWSTR text);

#endif
