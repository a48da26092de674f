// The usage text, and the Usage and Help exports.
#include "harness.h"
#include "src/plugin/usage.h"

// The whole text as UTF-8, written out here independently of the source.
extern const char expected_usage_text[];
const char expected_usage_text[] =
    "Display IP interface information.\n\n"
    "NICSHOW /A /B /D /I /L /P /Q /R /S /T /U /X wildmask\r\n\n"
    "\t/A or /ALL \tshow detailed info on all adapters\n"
    "\t/B or /BOUNCE \trelease and then renew IPv4 addresses  \n"
    "\t/D \t\tdisable highlight\n"
    "\t/I \t\tshow more detailed information\n"
    "\t/L \t\tinclude loopback adapters\n"
    "\t/P \t\tpage output\n"
    "\t/Q \t\tquietly  (affects /B /R and /X)\n"
    "\t/R or /RENEW \trenew IPv4 addresses\n"
    "\t/S \t\tmake sounds  (affects /B /R and /X)\n"
    "\t/T \t\tinclude tunnel adapters\n"
    "\t/U \t\tinclude disconnected adapters\n"
    "\t/X or /RELEASE \trelease IPv4 addresses\n\n"
    "With no options, the default is to display basic info on all except\n"
    "tunnel, loopback, and disconnected adapters.  If wildmask is given,  \n"
    "only adapters with matching \xE2\x80\x98" "friendly\xE2\x80\x99 names will be listed\n"
    "(released, renewed). \n";

// What Usage gives: the text from the syntax line on.
static std::string usage_proper()
{
    std::string whole = expected_usage_text;
    return whole.substr(whole.find("NICSHOW /A"));
}

using UsageText = SimTest;

TEST_F(UsageText, IsByteForByteTheCommandsText)
{
    EXPECT_EQ(sim::utf8(nicshow_usage_text), expected_usage_text);
    ASSERT_EQ(sizeof(usage_table) / sizeof(usage_table[0]), 1u);
    EXPECT_EQ(sim::utf8(usage_table[0].name), "nicshow");
    EXPECT_EQ(usage_table[0].text, nicshow_usage_text);
}

TEST_F(UsageText, QuotesAreTheTypographicOnes)
{
    std::u16string text = nicshow_usage_text;
    size_t open = text.find(u'\u2018');
    ASSERT_NE(open, std::u16string::npos);
    EXPECT_EQ(text.substr(open, 10), u"\u2018friendly\u2019");
    EXPECT_EQ(text.find(u'\''), std::u16string::npos) << "no straight quote belongs in the text";
}

using UsageExport = SimTest;

TEST_F(UsageExport, KnownNameInAnyCaseGivesTheUsageProper)
{
    for (const char *name : {"nicshow", "NICSHOW", "NicShow", "nICSHOw"}) {
        sim::reset();
        std::u16string n = sim::utf16(name);
        WCHAR text[1024];
        text[0] = 0xBEEF;
        EXPECT_EQ(Usage(&n[0], text), 1) << name;
        EXPECT_EQ(sim::utf8(text), usage_proper()) << name;
        EXPECT_EQ(sim::all(), "") << "Usage writes nothing to the streams";
    }
}

TEST_F(UsageExport, OtherNamesGiveZeroAndLeaveTheBufferAlone)
{
    struct Case {
        const char *name, *why;  // a null name is passed as NULL
        bool no_buffer;
    } cases[] = {
        {"@nicshow", "a function name", false},
        {"_nicshow", "a variable name", false},
        {"@NICSHOW", "a function name in upper case", false},
        {"ipconfig", "another command", false},
        {"nicshow2", "a longer name", false},
        {"nicsho", "a shorter name", false},
        {"", "an empty name", false},
        {nullptr, "a null name", false},
        {"nicshow", "the command's name and a null buffer", true},
        {nullptr, "a null name and a null buffer", true},
    };
    for (const auto &c : cases) {
        const std::u16string given = sim::utf16(c.name ? c.name : "");
        std::u16string n = given;
        WCHAR text[1024];
        text[0] = 0xBEEF;
        text[1] = 0xBEEF;
        EXPECT_EQ(Usage(c.name ? &n[0] : NULL, c.no_buffer ? NULL : text), 0) << c.why;
        // Without a buffer there is nothing to look at but the result and the name.
        if (!c.no_buffer) {
            EXPECT_EQ(text[0], 0xBEEF) << c.why;
            EXPECT_EQ(text[1], 0xBEEF) << c.why;
        }
        EXPECT_EQ(n, given) << c.why << ": the host's name is not the plug-in's to change";
    }
    EXPECT_EQ(sim::all(), "");
}

using HelpExport = SimTest;

TEST_F(HelpExport, ShowsTheWholeTextOwnedByTheForegroundWindow)
{
    std::u16string n = u"NicShow";
    sim::kernel().message_box_result = -1;  // as under Wine without a display
    EXPECT_EQ(Help(&n[0]), 1);
    ASSERT_EQ(sim::kernel().boxes.size(), 1u);
    const auto &box = sim::kernel().boxes[0];
    EXPECT_EQ(box.owner, GetForegroundWindow());
    EXPECT_EQ(sim::utf8(box.caption), "Nicshow Plugin Help");
    EXPECT_EQ(sim::utf8(box.text), expected_usage_text);
    EXPECT_EQ(box.type, (UINT)MB_OK);
    EXPECT_EQ(sim::all(), "");
}

TEST_F(HelpExport, OtherNamesShowNothing)
{
    for (const char *name : {"ipconfig", "", "nicshow "}) {
        std::u16string n = sim::utf16(name);
        EXPECT_EQ(Help(&n[0]), 0) << "'" << name << "'";
    }
    // Help has no test for a leading @ or _: the lookup alone refuses them.
    std::u16string at = u"@nicshow";
    EXPECT_EQ(Help(&at[0]), 0);
    EXPECT_EQ(Help(NULL), 0);
    EXPECT_TRUE(sim::kernel().boxes.empty());
}
