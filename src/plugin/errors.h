// The error prefix of every message, and Windows error codes as text.
#ifndef NICSHOW_PLUGIN_ERRORS_H
#define NICSHOW_PLUGIN_ERRORS_H

#include "../platform/win32.h"

int report_error_prefix(void);
int format_system_error(DWORD code, LPWSTR text);

#endif
