// Simulated WSAAddressToStringW: socket addresses as Windows writes them. IPv6 follows
// the system's own rules, which differ from RFC 5952 in places: a lone zero word is never
// compressed, and IPv4-compatible, IPv4-mapped, IPv4-translated and ISATAP addresses end
// in a dotted quad.
#include "sim.h"

#include <winsock2.h>

#include <cstdio>

namespace sim {

static AddressTextState address_state;

AddressTextState &address_text()
{
    return address_state;
}

static void reset_address_text()
{
    address_state = AddressTextState();
}
static ResetHook address_hook(reset_address_text);

static std::string dotted(const BYTE *b)
{
    char buf[16];
    snprintf(buf, sizeof buf, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
    return buf;
}

// Hexadecimal words with the longest run of two or more zero words (the first of equal
// runs) written as "::".
static std::string hex_words(const WORD *w, int count)
{
    int best = -1, best_len = 1;
    for (int i = 0; i < count;) {
        if (w[i]) {
            i++;
            continue;
        }
        int j = i;
        while (j < count && !w[j])
            j++;
        if (j - i > best_len) {
            best = i;
            best_len = j - i;
        }
        i = j;
    }
    std::string out;
    char buf[8];
    for (int i = 0; i < count; i++) {
        if (i == best) {
            out += "::";
            i += best_len - 1;
            continue;
        }
        if (!out.empty() && out.back() != ':')
            out += ':';
        snprintf(buf, sizeof buf, "%x", w[i]);
        out += buf;
    }
    return out;
}

static std::string ipv6_text(const BYTE *b)
{
    WORD w[8];
    for (int i = 0; i < 8; i++)
        w[i] = (WORD)((b[2 * i] << 8) | b[2 * i + 1]);
    bool zero0_3 = !w[0] && !w[1] && !w[2] && !w[3];
    if (zero0_3 && !w[4] && !w[5] && w[6])
        return "::" + dotted(b + 12);  // IPv4-compatible
    if (zero0_3 && !w[4] && w[5] == 0xFFFF && w[6])
        return "::ffff:" + dotted(b + 12);  // IPv4-mapped
    if (zero0_3 && w[4] == 0xFFFF && !w[5] && w[6])
        return "::ffff:0:" + dotted(b + 12);  // IPv4-translated
    if ((w[4] == 0 || w[4] == 0x0200) && w[5] == 0x5EFE) {
        std::string head = hex_words(w, 6);  // ISATAP
        return head + (head.back() == ':' ? "" : ":") + dotted(b + 12);
    }
    return hex_words(w, 8);
}

}  // namespace sim

INT WSAAddressToStringW(LPSOCKADDR address, DWORD length, LPWSAPROTOCOL_INFOW protocol_info,
                        LPWSTR text, LPDWORD chars)
{
    SIM_CALL(per_adapter);
    const INT socket_error = -1;
    auto &a = sim::address_state;
    a.calls++;
    a.last_length = length;
    a.last_offered = chars ? *chars : 0;
    a.protocol_info |= protocol_info != NULL;
    if (a.fail_with) {
        // Nothing says what a failed call leaves in the text: assume the worst.
        if (text && chars)
            sim::junk(text, (size_t)*chars * sizeof(WCHAR));
        return socket_error;
    }
    if (!address || !chars)
        return socket_error;
    std::string s;
    char buf[32];
    if (address->sa_family == AF_INET) {
        if (length < sizeof(SOCKADDR_IN))
            return socket_error;
        const SOCKADDR_IN *in = (const SOCKADDR_IN *)address;
        s = sim::dotted((const BYTE *)&in->sin_addr);
        USHORT port = (USHORT)((in->sin_port >> 8) | (in->sin_port << 8));
        if (port) {
            snprintf(buf, sizeof buf, ":%u", port);
            s += buf;
        }
    } else if (address->sa_family == AF_INET6) {
        if (length < sizeof(SOCKADDR_IN6))
            return socket_error;
        const SOCKADDR_IN6 *in6 = (const SOCKADDR_IN6 *)address;
        s = sim::ipv6_text(in6->sin6_addr.u.Byte);
        if (in6->sin6_scope_id) {
            snprintf(buf, sizeof buf, "%%%u", in6->sin6_scope_id);
            s += buf;
        }
        USHORT port = (USHORT)((in6->sin6_port >> 8) | (in6->sin6_port << 8));
        if (port) {
            snprintf(buf, sizeof buf, "]:%u", port);
            s = "[" + s + buf;
        }
    } else {
        return socket_error;
    }
    std::u16string w = sim::utf16(s);
    if (!text || *chars < w.size() + 1) {
        *chars = (DWORD)w.size() + 1;
        return socket_error;
    }
    memcpy(text, w.data(), w.size() * 2);
    text[w.size()] = 0;
    *chars = (DWORD)w.size() + 1;
    return 0;
}
