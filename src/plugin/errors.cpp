// Messages for the user start with the plug-in's name and, inside a batch file, its
// name and line; Windows error codes become one line of text.
#include "errors.h"
#include "host.h"
#include "plugin.h"

static WCHAR prefix_work[8192];

int report_error_prefix(void)
{
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);

    ZeroMemory(prefix_work, sizeof(prefix_work));
    lstrcpyW(prefix_work, TEXT("%_batch"));
    Qprintf(err, TEXT("%s plugin: "), PLUGIN_NAME);
    ExpandVariables(prefix_work, 1);
    if (prefix_work[0] != TEXT('0')) {
        lstrcpynW(prefix_work, TEXT("%_batchname [%_batchline]  "), 8192);
        ExpandVariables(prefix_work, 1);
        // The expansion is text, not a format: a per cent sign in the name stays.
        Qprintf(err, TEXT("%s"), prefix_work);
    }
    return 0;
}

int format_system_error(DWORD code, LPWSTR text)
{
    DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                  FORMAT_MESSAGE_MAX_WIDTH_MASK;
    LPCVOID source = NULL;
    int len;

    if (!text)
        return -1;
    if (code >= 12000 && code <= 12199) {
        // WinINet's messages live in its own module; it is only used when already loaded.
        HMODULE wininet = GetModuleHandleW(TEXT("wininet.dll"));
        if (wininet) {
            flags |= FORMAT_MESSAGE_FROM_HMODULE;
            source = wininet;
        }
    }
    if (code == 0xFFFFFFFFu) {
        lstrcpyW(text, TEXT("Unknown error"));
    } else if (!FormatMessageW(flags, source, code, 0, text, TEXT_BUFFER_CHARS, NULL)) {
        wsprintfW(text, TEXT("Error %d"), (int)code);
    }
    len = lstrlenW(text);
    while (len > 0 && iswspace(text[len - 1]))
        text[--len] = 0;
    return 0;
}
