// The one header through which the plug-in sees Windows. The include order matters:
// ws2tcpip.h must come before iphlpapi.h, or MIB_IF_ROW2 and GetIfEntry2 are missing.
#ifndef NICSHOW_PLATFORM_WIN32_H
#define NICSHOW_PLATFORM_WIN32_H

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif
#ifndef NTDDI_VERSION
#define NTDDI_VERSION 0x06010000
#endif
// wsprintfW and the runtime's _snwprintf take %s as a wide string; MinGW's own stdio
// would read it as a narrow one.
#ifndef __USE_MINGW_ANSI_STDIO
#define __USE_MINGW_ANSI_STDIO 0
#endif

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <netioapi.h>
#include <wlanapi.h>
#include <objbase.h>
#include <mmsystem.h>
#include <conio.h>
#include <wchar.h>
#include <wctype.h>
#include <stdlib.h>
#include <errno.h>

// The platform word of the version line: which of the two DLLs this is.
#ifdef _WIN64
#define PLUGIN_PLATFORM TEXT("x64")
#else
#define PLUGIN_PLATFORM TEXT("x86")
#endif

#endif
