// The wireless LAN functions, taken at load from wlanapi.dll in the system directory.
// Windows Server has the library only with its Wireless LAN Service feature: importing it
// would make the shell refuse the DLL with a message that names no missing file, where
// taking it at run time lets the plug-in say why it does not load.
#ifndef NICSHOW_PLUGIN_WLAN_LIBRARY_H
#define NICSHOW_PLUGIN_WLAN_LIBRARY_H

#include "../platform/win32.h"

struct WlanApi {
    HMODULE module;
    decltype(&WlanOpenHandle) open_handle;
    decltype(&WlanCloseHandle) close_handle;
    decltype(&WlanQueryInterface) query_interface;
    decltype(&WlanFreeMemory) free_memory;
};

// All four functions are set while module is; all null otherwise.
extern WlanApi wlan_api;

// 0 with every function taken; otherwise the error code the failing call left (or a code
// of its own where that call left none, so that a failure is never taken for success),
// with the library freed again.
DWORD load_wlan_library(void);
void free_wlan_library(void);

#endif
