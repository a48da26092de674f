// Loading wlanapi.dll by its full path in the system directory, so that no copy in the
// current folder or the shell's is ever taken in its place.
#include "wlan_library.h"

WlanApi wlan_api;

static const WCHAR library_name[] = TEXT("\\wlanapi.dll");

// Each call below may fail without setting a code, and then the code of its own stands
// in: the thread's code is cleared before each, so that one left by something earlier is
// never reported as the reason.

template <typename Fn> static bool take(Fn *fn, const char *name)
{
    SetLastError(0);
    *fn = (Fn)(void *)GetProcAddress(wlan_api.module, name);
    return *fn != NULL;
}

DWORD load_wlan_library(void)
{
    WCHAR path[MAX_PATH];
    UINT length;
    DWORD rc;

    SetLastError(0);
    length = GetSystemDirectoryW(path, ARRAYSIZE(path));
    if (!length) {
        rc = GetLastError();
        return rc ? rc : ERROR_PATH_NOT_FOUND;
    }
    // A buffer too small gives the size needed instead, so one test bounds both cases.
    if (length + ARRAYSIZE(library_name) > ARRAYSIZE(path))
        return ERROR_FILENAME_EXCED_RANGE;
    lstrcpyW(path + length, library_name);

    // Its own dependencies are looked for beside it, not in the process's search path.
    SetLastError(0);
    wlan_api.module = LoadLibraryExW(path, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!wlan_api.module) {
        rc = GetLastError();
        return rc ? rc : ERROR_MOD_NOT_FOUND;
    }
    // The first one missing ends the search, with its own code.
    if (take(&wlan_api.open_handle, "WlanOpenHandle") &&
        take(&wlan_api.close_handle, "WlanCloseHandle") &&
        take(&wlan_api.query_interface, "WlanQueryInterface") &&
        take(&wlan_api.free_memory, "WlanFreeMemory"))
        return 0;
    rc = GetLastError();
    free_wlan_library();
    return rc ? rc : ERROR_PROC_NOT_FOUND;
}

void free_wlan_library(void)
{
    if (wlan_api.module)
        FreeLibrary(wlan_api.module);
    ZeroMemory(&wlan_api, sizeof(wlan_api));
}
