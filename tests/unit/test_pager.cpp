// The pager: line ends, the page prompt and its keys, the key wait and its time-out, the
// break echo, highlighted text and the page length from the window.
#include "harness.h"
#include "src/console/highlight.h"
#include "src/console/pager.h"
#include "src/plugin/host.h"

namespace {

const std::string dashes = "\u2500\u2500";
const std::string prompt = "\r   " + dashes + " Press a key to continue " + dashes + " ";
const std::string erase = "\r" + std::string(60, ' ') + "\r";
const std::string echo = "\r ^C \n";
const DWORD fit_window = 0xFFFFFFFFu;

size_t count_of(const std::string &text, const std::string &what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        n++;
    return n;
}

// For each prompt in the transcript, the number of line ends written before it.
std::vector<size_t> prompts_after_lines()
{
    std::string all = sim::all();
    std::vector<size_t> at;
    for (size_t p = all.find(prompt); p != std::string::npos; p = all.find(prompt, p + 1))
        at.push_back(count_of(all.substr(0, p), "\r\n"));
    return at;
}

struct Written {
    int rc;
    int lines;  // line ends made, the one that stopped included
};

// Writes numbered lines the way the report does, stopping at a user break.
Written write_lines(int n)
{
    for (int i = 1; i <= n; i++) {
        QPuts(sim::utf16("line " + std::to_string(i)).c_str());
        int rc = end_line();
        if (rc)
            return {rc, i};
    }
    return {0, n};
}

// Virtual milliseconds since the given tick, across a wrap of the counter.
DWORD elapsed_since(DWORD start)
{
    return sim::kernel().tick - start;
}

}  // namespace

class Pager : public SimTest {
protected:
    void SetUp() override
    {
        SimTest::SetUp();
        highlight_colors = HighlightColors{};
        sim::console().stdout_is_console = true;
        console_output = sim::conout_handle();
    }
    // What a run does around its report.
    void begin(DWORD requested, SHORT rows = 25, DWORD pause_ms = 0)
    {
        sim::console().window_rows = rows;
        pager.pause_ms = pause_ms;
        start_paging(requested);
        install_break_handler();
    }
    void TearDown() override
    {
        remove_break_handler();
        SimTest::TearDown();
    }
};

TEST_F(Pager, KeysAtThePrompt)
{
    using sim::Input;
    struct Case {
        const char *what;
        DWORD requested;
        std::vector<Input> keys;
        int lines;
        std::vector<size_t> prompts;
        int rc;
        bool echo;
    } cases[] = {
        {"5 lets five lines pass", 20, {sim::key('5'), sim::key(' '), sim::key(' ')}, 70,
         {20, 25, 45, 65}, 0, false},
        {"/ lets half a page pass", 23, {sim::key('/'), sim::key(' '), sim::key(' ')}, 70,
         {23, 34, 57}, 0, false},
        {"C goes on without prompts", 20, {sim::key('C')}, 100, {20}, 0, false},
        {"c goes on without prompts", 20, {sim::key('c')}, 100, {20}, 0, false},
        {"a goes on without prompts", 20, {sim::key('a')}, 100, {20}, 0, false},
        {"A goes on without prompts", 20, {sim::key('A')}, 100, {20}, 0, false},
        {"1", 20, {sim::key('1'), sim::key(' ')}, 50, {20, 21, 41}, 0, false},
        {"9", 20, {sim::key('9'), sim::key(' ')}, 50, {20, 29, 49}, 0, false},
        {"0 lets ten lines pass", 20, {sim::key('0'), sim::key(' ')}, 50, {20, 30, 50}, 0, false},
        {"space gives a full page", 20, {sim::key(' '), sim::key('x')}, 50, {20, 40}, 0, false},
        {"Enter gives a full page", 20, {sim::key('\r'), sim::key('q')}, 50, {20, 40}, 0, false},
        {"U+00E0 is a key, not a prefix", 20, {sim::key(0xE0), sim::key('5')}, 50, {20, 40, 45},
         0, false},
        {"an arrow gives a full page", 20, {sim::vkey(VK_UP, 0x48), sim::key('5')}, 50,
         {20, 40, 45}, 0, false},
        {"F1 gives a full page", 20, {sim::vkey(VK_F1, 0x3B), sim::key('5')}, 50, {20, 40, 45},
         0, false},
        {"Shift alone is no key", 20, {sim::vkey(VK_SHIFT, 0x2A), sim::key('5')}, 30,
         {20, 25}, 0, false},
        {"Alt alone is no key", 20, {sim::vkey(VK_MENU, 0x38), sim::key('5')}, 30, {20, 25}, 0,
         false},
        {"Caps Lock alone is no key", 20, {sim::vkey(VK_CAPITAL, 0x3A), sim::key('5')}, 30,
         {20, 25}, 0, false},
        {"Ctrl alone is no key", 20, {sim::vkey(VK_CONTROL, 0x1D), sim::key('5')}, 30, {20, 25},
         0, false},
        {"Num Lock alone is no key", 20, {sim::vkey(VK_NUMLOCK, 0x45), sim::key('5')}, 30,
         {20, 25}, 0, false},
        {"Scroll Lock alone is no key", 20, {sim::vkey(VK_SCROLL, 0x46), sim::key('5')}, 30,
         {20, 25}, 0, false},
        {"the left Windows key alone is no key", 20, {sim::vkey(VK_LWIN, 0x5B), sim::key('5')},
         30, {20, 25}, 0, false},
        {"the right Windows key alone is no key", 20, {sim::vkey(VK_RWIN, 0x5C), sim::key('5')},
         30, {20, 25}, 0, false},
        {"the menu key alone is no key", 20, {sim::vkey(VK_APPS, 0x5D), sim::key('5')}, 30,
         {20, 25}, 0, false},
        {"left Shift alone is no key", 20, {sim::vkey(VK_LSHIFT, 0x2A), sim::key('5')}, 30,
         {20, 25}, 0, false},
        {"right Shift alone is no key", 20, {sim::vkey(VK_RSHIFT, 0x36), sim::key('5')}, 30,
         {20, 25}, 0, false},
        {"left Ctrl alone is no key", 20, {sim::vkey(VK_LCONTROL, 0x1D), sim::key('5')}, 30,
         {20, 25}, 0, false},
        {"right Ctrl alone is no key", 20, {sim::vkey(VK_RCONTROL, 0x1D), sim::key('5')}, 30,
         {20, 25}, 0, false},
        {"left Alt alone is no key", 20, {sim::vkey(VK_LMENU, 0x38), sim::key('5')}, 30,
         {20, 25}, 0, false},
        {"right Alt alone is no key", 20, {sim::vkey(VK_RMENU, 0x38), sim::key('5')}, 30,
         {20, 25}, 0, false},
        // the neighbours of those codes are keys: a full page
        {"Pause is a key", 20, {sim::vkey(VK_PAUSE, 0x45), sim::key('5')}, 50, {20, 40, 45}, 0,
         false},
        {"the code before left Shift is a key", 20, {sim::vkey(0x9F, 0x01), sim::key('5')}, 50,
         {20, 40, 45}, 0, false},
        {"Browser Back, the code after right Alt, is a key", 20,
         {sim::vkey(0xA6, 0x6A), sim::key('5')}, 50, {20, 40, 45}, 0, false},
        {"the code after the menu key is a key", 20, {sim::vkey(0x5E, 0x01), sim::key('5')}, 50,
         {20, 40, 45}, 0, false},
        {"a mouse event is no key", 20, {sim::mouse(), sim::key('5')}, 30, {20, 25}, 0, false},
        {"a release is no key", 20, {sim::key_up('a'), sim::key('5')}, 30, {20, 25}, 0, false},
        {"Esc stops without echo", 20, {sim::key(27)}, 30, {20}, USER_BREAK, false},
        // Wine: Esc without its character, Shift and Ctrl as records of their own
        {"Esc as Wine sends it", 20, {sim::vkey(VK_ESCAPE, 0x01)}, 30, {20}, USER_BREAK, false},
        {"Shift, then A as Wine sends them", 20, {sim::vkey(VK_SHIFT, 0x2A), sim::key('A')}, 100,
         {20}, 0, false},
        {"Ctrl, then Ctrl-C typed", 20, {sim::vkey(VK_CONTROL, 0x1D), sim::key(3)}, 30, {20},
         USER_BREAK, true},
        {"a key Wine could not name", 20, {sim::vkey(0, 0), sim::key('5')}, 50, {20, 40, 45}, 0,
         false},
        {"Ctrl-C typed stops with echo", 20, {sim::key(3)}, 30, {20}, USER_BREAK, true},
        {"Ctrl-C while waiting stops with echo", 20, {sim::ctrl_c(500)}, 30, {20}, USER_BREAK,
         true},
        {"Ctrl-Break while waiting stops with echo", 20, {sim::ctrl_break(30)}, 30, {20},
         USER_BREAK, true},
    };
    for (const auto &c : cases) {
        sim::reset();
        pager = PagerState{};
        sim::console().stdout_is_console = true;
        SCOPED_TRACE(c.what);
        sim::console().script = c.keys;
        sim::script_text("     ");  // full pages for any later prompt
        begin(c.requested);
        Written run = write_lines(c.lines);
        std::string con = sim::con();
        EXPECT_EQ(run.rc, c.rc) << c.what;
        EXPECT_EQ(run.lines, c.rc ? (int)c.prompts.back() : c.lines) << c.what;
        EXPECT_EQ(prompts_after_lines(), c.prompts) << c.what;
        std::string pages;
        for (size_t i = 0; i < c.prompts.size(); i++)
            pages += prompt + erase;
        EXPECT_EQ(con, pages + (c.echo ? echo : "")) << c.what;
        EXPECT_EQ(sim::kernel().handles_closed, (int)c.prompts.size())
            << c.what << ": console input handles left open";
        ASSERT_EQ(sim::kernel().file_opens.size(), c.prompts.size()) << c.what;
        for (const auto &open : sim::kernel().file_opens) {
            EXPECT_EQ(sim::utf8(open.name), "CONIN$") << c.what;
            EXPECT_EQ(open.access, GENERIC_READ | GENERIC_WRITE) << c.what;
            EXPECT_EQ(open.share, (DWORD)(FILE_SHARE_READ | FILE_SHARE_WRITE)) << c.what;
            EXPECT_EQ(open.disposition, (DWORD)OPEN_EXISTING) << c.what;
            EXPECT_EQ(open.flags, 0u) << c.what;
            EXPECT_FALSE(open.security || open.template_file) << c.what;
        }
        remove_break_handler();
    }
}

TEST_F(Pager, PromptEraseAndEchoAreExactlyTheSystemsTexts)
{
    sim::script({sim::key(3)});
    begin(10);
    write_lines(9);
    EXPECT_EQ(end_line(), USER_BREAK);
    std::u16string con;
    for (const auto &s : sim::host().transcript)
        if (s.stream == sim::Stream::Console)
            con += s.text;
    std::u16string expected = u"\r   \u2500\u2500 Press a key to continue \u2500\u2500 "
                              u"\r                                                            \r"
                              u"\r ^C \n";
    EXPECT_EQ(sim::utf8(con), sim::utf8(expected));
    EXPECT_EQ(con.find(u"\r ^C"), 34u + 62u) << "prompt of 34 and erasure of 62";
}

TEST_F(Pager, AfterContinuousOutputTheNextRunPagesAgain)
{
    sim::script({sim::key('C'), sim::key(' ')});
    begin(20);
    EXPECT_EQ(write_lines(60).rc, 0);
    EXPECT_EQ(prompts_after_lines(), std::vector<size_t>{20});
    EXPECT_EQ(pager.page_length, 0u);
    remove_break_handler();

    sim::host().transcript.clear();
    pager.page_length = 0;
    pager.lines_left = 0;
    pager.pause_ms = 0;
    pager.break_requested = 0;
    begin(20);
    EXPECT_EQ(write_lines(30).rc, 0);
    EXPECT_EQ(prompts_after_lines(), std::vector<size_t>{20});
}

TEST_F(Pager, CtrlCDuringOutputEndsTheLineAndEchoesInTheContrastColour)
{
    struct Case {
        WORD attr;
        WORD echo_attr;
        bool console = true;  // standard output is the console
    } cases[] = {
        {0x0E, 0x0F},  // the second row's 0x0E is the current colour
        {0x1B, 0x1F},
        {0x17, 0x1B},
        {0x07, 0x0E},
        {0x79, 0x70},
        {0xF0, 0xF2},
        {0x1F, 0x1B, false},  // output redirected: the console device still has colours
        // Bits above the colours (grid lines, underscore) take no part in the choice and
        // come back with the colour.
        {0x800E, 0x0F},
        {0x0417, 0x1B},
    };
    for (const auto &c : cases) {
        sim::reset();
        pager = PagerState{};
        sim::console().stdout_is_console = c.console;
        sim::console().attr = c.attr;
        sim::console().ctrl_c_at_line_end = 7;
        begin(fit_window);
        Written run = write_lines(30);
        EXPECT_EQ(run.rc, USER_BREAK) << std::hex << c.attr;
        EXPECT_EQ(run.lines, 7) << "the break must come back from the line end it arrived in";
        EXPECT_EQ(pager.break_requested, 1u) << "the flag stays set";
        const auto &t = sim::host().transcript;
        ASSERT_FALSE(t.empty());
        EXPECT_EQ(t.back().stream, sim::Stream::Console);
        EXPECT_EQ(sim::utf8(t.back().text), echo);
        EXPECT_EQ(t.back().attr, c.echo_attr) << std::hex << "on " << c.attr;
        EXPECT_EQ(sim::console().attr, c.attr) << std::hex << "console colour not restored";
        EXPECT_EQ(sim::console().attr_log, (std::vector<WORD>{c.echo_attr, c.attr}));
        EXPECT_EQ(sim::host().set_colors, (std::vector<int>{c.echo_attr, c.attr & 0xFF}));
        EXPECT_EQ(count_of(sim::out(), "\r\n"), 7u);
        EXPECT_EQ(end_line(), USER_BREAK) << "a pending break stops every later line end";
        remove_break_handler();
        EXPECT_EQ(pager.break_requested, 0u);
    }
}

TEST_F(Pager, CtrlCWithProcessedInputOffAnswersTheNextPrompt)
{
    sim::console().processed_input = false;
    sim::console().ctrl_c_at_line_end = 3;
    begin(10);
    Written run = write_lines(30);
    EXPECT_EQ(run.rc, USER_BREAK);
    EXPECT_EQ(run.lines, 10);
    EXPECT_EQ(sim::con(), prompt + erase + echo);
}

TEST_F(Pager, BreakEchoWithoutAReadableConsoleLeavesTheColoursAlone)
{
    for (bool handle : {false, true}) {
        sim::reset();
        console_output = handle ? sim::conout_handle() : NULL;
        sim::console().screen_info_fails = handle;
        sim::console().attr = 0x1F;
        EXPECT_EQ(show_break(), USER_BREAK);
        EXPECT_EQ(sim::con(), echo) << "handle " << handle;
        EXPECT_EQ(sim::host().transcript.back().attr, 0x1F) << "handle " << handle;
        EXPECT_TRUE(sim::console().attr_log.empty()) << "handle " << handle;
        EXPECT_TRUE(sim::host().set_colors.empty()) << "handle " << handle;
    }
}

TEST_F(Pager, KeyWaitTimeOutAndBreak)
{
    using sim::Input;
    struct Case {
        const char *what;
        DWORD start_tick;
        DWORD pause_ms;
        DWORD tick_step;
        std::vector<Input> script;
        DWORD code;
        DWORD min_ms, max_ms;
    } cases[] = {
        // The polls land on the deadline itself: the wait ends there, not a poll later.
        {"2 s and no key", 1000, 2000, 1, {}, KEY_TIMEOUT, 2000, 2000},
        {"a pause a millisecond past a poll ends at the next poll", 1000, 1991, 1, {},
         KEY_TIMEOUT, 2000, 2000},
        {"2 s and a key after 0.5 s", 1000, 2000, 1, {sim::key('q', 500)}, 'q', 500, 510},
        {"a key already waiting", 1000, 2000, 1, {sim::key('7')}, '7', 0, 0},
        {"no limit: a key after 10 minutes", 1000, 0, 1, {sim::key('q', 600000)}, 'q', 600000,
         600010},
        {"deadline past the wrap of the tick counter", 0xFFFFFF00u, 2000, 1,
         {sim::key('q', 60000)}, KEY_TIMEOUT, 2000, 2000},
        {"tick counter wraps at the deadline", 0xFFFFF830u, 2000, 1, {sim::key('q', 60000)},
         KEY_TIMEOUT, 2000, 2000},
        {"coarse ticks jump over the wrap before the deadline", 0xFFFFF830u, 1999, 16,
         {sim::key('q', 60000)}, KEY_TIMEOUT, 1999, 2015},
        {"Ctrl-C while waiting", 1000, 2000, 1, {sim::ctrl_c(100)}, KEY_CTRL_C, 100, 110},
        {"Ctrl-C without limit", 1000, 0, 1, {sim::ctrl_c(30000)}, KEY_CTRL_C, 30000, 30010},
        {"extended key", 1000, 0, 1, {sim::vkey(VK_DOWN, 0x50, 20)}, KEY_EXTENDED + 0x50, 20, 30},
        {"Esc", 1000, 0, 1, {sim::key(27, 20)}, 27, 20, 30},
    };
    for (const auto &c : cases) {
        sim::reset();
        pager = PagerState{};
        sim::kernel().tick = c.start_tick;
        sim::console().tick_step = c.tick_step;
        sim::console().script = c.script;
        pager.pause_ms = c.pause_ms;
        install_break_handler();
        DWORD code = 0;
        ASSERT_NO_THROW(code = wait_key()) << c.what;
        DWORD waited = elapsed_since(c.start_tick);
        EXPECT_EQ(code, c.code) << c.what;
        EXPECT_GE(waited, c.min_ms) << c.what;
        EXPECT_LE(waited, c.max_ms) << c.what;
        for (DWORD ms : sim::console().input_waits)
            EXPECT_EQ(ms, 10u) << c.what << ": polls every 10 ms";
        EXPECT_TRUE(sim::kernel().sleeps.empty()) << c.what;
        EXPECT_EQ(sim::console().conin_opens, 1) << c.what;
        EXPECT_EQ(sim::kernel().handles_closed, 1) << c.what << ": CONIN$ left open";
        remove_break_handler();
    }
}

TEST_F(Pager, KeyWaitClearsABreakThatCameBeforeIt)
{
    install_break_handler();
    pager.break_requested = 1;
    sim::script({sim::key('x', 50)});
    EXPECT_EQ(wait_key(), (DWORD)'x');
}

TEST_F(Pager, WithoutConsoleInputOnlyThePauseTimeOrABreakEndsTheWait)
{
    // No key can come: without a pause time the prompt goes on at once, with one it
    // waits the pause out, and a break still ends it.
    struct Case {
        const char *what;
        bool missing, uncountable, unreadable;
        DWORD pause_ms;
        std::vector<sim::Input> script;
        DWORD code, waited;
    } cases[] = {
        {"no console input", true, false, false, 0, {}, KEY_TIMEOUT, 0},
        {"uncountable input", false, true, false, 0, {}, KEY_TIMEOUT, 0},
        {"unreadable key", false, false, true, 0, {sim::key('5')}, KEY_TIMEOUT, 0},
        {"no console input, 2 s", true, false, false, 2000, {}, KEY_TIMEOUT, 2000},
        {"uncountable input, 2 s", false, true, false, 2000, {}, KEY_TIMEOUT, 2000},
        {"unreadable key, 2 s", false, false, true, 2000, {sim::key('5')}, KEY_TIMEOUT, 2000},
        {"unreadable key after 0.5 s, 2 s", false, false, true, 2000, {sim::key('5', 500)},
         KEY_TIMEOUT, 2000},
        {"no console input, 2 s, Ctrl-C", true, false, false, 2000, {sim::ctrl_c(300)},
         KEY_CTRL_C, 300},
        {"unreadable key, 2 s, Ctrl-Break", false, false, true, 2000,
         {sim::key('5'), sim::ctrl_break(700)}, KEY_CTRL_C, 700},
    };
    for (const auto &c : cases) {
        sim::reset();
        pager = PagerState{};
        pager.pause_ms = c.pause_ms;
        sim::console().conin_missing = c.missing;
        sim::console().conin_uncountable = c.uncountable;
        sim::console().conin_unreadable = c.unreadable;
        sim::console().script = c.script;
        install_break_handler();
        DWORD start = sim::kernel().tick, code = 0;
        ASSERT_NO_THROW(code = wait_key()) << c.what;
        EXPECT_EQ(code, c.code) << c.what;
        EXPECT_EQ(elapsed_since(start), c.waited) << c.what;
        for (DWORD ms : sim::kernel().sleeps)
            EXPECT_EQ(ms, 10u) << c.what << ": polls every 10 ms";
        EXPECT_EQ(sim::kernel().handles_closed, c.missing ? 0 : 1) << c.what;
        remove_break_handler();
    }

    // At the prompt: each pause waited out and a full page after it, or the break echo.
    for (DWORD pause_ms : {0u, 2000u}) {
        sim::reset();
        pager = PagerState{};
        sim::console().stdout_is_console = true;
        sim::console().conin_missing = true;
        begin(10, 25, pause_ms);
        DWORD start = sim::kernel().tick;
        Written run = write_lines(25);
        EXPECT_EQ(run.rc, 0) << pause_ms;
        EXPECT_EQ(prompts_after_lines(), (std::vector<size_t>{10, 20})) << pause_ms;
        EXPECT_EQ(elapsed_since(start), 2 * pause_ms) << pause_ms;
        remove_break_handler();
    }
    sim::reset();
    pager = PagerState{};
    sim::console().stdout_is_console = true;
    sim::console().conin_uncountable = true;
    sim::script({sim::ctrl_c(1500)});
    begin(10, 25, 2000);
    Written run = write_lines(25);
    EXPECT_EQ(run.rc, USER_BREAK);
    EXPECT_EQ(run.lines, 10);
    EXPECT_EQ(sim::con(), prompt + erase + echo);
}

TEST_F(Pager, PauseTimeRunsOutAndAFullPageFollows)
{
    begin(20, 25, 2000);
    DWORD start = sim::kernel().tick;
    Written run = write_lines(45);
    EXPECT_EQ(run.rc, 0);
    EXPECT_EQ(prompts_after_lines(), (std::vector<size_t>{20, 40}));
    EXPECT_GE(elapsed_since(start), 4000u);
    EXPECT_LE(elapsed_since(start), 4020u);
}

TEST_F(Pager, PageLengthFromTheWindow)
{
    struct Case {
        bool console;
        SHORT top, rows;
        DWORD requested;
        DWORD page;
    } cases[] = {
        {true, 0, 9, fit_window, 0},
        {true, 0, 101, fit_window, 0},
        {true, 0, 101, 20, 0},
        {true, 0, 10, fit_window, 8},
        {true, 0, 10, 2, 8},
        {true, 0, 10, 9, 9},
        {true, 0, 10, 10, 8},
        {true, 0, 10, 3, 3},
        {true, 0, 100, fit_window, 98},
        {true, 0, 100, 99, 99},
        {true, 0, 25, 1, 23},
        {true, 0, 25, 1000, 23},
        {true, 275, 25, fit_window, 23},  // a window scrolled down the buffer
        {false, 0, 25, fit_window, 0},
        {false, 0, 25, 20, 0},
    };
    for (const auto &c : cases) {
        sim::reset();
        pager = PagerState{};
        sim::console().stdout_is_console = c.console;
        sim::console().window_top = c.top;
        sim::console().window_rows = c.rows;
        start_paging(c.requested);
        EXPECT_EQ(pager.page_length, c.page) << c.rows << " rows, " << c.requested << " asked";
        EXPECT_EQ(pager.lines_left, c.page) << c.rows << " rows, " << c.requested << " asked";
    }
}

TEST_F(Pager, LineEndsPutTheNormalColourBack)
{
    highlight_colors = HighlightColors{0x17, 0x1F};
    sim::console().attr = 0x1F;
    EXPECT_EQ(end_line(), 0);
    EXPECT_EQ(sim::console().attr_log, std::vector<WORD>{0x17});
    EXPECT_EQ(sim::host().set_colors, std::vector<int>{0x17});
    EXPECT_EQ(end_lines(3), 0);
    EXPECT_EQ(sim::host().set_colors.size(), 4u);
    EXPECT_EQ(end_lines(0), 0);
    EXPECT_EQ(sim::host().set_colors.size(), 4u) << "end_lines(0) did something";
    EXPECT_EQ(sim::out(), "\r\n\r\n\r\n\r\n");
    EXPECT_EQ(sim::coloured(0x17), "\r\n\r\n\r\n\r\n");
}

TEST_F(Pager, HighlightedText)
{
    struct Case {
        const char *what;
        bool on;
        std::string text;
        DWORD count;
        std::string coloured;  // the transcript with the normal colour 0x07
        std::string con;
    } cases[] = {
        {"highlighted, one line end", true, "myhost", 1, "{0F:myhost}\r\n", "myhost"},
        {"highlighted, no line end", true, "myhost", 0, "{0F:myhost}", "myhost"},
        {"highlighted, two line ends", true, "ok", 2, "{0F:ok}\r\n\r\n", "ok"},
        {"only the low 8 bits of the count", true, "ok", 0x101, "{0F:ok}\r\n", "ok"},
        {"a count of 256 is none", true, "ok", 0x100, "{0F:ok}", "ok"},
        {"outside the BMP: a blank and a backspace", true, "wi\U0001F4F6fi", 1,
         "{0F:wi\U0001F4F6fi \b}\r\n", "wi\U0001F4F6fi \b"},
        // the edges of the surrogate range: lone U+D800 and U+DFFF count, their neighbours not
        {"U+D7FF: nothing added", true, "\uD7FF", 0, "{0F:\uD7FF}", "\uD7FF"},
        {"a lone U+D800: a blank and a backspace", true, "\xED\xA0\x80", 0,
         "{0F:\xED\xA0\x80 \b}", "\xED\xA0\x80 \b"},
        {"a lone U+DFFF: a blank and a backspace", true, "\xED\xBF\xBF", 0,
         "{0F:\xED\xBF\xBF \b}", "\xED\xBF\xBF \b"},
        {"U+E000: nothing added", true, "\uE000", 0, "{0F:\uE000}", "\uE000"},
        {"U+FFFF: nothing added", true, "\uFFFF", 0, "{0F:\uFFFF}", "\uFFFF"},
        {"empty text", true, "", 1, "\r\n", ""},
        {"plain when off", false, "myhost", 1, "myhost\r\n", ""},
        {"plain when off, outside the BMP: nothing added", false, "\U0001F4F6", 0, "\U0001F4F6",
         ""},
    };
    for (const auto &c : cases) {
        sim::reset();
        sim::console().stdout_is_console = true;
        sim::console().attr = 0x07;
        highlight_colors = c.on ? HighlightColors{0x07, 0x0F} : HighlightColors{};
        EXPECT_EQ(write_highlighted(sim::utf16(c.text).c_str(), c.count), 0) << c.what;
        EXPECT_EQ(sim::coloured(0x07), c.coloured) << c.what;
        EXPECT_EQ(sim::con(), c.con) << c.what;
        EXPECT_EQ(sim::console().attr, 0x07) << c.what << ": colour not put back";
        if (c.on) {
            EXPECT_EQ(sim::console().attr_log.front(), 0x0F) << c.what;
            EXPECT_EQ(sim::host().set_colors.front(), 0x07) << c.what;
        } else {
            EXPECT_TRUE(sim::console().attr_log.empty()) << c.what;
        }
    }
}

TEST_F(Pager, HighlightedTextStopsAtABreak)
{
    highlight_colors = HighlightColors{0x07, 0x0F};
    sim::console().ctrl_c_at_line_end = 1;
    begin(fit_window);
    EXPECT_EQ(write_highlighted(TEXT("myhost"), 2), USER_BREAK);
    EXPECT_EQ(count_of(sim::out(), "\r\n"), 1u) << "a second line end after the break";
}
