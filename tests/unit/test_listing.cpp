// The listing: the four filters in their order, the legacy record found by name byte for
// byte (the sorted search against the plain first match), the count line, whole listings,
// the user break inside a later adapter, and whole reports (header and listing) of four
// machines.
#include "harness.h"
#include "report_text.h"
#include "src/command/adapters.h"
#include "src/command/header.h"
#include "src/command/listing.h"
#include "src/command/options.h"
#include "src/console/highlight.h"
#include "src/console/pager.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <random>

namespace {

using namespace report_text;

const std::string dns_suffix = "   DNS suffix . . . . . . . :  ";
const std::string description = "   Description. . . . . . . :  ";
const std::string media_state = "   Media state. . . . . . . :  ";
const std::string link_speed = "   Link speed . . . . . . . :  ";
const std::string ipv4 = "   IPv4 address . . . . . . :  ";
const std::string subnet_mask = "   Subnet mask. . . . . . . :  ";
const std::string network = "   Network CIDR . . . . . . :  ";
const std::string lease_obtained = "   Lease obtained/renewed . :  ";

// The rest of the labels, for whole reports.
const std::string host_name = "   Host name. . . . . . . . :  ";
const std::string domain = "   Domain . . . . . . . . . :  ";
const std::string node_type = "   Node type. . . . . . . . :  ";
const std::string ip_routing = "   IP routing . . . . . . . :  ";
const std::string arp_proxy = "   ARP proxy. . . . . . . . :  ";
const std::string dns = "   DNS. . . . . . . . . . . :  ";
const std::string physical = "   Physical address . . . . :  ";
const std::string dhcp = "   DHCP . . . . . . . . . . :  ";
const std::string autoconfig = "   Autoconfig . . . . . . . :  ";
const std::string gateway = "   Gateway. . . . . . . . . :  ";
const std::string dhcp_server = "   DHCP server. . . . . . . :  ";
const std::string lease_expires = "   Lease expires. . . . . . :  ";
const std::string ipv6 = "   IPv6 address . . . . . . :  ";
const std::string iaid = "   DHCPv6 IAID. . . . . . . :  ";
const std::string duid = "   DHCPv6 client DUID . . . :  ";
const std::string dns_servers = "   DNS servers. . . . . . . :  ";
const std::string wins_server = "   WINS server. . . . . . . :  ";
const std::string netbios = "   NetBIOS over TCP/IP. . . :  ";
const std::string search_list = "   DNS search list. . . . . :  ";
const std::string wifi_state = "   WiFi state . . . . . . . :  ";
const std::string wifi_ssid = "   WiFi SSID. . . . . . . . :  ";
const std::string wifi_radio = "   WiFi radio type. . . . . :  ";
const std::string wifi_security = "   WiFi security. . . . . . :  ";
const std::string wifi_channel = "   WiFi channel . . . . . . :  ";
const std::string wifi_signal = "   WiFi signal strength . . :  ";
const std::string wifi_rate = "   WiFi link speed. . . . . :  ";

const DWORD tunnel = CommandOptions::include_tunnel;
const DWORD loopback = CommandOptions::include_loopback;
const DWORD disconnected = CommandOptions::include_disconnected;
const DWORD detailed = CommandOptions::detailed;
const DWORD all = CommandOptions::all_adapters;

std::string hex8(unsigned n)
{
    char text[9];
    snprintf(text, sizeof text, "%08X", n);
    return text;
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

class Listing : public ReportTest {
protected:
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
        bool nameless = false;  // the machine has one more adapter, 3, without a friendly name
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
        {"an adapter without a friendly name is matched as an empty name", 0, "*",
         {2, 9, 11, 3}, {2, 2, 5, 9, 9, 11, 11, 3, 3}, 5, true},
        {"a mask that an empty name cannot match hides it", 0, "?*", {2, 9, 11},
         {2, 2, 5, 9, 9, 11, 11}, 5, true},
    };
    for (const auto &c : cases) {
        fresh(c.what);
        mixed_machine();
        if (c.nameless)
            sim::net().add(sim::ethernet(3, "").no_friendly_name().address("198.51.100.3", 24));
        EXPECT_EQ(list(c.flags, c.wildmask), (int)c.shown.size()) << c.what;
        EXPECT_EQ(shown(sim::out()), c.shown) << c.what;
        EXPECT_EQ(sim::net().if_entry_calls, c.if_entry_calls) << c.what;
        EXPECT_EQ(sim::host().wildcard_calls.size(), (size_t)c.wildcard_calls) << c.what;
        for (const auto &call : sim::host().wildcard_calls) {
            EXPECT_EQ(sim::utf8(call.pattern), c.wildmask ? c.wildmask : "") << c.what;
            EXPECT_EQ(call.flag1, 0) << c.what;
            EXPECT_EQ(call.flag2, 1) << c.what;
        }
        if (c.nameless) {
            EXPECT_EQ(sim::utf8(sim::host().wildcard_calls.back().name), "") << c.what;
        }
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

TEST_F(Listing, EachAdapterGetsTheFirstLegacyRecordOfItsName)
{
    // The legacy records stand in the order a row gives; each carries the lease of the
    // adapter whose name it was given: obtained at that adapter's index o'clock on
    // 5 January 2024 (UTC), expiring a day later. leases names, adapter by adapter, whose
    // lease it shows (0: none). The builder's names are {0000000N-...}: low sorts before
    // all of them, high after those of the rows.
    const std::string low = "{00000001-5348-4152-4544-000000000000}";
    const std::string high = "{00000009-5348-4152-4544-000000000000}";
    // Names as long as the legacy field (which then holds them without a terminator), and
    // one longer, of which the field holds the first 260 bytes.
    const size_t field = sizeof(((IP_ADAPTER_INFO *)0)->AdapterName);
    const std::string full = low + std::string(field - low.size(), 'f');
    const std::string longer = full + "g";
    struct Case {
        const char *what;
        std::vector<ULONG> adapters;  // in the system's order
        std::vector<ULONG> legacy;    // the adapters with a legacy record, in this order
        std::vector<ULONG> leases;    // by adapter, in the system's order
        std::map<ULONG, std::string> names = {};  // adapter names other than the builder's
        bool no_memory = false;  // no heap block can be had once the lists are fetched
    } cases[] = {
        {"every adapter has its record", {2, 3, 4}, {2, 3, 4}, {2, 3, 4}},
        {"a miss, then a hit", {2, 3, 4}, {3, 4}, {0, 3, 4}},
        {"a miss between two hits", {2, 3, 4}, {2, 4}, {2, 0, 4}},
        {"a miss whose name sorts after the next adapter's", {2, 3, 4}, {2, 4}, {2, 0, 4},
         {{3, high}}},
        {"two misses, then a hit", {2, 3, 4, 5}, {4, 5}, {0, 0, 4, 5}},
        {"names out of order, then ascending again", {4, 2, 3}, {2, 3, 4}, {4, 2, 3}},
        {"out of order after a miss", {3, 2, 4}, {2, 4}, {0, 2, 4}},
        {"out of order onto a miss", {4, 3, 5}, {4, 5}, {4, 0, 5}},
        {"a legacy list in descending order", {2, 3, 4}, {4, 3, 2}, {2, 3, 4}},
        {"names that differ only in their first byte", {3, 2}, {2, 3}, {3, 2},
         {{2, "A-name"}, {3, "B-name"}}},
        {"names that differ only in their first byte, descending", {2, 3}, {3, 2}, {2, 3},
         {{2, "A-name"}, {3, "B-name"}}},
        {"two adapters of one name and its one record", {2, 3}, {2}, {2, 2}, {{2, low}, {3, low}}},
        {"three adapters of one name and its one record", {2, 3, 4}, {3}, {3, 3, 3},
         {{2, low}, {3, low}, {4, low}}},
        {"one name on two adapters, its record after another's", {2, 3, 4}, {2, 3}, {2, 3, 3},
         {{3, high}, {4, high}}},
        {"one name on two adapters apart, another record after its own", {2, 3, 4}, {2, 3},
         {2, 3, 2}, {{2, low}, {4, low}}},
        {"two adapters of one name and two records of it: the first for both", {2, 3}, {2, 3},
         {2, 2}, {{2, low}, {3, low}}},
        {"two records of one name, the later one first in the list", {2, 3}, {3, 2}, {3, 3},
         {{2, low}, {3, low}}},
        {"one name on two adapters, a legacy list in descending order", {2, 3, 4}, {4, 2},
         {2, 2, 4}, {{2, low}, {3, low}}},
        {"the same without memory for the sorted records", {2, 3, 4}, {4, 2}, {2, 2, 4},
         {{2, low}, {3, low}}, true},
        {"a name that fills the legacy field", {2, 3}, {2, 3}, {2, 3}, {{2, full}}},
        {"a name longer than the legacy field is not the field's", {2, 3}, {2, 3}, {0, 3},
         {{2, longer}}},
    };
    const time_t midnight = 1704412800;  // 2024-01-05 00:00:00 UTC
    for (const auto &c : cases) {
        fresh(c.what);
        for (ULONG i : c.adapters) {
            sim::Adapter a = sim::ethernet(i, "Ethernet " + std::to_string(i))
                                 .address("192.0.2." + std::to_string(i), 24)
                                 .dhcp("", 0, 0)
                                 .no_ipv6();
            if (c.names.count(i))
                a.name(c.names.at(i));
            sim::net().add(a);
        }
        Lists lists(detailed);
        ASSERT_NE(lists.addresses, nullptr) << c.what;
        std::vector<IP_ADAPTER_INFO> records(c.legacy.size());
        memset(records.data(), 0, records.size() * sizeof(IP_ADAPTER_INFO));
        for (size_t r = 0; r < records.size(); r++) {
            for (const IP_ADAPTER_ADDRESSES *a = lists.addresses; a; a = a->Next)
                if (a->IfIndex == c.legacy[r])
                    strncpy(records[r].AdapterName, a->AdapterName, field);
            records[r].LeaseObtained = midnight + (time_t)c.legacy[r] * 3600;
            records[r].LeaseExpires = records[r].LeaseObtained + 86400;
            records[r].Next = r + 1 < records.size() ? &records[r + 1] : NULL;
        }
        if (c.no_memory)
            sim::kernel().heap_fail_after = sim::kernel().heap_allocs;

        EXPECT_EQ(list_adapters(records.data(), NULL, detailed, lists.addresses, 4),
                  (int)c.adapters.size())
            << c.what;
        sim::kernel().heap_fail_after = -1;
        std::vector<std::string> expected, got;
        for (size_t n = 0; n < c.adapters.size(); n++) {
            const std::string i = std::to_string(c.adapters[n]);
            expected.push_back("[" + i + "]  Ethernet adapter:  Ethernet " + i);
            if (c.leases[n]) {
                const std::string hour = std::to_string(c.leases[n]);
                expected.push_back(lease_obtained + "2024-01-05  0" + hour + ":00:00");
                expected.push_back(lease_expires + "2024-01-06  0" + hour + ":00:00");
            }
        }
        for (const std::string &l : split_lines(sim::out()))
            if (l.rfind("[", 0) == 0 || l.rfind(lease_obtained, 0) == 0 ||
                l.rfind(lease_expires, 0) == 0)
                got.push_back(l);
        EXPECT_EQ(got, expected) << c.what;
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
            // The field that follows reads like one more character of the name.
            memcpy(records[i].Description, "n", 2);
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

TEST_F(Listing, SortedSearchAnswersAsTheFirstMatch)
{
    // Generated legacy lists, each searched for every name of a pool, present or absent, in
    // a shuffled order, through the sorted records and again without memory for them: every
    // answer is the very record that a first-match search of the test's own finds, as is
    // that of the plain search.
    const size_t field = sizeof(((IP_ADAPTER_INFO *)0)->AdapterName);
    std::mt19937 random(20261208);
    std::vector<std::string> pool = {""};
    for (unsigned n : {1u, 2u, 9u, 10u, 16u, 255u})  // Wine's names
        pool.push_back("{" + hex8(n) + "-0000-0000-0000-4E6574446576}");
    for (int n = 0; n < 6; n++)  // Windows' names, in no order
        pool.push_back("{" + hex8(random()) + "-CA47-1067-B31D-" + hex8(random()) + "DA1F}");
    pool.push_back("{6b29fc40-ca47-1067-b31d-00dd010662da}");
    pool.push_back("{6B29FC40-CA47-1067-B31D-00DD010662DA}");
    // Prefixes of each other, and bytes above 0x7F.
    for (const char *name : {"A", "AB", "ABA", "B", "a", "\x7f", "\x80", "\xff", "A\xff", "A\x80"})
        pool.push_back(name);
    const std::string full = pool[1] + std::string(field - pool[1].size(), 'f');
    pool.push_back(full);
    pool.push_back(full.substr(0, field - 1) + "g");
    pool.push_back(full.substr(0, field - 1));
    pool.push_back(full + "g");  // the field holds only its first 260 bytes
    auto stored = [&](const std::string &name) { return name.substr(0, field); };
    // The first record whose name, up to its terminator or the end of its field, is not
    // empty and is the query.
    auto first_match = [&](const std::vector<IP_ADAPTER_INFO> &records, const std::string &q) {
        for (const IP_ADAPTER_INFO &r : records) {
            std::string name(r.AdapterName, strnlen(r.AdapterName, field));
            if (!name.empty() && name == q)
                return &r;
        }
        return (const IP_ADAPTER_INFO *)nullptr;
    };

    for (int list = 0; list < 400; list++) {
        // A few names of the pool, drawn again and again: duplicates and absent names.
        std::vector<std::string> drawn;
        size_t kinds = 1 + random() % 8, length = random() % (list % 50 == 0 ? 120 : 20);
        std::vector<std::string> some = pool;
        std::shuffle(some.begin(), some.end(), random);
        for (size_t n = 0; n < length; n++)
            drawn.push_back(some[random() % kinds]);
        // Ascending, descending, or as drawn.
        if (list % 3 < 2)
            std::stable_sort(drawn.begin(), drawn.end(), [&](const std::string &a, const std::string &b) {
                return list % 3 ? stored(a) > stored(b) : stored(a) < stored(b);
            });
        std::vector<IP_ADAPTER_INFO> records(drawn.size());  // zeroed
        size_t named = 0;
        for (size_t r = 0; r < records.size(); r++) {
            // Junk after the terminator, which no comparison may read.
            for (size_t b = 0; b < field; b++)
                records[r].AdapterName[b] = (char)(1 + random() % 255);
            memcpy(records[r].AdapterName, drawn[r].c_str(), std::min(drawn[r].size() + 1, field));
            for (size_t b = 0; b < 8; b++)  // more of the name, to an overrun
                records[r].Description[b] = (char)(1 + random() % 255);
            records[r].Next = r + 1 < records.size() ? &records[r + 1] : NULL;
            named += drawn[r].empty() ? 0 : 1;
        }
        std::vector<std::string> queries = pool;
        std::shuffle(queries.begin(), queries.end(), random);
        for (bool refused : {false, true}) {
            const std::string what = "list " + std::to_string(list) + (refused ? ", no memory" : "");
            if (refused)
                sim::kernel().heap_fail_after = sim::kernel().heap_allocs;
            InfoIndex index;
            open_info_index(&index, records.empty() ? NULL : records.data());
            sim::kernel().heap_fail_after = -1;
            ASSERT_EQ(index.sorted != nullptr, named > 0 && !refused) << what;
            EXPECT_EQ(sim::kernel().heap_outstanding, index.sorted ? 1 : 0) << what;
            for (const std::string &q : queries) {
                const IP_ADAPTER_INFO *expected = first_match(records, q);
                if (find_in_index(&index, q.c_str()) != expected ||
                    find_adapter_info(index.list, q.c_str()) != expected) {
                    ADD_FAILURE() << what << ", name \"" << q << "\"";
                    break;
                }
            }
            EXPECT_EQ(find_in_index(&index, NULL), nullptr) << what;
            close_info_index(&index);
            EXPECT_EQ(sim::kernel().heap_outstanding, 0) << what;
        }
    }
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

// Whole reports of four machines as a run prints them: the header, then the listing. The
// basic report has no switches; the detailed one is /A (detailed, with the tunnel,
// loopback and disconnected adapters). Each expected line is written from the layout
// rules: label and dot leader in columns 0-27, ":  ", the value from column 31, further
// values of a field behind 31 blanks.
class Machines : public Listing {
protected:
    struct Result {
        int header;
        int listed;
        bool legacy;  // a legacy list was had
    };
    static Result run_report(DWORD flags)
    {
        Result r;
        r.header = print_global_header((flags & CommandOptions::detailed) ? TRUE : FALSE);
        Lists lists(flags);
        r.legacy = lists.info != NULL;
        r.listed = lists.addresses ? list_adapters(lists.info, NULL, flags, lists.addresses,
                                                   DEFAULT_DATE_FORMAT)
                                   : -100;
        return r;
    }
    void open_client()
    {
        DWORD version = 0;
        ASSERT_EQ(load_wlan_library(), 0u);
        ASSERT_EQ(wlan_api.open_handle(2, NULL, &version, &wlan_client), 0u);
    }
    struct Case {
        const char *what;
        DWORD flags;
        int listed;
        std::vector<std::string> report;
    };
    void check(const std::function<void()> &machine, const std::vector<Case> &cases,
               bool legacy = true)
    {
        for (const auto &c : cases) {
            fresh(c.what);
            open_client();
            machine();
            Result r = run_report(c.flags);
            EXPECT_EQ(r.header, 0) << c.what;
            EXPECT_EQ(r.listed, c.listed) << c.what;
            EXPECT_EQ(r.legacy, legacy) << c.what;
            EXPECT_EQ(sim::out(), lines(c.report)) << c.what;
            EXPECT_EQ(sim::err(), "") << c.what;
            EXPECT_EQ(sim::wlan_outstanding(), 0) << c.what;
        }
    }
    static const time_t obtained = 1704438309;  // 2024-01-05 07:05:09 UTC
    static const time_t expires = 1704524709;   // a day later
};

namespace {
const std::string obtained_text = "Friday, January 5, 2024  7:05:09 AM";
const std::string expires_text = "Saturday, January 6, 2024  7:05:09 AM";
const std::vector<BYTE> duid_bytes = {0x00, 0x01, 0x00, 0x01, 0x2D, 0x1A, 0x2B,
                                      0x3C, 0x02, 0x53, 0x49, 0x4D, 0x00, 0x03};
const std::string duid_text = "00-01-00-01-2D-1A-2B-3C-02-53-49-4D-00-03";

// The loopback of the builder in a detailed report: no physical address, the loopback's
// own speed, its IPv4 address before its IPv6 one, NetBIOS off.
const std::vector<std::string> loopback_detailed = {
    "[1]  Loopback adapter:  Loopback Pseudo-Interface 1",
    "",
    dns_suffix,
    description + "Software Loopback Interface 1",
    media_state + "Connected",
    link_speed + "1.1 Gbps",  // 1073741824 bits per second to one decimal
    dhcp + "Disabled",
    autoconfig + "Disabled",
    ipv4 + "127.0.0.1",
    subnet_mask + "255.0.0.0",
    network + "127.0.0.0/8",
    ipv6 + "::1",
    netbios + "Disabled",
    "",
};

// The Teredo tunnel of the builder in a detailed report: IPv6 only, no physical address.
const std::vector<std::string> teredo_detailed = {
    "[14]  Tunnel adapter:  Teredo",
    "",
    dns_suffix,
    description + "Teredo Tunneling Pseudo-Interface",
    media_state + "Connected",
    link_speed + "100 Kbps",
    dhcp + "Disabled",
    autoconfig + "Disabled",
    ipv6 + "2001:db8:2::5",
    "",
};

std::vector<std::string> joined(std::initializer_list<std::vector<std::string>> parts)
{
    std::vector<std::string> out;
    for (const auto &p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}
}  // namespace

TEST_F(Machines, DesktopWithEthernetAndWifi)
{
    auto machine = [] {
        sim::net().host.host_name = "DESKTOP-1";
        sim::net().host.domain_name = "";
        sim::net().add(sim::ethernet(11, "Ethernet")
                           .dns_suffix("home.example")
                           .address("192.0.2.10", 24)
                           .address("fe80::a%11", 64)
                           .gateway("192.0.2.1")
                           .dhcp("192.0.2.1", obtained, expires)
                           .autoconfig(1)
                           .dns("192.0.2.1")
                           .search_suffix("home.example"));
        sim::net().add(sim::wifi(12, "Wi-Fi")
                           .address("198.51.100.23", 24)
                           .address("2001:db8:1::23", 64)
                           .gateway("198.51.100.1")
                           .dns("198.51.100.1"));
        sim::net().add(sim::loopback(1));
        sim::wlan().add(sim::WlanInterface("{0000000C-0000-0000-0000-53494D4E4554}")
                            .ssid("HomeNet")
                            .phy(7)
                            .security(7, 4)
                            .channel(6)
                            .signal(82)
                            .rates(144400, 72200));
    };
    check(machine, {
        {"basic", 0, 2, {
            // header: an empty line, the heading and an empty line; host and domain from
            // the host record (no domain: the line ends after the separator); an empty line
            "", "Windows IP Configuration", "",
            host_name + "DESKTOP-1",
            domain,
            "",
            // Ethernet: rows 1, 2, 5, 6, 10 to 13 and 17; DHCP and its lease only in detail
            "[11]  Ethernet adapter:  Ethernet", "",
            dns_suffix + "home.example",
            description + "Simulated Gigabit Ethernet Adapter",
            media_state + "Connected",
            link_speed + "1.0 Gbps",
            ipv4 + "192.0.2.10",
            gateway + "192.0.2.1",
            subnet_mask + "255.255.255.0",
            network + "192.0.2.0/24",
            ipv6 + "fe80::a%11",
            "",
            // WiFi adapter: no WiFi lines in a basic report
            "[12]  Wireless adapter:  Wi-Fi", "",
            dns_suffix,
            description + "Simulated Wireless Network Adapter",
            media_state + "Connected",
            link_speed + "300 Mbps",
            ipv4 + "198.51.100.23",
            gateway + "198.51.100.1",
            subnet_mask + "255.255.255.0",
            network + "198.51.100.0/24",
            ipv6 + "2001:db8:1::23",
            "",
            // the loopback is left out without /L
            "2 adapters listed.",
        }},
        {"detailed", all, 3, joined({{
            "", "Windows IP Configuration", "",
            host_name + "DESKTOP-1",
            domain,
            // the switches of the host record; no search list in the registry
            node_type + "Hybrid",
            ip_routing + "Disabled",
            arp_proxy + "Disabled",
            dns + "Disabled",
            "",
            "[11]  Ethernet adapter:  Ethernet", "",
            dns_suffix + "home.example",
            description + "Simulated Gigabit Ethernet Adapter",
            physical + "02-53-49-4D-00-0B",
            media_state + "Connected",
            link_speed + "1.0 Gbps",
            dhcp + "Enabled",
            autoconfig + "Enabled",
            ipv4 + "192.0.2.10",
            gateway + "192.0.2.1",
            subnet_mask + "255.255.255.0",
            network + "192.0.2.0/24",
            // the lease of the legacy record of the same name
            dhcp_server + "192.0.2.1",
            lease_obtained + obtained_text,
            lease_expires + expires_text,
            ipv6 + "fe80::a%11",
            dns_servers + "192.0.2.1",
            netbios + "Enabled",
            search_list + "home.example",
            "",
            "[12]  Wireless adapter:  Wi-Fi", "",
            dns_suffix,
            description + "Simulated Wireless Network Adapter",
            physical + "02-53-49-4D-00-0C",
            media_state + "Connected",
            link_speed + "300 Mbps",
            dhcp + "Disabled",
            autoconfig + "Disabled",
            // the WiFi lines between Autoconfig and the first address
            wifi_state + "Connected",
            wifi_ssid + "HomeNet",
            wifi_radio + "HT (802.11n?)",
            wifi_security + "WPA2 Personal",
            wifi_channel + "6",
            wifi_signal + "82%",
            wifi_rate + "144 Mbps / 72 Mbps (Rx/Tx)",
            ipv4 + "198.51.100.23",
            gateway + "198.51.100.1",
            subnet_mask + "255.255.255.0",
            network + "198.51.100.0/24",
            ipv6 + "2001:db8:1::23",
            dns_servers + "198.51.100.1",
            netbios + "Enabled",
            "",
        }, loopback_detailed, {
            "3 adapters listed.",
        }})},
    });
}

TEST_F(Machines, LaptopWithADisconnectedAdapterATunnelAndTheLoopback)
{
    auto machine = [] {
        sim::net().host.host_name = "LAPTOP-7";
        sim::net().host.domain_name = "corp.example";
        sim::set_search_list("corp.example, example.net");
        sim::net().add(sim::ethernet(4, "Ethernet")
                           .dns_suffix("corp.example")
                           .dhcp("", 0, 0)
                           .search_suffix("corp.example")
                           .media(MediaConnectStateDisconnected)
                           .oper(IfOperStatusDown));
        sim::net().add(sim::wifi(9, "Wi-Fi")
                           .dns_suffix("corp.example")
                           .address("203.0.113.45", 24)
                           .gateway("203.0.113.1")
                           .dhcp("203.0.113.1", obtained, expires)
                           .dns("203.0.113.1")
                           .search_suffix("corp.example")
                           .search_suffix("example.net"));
        sim::net().add(sim::tunnel(14, "Teredo").address("2001:db8:2::5", 64));
        sim::net().add(sim::loopback(1));
        sim::wlan().add(sim::WlanInterface("{00000009-0000-0000-0000-53494D4E4554}")
                            .ssid("CorpNet")
                            .phy(8)
                            .security(6, 4)
                            .channel(44)
                            .signal(64)
                            .rates(433300, 433300));
    };
    check(machine, {
        {"basic", 0, 1, {
            "", "Windows IP Configuration", "",
            host_name + "LAPTOP-7",
            domain + "corp.example",
            "",
            // the disconnected Ethernet, the tunnel and the loopback are left out
            "[9]  Wireless adapter:  Wi-Fi", "",
            dns_suffix + "corp.example",
            description + "Simulated Wireless Network Adapter",
            media_state + "Connected",
            link_speed + "300 Mbps",
            ipv4 + "203.0.113.45",
            gateway + "203.0.113.1",
            subnet_mask + "255.255.255.0",
            network + "203.0.113.0/24",
            "",
            // exactly one adapter: the singular
            "1 adapter listed.",
        }},
        {"detailed", all, 4, joined({{
            "", "Windows IP Configuration", "",
            host_name + "LAPTOP-7",
            domain + "corp.example",
            node_type + "Hybrid",
            ip_routing + "Disabled",
            arp_proxy + "Disabled",
            dns + "Disabled",
            // the registry's search list, its second entry under the first
            search_list + "corp.example",
            indent + "example.net",
            "",
            // disconnected: no address, server, lease or NetBIOS lines, but the search list
            "[4]  Ethernet adapter:  Ethernet", "",
            dns_suffix + "corp.example",
            description + "Simulated Gigabit Ethernet Adapter",
            physical + "02-53-49-4D-00-04",
            media_state + "Disconnected",
            link_speed + "1.0 Gbps",
            dhcp + "Enabled",
            autoconfig + "Disabled",
            search_list + "corp.example",
            "",
            "[9]  Wireless adapter:  Wi-Fi", "",
            dns_suffix + "corp.example",
            description + "Simulated Wireless Network Adapter",
            physical + "02-53-49-4D-00-09",
            media_state + "Connected",
            link_speed + "300 Mbps",
            dhcp + "Enabled",
            autoconfig + "Disabled",
            wifi_state + "Connected",
            wifi_ssid + "CorpNet",
            wifi_radio + "VHT (802.11ac?)",
            wifi_security + "WPA2 Enterprise",  // CCMP with 802.1X
            wifi_channel + "44",
            wifi_signal + "64%",
            wifi_rate + "433 Mbps / 433 Mbps (Rx/Tx)",
            ipv4 + "203.0.113.45",
            gateway + "203.0.113.1",
            subnet_mask + "255.255.255.0",
            network + "203.0.113.0/24",
            dhcp_server + "203.0.113.1",
            lease_obtained + obtained_text,
            lease_expires + expires_text,
            // IPv6 is enabled but has no address: no IPv6 rows
            dns_servers + "203.0.113.1",
            netbios + "Enabled",
            search_list + "corp.example",
            indent + "example.net",
            "",
        }, teredo_detailed, loopback_detailed, {
            "4 adapters listed.",
        }})},
    });
}

TEST_F(Machines, ServerWithSeveralAddressesServersAndALease)
{
    auto machine = [] {
        sim::net().host.host_name = "SERVER01";
        sim::net().host.domain_name = "corp.example";
        sim::net().host.node_type = 2;
        sim::net().host.enable_routing = 1;
        sim::net().host.enable_dns = 1;
        sim::set_search_list("corp.example,example.net example.org");
        sim::net().add(sim::ethernet(3, "Production")
                           .description("Simulated 10 Gigabit Server Adapter")
                           .dns_suffix("corp.example")
                           .speed(10000000000ull)
                           .address("192.0.2.10", 24)
                           .address("192.0.2.11", 24)
                           .address("203.0.113.9", 32)
                           .address("2001:db8:10::10", 64)
                           .gateway("192.0.2.1")
                           .dns("192.0.2.53")
                           .dns("192.0.2.54")
                           .wins("192.0.2.137")
                           .wins("192.0.2.138")
                           .dhcpv6(duid_bytes, 50331648)
                           .search_suffix("corp.example")
                           .search_suffix("example.net"));
        sim::net().add(sim::ethernet(6, "Management")
                           .speed(1000000000ull, 100000000ull)
                           .address("198.51.100.40", 24)
                           .gateway("198.51.100.1")
                           .dhcp("198.51.100.2", obtained, expires)
                           .dns("198.51.100.53"));
        sim::net().add(sim::ethernet(8, "Service VIP").address("203.0.113.77", 32));
    };
    check(machine, {
        {"basic", 0, 3, {
            "", "Windows IP Configuration", "",
            host_name + "SERVER01",
            domain + "corp.example",
            "",
            "[3]  Ethernet adapter:  Production", "",
            dns_suffix + "corp.example",
            description + "Simulated 10 Gigabit Server Adapter",
            media_state + "Connected",
            link_speed + "10.0 Gbps",
            // three IPv4 addresses in one column; mask and network from the first
            ipv4 + "192.0.2.10",
            indent + "192.0.2.11",
            indent + "203.0.113.9",
            gateway + "192.0.2.1",
            subnet_mask + "255.255.255.0",
            network + "192.0.2.0/24",
            ipv6 + "2001:db8:10::10",
            "",
            "[6]  Ethernet adapter:  Management", "",
            dns_suffix,
            description + "Simulated Gigabit Ethernet Adapter",
            media_state + "Connected",
            // the speeds differ: transmit first, then receive
            link_speed + "1.0 Gbps (transmit) / 100 Mbps (receive)",
            ipv4 + "198.51.100.40",
            gateway + "198.51.100.1",
            subnet_mask + "255.255.255.0",
            network + "198.51.100.0/24",
            "",
            // a /32 address alone: no mask, no network
            "[8]  Ethernet adapter:  Service VIP", "",
            dns_suffix,
            description + "Simulated Gigabit Ethernet Adapter",
            media_state + "Connected",
            link_speed + "1.0 Gbps",
            ipv4 + "203.0.113.77",
            "",
            "3 adapters listed.",
        }},
        {"detailed", all, 3, {
            "", "Windows IP Configuration", "",
            host_name + "SERVER01",
            domain + "corp.example",
            node_type + "Peer-to-peer",
            ip_routing + "Enabled",
            arp_proxy + "Disabled",
            dns + "Enabled",
            // "corp.example,example.net example.org": a comma, then a blank
            search_list + "corp.example",
            indent + "example.net",
            indent + "example.org",
            "",
            "[3]  Ethernet adapter:  Production", "",
            dns_suffix + "corp.example",
            description + "Simulated 10 Gigabit Server Adapter",
            physical + "02-53-49-4D-00-03",
            media_state + "Connected",
            link_speed + "10.0 Gbps",
            dhcp + "Disabled",
            autoconfig + "Disabled",
            ipv4 + "192.0.2.10",
            indent + "192.0.2.11",
            indent + "203.0.113.9",
            gateway + "192.0.2.1",
            subnet_mask + "255.255.255.0",
            network + "192.0.2.0/24",
            ipv6 + "2001:db8:10::10",
            iaid + "50331648",
            duid + duid_text,
            dns_servers + "192.0.2.53",
            indent + "192.0.2.54",
            wins_server + "192.0.2.137",
            indent + "192.0.2.138",
            netbios + "Enabled",
            search_list + "corp.example",
            indent + "example.net",
            "",
            "[6]  Ethernet adapter:  Management", "",
            dns_suffix,
            description + "Simulated Gigabit Ethernet Adapter",
            physical + "02-53-49-4D-00-06",
            media_state + "Connected",
            link_speed + "1.0 Gbps (transmit) / 100 Mbps (receive)",
            dhcp + "Enabled",
            autoconfig + "Disabled",
            ipv4 + "198.51.100.40",
            gateway + "198.51.100.1",
            subnet_mask + "255.255.255.0",
            network + "198.51.100.0/24",
            dhcp_server + "198.51.100.2",
            lease_obtained + obtained_text,
            lease_expires + expires_text,
            dns_servers + "198.51.100.53",
            netbios + "Enabled",
            "",
            "[8]  Ethernet adapter:  Service VIP", "",
            dns_suffix,
            description + "Simulated Gigabit Ethernet Adapter",
            physical + "02-53-49-4D-00-08",
            media_state + "Connected",
            link_speed + "1.0 Gbps",
            dhcp + "Disabled",
            autoconfig + "Disabled",
            ipv4 + "203.0.113.77",
            netbios + "Enabled",
            "",
            "3 adapters listed.",
        }},
    });
}

TEST_F(Machines, MachineWithoutIpv4)
{
    auto machine = [] {
        sim::net().host.host_name = "V6ONLY";
        sim::net().host.domain_name = "";
        sim::net().add(sim::ethernet(5, "Ethernet")
                           .no_ipv4()
                           .address("2001:db8:5::5", 64)
                           .address("fe80::5%5", 64)
                           .gateway("fe80::1%5")
                           .dns("2001:db8:5::53")
                           .dhcpv6(duid_bytes, 83886085)
                           .search_suffix("v6.example")
                           .per_adapter_fails(ERROR_NO_DATA));
        sim::net().add(sim::tunnel(14, "Teredo").address("2001:db8:2::5", 64));
    };
    // GetAdaptersInfo knows no adapter: the listing runs without the legacy list.
    check(machine, {
        {"basic", 0, 1, {
            "", "Windows IP Configuration", "",
            host_name + "V6ONLY",
            domain,
            "",
            // IPv4 disabled: no IPv4, gateway, mask or network rows; an IPv6 gateway is
            // never shown
            "[5]  Ethernet adapter:  Ethernet", "",
            dns_suffix,
            description + "Simulated Gigabit Ethernet Adapter",
            media_state + "Connected",
            link_speed + "1.0 Gbps",
            ipv6 + "2001:db8:5::5",
            indent + "fe80::5%5",
            "",
            "1 adapter listed.",
        }},
        {"detailed", all, 2, joined({{
            "", "Windows IP Configuration", "",
            host_name + "V6ONLY",
            domain,
            node_type + "Hybrid",
            ip_routing + "Disabled",
            arp_proxy + "Disabled",
            dns + "Disabled",
            "",
            "[5]  Ethernet adapter:  Ethernet", "",
            dns_suffix,
            description + "Simulated Gigabit Ethernet Adapter",
            physical + "02-53-49-4D-00-05",
            media_state + "Connected",
            link_speed + "1.0 Gbps",
            dhcp + "Disabled",
            autoconfig + "Unknown",  // GetPerAdapterInfo has nothing for it
            ipv6 + "2001:db8:5::5",
            indent + "fe80::5%5",
            iaid + "83886085",
            duid + duid_text,
            dns_servers + "2001:db8:5::53",
            // no NetBIOS line without IPv4
            search_list + "v6.example",
            "",
        }, teredo_detailed, {
            "2 adapters listed.",
        }})},
    }, false);
}
