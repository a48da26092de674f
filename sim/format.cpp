// The formatted-output engine behind wsprintfW, _snwprintf and the host's Printf, with
// the Windows rules: %s and %c take UTF-16 text, %S a narrow string, "l" is 32 bits,
// "ll" and "I64" are 64 bits.
#include "format.h"
#include "sim.h"

#include <cstdio>
#include <string>

namespace sim {

static void pad_and_append(std::u16string &out, const std::u16string &body, int width, bool left,
                           char16_t fill)
{
    int pad = width > (int)body.size() ? width - (int)body.size() : 0;
    if (!left)
        out.append(pad, fill);
    out += body;
    if (left)
        out.append(pad, u' ');
}

std::u16string vformat(const char16_t *fmt, va_list ap)
{
    std::u16string out;
    if (!fmt)
        return out;
    const char16_t *p = fmt;
    while (*p) {
        if (*p != u'%') {
            out += *p++;
            continue;
        }
        p++;
        if (*p == u'%') {
            out += u'%';
            p++;
            continue;
        }
        std::string flags;
        bool left = false, zero = false;
        for (;; p++) {
            if (*p == u'-') left = true;
            else if (*p == u'0') zero = true;
            else if (*p == u'+' || *p == u' ' || *p == u'#') flags += (char)*p;
            else break;
        }
        int width = -1, prec = -1;
        if (*p == u'*') {
            width = va_arg(ap, int);
            if (width < 0) {
                left = true;
                width = -width;
            }
            p++;
        } else if (*p >= u'0' && *p <= u'9') {
            width = 0;
            while (*p >= u'0' && *p <= u'9')
                width = width * 10 + (*p++ - u'0');
        }
        if (*p == u'.') {
            p++;
            prec = 0;
            if (*p == u'*') {
                prec = va_arg(ap, int);
                p++;
            } else {
                while (*p >= u'0' && *p <= u'9')
                    prec = prec * 10 + (*p++ - u'0');
            }
        }
        enum { LEN_INT, LEN_SHORT, LEN_64, LEN_SIZE } len = LEN_INT;
        if (*p == u'h') {
            len = LEN_SHORT;
            p++;
        } else if (*p == u'l') {
            p++;
            if (*p == u'l') {
                len = LEN_64;
                p++;
            }
        } else if (p[0] == u'I' && p[1] == u'6' && p[2] == u'4') {
            len = LEN_64;
            p += 3;
        } else if (p[0] == u'I' && p[1] == u'3' && p[2] == u'2') {
            p += 3;
        } else if (*p == u'I' || *p == u'z') {
            len = LEN_SIZE;
            p++;
        } else if (*p == u'w') {
            p++;
        }
        char16_t conv = *p;
        if (!conv)
            break;
        p++;
        std::u16string body;
        switch (conv) {
        case u's': {
            const char16_t *s = va_arg(ap, const char16_t *);
            if (!s)
                s = u"(null)";
            size_t n = 0;
            while (s[n] && (prec < 0 || (int)n < prec))
                n++;
            body.assign(s, n);
            pad_and_append(out, body, width, left, u' ');
            break;
        }
        case u'S': {
            const char *s = va_arg(ap, const char *);
            std::u16string w = utf16(s ? s : "(null)");
            if (prec >= 0 && (int)w.size() > prec)
                w.resize(prec);
            pad_and_append(out, w, width, left, u' ');
            break;
        }
        case u'c':
            body = (char16_t)va_arg(ap, int);
            pad_and_append(out, body, width, left, u' ');
            break;
        case u'C':
            body = (char16_t)(unsigned char)va_arg(ap, int);
            pad_and_append(out, body, width, left, u' ');
            break;
        case u'd':
        case u'i':
        case u'u':
        case u'x':
        case u'X':
        case u'o':
        case u'p': {
            bool is_signed = conv == u'd' || conv == u'i';
            unsigned long long uv = 0;
            long long sv = 0;
            if (conv == u'p') {
                uv = (unsigned long long)(uintptr_t)va_arg(ap, void *);
                conv = u'X';
                if (width < 0) {
                    width = (int)(2 * sizeof(void *));
                    zero = true;
                }
            } else if (len == LEN_64) {
                if (is_signed) sv = va_arg(ap, long long);
                else uv = va_arg(ap, unsigned long long);
            } else if (len == LEN_SIZE) {
                if (is_signed) sv = (long long)va_arg(ap, intptr_t);
                else uv = (unsigned long long)va_arg(ap, size_t);
            } else {
                if (is_signed) {
                    sv = va_arg(ap, int);
                    if (len == LEN_SHORT) sv = (short)sv;
                } else {
                    uv = va_arg(ap, unsigned int);
                    if (len == LEN_SHORT) uv = (unsigned short)uv;
                }
            }
            std::string desc = "%" + flags;
            if (left) desc += '-';
            if (zero) desc += '0';
            if (width >= 0) desc += std::to_string(width);
            if (prec >= 0) desc += "." + std::to_string(prec);
            desc += "ll";
            desc += (char)conv;
            char buf[128];
            if (is_signed) snprintf(buf, sizeof buf, desc.c_str(), sv);
            else snprintf(buf, sizeof buf, desc.c_str(), uv);
            out += utf16(buf);
            break;
        }
        case u'f':
        case u'e':
        case u'E':
        case u'g':
        case u'G': {
            double v = va_arg(ap, double);
            std::string desc = "%" + flags;
            if (left) desc += '-';
            if (zero) desc += '0';
            if (width >= 0) desc += std::to_string(width);
            if (prec >= 0) desc += "." + std::to_string(prec);
            desc += (char)conv;
            char buf[512];
            snprintf(buf, sizeof buf, desc.c_str(), v);
            out += utf16(buf);
            break;
        }
        default:
            out += conv;
            break;
        }
    }
    return out;
}

std::u16string format(const char16_t *fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    std::u16string s = vformat(fmt, ap);
    va_end(ap);
    return s;
}

}  // namespace sim

int wsprintfW(LPWSTR out, LPCWSTR format, ...)
{
    SIM_CALL(per_line);
    va_list ap;
    va_start(ap, format);
    std::u16string s = sim::vformat(format, ap);
    va_end(ap);
    if (s.size() > 1023)  // wsprintfW writes at most 1024 characters with the terminator
        s.resize(1023);
    for (size_t i = 0; i < s.size(); i++)
        out[i] = s[i];
    out[s.size()] = 0;
    return (int)s.size();
}

int _snwprintf(char16_t *out, size_t count, const char16_t *format, ...)
{
    SIM_CALL(per_line);
    va_list ap;
    va_start(ap, format);
    std::u16string s = sim::vformat(format, ap);
    va_end(ap);
    if (s.size() > count) {
        for (size_t i = 0; i < count; i++)
            out[i] = s[i];
        return -1;
    }
    for (size_t i = 0; i < s.size(); i++)
        out[i] = s[i];
    if (s.size() < count)
        out[s.size()] = 0;
    return (int)s.size();
}
