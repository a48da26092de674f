// The host's portable logic: variable expansion, colour descriptions, wildcards.
#include <gtest/gtest.h>

#include <string>

#include "host/portable.h"
#include "sim/sim.h"

static std::string expand(const std::string &text, size_t capacity = 1024)
{
    std::u16string buffer = sim::utf16(text);
    buffer.resize(std::max(capacity, buffer.size() + 1), u'\0');
    hostlogic::expand_variables(&buffer[0], capacity, [](const std::u16string &name,
                                                         std::u16string &value) {
        std::u16string n = hostlogic::upper(name);
        if (n == u"_BATCH") value = u"0";
        else if (n == u"_BATCHNAME") value = u"C:\\100%\\run.btm";
        else if (n == u"EMPTY") value = u"";
        else return false;
        return true;
    });
    return sim::utf8(buffer.c_str());
}

TEST(HostExpand, Forms)
{
    struct Case {
        const char *in, *out;
    } cases[] = {
        {"%_batch", "0"},
        {"%[_batch]%[_batch]", "00"},
        {"%_BATCH%x", "0x"},
        {"%_batchname [%_batch]  ", "C:\\100%\\run.btm [0]  "},
        {"%[undefined]%[empty]", ""},
        {"%undefined%", ""},
        {"100%% sure", "100% sure"},
        {"50% off", "50% off"},
        {"%[unclosed", "%[unclosed"},
        {"trailing %", "trailing %"},
        {"no variables", "no variables"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(expand(c.in), c.out) << c.in;
}

TEST(HostExpand, ResultIsCutToTheBuffer)
{
    std::string long_text(2000, 'x');
    EXPECT_EQ(expand(long_text, 1024), std::string(1023, 'x'));
    EXPECT_EQ(expand("%_batchname", 5), "C:\\1");
}

TEST(HostColors, Descriptions)
{
    struct Case {
        const char *text;
        int fg, bg;
        size_t end;  // where the description ends in the text
    } cases[] = {
        {"bright yellow on blue", 14, 1, 21},
        {"YELLOW", 6, -1, 6},
        {"brown on black", 6, 0, 14},
        {"bright white on bright red", 15, 12, 26},
        {"white on", 7, -1, 8},
        {"purple", -1, -1, 0},
        {"red on purple", 4, -1, 6},
        {"", -1, -1, 0},
        {"  green   on   cyan  ", 2, 3, 19},
        {"blue on red text after it", 1, 4, 11},
        {"blue on red on green", 1, 4, 11},
    };
    for (const auto &c : cases) {
        int fg = -1, bg = -1;
        std::u16string text = sim::utf16(c.text);
        const char16_t *end = hostlogic::parse_colors(text.c_str(), &fg, &bg);
        EXPECT_EQ(fg, c.fg) << c.text;
        EXPECT_EQ(bg, c.bg) << c.text;
        EXPECT_EQ(end - text.c_str(), (ptrdiff_t)c.end) << c.text;
    }
    EXPECT_EQ(hostlogic::parse_colors(nullptr, nullptr, nullptr), nullptr);
}

TEST(HostWildcard, Patterns)
{
    struct Case {
        const char *pattern, *name;
        int result;
    } cases[] = {
        {"ETH*", "eth0", 0},
        {"eth*", "Ethernet 2", 0},
        {"eth*", "wlan0", 1},
        {"*", "", 0},
        {"?", "", 1},
        {"e?h0", "ETH0", 0},
        {"[a-f]th0", "eth0", 0},
        {"[!e]th0", "eth0", 1},
        {"[^x]th0", "eth0", 0},
        {"*LAN*", "Wireless LAN adapter", 0},
        {"*2", "Ethernet 2", 0},
        {"*2", "Ethernet 20", 1},
        {"", "", 0},
        {"", "x", 1},
        {"a*b*c", "aXbYc", 0},
        {"a*b*c", "aXbY", 1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(hostlogic::wildcard_compare(sim::utf16(c.pattern).c_str(),
                                              sim::utf16(c.name).c_str()),
                  c.result)
            << c.pattern << " vs " << c.name;
}

TEST(HostWildcard, LongPatternsOfStarsDoNotExplode)
{
    std::string pattern;
    for (int i = 0; i < 4000; i++)
        pattern += "*a";
    pattern += "b";
    std::string name(3000, 'a');
    EXPECT_EQ(hostlogic::wildcard_compare(sim::utf16(pattern).c_str(), sim::utf16(name).c_str()),
              1);
}
