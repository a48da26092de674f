// The fixture every unit test uses: a fresh simulated platform and fresh module state
// before each test; after it, no heap block outstanding, no break handler left, Winsock's
// count back at the host's own start-up, and every call of the kind that is made on many
// paths passed the arguments it must.
#ifndef NICSHOW_TESTS_HARNESS_H
#define NICSHOW_TESTS_HARNESS_H

#include <gtest/gtest.h>

#include "sim/netsim.h"
#include "sim/sim.h"
#include "src/console/pager_state.h"
#include "src/plugin/plugin.h"
#include "src/plugin/wlan_library.h"

class SimTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sim::reset();
        pager = PagerState{};
        wlan_client = NULL;
        wlan_api = WlanApi{};
        console_output = NULL;
        winsock_started = false;
        ZeroMemory(&os_version, sizeof(os_version));
    }

    void TearDown() override
    {
        EXPECT_EQ(sim::kernel().heap_outstanding, 0) << "heap blocks left outstanding";
        EXPECT_TRUE(sim::console().handlers.empty()) << "console control handler left installed";
        EXPECT_EQ(sim::kernel().reg_open_keys, 0) << "registry keys left open";
        EXPECT_EQ(sim::wlan_outstanding(), 0) << "WLAN blocks not given back with WlanFreeMemory";
        // Every test ends unloaded: the shell's own Winsock start-up is still there, and
        // the plug-in holds none.
        EXPECT_GE(sim::kernel().wsa_count, 1) << "the host's own Winsock start-up was taken";
        EXPECT_LE(sim::kernel().wsa_count, 1) << "the plug-in still holds a Winsock start-up";
        // The shell's variables are expanded in the one way the plug-in asks for.
        for (int flag : sim::host().expand_flags)
            EXPECT_EQ(flag, 1) << "ExpandVariables flag";
        const sim::KernelState &k = sim::kernel();
        // The heap's lock is what keeps the console control thread's allocations apart
        // from the command's: no call may skip it, and none may raise exceptions.
        for (DWORD flags : k.heap_alloc_flags)
            EXPECT_EQ(flags & ~(DWORD)HEAP_ZERO_MEMORY, 0u) << "HeapAlloc flags " << flags;
        for (DWORD flags : k.heap_free_flags)
            EXPECT_EQ(flags, 0u) << "HeapFree flags";
        // Keys are opened plainly and for reading only: nothing is written to the registry.
        for (const auto &open : k.reg_opens) {
            EXPECT_EQ(open.options, 0u) << sim::utf8(open.key);
            EXPECT_EQ(open.access, (REGSAM)KEY_READ) << sim::utf8(open.key);
        }
        // The user's own date settings count: no locale query turns them off.
        for (LCTYPE type : sim::locale().info_queries)
            EXPECT_EQ(type & LOCALE_NOUSEROVERRIDE, 0u) << "locale query " << type;
        // Narrow texts come from the system in the ANSI code page; the flags are the
        // default's (MB_PRECOMPOSED, or 0, which means the same).
        for (const auto &call : k.code_page_calls) {
            EXPECT_EQ(call.code_page, (UINT)CP_ACP);
            EXPECT_EQ(call.flags & ~(DWORD)MB_PRECOMPOSED, 0u);
        }
    }

    // A writable copy of a command tail, as the host hands it over.
    static std::u16string tail(const std::string &text) { return sim::utf16(text); }
};

#endif
