// The whole report over hostile platform data: the global header over a host record (names
// without terminator, any switches, a record that grows between calls, any search list in
// the registry), then the adapter listing over one of two kinds of list:
//  - records decoded straight from the input, each piece in its own heap block of exactly
//    the size Windows gives it (so a read past a record's Length, past a socket address or
//    past a string is an overrun the sanitizer sees): any Length (short layouts too), null
//    pointers anywhere, any family and prefix length, physical-address and DUID lengths
//    beyond their arrays, any IAID, empty and 2000-character names, names that are not a
//    GUID, DNS suffixes that fill their array, legacy records with unterminated names;
//  - a machine built with the simulated platform's builder and fetched by the plug-in's own
//    getters, with adapters arriving between the size probe and the fetch and failures.
// Wireless adapters get connection attributes of any bytes (state, cipher, radio type, SSID
// length, profile name). Per-adapter records grow between calls. Ctrl-C may arrive at any
// line end. Checked: the count the listing returns against the filters, the count line,
// the shape of the output, and nothing left behind.
#include <fuzzer/FuzzedDataProvider.h>

#include <memory>

#include "fuzz_common.h"
#include "sim/netsim.h"
#include "src/command/adapters.h"
#include "src/command/header.h"
#include "src/command/listing.h"
#include "src/command/options.h"
#include "src/console/highlight.h"
#include "src/plugin/host.h"
#include "src/plugin/plugin.h"
#include "src/plugin/wlan_library.h"

namespace {

// Every piece of a decoded list, freed after the input.
struct Pieces {
    std::vector<void *> blocks;
    void *get(size_t size)
    {
        void *p = calloc(1, size ? size : 1);
        blocks.push_back(p);
        return p;
    }
    ~Pieces()
    {
        for (void *p : blocks)
            free(p);
    }
};

// Bytes from the input into a field; an empty vector may have no data block.
void copy_in(void *field, const std::vector<uint8_t> &bytes)
{
    if (!bytes.empty())
        memcpy(field, bytes.data(), bytes.size());
}

const ULONG if_types[] = {IF_TYPE_ETHERNET_CSMACD, IF_TYPE_IEEE80211, IF_TYPE_SOFTWARE_LOOPBACK,
                          IF_TYPE_TUNNEL, IF_TYPE_PPP, 0, 1, 0xFFFFFFFF};

std::string narrow(FuzzedDataProvider &in, size_t max)
{
    return in.ConsumeRandomLengthString(max);
}

std::u16string wide(FuzzedDataProvider &in, size_t max)
{
    std::string s = in.ConsumeRandomLengthString(max);
    return fuzz::text((const uint8_t *)s.data(), s.size());
}

// A terminated UTF-16 string in its own block: null, empty, fuzz text, or 2000 characters.
PWCHAR put_wide(Pieces &p, FuzzedDataProvider &in)
{
    std::u16string t;
    switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0: fuzz::tag("null-string"); return NULL;
    case 1: fuzz::tag("empty-string"); break;
    case 2: fuzz::tag("string-2000"); t = std::u16string(2000, u'N'); break;
    default: t = wide(in, 40); break;
    }
    PWCHAR s = (PWCHAR)p.get((t.size() + 1) * sizeof(WCHAR));
    memcpy(s, t.c_str(), (t.size() + 1) * sizeof(WCHAR));
    return s;
}

// A socket address of any family, in a block of the size Windows gives that family.
void put_sockaddr(Pieces &p, FuzzedDataProvider &in, SOCKET_ADDRESS *out)
{
    static const USHORT families[] = {AF_INET, AF_INET, AF_INET6, AF_INET6, 0, 2000, 0xFFFF};
    out->lpSockaddr = NULL;
    out->iSockaddrLength = 0;
    if (in.ConsumeIntegralInRange(0, 7) == 7) {
        fuzz::tag("null-sockaddr");
        return;
    }
    USHORT family = in.ConsumeBool() ? in.PickValueInArray(families) : in.ConsumeIntegral<USHORT>();
    size_t size = family == AF_INET6 ? sizeof(SOCKADDR_IN6) : sizeof(SOCKADDR_IN);
    BYTE *sa = (BYTE *)p.get(size);
    std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t>(size);
    copy_in(sa, bytes);
    memcpy(sa, &family, sizeof family);
    out->lpSockaddr = (LPSOCKADDR)sa;
    out->iSockaddrLength = in.ConsumeBool() ? (INT)size : in.ConsumeIntegral<INT>();
    if (family != AF_INET && family != AF_INET6)
        fuzz::tag("family-unknown");
}

// A chain of server or gateway records (Length, Next, Address).
template <class T> T *put_chain(Pieces &p, FuzzedDataProvider &in)
{
    T *first = NULL, **next = &first;
    int n = in.ConsumeIntegralInRange(0, 3);
    for (int i = 0; i < n; i++) {
        T *r = (T *)p.get(sizeof(T));
        r->Length = in.ConsumeBool() ? sizeof(T) : in.ConsumeIntegral<ULONG>();
        put_sockaddr(p, in, &r->Address);
        *next = r;
        next = &r->Next;
    }
    return first;
}

// The unicast chain: any Length (the block is as long as the Length says, but never shorter
// than the XP record every system gives), any prefix length.
IP_ADAPTER_UNICAST_ADDRESS *put_unicast(Pieces &p, FuzzedDataProvider &in)
{
    const ULONG xp = sizeof(IP_ADAPTER_UNICAST_ADDRESS_XP), full = sizeof(IP_ADAPTER_UNICAST_ADDRESS);
    IP_ADAPTER_UNICAST_ADDRESS *first = NULL, **next = &first;
    int n = in.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < n; i++) {
        ULONG length;
        switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0: length = xp; break;
        case 1: length = in.ConsumeIntegral<ULONG>(); break;
        default: length = full; break;
        }
        size_t size = length < xp ? xp : length > full ? full : length;
        IP_ADAPTER_UNICAST_ADDRESS *u = (IP_ADAPTER_UNICAST_ADDRESS *)p.get(size);
        u->Length = length;
        put_sockaddr(p, in, &u->Address);
        u->ValidLifetime = in.ConsumeIntegral<ULONG>();
        if (length < full)
            fuzz::tag("unicast-short");
        if (size >= full) {
            u->OnLinkPrefixLength = in.ConsumeIntegral<UINT8>();
            if (u->OnLinkPrefixLength == 0) fuzz::tag("prefix-0");
            if (u->OnLinkPrefixLength == 32) fuzz::tag("prefix-32");
            if (u->OnLinkPrefixLength > 128) fuzz::tag("prefix-above-128");
            if (u->OnLinkPrefixLength == 255) fuzz::tag("prefix-255");
        }
        *next = u;
        next = &u->Next;
    }
    return first;
}

IP_ADAPTER_DNS_SUFFIX *put_suffixes(Pieces &p, FuzzedDataProvider &in)
{
    IP_ADAPTER_DNS_SUFFIX *first = NULL, **next = &first;
    int n = in.ConsumeIntegralInRange(0, 3);
    for (int i = 0; i < n; i++) {
        IP_ADAPTER_DNS_SUFFIX *s = (IP_ADAPTER_DNS_SUFFIX *)p.get(sizeof *s);
        std::u16string t = in.ConsumeBool() ? std::u16string(MAX_DNS_SUFFIX_STRING_LENGTH, u's')
                                            : wide(in, 30);
        if (t.size() >= MAX_DNS_SUFFIX_STRING_LENGTH)
            fuzz::tag("dns-suffix-unterminated");
        // A full array has no terminator.
        memcpy(s->String, t.data(),
               (t.size() < MAX_DNS_SUFFIX_STRING_LENGTH ? t.size() : MAX_DNS_SUFFIX_STRING_LENGTH) *
                   sizeof(WCHAR));
        *next = s;
        next = &s->Next;
    }
    return first;
}

// The adapter's name: null, empty, a GUID (of a wireless interface perhaps), text that is
// not a GUID, or one of 1100 characters.
std::string adapter_name(FuzzedDataProvider &in, bool *is_null)
{
    *is_null = false;
    switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0: fuzz::tag("name-null"); *is_null = true; return "";
    case 1: fuzz::tag("name-empty"); return "";
    case 2: fuzz::tag("name-not-guid"); return narrow(in, 60);
    case 3: fuzz::tag("name-1100"); return std::string(1100, 'G');
    case 4: return "{0000000c-0000-0000-0000-53494d4e4554}";
    default: {
        GUID g;
        std::vector<uint8_t> b = in.ConsumeBytes<uint8_t>(sizeof g);
        b.resize(sizeof g);
        memcpy(&g, b.data(), sizeof g);
        return sim::guid_text(g);
    }
    }
}

bool wifi_cipher_unknown(ULONG c)
{
    return c != 0 && c != 1 && c != 2 && c != 4 && c != 5 && c != 0x100 && c != 0x101;
}

// What the simulated platform answers about an adapter besides its record: the media state
// (GetIfEntry2), the autoconfig record, and for a GUID name the wireless interface.
void platform_answers(FuzzedDataProvider &in, ULONG index, const std::string &name)
{
    sim::AdapterSpec desc;
    desc.index = index;
    desc.media_state = in.ConsumeBool() ? in.ConsumeIntegralInRange(0, 2) : in.ConsumeIntegral<int>();
    desc.if_entry_result = in.ConsumeIntegralInRange(0, 7) == 7 ? ERROR_FILE_NOT_FOUND : 0;
    desc.autoconfig_enabled = in.ConsumeIntegral<UINT>();
    desc.per_adapter_result = in.ConsumeIntegralInRange(0, 7) == 7 ? ERROR_NOT_SUPPORTED : 0;
    for (int i = in.ConsumeIntegralInRange(0, 2); i > 0; i--)
        desc.dns_servers.push_back("192.0.2." + std::to_string(i));
    if (in.ConsumeIntegralInRange(0, 3) != 3)
        sim::net().adapters.push_back(desc);

    GUID guid;
    if (!sim::parse_guid(sim::utf16(name), &guid) || in.ConsumeIntegralInRange(0, 3) == 3)
        return;
    sim::WlanSpec w;
    w.guid = guid;
    std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t>(sizeof w.attributes);
    copy_in(&w.attributes, bytes);
    if (in.ConsumeBool())
        w.attributes.isState = wlan_interface_state_connected;
    if (in.ConsumeBool())
        w.attributes.wlanAssociationAttributes.dot11Ssid.uSSIDLength = in.ConsumeIntegralInRange(0, 40);
    switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0: w.connection_result = ERROR_NOT_FOUND; break;
    case 1: w.connection_null = true; break;
    case 2: w.channel_result = ERROR_NOT_SUPPORTED; break;
    default: break;
    }
    w.channel = in.ConsumeIntegral<ULONG>();
    const WLAN_ASSOCIATION_ATTRIBUTES &as = w.attributes.wlanAssociationAttributes;
    // The fields hold any bit pattern: read them as numbers, never through their enums.
    DWORD state, phy, cipher;
    memcpy(&state, &w.attributes.isState, sizeof(state));
    memcpy(&phy, &as.dot11PhyType, sizeof(phy));
    memcpy(&cipher, &w.attributes.wlanSecurityAttributes.dot11CipherAlgorithm, sizeof(cipher));
    fuzz::tag(state == wlan_interface_state_connected ? "wifi-connected" : "wifi-not-connected");
    if (state > 8) fuzz::tag("wifi-state-unknown");
    if (as.dot11Ssid.uSSIDLength > 32) fuzz::tag("ssid-above-32");
    if (phy > 8) fuzz::tag("phy-unknown");
    if (wifi_cipher_unknown(cipher))
        fuzz::tag("cipher-unknown");
    if (w.connection_result || w.connection_null || w.channel_result) fuzz::tag("wifi-failure");
    sim::wlan().interfaces.push_back(w);
}

// One adapter record, decoded. Its block is exactly Length bytes when Length lies between
// the XP record and the complete one; never less than the XP record.
IP_ADAPTER_ADDRESSES *put_adapter(Pieces &p, FuzzedDataProvider &in, std::vector<IP_ADAPTER_INFO *> &legacy)
{
    const ULONG xp = sizeof(IP_ADAPTER_ADDRESSES_XP), full = sizeof(IP_ADAPTER_ADDRESSES);
    ULONG length;
    switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0: length = xp; break;
    case 1: length = in.ConsumeIntegralInRange<ULONG>(xp, full); break;
    case 2: length = in.ConsumeIntegral<ULONG>(); break;
    default: length = full; break;
    }
    size_t size = length < xp ? xp : length > full ? full : length;
    fuzz::tag(length < xp ? "adapter-below-xp" : length == xp ? "adapter-xp" : length < full ? "adapter-between-xp-and-full" : length == full ? "adapter-full" : "adapter-above-full");
    IP_ADAPTER_ADDRESSES *a = (IP_ADAPTER_ADDRESSES *)p.get(size);
    a->Length = length;
    a->IfIndex = in.ConsumeBool() ? in.ConsumeIntegralInRange<ULONG>(1, 20) : in.ConsumeIntegral<ULONG>();
    bool null_name;
    std::string name = adapter_name(in, &null_name);
    if (!null_name) {
        a->AdapterName = (PCHAR)p.get(name.size() + 1);
        memcpy(a->AdapterName, name.c_str(), name.size() + 1);
    }
    a->FirstUnicastAddress = put_unicast(p, in);
    a->FirstDnsServerAddress = put_chain<IP_ADAPTER_DNS_SERVER_ADDRESS>(p, in);
    a->DnsSuffix = put_wide(p, in);
    a->Description = put_wide(p, in);
    a->FriendlyName = put_wide(p, in);
    std::vector<uint8_t> mac = in.ConsumeBytes<uint8_t>(MAX_ADAPTER_ADDRESS_LENGTH);
    copy_in(a->PhysicalAddress, mac);
    a->PhysicalAddressLength = in.ConsumeBool() ? in.ConsumeIntegralInRange(0, 8) : in.ConsumeIntegral<ULONG>();
    if (a->PhysicalAddressLength > 8) fuzz::tag("physical-above-8");
    a->Flags = in.ConsumeIntegral<ULONG>();
    a->Mtu = in.ConsumeIntegral<ULONG>();
    a->IfType = in.ConsumeBool() ? in.PickValueInArray(if_types) : in.ConsumeIntegral<ULONG>();
    if (size >= full) {
        a->TransmitLinkSpeed = in.ConsumeIntegral<ULONG64>();
        a->ReceiveLinkSpeed = in.ConsumeBool() ? a->TransmitLinkSpeed : in.ConsumeIntegral<ULONG64>();
        a->FirstWinsServerAddress = put_chain<IP_ADAPTER_WINS_SERVER_ADDRESS>(p, in);
        a->FirstGatewayAddress = put_chain<IP_ADAPTER_GATEWAY_ADDRESS>(p, in);
        put_sockaddr(p, in, &a->Dhcpv4Server);
        put_sockaddr(p, in, &a->Dhcpv6Server);
        std::vector<uint8_t> duid = in.ConsumeBytes<uint8_t>(MAX_DHCPV6_DUID_LENGTH);
        copy_in(a->Dhcpv6ClientDuid, duid);
        a->Dhcpv6ClientDuidLength = in.ConsumeBool() ? (ULONG)duid.size() : in.ConsumeIntegral<ULONG>();
        a->Dhcpv6Iaid = in.ConsumeIntegral<ULONG>();
        if (a->Dhcpv6ClientDuidLength > MAX_DHCPV6_DUID_LENGTH) fuzz::tag("duid-above-130");
        if (a->Dhcpv6Iaid) fuzz::tag("iaid");
        a->FirstDnsSuffix = put_suffixes(p, in);
    }
    platform_answers(in, a->IfIndex, name);

    // Its legacy record: its own name, one that fills the array without a terminator, or
    // none; any lease times.
    int kind = in.ConsumeIntegralInRange(0, 3);
    if (kind) {
        IP_ADAPTER_INFO *info = (IP_ADAPTER_INFO *)p.get(sizeof *info);
        if (kind == 3)
            fuzz::tag("legacy-name-unterminated");
        if (kind == 3)
            memset(info->AdapterName, name.empty() ? 'G' : name[0], sizeof info->AdapterName);
        else
            memcpy(info->AdapterName, name.data(),
                   name.size() < sizeof info->AdapterName ? name.size() : sizeof info->AdapterName - 1);
        info->LeaseObtained = (time_t)in.ConsumeIntegral<int64_t>();
        info->LeaseExpires = in.ConsumeBool() ? (time_t)((uint64_t)info->LeaseObtained + 86400) : (time_t)in.ConsumeIntegral<int64_t>();
        legacy.push_back(info);
    }
    return a;
}

// A machine of the builder's: the getters fetch it as the run does.
void build_machine(FuzzedDataProvider &in, std::vector<sim::AdapterSpec> &out)
{
    static const char *const v4[] = {"192.0.2.10", "198.51.100.7", "203.0.113.255", "0.0.0.0",
                                     "169.254.1.2", "255.255.255.255"};
    static const char *const v6[] = {"2001:db8::1", "fe80::1%12", "::", "::1", "#23", "#0", "#2000"};
    int n = in.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < n; i++) {
        ULONG index = in.ConsumeIntegralInRange<ULONG>(1, 30);
        std::string name = narrow(in, 20);
        sim::Adapter a = in.ConsumeBool() ? sim::wifi(index, name) : sim::ethernet(index, name);
        a.desc.if_type = in.ConsumeBool() ? a.desc.if_type : (IFTYPE)in.PickValueInArray(if_types);
        for (int k = in.ConsumeIntegralInRange(0, 4); k > 0; k--) {
            const char *t = in.ConsumeBool() ? in.PickValueInArray(v4) : in.PickValueInArray(v6);
            UINT8 prefix = in.ConsumeIntegral<UINT8>();
            ULONG rl = in.ConsumeIntegralInRange(0, 3) == 3 ? sizeof(IP_ADAPTER_UNICAST_ADDRESS_XP) : 0;
            a.address(t, prefix, rl);
        }
        if (in.ConsumeBool())
            a.gateway(in.PickValueInArray(v4));
        if (in.ConsumeBool())
            a.dns(in.ConsumeBool() ? in.PickValueInArray(v4) : in.PickValueInArray(v6));
        if (in.ConsumeBool())
            a.dhcp(in.PickValueInArray(v4), in.ConsumeIntegral<uint32_t>(), in.ConsumeIntegral<uint32_t>());
        if (in.ConsumeBool())
            a.dhcpv6(in.ConsumeBytes<BYTE>(in.ConsumeIntegralInRange(0, 200)), in.ConsumeIntegral<ULONG>());
        if (in.ConsumeBool())
            a.physical(in.ConsumeBytes<BYTE>(8), in.ConsumeIntegral<ULONG>());
        if (in.ConsumeBool())
            a.name(narrow(in, 50));
        if (in.ConsumeIntegralInRange(0, 3) == 3)
            a.short_layout();
        if (in.ConsumeBool())
            a.search_suffix(narrow(in, 300));
        a.desc.flags = in.ConsumeBool() ? a.desc.flags : in.ConsumeIntegral<ULONG>();
        a.media(in.ConsumeIntegralInRange(0, 4));
        a.autoconfig(in.ConsumeIntegralInRange(0, 1));
        a.speed(in.ConsumeIntegral<ULONG64>(), in.ConsumeIntegral<ULONG64>());
        if (in.ConsumeBool())
            a.legacy_name(narrow(in, 300));
        out.push_back(a.desc);
    }
}

std::string fuzz_hex(const std::string &s)
{
    std::string out;
    char b[4];
    for (unsigned char c : s) {
        snprintf(b, sizeof b, "%02x ", c);
        out += b;
    }
    return out;
}

bool is_disconnected(ULONG index)
{
    // Index 0 is no interface: the row query fails.
    sim::AdapterSpec *s = index ? sim::net().find(index) : NULL;
    return s && !s->if_entry_result && s->media_state == MediaConnectStateDisconnected;
}

// The adapters the listing must report, in the system's order.
int expected_count(const IP_ADAPTER_ADDRESSES *list, DWORD flags, LPCWSTR wildmask)
{
    int n = 0;
    for (const IP_ADAPTER_ADDRESSES *a = list; a; a = a->Next) {
        if (!(flags & CommandOptions::include_tunnel) && a->IfType == IF_TYPE_TUNNEL)
            continue;
        if (!(flags & CommandOptions::include_loopback) && a->IfType == IF_TYPE_SOFTWARE_LOOPBACK)
            continue;
        if (wildmask &&
            WildcardComparison(wildmask, a->FriendlyName ? a->FriendlyName : u"", 0, 1) != 0)
            continue;
        if (!(flags & CommandOptions::include_disconnected) && is_disconnected(a->IfIndex))
            continue;
        n++;
    }
    return n;
}

// Whatever was written: no NUL inside a segment (names may hold any other character),
// nothing on standard error.
void check_shape(const std::string &where)
{
    for (const sim::Segment &s : sim::host().transcript) {
        FUZZ_CHECK(s.text.find(u'\0') == std::u16string::npos, "%s: a NUL was written",
                   where.c_str());
    }
    FUZZ_CHECK(sim::err().empty(), "%s wrote to standard error: %s", where.c_str(),
               sim::err().c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    fuzz::fresh_platform();
    highlight_colors = HighlightColors{};
    ZeroMemory(&os_version, sizeof os_version);
    os_version.dwMajorVersion = 10;
    load_wlan_library();
    wlan_client = in.ConsumeIntegralInRange(0, 7) != 7 ? (HANDLE)0x777 : NULL;
    if (in.ConsumeBool()) {
        highlight_colors.normal = 0x07;
        highlight_colors.highlight = 0x0E;
    }
    sim::console().stdout_is_console = in.ConsumeBool();
    unsigned ctrl_c = in.ConsumeIntegralInRange(0, 3) == 3 ? in.ConsumeIntegralInRange(1, 80) : 0;
    sim::console().ctrl_c_at_line_end = ctrl_c;

    DWORD flags = in.ConsumeIntegral<DWORD>() & 0x337u;
    DWORD date_format = in.ConsumeBool() ? in.ConsumeIntegralInRange(0, 40) : in.ConsumeIntegral<DWORD>();
    std::u16string mask = wide(in, 12);
    LPCWSTR wildmask = in.ConsumeBool() && !mask.empty() ? mask.c_str() : NULL;

    // The host record and the search list.
    sim::HostSpec &host = sim::net().host;
    host.host_name = narrow(in, 140);
    host.domain_name = narrow(in, 140);
    host.node_type = in.ConsumeIntegral<UINT>();
    host.enable_routing = in.ConsumeIntegral<UINT>();
    host.enable_proxy = in.ConsumeIntegralInRange(0, 2);
    host.enable_dns = in.ConsumeIntegralInRange(0, 2);
    host.grow = in.ConsumeIntegralInRange(0, 3);
    host.unterminated_names = in.ConsumeBool();
    if (host.unterminated_names) fuzz::tag("host-names-unterminated");
    if (host.grow) fuzz::tag("host-record-grows");
    if (in.ConsumeIntegralInRange(0, 15) == 15)
        sim::net().network_params = {ERROR_NOT_SUPPORTED, in.ConsumeIntegralInRange(0, 2)};
    if (in.ConsumeBool()) {
        std::u16string list = wide(in, 80);
        if (in.ConsumeBool())
            list.resize(1024 + in.ConsumeIntegralInRange(-2, 2), u'x');
        std::vector<BYTE> bytes((const BYTE *)list.data(), (const BYTE *)(list.data() + list.size()));
        if (in.ConsumeBool()) {  // terminated
            bytes.push_back(0);
            bytes.push_back(0);
        } else {
            fuzz::tag("search-list-unterminated");
        }
        sim::set_reg_raw(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\TcpIp\\Parameters",
                         "SearchList", in.ConsumeBool() ? REG_SZ : REG_EXPAND_SZ, bytes);
    }

    int mode = in.ConsumeIntegralInRange(0, 2);
    Pieces pieces;
    IP_ADAPTER_ADDRESSES *list = NULL;
    IP_ADAPTER_INFO *infos = NULL;
    bool fetched = mode == 2;
    if (!fetched) {
        std::vector<IP_ADAPTER_INFO *> legacy;
        IP_ADAPTER_ADDRESSES **next = &list;
        int n = in.ConsumeIntegralInRange(0, 8);
        for (int i = 0; i < n && in.remaining_bytes(); i++) {
            IP_ADAPTER_ADDRESSES *a = put_adapter(pieces, in, legacy);
            *next = a;
            next = &a->Next;
        }
        // The legacy records in the order of the adapters, or reversed.
        if (in.ConsumeBool())
            std::reverse(legacy.begin(), legacy.end());
        for (size_t i = 0; i + 1 < legacy.size(); i++)
            legacy[i]->Next = legacy[i + 1];
        infos = legacy.empty() ? NULL : legacy[0];
    } else {
        build_machine(in, sim::net().adapters);
        build_machine(in, sim::net().arriving);
        fuzz::tag("builder");
        if (!sim::net().arriving.empty()) fuzz::tag("list-grows");
        if (in.ConsumeIntegralInRange(0, 7) == 7)
            sim::net().addresses = {ERROR_NOT_ENOUGH_MEMORY, in.ConsumeIntegralInRange(0, 2)};
        if (in.ConsumeIntegralInRange(0, 7) == 7)
            sim::net().info = {ERROR_NOT_SUPPORTED, in.ConsumeIntegralInRange(0, 2)};
        // The autoconfig record of every adapter grows by a DNS server after each answer
        // that asks for more.
        sim::net().on_per_adapter_overflow = [] {
            for (auto &a : sim::net().adapters)
                if (a.dns_servers.size() < 40)
                    a.dns_servers.push_back("198.51.100." + std::to_string(a.dns_servers.size()));
        };
        list = get_adapter_addresses(adapter_query_flags(10, (flags & CommandOptions::detailed) != 0));
        if (list)
            infos = get_adapter_info();
    }

    install_break_handler();
    int rc = print_global_header((flags & CommandOptions::detailed) != 0);
    FUZZ_CHECK(rc == 0 || rc == USER_BREAK || rc == ERROR_NOT_SUPPORTED || rc == ERROR_BUFFER_OVERFLOW,
               "the header gave %d", rc);
    if (rc == 0) {
        std::string out = sim::out();
        FUZZ_CHECK(out.compare(0, 30, "\r\nWindows IP Configuration\r\n\r\n") == 0,
                   "the header begins %s", out.substr(0, 40).c_str());
        // Its last line is blank; a search list that ends in a separator leaves the
        // continuation indent on it, one of separators only its label.
        size_t end = out.size() >= 2 ? out.size() - 2 : 0;
        size_t start = out.rfind("\r\n", end ? end - 1 : 0);
        std::string last = start == std::string::npos ? "" : out.substr(start + 2, end - start - 2);
        FUZZ_CHECK(out.size() >= 4 && out.compare(end, 2, "\r\n") == 0 && start != std::string::npos &&
                       (last.find_first_not_of(' ') == std::string::npos ||
                        last == "   DNS search list. . . . . :  "),
                   "the header does not end in a blank line: ...%s",
                   fuzz_hex(out.substr(out.size() > 40 ? out.size() - 40 : 0)).c_str());
    }
    check_shape("the header");
    int count = 0;
    if (rc != USER_BREAK) {
        size_t before = sim::out().size();
        int expected = expected_count(list, flags, wildmask);
        count = list_adapters(infos, wildmask, flags, list, date_format);
        std::string out = sim::out().substr(before);
        if (!list) {
            FUZZ_CHECK(count == -1 && out.empty(), "no list gave %d and wrote %s", count, out.c_str());
        } else if (count != USER_BREAK) {
            FUZZ_CHECK(count == expected, "%d adapters listed, expected %d", count, expected);
            if (count > 0)
                fuzz::tag("listed");
            std::string last = std::to_string(count) + (count == 1 ? " adapter" : " adapters") +
                               " listed.\r\n";
            FUZZ_CHECK(out.size() >= last.size() &&
                           out.compare(out.size() - last.size(), last.size(), last) == 0,
                       "the listing does not end with its count line: ...%s",
                       out.substr(out.size() > 80 ? out.size() - 80 : 0).c_str());
        }
        check_shape("the listing");
    }
    // A Ctrl-C stops the output at the line end it arrives at, and only then.
    unsigned ends = sim::console().line_ends;
    bool stopped = rc == USER_BREAK || count == USER_BREAK;
    FUZZ_CHECK(stopped == (ctrl_c && ends >= ctrl_c), "stopped %d, Ctrl-C at line end %u of %u",
               (int)stopped, ctrl_c, ends);
    FUZZ_CHECK(!stopped || ends == ctrl_c, "%u line ends after a Ctrl-C at line end %u", ends, ctrl_c);
    remove_break_handler();

    if (fetched) {
        if (list)
            HeapFree(GetProcessHeap(), 0, list);
        if (infos)
            HeapFree(GetProcessHeap(), 0, infos);
    }
    FUZZ_CHECK(sim::wlan_outstanding() == 0, "%ld WLAN blocks not freed", sim::wlan_outstanding());
    fuzz::check_clean();
    if (ctrl_c) fuzz::tag("ctrl-c");
    fuzz::print_tags();
    wlan_client = NULL;
    return 0;
}
