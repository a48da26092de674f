// Control of the simulated Windows platform, for tests. Every piece of state here is
// reset between tests by sim::reset().
#ifndef NICSHOW_SIM_H
#define NICSHOW_SIM_H

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace sim {

// --- reset -----------------------------------------------------------------------------
void reset();
// Each area of the simulation registers its own reset; sim is an object library, so
// these registrations are never dropped by the linker.
struct ResetHook {
    explicit ResetHook(void (*fn)());
};

// --- text ------------------------------------------------------------------------------
std::string utf8(const std::u16string &text);
std::string utf8(const char16_t *text);
std::u16string utf16(const std::string &text);

// --- host services and the transcript --------------------------------------------------
enum class Stream { Out, Err, Console };
struct Segment {
    Stream stream;
    std::u16string text;
    WORD attr;  // console attribute in force when the text was written
};
struct HostState {
    std::vector<Segment> transcript;
    std::map<std::string, int> calls;              // host service name -> calls
    std::map<std::u16string, std::u16string> vars;  // internal variables, upper-case names
    unsigned normal_attr = 0x07;                   // what GetAttribute reports
    std::vector<int> set_colors;                   // every SetColors argument
    int parse_colors_fg = -2;                      // when >= -1, ParseColors answers this
    int parse_colors_bg = -2;
    bool parse_colors_scripted = false;
};
HostState &host();
void set_host_var(const std::string &name, const std::string &value);
// Standard output, standard error, console device, or everything, in order, as UTF-8.
std::string out();
std::string err();
std::string con();
std::string all();
// Everything as UTF-8 with each segment of a non-normal colour wrapped as "{XX:text}".
std::string coloured(WORD normal);

// --- kernel ----------------------------------------------------------------------------
struct KernelState {
    // heap
    long heap_outstanding = 0;
    long heap_allocs = 0;
    long heap_fail_after = -1;  // the allocation after this many succeeds no more
    // environment
    std::map<std::u16string, std::u16string> env;  // upper-case names
    // modules and versions
    bool ntdll_loaded = true;
    bool rtl_get_version = true;
    DWORD rtl_major = 10, rtl_minor = 0, rtl_build = 19045;
    bool get_version_ex_ok = true;
    DWORD gve_major = 6, gve_minor = 2, gve_build = 9200;
    int rtl_calls = 0, gve_calls = 0;
    bool wininet_loaded = false;
    std::vector<std::string> module_lookups;
    // messages: code -> text as the message table holds it (with its trailing blank)
    std::map<DWORD, std::u16string> system_messages;
    std::map<DWORD, std::u16string> wininet_messages;
    std::vector<DWORD> format_message_flags;
    // sockets and wireless client
    int wsa_startup_result = 0;
    WORD wsa_version_asked = 0;
    int wsa_startups = 0, wsa_cleanups = 0;
    DWORD wlan_open_result = 0;
    bool wlan_null_handle = false;
    bool wlan_handle_on_failure = false;  // a failed open still hands back a handle
    DWORD wlan_client_version_asked = 0;
    int wlan_opens = 0, wlan_closes = 0;
    // console device handle
    int conout_failures = 0;  // CreateFileW("conout$") fails this many times first
    int conout_opens = 0;
    std::vector<std::u16string> create_file_names;
    int handles_closed = 0;
    // time
    DWORD tick = 1000;
    std::vector<DWORD> sleeps;
    // user interface
    struct Box {
        HWND owner;
        std::u16string text, caption;
        UINT type;
    };
    std::vector<Box> boxes;
    int message_box_result = IDOK;
    // registry: "ROOT\\path" upper-cased -> value name upper-cased -> (type, bytes)
    struct RegValue {
        DWORD type;
        std::vector<BYTE> data;
    };
    std::map<std::u16string, std::map<std::u16string, RegValue>> registry;
    int reg_open_keys = 0;
    // ordered log of the calls whose order matters (load and unload)
    std::vector<std::string> events;
};
KernelState &kernel();
void set_env(const std::string &name, const std::string &value);
void set_reg_sz(HKEY root, const std::string &path, const std::string &name,
                const std::string &value, DWORD type = REG_SZ);
void set_reg_raw(HKEY root, const std::string &path, const std::string &name, DWORD type,
                 const std::vector<BYTE> &data);
void add_reg_key(HKEY root, const std::string &path);

// --- console ---------------------------------------------------------------------------
struct ConsoleState {
    bool stdout_is_console = false;
    WORD attr = 0x07;  // current attributes of the screen buffer
    SHORT window_top = 0;
    SHORT window_rows = 25;
    std::vector<PHANDLER_ROUTINE> handlers;
    std::vector<WORD> attr_log;  // every SetConsoleTextAttribute
};
ConsoleState &console();
HANDLE std_out();
HANDLE std_err();
HANDLE conout_handle();

}  // namespace sim

#endif
