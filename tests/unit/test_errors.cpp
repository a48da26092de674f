// The error prefix and Windows error texts.
#include "harness.h"
#include "src/plugin/errors.h"

using ErrorPrefix = SimTest;

TEST_F(ErrorPrefix, AtThePromptIsTheNameOnly)
{
    EXPECT_EQ(report_error_prefix(), 0);
    EXPECT_EQ(sim::err(), "Nicshow plugin: ");
    EXPECT_EQ(sim::out(), "");
}

TEST_F(ErrorPrefix, InsideABatchFileNamesTheFileAndLine)
{
    struct Case {
        const char *batch, *name, *line, *expected;
    } cases[] = {
        {"1", "C:\\jobs\\net.btm", "12", "Nicshow plugin: C:\\jobs\\net.btm [12]  "},
        {"2", "C:\\100%\\x.bat", "3", "Nicshow plugin: C:\\100%\\x.bat [3]  "},
        {"", "D:\\a.cmd", "7", "Nicshow plugin: D:\\a.cmd [7]  "},  // empty counts as not 0
        {"0", "C:\\never.btm", "9", "Nicshow plugin: "},
    };
    for (const auto &c : cases) {
        sim::reset();
        sim::set_host_var("_batch", c.batch);
        sim::set_host_var("_batchname", c.name);
        sim::set_host_var("_batchline", c.line);
        report_error_prefix();
        EXPECT_EQ(sim::err(), c.expected) << "batch level '" << c.batch << "'";
    }
}

using SystemError = SimTest;

TEST_F(SystemError, TextsAreOneLineWithoutTrailingWhiteSpace)
{
    struct Case {
        DWORD code;
        bool wininet_loaded;
        const char *expected;
    } cases[] = {
        {2, false, "The system cannot find the file specified."},
        {0xFFFFFFFFu, false, "Unknown error"},
        {4711, false, "Error 4711"},
        {0x80070005u, false, "Error -2147024891"},
        {12002, true, "The operation timed out"},
        {12002, false, "Error 12002"},
        {12007, true, "The server name or address could not be resolved"},
    };
    for (const auto &c : cases) {
        sim::reset();
        sim::kernel().wininet_loaded = c.wininet_loaded;
        WCHAR text[1024];
        text[0] = 0xBEEF;
        EXPECT_EQ(format_system_error(c.code, text), 0);
        EXPECT_EQ(sim::utf8(text), c.expected) << "code " << c.code;
    }
}

TEST_F(SystemError, MessageSourceFlags)
{
    const DWORD system = 0x12FF, with_module = 0x1AFF;
    struct Case {
        DWORD code;
        bool wininet_loaded;
        DWORD flags;
    } cases[] = {
        {2, false, system},
        {2, true, system},
        {11999, true, system},
        {11999, false, system},
        {12000, true, with_module},
        {12000, false, system},
        {12002, true, with_module},
        {12199, true, with_module},
        {12199, false, system},
        {12200, true, system},
        {12200, false, system},
    };
    for (const auto &c : cases) {
        sim::reset();
        sim::kernel().wininet_loaded = c.wininet_loaded;
        WCHAR text[1024];
        format_system_error(c.code, text);
        ASSERT_EQ(sim::kernel().format_message_flags.size(), 1u) << c.code;
        EXPECT_EQ(sim::kernel().format_message_flags[0], c.flags)
            << "code " << c.code
            << (c.wininet_loaded ? " with" : " without") << " wininet.dll";
        // No language of its own: the system's choice for the user, with its fallbacks.
        EXPECT_EQ(sim::kernel().format_message_languages, std::vector<DWORD>{0}) << c.code;
    }

    sim::reset();
    WCHAR text[1024];
    format_system_error(0xFFFFFFFFu, text);
    EXPECT_TRUE(sim::kernel().format_message_flags.empty()) << "-1 must not consult the system";
}

TEST_F(SystemError, NullBufferIsRefused)
{
    EXPECT_EQ(format_system_error(2, NULL), -1);
    EXPECT_TRUE(sim::kernel().format_message_flags.empty());
}

TEST_F(SystemError, TrimmingStopsAtTheStart)
{
    sim::kernel().system_messages[77] = u" \t \r\n";
    WCHAR text[1024];
    EXPECT_EQ(format_system_error(77, text), 0);
    EXPECT_EQ(sim::utf8(text), "");
}
