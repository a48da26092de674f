// Entry points the host calls to identify, load and unload the plug-in, and the
// resources acquired at load that the command uses later.
#include "plugin.h"
#include "errors.h"
#include "host.h"
#include "wlan_library.h"
#include "../console/pager_state.h"

HANDLE wlan_client;
OSVERSIONINFOEXW os_version;
HANDLE console_output;
bool winsock_started;

static WSADATA wsa_data;
static DWORD wlan_version;
static PluginInfo plugin_info;

static const WCHAR description_text[] = TEXT("nicshow");
static const WCHAR implements_text[] = TEXT("nicshow");

static_assert(sizeof(OSVERSIONINFOEXW) == 284, "the extended version record is 284 bytes");
// The host reads the record with its own layout. (The native build's is left to the
// compiler: no host reads it, only the tests, through this same declaration.)
#if defined(_WIN64)
static_assert(sizeof(PluginInfo) == 80 && offsetof(PluginInfo, module) == 64,
              "plug-in information record of the 64-bit host");
#elif defined(_WIN32)
static_assert(sizeof(PluginInfo) == 44 && offsetof(PluginInfo, module) == 36,
              "plug-in information record of the 32-bit host");
#endif

typedef LONG(WINAPI *RtlGetVersionFn)(PRTL_OSVERSIONINFOW info);

extern "C" PluginInfo *WINAPI GetPluginInfo(void)
{
    plugin_info.name = PLUGIN_NAME;
    plugin_info.author = TEXT("Nicshow developers");
    plugin_info.email = TEXT("nicshow@example.org");
    plugin_info.web_page = TEXT("https://example.org/nicshow");
    plugin_info.description = description_text;
    plugin_info.implements = implements_text;
    plugin_info.major = PLUGIN_VERSION_MAJOR;
    plugin_info.minor = PLUGIN_VERSION_MINOR;
    plugin_info.build = PLUGIN_VERSION_BUILD;
    return &plugin_info;
}

bool is_transient_or_piped(void)
{
    WCHAR work[TEXT_BUFFER_CHARS];

    lstrcpyW(work, TEXT("%[_transient]%[_pipe]"));
    ExpandVariables(work, 1);
    return lstrcmpW(work, TEXT("00")) != 0;
}

bool read_os_version(void)
{
    HMODULE ntdll = GetModuleHandleW(TEXT("NtDll.dll"));

    ZeroMemory(&os_version, sizeof(os_version));
    os_version.dwOSVersionInfoSize = sizeof(os_version);
    if (ntdll) {
        FARPROC proc = GetProcAddress(ntdll, "RtlGetVersion");
        if (proc) {
            RtlGetVersionFn rtl_get_version = (RtlGetVersionFn)(void *)proc;
            rtl_get_version((PRTL_OSVERSIONINFOW)&os_version);
            if (os_version.dwMajorVersion >= 6)
                return true;
        }
    }
    // GetVersionExW lies about versions above 6.2 without a manifest, hence the order.
    ZeroMemory(&os_version, sizeof(os_version));
    os_version.dwOSVersionInfoSize = sizeof(os_version);
    return GetVersionExW((LPOSVERSIONINFOW)&os_version) != FALSE;
}

bool open_console_output(void)
{
    for (int attempt = 0; attempt < 2; attempt++) {
        if (attempt)
            Sleep(50);
        console_output = CreateFileW(TEXT("conout$"), GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
        if (console_output != INVALID_HANDLE_VALUE)
            return true;
    }
    console_output = NULL;
    return false;
}

// Winsock counts start-ups for the whole process, the shell's own among them, and the last
// WSACleanup ends it for everyone: the plug-in gives back the one it took, once, and never
// one it does not hold.
static void release_winsock(void)
{
    if (winsock_started)
        WSACleanup();
    winsock_started = false;
}

extern "C" INT WINAPI InitializePlugin(void)
{
    WCHAR work[TEXT_BUFFER_CHARS];
    int rc;
    DWORD wlan_rc;

    ZeroMemory(work, sizeof(work));
    ZeroMemory(&wsa_data, sizeof(wsa_data));

    rc = WSAStartup(MAKEWORD(1, 1), &wsa_data);
    if (rc != 0) {
        if (!is_transient_or_piped()) {
            report_error_prefix();
            format_system_error((DWORD)rc, work);
            Qprintf(GetStdHandle(STD_ERROR_HANDLE),
                    TEXT("WSAStartup() failed!\r\n%s\r\n%s plugin not loaded."), work,
                    PLUGIN_NAME);
        }
        return 1;
    }
    winsock_started = true;

    wlan_client = NULL;
    // A library that cannot be had fails as its client would: same message, same undoing.
    wlan_rc = load_wlan_library();
    if (wlan_rc == 0)
        wlan_rc = wlan_api.open_handle(2, NULL, &wlan_version, &wlan_client);
    if (wlan_rc != 0 || !wlan_client) {
        if (!is_transient_or_piped()) {
            report_error_prefix();
            format_system_error(wlan_rc, work);
            Qprintf(GetStdHandle(STD_ERROR_HANDLE),
                    TEXT("WlanOpenHandle() failed!\r\n%s\r\n%s plugin not loaded.\r\n"), work,
                    PLUGIN_NAME);
        }
        if (wlan_client)
            wlan_api.close_handle(wlan_client, NULL);
        wlan_client = NULL;
        free_wlan_library();
        release_winsock();
        return 1;
    }

    read_os_version();

    lstrcpyW(work, TEXT("%[_transient]%[_pipe]%[noloadmsg]"));
    ExpandVariables(work, 1);
    if (lstrcmpW(work, TEXT("00")) == 0)
        Printf(TEXT("%s v%u.%u.%u loaded.\r\n"), PLUGIN_NAME, PLUGIN_VERSION_MAJOR,
               PLUGIN_VERSION_MINOR, PLUGIN_VERSION_BUILD);

    open_console_output();
    return 0;
}

extern "C" INT WINAPI ShutdownPlugin(BOOL end_process)
{
    (void)end_process;
    // Never loaded (a host that unloads a refused plug-in): nothing to close.
    if (wlan_api.close_handle)
        wlan_api.close_handle(wlan_client, NULL);
    wlan_client = NULL;
    free_wlan_library();
    release_winsock();
    remove_break_handler();
    if (console_output) {
        CloseHandle(console_output);
        console_output = NULL;
    }
    return 0;
}

extern "C" INT WINAPI _clver$(LPWSTR text)
{
    if (!text)
        return -1;
    MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, "1.1.0.0", -1, text, TEXT_BUFFER_CHARS);
    return 0;
}
