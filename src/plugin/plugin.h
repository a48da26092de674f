// Exported entry points and the module-wide resources acquired at load.
#ifndef NICSHOW_PLUGIN_PLUGIN_H
#define NICSHOW_PLUGIN_PLUGIN_H

#include "../platform/win32.h"
#include "../text_buffer.h"

#define PLUGIN_NAME TEXT("Nicshow")
#define PLUGIN_VERSION_MAJOR 0
#define PLUGIN_VERSION_MINOR 95
#define PLUGIN_VERSION_BUILD 2

// The host's plug-in information record. The plug-in writes the first nine fields; the
// last two are the host's, filled in and read by the host alone.
struct PluginInfo {
    LPCWSTR name;
    LPCWSTR author;
    LPCWSTR email;
    LPCWSTR web_page;
    LPCWSTR description;
    LPCWSTR implements;
    INT major;
    INT minor;
    INT build;
    HMODULE module;       // the host's: the plug-in's module handle
    LPWSTR module_name;   // the host's: the plug-in's module name
};

// The host's text buffers of Usage and _clver$ hold TEXT_BUFFER_CHARS.
extern "C" {
PluginInfo *WINAPI GetPluginInfo(void);
INT WINAPI InitializePlugin(void);
INT WINAPI ShutdownPlugin(BOOL end_process);
INT WINAPI Usage(LPWSTR name, LPWSTR text);
INT WINAPI Help(LPWSTR name);
INT WINAPI nicshow(LPWSTR arguments);
INT WINAPI _clver$(LPWSTR text);
}

extern HANDLE wlan_client;
extern OSVERSIONINFOEXW os_version;
extern HANDLE console_output;
extern bool winsock_started;  // the plug-in's own WSAStartup succeeded and is not yet undone

bool is_transient_or_piped(void);
bool read_os_version(void);
bool open_console_output(void);

#endif
