// The command line: splitting into words, the switch tests, and the switch table with its
// answers to help and bad arguments.
#include <cstring>

#include "harness.h"
#include "src/command/options.h"

extern const char expected_usage_text[];

static const char VERSION_LINE[] = "\r\n\t\t\t\tNicshow  0.95.2.0 (x86)\r\n";
static const DWORD FIT = 0xFFFFFFFF;

static std::vector<std::string> split_words()
{
    std::vector<std::string> words;
    for (int i = 0; i < argument_words.count; i++)
        words.push_back(sim::utf8(argument_words.words[i]));
    return words;
}

// Every word's recorded length matches its text, and the table past the count is empty.
static void expect_table_consistent(const std::string &what)
{
    for (int i = 0; i < argument_words.count; i++)
        EXPECT_EQ(argument_words.lengths[i], lstrlenW(argument_words.words[i])) << what << " #" << i;
    for (int i = argument_words.count; i < MAX_ARG_WORDS; i++) {
        ASSERT_EQ(argument_words.words[i], nullptr) << what << " #" << i;
        ASSERT_EQ(argument_words.lengths[i], 0) << what << " #" << i;
    }
}

// --- splitting -------------------------------------------------------------------------

using SplitArguments = SimTest;

TEST_F(SplitArguments, WordsQuotesAndSlashes)
{
    struct Case {
        const char *text;
        std::vector<std::string> words;
    } cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"/a/i", {"/A", "/I"}},
        {"/ab/c/d", {"/AB", "/C", "/D"}},
        {"/ai", {"/AI"}},
        {"-a/b", {"-A/B"}},
        {"/a/", {"/A", "/"}},
        {"//a", {"//A"}},
        {"///a", {"//", "/A"}},
        {"eth0/1", {"ETH0/1"}},
        {"  /a\t/i\r\n", {"/A", "/I"}},
        {"/a\v/b\f/c", {"/A", "/B", "/C"}},
        {"eth* wifi*", {"ETH*", "WIFI*"}},
        {"\"my  lan \"", {"MY  LAN"}},
        {"\"  lan  \"", {"  LAN"}},
        {"\"\"", {}},
        {"\"\" /a", {"/A"}},
        {"\"  \"", {""}},
        {"lan\" 2\"x", {"LAN 2X"}},
        {"/a\"/i\"", {"/A/I"}},
        {"\"/a /i", {"/A /I"}},
        {"/f:http://x/y", {"/F:HTTP://X/Y"}},
        {"/f:x/y", {"/F:X", "/Y"}},
        {"/f:9://x", {"/F:9:", "//X"}},
        {"/f:http:/x", {"/F:HTTP:", "/X"}},
        // a colon that begins a word has no letter before it
        {"://x", {"://X"}},
        {"a ://x", {"A", "://X"}},
        {"/://x", {"/:", "//X"}},
        {"/a://x", {"/A://X"}},
        {"/f:http://x /g/h", {"/F:HTTP://X", "/G", "/H"}},
        {"wlan-\u00e9 \u00c0bc", {"WLAN-\u00e9", "\u00c0BC"}},
        {"a\u3000b", {"A", "B"}},
    };
    for (const auto &c : cases) {
        sim::reset();
        std::u16string text = sim::utf16(c.text);
        EXPECT_EQ(split_arguments(text.c_str()), (int)c.words.size()) << c.text;
        EXPECT_EQ(split_words(), c.words) << c.text;
        expect_table_consistent(c.text);
        EXPECT_EQ(sim::all(), "") << c.text;
    }
}

TEST_F(SplitArguments, EverySplitStartsFromAnEmptyTable)
{
    split_arguments(u"/a /b /c /d");
    EXPECT_EQ(split_arguments(u"x"), 1);
    EXPECT_EQ(split_words(), std::vector<std::string>{"X"});
    expect_table_consistent("second split");
    EXPECT_EQ(split_arguments(NULL), -1);
    EXPECT_EQ(argument_words.count, 0);
    EXPECT_EQ(argument_words.buffer[0], 0);
    expect_table_consistent("null text");
}

TEST_F(SplitArguments, WordsBeyondTheTableAreIgnored)
{
    std::string text;
    for (int i = 1; i <= 1100; i++)
        text += "w" + std::to_string(i) + " ";
    std::u16string t = sim::utf16(text);
    EXPECT_EQ(split_arguments(t.c_str()), 1024);
    std::vector<std::string> words = split_words();
    ASSERT_EQ(words.size(), 1024u);
    EXPECT_EQ(words.front(), "W1");
    EXPECT_EQ(words.back(), "W1024");
    expect_table_consistent("1100 words");
    EXPECT_EQ(sim::all(), "");

    // Slashes would split further words; none may appear past the last slot.
    t = sim::utf16(std::string(1023 * 2, ' ') + "/a/b/c/d");
    for (int i = 0; i < 1023; i++)
        t[(size_t)i * 2] = u'x';
    EXPECT_EQ(split_arguments(t.c_str()), 1024);
    EXPECT_EQ(sim::utf8(argument_words.words[1023]), "/A");
    expect_table_consistent("split past the last word");
}

TEST_F(SplitArguments, TheBufferHoldsExactly8192Cells)
{
    struct Case {
        std::string what, text;
        int result;
        std::string err;
        int words;
    } cases[] = {
        {"one word of 8191 characters", std::string(8191, 'a'), 1, "", 1},
        {"one word of 8192 characters", std::string(8192, 'a'), -1,
         "Nicshow plugin: Buffer overflow: b = 8191, MAX_ARG_LEN = 8192 \r\n", 0},
        {"a far longer word", std::string(100000, 'a'), -1,
         "Nicshow plugin: Buffer overflow: b = 8191, MAX_ARG_LEN = 8192 \r\n", 0},
        {"a quoted run of blanks", "\"" + std::string(9000, ' ') + "\"", -1,
         "Nicshow plugin: Buffer overflow: b = 8191, MAX_ARG_LEN = 8192 \r\n", 0},
        {"many words that overflow", [] {
             std::string s;
             for (int i = 0; i < 100; i++)
                 s += std::string(100, 'b') + " ";
             return s;
         }(),
         -1, "Nicshow plugin: Buffer overflow: b = 8191, MAX_ARG_LEN = 8192 \r\n", 0},
        {"1024 words filling every cell", [] {
             std::string s;
             for (int i = 0; i < 1024; i++)
                 s += "abcdefg ";
             return s;
         }(),
         1024, "", 1024},
        // The buffer is full before the extra word could be dropped.
        {"1024 full words and one more", [] {
             std::string s;
             for (int i = 0; i < 1024; i++)
                 s += "abcdefg ";
             return s + "x";
         }(),
         -1, "Nicshow plugin: Buffer overflow: b = 8192, MAX_ARG_LEN = 8192 \r\n", 0},
        {"slashes splitting into full words", [] {
             std::string s;
             for (int i = 0; i < 2000; i++)
                 s += "/abcdef";
             return s;
         }(),
         -1, "Nicshow plugin: Buffer overflow: b = 8192, MAX_ARG_LEN = 8192 \r\n", 0},
    };
    for (const auto &c : cases) {
        sim::reset();
        std::u16string text = sim::utf16(c.text);
        EXPECT_EQ(split_arguments(text.c_str()), c.result) << c.what;
        EXPECT_EQ(argument_words.count, c.words) << c.what;
        EXPECT_EQ(sim::err(), c.err) << c.what;
        EXPECT_EQ(sim::out(), "") << c.what;
        if (c.result > 0) {
            expect_table_consistent(c.what);
            // The last word ends on the buffer's last cell at most.
            const WCHAR *last = argument_words.words[c.result - 1];
            EXPECT_LE(last + argument_words.lengths[c.result - 1],
                      &argument_words.buffer[MAX_ARG_LEN - 1])
                << c.what;
        }
    }
}

// --- switch tests ----------------------------------------------------------------------

using SwitchTests = SimTest;

TEST_F(SwitchTests, IsSwitch)
{
    struct Case {
        const char16_t *word, *sw;
        int expected;
    } cases[] = {
        {u"/A", u"/A", 1},          {u"/a", u"/A", 1},       {u"-A", u"/A", 1},
        {u"-all", u"/ALL", 1},      {u"-ALL", u"/ALL", 1},   {u"--ALL", u"/ALL", 0},
        {u"/AL", u"/ALL", 0},       {u"/ALLX", u"/ALL", 0},  {u"A", u"/A", 0},
        {u"-A", u"A", 0},           {u"-", u"/", 0},         {u"/", u"/", 1},
        {u"", u"/A", 0},            {u"-A", u"-A", 1},       {NULL, u"/A", 0},
        {u"/A", NULL, 0},           {NULL, NULL, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(is_switch(c.word, c.sw), c.expected)
            << (c.word ? sim::utf8(c.word) : "(null)") << " vs "
            << (c.sw ? sim::utf8(c.sw) : "(null)");
}

TEST_F(SwitchTests, IsPauseSwitch)
{
    struct Case {
        const char16_t *word;
        int expected;
    } cases[] = {
        {u"/P", 1}, {u"/p", 1}, {u"-P", 1},  {u"-p:5", 1}, {u"/PAGE", 1}, {u"P", 0},
        {u"/", 0},  {u"", 0},   {u"--P", 0}, {u"/Q", 0},   {NULL, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(is_pause_switch(c.word), c.expected) << (c.word ? sim::utf8(c.word) : "(null)");
}

// --- the switch table ------------------------------------------------------------------

struct LineCase {
    const char *text;
    int result;
    DWORD flags, actions;
    bool no_highlight;
    DWORD pause_lines, date_format;
    const char *wildmask;  // NULL: none
    std::string out, err;
    DWORD pause_ms;
};

static const std::string USAGE = expected_usage_text;
static std::string unknown(const char *word)
{
    return std::string("Nicshow plugin: Unknown option: \"") + word + "\"\r\n";
}
static std::string message(const char *text, const char *word)
{
    return std::string("Nicshow plugin: ") + text + ": \"" + word + "\"\r\n";
}

static void check_line_cases(const std::vector<LineCase> &cases)
{
    for (const auto &c : cases) {
        sim::reset();
        pager.pause_ms = 0;
        CommandOptions options;
        reset_command_options(&options);
        std::u16string text = sim::utf16(c.text);
        EXPECT_EQ(parse_command_line(text.c_str(), &options), c.result) << c.text;
        EXPECT_EQ(options.flags, c.flags) << c.text;
        EXPECT_EQ(options.actions, c.actions) << c.text;
        EXPECT_EQ(options.no_highlight, c.no_highlight) << c.text;
        EXPECT_EQ(options.pause_lines, c.pause_lines) << c.text;
        EXPECT_EQ(options.date_format, c.date_format) << c.text;
        if (c.wildmask) {
            ASSERT_NE(options.wildmask, nullptr) << c.text;
            EXPECT_EQ(sim::utf8(options.wildmask), c.wildmask) << c.text;
            EXPECT_GE(options.wildmask, argument_words.buffer) << "the mask lives in the table";
            EXPECT_LT(options.wildmask, argument_words.buffer + MAX_ARG_LEN);
        } else {
            EXPECT_EQ(options.wildmask, nullptr) << c.text;
        }
        EXPECT_EQ(pager.pause_ms, c.pause_ms) << c.text;
        EXPECT_EQ(sim::out(), c.out) << c.text;
        EXPECT_EQ(sim::err(), c.err) << c.text;
    }
}

using CommandLine = SimTest;

TEST_F(CommandLine, DefaultsWithoutArguments)
{
    check_line_cases({
        {"", -1, 0, 0, false, 0, 32, NULL, "", "", 0},
        {"  \t ", -1, 0, 0, false, 0, 32, NULL, "", "", 0},
        {"\"\"", -1, 0, 0, false, 0, 32, NULL, "", "", 0},
    });
}

TEST_F(CommandLine, SwitchesSetTheirBits)
{
    check_line_cases({
        {"/a", -1, 0x017, 0, false, 0, 32, NULL, "", "", 0},
        {"/ALL", -1, 0x017, 0, false, 0, 32, NULL, "", "", 0},
        {"-all", -1, 0x017, 0, false, 0, 32, NULL, "", "", 0},
        {"/a/i", -1, 0x017, 0, false, 0, 32, NULL, "", "", 0},
        {"/l/i", -1, 0x012, 0, false, 0, 32, NULL, "", "", 0},
        {"/t /u", -1, 0x005, 0, false, 0, 32, NULL, "", "", 0},
        {"/g", -1, 0x020, 0, false, 0, 32, NULL, "", "", 0},
        {"-Q -s", -1, 0x300, 0, false, 0, 32, NULL, "", "", 0},
        {"/i /i /i", -1, 0x010, 0, false, 0, 32, NULL, "", "", 0},
        {"/d", -1, 0, 0, true, 0, 32, NULL, "", "", 0},
        {"-D", -1, 0, 0, true, 0, 32, NULL, "", "", 0},
        {"/a/g/q/s/d", -1, 0x337, 0, true, 0, 32, NULL, "", "", 0},
    });
}

TEST_F(CommandLine, ReleaseRenewAndBounce)
{
    check_line_cases({
        {"/x", -1, 0, 1, false, 0, 32, NULL, "", "", 0},
        {"-x", -1, 0, 1, false, 0, 32, NULL, "", "", 0},
        {"/rel", -1, 0, 1, false, 0, 32, NULL, "", "", 0},
        {"-release", -1, 0, 1, false, 0, 32, NULL, "", "", 0},
        {"/r", -1, 0, 2, false, 0, 32, NULL, "", "", 0},
        {"/ren", -1, 0, 2, false, 0, 32, NULL, "", "", 0},
        {"/Renew", -1, 0, 2, false, 0, 32, NULL, "", "", 0},
        {"-RENEW", -1, 0, 2, false, 0, 32, NULL, "", "", 0},
        {"/bounce", -1, 0, 3, false, 0, 32, NULL, "", "", 0},
        {"-b", -1, 0, 3, false, 0, 32, NULL, "", "", 0},
        {"/x /r", -1, 0, 3, false, 0, 32, NULL, "", "", 0},
    });
}

TEST_F(CommandLine, TheOneWildmask)
{
    check_line_cases({
        {"eth*", -1, 0, 0, false, 0, 32, "ETH*", "", "", 0},
        {"/a eth* /i", -1, 0x017, 0, false, 0, 32, "ETH*", "", "", 0},
        {"\"my  lan \"", -1, 0, 0, false, 0, 32, "MY  LAN", "", "", 0},
        {"\"  lan\" /u", -1, 0x004, 0, false, 0, 32, "  LAN", "", "", 0},
        {"\"  \"", -1, 0, 0, false, 0, 32, "", "", "", 0},
        {"eth0/1", -1, 0, 0, false, 0, 32, "ETH0/1", "", "", 0},
        {"eth* wifi*", 1, 0, 0, false, 0, 32, "ETH*", "", message("Syntax error", "WIFI*"), 0},
        {"eth* \"wi fi\" /z", 1, 0, 0, false, 0, 32, "ETH*", "",
         message("Syntax error", "WI FI"), 0},
        {"\"  \" lan", 1, 0, 0, false, 0, 32, "", "", message("Syntax error", "LAN"), 0},
    });
}

TEST_F(CommandLine, WordsThatMatchNoSwitch)
{
    check_line_cases({
        {"/ab/c/d", 1, 0, 0, false, 0, 32, NULL, "", unknown("/AB"), 0},
        {"/ai", 1, 0, 0, false, 0, 32, NULL, "", unknown("/AI"), 0},
        {"-a/b", 1, 0, 0, false, 0, 32, NULL, "", unknown("-A/B"), 0},
        {"/a/", 1, 0x017, 0, false, 0, 32, NULL, "", unknown("/"), 0},
        {"//a", 1, 0, 0, false, 0, 32, NULL, "", unknown("//A"), 0},
        {"-?", 1, 0, 0, false, 0, 32, NULL, "", unknown("-?"), 0},
        {"/HELP", 1, 0, 0, false, 0, 32, NULL, "", unknown("/HELP"), 0},
        {"-help", 1, 0, 0, false, 0, 32, NULL, "", unknown("-HELP"), 0},
        {"---help", 1, 0, 0, false, 0, 32, NULL, "", unknown("---HELP"), 0},
        {"-", 1, 0, 0, false, 0, 32, NULL, "", unknown("-"), 0},
        {"/x /z /r eth*", 1, 0, 1, false, 0, 32, NULL, "", unknown("/Z"), 0},
        {"/\"x y\"", 1, 0, 0, false, 0, 32, NULL, "", unknown("/X Y"), 0},
    });
}

TEST_F(CommandLine, HelpWritesTheUsageAndEndsTheExamination)
{
    check_line_cases({
        {"/?", 0, 0, 0, false, 0, 32, NULL, USAGE, "", 0},
        {"--help", 0, 0, 0, false, 0, 32, NULL, USAGE, "", 0},
        {"--HELP", 0, 0, 0, false, 0, 32, NULL, USAGE, "", 0},
        {"/?x", 0, 0, 0, false, 0, 32, NULL, USAGE, "", 0},
        {"/??", 0, 0, 0, false, 0, 32, NULL, USAGE + VERSION_LINE, "", 0},
        {"/???", 0, 0, 0, false, 0, 32, NULL, USAGE + VERSION_LINE, "", 0},
        {"/x /?", 0, 0, 1, false, 0, 32, NULL, USAGE, "", 0},
        {"/? /z eth* wifi*", 0, 0, 0, false, 0, 32, NULL, USAGE, "", 0},
        {"/a/?", 0, 0x017, 0, false, 0, 32, NULL, USAGE, "", 0},
        {"/z /?", 1, 0, 0, false, 0, 32, NULL, "", unknown("/Z"), 0},
        {"/f:x /?", 1, 0, 0, false, 0, 32, NULL, "", message("Bad fmt value", "/F:X"), 0},
    });
}

TEST_F(CommandLine, DateFormat)
{
    check_line_cases({
        {"/f", 1, 0, 0, false, 0, 32, NULL, "", message("Missing fmt value", "/F"), 0},
        {"/f:", 1, 0, 0, false, 0, 32, NULL, "", message("Missing fmt value", "/F:"), 0},
        {"/f=", 1, 0, 0, false, 0, 32, NULL, "", message("Missing fmt value", "/F="), 0},
        {"-f", 1, 0, 0, false, 0, 32, NULL, "", message("Missing fmt value", "-F"), 0},
        {"/f:33", -1, 0, 0, false, 0, 33, NULL, "", "", 0},
        {"/F=0x21", -1, 0, 0, false, 0, 33, NULL, "", "", 0},
        {"-f5", -1, 0, 0, false, 0, 5, NULL, "", "", 0},
        {"/f:0x121", -1, 0, 0, false, 0, 0x121, NULL, "", "", 0},
        {"/f:4294967295", -1, 0, 0, false, 0, 4294967295u, NULL, "", "", 0},
        {"/f:33 /f:7", -1, 0, 0, false, 0, 7, NULL, "", "", 0},
        {"/f:3x", 1, 0, 0, false, 0, 32, NULL, "", message("Bad fmt value", "/F:3X"), 0},
        {"/foo", 1, 0, 0, false, 0, 32, NULL, "", message("Bad fmt value", "/FOO"), 0},
        {"/f::5", 1, 0, 0, false, 0, 32, NULL, "", message("Bad fmt value", "/F::5"), 0},
        {"/f:-1", 1, 0, 0, false, 0, 32, NULL, "", message("Bad fmt value", "/F:-1"), 0},
        {"/f:4294967296", 1, 0, 0, false, 0, 32, NULL, "",
         message("Bad fmt value", "/F:4294967296"), 0},
        {"/f:7 /f:y", 1, 0, 0, false, 0, 7, NULL, "", message("Bad fmt value", "/F:Y"), 0},
    });
}

TEST_F(CommandLine, PauseSwitch)
{
    check_line_cases({
        {"/p", -1, 0, 0, false, FIT, 32, NULL, "", "", 0},
        {"/p:5;30", -1, 0, 0, false, 30, 32, NULL, "", "", 5000},
        {"-p=250m", -1, 0, 0, false, FIT, 32, NULL, "", "", 250},
        {"/p,20 /p:3", -1, 0, 0, false, FIT, 32, NULL, "", "", 3000},
        {"/p:3,20 /p,0", -1, 0, 0, false, 0, 32, NULL, "", "", 0},
        {"/page", 1, 0, 0, false, FIT, 32, NULL, "", message("Syntax error", "/PAGE"), 0},
        {"/P,1001", 1, 0, 0, false, FIT, 32, NULL, "",
         "Nicshow plugin: Pause lines must be 0 - 1000: 1001\r\n", 0},
        {"/p:5000000", 1, 0, 0, false, FIT, 32, NULL, "", message("Bad pause time", "/P:5000000"),
         0},
        {"/p,99999999999", 1, 0, 0, false, FIT, 32, NULL, "",
         message("Bad pause lines", "/P,99999999999"), 0},
    });
}

TEST_F(CommandLine, OverflowingTextIsABadArgument)
{
    CommandOptions options;
    reset_command_options(&options);
    std::u16string text = u"/a " + std::u16string(9000, u'x');
    EXPECT_EQ(parse_command_line(text.c_str(), &options), 1);
    EXPECT_EQ(options.flags, 0u) << "no word is examined after a failed split";
    EXPECT_EQ(options.wildmask, nullptr);
    EXPECT_EQ(sim::err(), "Nicshow plugin: Buffer overflow: b = 8191, MAX_ARG_LEN = 8192 \r\n");
    EXPECT_EQ(sim::out(), "");
}

TEST_F(CommandLine, TheLast1024WordsStillCount)
{
    // 1024 words are read; the 1025th, which would be a second mask, is ignored.
    std::u16string text;
    for (int i = 0; i < 1023; i++)
        text += u"/i ";
    text += u"lan0 wifi0 /z";
    CommandOptions options;
    reset_command_options(&options);
    EXPECT_EQ(parse_command_line(text.c_str(), &options), -1);
    EXPECT_EQ(options.flags, 0x010u);
    ASSERT_NE(options.wildmask, nullptr);
    EXPECT_EQ(sim::utf8(options.wildmask), "LAN0");
    EXPECT_EQ(sim::all(), "");
}

TEST_F(CommandLine, DefaultsOfAFreshRecord)
{
    CommandOptions options;
    memset(&options, 0xA5, sizeof(options));
    reset_command_options(&options);
    EXPECT_EQ(options.flags, 0u);
    EXPECT_EQ(options.actions, 0u);
    EXPECT_FALSE(options.no_highlight);
    EXPECT_EQ(options.pause_lines, 0u);
    EXPECT_EQ(options.date_format, 32u);
    EXPECT_EQ(options.wildmask, nullptr);
}
