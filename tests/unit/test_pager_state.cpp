// The console control handler and its installation around a run.
#include "harness.h"

using BreakHandler = SimTest;

TEST_F(BreakHandler, TakesCtrlCAndCtrlBreakAndPassesEverythingElseOn)
{
    struct Case {
        DWORD event;
        DWORD flag_before;
        BOOL taken;
        DWORD flag_after;
    } cases[] = {
        {CTRL_C_EVENT, 0, TRUE, 1},
        {CTRL_BREAK_EVENT, 0, TRUE, 1},
        {CTRL_C_EVENT, 1, TRUE, 1},
        {CTRL_CLOSE_EVENT, 0, FALSE, 0},
        {CTRL_LOGOFF_EVENT, 0, FALSE, 0},
        {CTRL_SHUTDOWN_EVENT, 0, FALSE, 0},
        {CTRL_CLOSE_EVENT, 1, FALSE, 1},
        {CTRL_SHUTDOWN_EVENT, 1, FALSE, 1},
    };
    for (const auto &c : cases) {
        pager.break_requested = c.flag_before;
        EXPECT_EQ(console_ctrl_handler(c.event), c.taken) << "event " << c.event;
        EXPECT_EQ(pager.break_requested, c.flag_after)
            << "event " << c.event << " with the flag at " << c.flag_before;
    }
    pager.break_requested = 0;
}

TEST_F(BreakHandler, CtrlCFromTheSystemThreadReachesTheHandlerNotTheHost)
{
    install_break_handler();
    sim::raise_ctrl(CTRL_C_EVENT);
    EXPECT_EQ(pager.break_requested, 1u);
    EXPECT_EQ(sim::console().ctrl_handled, std::vector<DWORD>{CTRL_C_EVENT});
    EXPECT_TRUE(sim::console().ctrl_unhandled.empty()) << "the host saw the Ctrl-C";

    sim::raise_ctrl(CTRL_CLOSE_EVENT);
    EXPECT_EQ(sim::console().ctrl_unhandled, std::vector<DWORD>{CTRL_CLOSE_EVENT});
    remove_break_handler();
}

TEST_F(BreakHandler, InstalledTwiceIsInstalledOnce)
{
    pager.break_requested = 1;
    install_break_handler();
    EXPECT_EQ(pager.break_requested, 0u) << "installing clears a stale break";
    pager.break_requested = 1;
    install_break_handler();
    EXPECT_EQ(pager.break_requested, 0u);
    EXPECT_EQ(pager.handler_installed, 1u);
    ASSERT_EQ(sim::console().handlers.size(), 1u);
    EXPECT_EQ(sim::console().handlers[0], &console_ctrl_handler);
    EXPECT_EQ(sim::kernel().events, std::vector<std::string>{"SetConsoleCtrlHandler(add)"});

    remove_break_handler();
    EXPECT_EQ(pager.handler_installed, 0u);
    EXPECT_TRUE(sim::console().handlers.empty());
    EXPECT_EQ(sim::kernel().events.back(), "SetConsoleCtrlHandler(remove)");
}

TEST_F(BreakHandler, RemovedWithoutInstallOnlyClearsTheFlag)
{
    pager.break_requested = 1;
    remove_break_handler();
    EXPECT_EQ(pager.break_requested, 0u);
    EXPECT_EQ(pager.handler_installed, 0u);
    EXPECT_TRUE(sim::kernel().events.empty()) << "SetConsoleCtrlHandler was called";

    install_break_handler();
    remove_break_handler();
    pager.break_requested = 1;
    remove_break_handler();
    EXPECT_EQ(pager.break_requested, 0u);
    EXPECT_EQ(sim::kernel().events.size(), 2u) << "a second removal called the system again";
}
