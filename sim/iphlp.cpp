// Simulated IP Helper: lays the adapters a test described out in the caller's buffer as
// Windows does (one block: the records, chains of records pointing into the same block, the
// strings and socket addresses), with the buffer-size protocol and the scripted faults.
#include "netsim.h"

#include <cstdio>
#include <cstdlib>

namespace sim {

[[noreturn]] static void die(const std::string &why)
{
    fprintf(stderr, "sim: %s\n", why.c_str());
    abort();
}

// --- addresses -------------------------------------------------------------------------
static bool parse_ipv4(const std::string &text, BYTE out[4])
{
    int part = 0;
    size_t i = 0;
    while (part < 4) {
        if (i >= text.size() || text[i] < '0' || text[i] > '9')
            return false;
        unsigned v = 0;
        size_t digits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 4) {
            v = v * 10 + (unsigned)(text[i++] - '0');
            digits++;
        }
        if (v > 255)
            return false;
        out[part++] = (BYTE)v;
        if (part < 4) {
            if (i >= text.size() || text[i] != '.')
                return false;
            i++;
        }
    }
    return i == text.size();
}

static int hex_value(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The groups of one side of "::"; a dotted IPv4 tail counts as two groups.
static bool parse_groups(const std::string &text, std::vector<WORD> &groups)
{
    if (text.empty())
        return true;
    size_t start = 0;
    for (;;) {
        size_t end = text.find(':', start);
        std::string g = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (end == std::string::npos && g.find('.') != std::string::npos) {
            BYTE v4[4];
            if (!parse_ipv4(g, v4))
                return false;
            groups.push_back((WORD)(v4[0] << 8 | v4[1]));
            groups.push_back((WORD)(v4[2] << 8 | v4[3]));
            return true;
        }
        if (g.empty() || g.size() > 4)
            return false;
        unsigned v = 0;
        for (char c : g) {
            int h = hex_value(c);
            if (h < 0)
                return false;
            v = v * 16 + (unsigned)h;
        }
        groups.push_back((WORD)v);
        if (end == std::string::npos)
            return true;
        start = end + 1;
    }
}

static bool parse_ipv6(std::string text, BYTE out[16], ULONG *scope)
{
    *scope = 0;
    size_t pct = text.find('%');
    if (pct != std::string::npos) {
        std::string s = text.substr(pct + 1);
        if (s.empty() || s.find_first_not_of("0123456789") != std::string::npos)
            return false;
        *scope = (ULONG)strtoul(s.c_str(), nullptr, 10);
        text = text.substr(0, pct);
    }
    std::vector<WORD> head, tail;
    size_t gap = text.find("::");
    if (gap == std::string::npos) {
        if (!parse_groups(text, head) || head.size() != 8)
            return false;
    } else {
        if (text.find("::", gap + 1) != std::string::npos)
            return false;
        if (!parse_groups(text.substr(0, gap), head) || !parse_groups(text.substr(gap + 2), tail))
            return false;
        if (head.size() + tail.size() > 7)
            return false;
    }
    std::vector<WORD> all = head;
    all.resize(8 - tail.size(), 0);
    all.insert(all.end(), tail.begin(), tail.end());
    for (int i = 0; i < 8; i++) {
        out[2 * i] = (BYTE)(all[i] >> 8);
        out[2 * i + 1] = (BYTE)(all[i] & 0xFF);
    }
    return true;
}

// The socket address for an address text, as the bytes of its record.
static std::vector<BYTE> sockaddr_of(const std::string &text)
{
    std::vector<BYTE> out;
    BYTE v4[4], v6[16];
    ULONG scope;
    if (!text.empty() && text[0] == '#') {
        SOCKADDR sa;
        memset(&sa, 0, sizeof sa);
        sa.sa_family = (ADDRESS_FAMILY)strtoul(text.c_str() + 1, nullptr, 10);
        out.assign((BYTE *)&sa, (BYTE *)&sa + sizeof sa);
    } else if (parse_ipv4(text, v4)) {
        SOCKADDR_IN sin;
        memset(&sin, 0, sizeof sin);
        sin.sin_family = AF_INET;
        memcpy(&sin.sin_addr, v4, 4);
        out.assign((BYTE *)&sin, (BYTE *)&sin + sizeof sin);
    } else if (parse_ipv6(text, v6, &scope)) {
        SOCKADDR_IN6 sin6;
        memset(&sin6, 0, sizeof sin6);
        sin6.sin6_family = AF_INET6;
        memcpy(&sin6.sin6_addr, v6, 16);
        sin6.sin6_scope_id = scope;
        out.assign((BYTE *)&sin6, (BYTE *)&sin6 + sizeof sin6);
    } else {
        die("not an address: \"" + text + "\"");
    }
    return out;
}

static ADDRESS_FAMILY family_of(const std::string &text)
{
    std::vector<BYTE> sa = sockaddr_of(text);
    ADDRESS_FAMILY f;
    memcpy(&f, sa.data(), sizeof f);
    return f;
}

static bool is_ipv4(const std::string &text)
{
    return family_of(text) == AF_INET;
}

static std::string ipv4_mask_text(UINT8 prefix)
{
    uint32_t m = prefix == 0 ? 0 : prefix >= 32 ? 0xFFFFFFFFu : ~((1u << (32 - prefix)) - 1);
    char buf[16];
    snprintf(buf, sizeof buf, "%u.%u.%u.%u", m >> 24, (m >> 16) & 255, (m >> 8) & 255, m & 255);
    return buf;
}

// --- the block -------------------------------------------------------------------------
// Built at offsets, then copied into the caller's buffer; the pointers are set there, each
// to the caller's buffer plus the offset of what it points at.
struct Block {
    std::vector<BYTE> bytes;
    std::vector<std::pair<size_t, size_t>> links;  // (pointer field, target)

    size_t reserve(size_t n, size_t align)
    {
        size_t off = (bytes.size() + align - 1) / align * align;
        bytes.resize(off + n, 0);
        return off;
    }
    template <class T> size_t put(const T &record, size_t n = sizeof(T))
    {
        size_t off = reserve(n, 8);
        memcpy(&bytes[off], &record, n);
        return off;
    }
    size_t put_bytes(const std::vector<BYTE> &data)
    {
        size_t off = reserve(data.size(), 8);
        if (!data.empty())
            memcpy(&bytes[off], data.data(), data.size());
        return off;
    }
    size_t put_wide(const std::u16string &text)
    {
        size_t off = reserve((text.size() + 1) * sizeof(WCHAR), sizeof(WCHAR));
        memcpy(&bytes[off], text.c_str(), (text.size() + 1) * sizeof(WCHAR));
        return off;
    }
    size_t put_narrow(const std::string &text)
    {
        size_t off = reserve(text.size() + 1, 1);
        memcpy(&bytes[off], text.c_str(), text.size() + 1);
        return off;
    }
    void link(size_t field, size_t target) { links.push_back({field, target}); }
    ULONG size() const { return (ULONG)bytes.size(); }
    void emit(void *out) const
    {
        BYTE *dst = (BYTE *)out;
        memcpy(dst, bytes.data(), bytes.size());
        for (auto &l : links) {
            BYTE *p = dst + l.second;
            memcpy(dst + l.first, &p, sizeof p);
        }
    }
};

// A socket address placed in the block, its SOCKET_ADDRESS field at `field` pointed at it.
static void put_sockaddr(Block &b, size_t field, const std::vector<BYTE> &sa)
{
    size_t off = b.put_bytes(sa);
    b.link(field + offsetof(SOCKET_ADDRESS, lpSockaddr), off);
    INT len = (INT)sa.size();
    memcpy(&b.bytes[field + offsetof(SOCKET_ADDRESS, iSockaddrLength)], &len, sizeof len);
}

static void put_socket_address(Block &b, size_t field, const std::string &text)
{
    put_sockaddr(b, field, sockaddr_of(text));
}

// A chain of address records of type T (Length header, Next, Address), from `first`.
template <class T>
static void put_address_chain(Block &b, size_t first, const std::vector<std::string> &texts,
                              ULONG family)
{
    size_t next_field = first;
    for (const std::string &t : texts) {
        if (family != AF_UNSPEC && family_of(t) != family)
            continue;
        T rec;
        memset(&rec, 0, sizeof rec);
        rec.Length = sizeof(T);
        size_t off = b.put(rec);
        b.link(next_field, off);
        next_field = off + offsetof(T, Next);
        put_socket_address(b, off + offsetof(T, Address), t);
    }
}

// --- state -----------------------------------------------------------------------------
static NetState net_state;
static void reset_net()
{
    net_state = NetState();
}
static ResetHook net_hook(reset_net);

NetState &net()
{
    return net_state;
}

void NetState::add(const Adapter &adapter)
{
    adapters.push_back(adapter.desc);
}

AdapterSpec *NetState::find(ULONG index)
{
    for (auto &a : adapters)
        if (a.index == index)
            return &a;
    return nullptr;
}

void set_search_list(const std::string &list, DWORD type)
{
    set_reg_sz(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\TcpIp\\Parameters",
               "SearchList", list, type);
}

static void overflowed()
{
    if (!net_state.arriving.empty()) {
        net_state.adapters.push_back(net_state.arriving.front());
        net_state.arriving.erase(net_state.arriving.begin());
    }
    if (net_state.on_overflow)
        net_state.on_overflow();
}

static bool fails(const Failure &f, size_t calls_so_far)
{
    return f.code && (f.call == 0 || (size_t)f.call == calls_so_far + 1);
}

static NET_LUID luid_of(const AdapterSpec &a)
{
    NET_LUID l;
    l.Value = 0;
    l.Info.IfType = a.if_type;
    l.Info.NetLuidIndex = a.index;
    return l;
}

static bool ipv4_enabled(const AdapterSpec &a)
{
    return (a.flags & IP_ADAPTER_IPV4_ENABLED) != 0;
}

static bool in_interface_table(const AdapterSpec &a)
{
    return ipv4_enabled(a) && a.if_type != IF_TYPE_SOFTWARE_LOOPBACK;
}

// --- GetAdaptersAddresses --------------------------------------------------------------
static void put_adapter(Block &b, size_t *next_field, const AdapterSpec &a, ULONG family,
                        ULONG flags)
{
    const ULONG full = sizeof(IP_ADAPTER_ADDRESSES);
    const ULONG length = a.record_length ? a.record_length : full;
    // Only the fields inside the record's Length exist.
    auto has = [&](size_t off, size_t size) { return off + size <= length; };

    IP_ADAPTER_ADDRESSES rec;
    memset(&rec, 0, sizeof rec);
    rec.Length = length;
    rec.IfIndex = a.index;
    rec.PhysicalAddressLength = a.physical_length;
    if (!a.physical_address.empty())  // an empty vector may have no data block
        memcpy(rec.PhysicalAddress, a.physical_address.data(),
               a.physical_address.size() < 8 ? a.physical_address.size() : 8);
    rec.Flags = a.flags;
    rec.IfType = a.if_type;
    rec.OperStatus = a.oper_status;  // tests set it to show that the listing ignores it
    rec.TransmitLinkSpeed = a.transmit_speed;
    rec.ReceiveLinkSpeed = a.receive_speed;
    rec.Dhcpv6ClientDuidLength = (ULONG)a.duid.size();
    if (!a.duid.empty())
        memcpy(rec.Dhcpv6ClientDuid, a.duid.data(),
               a.duid.size() < MAX_DHCPV6_DUID_LENGTH ? a.duid.size() : MAX_DHCPV6_DUID_LENGTH);
    rec.Dhcpv6Iaid = a.iaid;

    size_t off = b.put(rec, length < full ? length : full);
    if (*next_field != SIZE_MAX)
        b.link(*next_field, off);
    *next_field = off + offsetof(IP_ADAPTER_ADDRESSES, Next);
    auto field = [&](size_t member) { return off + member; };

    b.link(field(offsetof(IP_ADAPTER_ADDRESSES, AdapterName)), b.put_narrow(a.adapter_name));

    size_t next_unicast = field(offsetof(IP_ADAPTER_ADDRESSES, FirstUnicastAddress));
    for (const UnicastSpec &u : a.unicast) {
        if (family != AF_UNSPEC && family_of(u.address) != family)
            continue;
        IP_ADAPTER_UNICAST_ADDRESS ur;
        memset(&ur, 0, sizeof ur);
        ur.Length = u.record_length ? u.record_length : sizeof ur;
        // Written whatever Length says, so code that reads past Length shows it.
        ur.OnLinkPrefixLength = u.prefix_length;
        size_t uo = b.put(ur);
        b.link(next_unicast, uo);
        next_unicast = uo + offsetof(IP_ADAPTER_UNICAST_ADDRESS, Next);
        put_socket_address(b, uo + offsetof(IP_ADAPTER_UNICAST_ADDRESS, Address), u.address);
    }
    put_address_chain<IP_ADAPTER_DNS_SERVER_ADDRESS>(
        b, field(offsetof(IP_ADAPTER_ADDRESSES, FirstDnsServerAddress)), a.dns_servers, family);

    b.link(field(offsetof(IP_ADAPTER_ADDRESSES, DnsSuffix)), b.put_wide(a.dns_suffix));
    b.link(field(offsetof(IP_ADAPTER_ADDRESSES, Description)), b.put_wide(a.description));
    if (!a.no_friendly_name)
        b.link(field(offsetof(IP_ADAPTER_ADDRESSES, FriendlyName)), b.put_wide(a.friendly_name));

    if (flags & GAA_FLAG_INCLUDE_PREFIX) {
        size_t next = field(offsetof(IP_ADAPTER_ADDRESSES, FirstPrefix));
        for (const UnicastSpec &u : a.unicast) {
            std::vector<BYTE> sa = sockaddr_of(u.address);
            ADDRESS_FAMILY f;
            memcpy(&f, sa.data(), sizeof f);
            if (family != AF_UNSPEC && f != family)
                continue;
            // The on-link prefix: the address with its host part cleared. "#N" gives a bare
            // SOCKADDR whatever family N names: only bits inside it are cleared.
            size_t at = f == AF_INET ? offsetof(SOCKADDR_IN, sin_addr)
                                     : offsetof(SOCKADDR_IN6, sin6_addr);
            size_t bits = f == AF_INET ? 32 : f == AF_INET6 ? 128 : 0;
            if (at + bits / 8 > sa.size())
                bits = 0;
            for (size_t bit = u.prefix_length; bit < bits; bit++)
                sa[at + bit / 8] &= (BYTE) ~(0x80 >> (bit % 8));
            IP_ADAPTER_PREFIX pr;
            memset(&pr, 0, sizeof pr);
            pr.Length = sizeof pr;
            pr.PrefixLength = u.prefix_length;
            size_t po = b.put(pr);
            b.link(next, po);
            next = po + offsetof(IP_ADAPTER_PREFIX, Next);
            put_sockaddr(b, po + offsetof(IP_ADAPTER_PREFIX, Address), sa);
        }
    }

    if ((flags & GAA_FLAG_INCLUDE_WINS_INFO) &&
        has(offsetof(IP_ADAPTER_ADDRESSES, FirstWinsServerAddress), sizeof(void *)))
        put_address_chain<IP_ADAPTER_WINS_SERVER_ADDRESS>(
            b, field(offsetof(IP_ADAPTER_ADDRESSES, FirstWinsServerAddress)), a.wins_servers,
            family);
    if ((flags & GAA_FLAG_INCLUDE_GATEWAYS) &&
        has(offsetof(IP_ADAPTER_ADDRESSES, FirstGatewayAddress), sizeof(void *)))
        put_address_chain<IP_ADAPTER_GATEWAY_ADDRESS>(
            b, field(offsetof(IP_ADAPTER_ADDRESSES, FirstGatewayAddress)), a.gateways, family);
    if (!a.dhcp_server.empty() && has(offsetof(IP_ADAPTER_ADDRESSES, Dhcpv4Server), sizeof(SOCKET_ADDRESS)))
        put_socket_address(b, field(offsetof(IP_ADAPTER_ADDRESSES, Dhcpv4Server)), a.dhcp_server);
    if (has(offsetof(IP_ADAPTER_ADDRESSES, FirstDnsSuffix), sizeof(void *))) {
        size_t next = field(offsetof(IP_ADAPTER_ADDRESSES, FirstDnsSuffix));
        for (const std::u16string &s : a.dns_suffixes) {
            IP_ADAPTER_DNS_SUFFIX sr;
            memset(&sr, 0, sizeof sr);
            memcpy(sr.String, s.data(),
                   (s.size() < MAX_DNS_SUFFIX_STRING_LENGTH ? s.size() : MAX_DNS_SUFFIX_STRING_LENGTH - 1) *
                       sizeof(WCHAR));
            size_t so = b.put(sr);
            b.link(next, so);
            next = so + offsetof(IP_ADAPTER_DNS_SUFFIX, Next);
        }
    }
}

static bool lay_out_addresses(Block &b, ULONG family, ULONG flags)
{
    size_t next = SIZE_MAX;
    bool any = false;
    for (const AdapterSpec &a : net_state.adapters) {
        if (family == AF_INET && !ipv4_enabled(a))
            continue;
        put_adapter(b, &next, a, family, flags);
        any = true;
    }
    return any;
}

ULONG addresses_size(ULONG family, ULONG flags)
{
    Block b;
    lay_out_addresses(b, family, flags);
    return b.size();
}

}  // namespace sim

using sim::net_state;

ULONG WINAPI GetAdaptersAddresses(ULONG Family, ULONG Flags, PVOID Reserved,
                                  PIP_ADAPTER_ADDRESSES AdapterAddresses, PULONG SizePointer)
{
    SIM_CALL(per_run);
    sim::SizedCall call;
    call.family = Family;
    call.flags = Flags;
    call.buffer = AdapterAddresses != nullptr;
    call.size_in = SizePointer ? *SizePointer : 0;
    auto answer = [&](ULONG result) {
        call.result = result;
        call.size_out = SizePointer ? *SizePointer : 0;
        net_state.addresses_calls.push_back(call);
        if (result == ERROR_BUFFER_OVERFLOW)
            sim::overflowed();
        return result;
    };

    if (!SizePointer || Reserved || (Family != AF_UNSPEC && Family != AF_INET))
        return answer(ERROR_INVALID_PARAMETER);
    if (sim::fails(net_state.addresses, net_state.addresses_calls.size()))
        return answer(net_state.addresses.code);

    sim::Block b;
    if (!sim::lay_out_addresses(b, Family, Flags))
        return answer(ERROR_NO_DATA);
    if (*SizePointer < b.size()) {
        *SizePointer = b.size();
        return answer(ERROR_BUFFER_OVERFLOW);
    }
    if (!AdapterAddresses)
        return answer(ERROR_INVALID_PARAMETER);
    b.emit(AdapterAddresses);
    return answer(ERROR_SUCCESS);
}

// --- GetAdaptersInfo -------------------------------------------------------------------
namespace sim {

static void set_addr_string(IP_ADDR_STRING &s, const std::string &address, const std::string &mask)
{
    memset(s.IpAddress.String, 0, sizeof s.IpAddress.String);
    memset(s.IpMask.String, 0, sizeof s.IpMask.String);
    strncpy(s.IpAddress.String, address.c_str(), sizeof s.IpAddress.String - 1);
    strncpy(s.IpMask.String, mask.c_str(), sizeof s.IpMask.String - 1);
}

// An IP_ADDR_STRING list whose head is inside a record at `head` (already placed) and whose
// further entries follow in the block.
static void put_addr_list(Block &b, size_t head,
                          const std::vector<std::pair<std::string, std::string>> &entries)
{
    size_t next = head + offsetof(IP_ADDR_STRING, Next);
    for (size_t i = 0; i < entries.size(); i++) {
        IP_ADDR_STRING s;
        memset(&s, 0, sizeof s);
        set_addr_string(s, entries[i].first, entries[i].second);
        if (i == 0) {
            memcpy(&b.bytes[head], &s, sizeof s);
            continue;
        }
        size_t off = b.put(s);
        b.link(next, off);
        next = off + offsetof(IP_ADDR_STRING, Next);
    }
}

static void bounded_copy(char *dst, size_t size, const std::string &src)
{
    memset(dst, 0, size);
    memcpy(dst, src.data(), src.size() < size - 1 ? src.size() : size - 1);
}

static bool lay_out_info(Block &b)
{
    size_t next = SIZE_MAX;
    for (const AdapterSpec &a : net_state.adapters) {
        if (!in_interface_table(a) || !a.legacy)
            continue;
        IP_ADAPTER_INFO rec;
        memset(&rec, 0, sizeof rec);
        bounded_copy(rec.AdapterName, sizeof rec.AdapterName,
                     a.legacy_name.empty() ? a.adapter_name : a.legacy_name);
        rec.Index = a.index;
        rec.LeaseObtained = a.lease_obtained;
        rec.LeaseExpires = a.lease_expires;

        size_t off = b.put(rec);
        if (next != SIZE_MAX)
            b.link(next, off);
        next = off + offsetof(IP_ADAPTER_INFO, Next);

        // Every IPv4 address has its entry: the list's length decides the block's size.
        std::vector<std::pair<std::string, std::string>> addresses;
        for (auto &u : a.unicast)
            if (is_ipv4(u.address))
                addresses.push_back({u.address, ipv4_mask_text(u.prefix_length)});
        if (addresses.empty())
            addresses.push_back({"0.0.0.0", "0.0.0.0"});
        put_addr_list(b, off + offsetof(IP_ADAPTER_INFO, IpAddressList), addresses);
    }
    return next != SIZE_MAX;
}

}  // namespace sim

ULONG WINAPI GetAdaptersInfo(PIP_ADAPTER_INFO AdapterInfo, PULONG SizePointer)
{
    SIM_CALL(per_run);
    sim::SizedCall call;
    call.buffer = AdapterInfo != nullptr;
    call.size_in = SizePointer ? *SizePointer : 0;
    auto answer = [&](ULONG result) {
        call.result = result;
        call.size_out = SizePointer ? *SizePointer : 0;
        net_state.info_calls.push_back(call);
        if (result == ERROR_BUFFER_OVERFLOW)
            sim::overflowed();
        return result;
    };

    if (!SizePointer)
        return answer(ERROR_INVALID_PARAMETER);
    if (sim::fails(net_state.info, net_state.info_calls.size()))
        return answer(net_state.info.code);
    sim::Block b;
    if (!sim::lay_out_info(b))
        return answer(ERROR_NO_DATA);
    if (*SizePointer < b.size()) {
        *SizePointer = b.size();
        return answer(AdapterInfo ? ERROR_BUFFER_OVERFLOW : net_state.info_size_answer);
    }
    if (!AdapterInfo)
        return answer(ERROR_INVALID_PARAMETER);
    b.emit(AdapterInfo);
    return answer(ERROR_SUCCESS);
}

// --- GetNetworkParams ------------------------------------------------------------------
DWORD WINAPI GetNetworkParams(PFIXED_INFO pFixedInfo, PULONG pOutBufLen)
{
    SIM_CALL(per_run);
    sim::SizedCall call;
    call.buffer = pFixedInfo != nullptr;
    call.size_in = pOutBufLen ? *pOutBufLen : 0;
    auto answer = [&](DWORD result) {
        call.result = result;
        call.size_out = pOutBufLen ? *pOutBufLen : 0;
        net_state.network_params_calls.push_back(call);
        return result;
    };
    auto &h = net_state.host;

    if (!pOutBufLen)
        return answer(ERROR_INVALID_PARAMETER);
    if (sim::fails(net_state.network_params, net_state.network_params_calls.size()))
        return answer(net_state.network_params.code);

    FIXED_INFO rec;
    memset(&rec, 0, sizeof rec);
    sim::bounded_copy(rec.HostName, sizeof rec.HostName, h.host_name);
    sim::bounded_copy(rec.DomainName, sizeof rec.DomainName, h.domain_name);
    if (h.unterminated_names) {
        for (size_t i = 0; i < sizeof rec.HostName; i++)
            rec.HostName[i] = h.host_name.empty() ? 'H' : h.host_name[i % h.host_name.size()];
        for (size_t i = 0; i < sizeof rec.DomainName; i++)
            rec.DomainName[i] = h.domain_name.empty() ? 'D' : h.domain_name[i % h.domain_name.size()];
    }
    rec.NodeType = h.node_type;
    rec.EnableRouting = h.enable_routing;
    rec.EnableProxy = h.enable_proxy;
    rec.EnableDns = h.enable_dns;
    sim::Block b;
    size_t off = b.put(rec);
    std::vector<std::pair<std::string, std::string>> servers;
    for (auto &s : h.dns_servers)
        servers.push_back({s, ""});
    sim::put_addr_list(b, off + offsetof(FIXED_INFO, DnsServerList), servers);

    if (*pOutBufLen < b.size()) {
        *pOutBufLen = b.size();
        if (h.grow > 0) {
            h.grow--;
            char s[16];
            snprintf(s, sizeof s, "192.0.2.%u", (unsigned)(h.dns_servers.size() + 1) % 256);
            h.dns_servers.push_back(s);
        }
        return answer(ERROR_BUFFER_OVERFLOW);
    }
    if (!pFixedInfo)
        return answer(ERROR_INVALID_PARAMETER);
    b.emit(pFixedInfo);
    return answer(ERROR_SUCCESS);
}

// --- GetPerAdapterInfo -----------------------------------------------------------------
DWORD WINAPI GetPerAdapterInfo(ULONG IfIndex, PIP_PER_ADAPTER_INFO pPerAdapterInfo,
                               PULONG pOutBufLen)
{
    SIM_CALL(per_adapter);
    sim::SizedCall call;
    call.index = IfIndex;
    call.buffer = pPerAdapterInfo != nullptr;
    call.size_in = pOutBufLen ? *pOutBufLen : 0;
    auto answer = [&](DWORD result) {
        call.result = result;
        call.size_out = pOutBufLen ? *pOutBufLen : 0;
        net_state.per_adapter_calls.push_back(call);
        return result;
    };

    if (!pOutBufLen)
        return answer(ERROR_INVALID_PARAMETER);
    if (sim::fails(net_state.per_adapter, net_state.per_adapter_calls.size()))
        return answer(net_state.per_adapter.code);
    sim::AdapterSpec *a = net_state.find(IfIndex);
    if (!a)
        return answer(ERROR_NO_DATA);
    if (a->per_adapter_result)
        return answer(a->per_adapter_result);

    IP_PER_ADAPTER_INFO rec;
    memset(&rec, 0, sizeof rec);
    rec.AutoconfigEnabled = a->autoconfig_enabled;
    sim::Block b;
    size_t off = b.put(rec);
    std::vector<std::pair<std::string, std::string>> servers;
    for (auto &s : a->dns_servers)
        if (sim::is_ipv4(s))
            servers.push_back({s, ""});
    sim::put_addr_list(b, off + offsetof(IP_PER_ADAPTER_INFO, DnsServerList), servers);

    if (*pOutBufLen < b.size()) {
        *pOutBufLen = b.size();
        DWORD result = answer(ERROR_BUFFER_OVERFLOW);
        if (net_state.on_per_adapter_overflow)
            net_state.on_per_adapter_overflow();
        return result;
    }
    if (!pPerAdapterInfo)
        return answer(ERROR_INVALID_PARAMETER);
    b.emit(pPerAdapterInfo);
    return answer(ERROR_SUCCESS);
}

// --- GetIfEntry2 and ConvertLengthToIpv4Mask -------------------------------------------
DWORD WINAPI GetIfEntry2(PMIB_IF_ROW2 Row)
{
    SIM_CALL(per_adapter);
    if (!Row)
        return ERROR_INVALID_PARAMETER;
    sim::AdapterSpec *a = nullptr;
    if (Row->InterfaceLuid.Value) {
        // Windows looks the row up by LUID first: a row not cleared before the call is
        // looked up by whatever its LUID holds.
        for (auto &x : net_state.adapters)
            if (sim::luid_of(x).Value == Row->InterfaceLuid.Value)
                a = &x;
        net_state.if_entry_calls.push_back(a ? a->index : 0);
        if (!a)
            return ERROR_FILE_NOT_FOUND;
    } else {
        net_state.if_entry_calls.push_back(Row->InterfaceIndex);
        if (!Row->InterfaceIndex)
            return ERROR_INVALID_PARAMETER;
        a = net_state.find(Row->InterfaceIndex);
        if (!a)
            return ERROR_FILE_NOT_FOUND;
    }
    if (a->if_entry_result)
        return a->if_entry_result;

    memset(Row, 0, sizeof *Row);
    Row->InterfaceLuid = sim::luid_of(*a);
    Row->InterfaceIndex = a->index;
    Row->MediaConnectState = (NET_IF_MEDIA_CONNECT_STATE)a->media_state;
    return NO_ERROR;
}

DWORD WINAPI ConvertLengthToIpv4Mask(ULONG MaskLength, PULONG Mask)
{
    SIM_CALL(per_adapter);
    if (!Mask)
        return ERROR_INVALID_PARAMETER;
    if (MaskLength > 32) {
        *Mask = 0xFFFFFFFFu;  // INADDR_NONE
        return ERROR_INVALID_PARAMETER;
    }
    BYTE bytes[4] = {0, 0, 0, 0};
    for (ULONG bit = 0; bit < MaskLength; bit++)
        bytes[bit / 8] |= (BYTE)(0x80 >> (bit % 8));
    memcpy(Mask, bytes, 4);  // network byte order
    return NO_ERROR;
}

// --- the interface table, release and renew --------------------------------------------
static std::u16string tcpip_name(const sim::AdapterSpec &a)
{
    return u"\\DEVICE\\TCPIP_" + sim::utf16(a.adapter_name);
}

DWORD WINAPI GetInterfaceInfo(PIP_INTERFACE_INFO pIfTable, PULONG dwOutBufLen)
{
    SIM_CALL(per_run);
    sim::SizedCall call;
    call.buffer = pIfTable != nullptr;
    call.size_in = dwOutBufLen ? *dwOutBufLen : 0;
    auto answer = [&](DWORD result) {
        call.result = result;
        call.size_out = dwOutBufLen ? *dwOutBufLen : 0;
        net_state.interface_info_calls.push_back(call);
        return result;
    };

    if (!dwOutBufLen)
        return answer(ERROR_INVALID_PARAMETER);
    if (sim::fails(net_state.interface_info, net_state.interface_info_calls.size()))
        return answer(net_state.interface_info.code);
    std::vector<const sim::AdapterSpec *> rows;
    for (auto &a : net_state.adapters)
        if (sim::in_interface_table(a))
            rows.push_back(&a);
    ULONG need = (ULONG)(offsetof(IP_INTERFACE_INFO, Adapter) + rows.size() * sizeof(IP_ADAPTER_INDEX_MAP));
    if (!pIfTable || *dwOutBufLen < need) {
        *dwOutBufLen = need;
        return answer(ERROR_INSUFFICIENT_BUFFER);
    }
    pIfTable->NumAdapters = (LONG)rows.size();
    for (size_t i = 0; i < rows.size(); i++) {
        IP_ADAPTER_INDEX_MAP &m = pIfTable->Adapter[i];
        memset(&m, 0, sizeof m);
        m.Index = rows[i]->index;
        std::u16string name = tcpip_name(*rows[i]);
        memcpy(m.Name, name.data(), (name.size() < MAX_ADAPTER_NAME ? name.size() : MAX_ADAPTER_NAME - 1) * sizeof(WCHAR));
    }
    if (net_state.on_interface_info)
        net_state.on_interface_info(pIfTable);
    return answer(NO_ERROR);
}

static DWORD dhcp_call(bool release, PIP_ADAPTER_INDEX_MAP map)
{
    if (!map)
        return ERROR_INVALID_PARAMETER;
    std::u16string name;
    for (int i = 0; i < MAX_ADAPTER_NAME && map->Name[i]; i++)
        name += map->Name[i];
    sim::AdapterSpec *a = net_state.find(map->Index);
    DWORD result = ERROR_INVALID_PARAMETER;
    if (a && sim::in_interface_table(*a)) {
        result = release ? a->release_result : a->renew_result;
        // A DHCP adapter gives up its IPv4 addresses on release and gets them back on renew.
        if (result == NO_ERROR && (a->flags & IP_ADAPTER_DHCP_ENABLED)) {
            if (release) {
                std::vector<sim::UnicastSpec> keep;
                for (auto &u : a->unicast)
                    (sim::is_ipv4(u.address) ? a->released : keep).push_back(u);
                a->unicast = keep;
            } else {
                a->unicast.insert(a->unicast.begin(), a->released.begin(), a->released.end());
                a->released.clear();
            }
        }
    }
    net_state.dhcp_calls.push_back({release ? "release" : "renew", map->Index, name, result});
    return result;
}

DWORD WINAPI IpReleaseAddress(PIP_ADAPTER_INDEX_MAP AdapterInfo)
{
    SIM_CALL(per_adapter);
    return dhcp_call(true, AdapterInfo);
}

DWORD WINAPI IpRenewAddress(PIP_ADAPTER_INDEX_MAP AdapterInfo)
{
    SIM_CALL(per_adapter);
    return dhcp_call(false, AdapterInfo);
}

// --- the builder -----------------------------------------------------------------------
namespace sim {

Adapter::Adapter(IFTYPE if_type, ULONG index, const std::string &friendly_name)
{
    char name[64];
    snprintf(name, sizeof name, "{%08X-0000-0000-0000-53494D4E4554}", (unsigned)index);
    desc.index = index;
    desc.if_type = if_type;
    desc.adapter_name = name;
    desc.friendly_name = utf16(friendly_name);
}

Adapter &Adapter::name(const std::string &adapter_name) { desc.adapter_name = adapter_name; return *this; }
Adapter &Adapter::description(const std::string &text) { desc.description = utf16(text); return *this; }
Adapter &Adapter::no_friendly_name() { desc.no_friendly_name = true; return *this; }
Adapter &Adapter::dns_suffix(const std::string &suffix) { desc.dns_suffix = utf16(suffix); return *this; }
Adapter &Adapter::physical(const std::vector<BYTE> &bytes, ULONG length)
{
    desc.physical_address = bytes;
    desc.physical_length = length;
    return *this;
}
Adapter &Adapter::set_flags(ULONG bits) { desc.flags |= bits; return *this; }
Adapter &Adapter::clear_flags(ULONG bits) { desc.flags &= ~bits; return *this; }
Adapter &Adapter::no_ipv4() { return clear_flags(IP_ADAPTER_IPV4_ENABLED | IP_ADAPTER_NETBIOS_OVER_TCPIP_ENABLED); }
Adapter &Adapter::no_ipv6() { return clear_flags(IP_ADAPTER_IPV6_ENABLED); }
Adapter &Adapter::oper(IF_OPER_STATUS status) { desc.oper_status = status; return *this; }
Adapter &Adapter::media(int state) { desc.media_state = state; return *this; }
Adapter &Adapter::if_entry_fails(DWORD code) { desc.if_entry_result = code; return *this; }
Adapter &Adapter::speed(ULONG64 transmit, ULONG64 receive)
{
    desc.transmit_speed = transmit;
    desc.receive_speed = receive;
    return *this;
}
Adapter &Adapter::short_layout(ULONG length)
{
    desc.record_length = length ? length : (ULONG)sizeof(IP_ADAPTER_ADDRESSES_XP);
    return *this;
}
Adapter &Adapter::address(const std::string &text, UINT8 prefix_length, ULONG record_length)
{
    family_of(text);  // a mistyped address stops the test here, not at the first call
    desc.unicast.push_back({text, prefix_length, record_length});
    return *this;
}
Adapter &Adapter::gateway(const std::string &text) { family_of(text); desc.gateways.push_back(text); return *this; }
Adapter &Adapter::dns(const std::string &text) { family_of(text); desc.dns_servers.push_back(text); return *this; }
Adapter &Adapter::wins(const std::string &text) { family_of(text); desc.wins_servers.push_back(text); return *this; }
Adapter &Adapter::dhcp(const std::string &server, time_t obtained, time_t expires)
{
    if (!server.empty())
        family_of(server);
    desc.flags |= IP_ADAPTER_DHCP_ENABLED;
    desc.dhcp_server = server;
    desc.lease_obtained = obtained;
    desc.lease_expires = expires;
    return *this;
}
Adapter &Adapter::dhcpv6(const std::vector<BYTE> &duid, ULONG iaid)
{
    desc.duid = duid;
    desc.iaid = iaid;
    return *this;
}
Adapter &Adapter::search_suffix(const std::string &suffix) { desc.dns_suffixes.push_back(utf16(suffix)); return *this; }
Adapter &Adapter::legacy_name(const std::string &name) { desc.legacy_name = name; return *this; }
Adapter &Adapter::no_legacy() { desc.legacy = false; return *this; }
Adapter &Adapter::autoconfig(UINT enabled) { desc.autoconfig_enabled = enabled; return *this; }
Adapter &Adapter::per_adapter_fails(DWORD code) { desc.per_adapter_result = code; return *this; }
Adapter &Adapter::release_result(DWORD code) { desc.release_result = code; return *this; }
Adapter &Adapter::renew_result(DWORD code) { desc.renew_result = code; return *this; }

static std::vector<BYTE> default_mac(ULONG index)
{
    return {0x02, 0x53, 0x49, 0x4D, (BYTE)(index >> 8), (BYTE)index};
}

Adapter ethernet(ULONG index, const std::string &friendly_name)
{
    Adapter a(IF_TYPE_ETHERNET_CSMACD, index, friendly_name);
    a.description("Simulated Gigabit Ethernet Adapter").physical(default_mac(index), 6);
    a.speed(1000000000ull);
    return a;
}

Adapter wifi(ULONG index, const std::string &friendly_name)
{
    Adapter a(IF_TYPE_IEEE80211, index, friendly_name);
    a.description("Simulated Wireless Network Adapter").physical(default_mac(index), 6);
    a.speed(300000000ull);
    return a;
}

Adapter loopback(ULONG index, const std::string &friendly_name)
{
    Adapter a(IF_TYPE_SOFTWARE_LOOPBACK, index, friendly_name);
    a.description("Software Loopback Interface 1").speed(1073741824ull);
    a.clear_flags(IP_ADAPTER_NETBIOS_OVER_TCPIP_ENABLED | IP_ADAPTER_DDNS_ENABLED |
                  IP_ADAPTER_REGISTER_ADAPTER_SUFFIX);
    a.address("::1", 128).address("127.0.0.1", 8);
    return a;
}

Adapter tunnel(ULONG index, const std::string &friendly_name)
{
    Adapter a(IF_TYPE_TUNNEL, index, friendly_name);
    a.description("Teredo Tunneling Pseudo-Interface").speed(100000ull);
    a.no_ipv4();
    return a;
}

}  // namespace sim
