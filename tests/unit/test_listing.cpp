// The listing: the four filters in their order, the legacy record found by name byte for
// byte, the count line, whole listings, and the user break inside a later adapter.
#include "harness.h"
#include "src/command/adapters.h"
#include "src/command/listing.h"
#include "src/command/options.h"
#include "src/console/highlight.h"
#include "src/console/pager.h"

#include <algorithm>
#include <cstring>

namespace {

const std::string dns_suffix = "   DNS suffix . . . . . . . :  ";
const std::string description = "   Description. . . . . . . :  ";
const std::string media_state = "   Media state. . . . . . . :  ";
const std::string link_speed = "   Link speed . . . . . . . :  ";
const std::string ipv4 = "   IPv4 address . . . . . . :  ";
const std::string subnet_mask = "   Subnet mask. . . . . . . :  ";
const std::string network = "   Network CIDR . . . . . . :  ";
const std::string lease_obtained = "   Lease obtained/renewed . :  ";
const std::string echo = "\r ^C \n";

const DWORD tunnel = CommandOptions::include_tunnel;
const DWORD loopback = CommandOptions::include_loopback;
const DWORD disconnected = CommandOptions::include_disconnected;
const DWORD detailed = CommandOptions::detailed;
const DWORD all = CommandOptions::all_adapters;

std::string lines(const std::vector<std::string> &list)
{
    std::string s;
    for (const std::string &l : list)
        s += l + "\r\n";
    return s;
}

std::vector<std::string> split_lines(const std::string &text)
{
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", start)) {
        out.push_back(text.substr(start, at - start));
        start = at + 2;
    }
    return out;
}

std::string first_lines(const std::string &text, int n)
{
    size_t at = 0;
    for (int i = 0; i < n; i++) {
        at = text.find("\r\n", at);
        if (at == std::string::npos)
            return text;
        at += 2;
    }
    return text.substr(0, at);
}

// The interface indexes of the headings, in the order listed.
std::vector<ULONG> shown(const std::string &text)
{
    std::vector<ULONG> out;
    for (const std::string &l : split_lines(text))
        if (!l.empty() && l[0] == '[')
            out.push_back((ULONG)strtoul(l.c_str() + 1, nullptr, 10));
    return out;
}

// The basic block of an Ethernet adapter from the builder with one /24 address.
std::vector<std::string> ethernet_block(ULONG index, const std::string &name,
                                        const std::string &address, const std::string &net)
{
    return {"[" + std::to_string(index) + "]  Ethernet adapter:  " + name,
            "",
            dns_suffix,
            description + "Simulated Gigabit Ethernet Adapter",
            media_state + "Connected",
            link_speed + "1.0 Gbps",
            ipv4 + address,
            subnet_mask + "255.255.255.0",
            network + net,
            ""};
}

// The run's two lists, fetched as a run fetches them and freed whole.
struct Lists {
    IP_ADAPTER_ADDRESSES *addresses = nullptr;
    IP_ADAPTER_INFO *info = nullptr;
    explicit Lists(DWORD flags)
    {
        addresses = get_adapter_addresses(
            adapter_query_flags(10, (flags & CommandOptions::detailed) ? TRUE : FALSE));
        if (addresses)
            info = get_adapter_info();
    }
    ~Lists()
    {
        if (addresses)
            HeapFree(GetProcessHeap(), 0, addresses);
        if (info)
            HeapFree(GetProcessHeap(), 0, info);
    }
};

// Lists the machine as a run does; the wildmask as the command line leaves it, in upper
// case, or none.
int list(DWORD flags, const char *wildmask = nullptr, bool with_info = true)
{
    Lists lists(flags);
    if (!lists.addresses) {
        ADD_FAILURE() << "no adapter list";
        return -100;
    }
    std::u16string mask = wildmask ? sim::utf16(wildmask) : std::u16string();
    return list_adapters(with_info ? lists.info : NULL, wildmask ? mask.c_str() : NULL, flags,
                         lists.addresses, DEFAULT_DATE_FORMAT);
}

}  // namespace

class Listing : public SimTest {
protected:
    void SetUp() override
    {
        SimTest::SetUp();
        highlight_colors = HighlightColors{};
    }
    void fresh(const std::string &what)
    {
        EXPECT_EQ(sim::kernel().heap_outstanding, 0) << what << ": heap blocks left outstanding";
        EXPECT_TRUE(sim::console().handlers.empty()) << what << ": break handler left installed";
        sim::reset();
        pager = PagerState{};
        highlight_colors = HighlightColors{};
    }
    // Six adapters, one of each kind the filters tell apart.
    static void mixed_machine()
    {
        sim::net().add(sim::ethernet(2, "Ethernet").address("192.0.2.10", 24));
        sim::net().add(sim::loopback(1));
        sim::net().add(sim::tunnel(14, "Teredo Tunnel"));
        sim::net().add(sim::ethernet(5, "Spare").media(MediaConnectStateDisconnected));
        sim::net().add(sim::wifi(9, "Wi-Fi").media(MediaConnectStateUnknown));
        sim::net().add(sim::ethernet(11, "Backup").if_entry_fails(ERROR_NOT_FOUND));
    }
    // Four Ethernet adapters, ten lines each in the basic report.
    static void four_adapters()
    {
        for (ULONG i = 1; i <= 4; i++)
            sim::net().add(sim::ethernet(i, "Ethernet " + std::to_string(i))
                               .address("192.0.2." + std::to_string(i), 24)
                               .no_ipv6());
    }
};

TEST_F(Listing, FiltersInTheirOrder)
{
    // GetIfEntry2 is logged for the media filter and again for each report: an adapter
    // shown appears twice in a row, one that the media filter hides once, and with /U
    // only the reports ask.
    struct Case {
        const char *what;
        DWORD flags;
        const char *wildmask;
        std::vector<ULONG> shown;
        std::vector<ULONG> if_entry_calls;
        int wildcard_calls;
    } cases[] = {
        {"no switches hide the tunnel, the loopback and the disconnected adapter; an unknown "
         "state and a failed query keep theirs",
         0, nullptr, {2, 9, 11}, {2, 2, 5, 9, 9, 11, 11}, 0},
        {"/T adds the tunnel", tunnel, nullptr, {2, 14, 9, 11}, {2, 2, 14, 14, 5, 9, 9, 11, 11}, 0},
        {"/L adds the loopback", loopback, nullptr, {2, 1, 9, 11}, {2, 2, 1, 1, 5, 9, 9, 11, 11}, 0},
        {"/U adds the disconnected adapter without asking any state", disconnected, nullptr,
         {2, 5, 9, 11}, {2, 5, 9, 11}, 0},
        {"/A shows every adapter", all, nullptr, {2, 1, 14, 5, 9, 11}, {2, 1, 14, 5, 9, 11}, 0},
        {"a mask matches a mixed-case friendly name", 0, "ETH*", {2}, {2, 2}, 4},
        {"a mask that matches the loopback without /L keeps it hidden: the type comes first", 0,
         "LOOPBACK*", {}, {}, 4},
        {"a mask that matches the loopback with /L", loopback, "LOOPBACK*", {1}, {1, 1}, 5},
        {"a mask that matches the tunnel without /T keeps it hidden", 0, "TEREDO*", {}, {}, 4},
        {"a mask that matches the disconnected adapter: the media filter comes last", 0, "SPARE",
         {}, {5}, 4},
        {"the mask is tried on the friendly name only, never the description", 0, "SIMULATED*",
         {}, {}, 4},
        {"the mask is tried on the friendly name only, never the adapter name", 0,
         "{00000002-0000-0000-0000-53494D4E4554}", {}, {}, 4},
        {"a mask of sets and single characters", all, "[ST]?*", {14, 5}, {14, 5}, 6},
    };
    for (const auto &c : cases) {
        fresh(c.what);
        mixed_machine();
        EXPECT_EQ(list(c.flags, c.wildmask), (int)c.shown.size()) << c.what;
        EXPECT_EQ(shown(sim::out()), c.shown) << c.what;
        EXPECT_EQ(sim::net().if_entry_calls, c.if_entry_calls) << c.what;
        EXPECT_EQ(sim::host().calls["WildcardComparison"], c.wildcard_calls) << c.what;
    }
}

TEST_F(Listing, CountLine)
{
    struct Case {
        const char *what;
        const char *wildmask;
        std::string last_line;
    } cases[] = {
        {"no adapter shown", "NOTHING", "0 adapters listed."},
        {"exactly one adapter", "ETHERNET 2", "1 adapter listed."},
        {"two adapters", "ETHERNET [23]", "2 adapters listed."},
        {"four adapters", nullptr, "4 adapters listed."},
    };
    for (const auto &c : cases) {
        fresh(c.what);
        four_adapters();
        list(0, c.wildmask);
        std::vector<std::string> l = split_lines(sim::out());
        ASSERT_FALSE(l.empty()) << c.what;
        EXPECT_EQ(l.back(), c.last_line) << c.what;
        EXPECT_EQ(sim::out().substr(sim::out().size() - 2), "\r\n") << c.what;
    }
}

TEST_F(Listing, MaskThatMatchesNothingWritesOnlyTheCountLine)
{
    four_adapters();
    EXPECT_EQ(list(CommandOptions::all_adapters, "WI-FI*"), 0);
    EXPECT_EQ(sim::out(), "0 adapters listed.\r\n");
    EXPECT_EQ(sim::all(), "0 adapters listed.\r\n");
}

TEST_F(Listing, WholeListingOfTwoAdapters)
{
    sim::net().add(sim::ethernet(12, "Ethernet").address("192.0.2.10", 24).no_ipv6());
    sim::net().add(sim::loopback(1));
    sim::net().add(sim::ethernet(3, "Ethernet 2").address("198.51.100.20", 24).no_ipv6());
    EXPECT_EQ(list(0), 2);
    // The system's order, the interface indexes as they are, the loopback left out.
    std::vector<std::string> expected = ethernet_block(12, "Ethernet", "192.0.2.10", "192.0.2.0/24");
    std::vector<std::string> second = ethernet_block(3, "Ethernet 2", "198.51.100.20", "198.51.100.0/24");
    expected.insert(expected.end(), second.begin(), second.end());
    expected.push_back("2 adapters listed.");
    EXPECT_EQ(sim::out(), lines(expected));
}

TEST_F(Listing, ReportGetsTheLegacyRecordOfTheSameName)
{
    const time_t obtained = 1704438309;  // 2024-01-05 07:05:09 UTC
    const time_t expires = 1704524709;
    const std::string lease = lease_obtained + "Friday, January 5, 2024  7:05:09 AM";
    struct Case {
        const char *what;
        std::function<sim::Adapter()> adapter;
        bool with_info;
        bool lease_shown;
    } cases[] = {
        {"the record of the same name gives the lease",
         [=] { return sim::ethernet(4, "Ethernet").address("192.0.2.10", 24).dhcp("192.0.2.2", obtained, expires); },
         true, true},
        {"a legacy name in another letter case is no match",
         [=] {
             return sim::ethernet(4, "Ethernet")
                 .name("{6B29FC40-CA47-1067-B31D-00DD010662DA}")
                 .legacy_name("{6b29fc40-ca47-1067-b31d-00dd010662da}")
                 .address("192.0.2.10", 24)
                 .dhcp("192.0.2.2", obtained, expires);
         },
         true, false},
        {"an adapter without a legacy record",
         [=] { return sim::ethernet(4, "Ethernet").address("192.0.2.10", 24).dhcp("192.0.2.2", obtained, expires).no_legacy(); },
         true, false},
        {"no legacy list at all",
         [=] { return sim::ethernet(4, "Ethernet").address("192.0.2.10", 24).dhcp("192.0.2.2", obtained, expires); },
         false, false},
    };
    for (const auto &c : cases) {
        fresh(c.what);
        sim::net().add(c.adapter());
        EXPECT_EQ(list(detailed, nullptr, c.with_info), 1) << c.what;
        std::vector<std::string> l = split_lines(sim::out());
        EXPECT_EQ(std::count(l.begin(), l.end(), lease), c.lease_shown ? 1 : 0) << c.what;
    }
}

TEST_F(Listing, LegacyRecordMatchesByteForByte)
{
    IP_ADAPTER_INFO records[3];
    const size_t field = sizeof(records[0].AdapterName);
    // Fills the name fields, each with its own bytes and no terminator unless the text
    // has one within the field, and links the records.
    auto fill = [&](std::vector<std::string> names) {
        memset(records, 0, sizeof(records));
        for (size_t i = 0; i < names.size(); i++) {
            memcpy(records[i].AdapterName, names[i].data(),
                   names[i].size() < field ? names[i].size() : field);
            // The field that follows starts like more of the name.
            memset(records[i].Description, 'n', 8);
            records[i].Next = i + 1 < names.size() ? &records[i + 1] : NULL;
        }
    };
    const std::string full(field, 'n');
    struct Case {
        const char *what;
        std::vector<std::string> legacy;
        std::string name;
        int found;  // index of the record, or -1
    } cases[] = {
        {"the same name", {"{A1}"}, "{A1}", 0},
        {"another letter case is another name", {"{a1}"}, "{A1}", -1},
        {"the legacy name is a prefix of the adapter's", {"{A1"}, "{A1}", -1},
        {"the adapter's name is a prefix of the legacy one", {"{A1}x"}, "{A1}", -1},
        {"an empty legacy name matches nothing, not even an empty name", {""}, "", -1},
        {"the first of two records with the name", {"{B2}", "{A1}", "{A1}"}, "{A1}", 1},
        {"a name filling the whole field without a terminator", {full}, full, 0},
        {"the whole field does not match one character less", {full}, full.substr(1), -1},
        {"the whole field does not match one character more, whatever follows it", {full},
         full + "n", -1},
    };
    for (const auto &c : cases) {
        fill(c.legacy);
        const IP_ADAPTER_INFO *got = find_adapter_info(records, c.name.c_str());
        EXPECT_EQ(got, c.found < 0 ? nullptr : &records[c.found]) << c.what;
    }
    fill({"{A1}"});
    EXPECT_EQ(find_adapter_info(records, NULL), nullptr) << "no adapter name";
    EXPECT_EQ(find_adapter_info(NULL, "{A1}"), nullptr) << "no legacy list";
}

TEST_F(Listing, NoAdapterListIsRefused)
{
    EXPECT_EQ(list_adapters(NULL, NULL, 0, NULL, DEFAULT_DATE_FORMAT), -1);
    EXPECT_EQ(sim::all(), "");
}

TEST_F(Listing, UserBreakAtThePromptInsideTheThirdAdapter)
{
    four_adapters();
    sim::console().stdout_is_console = true;
    // Lines 21 to 30 are the third adapter's; the page ends on its description line.
    pager.page_length = pager.lines_left = 24;
    sim::script({sim::key(27)});
    install_break_handler();
    EXPECT_EQ(list(0), USER_BREAK);
    remove_break_handler();
    std::vector<std::string> expected = ethernet_block(1, "Ethernet 1", "192.0.2.1", "192.0.2.0/24");
    std::vector<std::string> second = ethernet_block(2, "Ethernet 2", "192.0.2.2", "192.0.2.0/24");
    expected.insert(expected.end(), second.begin(), second.end());
    expected.insert(expected.end(), {"[3]  Ethernet adapter:  Ethernet 3", "", dns_suffix,
                                     description + "Simulated Gigabit Ethernet Adapter"});
    EXPECT_EQ(sim::out(), lines(expected)) << "no fourth adapter and no count line";
    EXPECT_EQ(sim::net().if_entry_calls, (std::vector<ULONG>{1, 1, 2, 2, 3, 3}))
        << "the fourth adapter is not even looked at";
}

TEST_F(Listing, UserBreakAtEveryLineEnd)
{
    four_adapters();
    ASSERT_EQ(list(0), 4);
    const std::string full = sim::out();
    const int total = (int)split_lines(full).size();
    ASSERT_EQ(total, 41);  // four blocks of ten lines and the count line

    for (int n = 1; n <= total; n++) {
        std::string what = "break at line end " + std::to_string(n);
        fresh(what);
        four_adapters();
        sim::console().ctrl_c_at_line_end = (unsigned)n;
        install_break_handler();
        EXPECT_EQ(list(0), USER_BREAK) << what;
        remove_break_handler();
        EXPECT_EQ(sim::out(), first_lines(full, n)) << what << ": nothing more is written";
        EXPECT_EQ(sim::con(), echo) << what;
    }
}
