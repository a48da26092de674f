// Display text for the values the IP Helper API and the wireless LAN service deliver.
// Every formatter writes into the report's value buffer of TEXT_BUFFER_CHARS and never
// past it.
#include "netvalues.h"
#include "dates.h"

static const struct {
    ULONG if_type;
    LPCWSTR word;
} adapter_types[] = {
    {6, TEXT("ethernet")}, {9, TEXT("token ring")}, {15, TEXT("FDDI")},
    {23, TEXT("PPP")},     {24, TEXT("loopback")},  {28, TEXT("SLIP")},
    {37, TEXT("ATM")},     {71, TEXT("wireless")},  {131, TEXT("tunnel")},
    {144, TEXT("FireWire")},
};

int adapter_type_name(ULONG if_type, LPWSTR out)
{
    size_t i;

    if (!out)
        return -1;
    for (i = 0; i < ARRAYSIZE(adapter_types); i++)
        if (adapter_types[i].if_type == if_type)
            break;
    if (i < ARRAYSIZE(adapter_types))
        lstrcpyW(out, adapter_types[i].word);
    else
        wsprintfW(out, TEXT("other (%u)"), (UINT)if_type);
    // The heading reads "Ethernet", "Token ring", "Other (53)".
    CharUpperBuffW(out, 1);
    return 0;
}

LPCWSTR enabled_text(int value)
{
    if (value < 0)
        return TEXT("Unknown");
    return value == 0 ? TEXT("Disabled") : TEXT("Enabled");
}

int format_link_speed(LPWSTR out, ULONG64 v)
{
    if (!out)
        return -1;
    if (v == ~(ULONG64)0) {
        lstrcpyW(out, TEXT("N/A"));
    } else if (v >= 1000000000) {
        _snwprintf(out, TEXT_BUFFER_CHARS, TEXT("%.1f Gbps"), (double)v / 1000000000.0);
        out[TEXT_BUFFER_CHARS - 1] = 0;
    } else if (v >= 1000000) {
        // Below a billion every quotient fits in 32 bits.
        wsprintfW(out, TEXT("%u Mbps"), (UINT)(v / 1000000));
    } else if (v >= 1000) {
        wsprintfW(out, TEXT("%u Kbps"), (UINT)(v / 1000));
    } else {
        wsprintfW(out, TEXT("%u bps"), (UINT)v);
    }
    return 0;
}

// Two buffers in turn, so that the receive and transmit rates can stand in one line.
static WCHAR rate_text[2][30];
static int rate_index;

LPCWSTR format_wifi_rate(ULONG kbps)
{
    WCHAR *text;

    rate_index ^= 1;
    text = rate_text[rate_index];
    if (kbps >= 1000000)
        wsprintfW(text, TEXT("%u Gbps"), (UINT)(kbps / 1000000));
    else if (kbps >= 1000)
        wsprintfW(text, TEXT("%u Mbps"), (UINT)(kbps / 1000));
    else
        wsprintfW(text, TEXT("%u Kbps"), (UINT)kbps);
    return text;
}

int format_hex_bytes(ULONG count, const BYTE *bytes, LPWSTR out)
{
    ULONG i;

    if (!bytes || !out || count == 0)
        return -1;
    // A length field may claim more than the buffer holds; show what fits.
    if (count > HEX_BYTES_MAX)
        count = HEX_BYTES_MAX;
    out[0] = 0;
    for (i = 0; i < count; i++)
        wsprintfW(out + 3 * i, TEXT("%02X-"), (UINT)bytes[i]);
    out[3 * count - 1] = 0;
    return 0;
}

int format_ipv4(ULONG address, LPWSTR out)
{
    if (!out)
        return -1;
    wsprintfW(out, TEXT("%u.%u.%u.%u"), (UINT)(address & 0xFF), (UINT)((address >> 8) & 0xFF),
              (UINT)((address >> 16) & 0xFF), (UINT)((address >> 24) & 0xFF));
    return 0;
}

int format_socket_address(const SOCKADDR *address, LPWSTR out)
{
    DWORD chars = TEXT_BUFFER_CHARS;

    if (!address || !out)
        return -1;
    out[0] = 0;
    switch (address->sa_family) {
    case AF_INET:
        format_ipv4(((const SOCKADDR_IN *)address)->sin_addr.s_addr, out);
        break;
    case AF_INET6:
        // An address the system cannot render is shown as an empty value.
        if (WSAAddressToStringW((LPSOCKADDR)address, sizeof(SOCKADDR_IN6), NULL, out, &chars))
            out[0] = 0;
        break;
    default:
        wsprintfW(out, TEXT("Unknown protocol %u"), (UINT)address->sa_family);
        break;
    }
    return 0;
}

// Seconds from 1601 to 1970, and the last second since 1970 whose file time keeps its top
// bit clear, the last one FileTimeToSystemTime accepts.
#define SECONDS_1601_TO_1970 11644473600ull
#define TICKS_PER_SECOND 10000000ull
#define LAST_FILE_TIME_SECOND (0x7FFFFFFFFFFFFFFFull / TICKS_PER_SECOND - SECONDS_1601_TO_1970)

// The forms whose lease times are written with a 24-hour clock rather than the locale's.
static BOOL uses_24_hour_clock(DWORD date_format)
{
    switch (date_format) {
    case 4: case 5: case 6: case 16: case 18: case 19: case 20: case 21:
        return TRUE;
    default:
        return FALSE;
    }
}

int format_lease_time(LPWSTR out, DWORD date_format, ULONG64 t)
{
    SYSTEMTIME utc, local;
    FILETIME ft;
    ULONG64 ticks;
    int len;

    if (!out)
        return -1;
    out[0] = 0;
    // Beyond the last convertible second (all bits set is a lease that never expires)
    // the arithmetic would wrap to some date in 1969: leave the value empty instead.
    if (t > LAST_FILE_TIME_SECOND)
        return 0;
    ticks = (t + SECONDS_1601_TO_1970) * TICKS_PER_SECOND;
    ft.dwLowDateTime = (DWORD)ticks;
    ft.dwHighDateTime = (DWORD)(ticks >> 32);
    if (!FileTimeToSystemTime(&ft, &utc) || !SystemTimeToTzSpecificLocalTime(NULL, &utc, &local))
        return 0;

    format_date(local.wYear, local.wMonth, out, local.wDay, date_format);
    len = lstrlenW(out);
    if (uses_24_hour_clock(date_format)) {
        // The dates of these forms are short; the bound only keeps the promise.
        WCHAR clock[16];
        wsprintfW(clock, TEXT("  %02u:%02u:%02u"), (UINT)local.wHour, (UINT)local.wMinute,
                  (UINT)local.wSecond);
        lstrcpynW(out + len, clock, TEXT_BUFFER_CHARS - len);
    } else {
        lstrcpynW(out + len, TEXT("  "), TEXT_BUFFER_CHARS - len);
        len = lstrlenW(out);
        // The time goes whole into the rest of the buffer, or not at all.
        if (!GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &local, NULL, out + len,
                            TEXT_BUFFER_CHARS - len))
            out[len] = 0;
    }
    return 0;
}
