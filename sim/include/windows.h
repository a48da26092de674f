// Simulated Windows SDK for the native build: the types, constants and functions that
// the plug-in uses, with the Windows widths (ILP32 integers, UTF-16 text). The state
// behind the functions is scripted by tests through sim/sim.h.
#ifndef SIM_WINDOWS_H
#define SIM_WINDOWS_H

#include <stddef.h>
#include <stdint.h>
#include <stdarg.h>
#include <string.h>

#define WINAPI
#define CALLBACK
#define APIENTRY
#define __cdecl
#define WINAPIV
#define DECLSPEC_IMPORT

#define TEXT(x) u##x
#define _T(x) u##x

typedef char16_t WCHAR;
typedef WCHAR *LPWSTR, *PWSTR, *PWCHAR, *PWCH, *LPWCH;
typedef const WCHAR *LPCWSTR, *PCWSTR, *LPCWCH;
typedef WCHAR TCHAR;
typedef char CHAR;
typedef CHAR *LPSTR, *PSTR, *PCHAR;
typedef const CHAR *LPCSTR, *PCSTR;

typedef uint8_t BYTE, UCHAR, BOOLEAN, UINT8;
typedef BYTE *PBYTE, *LPBYTE, *PUCHAR, *PBOOLEAN;
typedef uint16_t WORD, USHORT, UINT16;
typedef WORD *PWORD, *LPWORD, *PUSHORT;
typedef int16_t SHORT;
typedef uint32_t DWORD, ULONG, UINT, UINT32;
typedef DWORD *PDWORD, *LPDWORD, *PULONG, *PUINT;
typedef int32_t LONG, INT, BOOL, INT32, NTSTATUS, HRESULT;
typedef LONG *PLONG, *LPLONG;
typedef INT *PINT, *LPINT;
typedef BOOL *PBOOL, *LPBOOL;
typedef uint64_t ULONG64, ULONGLONG, DWORD64, UINT64, NET_IFINDEX_ULONG64;
typedef int64_t LONG64, LONGLONG, INT64;
typedef ULONG64 *PULONG64;
typedef uintptr_t ULONG_PTR, DWORD_PTR, UINT_PTR;
typedef intptr_t LONG_PTR, INT_PTR;
typedef size_t SIZE_T;
typedef SIZE_T *PSIZE_T;
typedef void VOID, *PVOID, *LPVOID;
typedef const void *LPCVOID;
typedef ULONG_PTR WPARAM;
typedef LONG_PTR LPARAM, LRESULT;
typedef DWORD LCID;
typedef DWORD LCTYPE;

typedef void *HANDLE;
typedef HANDLE *PHANDLE, *LPHANDLE;
typedef struct HINSTANCE__ *HINSTANCE;
typedef HINSTANCE HMODULE;
typedef struct HWND__ *HWND;
typedef struct HKEY__ *HKEY;
typedef HKEY *PHKEY;
typedef DWORD REGSAM;
typedef INT_PTR (*FARPROC)(void);

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#ifndef NULL
#define NULL nullptr
#endif
#define MAX_PATH 260
#define ANYSIZE_ARRAY 1

#define MAKEWORD(a, b) ((WORD)(((BYTE)((a) & 0xff)) | ((WORD)((BYTE)((b) & 0xff))) << 8))
#define LOWORD(l) ((WORD)((DWORD_PTR)(l) & 0xffff))
#define HIWORD(l) ((WORD)((DWORD_PTR)(l) >> 16))
#define LOBYTE(w) ((BYTE)((DWORD_PTR)(w) & 0xff))
#define HIBYTE(w) ((BYTE)((DWORD_PTR)(w) >> 8))
#define ARRAYSIZE(a) (sizeof(a) / sizeof((a)[0]))
#define ZeroMemory(p, n) memset((p), 0, (n))
#define RtlZeroMemory(p, n) memset((p), 0, (n))
#define CopyMemory(d, s, n) memcpy((d), (s), (n))
#define FillMemory(d, n, v) memset((d), (v), (n))
#define UNREFERENCED_PARAMETER(p) ((void)(p))
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#define S_OK ((HRESULT)0)
#define E_INVALIDARG ((HRESULT)0x80070057L)

typedef struct _GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
} GUID, IID, CLSID;
typedef GUID *LPGUID, *PGUID;
typedef const GUID *LPCGUID, *REFGUID;
typedef IID *LPIID;

/* error codes */
#define ERROR_SUCCESS 0L
#define NO_ERROR 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_INVALID_DATA 13L
#define ERROR_OUTOFMEMORY 14L
#define ERROR_NOT_SUPPORTED 50L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_BUFFER_OVERFLOW 111L
#define ERROR_SERVICE_NOT_ACTIVE 1062L
#define ERROR_MORE_DATA 234L
#define ERROR_NO_DATA 232L
#define ERROR_NOT_FOUND 1168L
#define ERROR_ENVVAR_NOT_FOUND 203L
#define ERROR_MR_MID_NOT_FOUND 317L
#define ERROR_INVALID_STATE 5023L
#define ERROR_GEN_FAILURE 31L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_PROC_NOT_FOUND 127L
#define ERROR_FILENAME_EXCED_RANGE 206L
#define ERROR_RESOURCE_LANG_NOT_FOUND 15100L
DWORD GetLastError(void);
void SetLastError(DWORD code);

/* heap */
#define HEAP_ZERO_MEMORY 0x00000008
HANDLE GetProcessHeap(void);
LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);
BOOL HeapFree(HANDLE heap, DWORD flags, LPVOID block);

/* handles and files */
#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)
#define STD_INPUT_HANDLE ((DWORD)-10)
#define STD_OUTPUT_HANDLE ((DWORD)-11)
#define STD_ERROR_HANDLE ((DWORD)-12)
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define OPEN_EXISTING 3
#define FILE_ATTRIBUTE_NORMAL 0x80
typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;
HANDLE GetStdHandle(DWORD which);
HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES sa,
                   DWORD disposition, DWORD flags, HANDLE templ);
BOOL CloseHandle(HANDLE h);

/* modules */
HMODULE GetModuleHandleW(LPCWSTR name);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
#define LOAD_WITH_ALTERED_SEARCH_PATH 0x00000008
UINT GetSystemDirectoryW(LPWSTR buffer, UINT size);
HMODULE LoadLibraryExW(LPCWSTR name, HANDLE file, DWORD flags);
BOOL FreeLibrary(HMODULE module);

#define FORMAT_MESSAGE_ALLOCATE_BUFFER 0x00000100
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200
#define FORMAT_MESSAGE_FROM_STRING 0x00000400
#define FORMAT_MESSAGE_FROM_HMODULE 0x00000800
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000
#define FORMAT_MESSAGE_ARGUMENT_ARRAY 0x00002000
#define FORMAT_MESSAGE_MAX_WIDTH_MASK 0x000000FF
DWORD FormatMessageW(DWORD flags, LPCVOID source, DWORD code, DWORD language, LPWSTR buffer,
                     DWORD size, va_list *args);

/* versions */
typedef struct _OSVERSIONINFOW {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
} OSVERSIONINFOW, *POSVERSIONINFOW, *LPOSVERSIONINFOW, RTL_OSVERSIONINFOW, *PRTL_OSVERSIONINFOW;
typedef struct _OSVERSIONINFOEXW {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
    WORD wServicePackMajor;
    WORD wServicePackMinor;
    WORD wSuiteMask;
    BYTE wProductType;
    BYTE wReserved;
} OSVERSIONINFOEXW, *POSVERSIONINFOEXW, *LPOSVERSIONINFOEXW, RTL_OSVERSIONINFOEXW, *PRTL_OSVERSIONINFOEXW;
BOOL GetVersionExW(LPOSVERSIONINFOW info);

/* time and waits */
DWORD GetTickCount(void);
void Sleep(DWORD ms);

/* environment and code pages */
DWORD GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size);
#define CP_ACP 0
#define CP_UTF8 65001
#define MB_PRECOMPOSED 0x00000001
int MultiByteToWideChar(UINT codepage, DWORD flags, LPCSTR text, int bytes, LPWSTR out, int chars);

/* strings */
int lstrlenW(LPCWSTR s);
LPWSTR lstrcpyW(LPWSTR d, LPCWSTR s);
LPWSTR lstrcpynW(LPWSTR d, LPCWSTR s, int max);
LPWSTR lstrcatW(LPWSTR d, LPCWSTR s);
int lstrcmpW(LPCWSTR a, LPCWSTR b);
int lstrcmpiW(LPCWSTR a, LPCWSTR b);
LPWSTR CharUpperW(LPWSTR s);
DWORD CharUpperBuffW(LPWSTR s, DWORD n);
int wsprintfW(LPWSTR out, LPCWSTR format, ...);

/* registry */
#define HKEY_CLASSES_ROOT ((HKEY)(ULONG_PTR)0x80000000u)
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)0x80000001u)
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)0x80000002u)
#define HKEY_USERS ((HKEY)(ULONG_PTR)0x80000003u)
#define KEY_QUERY_VALUE 0x0001
#define KEY_READ 0x20019
#define REG_OPTION_OPEN_LINK 0x00000008
#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_MULTI_SZ 7
LONG RegOpenKeyExW(HKEY root, LPCWSTR path, DWORD options, REGSAM access, PHKEY result);
LONG RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD bytes);
LONG RegCloseKey(HKEY key);

/* user interface */
#define MB_OK 0x00000000L
#define IDOK 1
HWND GetForegroundWindow(void);
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

#include "sim_crt.h"
#include "sim_console.h"
#include "sim_locale.h"

#endif
