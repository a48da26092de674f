// The /P switch word and the unsigned number reader.
#include "harness.h"
#include "src/console/pause_option.h"

static const DWORD SENTINEL = 0xDEADBEEF;
static const DWORD FIT = 0xFFFFFFFF;

struct PauseCase {
    const char *word;
    int result;
    DWORD pause_ms, lines;
    const char *word_after;  // the word once the call is done (upper-cased for most messages)
    const char *err;
};

static void check_pause_cases(const std::vector<PauseCase> &cases)
{
    for (const auto &c : cases) {
        sim::reset();
        pager.pause_ms = SENTINEL;
        DWORD lines = SENTINEL;
        std::u16string word = sim::utf16(c.word);
        EXPECT_EQ(parse_pause_option(&word[0], &lines), c.result) << c.word;
        EXPECT_EQ(pager.pause_ms, c.pause_ms) << c.word;
        EXPECT_EQ(lines, c.lines) << c.word;
        EXPECT_EQ(sim::utf8(word), c.word_after) << c.word;
        EXPECT_EQ(sim::err(), c.err) << c.word;
        EXPECT_EQ(sim::out(), "") << c.word;
    }
}

using PauseOption = SimTest;

TEST_F(PauseOption, WellFormedWordsSetTimeAndLines)
{
    check_pause_cases({
        {"/P", 0, 0, FIT, "/P", ""},
        {"/p", 0, 0, FIT, "/p", ""},
        {"-P", 0, 0, FIT, "-P", ""},
        {"/p:", 0, 0, FIT, "/p:", ""},
        {"/P=", 0, 0, FIT, "/P=", ""},
        {"/P:10", 0, 10000, FIT, "/P:10", ""},
        {"/P5", 0, 5000, FIT, "/P5", ""},
        {"/P=500m", 0, 500, FIT, "/P=500m", ""},
        {"/P=500M", 0, 500, FIT, "/P=500M", ""},
        {"/P:0x1E", 0, 30000, FIT, "/P:0x1E", ""},
        {"/P:0X1em", 0, 30, FIT, "/P:0X1em", ""},
        {"/P,20", 0, 0, 20, "/P,20", ""},
        {"/P:5;30", 0, 5000, 30, "/P:5;30", ""},
        {"/P:2,", 0, 2000, FIT, "/P:2,", ""},
        {"/P;", 0, 0, FIT, "/P;", ""},
        {"/P,0", 0, 0, 0, "/P,0", ""},
        {"/P,1000", 0, 0, 1000, "/P,1000", ""},
        {"/P,0x10", 0, 0, 16, "/P,0x10", ""},
        {"-p:3", 0, 3000, FIT, "-p:3", ""},
        {"/P:0", 0, 0, FIT, "/P:0", ""},
        {"/P:4294967", 0, 4294967000u, FIT, "/P:4294967", ""},
        {"/P:4294967295m", 0, 4294967295u, FIT, "/P:4294967295m", ""},
    });
}

TEST_F(PauseOption, OtherWordsAreLeftAlone)
{
    check_pause_cases({
        {"/Q", 0, SENTINEL, SENTINEL, "/Q", ""},
        {"-x", 0, SENTINEL, SENTINEL, "-x", ""},
        {"P:5", 0, SENTINEL, SENTINEL, "P:5", ""},
        {"/", 0, SENTINEL, SENTINEL, "/", ""},
        {"", 0, SENTINEL, SENTINEL, "", ""},
    });
    DWORD lines = SENTINEL;
    EXPECT_EQ(parse_pause_option(NULL, &lines), -1);
    EXPECT_EQ(lines, SENTINEL);
    EXPECT_EQ(sim::all(), "");
}

TEST_F(PauseOption, MalformedWordsAreReportedInUpperCase)
{
    check_pause_cases({
        {"/p:5s", 1, 5000, FIT, "/P:5S", "Nicshow plugin: Syntax error: \"/P:5S\"\r\n"},
        {"/page", 1, 0, FIT, "/PAGE", "Nicshow plugin: Syntax error: \"/PAGE\"\r\n"},
        {"/p,x", 1, 0, FIT, "/P,X", "Nicshow plugin: Syntax error: \"/P,X\"\r\n"},
        {"/p:0x", 1, 0, FIT, "/P:0X", "Nicshow plugin: Syntax error: \"/P:0X\"\r\n"},
        {"/p::5", 1, 0, FIT, "/P::5", "Nicshow plugin: Syntax error: \"/P::5\"\r\n"},
        {"/p:5,3,", 1, 5000, 3, "/P:5,3,", "Nicshow plugin: Syntax error: \"/P:5,3,\"\r\n"},
        {"/p:-5", 1, 0, FIT, "/P:-5", "Nicshow plugin: Syntax error: \"/P:-5\"\r\n"},
        {"/p: 5", 1, 0, FIT, "/P: 5", "Nicshow plugin: Syntax error: \"/P: 5\"\r\n"},
        {"/p:\u00e9", 1, 0, FIT, "/P:\u00c9", "Nicshow plugin: Syntax error: \"/P:\u00c9\"\r\n"},
        {"/p:99999999999", 1, 0, FIT, "/P:99999999999",
         "Nicshow plugin: Bad pause time: \"/P:99999999999\"\r\n"},
        {"/p:4294967296m", 1, 0, FIT, "/P:4294967296M",
         "Nicshow plugin: Bad pause time: \"/P:4294967296M\"\r\n"},
        {"/p,99999999999", 1, 0, FIT, "/P,99999999999",
         "Nicshow plugin: Bad pause lines: \"/P,99999999999\"\r\n"},
        {"/p:1;0x100000000", 1, 1000, FIT, "/P:1;0X100000000",
         "Nicshow plugin: Bad pause lines: \"/P:1;0X100000000\"\r\n"},
    });
}

TEST_F(PauseOption, LinesAboveAThousandKeepTheWordAsTyped)
{
    check_pause_cases({
        {"/p,1001", 1, 0, FIT, "/p,1001", "Nicshow plugin: Pause lines must be 0 - 1000: 1001\r\n"},
        {"/p:3m;4294967295", 1, 3, FIT, "/p:3m;4294967295",
         "Nicshow plugin: Pause lines must be 0 - 1000: 4294967295\r\n"},
    });
}

// Seconds that would wrap past 32 bits once multiplied by 1000 (5000000 s would come out
// as about 49 seconds) are refused instead.
TEST_F(PauseOption, SecondsThatWouldWrapAreABadTime)
{
    check_pause_cases({
        {"/p:4294968", 1, 0, FIT, "/P:4294968", "Nicshow plugin: Bad pause time: \"/P:4294968\"\r\n"},
        {"/p:5000000", 1, 0, FIT, "/P:5000000", "Nicshow plugin: Bad pause time: \"/P:5000000\"\r\n"},
        {"/p:0xFFFFFFFF,5", 1, 0, FIT, "/P:0XFFFFFFFF,5",
         "Nicshow plugin: Bad pause time: \"/P:0XFFFFFFFF,5\"\r\n"},
        {"/p:5000000m", 0, 5000000, FIT, "/p:5000000m", ""},
    });
}

TEST_F(PauseOption, ErrorPrefixNamesTheBatchFile)
{
    sim::set_host_var("_batch", "1");
    sim::set_host_var("_batchname", "C:\\net.btm");
    sim::set_host_var("_batchline", "4");
    std::u16string word = u"/px";
    DWORD lines = 0;
    EXPECT_EQ(parse_pause_option(&word[0], &lines), 1);
    EXPECT_EQ(sim::err(), "Nicshow plugin: C:\\net.btm [4]  Syntax error: \"/PX\"\r\n");
}

struct UnsignedCase {
    const char *text;
    bool prefix;
    int result;
    DWORD value;
    int end;  // offset of the end position; -1: left untouched
};

using ParseUnsigned = SimTest;

TEST_F(ParseUnsigned, BothModes)
{
    const UnsignedCase cases[] = {
        // whole word
        {"32", false, 0, 32, -1},
        {"0x20", false, 0, 32, -1},
        {"0X2f", false, 0, 47, -1},
        {"0xf", false, 0, 15, -1},
        {"0", false, 0, 0, -1},
        {"4294967295", false, 0, 4294967295u, -1},
        {"0xFFFFFFFF", false, 0, 4294967295u, -1},
        {"4294967296", false, ERANGE, SENTINEL, -1},
        {"0x100000000", false, ERANGE, SENTINEL, -1},
        {"32k", false, -1, SENTINEL, -1},
        {"", false, -1, SENTINEL, -1},
        {"0x", false, -1, SENTINEL, -1},
        {"0xg", false, -1, SENTINEL, -1},
        {"0x0x5", false, -1, SENTINEL, -1},
        {" 32", false, -1, SENTINEL, -1},
        {"+32", false, -1, SENTINEL, -1},
        {"-1", false, -1, SENTINEL, -1},
        {"x20", false, -1, SENTINEL, -1},
        {"32 ", false, -1, SENTINEL, -1},
        // prefix
        {"32k", true, 0, 32, 2},
        {"0x20,5", true, 0, 32, 4},
        {"0x", true, 0, 0, 1},
        {"0xg", true, 0, 0, 1},
        {"0x0x5", true, 0, 0, 3},
        {"4294967295M", true, 0, 4294967295u, 10},
        {"4294967296M", true, ERANGE, SENTINEL, -1},
        {"", true, -1, SENTINEL, -1},
        {"k32", true, -1, SENTINEL, -1},
    };
    for (const auto &c : cases) {
        std::u16string text = sim::utf16(c.text);
        DWORD value = SENTINEL;
        LPCWSTR end = (LPCWSTR)&SENTINEL;
        int rc = parse_unsigned(text.c_str(), c.prefix ? &end : NULL, &value);
        std::string what = std::string(c.prefix ? "prefix " : "whole ") + "'" + c.text + "'";
        EXPECT_EQ(rc, c.result) << what;
        EXPECT_EQ(value, c.value) << what;
        if (c.end < 0)
            EXPECT_EQ(end, (LPCWSTR)&SENTINEL) << what;
        else
            EXPECT_EQ(end - text.c_str(), c.end) << what;
    }
    EXPECT_EQ(sim::all(), "") << "the reader writes no messages";
}

TEST_F(ParseUnsigned, MissingArgumentsAreRefused)
{
    DWORD value = SENTINEL;
    LPCWSTR end = NULL;
    EXPECT_EQ(parse_unsigned(NULL, &end, &value), -1);
    EXPECT_EQ(parse_unsigned(u"5", &end, NULL), -1);
    EXPECT_EQ(parse_unsigned(u"5", NULL, NULL), -1);
    EXPECT_EQ(value, SENTINEL);
    EXPECT_EQ(end, nullptr);
}

TEST_F(ParseUnsigned, AnEarlierRangeErrorDoesNotLinger)
{
    DWORD value = SENTINEL;
    errno = ERANGE;
    EXPECT_EQ(parse_unsigned(u"7", NULL, &value), 0);
    EXPECT_EQ(value, 7u);
}
