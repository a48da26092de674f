// The stand-in Take Command host, TakeCmd.dll: the nine host services a plug-in calls,
// plus HostSetVariable and HostFlush for the launcher.
//
// Output: on a console, WriteConsoleW; otherwise UTF-8 bytes. Internal variables
// (_transient, _pipe, _batch, _batchname, _batchline) come before the environment.
#include <windows.h>

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

static void write_text(HANDLE h, const wchar_t *text, size_t chars)
{
    DWORD mode, done;
    if (!chars)
        return;
    if (GetConsoleMode(h, &mode)) {
        WriteConsoleW(h, text, (DWORD)chars, &done, NULL);
        return;
    }
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, (int)chars, NULL, 0, NULL, NULL);
    if (bytes <= 0)
        return;
    std::string utf8((size_t)bytes, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, (int)chars, &utf8[0], bytes, NULL, NULL);
    WriteFile(h, utf8.data(), (DWORD)bytes, &done, NULL);
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

__declspec(dllexport) int WINAPI CrLf(void)
{
    write_text(GetStdHandle(STD_OUTPUT_HANDLE), L"\r\n", 2);
    return 0;
}

__declspec(dllexport) int WINAPI ExpandVariables(wchar_t *text, int)
{
    // Plug-ins pass buffers of at least 1024 characters.
    hostlogic::expand_variables(reinterpret_cast<char16_t *>(text), 1024, lookup);
    return 0;
}

__declspec(dllexport) int WINAPI SetColors(int attribute)
{
    current_colour = attribute & 0xFF;
    SetConsoleTextAttribute(GetStdHandle(STD_OUTPUT_HANDLE), (WORD)current_colour);
    return 0;
}

__declspec(dllexport) int WINAPI GetAttribute(unsigned int *normal, unsigned int *inverse)
{
    read_start_attributes();
    if (normal)
        *normal = start_attributes;
    if (inverse)
        *inverse = ((start_attributes & 0x0F) << 4) | (start_attributes >> 4);
    return 0;
}

__declspec(dllexport) int WINAPI ParseColors(const wchar_t *text, int *foreground,
                                             int *background)
{
    hostlogic::parse_colors(u16(text), foreground, background);
    return 0;
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
    return 0;
}

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        read_start_attributes();
    return TRUE;
}
