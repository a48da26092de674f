// The command's usage text, shared by the Usage and Help exports and the help switches.
#ifndef NICSHOW_PLUGIN_USAGE_H
#define NICSHOW_PLUGIN_USAGE_H

#include "../platform/win32.h"

struct UsageEntry {
    WCHAR name[10];
    LPCWSTR text;
};

extern const UsageEntry usage_table[1];
extern const WCHAR nicshow_usage_text[];

#endif
