// Network values as text: adapter types, speeds, wireless rates, byte strings,
// addresses and lease times.
#include "harness.h"
#include "src/format/netvalues.h"

#include <chrono>
#include <climits>
#include <functional>

namespace {

// A value buffer with a guard behind it that no formatter may touch.
struct ValueBuffer {
    WCHAR text[1024 + 16];
    ValueBuffer()
    {
        for (auto &c : text)
            c = u'#';
    }
    bool guard_intact() const
    {
        for (int i = 1024; i < 1040; i++)
            if (text[i] != u'#')
                return false;
        return true;
    }
    std::string str() const { return sim::utf8(text); }
};

SOCKADDR_IN6 ipv6(std::initializer_list<WORD> words, ULONG scope = 0, USHORT port = 0)
{
    SOCKADDR_IN6 a;
    memset(&a, 0, sizeof(a));
    a.sin6_family = AF_INET6;
    a.sin6_port = (USHORT)((port >> 8) | (port << 8));
    a.sin6_scope_id = scope;
    int i = 0;
    for (WORD w : words) {
        a.sin6_addr.u.Byte[2 * i] = (BYTE)(w >> 8);
        a.sin6_addr.u.Byte[2 * i + 1] = (BYTE)w;
        i++;
    }
    return a;
}

SOCKADDR_IN ipv4(BYTE a, BYTE b, BYTE c, BYTE d, USHORT port = 0)
{
    SOCKADDR_IN s;
    memset(&s, 0, sizeof(s));
    s.sin_family = AF_INET;
    s.sin_port = (USHORT)((port >> 8) | (port << 8));
    BYTE bytes[4] = {a, b, c, d};
    memcpy(&s.sin_addr, bytes, 4);
    return s;
}

// Seconds since 1970 of a UTC date and time, by the library's calendar.
ULONG64 utc_seconds(int y, unsigned m, unsigned d, int hh, int mm, int ss)
{
    using namespace std::chrono;
    auto days_since = (sys_days{year{y} / month{m} / day{d}} - sys_days{year{1970} / 1 / 1}).count();
    return (ULONG64)(days_since * 86400LL + hh * 3600 + mm * 60 + ss);
}

}  // namespace

using AdapterType = SimTest;

TEST_F(AdapterType, WordsWithACapital)
{
    struct Case {
        ULONG type;
        const char *text;
    } cases[] = {
        {6, "Ethernet"},   {9, "Token ring"}, {15, "FDDI"},     {23, "PPP"},
        {24, "Loopback"},  {28, "SLIP"},      {37, "ATM"},      {71, "Wireless"},
        {131, "Tunnel"},   {144, "FireWire"}, {53, "Other (53)"}, {0, "Other (0)"},
        {4294967295u, "Other (4294967295)"},
    };
    for (const auto &c : cases) {
        ValueBuffer v;
        EXPECT_EQ(adapter_type_name(c.type, v.text), 0);
        EXPECT_EQ(v.str(), c.text) << c.type;
    }
    EXPECT_EQ(adapter_type_name(6, NULL), -1);
}

TEST_F(AdapterType, TriStateWords)
{
    struct Case {
        int value;
        const char *text;
    } cases[] = {
        {INT_MIN, "Unknown"}, {-1, "Unknown"}, {0, "Disabled"}, {1, "Enabled"}, {INT_MAX, "Enabled"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(sim::utf8(enabled_text(c.value)), c.text) << c.value;
}

using Speeds = SimTest;

TEST_F(Speeds, LinkSpeedsInDecimalUnits)
{
    struct Case {
        ULONG64 bps;
        const char *text;
    } cases[] = {
        {0, "0 bps"},
        {999, "999 bps"},
        {1000, "1 Kbps"},
        {999999, "999 Kbps"},
        {1000000, "1 Mbps"},
        {1999999, "1 Mbps"},  // truncated, not rounded
        {54000000, "54 Mbps"},
        {999999999, "999 Mbps"},
        {1000000000, "1.0 Gbps"},
        {2500000000ull, "2.5 Gbps"},
        {4294967296ull, "4.3 Gbps"},  // the upper half counts
        {10000000000ull, "10.0 Gbps"},
        {0xFFFFFFFFFFFFFFFEull, "18446744073.7 Gbps"},
        {0xFFFFFFFFFFFFFFFFull, "N/A"},
    };
    for (const auto &c : cases) {
        ValueBuffer v;
        EXPECT_EQ(format_link_speed(v.text, c.bps), 0);
        EXPECT_EQ(v.str(), c.text) << c.bps;
        EXPECT_TRUE(v.guard_intact());
    }
    EXPECT_EQ(format_link_speed(NULL, 1000), -1);
}

TEST_F(Speeds, WirelessRatesWithoutDecimals)
{
    struct Case {
        ULONG kbps;
        const char *text;
    } cases[] = {
        {0, "0 Kbps"},         {500, "500 Kbps"},     {999, "999 Kbps"},
        {1000, "1 Mbps"},      {54000, "54 Mbps"},    {866700, "866 Mbps"},
        {999999, "999 Mbps"},  {1000000, "1 Gbps"},   {1300000, "1 Gbps"},
        {1500000, "1 Gbps"},   {4294967295u, "4294 Gbps"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(sim::utf8(format_wifi_rate(c.kbps)), c.text) << c.kbps;
}

TEST_F(Speeds, TwoRatesStandTogetherAndTheThirdReplacesTheFirst)
{
    LPCWSTR rx = format_wifi_rate(866700);
    LPCWSTR tx = format_wifi_rate(54000);
    EXPECT_NE(rx, tx);
    EXPECT_EQ(sim::utf8(rx), "866 Mbps");
    EXPECT_EQ(sim::utf8(tx), "54 Mbps");

    LPCWSTR third = format_wifi_rate(500);
    EXPECT_EQ(third, rx);
    EXPECT_EQ(sim::utf8(rx), "500 Kbps");
    EXPECT_EQ(sim::utf8(tx), "54 Mbps");
    LPCWSTR fourth = format_wifi_rate(1300000);
    EXPECT_EQ(fourth, tx);
    EXPECT_EQ(sim::utf8(third), "500 Kbps");
    EXPECT_EQ(sim::utf8(fourth), "1 Gbps");
}

using HexBytes = SimTest;

TEST_F(HexBytes, UpperCaseWithHyphens)
{
    const BYTE mac[6] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    const BYTE one[1] = {0xFF};
    const BYTE two[2] = {0x0a, 0xb0};
    struct Case {
        ULONG count;
        const BYTE *bytes;
        const char *text;
    } cases[] = {
        {6, mac, "00-1A-2B-3C-4D-5E"},
        {1, one, "FF"},
        {2, two, "0A-B0"},
        {3, mac, "00-1A-2B"},
    };
    for (const auto &c : cases) {
        ValueBuffer v;
        EXPECT_EQ(format_hex_bytes(c.count, c.bytes, v.text), 0);
        EXPECT_EQ(v.str(), c.text);
    }
}

TEST_F(HexBytes, NothingToShowWritesNothing)
{
    const BYTE mac[6] = {1, 2, 3, 4, 5, 6};
    ValueBuffer v;
    EXPECT_EQ(format_hex_bytes(0, mac, v.text), -1);
    EXPECT_EQ(format_hex_bytes(6, NULL, v.text), -1);
    EXPECT_EQ(format_hex_bytes(6, mac, NULL), -1);
    EXPECT_EQ(v.text[0], u'#');
}

TEST_F(HexBytes, LongestDuidAndTheBufferBound)
{
    std::vector<BYTE> data(4096);
    for (size_t i = 0; i < data.size(); i++)
        data[i] = (BYTE)(i * 7 + 1);
    auto expected = [&](size_t n) {
        std::string s;
        char buf[4];
        for (size_t i = 0; i < n; i++) {
            snprintf(buf, sizeof buf, "%02X", data[i]);
            s += (i ? "-" : "") + std::string(buf);
        }
        return s;
    };
    struct Case {
        ULONG count;
        size_t shown;
    } cases[] = {
        {130, 130},  // a DHCPv6 DUID at its longest: 389 characters
        {340, 340},
        {341, 341},  // 1022 characters and the terminator
        {342, 341},
        {4096, 341},
        {0xFFFFFFFFu, 341},  // a length field gone wrong: only what fits is read and written
    };
    for (const auto &c : cases) {
        ValueBuffer v;
        EXPECT_EQ(format_hex_bytes(c.count, data.data(), v.text), 0) << c.count;
        EXPECT_EQ(v.str(), expected(c.shown)) << c.count;
        EXPECT_EQ(lstrlenW(v.text), (int)(3 * c.shown - 1)) << c.count;
        EXPECT_TRUE(v.guard_intact()) << c.count;
    }
}

using Addresses = SimTest;

TEST_F(Addresses, Ipv4InMemoryOrder)
{
    struct Case {
        BYTE b[4];
        const char *text;
    } cases[] = {
        {{192, 168, 1, 10}, "192.168.1.10"},
        {{0, 0, 0, 0}, "0.0.0.0"},
        {{255, 255, 255, 255}, "255.255.255.255"},
        {{198, 51, 100, 7}, "198.51.100.7"},
        {{10, 0, 0, 1}, "10.0.0.1"},
    };
    for (const auto &c : cases) {
        ULONG a;
        memcpy(&a, c.b, 4);
        ValueBuffer v;
        EXPECT_EQ(format_ipv4(a, v.text), 0);
        EXPECT_EQ(v.str(), c.text);
    }
    EXPECT_EQ(format_ipv4(0x0A01A8C0u, NULL), -1);
    ValueBuffer v;
    format_ipv4(0x0A01A8C0u, v.text);
    EXPECT_EQ(v.str(), "192.168.1.10") << "lowest-order byte first";
}

TEST_F(Addresses, SocketAddressesOfEveryFamily)
{
    SOCKADDR_IN v4 = ipv4(203, 0, 113, 9, 53);  // the port is not shown
    SOCKADDR_IN6 global = ipv6({0x2001, 0x0db8, 0, 0, 0, 0, 0, 1});
    SOCKADDR_IN6 link = ipv6({0xfe80, 0, 0, 0, 0x0211, 0x22ff, 0xfe33, 0x4455}, 12);
    SOCKADDR_IN6 mapped = ipv6({0, 0, 0, 0, 0, 0xffff, 0xc000, 0x0201});
    SOCKADDR other;
    memset(&other, 0, sizeof(other));
    other.sa_family = 17;
    SOCKADDR unspec;
    memset(&unspec, 0, sizeof(unspec));
    struct Case {
        const SOCKADDR *address;
        const char *text;
    } cases[] = {
        {(const SOCKADDR *)&v4, "203.0.113.9"},
        {(const SOCKADDR *)&global, "2001:db8::1"},
        {(const SOCKADDR *)&link, "fe80::211:22ff:fe33:4455%12"},
        {(const SOCKADDR *)&mapped, "::ffff:192.0.2.1"},
        {&other, "Unknown protocol 17"},
        {&unspec, "Unknown protocol 0"},
    };
    for (const auto &c : cases) {
        ValueBuffer v;
        EXPECT_EQ(format_socket_address(c.address, v.text), 0);
        EXPECT_EQ(v.str(), c.text);
    }
    EXPECT_EQ(sim::address_text().last_length, 28u) << "the whole IPv6 socket address";
    EXPECT_EQ(sim::address_text().last_offered, 1024u) << "the value buffer's characters";
    EXPECT_FALSE(sim::address_text().protocol_info);
    ValueBuffer v;
    EXPECT_EQ(format_socket_address(NULL, v.text), -1);
    EXPECT_EQ(format_socket_address((const SOCKADDR *)&v4, NULL), -1);
    EXPECT_EQ(v.text[0], u'#');
}

TEST_F(Addresses, Ipv6TheSystemCannotRenderIsEmpty)
{
    SOCKADDR_IN6 global = ipv6({0x2001, 0x0db8, 0, 0, 0, 0, 0, 1});
    sim::address_text().fail_with = WSAEINVAL;
    ValueBuffer v;
    EXPECT_EQ(format_socket_address((const SOCKADDR *)&global, v.text), 0);
    EXPECT_EQ(v.str(), "");
    EXPECT_EQ(sim::address_text().calls, 1);
}

// The simulation's WSAAddressToStringW against texts Windows itself produces.
TEST_F(Addresses, SimulatedAddressTextFollowsWindows)
{
    struct Case {
        SOCKADDR_IN6 address;
        const char *text;
    } cases[] = {
        {ipv6({0, 0, 0, 0, 0, 0, 0, 0}), "::"},
        {ipv6({0, 0, 0, 0, 0, 0, 0, 1}), "::1"},
        {ipv6({0, 0, 0, 0, 0, 0, 0, 0xffff}), "::ffff"},
        {ipv6({0, 0, 0, 0, 0, 0, 0x0d01, 0x4403}), "::13.1.68.3"},
        {ipv6({0, 0, 0, 0, 0, 0xffff, 0x0d01, 0x4403}), "::ffff:13.1.68.3"},
        {ipv6({0, 0, 0, 0, 0, 0xffff, 0, 0x4403}), "::ffff:0:4403"},
        {ipv6({0, 0, 0, 0, 0xffff, 0, 0x0d01, 0x4403}), "::ffff:0:13.1.68.3"},
        {ipv6({0, 0, 0, 0, 0, 0x5efe, 0, 0}), "::5efe:0.0.0.0"},
        {ipv6({0x1111, 0x2222, 0x3333, 0x4444, 0, 0x5efe, 0x8190, 0x3426}),
         "1111:2222:3333:4444:0:5efe:129.144.52.38"},
        {ipv6({0, 0, 0, 0, 0x0200, 0x5efe, 0x8190, 0x3426}), "::200:5efe:129.144.52.38"},
        {ipv6({0, 0, 0, 0, 0x0100, 0x5efe, 0x8190, 0x3426}), "::100:5efe:8190:3426"},
        {ipv6({0x1111, 0x2222, 0x3333, 0x4444, 0x5555, 0x6666, 0, 0x8888}),
         "1111:2222:3333:4444:5555:6666:0:8888"},  // a lone zero word stays
        {ipv6({0x1080, 0, 0, 0, 0x8, 0x800, 0x200c, 0x417a}), "1080::8:800:200c:417a"},
        {ipv6({0x3ffe, 0x0b00, 0, 0, 1, 0, 0, 0xa}), "3ffe:b00::1:0:0:a"},  // first of equals
        {ipv6({0x2001, 0, 0x1234, 0, 0, 0xc1c0, 0xabcd, 0x0876}), "2001:0:1234::c1c0:abcd:876"},
        {ipv6({0x1111, 0, 0, 0, 0, 0, 0, 0}), "1111::"},
        {ipv6({0xfe80, 0, 0, 0, 0, 0, 0, 1}, 7), "fe80::1%7"},
        {ipv6({0, 0, 0, 0, 0, 0, 0, 1}, 4294949819u), "::1%4294949819"},
        {ipv6({0, 0, 0, 0, 0, 0, 0, 1}, 0, 256), "[::1]:256"},
        {ipv6({0x2001, 0, 0, 0, 0, 0, 0, 0xffd3}, 1, 65518), "[2001::ffd3%1]:65518"},
    };
    for (const auto &c : cases) {
        WCHAR text[64];
        DWORD chars = 64;
        ASSERT_EQ(WSAAddressToStringW((LPSOCKADDR)&c.address, sizeof(SOCKADDR_IN6), NULL, text,
                                      &chars),
                  0);
        EXPECT_EQ(sim::utf8(text), c.text);
        EXPECT_EQ(chars, strlen(c.text) + 1);
    }

    SOCKADDR_IN v4 = ipv4(192, 0, 2, 1, 80);
    WCHAR text[64];
    DWORD chars = 64;
    ASSERT_EQ(WSAAddressToStringW((LPSOCKADDR)&v4, sizeof(v4), NULL, text, &chars), 0);
    EXPECT_EQ(sim::utf8(text), "192.0.2.1:80");

    SOCKADDR_IN6 a = ipv6({0x2001, 0xdb8, 0, 0, 0, 0, 0, 1});
    chars = 5;
    EXPECT_EQ(WSAAddressToStringW((LPSOCKADDR)&a, sizeof(a), NULL, text, &chars), -1);
    EXPECT_EQ(chars, 12u) << "the size needed";
    chars = 64;
    EXPECT_EQ(WSAAddressToStringW((LPSOCKADDR)&a, sizeof(a) - 1, NULL, text, &chars), -1);
}

using LeaseTimes = SimTest;

TEST_F(LeaseTimes, LocalDateAndTimeUnderTwoZones)
{
    struct Case {
        const char *locale;
        LONG offset;  // minutes east of UTC
        DWORD code;
        ULONG64 t;
        const char *text;
    } cases[] = {
        {"us", 0, 4, utc_seconds(2024, 1, 5, 7, 5, 9), "2024-01-05  07:05:09"},
        {"us", 0, 32, utc_seconds(2024, 1, 5, 7, 5, 9), "Friday, January 5, 2024  7:05:09 AM"},
        {"us", 0, 32, utc_seconds(2024, 1, 5, 19, 5, 9), "Friday, January 5, 2024  7:05:09 PM"},
        {"us", 0, 32, utc_seconds(2024, 1, 5, 0, 0, 0), "Friday, January 5, 2024  12:00:00 AM"},
        {"us", -300, 4, utc_seconds(2024, 1, 5, 12, 5, 9), "2024-01-05  07:05:09"},
        {"us", -300, 32, utc_seconds(2024, 1, 5, 12, 5, 9), "Friday, January 5, 2024  7:05:09 AM"},
        {"us", -300, 4, utc_seconds(2024, 1, 1, 3, 0, 0), "2023-12-31  22:00:00"},
        {"us", -300, 4, 0, "1969-12-31  19:00:00"},
        {"us", 0, 4, 0, "1970-01-01  00:00:00"},
        {"dmy", 600, 4, utc_seconds(2024, 1, 5, 20, 0, 0), "2024-01-06  06:00:00"},
        {"dmy", 600, 32, utc_seconds(2024, 1, 5, 20, 0, 0), "Samstag, 6. Januar 2024  06:00:00"},
        {"dmy", 0, 0x101, utc_seconds(2024, 2, 29, 23, 59, 59), "02.29.2024  23:59:59"},
        {"dmy", 60, 2, utc_seconds(2024, 2, 29, 23, 59, 59), "01.03.24  00:59:59"},
    };
    for (const auto &c : cases) {
        sim::reset();
        if (std::string(c.locale) == "dmy")
            sim::use_day_month_year();
        sim::set_utc_offset(c.offset);
        ValueBuffer v;
        EXPECT_EQ(format_lease_time(v.text, c.code, c.t), 0);
        EXPECT_EQ(v.str(), c.text) << c.locale << " offset " << c.offset << " code " << c.code;
    }
}

TEST_F(LeaseTimes, TwentyFourHourClockForTheNumericFormsOnly)
{
    const ULONG64 t = utc_seconds(2024, 1, 5, 19, 5, 9);
    struct Case {
        DWORD code;
        const char *text;
    } cases[] = {
        {4, "2024-01-05  19:05:09"},       {5, "2024-W01-5  19:05:09"},
        {6, "2024-005  19:05:09"},         {16, "+16075  19:05:09"},
        {18, "T+0  19:05:09"},             {19, "A+154502  19:05:09"},
        {20, "20240105  19:05:09"},        {21, "U+19727  19:05:09"},
        // the whole code decides: with a flag these take the locale's clock
        {0x104, "2024-01-05  7:05:09 PM"}, {0x114, "20240105  7:05:09 PM"},
        {1, "01/05/24  7:05:09 PM"},       {7, "2024-01-05  7:05:09 PM"},
        {33, "1/5/2024  7:05:09 PM"},      {17, "Friday, January 5, 2024  7:05:09 PM"},
    };
    for (const auto &c : cases) {
        sim::reset();
        ValueBuffer v;
        EXPECT_EQ(format_lease_time(v.text, c.code, t), 0);
        EXPECT_EQ(v.str(), c.text) << "code " << c.code;
    }
}

TEST_F(LeaseTimes, LocaleTimeIsAskedPlainly)
{
    // The time is written after the date and its two blanks, into the cells that remain.
    struct Case {
        const char *what;
        std::function<void()> setup;
        DWORD code;
        int chars;
    } cases[] = {
        {"after \"Friday, January 5, 2024  \"", [] {}, 32, 1024 - 25},
        {"after a refused date's two blanks", [] { sim::locale().date_format_fails = true; }, 32,
         1022},
        {"after a date of 1,021 characters", [] {
             sim::set_env("DateForm", "'" + std::string(1021, 'x') + "'");
         }, 35, 1},
    };
    for (const auto &c : cases) {
        sim::reset();
        c.setup();
        ValueBuffer v;
        format_lease_time(v.text, c.code, utc_seconds(2024, 1, 5, 7, 5, 9));
        auto &calls = sim::locale().time_calls;
        ASSERT_EQ(calls.size(), 1u) << c.what;
        EXPECT_EQ(calls[0].locale, 0x0400u) << c.what;
        EXPECT_EQ(calls[0].flags, 0u) << c.what;
        EXPECT_FALSE(calls[0].has_picture) << c.what;
        EXPECT_EQ(calls[0].chars, c.chars) << c.what;
        EXPECT_EQ(calls[0].when.wHour, 7) << c.what;
        EXPECT_EQ(calls[0].when.wMinute, 5) << c.what;
        EXPECT_EQ(calls[0].when.wSecond, 9) << c.what;
    }
}

TEST_F(LeaseTimes, TimesBeyondTheCalendar)
{
    // 30828-09-14 02:48:05: the last second whose file time has its top bit clear
    const ULONG64 last = 910692730085ull;
    struct Case {
        const char *what;
        ULONG64 t;
        DWORD code;
        const char *text;
    } cases[] = {
        {"a lease that never expires", 0xFFFFFFFFFFFFFFFFull, 4, ""},
        {"all bits set, locale clock", 0xFFFFFFFFFFFFFFFFull, 32, ""},
        {"a negative time", (ULONG64)-86400LL, 4, ""},
        {"one past the last second", last + 1, 4, ""},
        {"2^63 seconds", 0x8000000000000000ull, 32, ""},
        {"the last second, a year past SYSTEMTIME's", last, 4, ""},
        {"year 30827: no date, the time", utc_seconds(30827, 12, 31, 23, 59, 59), 4,
         "  23:59:59"},
        {"year 10000: no date, the time", utc_seconds(10000, 1, 1, 7, 5, 9), 32, "  7:05:09 AM"},
        {"the last day of 9999", utc_seconds(9999, 12, 31, 23, 59, 59), 4,
         "9999-12-31  23:59:59"},
    };
    for (const auto &c : cases) {
        ValueBuffer v;
        EXPECT_EQ(format_lease_time(v.text, c.code, c.t), 0) << c.what;
        EXPECT_EQ(v.str(), c.text) << c.what;
    }
}

TEST_F(LeaseTimes, FailedConversionsLeaveTheirPartEmpty)
{
    const ULONG64 t = utc_seconds(2024, 1, 5, 7, 5, 9);
    const std::string date = "Friday, January 5, 2024";
    // A locale time picture of quoted text gives a time of exactly that many characters;
    // after the date and its two blanks 999 cells remain, or 1,022 after a refused date.
    auto time_of = [](size_t chars) {
        return [chars] {
            sim::set_locale_info(LOCALE_STIMEFORMAT, "'" + std::string(chars, 't') + "'");
        };
    };
    auto no_date_and_time_of = [](size_t chars) {
        return [chars] {
            sim::locale().date_format_fails = true;
            sim::set_locale_info(LOCALE_STIMEFORMAT, "'" + std::string(chars, 't') + "'");
        };
    };
    struct Case {
        const char *what;
        std::function<void()> setup;
        std::string text;
    } cases[] = {
        {"no local time", [] { sim::locale().zone_conversion_fails = true; }, ""},
        {"no time text", [] { sim::locale().time_format_fails = true; }, date + "  "},
        {"no date text", [] { sim::locale().date_format_fails = true; }, "  7:05:09 AM"},
        {"a locale time that fills the rest", time_of(998), date + "  " + std::string(998, 't')},
        {"a locale time one longer", time_of(999), date + "  "},
        {"no date, a locale time that fills the rest", no_date_and_time_of(1021),
         "  " + std::string(1021, 't')},
        {"no date, a locale time one longer", no_date_and_time_of(1022), "  "},
    };
    for (const auto &c : cases) {
        sim::reset();
        c.setup();
        ValueBuffer v;
        EXPECT_EQ(format_lease_time(v.text, 32, t), 0) << c.what;
        EXPECT_EQ(v.str(), c.text) << c.what;
        EXPECT_TRUE(v.guard_intact()) << c.what;
    }
    EXPECT_EQ(format_lease_time(NULL, 32, t), -1);
}

TEST_F(LeaseTimes, ALongDateLeavesTheTimeWholeOrOut)
{
    const ULONG64 t = utc_seconds(2024, 1, 5, 7, 5, 9);
    // A user picture of quoted text gives a date of exactly that many characters; 1021
    // is the most a picture of 1023 characters can give. "7:05:09 AM" needs 11 cells.
    struct Case {
        size_t date_chars;
        const char *time;
    } cases[] = {
        {1000, "  7:05:09 AM"}, {1011, "  7:05:09 AM"}, {1012, "  "}, {1021, "  "},
    };
    for (const auto &c : cases) {
        sim::reset();
        sim::set_env("DateForm", "'" + std::string(c.date_chars, 'x') + "'");
        ValueBuffer v;
        EXPECT_EQ(format_lease_time(v.text, 35, t), 0);
        EXPECT_EQ(v.str(), std::string(c.date_chars, 'x') + c.time) << c.date_chars;
        EXPECT_TRUE(v.guard_intact()) << c.date_chars;
    }
}
