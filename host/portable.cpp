// Portable host logic: variable expansion, colour descriptions, wildcard matching.
#include "portable.h"

#include <cstring>
#include <vector>

namespace hostlogic {

static char16_t upper_char(char16_t c)
{
    if (c >= u'a' && c <= u'z')
        return (char16_t)(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return (char16_t)(c - 32);
    return c;
}

std::u16string upper(const std::u16string &text)
{
    std::u16string out(text);
    for (auto &c : out)
        c = upper_char(c);
    return out;
}

static bool is_name_char(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'_' || c == u'$';
}

void expand_variables(char16_t *text, size_t capacity, const Lookup &lookup)
{
    if (!text || capacity == 0)
        return;
    std::u16string in(text);
    std::u16string out;
    size_t i = 0;
    while (i < in.size()) {
        char16_t c = in[i];
        if (c != u'%') {
            out += c;
            i++;
            continue;
        }
        if (i + 1 < in.size() && in[i + 1] == u'%') {
            out += u'%';
            i += 2;
            continue;
        }
        std::u16string name;
        size_t next;
        if (i + 1 < in.size() && in[i + 1] == u'[') {
            size_t close = in.find(u']', i + 2);
            if (close == std::u16string::npos) {
                out += c;
                i++;
                continue;
            }
            name = in.substr(i + 2, close - i - 2);
            next = close + 1;
        } else {
            size_t j = i + 1;
            while (j < in.size() && is_name_char(in[j]))
                j++;
            if (j == i + 1) {
                out += c;
                i++;
                continue;
            }
            name = in.substr(i + 1, j - i - 1);
            next = j;
            if (next < in.size() && in[next] == u'%')
                next++;
        }
        std::u16string value;
        if (lookup && lookup(name, value))
            out += value;
        i = next;
    }
    if (out.size() > capacity - 1)
        out.resize(capacity - 1);
    std::memcpy(text, out.data(), out.size() * sizeof(char16_t));
    text[out.size()] = 0;
}

static int colour_number(const std::u16string &word)
{
    static const char *const names[] = {"BLACK", "BLUE", "GREEN", "CYAN", "RED",
                                        "MAGENTA", "YELLOW", "WHITE", "BROWN"};
    static const int values[] = {0, 1, 2, 3, 4, 5, 6, 7, 6};
    for (size_t n = 0; n < sizeof(values) / sizeof(values[0]); n++) {
        const char *name = names[n];
        if (word.size() != std::strlen(name))
            continue;
        bool same = true;
        for (size_t k = 0; k < word.size(); k++)
            if (word[k] != (char16_t)name[k])
                same = false;
        if (same)
            return values[n];
    }
    return -1;
}

const char16_t *parse_colors(const char16_t *text, int *foreground, int *background)
{
    if (!text)
        return text;
    const char16_t *p = text, *end = text;
    int *target = foreground;
    int bright = 0;
    for (;;) {
        while (*p == u' ' || *p == u'\t')
            p++;
        if (!*p)
            break;
        std::u16string word;
        for (; *p && *p != u' ' && *p != u'\t'; p++)
            word += *p;
        word = upper(word);
        if (word == u"BRIGHT") {
            bright = 8;
        } else if (word == u"ON") {
            if (target == background)
                break;
            target = background;
            bright = 0;
        } else {
            int n = colour_number(word);
            if (n < 0)
                break;
            if (target)
                *target = n + bright;
            bright = 0;
        }
        end = p;
    }
    return end;
}

static bool match_set(const char16_t *&p, char16_t c)
{
    // p points after "["; on return it points after the closing "]".
    bool negate = false;
    bool found = false;
    if (*p == u'!' || *p == u'^') {
        negate = true;
        p++;
    }
    bool first = true;
    while (*p && (*p != u']' || first)) {
        char16_t lo = upper_char(*p);
        char16_t hi = lo;
        if (p[1] == u'-' && p[2] && p[2] != u']') {
            hi = upper_char(p[2]);
            p += 3;
        } else {
            p++;
        }
        if (c >= lo && c <= hi)
            found = true;
        first = false;
    }
    if (*p == u']')
        p++;
    return found != negate;
}

// One pattern element against one character; *next receives the element's end.
static bool match_one(const char16_t *p, char16_t c, const char16_t **next)
{
    if (*p == u'?') {
        *next = p + 1;
        return true;
    }
    if (*p == u'[') {
        p++;
        bool ok = match_set(p, upper_char(c));
        *next = p;
        return ok;
    }
    *next = p + 1;
    return upper_char(*p) == upper_char(c);
}

// Greedy matching with one back-track point: linear in pattern times name, so a long
// pattern full of stars cannot make it explode.
static bool match(const char16_t *p, const char16_t *n)
{
    const char16_t *star_p = nullptr;
    const char16_t *star_n = nullptr;
    while (*n) {
        if (*p == u'*') {
            while (*p == u'*')
                p++;
            if (!*p)
                return true;
            star_p = p;
            star_n = n;
            continue;
        }
        const char16_t *next;
        if (*p && match_one(p, *n, &next)) {
            p = next;
            n++;
            continue;
        }
        if (!star_p)
            return false;
        p = star_p;
        n = ++star_n;
    }
    while (*p == u'*')
        p++;
    return *p == 0;
}

int wildcard_compare(const char16_t *pattern, const char16_t *name)
{
    if (!pattern || !name)
        return 1;
    return match(pattern, name) ? 0 : 1;
}

}  // namespace hostlogic
