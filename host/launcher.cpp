// The launcher: loads a plug-in DLL into the stand-in host the way Take Command does,
// runs one command line through it, and exits with the command's exit code.
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
//
// The command line's first word names the export (in lower case, as the shell does);
// the rest is the command tail. Exit codes of the launcher itself: 120 the DLL did not
// load, 121 the plug-in refused to load, 122 no such command export, 2 bad usage.
#include <windows.h>

#include <string>
#include <vector>

extern "C" {
int __cdecl Printf(const wchar_t *format, ...);
int __cdecl Qprintf(HANDLE handle, const wchar_t *format, ...);
int WINAPI HostSetVariable(const wchar_t *name, const wchar_t *value);
int WINAPI HostFlush(void);
}

struct PluginInfoRecord {
    const wchar_t *name, *author, *email, *web_page, *description, *implements;
    int major, minor, build;
    int reserved[4];
};

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
    bool info = false, clver = false, version_info = false;
    std::vector<std::wstring> usages, helps;
    int i = 1;
    for (; i < argc && argv[i][0] == L'-' && argv[i][1] == L'-'; i++) {
        std::wstring a = argv[i];
        if (a == L"--info") {
            info = true;
        } else if (a == L"--clver") {
            clver = true;
        } else if (a == L"--version-info") {
            version_info = true;
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

    if (version_info) {
        print_version_info(path);
        HostFlush();
        return 0;
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
    if (info && record) {
        Printf(L"name=%s\r\nauthor=%s\r\nemail=%s\r\nweb=%s\r\ndescription=%s\r\n"
               L"implements=%s\r\nmajor=%d\r\nminor=%d\r\nbuild=%d\r\n",
               record->name, record->author, record->email, record->web_page,
               record->description, record->implements, record->major, record->minor,
               record->build);
    }
    if (initialize() != 0) {
        HostFlush();
        FreeLibrary(plugin);
        return 121;
    }

    int rc = 0;
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
            rc = command(&tail[0]);
        }
    }
    shutdown(FALSE);
    HostFlush();
    FreeLibrary(plugin);
    return rc;
}
