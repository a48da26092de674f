// Fetching the adapter lists: the query flags, the one retry of GetAdaptersAddresses, the
// size query of GetAdaptersInfo, and every block handed back or freed.
#include "harness.h"
#include "sim/netsim.h"
#include "src/command/adapters.h"

namespace {

int count_adapters(const IP_ADAPTER_ADDRESSES *list)
{
    int n = 0;
    for (; list && n < 1000; list = list->Next)
        n++;
    return n;
}

// Enough adapters, each with a long description and several addresses, to need more than
// the first block.
void crowded_machine(int adapters)
{
    for (int i = 1; i <= adapters; i++) {
        char v4[32], v6[48];
        snprintf(v4, sizeof v4, "192.0.2.%d", i);
        snprintf(v6, sizeof v6, "2001:db8::%x", i);
        sim::net().add(sim::ethernet(i, "Ethernet " + std::to_string(i))
                           .description(std::string(100, 'd'))
                           .address(v4, 24)
                           .address(v6, 64)
                           .gateway("192.0.2.254")
                           .dns("198.51.100.53"));
    }
}

}  // namespace

using QueryFlags = SimTest;

TEST_F(QueryFlags, FromMajorVersionAndDetail)
{
    struct Case {
        DWORD major;
        BOOL detailed;
        ULONG flags;
    } cases[] = {
        {5, FALSE, 0x10}, {5, TRUE, 0x10},  // no gateway or WINS lists before Vista
        {0, TRUE, 0x10},                    // an unknown version counts as old
        {6, FALSE, 0x90}, {6, TRUE, 0xD0},
        {10, FALSE, 0x90}, {10, TRUE, 0xD0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(adapter_query_flags(c.major, c.detailed), c.flags)
            << "version " << c.major << (c.detailed ? " detailed" : " basic");
}

using AdapterAddresses = SimTest;

TEST_F(AdapterAddresses, SmallMachineTakesOneCall)
{
    sim::net().add(sim::ethernet(4, "Ethernet").address("192.0.2.10", 24).gateway("192.0.2.1"));
    sim::net().add(sim::loopback(1));
    IP_ADAPTER_ADDRESSES *list = get_adapter_addresses(0x90);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(count_adapters(list), 2);
    EXPECT_EQ(list->IfIndex, 4u);
    ASSERT_EQ(sim::net().addresses_calls.size(), 1u);
    const sim::SizedCall &c = sim::net().addresses_calls[0];
    EXPECT_EQ(c.family, (ULONG)AF_UNSPEC);
    EXPECT_EQ(c.flags, 0x90u);
    EXPECT_TRUE(c.buffer);
    EXPECT_EQ(c.size_in, 15360u);
    EXPECT_EQ(sim::kernel().heap_outstanding, 1);
    HeapFree(GetProcessHeap(), 0, list);
}

TEST_F(AdapterAddresses, LargeMachineRetriesOnceWithTheSizeAsked)
{
    crowded_machine(40);
    const ULONG need = sim::addresses_size(AF_UNSPEC, 0xD0);
    ASSERT_GT(need, 15360u) << "the machine must outgrow the first block";
    IP_ADAPTER_ADDRESSES *list = get_adapter_addresses(0xD0);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(count_adapters(list), 40) << "the list is complete";
    const auto &calls = sim::net().addresses_calls;
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].result, (DWORD)ERROR_BUFFER_OVERFLOW);
    for (const auto &call : calls) {
        EXPECT_EQ(call.family, (ULONG)AF_UNSPEC);
        EXPECT_EQ(call.flags, 0xD0u) << "the retry asks what the first call asked";
    }
    EXPECT_EQ(calls[1].size_in, need);
    EXPECT_EQ(calls[1].result, (DWORD)ERROR_SUCCESS);
    EXPECT_EQ(sim::kernel().heap_allocs, 2);
    EXPECT_EQ(sim::kernel().heap_outstanding, 1) << "the first block was freed";
    HeapFree(GetProcessHeap(), 0, list);
}

TEST_F(AdapterAddresses, FailuresGiveNullAndFreeEverything)
{
    struct Case {
        const char *what;
        int adapters;
        bool grows;
        sim::Failure failure;
        long heap_fail_after;
        size_t calls;
    } cases[] = {
        {"list grows between the calls", 40, true, {}, -1, 2},
        {"no adapters at all", 0, false, {}, -1, 1},
        {"the call fails", 2, false, {ERROR_NOT_ENOUGH_MEMORY, 0}, -1, 1},
        {"the retry fails", 40, false, {ERROR_GEN_FAILURE, 2}, -1, 2},
        {"no memory for the first block", 2, false, {}, 0, 0},
        {"no memory for the second block", 40, false, {}, 1, 1},
    };
    for (const auto &c : cases) {
        sim::reset();
        crowded_machine(c.adapters);
        if (c.grows)
            sim::net().arriving.push_back(sim::ethernet(99, "Hot-plugged").desc);
        sim::net().addresses = c.failure;
        sim::kernel().heap_fail_after = c.heap_fail_after;
        EXPECT_EQ(get_adapter_addresses(0x90), nullptr) << c.what;
        EXPECT_EQ(sim::net().addresses_calls.size(), c.calls) << c.what << ": never a third call";
        EXPECT_EQ(sim::kernel().heap_outstanding, 0) << c.what;
    }
}

TEST_F(AdapterAddresses, OldSystemGetsNoGatewayOrWinsLists)
{
    sim::net().add(sim::ethernet(4, "Ethernet").address("192.0.2.10", 24).gateway("192.0.2.1")
                       .wins("192.0.2.5"));
    struct Case {
        DWORD major;
        bool gateways, wins;
    } cases[] = {{5, false, false}, {6, true, true}};
    for (const auto &c : cases) {
        IP_ADAPTER_ADDRESSES *list = get_adapter_addresses(adapter_query_flags(c.major, TRUE));
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->FirstGatewayAddress != nullptr, c.gateways) << "version " << c.major;
        EXPECT_EQ(list->FirstWinsServerAddress != nullptr, c.wins) << "version " << c.major;
        EXPECT_NE(list->FirstPrefix, nullptr) << "version " << c.major;
        HeapFree(GetProcessHeap(), 0, list);
    }
}

using AdapterInfo = SimTest;

TEST_F(AdapterInfo, SizeQueryThenSlack)
{
    // Only the size the question reports counts, not what it answers.
    for (DWORD size_answer : {(DWORD)ERROR_BUFFER_OVERFLOW, (DWORD)ERROR_INSUFFICIENT_BUFFER,
                              (DWORD)ERROR_SUCCESS}) {
        sim::reset();
        sim::net().info_size_answer = size_answer;
        sim::net().add(sim::ethernet(4, "Ethernet").address("192.0.2.10", 24).dhcp("192.0.2.2", 1700000000, 1700086400));
        sim::net().add(sim::ethernet(5, "Second").address("198.51.100.7", 24));
        IP_ADAPTER_INFO *info = get_adapter_info();
        ASSERT_NE(info, nullptr) << "size question answered " << size_answer;
        EXPECT_EQ(info->Index, 4u);
        EXPECT_EQ(info->LeaseObtained, (time_t)1700000000);
        ASSERT_NE(info->Next, nullptr);
        EXPECT_EQ(info->Next->Index, 5u);
        EXPECT_EQ(info->Next->Next, nullptr);
        const auto &calls = sim::net().info_calls;
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_FALSE(calls[0].buffer);
        EXPECT_EQ(calls[0].size_in, 0u);
        EXPECT_EQ(calls[0].result, size_answer);
        EXPECT_EQ(calls[1].size_in, calls[0].size_out + 512);
        HeapFree(GetProcessHeap(), 0, info);
    }
}

TEST_F(AdapterInfo, SlackAbsorbsASmallGrowth)
{
    sim::net().add(sim::ethernet(4, "Ethernet").address("192.0.2.10", 24));
    sim::net().on_overflow = [] { sim::net().find(4)->unicast.push_back({"192.0.2.11", 24, 0}); };
    IP_ADAPTER_INFO *info = get_adapter_info();
    ASSERT_NE(info, nullptr);
    ASSERT_NE(info->IpAddressList.Next, nullptr) << "the address that arrived is listed";
    EXPECT_STREQ(info->IpAddressList.Next->IpAddress.String, "192.0.2.11");
    HeapFree(GetProcessHeap(), 0, info);
}

TEST_F(AdapterInfo, FailuresGiveNullAndFreeEverything)
{
    struct Case {
        const char *what;
        bool ipv4;
        bool grows;
        sim::Failure failure;
        long heap_fail_after;
        size_t calls;
    } cases[] = {
        {"no IPv4 adapter", false, false, {}, -1, 1},
        {"a whole adapter arrives between the calls", true, true, {}, -1, 2},
        {"the second call fails", true, false, {ERROR_NOT_SUPPORTED, 2}, -1, 2},
        {"the size query fails", true, false, {ERROR_NOT_SUPPORTED, 1}, -1, 1},
        // Never a call that offers a size without a buffer.
        {"no memory", true, false, {}, 0, 1},
    };
    for (const auto &c : cases) {
        sim::reset();
        if (c.ipv4)
            sim::net().add(sim::ethernet(4, "Ethernet").address("192.0.2.10", 24));
        sim::net().add(sim::tunnel(9, "Teredo"));
        if (c.grows)
            sim::net().arriving.push_back(sim::ethernet(5, "Hot-plugged").address("192.0.2.20", 24).desc);
        sim::net().info = c.failure;
        sim::kernel().heap_fail_after = c.heap_fail_after;
        EXPECT_EQ(get_adapter_info(), nullptr) << c.what;
        EXPECT_EQ(sim::net().info_calls.size(), c.calls) << c.what;
        EXPECT_EQ(sim::kernel().heap_outstanding, 0) << c.what;
    }
}
