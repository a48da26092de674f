// Highlight colours: the places of the setting, its forms, the visibility rules and the
// default, and the registry reader.
#include "harness.h"
#include "src/console/highlight.h"
#include "src/console/pager.h"
#include "src/plugin/host.h"

namespace {

enum Where { Env, UserOwn, MachineOwn, UserFolder, MachineFolder };

struct Setting {
    Where where;
    std::string value;
    DWORD type = REG_SZ;
};

const char *const own_key = "SOFTWARE\\VantrelPlugins\\Nicshow";
const char *const folder_key = "SOFTWARE\\VantrelPlugins";

void put(const Setting &s)
{
    switch (s.where) {
    case Env: sim::set_env("Highlight", s.value); break;
    case UserOwn: sim::set_reg_sz(HKEY_CURRENT_USER, own_key, "Highlight", s.value, s.type); break;
    case MachineOwn: sim::set_reg_sz(HKEY_LOCAL_MACHINE, own_key, "Highlight", s.value, s.type); break;
    case UserFolder: sim::set_reg_sz(HKEY_CURRENT_USER, folder_key, "Highlight", s.value, s.type); break;
    case MachineFolder: sim::set_reg_sz(HKEY_LOCAL_MACHINE, folder_key, "Highlight", s.value, s.type); break;
    }
}

// A REG_SZ of 1024 characters that fills the 2048-byte buffer with no terminator.
void put_unterminated(HKEY root, const char *path)
{
    std::vector<BYTE> data(2048);
    for (size_t i = 0; i < data.size(); i += 2) {
        data[i] = 'A';
        data[i + 1] = 0;
    }
    sim::set_reg_raw(root, path, "Highlight", REG_SZ, data);
}

// The two contrasting highlights of each background: the default's first choice and its
// fallback.
const struct ContrastPair {
    unsigned background;
    int first, second;
} contrast_pairs[16] = {
    {0x0, 0x0F, 0x0E}, {0x1, 0x1F, 0x1B}, {0x2, 0x2F, 0x2B}, {0x3, 0x3F, 0x3E},
    {0x4, 0x4F, 0x4B}, {0x5, 0x5F, 0x5B}, {0x6, 0x6F, 0x6B}, {0x7, 0x70, 0x79},
    {0x8, 0x8F, 0x8B}, {0x9, 0x9F, 0x9B}, {0xA, 0xA0, 0xA9}, {0xB, 0xB0, 0xB9},
    {0xC, 0xCF, 0xC0}, {0xD, 0xD0, 0xDE}, {0xE, 0xE0, 0xEC}, {0xF, 0xF2, 0xF0},
};

}  // namespace

class Highlight : public SimTest {
protected:
    void SetUp() override
    {
        SimTest::SetUp();
        highlight_colors = HighlightColors{};
    }
};

TEST_F(Highlight, EveryPlaceFormAndRule)
{
    struct Case {
        const char *what;
        unsigned normal;
        std::vector<Setting> settings;
        int expected;  // the highlight; 0 when highlighting is off
        bool console = true;
        int parsed_fg = -2, parsed_bg = -2;  // the host's parser answers these when >= -1
        DWORD console_mode = 3;              // what the console mode query of a console says
    } cases[] = {
        // where standard output goes
        {"output to a file", 0x07, {{Env, "0x1E"}}, 0, false},
        {"output to a file, nothing set", 0x07, {}, 0, false},
        {"a console mode of all ones is no console", 0x07, {{Env, "0x1E"}}, 0, true, -2, -2,
         0xFFFFFFFF},
        // the default, from the normal colour
        {"default on light grey/black", 0x07, {}, 0x0F},
        {"default on light grey/blue", 0x17, {}, 0x1F},
        {"default, bright white equals the first row", 0x0F, {}, 0x0E},
        {"default, black on light grey equals the first row", 0x70, {}, 0x79},
        {"default, dark grey foreground", 0x08, {}, 0x0F},
        {"default, bright background", 0x9E, {}, 0x9F},
        {"default, black foreground", 0x10, {}, 0x1F},
        {"normal black on black", 0x00, {}, 0},
        {"normal light grey on light grey", 0x77, {}, 0},
        {"normal equal colours beat a setting", 0x77, {{Env, "0x1E"}}, 0},
        // the shell's attribute with bits above the colours (underscore, reverse video, grid)
        {"default, bits above 0xFF are no colour", 0x8017, {}, 0x1F},
        {"equal colours under bits above 0xFF", 0x4077, {}, 0},
        {"inv under bits above 0xFF", 0x801F, {{Env, "inv"}}, 0x71},
        {"setting equal to the normal colour under bits above 0xFF", 0x0807, {{Env, "0x07"}}, 0},
        // "inv"
        {"inv", 0x1F, {{Env, "inv"}}, 0x71},
        {"INVERSE", 0x1F, {{Env, "INVERSE"}}, 0x71},
        {"Invisible, any longer word", 0x1F, {{Env, "Invisible"}}, 0x71},
        {"inv drops the intensity of the new background", 0x9C, {{Env, "inv"}}, 0x49},
        {"inv of blue on bright blue is blue on blue", 0x19, {{Env, "inv"}}, 0},
        {"in is not inv", 0x1F, {{Env, "in"}}, 0},
        // "0x.."
        {"0x1E", 0x07, {{Env, "0x1E"}}, 0x1E},
        {"0X1e in other cases", 0x07, {{Env, "0X1e"}}, 0x1E},
        {"0x0e: foreground only, background black", 0x17, {{Env, "0x0e"}}, 0x0E},
        {"0x1f: a lower-case f", 0x07, {{Env, "0x1f"}}, 0x1F},
        {"0x1f in the registry", 0x07, {{UserOwn, "0x1f"}}, 0x1F},
        {"0x77 same foreground and background", 0x07, {{Env, "0x77"}}, 0},
        {"0x07 equal to the normal colour", 0x07, {{Env, "0x07"}}, 0},
        {"0x0F: only the foreground differs from the normal pair", 0x07, {{Env, "0x0F"}}, 0x0F},
        {"0x17: only the background differs from the normal pair", 0x07, {{Env, "0x17"}}, 0x17},
        {"0x0F in the registry", 0x07, {{UserOwn, "0x0F"}}, 0x0F},
        {"0x17 in the registry", 0x07, {{MachineFolder, "0x17"}}, 0x17},
        {"0x1e: lower-case digits", 0x07, {{Env, "0x1e"}}, 0x1E},
        {"0x1a, the first lower-case digit", 0x07, {{Env, "0x1a"}}, 0x1A},
        {"0x1g: a lower-case letter past f", 0x07, {{Env, "0x1g"}}, 0},
        {"0x1`: the character before a", 0x07, {{Env, "0x1`"}}, 0},
        {"0x1A, the first upper-case digit", 0x07, {{Env, "0x1A"}}, 0x1A},
        {"0x1@: the character before A", 0x07, {{Env, "0x1@"}}, 0},
        {"0x19, the last decimal digit", 0x07, {{Env, "0x19"}}, 0x19},
        {"0x1:, the character after 9", 0x07, {{Env, "0x1:"}}, 0},
        {"0x10, the first decimal digit", 0x07, {{Env, "0x10"}}, 0x10},
        {"0x1/, the character before 0", 0x07, {{Env, "0x1/"}}, 0},
        {"0x alone", 0x07, {{Env, "0x"}}, 0},
        {"0x and no hexadecimal digit", 0x07, {{Env, "0xG1"}}, 0},
        {"0x and a digit before the fault: none of it is taken", 0x07,
         {{Env, "0x1G"}, {UserOwn, "0x1A"}}, 0},
        {"0x with trailing blanks", 0x07, {{Env, "0x1E  "}}, 0},
        {"0x with a blank before the digits", 0x07, {{Env, "0x 1E"}}, 0},
        {"0x with a sign", 0x07, {{Env, "0x-1E"}}, 0},
        {"0x beyond 32 bits", 0x07, {{Env, "0x100000001"}}, 0},
        {"0x beyond 8 bits that would alias the normal colour", 0x07, {{Env, "0x107"}}, 0},
        {"0x beyond 8 bits that would be invisible", 0x07, {{Env, "0x177"}}, 0},
        // the host's parser
        {"parser: bright yellow", 0x1F, {{Env, "bright yellow"}}, 0x1E},
        {"parser: bright yellow on red", 0x07, {{Env, "bright yellow on red"}}, 0x4E},
        {"parser: not a colour", 0x07, {{Env, "purple"}}, 0},
        {"parser: fg 14, no background", 0x1F, {{Env, "x"}}, 0x1E, true, 14, -1},
        {"parser: fg 14, background 64", 0x1F, {{Env, "x"}}, 0x1E, true, 14, 64},
        {"parser: black, background 64", 0x1F, {{Env, "x"}}, 0x10, true, 0, 64},
        {"parser: black, no background", 0x1F, {{Env, "x"}}, 0x10, true, 0, -1},
        {"parser: fg 15 is the normal foreground", 0x1F, {{Env, "x"}}, 0, true, 15, -1},
        {"parser: fg 1 is invisible on blue", 0x1F, {{Env, "x"}}, 0, true, 1, -1},
        {"parser: nothing, background 64", 0x1F, {{Env, "x"}}, 0, true, -1, 64},
        {"parser: nothing at all", 0x1F, {{Env, "x"}}, 0, true, -1, -1},
        {"parser: background only", 0x1F, {{Env, "x"}}, 0, true, -1, 4},
        {"parser: fg 14 on 4", 0x1F, {{Env, "x"}}, 0x4E, true, 14, 4},
        {"parser: the normal pair", 0x1F, {{Env, "x"}}, 0, true, 15, 1},
        {"parser: only the foreground differs from the normal pair", 0x1F, {{Env, "x"}}, 0x1E,
         true, 14, 1},
        {"parser: only the background differs from the normal pair", 0x1F, {{Env, "x"}}, 0x4F,
         true, 15, 4},
        {"parser: equal pair", 0x1F, {{Env, "x"}}, 0, true, 4, 4},
        {"parser: another negative background", 0x1F, {{Env, "x"}}, 0, true, 14, -5},
        {"parser: foreground out of range", 0x1F, {{Env, "x"}}, 0, true, 16, -1},
        // the places and their order
        {"user's own key", 0x07, {{UserOwn, "0x1A"}}, 0x1A},
        {"machine's own key", 0x07, {{MachineOwn, "0x1B"}}, 0x1B},
        {"user's folder key", 0x07, {{UserFolder, "0x1C"}}, 0x1C},
        {"machine's folder key", 0x07, {{MachineFolder, "0x1D"}}, 0x1D},
        {"environment before the registry", 0x07,
         {{Env, "0x1E"}, {UserOwn, "0x1A"}, {MachineFolder, "0x1D"}}, 0x1E},
        {"user before machine", 0x07, {{UserOwn, "0x1A"}, {MachineOwn, "0x1B"}}, 0x1A},
        {"own key before folder key", 0x07, {{MachineOwn, "0x1B"}, {UserFolder, "0x1C"}}, 0x1B},
        {"user folder before machine folder", 0x07,
         {{UserFolder, "0x1C"}, {MachineFolder, "0x1D"}}, 0x1C},
        {"empty environment variable counts as not set", 0x07,
         {{Env, ""}, {UserFolder, "0x1C"}}, 0x1C},
        {"REG_EXPAND_SZ is passed over", 0x07,
         {{UserOwn, "0x1A", REG_EXPAND_SZ}, {MachineOwn, "0x1B"}}, 0x1B},
        {"empty REG_SZ is passed over", 0x07, {{UserOwn, ""}, {MachineFolder, "0x1D"}}, 0x1D},
        {"malformed environment wins over the registry", 0x07,
         {{Env, "0xZZ"}, {UserOwn, "0x1A"}}, 0},
        {"malformed first registry value wins over the next", 0x07,
         {{UserOwn, "0x1G"}, {MachineOwn, "0x1B"}}, 0},
        {"invisible first setting wins over the next", 0x07,
         {{UserOwn, "0x77"}, {MachineOwn, "0x1B"}}, 0},
    };
    for (const auto &c : cases) {
        sim::reset();
        highlight_colors = HighlightColors{};
        sim::console().stdout_is_console = c.console;
        sim::console().stdout_mode = c.console_mode;
        sim::host().normal_attr = c.normal;
        for (const auto &s : c.settings)
            put(s);
        if (c.parsed_fg >= -1) {
            sim::host().parse_colors_scripted = true;
            sim::host().parse_colors_fg = c.parsed_fg;
            sim::host().parse_colors_bg = c.parsed_bg;
        }
        int rc = init_highlight_colors();
        EXPECT_EQ(rc, c.expected) << c.what;
        EXPECT_EQ(highlight_colors.highlight, c.expected) << c.what;
        EXPECT_EQ(highlight_colors.normal, c.expected ? c.normal & 0xFF : 0u) << c.what;
        EXPECT_EQ(sim::kernel().reg_open_keys, 0) << c.what << ": a key left open";
    }
}

TEST_F(Highlight, EnvironmentValueLongerThanTheBufferCountsAsNotSet)
{
    struct Case {
        size_t length;
        int expected;
    } cases[] = {
        {1023, 0x1E},  // fits with its terminator: the colours, then blanks the parser passes over
        {1024, 0x1C},
        {5000, 0x1C},
    };
    for (const auto &c : cases) {
        sim::reset();
        highlight_colors = HighlightColors{};
        sim::console().stdout_is_console = true;
        std::string value = "bright yellow on blue";
        value.resize(c.length, ' ');
        sim::set_env("Highlight", value);
        put({UserFolder, "0x1C"});
        EXPECT_EQ(init_highlight_colors(), c.expected) << "length " << c.length;
    }
}

TEST_F(Highlight, UnterminatedRegistryValueIsPassedOver)
{
    sim::console().stdout_is_console = true;
    put_unterminated(HKEY_CURRENT_USER, own_key);
    put({MachineOwn, "0x1B"});
    EXPECT_EQ(init_highlight_colors(), 0x1B);
}

TEST_F(Highlight, DefaultForEveryNormalColourIsVisibleAndDistinct)
{
    for (unsigned normal = 0; normal < 256; normal++) {
        sim::reset();
        highlight_colors = HighlightColors{};
        sim::console().stdout_is_console = true;
        sim::host().normal_attr = normal;
        int h = init_highlight_colors();
        unsigned fg = normal & 15, bg = normal >> 4;
        if (fg == bg) {
            EXPECT_EQ(h, 0) << std::hex << "normal " << normal;
            continue;
        }
        ASSERT_NE(h, 0) << std::hex << "normal " << normal;
        EXPECT_NE((unsigned)h, normal) << std::hex << "looks like normal text: " << normal;
        EXPECT_NE(h & 15, h >> 4) << std::hex << "invisible for normal " << normal;
        EXPECT_EQ((unsigned)h >> 4, bg) << std::hex << "background changed for " << normal;
        if (!(fg & 8) && !(bg & 8) && fg != 0) {
            EXPECT_EQ((unsigned)h, normal | 8) << std::hex << "not the bright form of " << normal;
        } else {
            EXPECT_TRUE(h == contrast_pairs[bg].first || h == contrast_pairs[bg].second)
                << std::hex << "not from the table for " << normal;
        }
        EXPECT_EQ(highlight_colors.normal, normal);
    }
}

TEST_F(Highlight, DefaultTakesTheContrastTableEntryOfTheBackground)
{
    // Without a setting, a bright or black foreground or a bright background takes the
    // first row's entry, and the second row's where the first is the normal colour.
    for (const auto &c : contrast_pairs) {
        // Dark grey, or bright blue on dark grey: a foreground that no first-row entry has.
        const unsigned other = c.background << 4 | (c.background == 8 ? 9 : 8);
        for (unsigned normal : {other, (unsigned)c.first}) {
            sim::reset();
            highlight_colors = HighlightColors{};
            sim::console().stdout_is_console = true;
            sim::host().normal_attr = normal;
            EXPECT_EQ(init_highlight_colors(), normal == other ? c.first : c.second)
                << std::hex << "normal " << normal;
        }
    }
}

TEST_F(Highlight, WithoutInitLineEndsAndValuesNeverTouchTheColour)
{
    // /D: the record stays cleared and init is not called.
    sim::console().stdout_is_console = true;
    sim::console().attr = 0x1F;
    EXPECT_EQ(write_highlighted(TEXT("host"), 1), 0);
    EXPECT_EQ(end_line(), 0);
    EXPECT_EQ(end_lines(2), 0);
    EXPECT_TRUE(sim::console().attr_log.empty());
    EXPECT_TRUE(sim::host().set_colors.empty());
    EXPECT_EQ(sim::out(), "host\r\n\r\n\r\n\r\n");
    EXPECT_EQ(sim::con(), "");
}

using RegistryValue = SimTest;

TEST_F(RegistryValue, ResultsAndTextForEveryKindOfValue)
{
    const char16_t *own = u"SOFTWARE\\VantrelPlugins\\Nicshow";
    auto raw = [](std::vector<BYTE> data, DWORD type = REG_SZ) {
        sim::set_reg_raw(HKEY_CURRENT_USER, own_key, "Highlight", type, data);
    };
    auto chars = [](size_t n, bool terminated) {
        std::vector<BYTE> d;
        for (size_t i = 0; i < n; i++)
            d.insert(d.end(), {BYTE('a' + i % 26), 0});
        if (terminated)
            d.insert(d.end(), {0, 0});
        return d;
    };
    struct Case {
        const char *what;
        std::function<void()> setup;
        const char16_t *path;
        LONG rc;
        std::string text;
    } cases[] = {
        {"REG_SZ", [] { put({UserOwn, "bright red"}); }, own, 0, "bright red"},
        {"no such key", [] {}, own, ERROR_FILE_NOT_FOUND, ""},
        {"key without the value", [] { sim::add_reg_key(HKEY_CURRENT_USER, own_key); }, own,
         ERROR_FILE_NOT_FOUND, ""},
        {"REG_EXPAND_SZ", [] { put({UserOwn, "red", REG_EXPAND_SZ}); }, own, ERROR_INVALID_DATA, ""},
        {"REG_DWORD", [&] { raw({0x1E, 0, 0, 0}, REG_DWORD); }, own, ERROR_INVALID_DATA, ""},
        {"empty REG_SZ", [] { put({UserOwn, ""}); }, own, ERROR_NO_DATA, ""},
        {"REG_SZ of no bytes", [&] { raw({}); }, own, ERROR_NO_DATA, ""},
        {"stored without terminator", [&] { raw(chars(4, false)); }, own, 0, "abcd"},
        {"odd byte count", [&] { raw({'r', 0, 'e', 0, 'd'}); }, own, 0, "re"},
        {"1023 characters and terminator", [&] { raw(chars(1023, true)); }, own, 0,
         sim::utf8(std::u16string((const char16_t *)chars(1023, false).data(), 1023))},
        {"1023 characters, no terminator", [&] { raw(chars(1023, false)); }, own, 0,
         sim::utf8(std::u16string((const char16_t *)chars(1023, false).data(), 1023))},
        {"1024 characters filling the buffer, no terminator", [&] { raw(chars(1024, false)); },
         own, ERROR_MORE_DATA, ""},
        {"longer than the buffer", [&] { raw(chars(1500, true)); }, own, ERROR_MORE_DATA, ""},
    };
    for (const auto &c : cases) {
        sim::reset();
        c.setup();
        WCHAR text[1024 + 4];
        for (auto &ch : text)
            ch = u'Z';
        EXPECT_EQ(read_highlight_value(HKEY_CURRENT_USER, c.path, text), c.rc) << c.what;
        EXPECT_EQ(sim::utf8(text), c.text) << c.what;
        for (int i = 1024; i < 1028; i++)
            EXPECT_EQ(text[i], u'Z') << c.what << ": written past the buffer at " << i;
        EXPECT_EQ(sim::kernel().reg_open_keys, 0) << c.what << ": key left open";
    }
}

TEST_F(RegistryValue, MissingArgumentsLeaveTheTextAlone)
{
    WCHAR text[1024] = {u'K', 0};
    EXPECT_EQ(read_highlight_value(HKEY_CURRENT_USER, NULL, text), -1);
    EXPECT_EQ(read_highlight_value(HKEY_CURRENT_USER, u"", text), -1);
    EXPECT_EQ(sim::utf8(text), "K");
    EXPECT_EQ(read_highlight_value(HKEY_CURRENT_USER, u"SOFTWARE", NULL), -1);
}
