// Highlight colours: the user's setting, the shell's normal colour, and the rules that
// keep highlighted text visible and distinct from normal text.
#include "highlight.h"
#include "../plugin/host.h"
#include "../plugin/plugin.h"

HighlightColors highlight_colors;

const BYTE contrast_table[2][16] = {
    {0x0F, 0x1F, 0x2F, 0x3F, 0x4F, 0x5F, 0x6F, 0x70,
     0x8F, 0x9F, 0xA0, 0xB0, 0xCF, 0xD0, 0xE0, 0xF2},
    {0x0E, 0x1B, 0x2B, 0x3E, 0x4B, 0x5B, 0x6B, 0x79,
     0x8B, 0x9B, 0xA9, 0xB9, 0xC0, 0xDE, 0xEC, 0xF0},
};

#define NO_COLOUR (-1)
#define NO_BACKGROUND 64  // the host's parser's other way of saying "none given"

static const WCHAR value_name[] = TEXT("Highlight");
static const WCHAR folder_key[] = TEXT("SOFTWARE\\VantrelPlugins");

// The registry does not promise a terminator: a REG_SZ may be stored without one. A
// value that fills the whole buffer without one does not fit.
static bool terminate_value(LPWSTR text, DWORD bytes)
{
    DWORD chars = bytes / sizeof(WCHAR);

    if (chars > TEXT_BUFFER_CHARS)
        chars = TEXT_BUFFER_CHARS;
    for (DWORD i = 0; i < chars; i++)
        if (!text[i])
            return true;
    if (chars == TEXT_BUFFER_CHARS)
        return false;
    text[chars] = 0;
    return true;
}

LONG read_highlight_value(HKEY root, LPCWSTR key_path, LPWSTR text)
{
    HKEY key = NULL;
    DWORD type = REG_NONE;
    DWORD bytes = TEXT_BUFFER_CHARS * sizeof(WCHAR);
    LONG rc;

    if (!key_path || !text || !key_path[0])
        return -1;
    text[0] = 0;
    rc = RegOpenKeyExW(root, key_path, 0, KEY_READ, &key);
    if (rc != ERROR_SUCCESS)
        return rc;
    rc = RegQueryValueExW(key, value_name, NULL, &type, (LPBYTE)text, &bytes);
    if (rc == ERROR_SUCCESS) {
        if (type != REG_SZ)
            rc = ERROR_INVALID_DATA;
        else if (!terminate_value(text, bytes))
            rc = ERROR_MORE_DATA;
        else if (!text[0])
            rc = ERROR_NO_DATA;
    }
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        text[0] = 0;
    return rc;
}

// The first non-empty setting, or an empty text: the environment, then the plug-in's own
// key and the folder key, each of the current user before the machine.
static void find_setting(LPWSTR text)
{
    static const HKEY roots[2] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};
    WCHAR own_key[256];
    LPCWSTR paths[2] = {own_key, folder_key};
    DWORD n;

    n = GetEnvironmentVariableW(value_name, text, TEXT_BUFFER_CHARS);
    if (n > 0 && n < TEXT_BUFFER_CHARS)
        return;
    text[0] = 0;

    lstrcpyW(own_key, folder_key);
    lstrcatW(own_key, TEXT("\\"));
    lstrcatW(own_key, PLUGIN_NAME);
    for (LPCWSTR path : paths)
        for (HKEY root : roots)
            if (read_highlight_value(root, path, text) == 0)
                return;
}

// Whether text begins with prefix (at most three letters), letter case not mattering.
static bool begins_with(LPCWSTR text, LPCWSTR prefix)
{
    WCHAR head[4];

    lstrcpynW(head, text, lstrlenW(prefix) + 1);
    return lstrcmpiW(head, prefix) == 0;
}

static int hex_digit(WCHAR c)
{
    if (c >= TEXT('0') && c <= TEXT('9'))
        return c - TEXT('0');
    if (c >= TEXT('a') && c <= TEXT('f'))
        return c - TEXT('a') + 10;
    if (c >= TEXT('A') && c <= TEXT('F'))
        return c - TEXT('A') + 10;
    return -1;
}

// Hexadecimal digits up to 32 bits; *value receives those before the first character that
// is none (or would not fit), so it is never left unset. True only when that was the end
// of the text: no blanks, no sign, nothing after.
static bool read_hex(LPCWSTR p, DWORD *value)
{
    LPCWSTR start = p;
    DWORD v = 0;

    for (; *p; p++) {
        int d = hex_digit(*p);
        if (d < 0 || v > 0x0FFFFFFFu)
            break;
        v = v * 16 + (DWORD)d;
    }
    *value = v;
    return p != start && !*p;
}

// The foreground and background the setting asks for (NO_COLOUR when not given);
// false when the setting is malformed.
static bool requested_colours(LPCWSTR text, int fg, int bg, int *f, int *g)
{
    DWORD number;

    if (begins_with(text, TEXT("inv"))) {
        *f = bg;
        *g = fg & 7;
        return true;
    }
    if (begins_with(text, TEXT("0x"))) {
        if (!read_hex(text + 2, &number))
            return false;
        *f = (int)(number & 0x0F);
        *g = (int)(number >> 4);
        return true;
    }
    *f = NO_COLOUR;
    *g = NO_COLOUR;
    ParseColors(text, f, g);
    return true;
}

// The highlight for the requested pair, or -1 when it would be invisible or look like
// normal text.
static int visible_highlight(int f, int g, int fg, int bg)
{
    if (g == NO_BACKGROUND) {
        if (f < 0)
            return -1;
        g = NO_COLOUR;
    }
    // Only 0-15 are colours. A number above 0xFF would otherwise alias one through its
    // low bits, past the checks below, and come out invisible or as the normal colour.
    if (f < 0 || f > 15 || g > 15)
        return -1;
    if (g >= 0 && f != g && (f != fg || g != bg))
        return (g << 4) | f;
    if (g != NO_COLOUR)
        return -1;
    if (f == fg || f == bg)
        return -1;
    return (bg << 4) | f;
}

// Without a setting: the bright form of a dark foreground on a dark background, else a
// contrasting entry of the table that differs from the normal colour.
static int default_highlight(BYTE normal)
{
    int fg = normal & 0x0F;
    int bg = normal >> 4;

    if (!(fg & 8) && !(bg & 8) && fg != 0)
        return normal | 0x08;
    if (contrast_table[0][bg] != normal)
        return contrast_table[0][bg];
    return contrast_table[1][bg];
}

int init_highlight_colors(void)
{
    WCHAR text[TEXT_BUFFER_CHARS];
    DWORD mode = 0xFFFFFFFFu;
    unsigned int normal = 0, inverse = 0;
    int fg, bg, f, g, highlight;

    // Highlighted text goes straight to the console, so only a console may have it.
    if (!GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) || mode == 0xFFFFFFFFu)
        return 0;
    GetAttribute(&normal, &inverse);
    normal &= 0xFF;
    fg = (int)(normal & 0x0F);
    bg = (int)(normal >> 4);
    if (fg == bg)
        return 0;

    find_setting(text);
    if (!text[0]) {
        highlight = default_highlight((BYTE)normal);
    } else {
        if (!requested_colours(text, fg, bg, &f, &g))
            return 0;
        highlight = visible_highlight(f, g, fg, bg);
        if (highlight < 0)
            return 0;
    }
    highlight_colors.normal = (BYTE)normal;
    highlight_colors.highlight = (BYTE)highlight;
    return highlight;
}
