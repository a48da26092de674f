// Simulated wireless LAN client.
#ifndef SIM_WLANAPI_H
#define SIM_WLANAPI_H
#include <windows.h>

DWORD WlanOpenHandle(DWORD client_version, PVOID reserved, PDWORD negotiated, PHANDLE client);
DWORD WlanCloseHandle(HANDLE client, PVOID reserved);

#endif
