// Loading, describing and unloading the plug-in.
#include "harness.h"

#include <vector>

using Lifecycle = SimTest;

static std::vector<std::string> events()
{
    return sim::kernel().events;
}

TEST_F(Lifecycle, LoadsWritesTheMessageAndUnloadsInOrder)
{
    EXPECT_EQ(InitializePlugin(), 0);
    EXPECT_EQ(sim::out(), "Nicshow v0.95.2 loaded.\r\n");
    EXPECT_EQ(sim::err(), "");
    EXPECT_EQ(sim::kernel().wsa_version_asked, 0x0101);
    EXPECT_EQ(sim::kernel().wlan_client_version_asked, 2u);
    EXPECT_NE(wlan_client, (HANDLE)NULL);
    EXPECT_EQ(console_output, sim::conout_handle());
    EXPECT_EQ(os_version.dwMajorVersion, 10u);
    EXPECT_EQ(os_version.dwOSVersionInfoSize, 284u);
    EXPECT_EQ(events(), (std::vector<std::string>{"WSAStartup", "LoadLibraryExW",
                                                  "WlanOpenHandle", "CreateFileW(conout$)"}));
    EXPECT_EQ(sim::kernel().library_paths,
              std::vector<std::u16string>{u"C:\\Windows\\system32\\wlanapi.dll"});
    // Its own dependencies are looked for beside it, not in the shell's folders.
    EXPECT_EQ(sim::kernel().library_flags, std::vector<DWORD>{LOAD_WITH_ALTERED_SEARCH_PATH});
    EXPECT_EQ(sim::kernel().system_directory_sizes, std::vector<UINT>{MAX_PATH});

    sim::kernel().events.clear();
    EXPECT_EQ(ShutdownPlugin(FALSE), 0);
    EXPECT_EQ(events(), (std::vector<std::string>{"WlanCloseHandle", "FreeLibrary", "WSACleanup",
                                                  "CloseHandle(conout$)"}));
    EXPECT_EQ(sim::kernel().wsa_cleanups, 1);
    EXPECT_EQ(sim::kernel().wlan_closes, 1);
    EXPECT_EQ(sim::kernel().library_frees, 1);
    EXPECT_EQ(wlan_client, (HANDLE)NULL);
    EXPECT_EQ(console_output, (HANDLE)NULL);
    // A second unload finds nothing more to close, Winsock's start-up included.
    EXPECT_EQ(ShutdownPlugin(FALSE), 0);
    EXPECT_EQ(sim::kernel().wlan_closes, 1);
    EXPECT_EQ(sim::kernel().handles_closed, 1);
    EXPECT_EQ(sim::kernel().wsa_cleanups, 1);

    // The longest system directory whose library path still fits MAX_PATH.
    sim::reset();
    sim::kernel().system_directory = u"C:\\" + std::u16string(MAX_PATH - 16, u'd');
    EXPECT_EQ(InitializePlugin(), 0);
    EXPECT_EQ(sim::kernel().library_paths,
              std::vector<std::u16string>{sim::kernel().system_directory + u"\\wlanapi.dll"});
    ShutdownPlugin(FALSE);
}

// The shell starts Winsock for its own commands, in the same process: whatever the host
// calls, the plug-in gives back its own start-up once and never the shell's.
TEST_F(Lifecycle, WinsockIsGivenBackAsOftenAsItWasTaken)
{
    struct Case {
        const char *what;
        const char *steps;   // L a load, U an unload
        const char *counts;  // the process's start-up count after each step
        int cleanups;        // WSACleanup calls in all
        int wsa_result = 0;     // WSAStartup answers this
        DWORD wlan_result = 0;  // WlanOpenHandle answers this
    } cases[] = {
        {"load, unload", "LU", "21", 1},
        {"load, unload, unload again", "LUU", "211", 1},
        {"unload without a load", "U", "1", 0},
        {"a load refused for want of the wireless client, then an unload", "LU", "11", 1,
         0, 1062},
        {"a load refused by the sockets library, then an unload", "LU", "11", 0, 10091},
        {"load, unload, load, unload", "LULU", "2121", 2},
    };
    for (const auto &c : cases) {
        sim::reset();
        auto &k = sim::kernel();
        k.wsa_startup_result = c.wsa_result;
        k.wlan_open_result = c.wlan_result;
        std::string counts;
        for (const char *step = c.steps; *step; step++) {
            if (*step == 'L')
                InitializePlugin();
            else
                EXPECT_EQ(ShutdownPlugin(FALSE), 0) << c.what;
            counts += (char)('0' + k.wsa_count);
        }
        EXPECT_EQ(counts, c.counts) << c.what;
        EXPECT_EQ(k.wsa_cleanups, c.cleanups) << c.what;
    }
}

TEST_F(Lifecycle, LoadMessageSilences)
{
    struct Case {
        const char *what, *var, *value;
        bool env;
        const char *expected;
    } cases[] = {
        {"nothing set", "noloadmsg", "", false, "Nicshow v0.95.2 loaded.\r\n"},
        {"noloadmsg in the shell", "noloadmsg", "1", false, ""},
        {"noloadmsg in the environment", "noloadmsg", "yes", true, ""},
        {"transient shell", "_transient", "1", false, ""},
        {"inside a pipe", "_pipe", "1", false, ""},
        {"pipe variable empty", "_pipe", "", false, ""},
    };
    for (const auto &c : cases) {
        sim::reset();
        if (c.env)
            sim::set_env(c.var, c.value);
        else
            sim::set_host_var(c.var, c.value);
        EXPECT_EQ(InitializePlugin(), 0) << c.what;
        EXPECT_EQ(sim::out(), c.expected) << c.what;
        EXPECT_EQ(sim::err(), "") << c.what;
        ShutdownPlugin(FALSE);
    }
}

TEST_F(Lifecycle, SocketsFailureRefusesTheLoad)
{
    sim::kernel().wsa_startup_result = 10091;
    EXPECT_EQ(InitializePlugin(), 1);
    EXPECT_EQ(sim::err(),
              "Nicshow plugin: WSAStartup() failed!\r\n"
              "WSAStartup cannot function at this time because the underlying system it uses to "
              "provide network services is currently unavailable.\r\n"
              "Nicshow plugin not loaded.");
    EXPECT_EQ(sim::out(), "");
    EXPECT_EQ(sim::kernel().wlan_opens, 0);
    EXPECT_EQ(sim::kernel().wsa_cleanups, 0) << "nothing was started, nothing to clean up";
    EXPECT_EQ(sim::kernel().conout_opens, 0);
    EXPECT_EQ(sim::kernel().rtl_calls + sim::kernel().gve_calls, 0);
}

TEST_F(Lifecycle, WirelessFailureRefusesTheLoadAndUndoes)
{
    struct Case {
        const char *what;
        const char *text;                // the system's text in the message
        DWORD open_result = 0;           // WlanOpenHandle answers this,
        bool null_handle = false;        // with no handle,
        bool handle_on_failure = false;  // or with one although it failed
        int opens = 1, closes = 0;       // WlanOpenHandle and WlanCloseHandle calls
        bool library_refused = false;    // LoadLibraryExW refuses wlanapi.dll,
        DWORD library_error = 0;         // leaving this code
        const char *function_missing = "";            // GetProcAddress lacks this one,
        DWORD function_error = ERROR_PROC_NOT_FOUND;  // leaving this code
        size_t directory_chars = 0;    // a system directory of this length
        bool directory_fails = false;  // GetSystemDirectoryW fails,
        DWORD directory_error = 0;     // leaving this code
        DWORD stale_error = 0;  // the thread's code before the load, and the one each
                                // call that succeeds leaves
    } cases[] = {
        {.what = "service stopped", .text = "The service has not been started.",
         .open_result = 1062},
        {.what = "failure with a handle", .text = "The service has not been started.",
         .open_result = 1062, .handle_on_failure = true, .closes = 1},
        {.what = "success without handle", .text = "The operation completed successfully.",
         .null_handle = true},
        {.what = "no wireless LAN library", .text = "The specified module could not be found.",
         .opens = 0, .library_refused = true, .library_error = 126},
        {.what = "the wireless LAN library refused with another code",
         .text = "Access is denied.", .opens = 0, .library_refused = true, .library_error = 5},
        {.what = "the wireless LAN library refused without a code, after a stale one",
         .text = "The specified module could not be found.", .opens = 0,
         .library_refused = true, .stale_error = 5},
        {.what = "no WlanOpenHandle", .text = "The specified procedure could not be found.",
         .opens = 0, .function_missing = "WlanOpenHandle"},
        {.what = "no WlanCloseHandle", .text = "The specified procedure could not be found.",
         .opens = 0, .function_missing = "WlanCloseHandle"},
        {.what = "no WlanQueryInterface", .text = "The specified procedure could not be found.",
         .opens = 0, .function_missing = "WlanQueryInterface"},
        {.what = "no WlanFreeMemory", .text = "The specified procedure could not be found.",
         .opens = 0, .function_missing = "WlanFreeMemory"},
        {.what = "a missing function that leaves another code",
         .text = "The specified module could not be found.", .opens = 0,
         .function_missing = "WlanQueryInterface", .function_error = 126},
        {.what = "a missing function that leaves no code, after a stale one",
         .text = "The specified procedure could not be found.", .opens = 0,
         .function_missing = "WlanFreeMemory", .function_error = 0, .stale_error = 5},
        {.what = "library path one character too long",
         .text = "The filename or extension is too long.", .opens = 0,
         .directory_chars = MAX_PATH - 12},
        {.what = "system directory longer than the buffer",
         .text = "The filename or extension is too long.", .opens = 0,
         .directory_chars = MAX_PATH + 40},
        {.what = "no system directory", .text = "Access is denied.", .opens = 0,
         .directory_fails = true, .directory_error = 5},
        {.what = "no system directory and no code, after a stale one",
         .text = "The system cannot find the path specified.", .opens = 0,
         .directory_fails = true, .stale_error = 5},
    };
    for (const auto &c : cases) {
        sim::reset();
        auto &k = sim::kernel();
        k.wlan_open_result = c.open_result;
        k.wlan_null_handle = c.null_handle;
        k.wlan_handle_on_failure = c.handle_on_failure;
        k.wlan_library_refused = c.library_refused;
        k.wlan_library_error = c.library_error;
        k.wlan_function_missing = c.function_missing;
        k.wlan_function_error = c.function_error;
        if (c.directory_chars)
            k.system_directory = u"C:\\" + std::u16string(c.directory_chars - 3, u'd');
        k.system_directory_fails = c.directory_fails;
        k.system_directory_error = c.directory_error;
        k.last_error = k.error_on_success = c.stale_error;
        EXPECT_EQ(InitializePlugin(), 1) << c.what;
        EXPECT_EQ(sim::err(), std::string("Nicshow plugin: WlanOpenHandle() failed!\r\n") +
                                  c.text + "\r\nNicshow plugin not loaded.\r\n")
            << c.what;
        EXPECT_EQ(k.wsa_cleanups, 1) << c.what;
        EXPECT_EQ(k.wsa_count, 1) << c.what << ": the host's start-up alone is left";
        EXPECT_EQ(k.wlan_opens, c.opens) << c.what;
        EXPECT_EQ(k.wlan_closes, c.closes) << c.what;
        EXPECT_EQ(wlan_client, (HANDLE)NULL) << c.what;
        EXPECT_EQ(k.library_frees, k.library_loads) << c.what << ": library left loaded";
        EXPECT_EQ(k.library_paths.size(), c.directory_chars || c.directory_fails ? 0u : 1u)
            << c.what;
        EXPECT_EQ(wlan_api.module, (HMODULE)NULL) << c.what;
        EXPECT_EQ(k.conout_opens, 0) << c.what;
        EXPECT_EQ(k.rtl_calls + k.gve_calls, 0) << c.what;
        EXPECT_EQ(os_version.dwOSVersionInfoSize, 0u) << c.what;
    }

    // The loader itself gives the library back when a function is missing.
    sim::reset();
    sim::kernel().wlan_function_missing = "WlanFreeMemory";
    EXPECT_EQ(load_wlan_library(), (DWORD)ERROR_PROC_NOT_FOUND);
    EXPECT_EQ(sim::kernel().library_frees, 1);
    EXPECT_EQ(wlan_api.module, (HMODULE)NULL);
}

TEST_F(Lifecycle, LoadFailuresAreSilentOnlyInATransientShellOrPipe)
{
    const std::string sockets =
        "Nicshow plugin: WSAStartup() failed!\r\n"
        "WSAStartup cannot function at this time because the underlying system it uses to "
        "provide network services is currently unavailable.\r\n"
        "Nicshow plugin not loaded.";
    const std::string wireless = "Nicshow plugin: WlanOpenHandle() failed!\r\n"
                                 "The service has not been started.\r\n"
                                 "Nicshow plugin not loaded.\r\n";
    struct Case {
        const char *var;
        bool silent;
    } cases[] = {
        {"_transient", true},
        {"_pipe", true},
        {"noloadmsg", false},  // it silences the load message, never a failure
    };
    for (const auto &c : cases) {
        for (int which = 0; which < 2; which++) {
            sim::reset();
            sim::set_host_var(c.var, "1");
            if (which == 0)
                sim::kernel().wsa_startup_result = 10091;
            else
                sim::kernel().wlan_open_result = 1062;
            EXPECT_EQ(InitializePlugin(), 1) << c.var << " " << which;
            EXPECT_EQ(sim::err(), c.silent ? "" : which == 0 ? sockets : wireless)
                << c.var << " " << which;
            EXPECT_EQ(sim::out(), "") << c.var << " " << which;
            EXPECT_EQ(sim::kernel().wsa_cleanups, which) << c.var << " " << which;
        }
    }
}

TEST_F(Lifecycle, OsVersionFallbacks)
{
    struct Case {
        const char *what;
        bool ntdll, rtl;
        DWORD rtl_major;
        bool gve_ok;
        DWORD expected_major;
        bool expected_result;
        int rtl_calls, gve_calls;
    } cases[] = {
        {"RtlGetVersion tells the truth", true, true, 10, true, 10, true, 1, 0},
        {"RtlGetVersion says 6", true, true, 6, true, 6, true, 1, 0},
        {"RtlGetVersion below 6", true, true, 5, true, 6, true, 1, 1},
        {"no RtlGetVersion", true, false, 10, true, 6, true, 0, 1},
        {"no ntdll", false, true, 10, true, 6, true, 0, 1},
        {"nothing answers", false, false, 10, false, 0, false, 0, 1},
        {"RtlGetVersion below 6, GetVersionExW fails", true, true, 5, false, 0, false, 1, 1},
    };
    for (const auto &c : cases) {
        sim::reset();
        auto &k = sim::kernel();
        k.ntdll_loaded = c.ntdll;
        k.rtl_get_version = c.rtl;
        k.rtl_major = c.rtl_major;
        k.get_version_ex_ok = c.gve_ok;
        memset(&os_version, 0xAB, sizeof(os_version));
        EXPECT_EQ(read_os_version(), c.expected_result) << c.what;
        EXPECT_EQ(os_version.dwMajorVersion, c.expected_major) << c.what;
        EXPECT_EQ(os_version.dwOSVersionInfoSize, 284u) << c.what;
        EXPECT_EQ(k.rtl_calls, c.rtl_calls) << c.what;
        EXPECT_EQ(k.gve_calls, c.gve_calls) << c.what;
        // The simulated system writes the major version only: the rest was cleared.
        EXPECT_EQ(os_version.dwMinorVersion, 0u) << c.what;
    }
}

TEST_F(Lifecycle, ConsoleHandleIsRetriedOnce)
{
    struct Case {
        int failures;
        bool opened;
        std::vector<DWORD> sleeps;
        size_t attempts;
    } cases[] = {
        {0, true, {}, 1},
        {1, true, {50}, 2},
        {2, false, {50}, 2},
    };
    for (const auto &c : cases) {
        sim::reset();
        sim::kernel().conout_failures = c.failures;
        EXPECT_EQ(open_console_output(), c.opened) << c.failures;
        EXPECT_EQ(console_output, c.opened ? sim::conout_handle() : (HANDLE)NULL);
        EXPECT_EQ(sim::kernel().sleeps, c.sleeps) << c.failures;
        ASSERT_EQ(sim::kernel().file_opens.size(), c.attempts);
        for (const auto &open : sim::kernel().file_opens) {
            EXPECT_EQ(sim::utf8(open.name), "conout$");
            EXPECT_EQ(open.access, GENERIC_READ | GENERIC_WRITE);
            EXPECT_EQ(open.share, (DWORD)FILE_SHARE_WRITE);
            EXPECT_EQ(open.disposition, (DWORD)OPEN_EXISTING);
            EXPECT_EQ(open.flags, 0u);
            EXPECT_FALSE(open.security);
            EXPECT_FALSE(open.template_file);
        }
    }
}

TEST_F(Lifecycle, ShutdownWithoutConsoleHandleClosesNothingForIt)
{
    sim::kernel().conout_failures = 2;
    ASSERT_EQ(InitializePlugin(), 0);
    EXPECT_EQ(console_output, (HANDLE)NULL);
    EXPECT_EQ(ShutdownPlugin(FALSE), 0);
    EXPECT_EQ(sim::kernel().handles_closed, 0);
}

TEST_F(Lifecycle, ShutdownRemovesAHandlerThatARunLeftInstalled)
{
    ASSERT_EQ(InitializePlugin(), 0);
    install_break_handler();
    pager.break_requested = 1;
    sim::kernel().events.clear();
    EXPECT_EQ(ShutdownPlugin(FALSE), 0);
    EXPECT_EQ(events(), (std::vector<std::string>{"WlanCloseHandle", "FreeLibrary", "WSACleanup",
                                                  "SetConsoleCtrlHandler(remove)",
                                                  "CloseHandle(conout$)"}));
    EXPECT_EQ(pager.handler_installed, 0u);
    EXPECT_EQ(pager.break_requested, 0u);
}

TEST_F(Lifecycle, PluginInfoIsStable)
{
    PluginInfo *first = GetPluginInfo();
    // The record is filled anew on every call.
    first->name = NULL;
    first->major = first->minor = first->build = -1;
    // The host's two fields are its own: the plug-in never writes them.
    first->module = (HMODULE)0x6E1C;
    first->module_name = (LPWSTR)u"C:\\Plugins\\Nicshow-x64.dll";
    PluginInfo *second = GetPluginInfo();
    EXPECT_EQ(second->module, (HMODULE)0x6E1C);
    EXPECT_EQ(sim::utf8(second->module_name), "C:\\Plugins\\Nicshow-x64.dll");
    EXPECT_EQ(first, second);
    EXPECT_EQ(sim::utf8(second->name), "Nicshow");
    EXPECT_EQ(sim::utf8(second->description), "nicshow");
    EXPECT_EQ(sim::utf8(second->implements), "nicshow");
    EXPECT_NE(second->description, second->implements) << "two separate strings";
    EXPECT_EQ(second->major, 0);
    EXPECT_EQ(second->minor, 95);
    EXPECT_EQ(second->build, 2);
    EXPECT_NE(second->author, nullptr);
    EXPECT_NE(second->email, nullptr);
    EXPECT_NE(second->web_page, nullptr);
}

TEST_F(Lifecycle, ClverVersion)
{
    EXPECT_EQ(_clver$(NULL), -1);
    WCHAR text[16];
    for (auto &c : text)
        c = 0xBEEF;
    EXPECT_EQ(_clver$(text), 0);
    EXPECT_EQ(sim::utf8(text), "1.1.0.0");
    ASSERT_EQ(sim::kernel().code_page_calls.size(), 1u);
    EXPECT_EQ(sim::kernel().code_page_calls[0].code_page, (UINT)CP_ACP);
    EXPECT_EQ(sim::kernel().code_page_calls[0].flags, (DWORD)MB_PRECOMPOSED);
    EXPECT_EQ(text[8], 0xBEEF) << "nothing written past the terminator";
}
