// The fixture every unit test uses: a fresh simulated platform and fresh module state
// before each test; after it, no heap block outstanding and no break handler left.
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
        ZeroMemory(&os_version, sizeof(os_version));
    }

    void TearDown() override
    {
        EXPECT_EQ(sim::kernel().heap_outstanding, 0) << "heap blocks left outstanding";
        EXPECT_TRUE(sim::console().handlers.empty()) << "console control handler left installed";
        EXPECT_EQ(sim::kernel().reg_open_keys, 0) << "registry keys left open";
        EXPECT_EQ(sim::wlan_outstanding(), 0) << "WLAN blocks not given back with WlanFreeMemory";
    }

    // A writable copy of a command tail, as the host hands it over.
    static std::u16string tail(const std::string &text) { return sim::utf16(text); }
};

#endif
