// The report block of one adapter: the heading, each field line and the condition that
// shows it, the closing blank line, records of the short layout, colours, the autoconfig
// query, the first gateway, and the user break at every line end.
#include "harness.h"
#include "report_text.h"
#include "src/command/adapters.h"
#include "src/command/listing.h"
#include "src/command/options.h"
#include "src/command/report.h"
#include "src/console/highlight.h"
#include "src/console/pager.h"

#include <cstring>

namespace {

using namespace report_text;

// Label, leader and separator of each field line: 31 columns, the value in column 31.
const std::string dns_suffix = "   DNS suffix . . . . . . . :  ";
const std::string description = "   Description. . . . . . . :  ";
const std::string adapter_guid = "   Adapter GUID . . . . . . :  ";
const std::string physical = "   Physical address . . . . :  ";
const std::string media_state = "   Media state. . . . . . . :  ";
const std::string link_speed = "   Link speed . . . . . . . :  ";
const std::string dhcp = "   DHCP . . . . . . . . . . :  ";
const std::string autoconfig = "   Autoconfig . . . . . . . :  ";
const std::string ipv4 = "   IPv4 address . . . . . . :  ";
const std::string gateway = "   Gateway. . . . . . . . . :  ";
const std::string subnet_mask = "   Subnet mask. . . . . . . :  ";
const std::string network = "   Network CIDR . . . . . . :  ";
const std::string dhcp_server = "   DHCP server. . . . . . . :  ";
const std::string lease_obtained = "   Lease obtained/renewed . :  ";
const std::string lease_expires = "   Lease expires. . . . . . :  ";
const std::string ipv6 = "   IPv6 address . . . . . . :  ";
const std::string iaid = "   DHCPv6 IAID. . . . . . . :  ";
const std::string duid = "   DHCPv6 client DUID . . . :  ";
const std::string dns_servers = "   DNS servers. . . . . . . :  ";
const std::string wins_server = "   WINS server. . . . . . . :  ";
const std::string netbios = "   NetBIOS over TCP/IP. . . :  ";
const std::string search_list = "   DNS search list. . . . . :  ";

// The lines every block of the Ethernet adapter with index 7 that the builder makes.
const std::string heading7 = "[7]  Ethernet adapter:  Ethernet";
const std::string no_suffix = dns_suffix;
const std::string desc = description + "Simulated Gigabit Ethernet Adapter";
const std::string mac7 = physical + "02-53-49-4D-00-07";
const std::string connected = media_state + "Connected";
const std::string gbps = link_speed + "1.0 Gbps";

// 2024-01-05 07:05:09 UTC and a day later.
const time_t obtained = 1704438309;
const time_t expires = 1704524709;
const std::string obtained_text = "Friday, January 5, 2024  7:05:09 AM";
const std::string expires_text = "Saturday, January 6, 2024  7:05:09 AM";

const std::vector<BYTE> duid_bytes = {0x00, 0x01, 0x00, 0x01, 0x2D, 0x1A, 0x2B,
                                      0x3C, 0x02, 0x53, 0x49, 0x4D, 0x00, 0x07};
const std::string duid_text = "00-01-00-01-2D-1A-2B-3C-02-53-49-4D-00-07";

const DWORD basic = 0;
const DWORD detailed = CommandOptions::detailed;
const DWORD guid = CommandOptions::show_guid;
const DWORD all = CommandOptions::all_adapters;

// One adapter, as the test builds it from a plain Ethernet adapter with index 7, and the
// whole block expected for it.
struct BlockCase {
    const char *what;
    std::function<void(sim::Adapter &)> build;
    DWORD flags;
    std::vector<std::string> block;
};

}  // namespace

class Report : public ReportTest {
protected:
    void check(const std::vector<BlockCase> &cases)
    {
        for (const auto &c : cases) {
            fresh(c.what);
            os_version.dwMajorVersion = 10;
            sim::Adapter a = sim::ethernet(7, "Ethernet");
            c.build(a);
            sim::net().add(a);
            EXPECT_EQ(report_first(c.flags), 0) << c.what;
            EXPECT_EQ(sim::out(), lines(c.block)) << c.what;
        }
    }
    // The adapter of the whole detailed block: every row that an Ethernet adapter can have.
    static sim::Adapter everything()
    {
        return sim::ethernet(7, "Ethernet")
            .dns_suffix("corp.example")
            .address("192.0.2.10", 24)
            .address("2001:db8::10", 64)
            .address("198.51.100.10", 24)
            .address("fe80::10%7", 64)
            .gateway("192.0.2.1")
            .dhcp("192.0.2.2", obtained, expires)
            .autoconfig(1)
            .dhcpv6(duid_bytes, 117440519)
            .dns("192.0.2.53")
            .dns("2001:db8::53")
            .wins("192.0.2.137")
            .search_suffix("corp.example")
            .search_suffix("example.net");
    }
};

TEST_F(Report, BasicBlock)
{
    sim::net().add(sim::ethernet(7, "Ethernet")
                       .dns_suffix("corp.example")
                       .address("192.0.2.10", 24)
                       .address("2001:db8::10", 64)
                       .gateway("192.0.2.1")
                       .dhcp("192.0.2.2", obtained, expires)
                       .dns("192.0.2.53")
                       .search_suffix("corp.example"));
    EXPECT_EQ(report_first(basic), 0);
    // Rows 1, 2, 5, 6, 10 to 13 and 17, then the closing blank line.
    EXPECT_EQ(sim::out(), lines({
                              heading7,
                              "",
                              dns_suffix + "corp.example",
                              desc,
                              connected,
                              gbps,
                              ipv4 + "192.0.2.10",
                              gateway + "192.0.2.1",
                              subnet_mask + "255.255.255.0",
                              network + "192.0.2.0/24",
                              ipv6 + "2001:db8::10",
                              "",
                          }));
}

TEST_F(Report, DetailedBlockWithEveryRow)
{
    sim::net().add(everything());
    EXPECT_EQ(report_first(detailed | guid), 0);
    // Every row of the table in its order; the IPv4 rows list only the IPv4 addresses and
    // the IPv6 rows only the IPv6 ones, whatever their order in the unicast list.
    EXPECT_EQ(sim::out(), lines({
                              heading7,
                              "",
                              dns_suffix + "corp.example",
                              desc,
                              adapter_guid + "{00000007-0000-0000-0000-53494D4E4554}",
                              mac7,
                              connected,
                              gbps,
                              dhcp + "Enabled",
                              autoconfig + "Enabled",
                              ipv4 + "192.0.2.10",
                              indent + "198.51.100.10",
                              gateway + "192.0.2.1",
                              subnet_mask + "255.255.255.0",
                              network + "192.0.2.0/24",
                              dhcp_server + "192.0.2.2",
                              lease_obtained + obtained_text,
                              lease_expires + expires_text,
                              ipv6 + "2001:db8::10",
                              indent + "fe80::10%7",
                              iaid + "117440519",
                              duid + duid_text,
                              dns_servers + "192.0.2.53",
                              indent + "2001:db8::53",
                              wins_server + "192.0.2.137",
                              netbios + "Enabled",
                              search_list + "corp.example",
                              indent + "example.net",
                              "",
                          }));
}

TEST_F(Report, HeadingNamesIndexTypeAndFriendlyName)
{
    struct Case {
        const char *what;
        sim::Adapter adapter;
        std::string heading;
    } cases[] = {
        {"Ethernet", sim::ethernet(23, "Ethernet 2"), "[23]  Ethernet adapter:  Ethernet 2"},
        {"wireless", sim::wifi(3, "Wi-Fi"), "[3]  Wireless adapter:  Wi-Fi"},
        {"loopback", sim::loopback(1), "[1]  Loopback adapter:  Loopback Pseudo-Interface 1"},
        {"tunnel", sim::tunnel(14, "Teredo"), "[14]  Tunnel adapter:  Teredo"},
        {"a type without a word", sim::Adapter((IFTYPE)53, 9, "Virtual"),
         "[9]  Other (53) adapter:  Virtual"},
        {"an empty friendly name", sim::ethernet(4, ""), "[4]  Ethernet adapter:  "},
    };
    for (const auto &c : cases) {
        fresh(c.what);
        sim::Adapter a = c.adapter;
        a.no_ipv4().no_ipv6();
        sim::net().add(a);
        EXPECT_EQ(report_first(basic), 0) << c.what;
        std::string out = sim::out();
        EXPECT_EQ(out.substr(0, out.find("\r\n")), c.heading) << c.what;
        EXPECT_EQ(out.substr(c.heading.size(), 4), "\r\n\r\n") << c.what << ": a blank line follows";
    }
}

TEST_F(Report, FieldsBeforeTheAddresses)
{
    check({
        {"an empty DNS suffix leaves its line ending after the separator", [](sim::Adapter &) {},
         basic, {heading7, "", no_suffix, desc, connected, gbps, ""}},
        {"an empty description gives no description line",
         [](sim::Adapter &a) { a.description(""); }, basic,
         {heading7, "", no_suffix, connected, gbps, ""}},
        {"/G shows the GUID of the adapter name", [](sim::Adapter &a) { a.name("{6B29FC40-CA47-1067-B31D-00DD010662DA}"); },
         guid,
         {heading7, "", no_suffix, desc, adapter_guid + "{6B29FC40-CA47-1067-B31D-00DD010662DA}",
          connected, gbps, ""}},
        {"/G with an empty adapter name shows no GUID line",
         [](sim::Adapter &a) { a.name(""); }, guid,
         {heading7, "", no_suffix, desc, connected, gbps, ""}},
        {"/A without /G shows no GUID line, but the physical address", [](sim::Adapter &) {},
         all,
         {heading7, "", no_suffix, desc, mac7, connected, gbps, dhcp + "Disabled",
          autoconfig + "Disabled", netbios + "Enabled", ""}},
        {"no physical address line for a length of 0",
         [](sim::Adapter &a) { a.physical({}, 0); }, detailed,
         {heading7, "", no_suffix, desc, connected, gbps, dhcp + "Disabled",
          autoconfig + "Disabled", netbios + "Enabled", ""}},
        {"a physical address length above the field shows the field's 8 bytes",
         [](sim::Adapter &a) { a.physical({1, 2, 3, 4, 5, 6, 7, 8}, 12); }, detailed,
         {heading7, "", no_suffix, desc, physical + "01-02-03-04-05-06-07-08", connected, gbps,
          dhcp + "Disabled", autoconfig + "Disabled", netbios + "Enabled", ""}},
        {"a physical address length one above the field shows its 8 bytes",
         [](sim::Adapter &a) { a.physical({1, 2, 3, 4, 5, 6, 7, 8}, 9); }, detailed,
         {heading7, "", no_suffix, desc, physical + "01-02-03-04-05-06-07-08", connected, gbps,
          dhcp + "Disabled", autoconfig + "Disabled", netbios + "Enabled", ""}},
        {"a physical address length equal to the field shows its 8 bytes",
         [](sim::Adapter &a) { a.physical({1, 2, 3, 4, 5, 6, 7, 8}, 8); }, detailed,
         {heading7, "", no_suffix, desc, physical + "01-02-03-04-05-06-07-08", connected, gbps,
          dhcp + "Disabled", autoconfig + "Disabled", netbios + "Enabled", ""}},
        {"DHCP and an autoconfig that is enabled",
         [](sim::Adapter &a) { a.set_flags(IP_ADAPTER_DHCP_ENABLED).autoconfig(1); }, detailed,
         {heading7, "", no_suffix, desc, mac7, connected, gbps, dhcp + "Enabled",
          autoconfig + "Enabled", netbios + "Enabled", ""}},
        {"an autoconfig that cannot be had is unknown",
         [](sim::Adapter &a) { a.per_adapter_fails(ERROR_NOT_SUPPORTED); }, detailed,
         {heading7, "", no_suffix, desc, mac7, connected, gbps, dhcp + "Disabled",
          autoconfig + "Unknown", netbios + "Enabled", ""}},
    });
}

TEST_F(Report, MediaStateDecidesWhetherAddressesAreShown)
{
    auto addressed = [](sim::Adapter &a) { a.address("192.0.2.10", 24); };
    check({
        {"connected shows the addresses", addressed, basic,
         {heading7, "", no_suffix, desc, connected, gbps, ipv4 + "192.0.2.10",
          subnet_mask + "255.255.255.0", network + "192.0.2.0/24", ""}},
        {"an unknown state hides them", [&](sim::Adapter &a) { addressed(a); a.media(0); }, basic,
         {heading7, "", no_suffix, desc, media_state + "Unknown", gbps, ""}},
        {"disconnected hides them", [&](sim::Adapter &a) { addressed(a); a.media(2); }, basic,
         {heading7, "", no_suffix, desc, media_state + "Disconnected", gbps, ""}},
        {"a state above 2 is Other and shows them",
         [&](sim::Adapter &a) { addressed(a); a.media(5); }, basic,
         {heading7, "", no_suffix, desc, media_state + "Other", gbps, ipv4 + "192.0.2.10",
          subnet_mask + "255.255.255.0", network + "192.0.2.0/24", ""}},
        {"a failed GetIfEntry2 is Other and shows them",
         [&](sim::Adapter &a) { addressed(a); a.if_entry_fails(ERROR_NOT_FOUND); }, basic,
         {heading7, "", no_suffix, desc, media_state + "Other", gbps, ipv4 + "192.0.2.10",
          subnet_mask + "255.255.255.0", network + "192.0.2.0/24", ""}},
        {"disconnected and detailed keeps DHCP, Autoconfig and the search list only",
         [](sim::Adapter &a) {
             a.address("192.0.2.10", 24)
                 .address("2001:db8::10", 64)
                 .gateway("192.0.2.1")
                 .dhcp("192.0.2.2", obtained, expires)
                 .dhcpv6(duid_bytes, 5)
                 .dns("192.0.2.53")
                 .wins("192.0.2.137")
                 .search_suffix("corp.example")
                 .media(2);
         },
         detailed,
         {heading7, "", no_suffix, desc, mac7, media_state + "Disconnected", gbps,
          dhcp + "Enabled", autoconfig + "Disabled", search_list + "corp.example", ""}},
    });
}

TEST_F(Report, LinkSpeed)
{
    check({
        {"equal speeds give one text", [](sim::Adapter &a) { a.speed(100000000ull); }, basic,
         {heading7, "", no_suffix, desc, connected, link_speed + "100 Mbps", ""}},
        {"different speeds give transmit and receive",
         [](sim::Adapter &a) { a.speed(1000000000ull, 100000000ull); }, basic,
         {heading7, "", no_suffix, desc, connected,
          link_speed + "1.0 Gbps (transmit) / 100 Mbps (receive)", ""}},
        {"speeds that differ in the upper half only are different",
         [](sim::Adapter &a) { a.speed(0x100000005ull, 5ull); }, basic,
         {heading7, "", no_suffix, desc, connected,
          link_speed + "4.3 Gbps (transmit) / 5 bps (receive)", ""}},
        {"a transmit speed of 0 gives no line, whatever the receive speed",
         [](sim::Adapter &a) { a.speed(0, 100000000ull); }, basic,
         {heading7, "", no_suffix, desc, connected, ""}},
        {"a receive speed of 0 still gives the line",
         [](sim::Adapter &a) { a.speed(54000000ull, 0); }, basic,
         {heading7, "", no_suffix, desc, connected,
          link_speed + "54 Mbps (transmit) / 0 bps (receive)", ""}},
        {"an unknown speed", [](sim::Adapter &a) { a.speed(0xFFFFFFFFFFFFFFFFull); }, basic,
         {heading7, "", no_suffix, desc, connected, link_speed + "N/A", ""}},
    });
}

TEST_F(Report, Ipv4AddressesMaskAndNetwork)
{
    check({
        {"a /24 address shows its mask and network",
         [](sim::Adapter &a) { a.address("192.0.2.10", 24); }, basic,
         {heading7, "", no_suffix, desc, connected, gbps, ipv4 + "192.0.2.10",
          subnet_mask + "255.255.255.0", network + "192.0.2.0/24", ""}},
        {"a second address stands under the first and changes neither mask nor network",
         [](sim::Adapter &a) { a.address("192.0.2.10", 24).address("198.51.100.7", 16); }, basic,
         {heading7, "", no_suffix, desc, connected, gbps, ipv4 + "192.0.2.10",
          indent + "198.51.100.7", subnet_mask + "255.255.255.0", network + "192.0.2.0/24", ""}},
        {"a /32 address has no mask and no network",
         [](sim::Adapter &a) { a.address("203.0.113.5", 32); }, basic,
         {heading7, "", no_suffix, desc, connected, gbps, ipv4 + "203.0.113.5", ""}},
        {"a prefix length of 0 gives no mask and no network",
         [](sim::Adapter &a) { a.address("203.0.113.5", 0); }, basic,
         {heading7, "", no_suffix, desc, connected, gbps, ipv4 + "203.0.113.5", ""}},
        {"a prefix length above 32 gives no mask and no network",
         [](sim::Adapter &a) { a.address("203.0.113.5", 33); }, basic,
         {heading7, "", no_suffix, desc, connected, gbps, ipv4 + "203.0.113.5", ""}},
        {"a /31 address", [](sim::Adapter &a) { a.address("203.0.113.5", 31); }, basic,
         {heading7, "", no_suffix, desc, connected, gbps, ipv4 + "203.0.113.5",
          subnet_mask + "255.255.255.254", network + "203.0.113.4/31", ""}},
        {"a /1 address", [](sim::Adapter &a) { a.address("203.0.113.5", 1); }, basic,
         {heading7, "", no_suffix, desc, connected, gbps, ipv4 + "203.0.113.5",
          subnet_mask + "128.0.0.0", network + "128.0.0.0/1", ""}},
        {"a network of 0 shows the mask but no network line",
         [](sim::Adapter &a) { a.address("0.1.2.3", 8); }, basic,
         {heading7, "", no_suffix, desc, connected, gbps, ipv4 + "0.1.2.3",
          subnet_mask + "255.0.0.0", ""}},
        {"the first address's /32 leaves the second's /24 unused",
         [](sim::Adapter &a) { a.address("203.0.113.5", 32).address("192.0.2.10", 24); }, basic,
         {heading7, "", no_suffix, desc, connected, gbps, ipv4 + "203.0.113.5",
          indent + "192.0.2.10", ""}},
        {"IPv6 addresses in front do not change which IPv4 address is first",
         [](sim::Adapter &a) { a.address("2001:db8::10", 64).address("192.0.2.10", 24); }, basic,
         {heading7, "", no_suffix, desc, connected, gbps, ipv4 + "192.0.2.10",
          subnet_mask + "255.255.255.0", network + "192.0.2.0/24", ipv6 + "2001:db8::10", ""}},
        {"a unicast record shorter than complete gives no prefix",
         [](sim::Adapter &a) {
             a.address("192.0.2.10", 24, (ULONG)sizeof(IP_ADAPTER_UNICAST_ADDRESS) - 1);
         },
         basic, {heading7, "", no_suffix, desc, connected, gbps, ipv4 + "192.0.2.10", ""}},
        {"a unicast record of exactly the complete size gives the prefix",
         [](sim::Adapter &a) {
             a.address("192.0.2.10", 24, (ULONG)sizeof(IP_ADAPTER_UNICAST_ADDRESS));
         },
         basic,
         {heading7, "", no_suffix, desc, connected, gbps, ipv4 + "192.0.2.10",
          subnet_mask + "255.255.255.0", network + "192.0.2.0/24", ""}},
        // Before version 6 the record ends before the prefix length; the 32-bit build pads
        // it to the complete record's size, so the field's place can hold anything.
        {"a system of major version 5 gives no prefix, though the field's place holds one",
         [](sim::Adapter &a) {
             os_version.dwMajorVersion = 5;
             a.address("192.0.2.10", 24, (ULONG)sizeof(IP_ADAPTER_UNICAST_ADDRESS));
         },
         basic, {heading7, "", no_suffix, desc, connected, gbps, ipv4 + "192.0.2.10", ""}},
        {"a system of major version 6 gives the prefix",
         [](sim::Adapter &a) {
             os_version.dwMajorVersion = 6;
             a.address("192.0.2.10", 24);
         },
         basic,
         {heading7, "", no_suffix, desc, connected, gbps, ipv4 + "192.0.2.10",
          subnet_mask + "255.255.255.0", network + "192.0.2.0/24", ""}},
        {"IPv4 disabled: no IPv4 rows and no NetBIOS line, though the address is listed",
         [](sim::Adapter &a) {
             a.address("192.0.2.10", 24).gateway("192.0.2.1").no_ipv4();
         },
         detailed,
         {heading7, "", no_suffix, desc, mac7, connected, gbps, dhcp + "Disabled",
          autoconfig + "Disabled", ""}},
    });
}

TEST_F(Report, Gateway)
{
    auto block = [](const std::string &gw) {
        std::vector<std::string> b = {heading7, "", no_suffix, desc, connected, gbps,
                                      ipv4 + "192.0.2.10"};
        if (!gw.empty())
            b.push_back(gateway + gw);
        b.insert(b.end(), {subnet_mask + "255.255.255.0", network + "192.0.2.0/24", ""});
        return b;
    };
    check({
        {"0.0.0.0 first, then a real gateway: the real one",
         [](sim::Adapter &a) { a.address("192.0.2.10", 24).gateway("0.0.0.0").gateway("192.0.2.1"); },
         basic, block("192.0.2.1")},
        {"255.255.255.255 is passed over",
         [](sim::Adapter &a) {
             a.address("192.0.2.10", 24).gateway("255.255.255.255").gateway("192.0.2.254");
         },
         basic, block("192.0.2.254")},
        {"an IPv6 gateway is never shown",
         [](sim::Adapter &a) { a.address("192.0.2.10", 24).gateway("fe80::1%7"); }, basic,
         block("")},
        {"an IPv6 gateway in front of an IPv4 one",
         [](sim::Adapter &a) { a.address("192.0.2.10", 24).gateway("fe80::1%7").gateway("192.0.2.1"); },
         basic, block("192.0.2.1")},
        {"only the first usable gateway",
         [](sim::Adapter &a) { a.address("192.0.2.10", 24).gateway("192.0.2.1").gateway("192.0.2.2"); },
         basic, block("192.0.2.1")},
        {"0.0.0.0 alone is no gateway",
         [](sim::Adapter &a) { a.address("192.0.2.10", 24).gateway("0.0.0.0"); }, basic,
         block("")},
    });
}

TEST_F(Report, DhcpServerAndLease)
{
    auto head = std::vector<std::string>{heading7, "", no_suffix, desc, mac7, connected, gbps,
                                         dhcp + "Enabled", autoconfig + "Disabled",
                                         ipv4 + "192.0.2.10", subnet_mask + "255.255.255.0",
                                         network + "192.0.2.0/24"};
    auto block = [&](std::vector<std::string> middle) {
        std::vector<std::string> b = head;
        b.insert(b.end(), middle.begin(), middle.end());
        b.insert(b.end(), {netbios + "Enabled", ""});
        return b;
    };
    const std::vector<std::string> lease = {lease_obtained + obtained_text,
                                            lease_expires + expires_text};
    auto leased = [](const std::string &server, time_t from, time_t to) {
        return [=](sim::Adapter &a) { a.address("192.0.2.10", 24).dhcp(server, from, to); };
    };
    check({
        {"a lease shows its server, when it was obtained and when it expires",
         leased("192.0.2.2", obtained, expires), detailed,
         block({dhcp_server + "192.0.2.2", lease[0], lease[1]})},
        {"without a legacy record: the server but no lease lines",
         [](sim::Adapter &a) {
             a.address("192.0.2.10", 24).dhcp("192.0.2.2", obtained, expires).no_legacy();
         },
         detailed, block({dhcp_server + "192.0.2.2"})},
        {"a legacy record whose name differs in letter case is no match",
         [](sim::Adapter &a) {
             a.address("192.0.2.10", 24)
                 .dhcp("192.0.2.2", obtained, expires)
                 .name("{6B29FC40-CA47-1067-B31D-00DD010662DA}")
                 .legacy_name("{6b29fc40-ca47-1067-b31d-00dd010662da}");
         },
         detailed, block({dhcp_server + "192.0.2.2"})},
        {"a lease obtained at 0: no lease lines", leased("192.0.2.2", 0, expires), detailed,
         block({dhcp_server + "192.0.2.2"})},
        {"a lease expiring at 0: no lease lines", leased("192.0.2.2", obtained, 0), detailed,
         block({dhcp_server + "192.0.2.2"})},
        {"no server known: the lease lines alone", leased("", obtained, expires), detailed,
         block(lease)},
        {"a server of the IPv6 family is no IPv4 server", leased("2001:db8::2", obtained, expires),
         detailed, block(lease)},
        {"a server 0.0.0.0 is not shown", leased("0.0.0.0", obtained, expires), detailed,
         block(lease)},
        {"a server 255.255.255.255 is not shown", leased("255.255.255.255", obtained, expires),
         detailed, block(lease)},
        {"DHCP disabled: neither server nor lease",
         [](sim::Adapter &a) {
             a.address("192.0.2.10", 24)
                 .dhcp("192.0.2.2", obtained, expires)
                 .clear_flags(IP_ADAPTER_DHCP_ENABLED);
         },
         detailed,
         {heading7, "", no_suffix, desc, mac7, connected, gbps, dhcp + "Disabled",
          autoconfig + "Disabled", ipv4 + "192.0.2.10", subnet_mask + "255.255.255.0",
          network + "192.0.2.0/24", netbios + "Enabled", ""}},
        {"a basic run: neither server nor lease", leased("192.0.2.2", obtained, expires), basic,
         {heading7, "", no_suffix, desc, connected, gbps, ipv4 + "192.0.2.10",
          subnet_mask + "255.255.255.0", network + "192.0.2.0/24", ""}},
    });
}

TEST_F(Report, DhcpServerMustBeAnIpv4SocketAddress)
{
    sim::net().add(sim::ethernet(7, "Ethernet").address("192.0.2.10", 24).dhcp("2001:db8::2", 0, 0));
    Lists lists(detailed);
    ASSERT_NE(lists.addresses, nullptr);
    SOCKADDR_IN6 *server = (SOCKADDR_IN6 *)lists.addresses->Dhcpv4Server.lpSockaddr;
    ASSERT_NE(server, nullptr);
    ASSERT_EQ(server->sin6_family, AF_INET6);
    // Flow information where an IPv4 socket address keeps its address: bytes 192.0.2.2.
    const BYTE flow[4] = {192, 0, 2, 2};
    memcpy(&server->sin6_flowinfo, flow, sizeof(flow));
    EXPECT_EQ(report_adapter(lists.addresses, NULL, detailed, DEFAULT_DATE_FORMAT), 0);
    EXPECT_EQ(sim::out(), lines({heading7, "", no_suffix, desc, mac7, connected, gbps,
                                 dhcp + "Enabled", autoconfig + "Disabled", ipv4 + "192.0.2.10",
                                 subnet_mask + "255.255.255.0", network + "192.0.2.0/24",
                                 netbios + "Enabled", ""}));
}

TEST_F(Report, DataTheRecordLacksIsLeftOutSilently)
{
    sim::net().add(sim::wifi(12, "Wi-Fi").dns_suffix("corp.example").dns("192.0.2.53").no_ipv4().no_ipv6());
    Lists lists(detailed);
    ASSERT_NE(lists.addresses, nullptr);
    IP_ADAPTER_ADDRESSES *a = lists.addresses;
    ASSERT_NE(a->FirstDnsServerAddress, nullptr);
    a->DnsSuffix = NULL;
    a->Description = NULL;
    a->FriendlyName = NULL;
    a->AdapterName = NULL;
    a->FirstDnsServerAddress->Address.lpSockaddr = NULL;
    a->Flags |= IP_ADAPTER_IPV4_ENABLED;  // no IPv4 address, and NetBIOS stays off
    EXPECT_EQ(report_adapter(a, NULL, detailed | guid, DEFAULT_DATE_FORMAT), 0);
    // No suffix, description, name, GUID, WiFi lines or server address: the lines that
    // are always there end after their separator.
    EXPECT_EQ(sim::out(), lines({"[12]  Wireless adapter:  ", "", no_suffix,
                                 physical + "02-53-49-4D-00-0C", connected,
                                 link_speed + "300 Mbps", dhcp + "Disabled",
                                 autoconfig + "Disabled", dns_servers, netbios + "Disabled", ""}));
    EXPECT_EQ(sim::err(), "");
}

TEST_F(Report, Ipv6AddressThatCannotBeRenderedIsAnEmptyValue)
{
    sim::net().add(sim::ethernet(7, "Ethernet").address("2001:db8::10", 64).address("2001:db8::11", 64).no_ipv4());
    sim::address_text().fail_with = WSAEFAULT;
    EXPECT_EQ(report_first(basic), 0);
    EXPECT_EQ(sim::out(), lines({heading7, "", no_suffix, desc, connected, gbps, ipv6, indent, ""}));
}

TEST_F(Report, LeaseTimesTakeTheDateFormOfTheRun)
{
    sim::net().add(sim::ethernet(7, "Ethernet")
                       .address("192.0.2.10", 24)
                       .dhcp("192.0.2.2", obtained, expires)
                       .no_ipv6());
    EXPECT_EQ(report_first(detailed, 4), 0);
    EXPECT_EQ(sim::out(), lines({heading7, "", no_suffix, desc, mac7, connected, gbps,
                                 dhcp + "Enabled", autoconfig + "Disabled", ipv4 + "192.0.2.10",
                                 subnet_mask + "255.255.255.0", network + "192.0.2.0/24",
                                 dhcp_server + "192.0.2.2",
                                 lease_obtained + "2024-01-05  07:05:09",
                                 lease_expires + "2024-01-06  07:05:09", netbios + "Enabled", ""}));
}

TEST_F(Report, Ipv6AddressesAndDhcpv6Identity)
{
    auto detailed_block = [](std::vector<std::string> middle) {
        std::vector<std::string> b = {heading7, "", no_suffix, desc, mac7, connected, gbps,
                                      dhcp + "Disabled", autoconfig + "Disabled"};
        b.insert(b.end(), middle.begin(), middle.end());
        b.push_back("");
        return b;
    };
    const std::string long_duid = [] {
        std::string s;
        for (int i = 0; i < 129; i++)
            s += "AB-";
        return s + "AB";
    }();
    check({
        {"several IPv6 addresses stand under one label",
         [](sim::Adapter &a) { a.address("2001:db8::10", 64).address("fe80::10%7", 64); }, basic,
         {heading7, "", no_suffix, desc, connected, gbps, ipv6 + "2001:db8::10",
          indent + "fe80::10%7", ""}},
        {"a detailed run adds the IAID and the DUID",
         [](sim::Adapter &a) { a.address("2001:db8::10", 64).dhcpv6(duid_bytes, 117440519).no_ipv4(); },
         detailed,
         detailed_block({ipv6 + "2001:db8::10", iaid + "117440519", duid + duid_text})},
        {"IPv6 enabled without an IPv6 address: no IAID and no DUID",
         [](sim::Adapter &a) { a.dhcpv6(duid_bytes, 117440519).no_ipv4(); }, detailed,
         detailed_block({})},
        {"an IAID of 0: no identity lines",
         [](sim::Adapter &a) { a.address("2001:db8::10", 64).dhcpv6(duid_bytes, 0).no_ipv4(); },
         detailed, detailed_block({ipv6 + "2001:db8::10"})},
        {"an empty DUID: no identity lines",
         [](sim::Adapter &a) { a.address("2001:db8::10", 64).dhcpv6({}, 5).no_ipv4(); }, detailed,
         detailed_block({ipv6 + "2001:db8::10"})},
        {"a DUID length above the field shows the field's 130 bytes",
         [](sim::Adapter &a) {
             a.address("2001:db8::10", 64).dhcpv6(std::vector<BYTE>(140, 0xAB), 5).no_ipv4();
         },
         detailed, detailed_block({ipv6 + "2001:db8::10", iaid + "5", duid + long_duid})},
        {"a DUID length one above the field shows the field's 130 bytes",
         [](sim::Adapter &a) {
             a.address("2001:db8::10", 64).dhcpv6(std::vector<BYTE>(131, 0xAB), 5).no_ipv4();
         },
         detailed, detailed_block({ipv6 + "2001:db8::10", iaid + "5", duid + long_duid})},
        {"a DUID length equal to the field shows the field's 130 bytes",
         [](sim::Adapter &a) {
             a.address("2001:db8::10", 64).dhcpv6(std::vector<BYTE>(130, 0xAB), 5).no_ipv4();
         },
         detailed, detailed_block({ipv6 + "2001:db8::10", iaid + "5", duid + long_duid})},
        {"a basic run: no identity lines",
         [](sim::Adapter &a) { a.address("2001:db8::10", 64).dhcpv6(duid_bytes, 5); }, basic,
         {heading7, "", no_suffix, desc, connected, gbps, ipv6 + "2001:db8::10", ""}},
        {"IPv6 disabled: no IPv6 rows, though the address is listed",
         [](sim::Adapter &a) { a.address("2001:db8::10", 64).dhcpv6(duid_bytes, 5).no_ipv6(); },
         detailed,
         {heading7, "", no_suffix, desc, mac7, connected, gbps, dhcp + "Disabled",
          autoconfig + "Disabled", netbios + "Enabled", ""}},
    });
}

TEST_F(Report, ServersNetbiosAndSearchList)
{
    auto block = [](std::vector<std::string> tail) {
        std::vector<std::string> b = {heading7, "", no_suffix, desc, mac7, connected, gbps,
                                      dhcp + "Disabled", autoconfig + "Disabled"};
        b.insert(b.end(), tail.begin(), tail.end());
        b.push_back("");
        return b;
    };
    check({
        {"DNS servers of both families stand under one label",
         [](sim::Adapter &a) { a.dns("192.0.2.53").dns("2001:db8::53").no_ipv4(); }, detailed,
         block({dns_servers + "192.0.2.53", indent + "2001:db8::53"})},
        {"a DNS server of an unknown family is named by its number",
         [](sim::Adapter &a) { a.dns("#17").no_ipv4(); }, detailed,
         block({dns_servers + "Unknown protocol 17"})},
        {"WINS servers", [](sim::Adapter &a) { a.wins("192.0.2.137").wins("192.0.2.138"); },
         detailed,
         block({wins_server + "192.0.2.137", indent + "192.0.2.138", netbios + "Enabled"})},
        {"NetBIOS over TCP/IP disabled",
         [](sim::Adapter &a) { a.clear_flags(IP_ADAPTER_NETBIOS_OVER_TCPIP_ENABLED); }, detailed,
         block({netbios + "Disabled"})},
        {"the adapter's DNS search list",
         [](sim::Adapter &a) { a.search_suffix("corp.example").search_suffix("example.net").no_ipv4(); },
         detailed, block({search_list + "corp.example", indent + "example.net"})},
        {"an unknown media state keeps only the search list of these",
         [](sim::Adapter &a) {
             a.dns("192.0.2.53").wins("192.0.2.137").search_suffix("corp.example").media(0);
         },
         detailed,
         {heading7, "", no_suffix, desc, mac7, media_state + "Unknown", gbps, dhcp + "Disabled",
          autoconfig + "Disabled", search_list + "corp.example", ""}},
        {"a basic run shows none of these",
         [](sim::Adapter &a) { a.dns("192.0.2.53").wins("192.0.2.137").search_suffix("corp.example"); },
         basic, {heading7, "", no_suffix, desc, connected, gbps, ""}},
    });
}

TEST_F(Report, ShortRecordsSilentlyLackTheLaterFields)
{
    // Everything after the unicast, DNS and physical data: link speed, gateway, DHCP
    // server, lease, DHCPv6 identity, WINS and search list are missing.
    const std::vector<std::string> short_block = {
        heading7,
        "",
        dns_suffix + "corp.example",
        desc,
        mac7,
        connected,
        dhcp + "Enabled",
        autoconfig + "Enabled",
        ipv4 + "192.0.2.10",
        indent + "198.51.100.10",
        subnet_mask + "255.255.255.0",
        network + "192.0.2.0/24",
        ipv6 + "2001:db8::10",
        indent + "fe80::10%7",
        dns_servers + "192.0.2.53",
        indent + "2001:db8::53",
        netbios + "Enabled",
        "",
    };
    struct Case {
        const char *what;
        ULONG length;
        bool complete;
    } cases[] = {
        {"the Windows XP record", 0, false},
        {"a record one byte short of complete, the later fields there all the same",
         (ULONG)sizeof(IP_ADAPTER_ADDRESSES) - 1, false},
        {"a record of exactly the complete size", (ULONG)sizeof(IP_ADAPTER_ADDRESSES), true},
    };
    for (const auto &c : cases) {
        fresh(c.what);
        sim::net().add(everything().short_layout(c.length));
        EXPECT_EQ(report_first(detailed), 0) << c.what;
        if (c.complete)
            EXPECT_EQ(line_ends(sim::out()), 28) << c.what << ": every row of the detailed block";
        else
            EXPECT_EQ(sim::out(), lines(short_block)) << c.what;
    }
}

TEST_F(Report, CompleteMeansThisBuildsSizeOfTheRecord)
{
    IP_ADAPTER_ADDRESSES record;
    ZeroMemory(&record, sizeof(record));
    struct Case {
        ULONG length;
        bool full;
    } cases[] = {
        {(ULONG)sizeof(IP_ADAPTER_ADDRESSES), true},
        {(ULONG)sizeof(IP_ADAPTER_ADDRESSES) + 8, true},
        {(ULONG)sizeof(IP_ADAPTER_ADDRESSES) - 1, false},
        {(ULONG)sizeof(IP_ADAPTER_ADDRESSES_XP), false},
        {0, false},
    };
    for (const auto &c : cases) {
        record.Length = c.length;
        EXPECT_EQ(is_full_layout(&record), c.full) << "Length " << c.length;
    }
    EXPECT_FALSE(is_full_layout(NULL));
}

TEST_F(Report, TheThirtyTwoBitSizeIsShortInAWiderBuild)
{
    if (sizeof(IP_ADAPTER_ADDRESSES) == 376)
        GTEST_SKIP() << "SKIPPED: this build lays the record out as the 32-bit build does";
    // 376 is the complete record of the 32-bit layout; here the complete record is larger.
    sim::net().add(sim::ethernet(7, "Ethernet").address("192.0.2.10", 24).gateway("192.0.2.1").short_layout(376));
    EXPECT_EQ(report_first(basic), 0);
    EXPECT_EQ(sim::out(), lines({heading7, "", no_suffix, desc, connected, ipv4 + "192.0.2.10",
                                 subnet_mask + "255.255.255.0", network + "192.0.2.0/24", ""}));
}

TEST_F(Report, AddressesAndNameInTheHighlightColour)
{
    sim::console().stdout_is_console = true;
    sim::console().attr = 0x07;
    highlight_colors = HighlightColors{0x07, 0x0F};
    sim::net().add(sim::ethernet(7, "Ethernet")
                       .address("192.0.2.10", 24)
                       .address("198.51.100.10", 24)
                       .address("2001:db8::10", 64)
                       .gateway("192.0.2.1")
                       .dns("192.0.2.53"));
    EXPECT_EQ(report_first(detailed), 0);
    // Only the friendly name and the addresses stand out; gateway, mask, network and the
    // servers are plain.
    EXPECT_EQ(sim::coloured(0x07),
              lines({"[7]  Ethernet adapter:  {0F:Ethernet}", "", no_suffix, desc, mac7,
                     connected, gbps, dhcp + "Disabled", autoconfig + "Disabled",
                     ipv4 + "{0F:192.0.2.10}", indent + "{0F:198.51.100.10}",
                     gateway + "192.0.2.1", subnet_mask + "255.255.255.0",
                     network + "192.0.2.0/24", ipv6 + "{0F:2001:db8::10}",
                     dns_servers + "192.0.2.53", netbios + "Enabled", ""}));
    EXPECT_EQ(sim::con(), "Ethernet192.0.2.10198.51.100.102001:db8::10");
    EXPECT_EQ(sim::console().attr, 0x07);
}

TEST_F(Report, UserBreakAtEveryLineEnd)
{
    struct Case {
        const char *what;
        std::function<sim::Adapter()> adapter;
        DWORD flags;
        int lines;
    } cases[] = {
        {"the detailed block with every row", [] { return everything(); }, detailed | guid, 29},
        {"the basic block with two link speeds",
         [] { return everything().speed(1000000000ull, 100000000ull); }, basic, 14},
        {"a disconnected block", [] { return everything().media(2); }, detailed, 12},
    };
    for (const auto &c : cases) {
        fresh(c.what);
        sim::net().add(c.adapter());
        ASSERT_EQ(report_first(c.flags), 0) << c.what;
        const std::string full = sim::out();
        ASSERT_EQ(line_ends(full), c.lines) << c.what;

        for (int n = 1; n <= c.lines; n++) {
            std::string what = std::string(c.what) + ", break at line end " + std::to_string(n);
            fresh(what);
            sim::net().add(c.adapter());
            sim::console().ctrl_c_at_line_end = (unsigned)n;
            install_break_handler();
            EXPECT_EQ(report_first(c.flags), USER_BREAK) << what;
            remove_break_handler();
            EXPECT_EQ(sim::out(), first_lines(full, n)) << what << ": nothing more is written";
            EXPECT_EQ(sim::con(), echo) << what;
        }
    }
}

TEST_F(Report, UserBreakAtThePagePromptInsideTheAddresses)
{
    sim::console().stdout_is_console = true;
    sim::net().add(everything());
    // A page of 11 lines ends on the first IPv4 address; Esc stops there.
    pager.page_length = pager.lines_left = 11;
    sim::script({sim::key(27)});
    install_break_handler();
    EXPECT_EQ(report_first(detailed | guid), USER_BREAK);
    remove_break_handler();
    EXPECT_EQ(sim::out(), lines({heading7, "", dns_suffix + "corp.example", desc,
                                 adapter_guid + "{00000007-0000-0000-0000-53494D4E4554}", mac7,
                                 connected, gbps, dhcp + "Enabled", autoconfig + "Enabled",
                                 ipv4 + "192.0.2.10"}));
}

TEST_F(Report, QueryAutoconfig)
{
    struct Case {
        const char *what;
        std::function<void()> setup;
        int result;
        size_t calls;
    } cases[] = {
        {"enabled", [] { sim::net().add(sim::ethernet(7, "E").autoconfig(1)); }, 1, 1},
        {"any non-zero value is enabled", [] { sim::net().add(sim::ethernet(7, "E").autoconfig(5)); }, 1, 1},
        {"disabled", [] { sim::net().add(sim::ethernet(7, "E").autoconfig(0)); }, 0, 1},
        {"the call fails",
         [] { sim::net().add(sim::ethernet(7, "E").autoconfig(1).per_adapter_fails(ERROR_NOT_SUPPORTED)); },
         -1, 1},
        {"an unknown interface", [] { sim::net().add(sim::ethernet(8, "E").autoconfig(1)); }, -1, 1},
        {"no memory for the first buffer",
         [] {
             sim::net().add(sim::ethernet(7, "E").autoconfig(1));
             sim::kernel().heap_fail_after = 0;
         },
         -1, 0},
        {"a record larger than 180 bytes is fetched again at the size asked",
         [] {
             sim::net().add(sim::ethernet(7, "E").autoconfig(1).dns("192.0.2.53").dns("192.0.2.54").dns("192.0.2.55").dns("192.0.2.56"));
         },
         1, 2},
        {"no memory for the larger buffer",
         [] {
             sim::net().add(sim::ethernet(7, "E").autoconfig(1).dns("192.0.2.53").dns("192.0.2.54").dns("192.0.2.55").dns("192.0.2.56"));
             sim::kernel().heap_fail_after = 1;
         },
         -1, 1},
        {"an answer too small that asks for no more ends the loop",
         [] {
             sim::net().add(sim::ethernet(7, "E").autoconfig(1));
             sim::net().per_adapter = {ERROR_BUFFER_OVERFLOW, 0};
         },
         -1, 1},
    };
    for (const auto &c : cases) {
        fresh(c.what);
        c.setup();
        EXPECT_EQ(query_autoconfig(7), c.result) << c.what;
        const auto &calls = sim::net().per_adapter_calls;
        ASSERT_EQ(calls.size(), c.calls) << c.what;
        if (!calls.empty()) {
            EXPECT_EQ(calls[0].size_in, 180u) << c.what;
            EXPECT_EQ(calls[0].index, 7u) << c.what;
            EXPECT_TRUE(calls[0].buffer) << c.what;
        }
        if (calls.size() == 2) {
            EXPECT_GT(calls[0].size_out, 180u) << c.what;
            EXPECT_EQ(calls[1].size_in, calls[0].size_out) << c.what;
        }
    }
}

TEST_F(Report, QueryAutoconfigGivesUpOnARecordThatKeepsGrowing)
{
    struct Case {
        const char *what;
        int growths;  // how many answers that ask for more let the record grow again
        int result;
        size_t calls;
    } cases[] = {
        // The record is larger than 180 bytes from the start: the first answer asks for more.
        {"a record that grows twice more is had on the fourth call", 2, 1, 4},
        {"one that grows six times more is had on the eighth call", 6, 1, 8},
        {"one that grows seven times more would need a ninth call: given up", 7, -1, 8},
        {"one that never stops growing is given up after eight calls", 1000, -1, 8},
    };
    for (const auto &c : cases) {
        fresh(c.what);
        sim::net().add(sim::ethernet(7, "E").autoconfig(1).dns("192.0.2.53").dns("192.0.2.54")
                           .dns("192.0.2.55").dns("192.0.2.56"));
        int growths = c.growths;
        sim::net().on_per_adapter_overflow = [&growths] {
            if (growths-- > 0)
                sim::net().find(7)->dns_servers.push_back("198.51.100.53");
        };
        EXPECT_EQ(query_autoconfig(7), c.result) << c.what;
        const auto &calls = sim::net().per_adapter_calls;
        ASSERT_EQ(calls.size(), c.calls) << c.what;
        for (size_t i = 1; i < calls.size(); i++)
            EXPECT_EQ(calls[i].size_in, calls[i - 1].size_out) << c.what << ", call " << i + 1;
    }
}

TEST_F(Report, FirstIpv4Gateway)
{
    struct Case {
        const char *what;
        std::function<sim::Adapter()> adapter;
        ULONG gateway;  // network byte order
    } cases[] = {
        {"none", [] { return sim::ethernet(7, "E"); }, 0},
        {"the first IPv4 one", [] { return sim::ethernet(7, "E").gateway("192.0.2.1").gateway("192.0.2.2"); },
         0x010200C0u},
        {"0.0.0.0 and 255.255.255.255 passed over",
         [] { return sim::ethernet(7, "E").gateway("0.0.0.0").gateway("255.255.255.255").gateway("198.51.100.1"); },
         0x016433C6u},
        {"IPv6 only", [] { return sim::ethernet(7, "E").gateway("2001:db8::1"); }, 0},
        {"a short record has none, though its gateway list is there",
         [] { return sim::ethernet(7, "E").gateway("192.0.2.1").short_layout((ULONG)sizeof(IP_ADAPTER_ADDRESSES) - 1); },
         0},
    };
    for (const auto &c : cases) {
        fresh(c.what);
        sim::net().add(c.adapter());
        Lists lists(detailed);
        ASSERT_NE(lists.addresses, nullptr) << c.what;
        EXPECT_EQ(first_ipv4_gateway(lists.addresses), c.gateway) << c.what;
    }
    EXPECT_EQ(first_ipv4_gateway(NULL), 0u);
}

TEST_F(Report, MediaStateNames)
{
    const char *expected[] = {"Unknown", "Connected", "Disconnected", "Other"};
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(sim::utf8(media_state_names[i]), expected[i]) << "state " << i;
}
