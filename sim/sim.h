// Control of the simulated Windows platform, for tests. Every piece of state here is
// reset between tests by sim::reset().
#ifndef NICSHOW_SIM_H
#define NICSHOW_SIM_H

#include <windows.h>

#include <deque>
#include <initializer_list>
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

// --- budgets ---------------------------------------------------------------------------
// A loop in the code under test that never ends would otherwise call the simulation for
// minutes while its logs fill the memory. So every simulated function counts its calls in
// one test, and the heap its live blocks; past a budget the call throws, naming itself,
// and the test fails at once. The budgets are far above what any test, benchmark run or
// fuzz input needs; a test that really needs more raises its own after sim::reset().
struct Budgets {
    // Calls of each function, by how often a run makes them. A few times: the host record,
    // the adapter lists, modules, registry, start-up; no test or run makes more than ten,
    // and a record that asks for more at every call costs the simulation more at every
    // call, so this budget stays low enough to end such a loop within a second.
    unsigned long per_run = 1000;
    // Once or a few times per adapter: its interface row, per-adapter record, addresses as
    // text, lease dates, wireless queries, heap blocks; the largest benchmark run (10,000
    // adapters) makes a few tens of thousands.
    unsigned long per_adapter = 1000000;
    // Per line, character or poll: the host's output, strings, formatting, console input
    // waits (an hour of virtual time is 360,000 polls); the largest benchmark run makes up
    // to 800,000.
    unsigned long per_line = 10000000;
    long live_blocks = 10000;  // heap blocks given and not yet taken back; runs hold a few
    unsigned period = 1;       // the counts of calls belong to this period only
};
inline Budgets &budgets()
{
    static Budgets state;  // constant-initialised: no guard on the path of every call
    return state;
}
// Drops the counts of calls made so far, budgets unchanged: for a benchmark's loop, whose
// every run is one test's worth of calls.
void restart_counts();

// One simulated function's calls in the current period, kept by the function itself.
struct CallCount {
    const char *name;
    unsigned long Budgets::*budget;
    unsigned period;
    unsigned long calls;
};
[[noreturn]] void over_budget(const CallCount &count, unsigned long budget);
inline void count_call(CallCount &count)
{
    Budgets &b = budgets();
    if (count.period != b.period) {
        count.period = b.period;
        count.calls = 0;
    }
    if (++count.calls > b.*count.budget)
        over_budget(count, b.*count.budget);
}

}  // namespace sim

// The first statement of every simulated function, with the budget it is held to:
// SIM_CALL(per_run), SIM_CALL(per_adapter) or SIM_CALL(per_line).
#define SIM_CALL(rate)                                                                  \
    do {                                                                                \
        static sim::CallCount sim_count_ = {__func__, &sim::Budgets::rate, 0, 0};       \
        sim::count_call(sim_count_);                                                    \
    } while (0)

namespace sim {

// --- text ------------------------------------------------------------------------------
std::string utf8(const std::u16string &text);
std::string utf8(const char16_t *text);
// Fills a buffer that Windows leaves undefined (after a call refused for want of room, or
// a failure that says nothing of it) with junk, its last character a terminator, so that
// a caller that reads it shows.
void junk(void *buffer, size_t bytes);
std::u16string utf16(const std::string &text);

// --- host services and the transcript --------------------------------------------------
enum class Stream { Out, Err, Console };
struct Segment {
    Stream stream;
    std::u16string text;
    WORD attr;  // console attribute in force when the text was written
};
// What WildcardComparison was given, call by call.
struct WildcardCall {
    std::u16string pattern, name;
    int flag1, flag2;
};
struct HostState {
    std::vector<Segment> transcript;
    std::map<std::string, int> calls;              // host service name -> calls
    std::vector<std::u16string> qputs;             // the text of every QPuts call
    std::map<std::u16string, std::u16string> vars;  // internal variables, upper-case names
    unsigned normal_attr = 0x07;                   // what GetAttribute reports
    std::vector<int> set_colors;                   // every SetColors argument
    std::vector<int> expand_flags;                 // every ExpandVariables flag
    int parse_colors_fg = -2;                      // when >= -1, ParseColors answers this
    int parse_colors_bg = -2;
    bool parse_colors_scripted = false;
    std::vector<WildcardCall> wildcard_calls;
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
    std::vector<DWORD> heap_alloc_flags, heap_free_flags;  // every call's flags
    // environment
    std::map<std::u16string, std::u16string> env;  // upper-case names
    // modules and versions
    bool ntdll_loaded = true;
    bool rtl_get_version = true;
    DWORD rtl_major = 10;
    bool get_version_ex_ok = true;
    DWORD gve_major = 6;
    int rtl_calls = 0, gve_calls = 0;
    bool wininet_loaded = false;
    // the one library loaded by name: wlanapi.dll, found under any folder
    std::u16string system_directory = u"C:\\Windows\\system32";
    // Each fault is named X_<what goes wrong>, and X_error is the thread's code it leaves
    // (0: the call leaves the code as it was).
    bool system_directory_fails = false;  // GetSystemDirectoryW fails
    DWORD system_directory_error = 0;
    bool wlan_library_refused = false;  // LoadLibraryExW refuses it
    DWORD wlan_library_error = 0;
    std::string wlan_function_missing;  // GetProcAddress does not find this one of it
    DWORD wlan_function_error = ERROR_PROC_NOT_FOUND;
    // Windows does not promise to leave the thread's code alone when a call succeeds: when
    // non-zero, GetSystemDirectoryW, LoadLibraryExW and GetProcAddress leave this one then.
    DWORD error_on_success = 0;
    std::vector<std::u16string> library_paths;        // every name LoadLibraryExW was given
    std::vector<DWORD> library_flags;                 // and its flags
    std::vector<UINT> system_directory_sizes;  // every buffer size GetSystemDirectoryW was offered
    int library_loads = 0, library_frees = 0;
    DWORD last_error = 0;
    // messages: code -> text as the message table holds it (with its trailing blank)
    std::map<DWORD, std::u16string> system_messages;
    std::map<DWORD, std::u16string> wininet_messages;
    std::vector<DWORD> format_message_flags;
    std::vector<DWORD> format_message_languages;  // only 0 and US English find a text
    // code page conversions
    struct CodePageCall {
        UINT code_page;
        DWORD flags;
    };
    std::vector<CodePageCall> code_page_calls;
    // sockets and wireless client
    int wsa_startup_result = 0;
    WORD wsa_version_asked = 0;
    int wsa_cleanups = 0;  // WSACleanup calls, those refused at a count of 0 included
    // The process's start-up count, as Winsock keeps it: each WSAStartup that succeeds adds
    // one, each WSACleanup takes one. The simulated host holds one of its own all along.
    int wsa_count = 1;
    DWORD wlan_open_result = 0;
    bool wlan_null_handle = false;
    bool wlan_handle_on_failure = false;  // a failed open still hands back a handle
    DWORD wlan_client_version_asked = 0;
    int wlan_opens = 0, wlan_closes = 0;
    // console device handle
    int conout_failures = 0;  // CreateFileW("conout$") fails this many times first
    int conout_opens = 0;
    struct FileOpen {
        std::u16string name;
        DWORD access, share, disposition, flags;
        bool security, template_file;  // whether either was given
    };
    std::vector<FileOpen> file_opens;  // every CreateFileW
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
    struct RegOpen {
        std::u16string key;  // as reg_key_name has it
        DWORD options;
        REGSAM access;
    };
    std::vector<RegOpen> reg_opens;  // every RegOpenKeyExW
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
// One step of a test's input script: an input record that enters the console input
// buffer, or a control event (Ctrl-C, Ctrl-Break) that the system's control thread
// delivers to the installed handlers. It arrives once after_ms virtual milliseconds
// (passed in Sleep and in waits) have gone by since the step before it arrived.
struct Input {
    bool is_ctrl = false;
    INPUT_RECORD record{};
    DWORD ctrl_type = CTRL_C_EVENT;
    DWORD after_ms = 0;
};
Input key(char16_t ch, DWORD after_ms = 0);       // a character key pressed
Input key_up(char16_t ch);                        // its release record
Input vkey(WORD vk, WORD scan, DWORD after_ms = 0);  // a key without a character
Input mouse();                                    // a record that is no key
Input ctrl_c(DWORD after_ms = 0);
Input ctrl_break(DWORD after_ms = 0);

struct ConsoleState {
    bool stdout_is_console = false;
    DWORD stdout_mode = 3;  // what GetConsoleMode answers for standard output on a console
    WORD attr = 0x07;  // current attributes of the screen buffer
    bool screen_info_fails = false;  // GetConsoleScreenBufferInfo fails on every handle
    SHORT window_top = 0;
    SHORT window_rows = 25;
    std::vector<PHANDLER_ROUTINE> handlers;
    std::vector<WORD> attr_log;  // every SetConsoleTextAttribute
    // input
    std::vector<Input> script;  // what arrives, in order
    size_t script_next = 0;
    std::deque<INPUT_RECORD> buffer;  // the console input buffer
    bool processed_input = true;      // off: Ctrl-C is a key record with the character 3
    bool conin_missing = false;       // CreateFileW("CONIN$") fails
    bool conin_uncountable = false;   // GetNumberOfConsoleInputEvents fails on it
    bool conin_unreadable = false;    // ReadConsoleInputW fails on it
    int conin_opens = 0;
    unsigned ctrl_c_at_line_end = 0;  // N > 0: a Ctrl-C arrives during the Nth CrLf
    unsigned line_ends = 0;           // CrLf calls so far
    std::vector<DWORD> ctrl_handled;    // control events a handler took
    std::vector<DWORD> ctrl_unhandled;  // events no handler took (the process would end)
    std::vector<DWORD> input_waits;  // every WaitForSingleObject on CONIN$: its time-out
    // time: Sleep and waits advance kernel().tick in steps of the timer resolution
    DWORD tick_step = 1;
    ULONG64 slept_ms = 0;
    ULONG64 last_arrival_ms = 0;
    ULONG64 sleep_limit_ms = 3600000;  // a longer wait throws: a test must not hang
    unsigned unread_signals = 0;  // waits that found input in a row, none of it read since
};
ConsoleState &console();
HANDLE std_out();
HANDLE std_err();
HANDLE conout_handle();
HANDLE conin_handle();
HANDLE open_conin();  // CreateFileW("CONIN$")
void script(std::initializer_list<Input> inputs);
void script_text(const std::string &keys);  // one key per character, all at once
void line_end();                            // the simulated host's CrLf was called
void raise_ctrl(DWORD type);  // as the system's control thread: the handlers, last first

// --- locale, time and address text -----------------------------------------------------
struct LocaleState {
    // What GetLocaleInfoW answers, by LCTYPE; a type not in the map fails the query.
    std::map<LCTYPE, std::u16string> info;
    SYSTEMTIME now{};              // GetLocalTime: today and the time of day
    LONG utc_offset_minutes = 0;   // the current zone: local time = UTC + this
    bool zone_conversion_fails = false;
    bool date_format_fails = false;
    bool time_format_fails = false;
    // What the plug-in asked for.
    std::vector<LCTYPE> info_queries;
    struct FormatCall {
        LCID locale;
        DWORD flags;
        SYSTEMTIME when;
        bool has_picture;
        std::u16string picture;
        int chars;
    };
    std::vector<FormatCall> date_calls, time_calls;
    std::vector<LCID> info_locales;
};
LocaleState &locale();
// The user locales a test can choose; US English is the default after reset().
void use_us_english();
void use_day_month_year();      // "." separator, day-month-year order, its own names
void use_orders_that_differ();  // "-", short dates year-month-day, long day-month-year
void use_no_month_names();      // US English whose month-name queries fail
void use_two_char_separator();  // year-month-day order with the separator ". "
void set_locale_info(LCTYPE type, const std::string &value);
void drop_locale_info(LCTYPE type);
// Today as GetLocalTime reports it; the day of the week is computed.
void set_today(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0,
               WORD second = 0);
void set_utc_offset(LONG minutes);

struct AddressTextState {
    int fail_with = 0;  // when non-zero (an error code), WSAAddressToStringW fails,
                        // leaving junk in the text
    int calls = 0;
    DWORD last_length = 0;  // the address length the caller gave
    DWORD last_offered = 0;  // the characters it offered for the text
    bool protocol_info = false;  // whether it ever gave protocol information
};
AddressTextState &address_text();

}  // namespace sim

#endif
