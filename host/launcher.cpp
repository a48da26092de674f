// The launcher: loads a plug-in DLL into the stand-in host the way Take Command does,
// runs a command line through it (once, or many times as the shell would), and exits
// with the command's exit code. Like the shell, which uses sockets for its own commands,
// it holds a Winsock start-up of its own from before the load until after the unload.
//
//   nicshow-host.exe [options] PLUGIN.dll [command line ...]
//     --set NAME=VALUE   set a host variable (_transient, _pipe, _batch, _batchname,
//                        _batchline, noloadmsg, ...) before loading
//     --info             print the nine fields of GetPluginInfo
//     --usage NAME       print what Usage gives for NAME (and its result)
//     --help NAME        call Help for NAME and print its result
//     --clver            print what _clver$ gives (and its result)
//     --version-info     print the DLL's version resource
//     --message CODE     print the system's one-line text for a Windows error code, as
//                        FormatMessageW gives it (for tests that compare messages)
//     --repeat N         run the command line N times (1 to 1000000) between one load and
//                        one unload; the exit code is the last run's
//     --timing           time the runs: one unmeasured warm-up run first, then the N
//                        measured ones (N is 1 without --repeat); afterwards the lines
//                        below on standard error
//     --steps STEPS      instead of a load, the command and an unload, call the plug-in's
//                        InitializePlugin for each L and ShutdownPlugin for each U of
//                        STEPS, in order (1 to 16 letters: LUU loads, unloads and unloads
//                        again), and after each step write one line, its export and
//                        result and whether the host's own sockets still work:
//                          InitializePlugin 0, host sockets ok
//                          ShutdownPlugin 0, host sockets failed with 10093
//                        (a socket made and closed, which sends nothing); and with the
//                        plug-in freed, the host's own WSACleanup and one more look, where
//                        the sockets fail unless the plug-in kept a start-up:
//                          the host's own WSACleanup 0, host sockets failed with 10093
//                        No command line and no --usage, --help, --clver, --repeat or
//                        --timing with it.
//
// The command line's first word names the export (in lower case, as the shell does);
// the rest is the command tail, handed to every run in a fresh copy. Every run writes its
// output, the warm-up included (N + 1 copies with --timing); nothing of the timing goes
// to standard output. Exit codes of the launcher itself: 120 the DLL did not load, 121 the
// plug-in refused to load, 122 no such command export, 123 the host's own sockets did not
// work (at its start, or after a step of --steps), 124 the plug-in changed the host's two
// fields of its information record, 2 bad usage (a --repeat count that is missing or not
// a number from 1 to 1000000; --repeat or --timing without a command line; --steps with
// anything but L and U, or with a command line or another call of the plug-in). --steps
// exits with 0 when the host's sockets worked after every step, whatever the plug-in's
// results, else 123.
//
// The lines of --timing, each ending in CR LF, written after all output of the runs:
//
//   timing: runs=N median_ms=M min_ms=L max_ms=H
//   exits: C=K ...
//   probe: after_run=R next_handle=0xX heap_busy_bytes=B heap_busy_blocks=K heaps=P
//
// One run is the call of the command export and the write of its output (HostFlush);
// milliseconds to four places, the median of an even N the mean of the middle two.
// exits counts the measured runs by exit code, codes in the order they first came. The
// probes are taken after measured run 10 (when N >= 10) and after the last run: one line
// each, in that order, one line only when N is 10. next_handle (hexadecimal) is the value
// a handle created then receives: Wine gives the lowest free one, so a leaked handle
// raises it (GetProcessHandleCount answers 0 under Wine 8). B and K are the bytes and
// blocks in use in all P heaps of the process (PrivateUsage stays 0 under Wine 8). The
// launcher allocates nothing between the two probes.
#include <winsock2.h>
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "repeat.h"

extern "C" {
int __cdecl Printf(const wchar_t *format, ...);
int __cdecl Qprintf(HANDLE handle, const wchar_t *format, ...);
int WINAPI HostSetVariable(const wchar_t *name, const wchar_t *value);
int WINAPI HostFlush(void);
}

// The shell's plug-in information record: nine fields the plug-in fills, then two that
// the host fills after GetPluginInfo and the plug-in leaves alone.
struct PluginInfoRecord {
    const wchar_t *name, *author, *email, *web_page, *description, *implements;
    int major, minor, build;
    HMODULE module;
    wchar_t *module_name;
};
#if defined(_WIN64)
static_assert(sizeof(PluginInfoRecord) == 80 && offsetof(PluginInfoRecord, module) == 64,
              "plug-in information record of the 64-bit shell");
#else
static_assert(sizeof(PluginInfoRecord) == 44 && offsetof(PluginInfoRecord, module) == 36,
              "plug-in information record of the 32-bit shell");
#endif

typedef PluginInfoRecord *(WINAPI *GetPluginInfoFn)(void);
typedef int(WINAPI *InitializeFn)(void);
typedef int(WINAPI *ShutdownFn)(BOOL);
typedef int(WINAPI *UsageFn)(wchar_t *, wchar_t *);
typedef int(WINAPI *HelpFn)(wchar_t *);
typedef int(WINAPI *CommandFn)(wchar_t *);

static void fail(const wchar_t *what, const wchar_t *detail)
{
    Qprintf(GetStdHandle(STD_ERROR_HANDLE), L"nicshow-host: %s%s\r\n", what, detail);
    HostFlush();
}

template <typename T> static T proc(HMODULE m, const char *name)
{
    return (T)(void *)GetProcAddress(m, name);
}

#define PROBE_RUN 10
#define MAX_PROBED_HEAPS 256

struct Probe {
    unsigned after_run;
    ULONG_PTR next_handle;
    ULONG64 busy_bytes, busy_blocks;
    DWORD heaps;
};

static void take_probe(unsigned after_run, Probe *p)
{
    HANDLE heaps[MAX_PROBED_HEAPS];
    DWORD count = GetProcessHeaps(MAX_PROBED_HEAPS, heaps);
    HANDLE event = CreateEventW(NULL, TRUE, FALSE, NULL);

    p->after_run = after_run;
    p->next_handle = (ULONG_PTR)event;
    if (event)
        CloseHandle(event);
    p->busy_bytes = 0;
    p->busy_blocks = 0;
    p->heaps = count;
    for (DWORD h = 0; h < count && h < MAX_PROBED_HEAPS; h++) {
        PROCESS_HEAP_ENTRY entry;
        BOOL locked = HeapLock(heaps[h]);

        entry.lpData = NULL;
        while (HeapWalk(heaps[h], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
                p->busy_bytes += entry.cbData;
                p->busy_blocks++;
            }
        }
        if (locked)
            HeapUnlock(heaps[h]);
    }
}

// One run: a fresh copy of the tail (the plug-in may write into it), the call, and the
// write of what it printed.
static int run_once(CommandFn command, const std::wstring &tail, std::vector<wchar_t> &copy)
{
    int rc;

    std::copy(tail.begin(), tail.end(), copy.begin());
    copy[tail.size()] = 0;
    rc = command(copy.data());
    HostFlush();
    return rc;
}

// How many measured runs ended with each exit code: a run that failed among a thousand
// good ones shows even though only the last run's code leaves the process.
struct ExitCount {
    int code;
    unsigned runs;
};
#define MAX_EXIT_CODES 8

static void count_exit(ExitCount *counts, int *used, int code)
{
    int i = 0;

    while (i < *used && counts[i].code != code)
        i++;
    if (i == *used) {
        if (*used == MAX_EXIT_CODES)
            i--;  // more kinds than a command has: the last slot takes the rest
        else
            counts[(*used)++] = ExitCount{code, 0};
    }
    counts[i].runs++;
}

static int run_repeated(CommandFn command, const std::wstring &tail, unsigned runs, bool timing)
{
    std::vector<wchar_t> copy(tail.size() + 1);
    std::vector<LONGLONG> ticks;
    Probe probes[2];
    ExitCount exits[MAX_EXIT_CODES];
    int probe_count = 0, exit_kinds = 0, rc = 0;

    // Everything the loop needs is allocated before it, so the probes see the plug-in alone.
    if (timing) {
        ticks.reserve(runs);
        run_once(command, tail, copy);
    }
    for (unsigned n = 1; n <= runs; n++) {
        LONGLONG start = timing ? clock_ticks() : 0;
        rc = run_once(command, tail, copy);
        if (!timing)
            continue;
        ticks.push_back(clock_ticks() - start);
        count_exit(exits, &exit_kinds, rc);
        if (n == PROBE_RUN || n == runs)
            take_probe(n, &probes[probe_count++]);
    }
    if (timing) {
        HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
        wchar_t line[256];

        format_timing_line(line, 256, ticks);
        Qprintf(err, L"%s", line);
        Qprintf(err, L"exits:");
        for (int i = 0; i < exit_kinds; i++)
            Qprintf(err, L" %d=%u", exits[i].code, exits[i].runs);
        Qprintf(err, L"\r\n");
        for (int i = 0; i < probe_count; i++)
            Qprintf(err,
                    L"probe: after_run=%u next_handle=0x%I64X heap_busy_bytes=%I64u "
                    L"heap_busy_blocks=%I64u heaps=%u\r\n",
                    probes[i].after_run, (ULONG64)probes[i].next_handle, probes[i].busy_bytes,
                    probes[i].busy_blocks, (unsigned)probes[i].heaps);
        HostFlush();
    }
    return rc;
}

// The host's own use of sockets: one made and closed. 0, or the error code.
static int host_socket_error(void)
{
    SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET)
        return WSAGetLastError();
    closesocket(s);
    return 0;
}

// The host's fields of the record, as the host set them. The plug-in may fill its own
// nine again at any GetPluginInfo, never these.
struct HostFields {
    PluginInfoRecord *record;
    HMODULE module;
    wchar_t *module_name;
};

static bool host_fields_kept(const HostFields &h)
{
    if (!h.record || (h.record->module == h.module && h.record->module_name == h.module_name))
        return true;
    fail(L"the plug-in changed the host's fields of its information record", L"");
    return false;
}

// One line of --steps: what was called, its result, and the host's sockets after it.
static int print_step(const wchar_t *call, int result)
{
    int error = host_socket_error();

    if (error)
        Printf(L"%s %d, host sockets failed with %d\r\n", call, result, error);
    else
        Printf(L"%s %d, host sockets ok\r\n", call, result);
    HostFlush();
    return error;
}

// --steps: InitializePlugin for each L, ShutdownPlugin for each U, each followed by a look
// at the host's own sockets; then, with the plug-in freed, the host gives its own start-up
// back and looks once more: the sockets fail then, unless the plug-in still holds one.
static int run_steps(const std::wstring &steps, HMODULE plugin, InitializeFn initialize,
                     ShutdownFn shutdown, const HostFields &host)
{
    bool sockets_ok = true;

    for (wchar_t step : steps) {
        if (step == L'L')
            sockets_ok = !print_step(L"InitializePlugin", initialize()) && sockets_ok;
        else
            sockets_ok = !print_step(L"ShutdownPlugin", shutdown(FALSE)) && sockets_ok;
        if (!host_fields_kept(host))
            return 124;
    }
    FreeLibrary(plugin);
    print_step(L"the host's own WSACleanup", WSACleanup());
    return sockets_ok ? 0 : 123;
}

static bool valid_steps(const std::wstring &steps)
{
    if (steps.empty() || steps.size() > 16)
        return false;
    for (wchar_t c : steps)
        if (c != L'L' && c != L'U')
            return false;
    return true;
}

static void print_version_info(const wchar_t *path)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &handle);
    if (!size) {
        Printf(L"no version resource\r\n");
        return;
    }
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(path, 0, size, data.data())) {
        Printf(L"version resource unreadable\r\n");
        return;
    }
    VS_FIXEDFILEINFO *fixed = NULL;
    UINT len = 0;
    if (VerQueryValueW(data.data(), L"\\", (void **)&fixed, &len) && fixed) {
        Printf(L"FixedFileVersion=%u.%u.%u.%u\r\n", HIWORD(fixed->dwFileVersionMS),
               LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
               LOWORD(fixed->dwFileVersionLS));
        Printf(L"FixedProductVersion=%u.%u.%u.%u\r\n", HIWORD(fixed->dwProductVersionMS),
               LOWORD(fixed->dwProductVersionMS), HIWORD(fixed->dwProductVersionLS),
               LOWORD(fixed->dwProductVersionLS));
        Printf(L"FileType=%u\r\nFileOS=0x%X\r\n", (unsigned)fixed->dwFileType,
               (unsigned)fixed->dwFileOS);
    }
    WORD *translation = NULL;
    if (VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", (void **)&translation, &len) &&
        len >= 4)
        Printf(L"Translation=%04X %04X\r\n", translation[0], translation[1]);
    static const wchar_t *const keys[] = {L"CompanyName",     L"FileDescription",
                                          L"FileVersion",     L"InternalName",
                                          L"LegalCopyright",  L"OriginalFilename",
                                          L"ProductName",     L"ProductVersion",
                                          L"Build",           L"Built On"};
    for (const wchar_t *key : keys) {
        wchar_t query[128];
        wchar_t *value = NULL;
        wsprintfW(query, L"\\StringFileInfo\\040904B0\\%s", key);
        if (VerQueryValueW(data.data(), query, (void **)&value, &len) && value)
            Printf(L"%s=%s\r\n", key, value);
        else
            Printf(L"%s is missing\r\n", key);
    }
}

int wmain(int argc, wchar_t **argv)
{
    bool info = false, clver = false, version_info = false, timing = false;
    unsigned runs = 1;
    bool repeat = false;
    std::vector<std::wstring> usages, helps;
    std::wstring steps;
    int i = 1;
    for (; i < argc && argv[i][0] == L'-' && argv[i][1] == L'-'; i++) {
        std::wstring a = argv[i];
        if (a == L"--info") {
            info = true;
        } else if (a == L"--clver") {
            clver = true;
        } else if (a == L"--version-info") {
            version_info = true;
        } else if (a == L"--timing") {
            timing = true;
        } else if (a == L"--repeat") {
            if (i + 1 >= argc || !parse_repeat_count(argv[++i], &runs)) {
                fail(L"--repeat needs a number of runs from 1 to 1000000", L"");
                return 2;
            }
            repeat = true;
        } else if (a == L"--steps") {
            if (i + 1 >= argc || !valid_steps(argv[++i])) {
                fail(L"--steps needs 1 to 16 letters, each L or U", L"");
                return 2;
            }
            steps = argv[i];
        } else if (a == L"--message" && i + 1 < argc) {
            wchar_t text[1024];
            DWORD code = wcstoul(argv[++i], NULL, 0);
            DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                          FORMAT_MESSAGE_MAX_WIDTH_MASK;
            if (!FormatMessageW(flags, NULL, code, 0, text, 1024, NULL))
                text[0] = 0;
            Printf(L"%s\r\n", text);
            HostFlush();
            return 0;
        } else if ((a == L"--set" || a == L"--usage" || a == L"--help") && i + 1 < argc) {
            std::wstring v = argv[++i];
            if (a == L"--usage") {
                usages.push_back(v);
            } else if (a == L"--help") {
                helps.push_back(v);
            } else {
                size_t eq = v.find(L'=');
                if (eq == std::wstring::npos) {
                    fail(L"--set needs NAME=VALUE: ", v.c_str());
                    return 2;
                }
                HostSetVariable(v.substr(0, eq).c_str(), v.substr(eq + 1).c_str());
            }
        } else {
            fail(L"unknown option ", a.c_str());
            return 2;
        }
    }
    if (i >= argc) {
        fail(L"usage: nicshow-host.exe [options] PLUGIN.dll [command line]", L"");
        return 2;
    }
    const wchar_t *path = argv[i++];
    std::wstring line;
    for (; i < argc; i++) {
        if (!line.empty())
            line += L' ';
        line += argv[i];
    }
    if ((repeat || timing) && line.empty()) {
        fail(L"--repeat and --timing need a command line", L"");
        return 2;
    }
    if (!steps.empty() && (!line.empty() || repeat || timing || clver || !usages.empty() ||
                           !helps.empty())) {
        fail(L"--steps takes no command line and no other call of the plug-in", L"");
        return 2;
    }

    if (version_info) {
        print_version_info(path);
        HostFlush();
        return 0;
    }

    WSADATA wsa_data;
    if (WSAStartup(MAKEWORD(2, 2), &wsa_data) != 0 || host_socket_error() != 0) {
        fail(L"the host's own sockets do not work", L"");
        return 123;
    }
    HMODULE plugin = LoadLibraryW(path);
    if (!plugin) {
        fail(L"cannot load ", path);
        return 120;
    }
    GetPluginInfoFn get_info = proc<GetPluginInfoFn>(plugin, "GetPluginInfo");
    InitializeFn initialize = proc<InitializeFn>(plugin, "InitializePlugin");
    ShutdownFn shutdown = proc<ShutdownFn>(plugin, "ShutdownPlugin");
    if (!get_info || !initialize || !shutdown) {
        fail(L"not a plug-in: ", path);
        FreeLibrary(plugin);
        return 120;
    }
    PluginInfoRecord *record = get_info();
    static wchar_t module_name[MAX_PATH];
    GetModuleFileNameW(plugin, module_name, MAX_PATH);
    HostFields host = {record, plugin, module_name};
    if (record) {
        record->module = plugin;
        record->module_name = module_name;
    }
    // The shell asks again whenever it lists its plug-ins: the plug-in fills its own
    // fields anew and must leave the host's.
    record = get_info();
    if (!steps.empty())
        return run_steps(steps, plugin, initialize, shutdown, host);
    int rc = 0;
    if (info && record) {
        Printf(L"name=%s\r\nauthor=%s\r\nemail=%s\r\nweb=%s\r\ndescription=%s\r\n"
               L"implements=%s\r\nmajor=%d\r\nminor=%d\r\nbuild=%d\r\n",
               record->name, record->author, record->email, record->web_page,
               record->description, record->implements, record->major, record->minor,
               record->build);
    }
    if (initialize() != 0) {
        HostFlush();
        rc = host_fields_kept(host) ? 121 : 124;
        FreeLibrary(plugin);
        WSACleanup();
        return rc;
    }

    for (auto &name : usages) {
        UsageFn usage = proc<UsageFn>(plugin, "Usage");
        static wchar_t text[1024];
        text[0] = 0;
        int r = usage ? usage(&name[0], text) : -1;
        Printf(L"%s", text);
        Printf(L"[Usage returned %d]\r\n", r);
    }
    for (auto &name : helps) {
        HelpFn help = proc<HelpFn>(plugin, "Help");
        int r = help ? help(&name[0]) : -1;
        Printf(L"[Help returned %d]\r\n", r);
    }
    if (clver) {
        typedef int(WINAPI * ClverFn)(wchar_t *);
        ClverFn f = proc<ClverFn>(plugin, "_clver$");
        static wchar_t text[1024];
        text[0] = 0;
        int r = f ? f(text) : -1;
        Printf(L"%s\r\n[_clver$ returned %d]\r\n", text, r);
    }
    if (!line.empty()) {
        size_t end = line.find_first_of(L" \t");
        std::wstring word = line.substr(0, end);
        std::wstring tail;
        if (end != std::wstring::npos) {
            size_t start = line.find_first_not_of(L" \t", end);
            if (start != std::wstring::npos)
                tail = line.substr(start);
        }
        std::string export_name;
        for (wchar_t c : word)
            export_name += (char)(c >= L'A' && c <= L'Z' ? c + 32 : c);
        CommandFn command = proc<CommandFn>(plugin, export_name.c_str());
        if (!command) {
            fail(L"no such command: ", word.c_str());
            rc = 122;
        } else {
            rc = run_repeated(command, tail, runs, timing);
        }
    }
    shutdown(FALSE);
    HostFlush();
    if (!host_fields_kept(host))
        rc = 124;
    FreeLibrary(plugin);
    WSACleanup();
    return rc;
}
