// The simulated IP Helper and wireless LAN service: blocks laid out as Windows lays them out
// (every pointer inside the caller's block, chains ending), the buffer-size protocol, the
// scripted faults and the logs; and the budgets that end a loop that never ends.
#include "harness.h"
#include "sim/netsim.h"
#include "src/plugin/host.h"

#include <objbase.h>
#include <mmsystem.h>

#include <cstdio>
#include <functional>
#include <stdexcept>

namespace {

// A caller's buffer, 8-byte aligned as a heap block is, filled with a sentinel.
struct Buffer {
    explicit Buffer(ULONG bytes) : words((bytes + 7) / 8 + 1, 0xDEADBEEFDEADBEEFull), size(bytes) {}
    BYTE *data() { return (BYTE *)words.data(); }
    const BYTE *begin() const { return (const BYTE *)words.data(); }
    const BYTE *end() const { return begin() + size; }
    bool holds(const void *p, size_t n) const
    {
        return p && (const BYTE *)p >= begin() && (const BYTE *)p + n <= end();
    }
    bool untouched() const
    {
        for (size_t i = 0; i + 1 < words.size(); i++)
            if (words[i] != 0xDEADBEEFDEADBEEFull)
                return false;
        return true;
    }
    std::vector<uint64_t> words;
    ULONG size;
};

std::string addr_text(const SOCKET_ADDRESS &a)
{
    if (!a.lpSockaddr)
        return "(null)";
    char buf[80];
    if (a.lpSockaddr->sa_family == AF_INET) {
        const BYTE *b = (const BYTE *)&((const SOCKADDR_IN *)a.lpSockaddr)->sin_addr;
        snprintf(buf, sizeof buf, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
        return buf;
    }
    if (a.lpSockaddr->sa_family == AF_INET6) {
        const SOCKADDR_IN6 *s = (const SOCKADDR_IN6 *)a.lpSockaddr;
        std::string t;
        for (int i = 0; i < 8; i++) {
            snprintf(buf, sizeof buf, "%s%x", i ? ":" : "",
                     s->sin6_addr.u.Byte[2 * i] << 8 | s->sin6_addr.u.Byte[2 * i + 1]);
            t += buf;
        }
        if (s->sin6_scope_id) {
            snprintf(buf, sizeof buf, "%%%u", s->sin6_scope_id);
            t += buf;
        }
        return t;
    }
    snprintf(buf, sizeof buf, "family %u", a.lpSockaddr->sa_family);
    return buf;
}

// Walks one chain of address records, checking that each record and its socket address lie
// in the block; returns the addresses as text.
template <class T>
std::vector<std::string> chain(const Buffer &b, const T *first, const char *what)
{
    std::vector<std::string> out;
    for (const T *r = first; r; r = r->Next) {
        EXPECT_TRUE(b.holds(r, sizeof *r)) << what << " record outside the block";
        if (!b.holds(r, sizeof *r) || out.size() > 100)
            break;
        EXPECT_TRUE(b.holds(r->Address.lpSockaddr, r->Address.iSockaddrLength)) << what;
        out.push_back(addr_text(r->Address));
    }
    return out;
}

bool wide_inside(const Buffer &b, const WCHAR *s)
{
    for (const WCHAR *p = s; b.holds(p, sizeof *p); p++)
        if (!*p)
            return true;
    return false;
}

bool narrow_inside(const Buffer &b, const char *s)
{
    for (const char *p = s; b.holds(p, 1); p++)
        if (!*p)
            return true;
    return false;
}

// Every pointer of every record in the block points inside it; returns the adapters.
std::vector<const IP_ADAPTER_ADDRESSES *> walk(const Buffer &b)
{
    std::vector<const IP_ADAPTER_ADDRESSES *> out;
    for (auto *a = (const IP_ADAPTER_ADDRESSES *)b.begin(); a; a = a->Next) {
        EXPECT_TRUE(b.holds(a, a->Length)) << "adapter record outside the block";
        if (!b.holds(a, a->Length) || out.size() > 100)
            break;
        out.push_back(a);
        EXPECT_TRUE(narrow_inside(b, a->AdapterName));
        EXPECT_TRUE(wide_inside(b, a->DnsSuffix));
        EXPECT_TRUE(wide_inside(b, a->Description));
        EXPECT_TRUE(wide_inside(b, a->FriendlyName));
        chain(b, a->FirstUnicastAddress, "unicast");
        chain(b, a->FirstDnsServerAddress, "DNS server");
        chain(b, a->FirstPrefix, "prefix");
        if (a->Length < sizeof(IP_ADAPTER_ADDRESSES))
            continue;
        chain(b, a->FirstWinsServerAddress, "WINS server");
        chain(b, a->FirstGatewayAddress, "gateway");
        if (a->Dhcpv4Server.lpSockaddr) {
            EXPECT_TRUE(b.holds(a->Dhcpv4Server.lpSockaddr, a->Dhcpv4Server.iSockaddrLength));
        }
        int n = 0;
        for (auto *s = a->FirstDnsSuffix; s && n < 100; s = s->Next, n++)
            EXPECT_TRUE(b.holds(s, sizeof *s)) << "DNS suffix outside the block";
    }
    return out;
}

// One call with a buffer of exactly the size the machine needs.
Buffer fetch(ULONG family, ULONG flags, ULONG *result = nullptr)
{
    ULONG size = 0;
    ULONG r = GetAdaptersAddresses(family, flags, NULL, NULL, &size);
    Buffer b(r == ERROR_BUFFER_OVERFLOW ? size : 8);
    if (r == ERROR_BUFFER_OVERFLOW)
        r = GetAdaptersAddresses(family, flags, NULL, (PIP_ADAPTER_ADDRESSES)b.data(), &size);
    if (result)
        *result = r;
    else
        EXPECT_EQ(r, (ULONG)ERROR_SUCCESS) << "expected ERROR_SUCCESS, got " << r;
    return b;
}

const std::vector<BYTE> office_duid = {0, 1, 0, 1, 0x2a, 0x3b, 0x4c, 0x5d, 2, 0x53, 0x49, 0x4d, 0, 7};

void office_machine()
{
    sim::net().add(sim::ethernet(7, "Ethernet")
                       .dns_suffix("corp.example")
                       .address("fe80::1c2d:3e4f:5a6b:7c8d%7", 64)
                       .address("192.0.2.10", 24)
                       .address("192.0.2.11", 24)
                       .gateway("fe80::1%7")
                       .gateway("192.0.2.1")
                       .dns("198.51.100.53")
                       .dns("2001:db8::53")
                       .wins("192.0.2.5")
                       .dhcp("192.0.2.2", 1700000000, 1700086400)
                       .dhcpv6(office_duid, 100663296)
                       .search_suffix("corp.example")
                       .search_suffix("example.net"));
    sim::net().add(sim::wifi(12, "Wi-Fi").address("198.51.100.20", 25).gateway("198.51.100.1"));
    sim::net().add(sim::loopback(1));
    sim::net().add(sim::tunnel(14, "Teredo").address("2001:db8:1::5", 64).media(2));
}

const ULONG all_lists = GAA_FLAG_INCLUDE_PREFIX | GAA_FLAG_INCLUDE_GATEWAYS | GAA_FLAG_INCLUDE_WINS_INFO;

}  // namespace

// --- GetAdaptersAddresses: the layout --------------------------------------------------
using AddressesLayout = SimTest;

TEST_F(AddressesLayout, RecordsChainsAndStringsLieInTheCallersBlock)
{
    office_machine();
    Buffer b = fetch(AF_UNSPEC, all_lists);
    auto adapters = walk(b);
    ASSERT_EQ(adapters.size(), 4u);
    EXPECT_EQ((const BYTE *)adapters[0], b.begin()) << "the first record starts the block";

    const IP_ADAPTER_ADDRESSES *e = adapters[0];
    EXPECT_EQ(e->Length, sizeof(IP_ADAPTER_ADDRESSES));
    EXPECT_EQ(e->IfIndex, 7u);
    EXPECT_EQ(e->IfType, (IFTYPE)IF_TYPE_ETHERNET_CSMACD);
    EXPECT_STREQ(e->AdapterName, "{00000007-0000-0000-0000-53494D4E4554}");
    EXPECT_EQ(sim::utf8(e->FriendlyName), "Ethernet");
    EXPECT_EQ(sim::utf8(e->DnsSuffix), "corp.example");
    EXPECT_EQ(e->PhysicalAddressLength, 6u);
    EXPECT_EQ(std::vector<BYTE>(e->PhysicalAddress, e->PhysicalAddress + 6),
              (std::vector<BYTE>{0x02, 0x53, 0x49, 0x4D, 0x00, 0x07}));
    EXPECT_TRUE(e->Dhcpv4Enabled && e->Ipv4Enabled && e->Ipv6Enabled && e->NetbiosOverTcpipEnabled);
    EXPECT_EQ(chain(b, e->FirstUnicastAddress, "unicast"),
              (std::vector<std::string>{"fe80:0:0:0:1c2d:3e4f:5a6b:7c8d%7", "192.0.2.10", "192.0.2.11"}));
    EXPECT_EQ(e->FirstUnicastAddress->Next->OnLinkPrefixLength, 24);
    EXPECT_EQ(e->FirstUnicastAddress->Length, sizeof(IP_ADAPTER_UNICAST_ADDRESS));
    EXPECT_EQ(chain(b, e->FirstGatewayAddress, "gateway"),
              (std::vector<std::string>{"fe80:0:0:0:0:0:0:1%7", "192.0.2.1"}));
    EXPECT_EQ(chain(b, e->FirstDnsServerAddress, "DNS"),
              (std::vector<std::string>{"198.51.100.53", "2001:db8:0:0:0:0:0:53"}));
    EXPECT_EQ(chain(b, e->FirstWinsServerAddress, "WINS"), (std::vector<std::string>{"192.0.2.5"}));
    EXPECT_EQ(chain(b, e->FirstPrefix, "prefix"),
              (std::vector<std::string>{"fe80:0:0:0:0:0:0:0%7", "192.0.2.0", "192.0.2.0"}));
    EXPECT_EQ(addr_text(e->Dhcpv4Server), "192.0.2.2");
    EXPECT_EQ(e->Dhcpv6Iaid, 100663296u);
    EXPECT_EQ(std::vector<BYTE>(e->Dhcpv6ClientDuid, e->Dhcpv6ClientDuid + e->Dhcpv6ClientDuidLength),
              office_duid);
    ASSERT_NE(e->FirstDnsSuffix, nullptr);
    EXPECT_EQ(sim::utf8(e->FirstDnsSuffix->String), "corp.example");
    ASSERT_NE(e->FirstDnsSuffix->Next, nullptr);
    EXPECT_EQ(sim::utf8(e->FirstDnsSuffix->Next->String), "example.net");
    EXPECT_EQ(e->FirstDnsSuffix->Next->Next, nullptr);

    EXPECT_EQ(adapters[1]->IfType, (IFTYPE)IF_TYPE_IEEE80211);
    EXPECT_EQ(adapters[1]->FirstUnicastAddress->OnLinkPrefixLength, 25);
    EXPECT_EQ(adapters[2]->IfType, (IFTYPE)IF_TYPE_SOFTWARE_LOOPBACK);
    EXPECT_EQ(adapters[3]->IfType, (IFTYPE)IF_TYPE_TUNNEL);
    EXPECT_FALSE(adapters[3]->Ipv4Enabled);
    EXPECT_EQ(adapters[3]->Dhcpv4Server.lpSockaddr, nullptr);
}

TEST_F(AddressesLayout, FamilySelectsAdaptersAndAddresses)
{
    struct Case {
        ULONG family;
        std::vector<ULONG> indexes;
        std::vector<std::string> ethernet_unicast, ethernet_dns;
    } cases[] = {
        {AF_UNSPEC, {7, 12, 1, 14},
         {"fe80:0:0:0:1c2d:3e4f:5a6b:7c8d%7", "192.0.2.10", "192.0.2.11"},
         {"198.51.100.53", "2001:db8:0:0:0:0:0:53"}},
        {AF_INET, {7, 12, 1}, {"192.0.2.10", "192.0.2.11"}, {"198.51.100.53"}},
    };
    for (const auto &c : cases) {
        sim::reset();
        office_machine();
        Buffer b = fetch(c.family, all_lists);
        auto adapters = walk(b);
        std::vector<ULONG> indexes;
        for (auto *a : adapters)
            indexes.push_back(a->IfIndex);
        EXPECT_EQ(indexes, c.indexes) << "family " << c.family;
        ASSERT_FALSE(adapters.empty());
        EXPECT_EQ(chain(b, adapters[0]->FirstUnicastAddress, "unicast"), c.ethernet_unicast);
        EXPECT_EQ(chain(b, adapters[0]->FirstDnsServerAddress, "DNS"), c.ethernet_dns);
    }
}

TEST_F(AddressesLayout, FlagsDecideWhichListsAreThere)
{
    struct Case {
        ULONG flags;
        bool gateways, wins, prefixes;
    } cases[] = {
        {0, false, false, false},
        {GAA_FLAG_INCLUDE_PREFIX, false, false, true},
        {0x90, true, false, true},
        {0xD0, true, true, true},
    };
    for (const auto &c : cases) {
        sim::reset();
        office_machine();
        Buffer b = fetch(AF_UNSPEC, c.flags);
        const IP_ADAPTER_ADDRESSES *e = walk(b).at(0);
        EXPECT_NE(e->FirstUnicastAddress, nullptr) << "flags " << c.flags;
        EXPECT_NE(e->FirstDnsServerAddress, nullptr) << "flags " << c.flags;
        EXPECT_EQ(e->FirstGatewayAddress != nullptr, c.gateways) << "flags " << c.flags;
        EXPECT_EQ(e->FirstWinsServerAddress != nullptr, c.wins) << "flags " << c.flags;
        EXPECT_EQ(e->FirstPrefix != nullptr, c.prefixes) << "flags " << c.flags;
    }
}

TEST_F(AddressesLayout, ShortRecordEndsAtItsLength)
{
    sim::net().add(sim::ethernet(3, "Old").short_layout().speed(100000000).gateway("192.0.2.1")
                       .dhcp("192.0.2.2", 1, 2).search_suffix("example.org"));
    sim::net().add(sim::ethernet(4, "New"));
    Buffer b = fetch(AF_UNSPEC, all_lists);
    auto adapters = walk(b);
    ASSERT_EQ(adapters.size(), 2u);
    const IP_ADAPTER_ADDRESSES *old = adapters[0];
    EXPECT_EQ(old->Length, sizeof(IP_ADAPTER_ADDRESSES_XP));
    // Nothing of the record is laid out beyond its Length: its name follows at once.
    EXPECT_EQ((const BYTE *)old->AdapterName, (const BYTE *)old + sizeof(IP_ADAPTER_ADDRESSES_XP));
    EXPECT_EQ(adapters[1]->Length, sizeof(IP_ADAPTER_ADDRESSES));

    sim::reset();
    sim::net().add(sim::ethernet(3, "Old"));
    ULONG full = sim::addresses_size(AF_UNSPEC, all_lists);
    sim::reset();
    sim::net().add(sim::ethernet(3, "Old").short_layout());
    EXPECT_EQ(full - sim::addresses_size(AF_UNSPEC, all_lists),
              sizeof(IP_ADAPTER_ADDRESSES) - sizeof(IP_ADAPTER_ADDRESSES_XP));
}

TEST_F(AddressesLayout, UnicastRecordLengthIsAsGivenAndPrefixStillWritten)
{
    sim::net().add(sim::ethernet(3, "Old").address("192.0.2.10", 24, 40).address("192.0.2.11", 16));
    Buffer b = fetch(AF_UNSPEC, 0);
    const IP_ADAPTER_UNICAST_ADDRESS *u = walk(b).at(0)->FirstUnicastAddress;
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->Length, 40u);
    EXPECT_EQ(u->OnLinkPrefixLength, 24) << "a reader that ignores Length must see a value";
    ASSERT_NE(u->Next, nullptr);
    EXPECT_EQ(u->Next->Length, sizeof(IP_ADAPTER_UNICAST_ADDRESS));
}

TEST_F(AddressesLayout, OddAddressesKeepTheirFamilyAndLength)
{
    sim::net().add(sim::ethernet(3, "Odd").dns("#17").dns("::ffff:192.0.2.9"));
    Buffer b = fetch(AF_UNSPEC, 0);
    const IP_ADAPTER_ADDRESSES *a = walk(b).at(0);
    EXPECT_EQ(chain(b, a->FirstDnsServerAddress, "DNS"),
              (std::vector<std::string>{"family 17", "0:0:0:0:0:ffff:c000:209"}));
    EXPECT_EQ(a->FirstDnsServerAddress->Address.iSockaddrLength, (INT)sizeof(SOCKADDR));
    EXPECT_EQ(a->FirstDnsServerAddress->Next->Address.iSockaddrLength, (INT)sizeof(SOCKADDR_IN6));
}

// --- GetAdaptersAddresses: the protocol and the faults ---------------------------------
using AddressesProtocol = SimTest;

TEST_F(AddressesProtocol, SizeAnswers)
{
    office_machine();
    const ULONG need = sim::addresses_size(AF_UNSPEC, 0x90);
    struct Case {
        const char *what;
        bool buffer;
        ULONG size;
        ULONG family;
        bool reserved;
        ULONG result, size_after;
    } cases[] = {
        {"no buffer, size 0", false, 0, AF_UNSPEC, false, ERROR_BUFFER_OVERFLOW, need},
        {"one byte short", true, need - 1, AF_UNSPEC, false, ERROR_BUFFER_OVERFLOW, need},
        {"exactly enough", true, need, AF_UNSPEC, false, ERROR_SUCCESS, need},
        {"more than enough", true, need + 100, AF_UNSPEC, false, ERROR_SUCCESS, need + 100},
        {"no buffer, size claimed", false, need, AF_UNSPEC, false, ERROR_INVALID_PARAMETER, need},
        {"family 99", true, need, 99, false, ERROR_INVALID_PARAMETER, need},
        {"reserved given", true, need, AF_UNSPEC, true, ERROR_INVALID_PARAMETER, need},
    };
    for (const auto &c : cases) {
        Buffer b(need + 100);
        ULONG size = c.size;
        int reserved;
        ULONG r = GetAdaptersAddresses(c.family, 0x90, c.reserved ? &reserved : NULL,
                                       c.buffer ? (PIP_ADAPTER_ADDRESSES)b.data() : NULL, &size);
        EXPECT_EQ(r, c.result) << c.what << ": expected " << c.result << ", got " << r;
        EXPECT_EQ(size, c.size_after) << c.what;
        if (r != ERROR_SUCCESS) {
            EXPECT_TRUE(b.untouched()) << c.what << ": a failed call wrote into the buffer";
        }
    }
    EXPECT_EQ(GetAdaptersAddresses(AF_UNSPEC, 0, NULL, NULL, NULL), (ULONG)ERROR_INVALID_PARAMETER);
}

TEST_F(AddressesProtocol, NoAdaptersIsNoData)
{
    ULONG size = 0;
    EXPECT_EQ(GetAdaptersAddresses(AF_UNSPEC, 0, NULL, NULL, &size), (ULONG)ERROR_NO_DATA);
    EXPECT_EQ(size, 0u);
    sim::net().add(sim::tunnel(5, "Teredo"));
    EXPECT_EQ(GetAdaptersAddresses(AF_INET, 0, NULL, NULL, &size), (ULONG)ERROR_NO_DATA)
        << "a machine without IPv4 adapters has nothing for AF_INET";
}

TEST_F(AddressesProtocol, ScriptedFailureHitsTheCallItNames)
{
    struct Case {
        sim::Failure failure;
        std::vector<DWORD> results;
    } cases[] = {
        {{ERROR_NOT_ENOUGH_MEMORY, 0}, {ERROR_NOT_ENOUGH_MEMORY, ERROR_NOT_ENOUGH_MEMORY, ERROR_NOT_ENOUGH_MEMORY}},
        {{ERROR_NOT_ENOUGH_MEMORY, 2}, {ERROR_BUFFER_OVERFLOW, ERROR_NOT_ENOUGH_MEMORY, ERROR_SUCCESS}},
        {{0, 1}, {ERROR_BUFFER_OVERFLOW, ERROR_SUCCESS, ERROR_SUCCESS}},
    };
    for (const auto &c : cases) {
        sim::reset();
        office_machine();
        sim::net().addresses = c.failure;
        Buffer b(sim::addresses_size(AF_UNSPEC, 0));
        std::vector<DWORD> results;
        ULONG size = 0;
        results.push_back(GetAdaptersAddresses(AF_UNSPEC, 0, NULL, NULL, &size));
        for (int i = 0; i < 2; i++) {
            size = b.size;
            results.push_back(GetAdaptersAddresses(AF_UNSPEC, 0, NULL, (PIP_ADAPTER_ADDRESSES)b.data(), &size));
        }
        EXPECT_EQ(results, c.results) << "failure " << c.failure.code << " on call " << c.failure.call;
        EXPECT_EQ(sim::net().addresses_calls.size(), 3u);
    }
}

TEST_F(AddressesProtocol, ListGrowsAfterAnOverflowAnswer)
{
    sim::net().add(sim::ethernet(1, "One"));
    sim::net().arriving.push_back(sim::ethernet(2, "Two").desc);
    ULONG size = 0;
    ASSERT_EQ(GetAdaptersAddresses(AF_UNSPEC, 0, NULL, NULL, &size), (ULONG)ERROR_BUFFER_OVERFLOW);
    ULONG first = size;
    Buffer b(first);
    EXPECT_EQ(GetAdaptersAddresses(AF_UNSPEC, 0, NULL, (PIP_ADAPTER_ADDRESSES)b.data(), &size),
              (ULONG)ERROR_BUFFER_OVERFLOW);
    EXPECT_GT(size, first);
    EXPECT_TRUE(b.untouched());
    EXPECT_EQ(sim::net().adapters.size(), 2u);

    int hook_calls = 0;
    sim::net().on_overflow = [&] { hook_calls++; };
    Buffer c(size);
    EXPECT_EQ(GetAdaptersAddresses(AF_UNSPEC, 0, NULL, (PIP_ADAPTER_ADDRESSES)c.data(), &size),
              (ULONG)ERROR_SUCCESS);
    EXPECT_EQ(walk(c).size(), 2u);
    EXPECT_EQ(hook_calls, 0);
}

TEST_F(AddressesProtocol, CallsAreLogged)
{
    office_machine();
    ULONG size = 0;
    GetAdaptersAddresses(AF_INET, 0xD0, NULL, NULL, &size);
    ASSERT_EQ(sim::net().addresses_calls.size(), 1u);
    const sim::SizedCall &c = sim::net().addresses_calls[0];
    EXPECT_EQ(c.family, (ULONG)AF_INET);
    EXPECT_EQ(c.flags, 0xD0u);
    EXPECT_FALSE(c.buffer);
    EXPECT_EQ(c.size_in, 0u);
    EXPECT_EQ(c.size_out, size);
    EXPECT_EQ(c.result, (DWORD)ERROR_BUFFER_OVERFLOW);
}

// --- GetAdaptersInfo -------------------------------------------------------------------
using LegacyInfo = SimTest;

TEST_F(LegacyInfo, IPv4AdaptersWithoutLoopbackInOneBlock)
{
    office_machine();
    sim::net().add(sim::ethernet(20, "Renamed").legacy_name("{00000014-0000-0000-0000-53494d4e4554}"));
    sim::net().add(sim::ethernet(21, "Hidden").no_legacy());
    ULONG size = 0;
    ASSERT_EQ(GetAdaptersInfo(NULL, &size), (ULONG)ERROR_BUFFER_OVERFLOW);
    Buffer b(size);
    ASSERT_EQ(GetAdaptersInfo((PIP_ADAPTER_INFO)b.data(), &size), (ULONG)ERROR_SUCCESS);

    std::vector<std::string> names;
    for (auto *i = (const IP_ADAPTER_INFO *)b.begin(); i && names.size() < 10; i = i->Next) {
        ASSERT_TRUE(b.holds(i, sizeof *i));
        names.push_back(i->AdapterName);
        for (const IP_ADDR_STRING *s = i->IpAddressList.Next; s; s = s->Next)
            EXPECT_TRUE(b.holds(s, sizeof *s)) << "address entry outside the block";
    }
    EXPECT_EQ(names, (std::vector<std::string>{"{00000007-0000-0000-0000-53494D4E4554}",
                                               "{0000000C-0000-0000-0000-53494D4E4554}",
                                               "{00000014-0000-0000-0000-53494d4e4554}"}));

    auto *e = (const IP_ADAPTER_INFO *)b.begin();
    EXPECT_EQ(e->Index, 7u);
    EXPECT_EQ(e->LeaseObtained, (time_t)1700000000);
    EXPECT_EQ(e->LeaseExpires, (time_t)1700086400);
    EXPECT_STREQ(e->IpAddressList.IpAddress.String, "192.0.2.10");
    EXPECT_STREQ(e->IpAddressList.IpMask.String, "255.255.255.0");
    ASSERT_NE(e->IpAddressList.Next, nullptr);
    EXPECT_STREQ(e->IpAddressList.Next->IpAddress.String, "192.0.2.11");
    EXPECT_EQ(e->IpAddressList.Next->Next, nullptr);
    EXPECT_STREQ(e->Next->IpAddressList.IpMask.String, "255.255.255.128");
}

TEST_F(LegacyInfo, NoIPv4AdapterLeavesTheSizeAlone)
{
    sim::net().add(sim::loopback(1));
    sim::net().add(sim::tunnel(2, "Teredo"));
    ULONG size = 0;
    EXPECT_EQ(GetAdaptersInfo(NULL, &size), (ULONG)ERROR_NO_DATA);
    EXPECT_EQ(size, 0u);
}

TEST_F(LegacyInfo, SizeProtocolAndFailures)
{
    sim::net().add(sim::ethernet(2, "One").address("192.0.2.1", 24));
    ULONG need = 0;
    GetAdaptersInfo(NULL, &need);
    Buffer b(need);
    ULONG size = need - 1;
    EXPECT_EQ(GetAdaptersInfo((PIP_ADAPTER_INFO)b.data(), &size), (ULONG)ERROR_BUFFER_OVERFLOW);
    EXPECT_EQ(size, need);
    EXPECT_TRUE(b.untouched());
    EXPECT_EQ(GetAdaptersInfo(NULL, NULL), (ULONG)ERROR_INVALID_PARAMETER);
    sim::net().info = {ERROR_NOT_SUPPORTED, 4};
    size = need;
    EXPECT_EQ(GetAdaptersInfo((PIP_ADAPTER_INFO)b.data(), &size), (ULONG)ERROR_NOT_SUPPORTED);
    EXPECT_EQ(GetAdaptersInfo((PIP_ADAPTER_INFO)b.data(), &size), (ULONG)ERROR_SUCCESS);
    EXPECT_EQ(sim::net().info_calls.size(), 5u);
}

// --- host record, per-adapter record ---------------------------------------------------
using HostRecord = SimTest;

TEST_F(HostRecord, FieldsAndDnsServersInOneBlock)
{
    auto &h = sim::net().host;
    h.host_name = "WORKSTATION";
    h.domain_name = "corp.example";
    h.node_type = MIXED_NODETYPE;
    h.enable_routing = 1;
    h.enable_dns = 0x80000000u;
    h.dns_servers = {"198.51.100.53", "198.51.100.54", "198.51.100.55"};
    ULONG size = 0;
    ASSERT_EQ(GetNetworkParams(NULL, &size), (DWORD)ERROR_BUFFER_OVERFLOW);
    EXPECT_EQ(size, sizeof(FIXED_INFO) + 2 * sizeof(IP_ADDR_STRING));
    Buffer b(size);
    ASSERT_EQ(GetNetworkParams((PFIXED_INFO)b.data(), &size), (DWORD)ERROR_SUCCESS);
    auto *f = (const FIXED_INFO *)b.begin();
    EXPECT_STREQ(f->HostName, "WORKSTATION");
    EXPECT_STREQ(f->DomainName, "corp.example");
    EXPECT_EQ(f->NodeType, (UINT)MIXED_NODETYPE);
    EXPECT_EQ(f->EnableRouting, 1u);
    EXPECT_EQ(f->EnableProxy, 0u);
    EXPECT_EQ(f->EnableDns, 0x80000000u);
    std::vector<std::string> servers;
    for (const IP_ADDR_STRING *s = &f->DnsServerList; s && servers.size() < 10; s = s->Next) {
        EXPECT_TRUE(b.holds(s, sizeof *s));
        servers.push_back(s->IpAddress.String);
    }
    EXPECT_EQ(servers, h.dns_servers);
}

TEST_F(HostRecord, LongNamesAreCutToTheField)
{
    sim::net().host.host_name = std::string(200, 'h');
    Buffer b(sizeof(FIXED_INFO));
    ULONG size = b.size;
    ASSERT_EQ(GetNetworkParams((PFIXED_INFO)b.data(), &size), (DWORD)ERROR_SUCCESS);
    EXPECT_EQ(strlen(((const FIXED_INFO *)b.begin())->HostName), (size_t)MAX_HOSTNAME_LEN + 3);
}

TEST_F(HostRecord, GrowsWhileTheCallerReallocates)
{
    sim::net().host.dns_servers = {"198.51.100.53", "198.51.100.54"};
    sim::net().host.grow = 2;
    std::vector<ULONG> asked;
    ULONG size = sizeof(FIXED_INFO);
    DWORD r;
    while ((r = GetNetworkParams((PFIXED_INFO)Buffer(size).data(), &size)) == ERROR_BUFFER_OVERFLOW &&
           asked.size() < 5)
        asked.push_back(size);
    EXPECT_EQ(r, (DWORD)ERROR_SUCCESS);
    const ULONG f = sizeof(FIXED_INFO), s = sizeof(IP_ADDR_STRING);
    EXPECT_EQ(asked, (std::vector<ULONG>{f + s, f + 2 * s, f + 3 * s})) << "two growths, then it holds";
    EXPECT_EQ(sim::net().host.dns_servers.size(), 4u);

    sim::net().network_params = {ERROR_NOT_SUPPORTED, 0};
    EXPECT_EQ(GetNetworkParams(NULL, &size), (DWORD)ERROR_NOT_SUPPORTED);
}

using PerAdapter = SimTest;

TEST_F(PerAdapter, AutoconfigAndDnsServers)
{
    sim::net().add(sim::ethernet(4, "Lan").autoconfig(1).dns("192.0.2.53").dns("2001:db8::53")
                       .dns("192.0.2.54").dns("192.0.2.55").dns("192.0.2.56"));
    ULONG size = 180;
    Buffer small(size);
    ASSERT_EQ(GetPerAdapterInfo(4, (PIP_PER_ADAPTER_INFO)small.data(), &size), (DWORD)ERROR_BUFFER_OVERFLOW);
    EXPECT_EQ(size, sizeof(IP_PER_ADAPTER_INFO) + 3 * sizeof(IP_ADDR_STRING)) << "IPv4 servers only";
    EXPECT_GT(size, 180u) << "four IPv4 servers outgrow 180 bytes in this build";
    Buffer b(size);
    ASSERT_EQ(GetPerAdapterInfo(4, (PIP_PER_ADAPTER_INFO)b.data(), &size), (DWORD)ERROR_SUCCESS);
    auto *p = (const IP_PER_ADAPTER_INFO *)b.begin();
    EXPECT_EQ(p->AutoconfigEnabled, 1u);
    int n = 0;
    for (const IP_ADDR_STRING *s = &p->DnsServerList; s && n < 10; s = s->Next, n++)
        EXPECT_TRUE(b.holds(s, sizeof *s));
    EXPECT_EQ(n, 4);
}

TEST_F(PerAdapter, Failures)
{
    sim::net().add(sim::ethernet(4, "Lan"));
    sim::net().add(sim::ethernet(5, "Broken").per_adapter_fails(ERROR_NOT_SUPPORTED));
    Buffer b(512);
    ULONG size = b.size;
    EXPECT_EQ(GetPerAdapterInfo(9, (PIP_PER_ADAPTER_INFO)b.data(), &size), (DWORD)ERROR_NO_DATA);
    EXPECT_EQ(GetPerAdapterInfo(5, (PIP_PER_ADAPTER_INFO)b.data(), &size), (DWORD)ERROR_NOT_SUPPORTED);
    EXPECT_EQ(GetPerAdapterInfo(4, (PIP_PER_ADAPTER_INFO)b.data(), NULL), (DWORD)ERROR_INVALID_PARAMETER);
    EXPECT_EQ(GetPerAdapterInfo(4, (PIP_PER_ADAPTER_INFO)b.data(), &size), (DWORD)ERROR_SUCCESS);
    ASSERT_EQ(sim::net().per_adapter_calls.size(), 4u);
    EXPECT_EQ(sim::net().per_adapter_calls[1].index, 5u);
}

// --- interface rows, masks -------------------------------------------------------------
using InterfaceRow = SimTest;

TEST_F(InterfaceRow, LookedUpByLuidOrIndex)
{
    sim::net().add(sim::ethernet(3, "Up"));
    sim::net().add(sim::ethernet(4, "Unplugged").media(2));
    sim::net().add(sim::loopback(1).media(0));
    sim::net().add(sim::ethernet(6, "Odd").media(3));
    sim::net().add(sim::ethernet(8, "Failing").if_entry_fails(ERROR_ACCESS_DENIED));
    struct Case {
        ULONG index;
        DWORD result;
        int state;
    } cases[] = {
        {3, NO_ERROR, 1}, {4, NO_ERROR, 2}, {1, NO_ERROR, 0}, {6, NO_ERROR, 3},
        {8, ERROR_ACCESS_DENIED, -1}, {99, ERROR_FILE_NOT_FOUND, -1}, {0, ERROR_INVALID_PARAMETER, -1},
    };
    for (const auto &c : cases) {
        MIB_IF_ROW2 row;
        memset(&row, 0, sizeof row);
        row.InterfaceIndex = c.index;
        DWORD r = GetIfEntry2(&row);
        EXPECT_EQ(r, c.result) << "index " << c.index << ": got " << r;
        if (r == NO_ERROR) {
            EXPECT_EQ((int)row.MediaConnectState, c.state) << "index " << c.index;
            EXPECT_EQ(row.InterfaceIndex, c.index);
        }
    }
    // A row that was not cleared is looked up by the LUID it happens to hold.
    MIB_IF_ROW2 row;
    NET_LUID unplugged = {};
    memset(&row, 0, sizeof row);
    row.InterfaceIndex = 4;
    GetIfEntry2(&row);
    unplugged = row.InterfaceLuid;
    memset(&row, 0xCD, sizeof row);
    row.InterfaceIndex = 3;
    EXPECT_EQ(GetIfEntry2(&row), (DWORD)ERROR_FILE_NOT_FOUND);
    row.InterfaceLuid = unplugged;
    ASSERT_EQ(GetIfEntry2(&row), (DWORD)NO_ERROR);
    EXPECT_EQ(row.InterfaceIndex, 4u);
    EXPECT_EQ(GetIfEntry2(NULL), (DWORD)ERROR_INVALID_PARAMETER);
    EXPECT_EQ(sim::net().if_entry_calls.size(), 10u) << "every call but the null row is logged";
}

TEST_F(InterfaceRow, PrefixLengthToMask)
{
    struct Case {
        ULONG length;
        DWORD result;
        BYTE mask[4];
    } cases[] = {
        {0, NO_ERROR, {0, 0, 0, 0}},         {1, NO_ERROR, {128, 0, 0, 0}},
        {24, NO_ERROR, {255, 255, 255, 0}},  {25, NO_ERROR, {255, 255, 255, 128}},
        {31, NO_ERROR, {255, 255, 255, 254}}, {32, NO_ERROR, {255, 255, 255, 255}},
        {33, ERROR_INVALID_PARAMETER, {255, 255, 255, 255}},
    };
    for (const auto &c : cases) {
        ULONG mask = 0x12345678;
        EXPECT_EQ(ConvertLengthToIpv4Mask(c.length, &mask), c.result) << "/" << c.length;
        EXPECT_EQ(memcmp(&mask, c.mask, 4), 0) << "/" << c.length;
    }
}

// --- interface table, release and renew ------------------------------------------------
using DhcpInterfaces = SimTest;

TEST_F(DhcpInterfaces, TableListsIPv4AdaptersButNotLoopback)
{
    office_machine();
    ULONG size = 0;
    ASSERT_EQ(GetInterfaceInfo(NULL, &size), (DWORD)ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(size, offsetof(IP_INTERFACE_INFO, Adapter) + 2 * sizeof(IP_ADAPTER_INDEX_MAP));
    Buffer b(size);
    ASSERT_EQ(GetInterfaceInfo((PIP_INTERFACE_INFO)b.data(), &size), (DWORD)NO_ERROR);
    auto *t = (const IP_INTERFACE_INFO *)b.begin();
    ASSERT_EQ(t->NumAdapters, 2);
    EXPECT_EQ(t->Adapter[0].Index, 7u);
    EXPECT_EQ(sim::utf8(t->Adapter[0].Name), "\\DEVICE\\TCPIP_{00000007-0000-0000-0000-53494D4E4554}");
    EXPECT_EQ(t->Adapter[1].Index, 12u);

    sim::reset();
    size = 0;
    ASSERT_EQ(GetInterfaceInfo(NULL, &size), (DWORD)ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(size, offsetof(IP_INTERFACE_INFO, Adapter)) << "an empty table is only its count";
    sim::net().interface_info = {ERROR_NOT_SUPPORTED, 0};
    EXPECT_EQ(GetInterfaceInfo((PIP_INTERFACE_INFO)b.data(), &size), (DWORD)ERROR_NOT_SUPPORTED);
}

TEST_F(DhcpInterfaces, ReleaseAndRenewAnswerPerInterfaceAndAreLogged)
{
    sim::net().add(sim::ethernet(7, "Lan").address("192.0.2.10", 24).address("2001:db8::10", 64)
                       .dhcp("192.0.2.2", 1, 2));
    sim::net().add(sim::ethernet(9, "Static").address("198.51.100.9", 24)
                       .release_result(ERROR_NOT_SUPPORTED).renew_result(ERROR_NOT_SUPPORTED));
    IP_ADAPTER_INDEX_MAP lan = {7, u"\\DEVICE\\TCPIP_lan"}, fixed = {9, u"\\DEVICE\\TCPIP_fixed"},
                         gone = {42, u"x"};
    EXPECT_EQ(IpReleaseAddress(&lan), (DWORD)NO_ERROR);
    EXPECT_EQ(sim::net().find(7)->unicast.size(), 1u) << "the released IPv4 address is gone";
    EXPECT_EQ(IpRenewAddress(&lan), (DWORD)NO_ERROR);
    EXPECT_EQ(sim::net().find(7)->unicast.size(), 2u);
    EXPECT_EQ(sim::net().find(7)->unicast[0].address, "192.0.2.10");
    EXPECT_EQ(IpReleaseAddress(&fixed), (DWORD)ERROR_NOT_SUPPORTED);
    EXPECT_EQ(sim::net().find(9)->unicast.size(), 1u);
    EXPECT_EQ(IpRenewAddress(&gone), (DWORD)ERROR_INVALID_PARAMETER);
    EXPECT_EQ(IpRenewAddress(NULL), (DWORD)ERROR_INVALID_PARAMETER);

    const auto &log = sim::net().dhcp_calls;
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].action, "release");
    EXPECT_EQ(log[1].action, "renew");
    EXPECT_EQ(log[2].index, 9u);
    EXPECT_EQ(sim::utf8(log[2].name), "\\DEVICE\\TCPIP_fixed");
    EXPECT_EQ(log[3].result, (DWORD)ERROR_INVALID_PARAMETER);
}

TEST_F(DhcpInterfaces, SearchListLandsWhereTheRegistryIsRead)
{
    sim::set_search_list("corp.example, example.net");
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SYSTEM\\CurrentControlSet\\Services\\TcpIp\\Parameters",
                            0, KEY_READ, &key), ERROR_SUCCESS);
    WCHAR text[64];
    DWORD type = 0, bytes = sizeof text;
    EXPECT_EQ(RegQueryValueExW(key, u"SearchList", NULL, &type, (LPBYTE)text, &bytes), ERROR_SUCCESS);
    EXPECT_EQ(type, (DWORD)REG_SZ);
    EXPECT_EQ(sim::utf8(text), "corp.example, example.net");
    RegCloseKey(key);
}

// --- wireless, GUIDs, sounds -----------------------------------------------------------
using Wireless = SimTest;

static const char wifi_guid[] = "{3F2504E0-4F89-11D3-9A0C-0305E82C3301}";

TEST_F(Wireless, ConnectionAndChannelAreBlocksOfTheService)
{
    sim::wlan().add(sim::WlanInterface(wifi_guid).ssid("HomeNet").phy(7).signal(88)
                        .rates(866700, 400000).security(DOT11_AUTH_ALGO_RSNA_PSK, DOT11_CIPHER_ALGO_CCMP)
                        .channel(36));
    GUID g;
    ASSERT_TRUE(sim::parse_guid(sim::utf16(wifi_guid), &g));
    DWORD size = 0;
    PVOID data = NULL;
    ASSERT_EQ(WlanQueryInterface((HANDLE)0x777, &g, wlan_intf_opcode_current_connection, NULL, &size,
                                 &data, NULL), (DWORD)ERROR_SUCCESS);
    EXPECT_EQ(size, sizeof(WLAN_CONNECTION_ATTRIBUTES));
    auto *c = (WLAN_CONNECTION_ATTRIBUTES *)data;
    EXPECT_EQ(c->isState, wlan_interface_state_connected);
    EXPECT_EQ(c->wlanAssociationAttributes.dot11Ssid.uSSIDLength, 7u);
    EXPECT_EQ(memcmp(c->wlanAssociationAttributes.dot11Ssid.ucSSID, "HomeNet", 7), 0);
    EXPECT_EQ(c->wlanAssociationAttributes.ulRxRate, 866700u);
    EXPECT_EQ(c->wlanSecurityAttributes.dot11CipherAlgorithm, DOT11_CIPHER_ALGO_CCMP);

    PVOID channel = NULL;
    ASSERT_EQ(WlanQueryInterface((HANDLE)0x777, &g, wlan_intf_opcode_channel_number, NULL, &size,
                                 &channel, NULL), (DWORD)ERROR_SUCCESS);
    EXPECT_EQ(*(ULONG *)channel, 36u);
    EXPECT_EQ(sim::wlan_outstanding(), 2);
    WlanFreeMemory(channel);
    WlanFreeMemory(data);
    EXPECT_EQ(sim::wlan_outstanding(), 0);
    EXPECT_EQ(sim::wlan().allocations, 2);
    EXPECT_EQ(sim::wlan().frees, 2);
    ASSERT_EQ(sim::wlan().queries.size(), 2u);
    EXPECT_EQ(sim::wlan().queries[1].opcode, (ULONG)wlan_intf_opcode_channel_number);
}

TEST_F(Wireless, FailuresHandOutNothing)
{
    sim::wlan().add(sim::WlanInterface("{00000001-0000-0000-0000-000000000001}").connection_fails(ERROR_INVALID_STATE));
    sim::wlan().add(sim::WlanInterface("{00000002-0000-0000-0000-000000000002}").channel_fails(ERROR_NOT_SUPPORTED));
    sim::wlan().add(sim::WlanInterface("{00000003-0000-0000-0000-000000000003}").connection_null());
    struct Case {
        const char *guid;
        HANDLE client;
        WLAN_INTF_OPCODE opcode;
        DWORD result;
    } cases[] = {
        {"{00000001-0000-0000-0000-000000000001}", (HANDLE)0x777, wlan_intf_opcode_current_connection, ERROR_INVALID_STATE},
        {"{00000002-0000-0000-0000-000000000002}", (HANDLE)0x777, wlan_intf_opcode_channel_number, ERROR_NOT_SUPPORTED},
        {"{00000002-0000-0000-0000-000000000002}", (HANDLE)0x777, wlan_intf_opcode_rssi, ERROR_NOT_SUPPORTED},
        {"{00000009-0000-0000-0000-000000000009}", (HANDLE)0x777, wlan_intf_opcode_current_connection, ERROR_NOT_FOUND},
        {"{00000002-0000-0000-0000-000000000002}", NULL, wlan_intf_opcode_current_connection, ERROR_INVALID_HANDLE},
    };
    for (const auto &c : cases) {
        GUID g;
        ASSERT_TRUE(sim::parse_guid(sim::utf16(c.guid), &g));
        DWORD size = 0;
        PVOID data = (PVOID)0xDEADBEEF;
        DWORD r = WlanQueryInterface(c.client, &g, c.opcode, NULL, &size, &data, NULL);
        EXPECT_EQ(r, c.result) << c.guid << " opcode " << c.opcode << ": got " << r;
        EXPECT_EQ(data, (PVOID)0xDEADBEEF) << "a failed query set the data pointer";
    }
    GUID g;
    sim::parse_guid(u"{00000003-0000-0000-0000-000000000003}", &g);
    DWORD size;
    PVOID data = (PVOID)0xDEADBEEF;
    EXPECT_EQ(WlanQueryInterface((HANDLE)0x777, &g, wlan_intf_opcode_current_connection, NULL, &size, &data, NULL),
              (DWORD)ERROR_SUCCESS);
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(WlanQueryInterface((HANDLE)0x777, &g, wlan_intf_opcode_current_connection, NULL, NULL, &data, NULL),
              (DWORD)ERROR_INVALID_PARAMETER);
    EXPECT_EQ(sim::wlan_outstanding(), 0);
}

TEST_F(Wireless, SsidFillsAtMostTheFieldWhateverTheLengthClaims)
{
    const DOT11_SSID cut = sim::WlanInterface(wifi_guid).ssid(std::string(40, 'A'))
                                .desc.attributes.wlanAssociationAttributes.dot11Ssid;
    EXPECT_EQ(cut.uSSIDLength, 32u);
    EXPECT_EQ(std::string((const char *)cut.ucSSID, 32), std::string(32, 'A'));
    const DOT11_SSID claim = sim::WlanInterface(wifi_guid).ssid("ab").ssid_length(200)
                                  .desc.attributes.wlanAssociationAttributes.dot11Ssid;
    EXPECT_EQ(claim.uSSIDLength, 200u);
    EXPECT_EQ(claim.ucSSID[2], 0) << "the field beyond the text stays zero";
}

using WirelessDeath = SimTest;

TEST_F(WirelessDeath, FreeingWhatTheServiceNeverGaveStopsTheTest)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ULONG mine = 0;
    EXPECT_DEATH(WlanFreeMemory(&mine), "never gave");
    WlanFreeMemory(NULL);
}

using Guids = SimTest;

TEST_F(Guids, RegistryFormOnly)
{
    struct Case {
        const char16_t *text;
        HRESULT result;
        const char *guid;
    } cases[] = {
        {u"{3F2504E0-4F89-11D3-9A0C-0305E82C3301}", S_OK, "{3F2504E0-4F89-11D3-9A0C-0305E82C3301}"},
        {u"{3f2504e0-4f89-11d3-9a0c-0305e82c3301}", S_OK, "{3F2504E0-4F89-11D3-9A0C-0305E82C3301}"},
        {u"3F2504E0-4F89-11D3-9A0C-0305E82C3301", CO_E_IIDSTRING, nullptr},
        {u"{3F2504E0-4F89-11D3-9A0C-0305E82C330}", CO_E_IIDSTRING, nullptr},
        {u"{3F2504E0-4F89-11D3-9A0C-0305E82C33011}", CO_E_IIDSTRING, nullptr},
        {u"{3F2504E0-4F89-11D3-9A0CX0305E82C3301}", CO_E_IIDSTRING, nullptr},
        {u"{3F2504E0-4F89-11D3-9A0C-0305E82C33G1}", CO_E_IIDSTRING, nullptr},
        {u"Ethernet", CO_E_IIDSTRING, nullptr},
        {u"", CO_E_IIDSTRING, nullptr},
        {nullptr, S_OK, "{00000000-0000-0000-0000-000000000000}"},
    };
    for (const auto &c : cases) {
        IID iid;
        memset(&iid, 0xAB, sizeof iid);
        HRESULT r = IIDFromString(c.text, &iid);
        std::string what = c.text ? sim::utf8(c.text) : "(null)";
        EXPECT_EQ(r, c.result) << what;
        if (c.guid) {
            EXPECT_EQ(sim::guid_text(iid), c.guid) << what;
        }
    }
    EXPECT_EQ(IIDFromString(u"{3F2504E0-4F89-11D3-9A0C-0305E82C3301}", NULL), E_INVALIDARG);
}

using Sounds = SimTest;

TEST_F(Sounds, EveryPlayIsLogged)
{
    EXPECT_TRUE(PlaySoundW((LPCWSTR)SND_ALIAS_SYSTEMHAND, NULL, SND_ALIAS_ID | SND_ASYNC));
    EXPECT_TRUE(PlaySoundW((LPCWSTR)SND_ALIAS_SYSTEMASTERISK, NULL, SND_ALIAS_ID | SND_ASYNC));
    ASSERT_EQ(sim::sounds().size(), 2u);
    EXPECT_EQ(sim::sounds()[0].sound, (ULONG_PTR)0x4853);
    EXPECT_EQ(sim::sounds()[1].sound, (ULONG_PTR)0x2A53);
    EXPECT_EQ(sim::sounds()[1].flags, 0x110001u);
}

using Budgets = SimTest;

// What a call throws, or "nothing thrown".
static std::string thrown(const std::function<void()> &call)
{
    try {
        call();
    } catch (const std::runtime_error &e) {
        return e.what();
    }
    return "nothing thrown";
}

TEST_F(Budgets, TheCallPastItsBudgetThrowsNamingTheFunction)
{
    ULONG size = 0;
    struct Case {
        const char *what;
        unsigned long sim::Budgets::*budget;
        std::function<void()> call;
        const char *message;
    } cases[] = {
        {"the host record, asked a few times a run", &sim::Budgets::per_run,
         [&size] { GetNetworkParams(NULL, &(size = 0)); },
         "sim: GetNetworkParams called more than 5 times in one test: a loop that never ends?"},
        {"the per-adapter record, asked once an adapter", &sim::Budgets::per_adapter,
         [&size] { GetPerAdapterInfo(7, NULL, &(size = 0)); },
         "sim: GetPerAdapterInfo called more than 5 times in one test: a loop that never ends?"},
        {"a host service, called for every line", &sim::Budgets::per_line, [] { QPuts(u"x"); },
         "sim: QPuts called more than 5 times in one test: a loop that never ends?"},
    };
    for (const auto &c : cases) {
        sim::reset();
        sim::budgets().*c.budget = 5;
        for (int n = 1; n <= 5; n++)
            ASSERT_EQ(thrown(c.call), "nothing thrown") << c.what << ", call " << n;
        EXPECT_EQ(thrown(c.call), c.message) << c.what;

        sim::restart_counts();
        for (int n = 1; n <= 5; n++)
            ASSERT_EQ(thrown(c.call), "nothing thrown") << c.what << ", afresh: call " << n;
        EXPECT_EQ(thrown(c.call), c.message) << c.what << ": the budget outlives a restart";

        sim::reset();
        for (int n = 1; n <= 6; n++)
            ASSERT_EQ(thrown(c.call), "nothing thrown") << c.what << ", reset: call " << n;
    }
}

TEST_F(Budgets, LiveHeapBlocksPastTheBudgetThrow)
{
    HANDLE heap = GetProcessHeap();
    sim::budgets().live_blocks = 3;
    std::vector<void *> blocks;
    for (int n = 0; n < 3; n++)
        blocks.push_back(HeapAlloc(heap, 0, 8));
    EXPECT_EQ(thrown([heap] { HeapAlloc(heap, 0, 8); }),
              "sim: HeapAlloc: more than 3 blocks live in one test: a loop that never frees them?");
    HeapFree(heap, 0, blocks.back());
    blocks.back() = HeapAlloc(heap, 0, 8);
    EXPECT_NE(blocks.back(), nullptr) << "a block given back makes room for one more";
    for (void *b : blocks)
        HeapFree(heap, 0, b);
}
