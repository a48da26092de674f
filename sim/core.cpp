// Simulated kernel services: reset, text conversion, heap, handles, environment,
// modules and versions, system messages, strings, registry, sockets and wireless
// start-up, message boxes.
#include "sim.h"
#include "../host/portable.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <wlanapi.h>
#include <winsock2.h>

namespace sim {

static std::vector<void (*)()> &reset_hooks()
{
    static std::vector<void (*)()> hooks;
    return hooks;
}

ResetHook::ResetHook(void (*fn)())
{
    reset_hooks().push_back(fn);
}

void reset()
{
    for (auto fn : reset_hooks())
        fn();
}

void restart_counts()
{
    budgets().period++;
}

static void reset_budgets()
{
    unsigned period = budgets().period;
    budgets() = Budgets();
    budgets().period = period + 1;
}
static ResetHook budget_hook(reset_budgets);

void over_budget(const CallCount &count, unsigned long budget)
{
    throw std::runtime_error("sim: " + std::string(count.name) + " called more than " +
                             std::to_string(budget) +
                             " times in one test: a loop that never ends?");
}

std::string utf8(const std::u16string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            i++;
        }
        if (c < 0x80) {
            out += (char)c;
        } else if (c < 0x800) {
            out += (char)(0xC0 | (c >> 6));
            out += (char)(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += (char)(0xE0 | (c >> 12));
            out += (char)(0x80 | ((c >> 6) & 0x3F));
            out += (char)(0x80 | (c & 0x3F));
        } else {
            out += (char)(0xF0 | (c >> 18));
            out += (char)(0x80 | ((c >> 12) & 0x3F));
            out += (char)(0x80 | ((c >> 6) & 0x3F));
            out += (char)(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string utf8(const char16_t *text)
{
    return text ? utf8(std::u16string(text)) : std::string();
}

void junk(void *buffer, size_t bytes)
{
    if (!buffer || bytes < sizeof(char16_t))
        return;
    memset(buffer, 0xA5, bytes);
    ((char16_t *)buffer)[bytes / sizeof(char16_t) - 1] = 0;
}

std::u16string utf16(const std::string &text)
{
    std::u16string out;
    for (size_t i = 0; i < text.size();) {
        unsigned char b = (unsigned char)text[i];
        uint32_t c;
        int extra;
        if (b < 0x80) { c = b; extra = 0; }
        else if ((b & 0xE0) == 0xC0) { c = b & 0x1F; extra = 1; }
        else if ((b & 0xF0) == 0xE0) { c = b & 0x0F; extra = 2; }
        else if ((b & 0xF8) == 0xF0) { c = b & 0x07; extra = 3; }
        else { c = b; extra = 0; }
        i++;
        for (int k = 0; k < extra && i < text.size(); k++, i++)
            c = (c << 6) | ((unsigned char)text[i] & 0x3F);
        if (c >= 0x10000) {
            c -= 0x10000;
            out += (char16_t)(0xD800 + (c >> 10));
            out += (char16_t)(0xDC00 + (c & 0x3FF));
        } else {
            out += (char16_t)c;
        }
    }
    return out;
}

static KernelState kernel_state;
static std::map<void *, size_t> heap_blocks;
static std::map<HKEY, std::u16string> open_keys;
static ULONG_PTR next_key = 0x10000;

static void default_messages(KernelState &k)
{
    // As the message tables hold them: each ends in a line break.
    k.system_messages = {
        {0, u"The operation completed successfully.\r\n"},
        {2, u"The system cannot find the file specified.\r\n"},
        {3, u"The system cannot find the path specified.\r\n"},
        {5, u"Access is denied.\r\n"},
        {8, u"Not enough memory resources are available to process this command.\r\n"},
        {50, u"The request is not supported.\r\n"},
        {87, u"The parameter is incorrect.\r\n"},
        {111, u"The file name is too long.\r\n"},
        {126, u"The specified module could not be found.\r\n"},
        {127, u"The specified procedure could not be found.\r\n"},
        {206, u"The filename or extension is too long.\r\n"},
        {232, u"The pipe is being closed.\r\n"},
        {1062, u"The service has not been started.\r\n"},
        {1168, u"Element not found.\r\n"},
        {10091, u"WSAStartup cannot function at this time because the underlying system it "
                u"uses to provide network services is currently unavailable.\r\n"},
    };
    k.wininet_messages = {
        {12002, u"The operation timed out\r\n"},
        {12007, u"The server name or address could not be resolved\r\n"},
    };
}

static void reset_kernel()
{
    for (auto &b : heap_blocks)
        free(b.first);
    heap_blocks.clear();
    open_keys.clear();
    next_key = 0x10000;
    kernel_state = KernelState();
    default_messages(kernel_state);
}
static ResetHook kernel_hook(reset_kernel);

KernelState &kernel()
{
    return kernel_state;
}

void set_env(const std::string &name, const std::string &value)
{
    kernel_state.env[hostlogic::upper(utf16(name))] = utf16(value);
}

static std::u16string reg_key_name(HKEY root, const std::u16string &path)
{
    std::u16string r = root == HKEY_CURRENT_USER    ? u"HKCU"
                       : root == HKEY_LOCAL_MACHINE ? u"HKLM"
                       : open_keys.count(root)      ? open_keys[root]
                                                    : u"?";
    return hostlogic::upper(r + u"\\" + path);
}

void add_reg_key(HKEY root, const std::string &path)
{
    kernel_state.registry[reg_key_name(root, utf16(path))];
}

void set_reg_raw(HKEY root, const std::string &path, const std::string &name, DWORD type,
                 const std::vector<BYTE> &data)
{
    kernel_state.registry[reg_key_name(root, utf16(path))][hostlogic::upper(utf16(name))] =
        KernelState::RegValue{type, data};
}

void set_reg_sz(HKEY root, const std::string &path, const std::string &name,
                const std::string &value, DWORD type)
{
    std::u16string w = utf16(value);
    std::vector<BYTE> data((w.size() + 1) * 2, 0);
    memcpy(data.data(), w.data(), w.size() * 2);
    set_reg_raw(root, path, name, type, data);
}

}  // namespace sim

using sim::kernel_state;

// --- heap ------------------------------------------------------------------------------
static const HANDLE process_heap = (HANDLE)0x5EAF;

HANDLE GetProcessHeap(void)
{
    SIM_CALL(per_adapter);
    return process_heap;
}

// A heap handle that is not the process heap's would be a crash on Windows.
static void check_heap(HANDLE heap, const char *call)
{
    if (heap != process_heap) {
        fprintf(stderr, "sim: %s on a heap that is not the process heap: %p\n", call, heap);
        abort();
    }
}

LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes)
{
    SIM_CALL(per_adapter);
    auto &k = kernel_state;
    check_heap(heap, "HeapAlloc");
    if (k.heap_outstanding >= sim::budgets().live_blocks)
        throw std::runtime_error("sim: HeapAlloc: more than " +
                                 std::to_string(sim::budgets().live_blocks) +
                                 " blocks live in one test: a loop that never frees them?");
    k.heap_alloc_flags.push_back(flags);
    if (k.heap_fail_after >= 0 && k.heap_allocs >= k.heap_fail_after)
        return NULL;
    void *p = malloc(bytes ? bytes : 1);
    if (!p)
        return NULL;
    if (flags & HEAP_ZERO_MEMORY)
        memset(p, 0, bytes);
    else
        memset(p, 0xCD, bytes);  // uninitialised memory is never zero by luck
    sim::heap_blocks[p] = bytes;
    k.heap_allocs++;
    k.heap_outstanding++;
    return p;
}

BOOL HeapFree(HANDLE heap, DWORD flags, LPVOID block)
{
    SIM_CALL(per_adapter);
    check_heap(heap, "HeapFree");
    kernel_state.heap_free_flags.push_back(flags);
    if (!block)
        return TRUE;
    auto it = sim::heap_blocks.find(block);
    if (it == sim::heap_blocks.end()) {
        fprintf(stderr, "sim: HeapFree of a block the heap never gave: %p\n", block);
        abort();
    }
    free(block);
    sim::heap_blocks.erase(it);
    kernel_state.heap_outstanding--;
    return TRUE;
}

// --- handles ---------------------------------------------------------------------------
namespace sim {
HANDLE std_out() { return (HANDLE)0x102; }
HANDLE std_err() { return (HANDLE)0x103; }
HANDLE conout_handle() { return (HANDLE)0x200; }
}

HANDLE GetStdHandle(DWORD which)
{
    SIM_CALL(per_adapter);
    if (which == STD_INPUT_HANDLE)
        return (HANDLE)0x101;
    if (which == STD_OUTPUT_HANDLE)
        return sim::std_out();
    if (which == STD_ERROR_HANDLE)
        return sim::std_err();
    return INVALID_HANDLE_VALUE;
}

HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                   DWORD disposition, DWORD flags, HANDLE template_file)
{
    SIM_CALL(per_adapter);
    auto &k = kernel_state;
    std::u16string n = hostlogic::upper(name ? name : u"");
    k.file_opens.push_back({name ? name : u"", access, share, disposition, flags,
                            security != NULL, template_file != NULL});
    if (n == u"CONOUT$") {
        if (k.conout_failures > 0) {
            k.conout_failures--;
            return INVALID_HANDLE_VALUE;
        }
        k.conout_opens++;
        k.events.push_back("CreateFileW(conout$)");
        return sim::conout_handle();
    }
    if (n == u"CONIN$")
        return sim::open_conin();
    return INVALID_HANDLE_VALUE;
}

BOOL CloseHandle(HANDLE h)
{
    SIM_CALL(per_adapter);
    kernel_state.handles_closed++;
    if (h == sim::conout_handle())
        kernel_state.events.push_back("CloseHandle(conout$)");
    else
        kernel_state.events.push_back("CloseHandle");
    return TRUE;
}

// --- modules and versions --------------------------------------------------------------
// ntdll's, found only through GetProcAddress.
static LONG RtlGetVersion(PRTL_OSVERSIONINFOW info)
{
    SIM_CALL(per_run);
    auto &k = kernel_state;
    k.rtl_calls++;
    info->dwMajorVersion = k.rtl_major;
    return 0;
}

HMODULE GetModuleHandleW(LPCWSTR name)
{
    SIM_CALL(per_run);
    auto &k = kernel_state;
    std::u16string n = hostlogic::upper(name ? name : u"");
    if ((n == u"NTDLL.DLL" || n == u"NTDLL") && k.ntdll_loaded)
        return (HMODULE)0x7700;
    if ((n == u"WININET.DLL" || n == u"WININET") && k.wininet_loaded)
        return (HMODULE)0x7800;
    return NULL;
}

static const HMODULE wlanapi_module = (HMODULE)0x7900;

// What a call that succeeds answers, after leaving the code a test asked for.
template <typename T> static T succeeded(T result)
{
    if (kernel_state.error_on_success)
        kernel_state.last_error = kernel_state.error_on_success;
    return result;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name)
{
    SIM_CALL(per_run);
    auto &k = kernel_state;
    if (module == (HMODULE)0x7700 && name && strcmp(name, "RtlGetVersion") == 0 &&
        k.rtl_get_version)
        return (FARPROC)(void *)RtlGetVersion;
    if (module == wlanapi_module && name && k.library_loads > k.library_frees) {
        if (k.wlan_function_missing == name) {
            if (k.wlan_function_error)
                k.last_error = k.wlan_function_error;
            return NULL;
        }
        FARPROC found = NULL;
        if (strcmp(name, "WlanOpenHandle") == 0)
            found = (FARPROC)(void *)WlanOpenHandle;
        else if (strcmp(name, "WlanCloseHandle") == 0)
            found = (FARPROC)(void *)WlanCloseHandle;
        else if (strcmp(name, "WlanQueryInterface") == 0)
            found = (FARPROC)(void *)WlanQueryInterface;
        else if (strcmp(name, "WlanFreeMemory") == 0)
            found = (FARPROC)(void *)WlanFreeMemory;
        if (found)
            return succeeded(found);
    }
    k.last_error = ERROR_PROC_NOT_FOUND;
    return NULL;
}

UINT GetSystemDirectoryW(LPWSTR buffer, UINT size)
{
    SIM_CALL(per_run);
    const std::u16string &dir = kernel_state.system_directory;
    kernel_state.system_directory_sizes.push_back(size);
    if (kernel_state.system_directory_fails) {
        if (kernel_state.system_directory_error)
            kernel_state.last_error = kernel_state.system_directory_error;
        return 0;
    }
    if (!buffer || size <= dir.size())
        return (UINT)dir.size() + 1;
    std::copy(dir.begin(), dir.end(), buffer);
    buffer[dir.size()] = 0;
    return succeeded((UINT)dir.size());
}

HMODULE LoadLibraryExW(LPCWSTR name, HANDLE reserved, DWORD flags)
{
    SIM_CALL(per_run);
    auto &k = kernel_state;
    std::u16string path = name ? name : u"";
    k.library_paths.push_back(path);
    k.library_flags.push_back(flags);
    if (reserved) {  // must be NULL
        k.last_error = ERROR_INVALID_PARAMETER;
        return NULL;
    }
    k.events.push_back("LoadLibraryExW");
    std::u16string upper = hostlogic::upper(path);
    std::u16string file = upper.substr(upper.find_last_of(u"\\/") + 1);
    if (file != u"WLANAPI.DLL") {
        k.last_error = ERROR_MOD_NOT_FOUND;
        return NULL;
    }
    if (k.wlan_library_refused) {
        if (k.wlan_library_error)
            k.last_error = k.wlan_library_error;
        return NULL;
    }
    k.library_loads++;
    return succeeded(wlanapi_module);
}

BOOL FreeLibrary(HMODULE module)
{
    SIM_CALL(per_run);
    auto &k = kernel_state;
    k.events.push_back("FreeLibrary");
    if (module != wlanapi_module || k.library_frees >= k.library_loads) {
        k.last_error = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    k.library_frees++;
    return TRUE;
}

DWORD GetLastError(void)
{
    SIM_CALL(per_adapter);
    return kernel_state.last_error;
}

void SetLastError(DWORD code)
{
    SIM_CALL(per_adapter);
    kernel_state.last_error = code;
}

BOOL GetVersionExW(LPOSVERSIONINFOW info)
{
    SIM_CALL(per_run);
    auto &k = kernel_state;
    k.gve_calls++;
    if (!k.get_version_ex_ok || !info)
        return FALSE;
    info->dwMajorVersion = k.gve_major;
    return TRUE;
}

DWORD FormatMessageW(DWORD flags, LPCVOID source, DWORD code, DWORD language, LPWSTR buffer,
                     DWORD size, va_list *)
{
    SIM_CALL(per_run);
    auto &k = kernel_state;
    k.format_message_flags.push_back(flags);
    k.format_message_languages.push_back(language);
    // The texts here are US English; a language asked by name finds only that one.
    if (language != 0 && language != 0x0409) {
        k.last_error = ERROR_RESOURCE_LANG_NOT_FOUND;
        return 0;
    }
    const std::u16string *text = nullptr;
    if ((flags & FORMAT_MESSAGE_FROM_HMODULE) && source == (LPCVOID)0x7800 &&
        k.wininet_messages.count(code))
        text = &k.wininet_messages[code];
    else if ((flags & FORMAT_MESSAGE_FROM_SYSTEM) && k.system_messages.count(code))
        text = &k.system_messages[code];
    if (!text)
        return 0;
    std::u16string s = *text;
    if (flags & FORMAT_MESSAGE_MAX_WIDTH_MASK) {
        // The message compiler's line breaks become blanks; none are added.
        std::u16string t;
        for (size_t i = 0; i < s.size(); i++) {
            if (s[i] == u'\r' && i + 1 < s.size() && s[i + 1] == u'\n') {
                t += u' ';
                i++;
            } else {
                t += s[i];
            }
        }
        s = t;
    }
    if (!buffer || s.size() + 1 > size)
        return 0;
    memcpy(buffer, s.data(), s.size() * 2);
    buffer[s.size()] = 0;
    return (DWORD)s.size();
}

// --- time ------------------------------------------------------------------------------
DWORD GetTickCount(void)
{
    SIM_CALL(per_line);
    return kernel_state.tick;
}

// --- environment and code pages --------------------------------------------------------
DWORD GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size)
{
    SIM_CALL(per_run);
    auto it = kernel_state.env.find(hostlogic::upper(name ? name : u""));
    if (it == kernel_state.env.end())
        return 0;
    const std::u16string &v = it->second;
    if (!buffer || v.size() + 1 > size) {
        // Windows leaves a buffer that was too small undefined: junk, for whoever reads it.
        sim::junk(buffer, (size_t)size * sizeof(WCHAR));
        return (DWORD)v.size() + 1;
    }
    memcpy(buffer, v.data(), v.size() * 2);
    buffer[v.size()] = 0;
    return (DWORD)v.size();
}

int MultiByteToWideChar(UINT code_page, DWORD flags, LPCSTR text, int bytes, LPWSTR out,
                        int chars)
{
    SIM_CALL(per_adapter);
    kernel_state.code_page_calls.push_back({code_page, flags});
    // -1 means a terminated text; no other negative length is one.
    if (!text || bytes < -1) {
        kernel_state.last_error = ERROR_INVALID_PARAMETER;
        return 0;
    }
    std::string in = bytes < 0 ? std::string(text) : std::string(text, (size_t)bytes);
    std::u16string w = sim::utf16(in);
    size_t need = w.size() + (bytes < 0 ? 1 : 0);
    if (!out || chars == 0)
        return (int)need;
    if ((size_t)chars < need)
        return 0;
    memcpy(out, w.data(), w.size() * 2);
    if (bytes < 0)
        out[w.size()] = 0;
    return (int)need;
}

// --- strings ---------------------------------------------------------------------------
static char16_t upper_char(char16_t c)
{
    if (c >= u'a' && c <= u'z')
        return (char16_t)(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return (char16_t)(c - 32);
    return c;
}

int lstrlenW(LPCWSTR s)
{
    SIM_CALL(per_line);
    if (!s)
        return 0;
    int n = 0;
    while (s[n])
        n++;
    return n;
}

LPWSTR lstrcpyW(LPWSTR d, LPCWSTR s)
{
    SIM_CALL(per_line);
    LPWSTR r = d;
    while ((*d++ = *s++))
        ;
    return r;
}

LPWSTR lstrcpynW(LPWSTR d, LPCWSTR s, int max)
{
    SIM_CALL(per_line);
    if (max <= 0)
        return d;
    int i = 0;
    for (; i < max - 1 && s && s[i]; i++)
        d[i] = s[i];
    d[i] = 0;
    return d;
}

LPWSTR lstrcatW(LPWSTR d, LPCWSTR s)
{
    SIM_CALL(per_line);
    lstrcpyW(d + lstrlenW(d), s);
    return d;
}

int lstrcmpW(LPCWSTR a, LPCWSTR b)
{
    SIM_CALL(per_line);
    if (!a) a = u"";
    if (!b) b = u"";
    while (*a && *a == *b)
        a++, b++;
    return *a < *b ? -1 : *a > *b ? 1 : 0;
}

int lstrcmpiW(LPCWSTR a, LPCWSTR b)
{
    SIM_CALL(per_line);
    if (!a) a = u"";
    if (!b) b = u"";
    while (*a && upper_char(*a) == upper_char(*b))
        a++, b++;
    char16_t x = upper_char(*a), y = upper_char(*b);
    return x < y ? -1 : x > y ? 1 : 0;
}

LPWSTR CharUpperW(LPWSTR s)
{
    SIM_CALL(per_line);
    if (((ULONG_PTR)s >> 16) == 0)
        return (LPWSTR)(ULONG_PTR)upper_char((char16_t)(ULONG_PTR)s);
    for (LPWSTR p = s; *p; p++)
        *p = upper_char(*p);
    return s;
}

DWORD CharUpperBuffW(LPWSTR s, DWORD n)
{
    SIM_CALL(per_line);
    for (DWORD i = 0; i < n; i++)
        s[i] = upper_char(s[i]);
    return n;
}

// --- registry --------------------------------------------------------------------------
LONG RegOpenKeyExW(HKEY root, LPCWSTR path, DWORD options, REGSAM access, PHKEY result)
{
    SIM_CALL(per_run);
    std::u16string name = sim::reg_key_name(root, path ? path : u"");
    kernel_state.reg_opens.push_back({name, options, access});
    // The only options documented for opening a key; Windows may refuse any other.
    if (options != 0 && options != REG_OPTION_OPEN_LINK)
        return ERROR_INVALID_PARAMETER;
    if (!kernel_state.registry.count(name))
        return ERROR_FILE_NOT_FOUND;
    HKEY key = (HKEY)(sim::next_key++);
    sim::open_keys[key] = name;
    kernel_state.reg_open_keys++;
    *result = key;
    return ERROR_SUCCESS;
}

LONG RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD bytes)
{
    SIM_CALL(per_run);
    auto k = sim::open_keys.find(key);
    if (k == sim::open_keys.end())
        return ERROR_INVALID_HANDLE;
    if (reserved)
        return ERROR_INVALID_PARAMETER;
    auto &values = kernel_state.registry[k->second];
    auto v = values.find(hostlogic::upper(name ? name : u""));
    if (v == values.end())
        return ERROR_FILE_NOT_FOUND;
    DWORD size = (DWORD)v->second.data.size();
    if (type)
        *type = v->second.type;
    if (!data) {
        if (bytes)
            *bytes = size;
        return ERROR_SUCCESS;
    }
    if (!bytes)
        return ERROR_INVALID_PARAMETER;
    if (*bytes < size) {
        sim::junk(data, *bytes);  // the data buffer is then undefined
        *bytes = size;
        return ERROR_MORE_DATA;
    }
    if (size)  // an empty value has no data block to copy from
        memcpy(data, v->second.data.data(), size);
    *bytes = size;
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key)
{
    SIM_CALL(per_run);
    if (!sim::open_keys.erase(key))
        return ERROR_INVALID_HANDLE;
    kernel_state.reg_open_keys--;
    return ERROR_SUCCESS;
}

// --- user interface --------------------------------------------------------------------
HWND GetForegroundWindow(void)
{
    SIM_CALL(per_run);
    return (HWND)0x4242;
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    SIM_CALL(per_run);
    kernel_state.boxes.push_back({owner, text ? text : u"", caption ? caption : u"", type});
    return kernel_state.message_box_result;
}

// --- sockets and wireless client -------------------------------------------------------
int WSAStartup(WORD version, LPWSADATA)
{
    SIM_CALL(per_run);
    auto &k = kernel_state;
    k.events.push_back("WSAStartup");
    k.wsa_version_asked = version;
    if (k.wsa_startup_result == 0)
        k.wsa_count++;
    return k.wsa_startup_result;
}

int WSACleanup(void)
{
    SIM_CALL(per_run);
    auto &k = kernel_state;
    k.events.push_back("WSACleanup");
    k.wsa_cleanups++;
    if (k.wsa_count == 0) {
        k.last_error = WSANOTINITIALISED;  // what WSAGetLastError reads
        return SOCKET_ERROR;
    }
    k.wsa_count--;
    return 0;
}

DWORD WlanOpenHandle(DWORD client_version, PVOID reserved, PDWORD negotiated, PHANDLE client)
{
    SIM_CALL(per_run);
    auto &k = kernel_state;
    k.events.push_back("WlanOpenHandle");
    k.wlan_client_version_asked = client_version;
    k.wlan_opens++;
    if (reserved)
        return ERROR_INVALID_PARAMETER;
    if (k.wlan_open_result) {
        if (k.wlan_handle_on_failure && client)
            *client = (HANDLE)0x777;
        return k.wlan_open_result;
    }
    if (negotiated)
        *negotiated = 2;
    if (client)
        *client = k.wlan_null_handle ? NULL : (HANDLE)0x777;
    return 0;
}

DWORD WlanCloseHandle(HANDLE client, PVOID reserved)
{
    SIM_CALL(per_run);
    auto &k = kernel_state;
    k.events.push_back("WlanCloseHandle");
    k.wlan_closes++;
    return client && !reserved ? 0 : ERROR_INVALID_PARAMETER;
}
