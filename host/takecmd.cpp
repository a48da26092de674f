// The stand-in Take Command host, TakeCmd.dll: the nine host services a plug-in calls,
// plus HostSetVariable and HostFlush for the launcher.
//
// Output: on a console, WriteConsoleW at once; otherwise UTF-8 bytes, gathered in one
// buffer and written in large pieces. Internal variables (_transient, _pipe, _batch,
// _batchname, _batchline) come before the environment.
//
// The buffer belongs to one handle at a time. It is written out before anything goes to
// another handle or to a console, in SetColors (the plug-in changes colours around what it
// writes to the console device itself), in HostFlush, when it is full, and at process
// detach; so standard output, standard error and the console see the text in the order
// in which it was written.
//
// The plug-in's own declarations of the services come first, so that a definition here
// that differs from them in any type does not compile.
#include "../src/plugin/host.h"

#include <map>
#include <string>

#include "portable.h"

static std::map<std::u16string, std::u16string> internal_vars = {
    {u"_TRANSIENT", u"0"}, {u"_PIPE", u"0"}, {u"_BATCH", u"0"}, {u"_BATCHNAME", u""},
    {u"_BATCHLINE", u"-1"}};
static WORD start_attributes = 0x07;
static bool start_read;
static int current_colour = -1;

static const char16_t *u16(const wchar_t *s)
{
    return reinterpret_cast<const char16_t *>(s);
}

static void read_start_attributes()
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (start_read)
        return;
    start_read = true;
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info))
        start_attributes = info.wAttributes & 0xFF;
}

// Whether a handle is a console. Under Wine every GetConsoleMode is a server round trip,
// so the answer for the standard output and error handles is kept.
struct ConsoleAnswer {
    HANDLE handle;
    bool known, console;
};
static ConsoleAnswer std_answers[2];

static bool is_console(HANDLE h)
{
    DWORD mode;
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE), err = GetStdHandle(STD_ERROR_HANDLE);
    ConsoleAnswer *a = h == out ? &std_answers[0] : h == err ? &std_answers[1] : NULL;

    if (!a)
        return GetConsoleMode(h, &mode) != 0;
    if (!a->known || a->handle != h) {
        a->handle = h;
        a->console = GetConsoleMode(h, &mode) != 0;
        a->known = true;
    }
    return a->console;
}

// A plain array rather than a std::string: it must still be there when process detach
// writes it out, whatever order the runtime tears its objects down in.
#define PENDING_SIZE 65536
static char pending[PENDING_SIZE];  // UTF-8 bytes not yet written to pending_handle
static size_t pending_bytes;
static HANDLE pending_handle;

static void write_all(HANDLE h, const char *bytes, size_t count)
{
    DWORD done;

    while (count > 0) {
        if (!WriteFile(h, bytes, (DWORD)count, &done, NULL) || done == 0)
            return;
        bytes += done;
        count -= done;
    }
}

static void flush_pending()
{
    size_t count = pending_bytes;

    pending_bytes = 0;
    write_all(pending_handle, pending, count);
}

static void write_text(HANDLE h, const wchar_t *text, size_t chars)
{
    DWORD done;
    if (!chars)
        return;
    if (is_console(h)) {
        flush_pending();
        WriteConsoleW(h, text, (DWORD)chars, &done, NULL);
        return;
    }
    if (h != pending_handle) {
        flush_pending();
        pending_handle = h;
    }
    // Three bytes at most per UTF-16 unit: a surrogate pair gives four for two.
    if (chars * 3 > PENDING_SIZE - pending_bytes)
        flush_pending();
    if (chars * 3 <= PENDING_SIZE) {
        int bytes = WideCharToMultiByte(CP_UTF8, 0, text, (int)chars, pending + pending_bytes,
                                        (int)(PENDING_SIZE - pending_bytes), NULL, NULL);
        if (bytes > 0)
            pending_bytes += (size_t)bytes;
        return;
    }
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, (int)chars, NULL, 0, NULL, NULL);
    if (bytes <= 0)
        return;
    std::string utf8((size_t)bytes, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, (int)chars, &utf8[0], bytes, NULL, NULL);
    write_all(h, utf8.data(), utf8.size());
}

static void vwrite(HANDLE h, const wchar_t *format, va_list ap)
{
    // Large enough for any line of the report; _vsnwprintf reads %s as a wide string.
    static wchar_t buffer[16384];
    int n = _vsnwprintf(buffer, 16383, format, ap);
    if (n < 0)
        n = 16383;
    buffer[n] = 0;
    write_text(h, buffer, (size_t)n);
}

static bool lookup(const std::u16string &name, std::u16string &value)
{
    std::u16string n = hostlogic::upper(name);
    auto it = internal_vars.find(n);
    if (it != internal_vars.end()) {
        value = it->second;
        return true;
    }
    wchar_t buffer[8192];
    DWORD len = GetEnvironmentVariableW(reinterpret_cast<const wchar_t *>(name.c_str()), buffer,
                                        8192);
    if (len == 0 || len >= 8192)
        return false;
    value.assign(u16(buffer), len);
    return true;
}

extern "C" {

__declspec(dllexport) int WINAPI QPuts(const wchar_t *text)
{
    if (text)
        write_text(GetStdHandle(STD_OUTPUT_HANDLE), text, wcslen(text));
    return 0;
}

__declspec(dllexport) int __cdecl Printf(const wchar_t *format, ...)
{
    va_list ap;
    va_start(ap, format);
    vwrite(GetStdHandle(STD_OUTPUT_HANDLE), format, ap);
    va_end(ap);
    return 0;
}

__declspec(dllexport) int __cdecl Qprintf(HANDLE handle, const wchar_t *format, ...)
{
    va_list ap;
    va_start(ap, format);
    vwrite(handle, format, ap);
    va_end(ap);
    return 0;
}

__declspec(dllexport) void WINAPI CrLf(void)
{
    write_text(GetStdHandle(STD_OUTPUT_HANDLE), L"\r\n", 2);
}

__declspec(dllexport) int WINAPI ExpandVariables(wchar_t *text, int)
{
    // Plug-ins pass buffers of at least 1024 characters.
    hostlogic::expand_variables(reinterpret_cast<char16_t *>(text), 1024, lookup);
    return 0;
}

__declspec(dllexport) void WINAPI SetColors(int attribute)
{
    flush_pending();
    current_colour = attribute & 0xFF;
    SetConsoleTextAttribute(GetStdHandle(STD_OUTPUT_HANDLE), (WORD)current_colour);
}

__declspec(dllexport) void WINAPI GetAttribute(unsigned int *normal, unsigned int *inverse)
{
    read_start_attributes();
    if (normal)
        *normal = start_attributes;
    if (inverse)
        *inverse = ((start_attributes & 0x0F) << 4) | (start_attributes >> 4);
}

// Answers where the colour description ends in text.
__declspec(dllexport) wchar_t *WINAPI ParseColors(const wchar_t *text, int *foreground,
                                                  int *background)
{
    return (wchar_t *)hostlogic::parse_colors(u16(text), foreground, background);
}

__declspec(dllexport) int WINAPI WildcardComparison(const wchar_t *pattern, const wchar_t *name,
                                                    int, int)
{
    return hostlogic::wildcard_compare(u16(pattern), u16(name));
}

__declspec(dllexport) int WINAPI HostSetVariable(const wchar_t *name, const wchar_t *value)
{
    if (!name)
        return 1;
    internal_vars[hostlogic::upper(u16(name))] = value ? u16(value) : u"";
    return 0;
}

__declspec(dllexport) int WINAPI HostFlush(void)
{
    flush_pending();
    return 0;
}

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        read_start_attributes();
    else if (reason == DLL_PROCESS_DETACH)
        flush_pending();
    return TRUE;
}
