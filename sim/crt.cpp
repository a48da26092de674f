// The Windows C runtime's wide-character functions for UTF-16 text, with the runtime's
// 32-bit widths.
#include "sim.h"

static bool is_hex_digit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

uint32_t wcstoul(const char16_t *text, char16_t **end, int base)
{
    SIM_CALL(per_line);
    const char16_t *p = text;
    while (iswspace(*p))
        p++;
    bool negative = false;
    if (*p == u'+' || *p == u'-') {
        negative = *p == u'-';
        p++;
    }
    if ((base == 0 || base == 16) && p[0] == u'0' && (p[1] == u'x' || p[1] == u'X') &&
        is_hex_digit(p[2])) {
        p += 2;
        base = 16;
    } else if (base == 0) {
        base = p[0] == u'0' ? 8 : 10;
    }
    uint64_t value = 0;
    bool overflow = false;
    const char16_t *start = p;
    for (;; p++) {
        int d;
        if (*p >= u'0' && *p <= u'9') d = *p - u'0';
        else if (*p >= u'a' && *p <= u'z') d = *p - u'a' + 10;
        else if (*p >= u'A' && *p <= u'Z') d = *p - u'A' + 10;
        else break;
        if (d >= base)
            break;
        value = value * (uint64_t)base + (uint64_t)d;
        if (value > 0xFFFFFFFFull) {
            overflow = true;
            value = 0xFFFFFFFFull;
        }
    }
    if (p == start) {
        if (end)
            *end = (char16_t *)text;
        return 0;
    }
    if (end)
        *end = (char16_t *)p;
    if (overflow) {
        errno = ERANGE;
        return 0xFFFFFFFFu;
    }
    uint32_t v = (uint32_t)value;
    return negative ? (uint32_t)(0u - v) : v;
}

int iswspace(char16_t c)
{
    SIM_CALL(per_line);
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

int iswdigit(char16_t c)
{
    SIM_CALL(per_line);
    return c >= u'0' && c <= u'9';
}

int iswalpha(char16_t c)
{
    SIM_CALL(per_line);
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0x24F);
}

// Visible characters that are neither letters, digits nor blanks: ASCII and Latin-1
// symbols (not the ordinal indicators or the micro sign, which are letters), general
// punctuation, and the ideographic comma and full stop.
int iswpunct(char16_t c)
{
    SIM_CALL(per_line);
    return (c >= 0x21 && c <= 0x2F) || (c >= 0x3A && c <= 0x40) || (c >= 0x5B && c <= 0x60) ||
           (c >= 0x7B && c <= 0x7E) ||
           (c >= 0xA1 && c <= 0xBF && c != 0xAA && c != 0xB5 && c != 0xBA) || c == 0xD7 ||
           c == 0xF7 || (c >= 0x2010 && c <= 0x2027) || c == 0x3001 || c == 0x3002;
}
