// Release, renew and bounce: the interfaces chosen from the interface table by name and
// media state, the progress lines and outcomes, the error text, sounds, the pause before a
// renew, quiet mode, the failure count, the cases that cannot start, and the user break.
#include "harness.h"
#include "sim/netsim.h"
#include "src/command/options.h"
#include "src/command/release.h"
#include "src/console/highlight.h"
#include "src/console/pager.h"

#include <mmsystem.h>

namespace {

const DWORD X = CommandOptions::release;
const DWORD R = CommandOptions::renew;
const DWORD B = CommandOptions::release | CommandOptions::renew;
const DWORD QUIET = CommandOptions::quiet;
const DWORD SOUNDS = CommandOptions::sounds;
const DWORD ALL = CommandOptions::all_adapters;

// What the system's message table says for the codes used here.
const std::string NOT_SUPPORTED = "The request is not supported.";
const std::string NOT_FOUND = "Element not found.";

const ULONG_PTR ASTERISK = 0x2A53;  // SND_ALIAS_SYSTEMASTERISK
const ULONG_PTR HAND = 0x4853;      // SND_ALIAS_SYSTEMHAND

const std::string dashes = "\u2500\u2500";
const std::string prompt = "\r   " + dashes + " Press a key to continue " + dashes + " ";
const std::string erase = "\r" + std::string(60, ' ') + "\r";

// A DHCP Ethernet adapter with an address to give up.
sim::Adapter dhcp_ethernet(ULONG index, const std::string &name)
{
    return sim::ethernet(index, name).address("192.0.2.10", 24).dhcp("192.0.2.1", 0, 0);
}

// The release and renew calls the system saw, as "release 7" and "renew 7".
std::vector<std::string> dhcp_log()
{
    std::vector<std::string> log;
    for (const auto &c : sim::net().dhcp_calls)
        log.push_back(c.action + " " + std::to_string(c.index));
    return log;
}

std::vector<ULONG_PTR> sounds_played()
{
    std::vector<ULONG_PTR> played;
    for (const auto &s : sim::sounds()) {
        EXPECT_EQ(s.flags, 0x110001u) << "SND_ALIAS_ID | SND_ASYNC";
        EXPECT_EQ(s.module, (HMODULE)NULL);
        played.push_back(s.sound);
    }
    return played;
}

void fresh_platform()
{
    sim::reset();
    pager = PagerState{};
    highlight_colors = HighlightColors{};
}

int release_renew_with(DWORD flags, const char *mask, DWORD actions)
{
    std::u16string m = mask ? sim::utf16(mask) : u"";
    return release_renew(flags, mask ? m.c_str() : NULL, actions);
}

// Module state the harness does not reset: the colours a run chose stay for the next.
class ReleaseTest : public SimTest {
protected:
    void SetUp() override
    {
        SimTest::SetUp();
        highlight_colors = HighlightColors{};
    }
};

}  // namespace

// --- friendly_name_of ------------------------------------------------------------------

using FriendlyName = ReleaseTest;

TEST_F(FriendlyName, FirstRecordWithTheIndexGivesItsName)
{
    std::u16string long_name(1100, u'n');
    WCHAR first[] = u"First", ethernet[] = u"Ethernet", second[] = u"Second";
    IP_ADAPTER_ADDRESSES records[5];
    ZeroMemory(records, sizeof(records));
    ULONG indexes[5] = {3, 7, 7, 9, 11};
    LPWSTR names[5] = {first, ethernet, second, NULL, &long_name[0]};
    for (int i = 0; i < 5; i++) {
        records[i].IfIndex = indexes[i];
        records[i].FriendlyName = names[i];
        records[i].Next = i < 4 ? &records[i + 1] : NULL;
    }

    struct Case {
        const char *what;
        const IP_ADAPTER_ADDRESSES *list;
        ULONG index;
        int result;
        std::u16string name;
    } cases[] = {
        {"the first record", records, 3, 1, u"First"},
        {"the first of two with the same index", records, 7, 1, u"Ethernet"},
        {"a record without a name gives an empty one", records, 9, 1, u""},
        {"a long name is cut to 1023 characters", records, 11, 1, std::u16string(1023, u'n')},
        {"an index no record has", records, 8, 0, u"sentinel"},
        {"no list", NULL, 3, 0, u"sentinel"},
    };
    for (const auto &c : cases) {
        WCHAR name[1024 + 8];
        for (auto &ch : name)
            ch = u'#';
        lstrcpyW(name, u"sentinel");
        EXPECT_EQ(friendly_name_of(c.list, c.index, name), c.result) << c.what;
        EXPECT_EQ(sim::utf8(name), sim::utf8(c.name)) << c.what;
        for (int i = 1024; i < 1024 + 8; i++)
            EXPECT_EQ(name[i], u'#') << c.what << ": written past the 1024 characters";
    }
    EXPECT_EQ(friendly_name_of(records, 3, NULL), -1);
}

// --- media_connect_state ---------------------------------------------------------------

using MediaConnectState = ReleaseTest;

TEST_F(MediaConnectState, StateOfTheRowOrMinusOne)
{
    struct Case {
        const char *what;
        sim::Adapter adapter;
        ULONG asked;
        int result;
    } cases[] = {
        {"connected", sim::ethernet(7, "Ethernet"), 7, 1},
        {"disconnected", sim::ethernet(7, "Ethernet").media(MediaConnectStateDisconnected), 7, 2},
        {"unknown", sim::ethernet(7, "Ethernet").media(MediaConnectStateUnknown), 7, 0},
        {"a state beyond disconnected", sim::ethernet(7, "Ethernet").media(3), 7, -1},
        {"a state far beyond", sim::ethernet(7, "Ethernet").media(0x7FFFFFFF), 7, -1},
        {"the row cannot be had", sim::ethernet(7, "Ethernet").if_entry_fails(ERROR_ACCESS_DENIED),
         7, -1},
        {"an index the system does not know", sim::ethernet(7, "Ethernet"), 8, -1},
    };
    for (const auto &c : cases) {
        fresh_platform();
        sim::net().add(c.adapter);
        EXPECT_EQ(media_connect_state(c.asked), c.result) << c.what;
        // The row is looked up by index alone: a LUID left in it would be used first.
        EXPECT_EQ(sim::net().if_entry_calls, std::vector<ULONG>{c.asked}) << c.what;
    }
}

// --- release_renew: what is written and done -------------------------------------------

using ReleaseRenew = ReleaseTest;

TEST_F(ReleaseRenew, ProgressLinesOutcomesSoundsAndPauses)
{
    const std::string eth_release = "Release IP for # 7 \u201CEthernet\u201D :  ";
    const std::string eth_renew = "Renew IP   for # 7 \u201CEthernet\u201D :  ";
    struct Case {
        const char *what;
        std::vector<sim::Adapter> machine;
        DWORD flags;
        const char *mask;
        DWORD actions;
        int result;
        std::string out, err;
        std::vector<std::string> dhcp;
        std::vector<ULONG_PTR> sounds;
        std::vector<DWORD> sleeps;
    } cases[] = {
        {"no action does nothing at all", {dhcp_ethernet(7, "Ethernet")}, 0, NULL, 0, 0, "", "",
         {}, {}, {}},
        {"release", {dhcp_ethernet(7, "Ethernet")}, 0, NULL, X, 0,
         "\r\n" + eth_release + "Success.\r\n", "", {"release 7"}, {}, {}},
        {"renew", {dhcp_ethernet(7, "Ethernet")}, 0, NULL, R, 0,
         "\r\n" + eth_renew + "Success.\r\n", "", {"renew 7"}, {}, {}},
        {"bounce pauses 800 ms between a good release and the renew",
         {dhcp_ethernet(7, "Ethernet")}, 0, NULL, B, 0,
         "\r\n" + eth_release + "Success.\r\n" + eth_renew + "Success.\r\n", "",
         {"release 7", "renew 7"}, {}, {800}},
        {"bounce with sounds: release good, renew failed",
         {dhcp_ethernet(7, "Ethernet").renew_result(ERROR_NOT_FOUND)}, SOUNDS, NULL, B, 1,
         "\r\n" + eth_release + "Success.\r\n" + eth_renew + "Failed!\r\n\r\n",
         "   " + NOT_FOUND, {"release 7", "renew 7"}, {ASTERISK, HAND}, {800}},
        {"bounce whose release fails renews at once",
         {dhcp_ethernet(7, "Ethernet").release_result(ERROR_NOT_SUPPORTED)}, 0, NULL, B, 1,
         "\r\n" + eth_release + "Failed!\r\n\r\n" + eth_renew + "Success.\r\n",
         "   " + NOT_SUPPORTED, {"release 7", "renew 7"}, {}, {}},
        {"bounce where both fail counts two",
         {dhcp_ethernet(7, "Ethernet").release_result(ERROR_NOT_SUPPORTED)
              .renew_result(ERROR_NOT_FOUND)},
         SOUNDS, NULL, B, 2,
         "\r\n" + eth_release + "Failed!\r\n\r\n" + eth_renew + "Failed!\r\n\r\n",
         "   " + NOT_SUPPORTED + "   " + NOT_FOUND, {"release 7", "renew 7"}, {HAND, HAND}, {}},
        {"sounds for two good releases", {dhcp_ethernet(7, "Ethernet"), sim::wifi(12, "Wi-Fi")},
         SOUNDS, NULL, X, 0,
         "\r\n" + eth_release + "Success.\r\n\r\nRelease IP for #12 \u201CWi-Fi\u201D :  Success.\r\n",
         "", {"release 7", "release 12"}, {ASTERISK, ASTERISK}, {}},
        {"quiet renew: an empty line per interface, the error text alone",
         {dhcp_ethernet(7, "Ethernet"), sim::wifi(12, "Wi-Fi").renew_result(ERROR_NOT_SUPPORTED)},
         QUIET, NULL, R, 1, "\r\n\r\n\r\n", "   " + NOT_SUPPORTED, {"renew 7", "renew 12"}, {},
         {}},
        {"quiet bounce still pauses and plays", {dhcp_ethernet(7, "Ethernet")}, QUIET | SOUNDS,
         NULL, B, 0, "\r\n", "", {"release 7", "renew 7"}, {ASTERISK, ASTERISK}, {800}},
        {"a mask that matches no name: nothing at all",
         {dhcp_ethernet(7, "Ethernet"), sim::wifi(12, "Wi-Fi")}, SOUNDS, "VPN*", B, 0, "", "", {},
         {}, {}},
        {"a mask picks by friendly name, letter case not mattering",
         {dhcp_ethernet(7, "Ethernet"), sim::wifi(12, "Wi-Fi")}, 0, "WI-*", X, 0,
         "\r\nRelease IP for #12 \u201CWi-Fi\u201D :  Success.\r\n", "", {"release 12"}, {}, {}},
        {"a disconnected interface is never touched",
         {dhcp_ethernet(7, "Ethernet").media(MediaConnectStateDisconnected)}, SOUNDS, NULL, B, 0,
         "", "", {}, {}, {}},
        {"not even with /A",
         {dhcp_ethernet(7, "Ethernet").media(MediaConnectStateDisconnected),
          sim::wifi(12, "Wi-Fi")},
         ALL, NULL, X, 0, "\r\nRelease IP for #12 \u201CWi-Fi\u201D :  Success.\r\n", "",
         {"release 12"}, {}, {}},
        {"an unknown media state is handled",
         {dhcp_ethernet(7, "Ethernet").media(MediaConnectStateUnknown)}, 0, NULL, X, 0,
         "\r\n" + eth_release + "Success.\r\n", "", {"release 7"}, {}, {}},
        {"an interface row that cannot be had is handled",
         {dhcp_ethernet(7, "Ethernet").if_entry_fails(ERROR_FILE_NOT_FOUND)}, 0, NULL, X, 0,
         "\r\n" + eth_release + "Success.\r\n", "", {"release 7"}, {}, {}},
        {"indexes of one, two and three digits",
         {sim::ethernet(7, "A"), sim::ethernet(42, "B"), sim::ethernet(123, "C")}, 0, NULL, R, 0,
         "\r\nRenew IP   for # 7 \u201CA\u201D :  Success.\r\n"
         "\r\nRenew IP   for #42 \u201CB\u201D :  Success.\r\n"
         "\r\nRenew IP   for #123 \u201CC\u201D :  Success.\r\n",
         "", {"renew 7", "renew 42", "renew 123"}, {}, {}},
        {"only IPv4 interfaces other than loopback are in the table",
         {sim::loopback(1), sim::ethernet(5, "IPv6 only").no_ipv4(), sim::tunnel(14, "Teredo"),
          dhcp_ethernet(7, "Ethernet")},
         0, NULL, X, 0, "\r\n" + eth_release + "Success.\r\n", "", {"release 7"}, {}, {}},
        {"a failure does not stop the next interface",
         {dhcp_ethernet(7, "Ethernet").release_result(ERROR_NOT_SUPPORTED), sim::wifi(12, "Wi-Fi")},
         0, NULL, X, 1,
         "\r\n" + eth_release + "Failed!\r\n\r\n\r\nRelease IP for #12 \u201CWi-Fi\u201D :  Success.\r\n",
         "   " + NOT_SUPPORTED, {"release 7", "release 12"}, {}, {}},
        {"a name outside the Basic Multilingual Plane",
         {sim::ethernet(7, "LAN \U0001F310")}, 0, NULL, X, 0,
         "\r\nRelease IP for # 7 \u201CLAN \U0001F310\u201D :  Success.\r\n", "", {"release 7"}, {},
         {}},
    };
    for (const auto &c : cases) {
        fresh_platform();
        for (const auto &a : c.machine)
            sim::net().add(a);
        std::map<ULONG, std::u16string> entry_names;  // as the interface table gave them
        sim::net().on_interface_info = [&](PIP_INTERFACE_INFO table) {
            for (LONG i = 0; i < table->NumAdapters; i++)
                entry_names[table->Adapter[i].Index] = table->Adapter[i].Name;
        };
        EXPECT_EQ(release_renew_with(c.flags, c.mask, c.actions), c.result) << c.what;
        EXPECT_EQ(sim::out(), c.out) << c.what;
        EXPECT_EQ(sim::err(), c.err) << c.what;
        EXPECT_EQ(dhcp_log(), c.dhcp) << c.what;
        for (const auto &call : sim::net().dhcp_calls)
            EXPECT_EQ(sim::utf8(call.name), sim::utf8(entry_names[call.index]))
                << c.what << ": " << call.action << " was not given the table's own entry";
        for (const auto &call : sim::host().wildcard_calls) {
            EXPECT_EQ(sim::utf8(call.pattern), c.mask ? c.mask : "") << c.what;
            EXPECT_EQ(call.flag1, 0) << c.what;
            EXPECT_EQ(call.flag2, 1) << c.what;
        }
        EXPECT_EQ(sounds_played(), c.sounds) << c.what;
        EXPECT_EQ(sim::kernel().sleeps, c.sleeps) << c.what;
        EXPECT_EQ(sim::con(), "") << c.what;
        EXPECT_EQ(sim::kernel().heap_outstanding, 0) << c.what;
        if (!c.actions) {
            EXPECT_TRUE(sim::net().interface_info_calls.empty()) << c.what;
        }
    }
}

TEST_F(ReleaseRenew, TheErrorTextStandsUnderTheFailedLineInTheOrderWritten)
{
    sim::net().add(dhcp_ethernet(7, "Ethernet").release_result(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(release_renew(0, NULL, B), 1);
    EXPECT_EQ(sim::all(), "\r\nRelease IP for # 7 \u201CEthernet\u201D :  Failed!\r\n"
                          "   The request is not supported.\r\n"
                          "Renew IP   for # 7 \u201CEthernet\u201D :  Success.\r\n");
    // The quotes are U+201C and U+201D, the renew line's index in the release line's column.
    std::u16string out;
    for (const auto &s : sim::host().transcript)
        if (s.stream == sim::Stream::Out)
            out += s.text;
    EXPECT_NE(out.find(u"\u201C"), std::u16string::npos);
    EXPECT_NE(out.find(u"\u201D"), std::u16string::npos);
    size_t release = out.find(u"Release IP"), renew = out.find(u"Renew IP");
    EXPECT_EQ(out.find(u'#', release) - release, out.find(u'#', renew) - renew);
}

TEST_F(ReleaseRenew, OutcomesInTheHighlightColourOnTheConsole)
{
    sim::console().stdout_is_console = true;
    sim::set_env("Highlight", "0x1E");
    ASSERT_EQ(init_highlight_colors(), 0x1E);
    sim::net().add(dhcp_ethernet(7, "Ethernet").renew_result(ERROR_NOT_FOUND));
    EXPECT_EQ(release_renew(0, NULL, B), 1);
    EXPECT_EQ(sim::coloured(0x07), "\r\nRelease IP for # 7 \u201CEthernet\u201D :  {1E:Success.}\r\n"
                                   "Renew IP   for # 7 \u201CEthernet\u201D :  {1E:Failed!}\r\n"
                                   "   Element not found.\r\n");
    // The words go to the console device, the rest through the host.
    EXPECT_EQ(sim::con(), "Success.Failed!");
    EXPECT_EQ(sim::err(), "   Element not found.");
    EXPECT_EQ(sim::console().attr, 0x07) << "the normal colour is back";
}

TEST_F(ReleaseRenew, NamesComeFromTheirOwnIpv4Query)
{
    // More adapters than the first 15360 bytes hold.
    for (ULONG i = 1; i <= 40; i++)
        sim::net().add(sim::ethernet(100 + i, "Adapter " + std::to_string(i) + " " +
                                                  std::string(80, 'x'))
                           .media(i == 40 ? MediaConnectStateConnected
                                          : MediaConnectStateDisconnected));
    ULONG needed = sim::addresses_size(AF_INET, 0);
    ASSERT_GT(needed, 15360u);
    EXPECT_EQ(release_renew(0, NULL, X), 0);
    EXPECT_EQ(sim::out(), "\r\nRelease IP for #140 \u201CAdapter 40 " + std::string(80, 'x') +
                              "\u201D :  Success.\r\n");
    const auto &calls = sim::net().addresses_calls;
    ASSERT_EQ(calls.size(), 2u);
    for (const auto &call : calls) {
        EXPECT_EQ(call.family, (ULONG)AF_INET);
        EXPECT_EQ(call.flags, 0u);
        EXPECT_TRUE(call.buffer);
    }
    EXPECT_EQ(calls[0].size_in, 15360u);
    EXPECT_EQ(calls[0].result, (DWORD)ERROR_BUFFER_OVERFLOW);
    EXPECT_EQ(calls[1].size_in, needed);
    EXPECT_EQ(calls[1].result, (DWORD)NO_ERROR);
}

TEST_F(ReleaseRenew, NamesAfterATooSmallAnswerOrEmptyWithoutThem)
{
    const std::string named = "\r\nRelease IP for # 7 \u201CEthernet\u201D :  Success.\r\n";
    const std::string unnamed = "\r\nRelease IP for # 7 \u201C\u201D :  Success.\r\n";
    struct Case {
        const char *what;
        bool big;  // more than the first block holds
        sim::Failure names;
        const char *mask;
        std::string out;
        size_t calls;
    } cases[] = {
        {"a too-small answer asking no more than the offer: one more call, its names count",
         false, {ERROR_BUFFER_OVERFLOW, 1}, NULL, named, 2},
        {"the name query fails", false, {ERROR_NOT_SUPPORTED, 1}, NULL, unnamed, 1},
        {"the query after a too-small block fails", true, {ERROR_NOT_SUPPORTED, 2}, NULL,
         unnamed, 2},
        {"a mask then matches only what matches an empty name", false,
         {ERROR_NOT_SUPPORTED, 1}, "ETH*", "", 1},
        {"such as *", false, {ERROR_NOT_SUPPORTED, 1}, "*", unnamed, 1},
    };
    for (const auto &c : cases) {
        fresh_platform();
        sim::net().add(dhcp_ethernet(7, "Ethernet"));
        if (c.big)
            for (ULONG i = 1; i <= 40; i++)
                sim::net().add(sim::ethernet(100 + i, std::string(100, 'y'))
                                   .media(MediaConnectStateDisconnected));
        ASSERT_EQ(sim::addresses_size(AF_INET, 0) > 15360, c.big) << c.what;
        sim::net().addresses = c.names;
        EXPECT_EQ(release_renew_with(0, c.mask, X), 0) << c.what;
        EXPECT_EQ(sim::out(), c.out) << c.what;
        EXPECT_EQ(sim::err(), "") << c.what;
        const auto &calls = sim::net().addresses_calls;
        ASSERT_EQ(calls.size(), c.calls) << c.what;
        if (c.calls == 2) {
            EXPECT_EQ(calls[1].size_in, calls[0].size_out) << c.what << ": the size that came back";
        }
        EXPECT_EQ(sim::kernel().heap_outstanding, 0) << c.what;
    }
}

TEST_F(ReleaseRenew, AnInterfaceGoneFromTheNameListHasAnEmptyName)
{
    sim::net().add(dhcp_ethernet(7, "Ethernet"));
    sim::net().add(sim::ethernet(8, "Gone"));
    for (ULONG i = 1; i <= 40; i++)
        sim::net().add(sim::ethernet(100 + i, std::string(100, 'y')).media(MediaConnectStateDisconnected));
    // The adapter goes away after the interface table was taken, before the names are.
    sim::net().on_overflow = [] {
        auto &adapters = sim::net().adapters;
        for (auto it = adapters.begin(); it != adapters.end(); ++it)
            if (it->index == 8) {
                adapters.erase(it);
                break;
            }
    };
    EXPECT_EQ(release_renew(0, NULL, X), 1);
    EXPECT_EQ(sim::out(), "\r\nRelease IP for # 7 \u201CEthernet\u201D :  Success.\r\n"
                          "\r\nRelease IP for # 8 \u201C\u201D :  Failed!\r\n\r\n");
    EXPECT_EQ(sim::err(), "   The parameter is incorrect.");
    EXPECT_EQ(dhcp_log(), (std::vector<std::string>{"release 7", "release 8"}));
}

TEST_F(ReleaseRenew, TheCountNeverLeadsPastTheTableBlock)
{
    // The block holds as many entries as there are interfaces: its room.
    struct Case {
        const char *what;
        int interfaces;
        LONG claimed;
        std::vector<std::string> dhcp;
    } cases[] = {
        {"room 2, a count beyond it", 2, 50, {"release 7", "release 12"}},
        {"room 2, a count one above it", 2, 3, {"release 7", "release 12"}},
        {"room 2, a count equal to it", 2, 2, {"release 7", "release 12"}},
        {"room 2, a count below it", 2, 1, {"release 7"}},
        {"room 2, a count of 0", 2, 0, {}},
        {"room 2, a negative count", 2, -1, {}},
        {"room 1, a count one above it", 1, 2, {"release 7"}},
        {"room 1, a count equal to it", 1, 1, {"release 7"}},
        {"room 0, a count one above it", 0, 1, {}},
        {"room 0, a count equal to it", 0, 0, {}},
    };
    for (const auto &c : cases) {
        fresh_platform();
        if (c.interfaces > 0)
            sim::net().add(dhcp_ethernet(7, "Ethernet"));
        if (c.interfaces > 1)
            sim::net().add(sim::wifi(12, "Wi-Fi"));
        LONG claimed = c.claimed;
        sim::net().on_interface_info = [claimed](PIP_INTERFACE_INFO table) {
            table->NumAdapters = claimed;
        };
        EXPECT_EQ(release_renew(QUIET, NULL, X), 0) << c.what;
        EXPECT_EQ(dhcp_log(), c.dhcp) << c.what;
        EXPECT_EQ(sim::kernel().heap_outstanding, 0) << c.what;
    }
}

TEST_F(ReleaseRenew, CannotStartWithoutTheTableOrMemory)
{
    struct Case {
        const char *what;
        sim::Failure table;
        long heap_fail_after;
        bool big_name_list;
        int result;
    } cases[] = {
        {"the size query fails", {ERROR_NOT_SUPPORTED, 1}, -1, false, -2},
        {"the table query fails", {ERROR_NOT_SUPPORTED, 2}, -1, false, -2},
        {"every table query fails", {ERROR_ACCESS_DENIED, 0}, -1, false, -2},
        {"no memory for the table", {}, 0, false, -2},
        {"no memory for the name list", {}, 1, false, -2},
        {"no memory for the larger name list", {}, 2, true, -2},
    };
    for (const auto &c : cases) {
        fresh_platform();
        sim::net().add(dhcp_ethernet(7, "Ethernet"));
        if (c.big_name_list)
            for (ULONG i = 1; i <= 40; i++)
                sim::net().add(sim::ethernet(100 + i, std::string(100, 'y')));
        sim::net().interface_info = c.table;
        sim::kernel().heap_fail_after = c.heap_fail_after;
        EXPECT_EQ(release_renew(SOUNDS, NULL, B), c.result) << c.what;
        EXPECT_EQ(sim::all(), "") << c.what << ": no message";
        EXPECT_TRUE(sim::net().dhcp_calls.empty()) << c.what;
        EXPECT_TRUE(sim::sounds().empty()) << c.what;
        EXPECT_EQ(sim::kernel().heap_outstanding, 0) << c.what;
    }
}

TEST_F(ReleaseRenew, AnEmptyTableIsNothingToDo)
{
    sim::net().add(sim::loopback(1));
    sim::net().add(sim::ethernet(5, "IPv6 only").no_ipv4());
    EXPECT_EQ(release_renew(SOUNDS, NULL, B), 0);
    EXPECT_EQ(sim::all(), "");
    EXPECT_TRUE(sim::net().dhcp_calls.empty());
    ASSERT_EQ(sim::net().interface_info_calls.size(), 2u);
    EXPECT_EQ(sim::net().interface_info_calls[1].result, (DWORD)NO_ERROR);
}

// --- the user break at the page prompt -------------------------------------------------

TEST_F(ReleaseRenew, AStopAtThePromptReleasesNothingMore)
{
    const std::string eth_release = "Release IP for # 7 \u201CEthernet\u201D :  ";
    const std::string eth_renew = "Renew IP   for # 7 \u201CEthernet\u201D :  ";
    const std::string wifi_release = "Release IP for #12 \u201CWi-Fi\u201D :  ";
    struct Case {
        const char *what;
        DWORD page;
        DWORD actions;
        bool eth_fails;
        sim::Input key;
        std::string out, err;
        std::vector<std::string> dhcp;
        std::string echo;
    } cases[] = {
        {"at the empty line before an interface", 3, X, false, sim::key(27),
         "\r\n" + eth_release + "Success.\r\n\r\n", "", {"release 7"}, ""},
        {"at the outcome of a release: no renew", 5, B, false, sim::key(27),
         "\r\n" + eth_release + "Success.\r\n" + eth_renew + "Success.\r\n\r\n" + wifi_release +
             "Success.\r\n",
         "", {"release 7", "renew 7", "release 12"}, ""},
        {"at the outcome of a renew", 3, B, false, sim::key(27),
         "\r\n" + eth_release + "Success.\r\n" + eth_renew + "Success.\r\n", "",
         {"release 7", "renew 7"}, ""},
        {"at the line end after an error text", 3, B, true, sim::key(27),
         "\r\n" + eth_release + "Failed!\r\n\r\n", "   " + NOT_SUPPORTED, {"release 7"}, ""},
        {"at the Failed! of a renew: no error text", 4, B, true, sim::key(27),
         "\r\n" + eth_release + "Failed!\r\n\r\n" + eth_renew + "Failed!\r\n",
         "   " + NOT_SUPPORTED, {"release 7", "renew 7"}, ""},
        {"Ctrl-C typed at the prompt echoes", 3, X, false, sim::key(3),
         "\r\n" + eth_release + "Success.\r\n\r\n", "", {"release 7"}, "\r ^C \n"},
    };
    for (const auto &c : cases) {
        fresh_platform();
        sim::console().stdout_is_console = true;
        sim::console().window_rows = 10;
        sim::console().script = {c.key};
        auto eth = dhcp_ethernet(7, "Ethernet");
        if (c.eth_fails)
            eth.release_result(ERROR_NOT_SUPPORTED).renew_result(ERROR_NOT_FOUND);
        sim::net().add(eth);
        sim::net().add(sim::wifi(12, "Wi-Fi"));
        start_paging(c.page);
        ASSERT_EQ(pager.lines_left, c.page) << c.what;
        EXPECT_EQ(release_renew(0, NULL, c.actions), USER_BREAK) << c.what;
        EXPECT_EQ(sim::out(), c.out) << c.what;
        EXPECT_EQ(sim::err(), c.err) << c.what;
        EXPECT_EQ(sim::con(), prompt + erase + c.echo) << c.what;
        EXPECT_EQ(dhcp_log(), c.dhcp) << c.what;
        EXPECT_EQ(sim::kernel().heap_outstanding, 0) << c.what;
    }
}
