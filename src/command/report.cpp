// One adapter's report block.
#include "report.h"
#include "options.h"
#include "sized_block.h"
#include "text.h"
#include "wireless.h"
#include "../console/layout.h"
#include "../console/pager.h"
#include "../format/netvalues.h"
#include "../plugin/host.h"
#include "../plugin/plugin.h"

// The complete records as Windows lays them out for 32-bit and 64-bit programs; a record
// whose Length is smaller lacks the later fields. The host record's size is the first
// offer to GetNetworkParams. (The native build's simulated records have a layout of their
// own.)
#if defined(_WIN64)
static_assert(sizeof(IP_ADAPTER_ADDRESSES) == 448, "complete adapter record of the 64-bit layout");
static_assert(sizeof(IP_ADAPTER_UNICAST_ADDRESS) == 64, "complete unicast record of the 64-bit layout");
static_assert(sizeof(IP_ADAPTER_INFO) == 704 && offsetof(IP_ADAPTER_INFO, LeaseObtained) == 688 &&
                  sizeof(((IP_ADAPTER_INFO *)0)->LeaseExpires) == 8,
              "legacy adapter record of the 64-bit layout, 64-bit lease times");
static_assert(sizeof(FIXED_INFO) == 600, "host record of the 64-bit layout");
#elif defined(_WIN32)
static_assert(sizeof(IP_ADAPTER_ADDRESSES) == 376, "complete adapter record of the 32-bit layout");
static_assert(sizeof(IP_ADAPTER_UNICAST_ADDRESS) == 48, "complete unicast record of the 32-bit layout");
static_assert(sizeof(IP_ADAPTER_INFO) == 640 && offsetof(IP_ADAPTER_INFO, LeaseObtained) == 632,
              "legacy adapter record of the 32-bit layout");
static_assert(sizeof(FIXED_INFO) == 584, "host record of the 32-bit layout");
#endif

const WCHAR *const media_state_names[4] = {
    TEXT("Unknown"),
    TEXT("Connected"),
    TEXT("Disconnected"),
    TEXT("Other"),
};

#define MEDIA_STATE_OTHER 3
#define AUTOCONFIG_FIRST_SIZE 180
// GetPerAdapterInfo answers that keep asking for more are given up after this many.
#define AUTOCONFIG_ATTEMPTS 8

bool is_full_layout(const IP_ADAPTER_ADDRESSES *adapter)
{
    return adapter && adapter->Length >= sizeof(IP_ADAPTER_ADDRESSES);
}

// Before major version 6 the unicast record ends before OnLinkPrefixLength. In the 32-bit
// layout that older record is padded to the complete one's 48 bytes, so only the system's
// version tells what the field's place holds.
static bool has_prefix_length(const IP_ADAPTER_UNICAST_ADDRESS *u)
{
    return os_version.dwMajorVersion >= 6 && u->Length >= sizeof(IP_ADAPTER_UNICAST_ADDRESS);
}

static bool is_ipv4(const SOCKADDR *address)
{
    return address && address->sa_family == AF_INET;
}

static ULONG ipv4_of(const SOCKADDR *address)
{
    return ((const SOCKADDR_IN *)address)->sin_addr.s_addr;
}

static DWORD call_per_adapter_info(const void *args, void *block, ULONG *size)
{
    return GetPerAdapterInfo(*(const ULONG *)args, (IP_PER_ADAPTER_INFO *)block, size);
}

int query_autoconfig(ULONG if_index)
{
    const BlockQuery query = {.call = call_per_adapter_info, .args = &if_index,
                              .first_size = AUTOCONFIG_FIRST_SIZE, .slack = 0,
                              .max_calls = AUTOCONFIG_ATTEMPTS, .must_grow = true};
    void *block;
    int result;

    if (get_sized_block(&query, &block, NULL, NULL) != 0)
        return -1;
    result = ((IP_PER_ADAPTER_INFO *)block)->AutoconfigEnabled ? 1 : 0;
    HeapFree(GetProcessHeap(), 0, block);
    return result;
}

ULONG first_ipv4_gateway(const IP_ADAPTER_ADDRESSES *adapter)
{
    if (!is_full_layout(adapter))
        return 0;
    for (const IP_ADAPTER_GATEWAY_ADDRESS *g = adapter->FirstGatewayAddress; g; g = g->Next) {
        if (!is_ipv4(g->Address.lpSockaddr))
            continue;
        ULONG address = ipv4_of(g->Address.lpSockaddr);
        if (address != 0 && address != 0xFFFFFFFFu)
            return address;
    }
    return 0;
}

// The first value of a list gets the label, every further one the continuation indent.
static void list_position(LPCWSTR label, bool *first)
{
    if (*first)
        write_label(label);
    else
        write_continuation();
    *first = false;
}

// A list of server addresses (DNS or WINS records) in the plain colour, one line each.
template <typename Record> static int server_lines(LPCWSTR label, const Record *record)
{
    WCHAR text[TEXT_BUFFER_CHARS];
    bool first = true;

    for (; record; record = record->Next) {
        list_position(label, &first);
        if (format_socket_address(record->Address.lpSockaddr, text) != 0)
            text[0] = 0;
        QPuts(text);
        if (end_line() == USER_BREAK)
            return USER_BREAK;
    }
    return 0;
}

static int link_speed_line(const IP_ADAPTER_ADDRESSES *adapter)
{
    WCHAR text[TEXT_BUFFER_CHARS];

    write_label(TEXT("   Link speed"));
    format_link_speed(text, adapter->TransmitLinkSpeed);
    if (adapter->TransmitLinkSpeed == adapter->ReceiveLinkSpeed) {
        QPuts(text);
    } else {
        Printf(TEXT("%s (transmit) / "), text);
        format_link_speed(text, adapter->ReceiveLinkSpeed);
        Printf(TEXT("%s (receive)"), text);
    }
    return end_line();
}

// Rows of the IPv4 addresses: the addresses, gateway, subnet mask, network, DHCP server
// and lease times.
static int ipv4_lines(const IP_ADAPTER_ADDRESSES *adapter, const IP_ADAPTER_INFO *legacy_info,
                      bool detailed, DWORD date_format)
{
    WCHAR text[TEXT_BUFFER_CHARS];
    bool first = true;
    ULONG first_address = 0;
    ULONG prefix = 0;
    ULONG mask = 0;
    bool full = is_full_layout(adapter);
    bool dhcp = (adapter->Flags & IP_ADAPTER_DHCP_ENABLED) != 0;

    for (const IP_ADAPTER_UNICAST_ADDRESS *u = adapter->FirstUnicastAddress; u; u = u->Next) {
        if (!is_ipv4(u->Address.lpSockaddr))
            continue;
        if (first) {
            first_address = ipv4_of(u->Address.lpSockaddr);
            if (has_prefix_length(u) && u->OnLinkPrefixLength >= 1 && u->OnLinkPrefixLength <= 31)
                prefix = u->OnLinkPrefixLength;
        }
        list_position(TEXT("   IPv4 address"), &first);
        format_socket_address(u->Address.lpSockaddr, text);
        if (write_highlighted(text, 1) == USER_BREAK)
            return USER_BREAK;
    }

    ULONG gateway = first_ipv4_gateway(adapter);
    if (gateway) {
        format_ipv4(gateway, text);
        if (write_report_line(TEXT("   Gateway"), text) == USER_BREAK)
            return USER_BREAK;
    }
    if (prefix && ConvertLengthToIpv4Mask(prefix, &mask) == NO_ERROR) {
        format_ipv4(mask, text);
        if (write_report_line(TEXT("   Subnet mask"), text) == USER_BREAK)
            return USER_BREAK;
    } else {
        mask = 0;
    }
    if (first_address && mask && (first_address & mask)) {
        format_ipv4(first_address & mask, text);
        write_label(TEXT("   Network CIDR"));
        QPuts(text);
        Printf(TEXT("/%u"), (UINT)prefix);
        if (end_lines(1) == USER_BREAK)
            return USER_BREAK;
    }
    if (!detailed || !dhcp || !full)
        return 0;

    const SOCKADDR *server = adapter->Dhcpv4Server.lpSockaddr;
    // Only an IPv4 socket address has an IPv4 address field to show.
    if (is_ipv4(server) && ipv4_of(server) != 0 && ipv4_of(server) != 0xFFFFFFFFu) {
        format_ipv4(ipv4_of(server), text);
        if (write_report_line(TEXT("   DHCP server"), text) == USER_BREAK)
            return USER_BREAK;
    }
    if (legacy_info && legacy_info->LeaseObtained && legacy_info->LeaseExpires) {
        format_lease_time(text, date_format, (ULONG64)legacy_info->LeaseObtained);
        if (write_report_line(TEXT("   Lease obtained/renewed"), text) == USER_BREAK)
            return USER_BREAK;
        format_lease_time(text, date_format, (ULONG64)legacy_info->LeaseExpires);
        if (write_report_line(TEXT("   Lease expires"), text) == USER_BREAK)
            return USER_BREAK;
    }
    return 0;
}

// Rows of the IPv6 addresses, with the DHCPv6 identity in a detailed run.
static int ipv6_lines(const IP_ADAPTER_ADDRESSES *adapter, bool detailed)
{
    WCHAR text[TEXT_BUFFER_CHARS];
    bool first = true;

    for (const IP_ADAPTER_UNICAST_ADDRESS *u = adapter->FirstUnicastAddress; u; u = u->Next) {
        if (!u->Address.lpSockaddr || u->Address.lpSockaddr->sa_family != AF_INET6)
            continue;
        list_position(TEXT("   IPv6 address"), &first);
        format_socket_address(u->Address.lpSockaddr, text);
        if (write_highlighted(text, 1) == USER_BREAK)
            return USER_BREAK;
    }
    if (!detailed || first || !is_full_layout(adapter) || !adapter->Dhcpv6Iaid ||
        !adapter->Dhcpv6ClientDuidLength)
        return 0;
    wsprintfW(text, TEXT("%u"), (UINT)adapter->Dhcpv6Iaid);
    if (write_report_line(TEXT("   DHCPv6 IAID"), text) == USER_BREAK)
        return USER_BREAK;
    // The length comes with the record; the bytes are never more than the field holds.
    ULONG length = adapter->Dhcpv6ClientDuidLength;
    if (length > sizeof(adapter->Dhcpv6ClientDuid))
        length = sizeof(adapter->Dhcpv6ClientDuid);
    format_hex_bytes(length, adapter->Dhcpv6ClientDuid, text);
    return write_report_line(TEXT("   DHCPv6 client DUID"), text);
}

static int search_list_lines(const IP_ADAPTER_ADDRESSES *adapter)
{
    WCHAR text[TEXT_BUFFER_CHARS];
    bool first = true;

    for (const IP_ADAPTER_DNS_SUFFIX *s = adapter->FirstDnsSuffix; s; s = s->Next) {
        list_position(TEXT("   DNS search list"), &first);
        lstrcpynW(text, s->String, (int)(sizeof(s->String) / sizeof(s->String[0])));
        QPuts(text);
        if (end_line() == USER_BREAK)
            return USER_BREAK;
    }
    return 0;
}

static int report_fields(const IP_ADAPTER_ADDRESSES *adapter, const IP_ADAPTER_INFO *legacy_info,
                         DWORD flags, DWORD date_format, DWORD state, bool show_addresses)
{
    WCHAR text[TEXT_BUFFER_CHARS];
    bool detailed = (flags & CommandOptions::detailed) != 0;
    bool full = is_full_layout(adapter);
    bool ipv4 = (adapter->Flags & IP_ADAPTER_IPV4_ENABLED) != 0;
    bool ipv6 = (adapter->Flags & IP_ADAPTER_IPV6_ENABLED) != 0;

    if (write_report_line(TEXT("   DNS suffix"), adapter->DnsSuffix) == USER_BREAK)
        return USER_BREAK;
    if (adapter->Description && adapter->Description[0] &&
        write_report_line(TEXT("   Description"), adapter->Description) == USER_BREAK)
        return USER_BREAK;
    if ((flags & CommandOptions::show_guid) && adapter->AdapterName && adapter->AdapterName[0]) {
        ansi_to_wide(adapter->AdapterName, TEXT_BUFFER_CHARS - 1, text);
        if (write_report_line(TEXT("   Adapter GUID"), text) == USER_BREAK)
            return USER_BREAK;
    }
    if (detailed && adapter->PhysicalAddressLength) {
        // The length comes with the record; the bytes are never more than the field holds.
        ULONG length = adapter->PhysicalAddressLength;
        if (length > sizeof(adapter->PhysicalAddress))
            length = sizeof(adapter->PhysicalAddress);
        format_hex_bytes(length, adapter->PhysicalAddress, text);
        if (write_report_line(TEXT("   Physical address"), text) == USER_BREAK)
            return USER_BREAK;
    }
    if (write_report_line(TEXT("   Media state"), media_state_names[state]) == USER_BREAK)
        return USER_BREAK;
    if (full && adapter->TransmitLinkSpeed && link_speed_line(adapter) == USER_BREAK)
        return USER_BREAK;
    if (detailed) {
        int autoconfig = query_autoconfig(adapter->IfIndex);
        if (write_report_line(TEXT("   DHCP"),
                       enabled_text((adapter->Flags & IP_ADAPTER_DHCP_ENABLED) ? 1 : 0)) ==
                USER_BREAK ||
            write_report_line(TEXT("   Autoconfig"), enabled_text(autoconfig)) == USER_BREAK)
            return USER_BREAK;
        if (adapter->IfType == IF_TYPE_IEEE80211 && report_wireless(adapter) == USER_BREAK)
            return USER_BREAK;
    }
    if (show_addresses && ipv4 && ipv4_lines(adapter, legacy_info, detailed, date_format) == USER_BREAK)
        return USER_BREAK;
    if (show_addresses && ipv6 && ipv6_lines(adapter, detailed) == USER_BREAK)
        return USER_BREAK;
    if (detailed && show_addresses) {
        if (server_lines(TEXT("   DNS servers"), adapter->FirstDnsServerAddress) == USER_BREAK)
            return USER_BREAK;
        if (full && server_lines(TEXT("   WINS server"), adapter->FirstWinsServerAddress) ==
                        USER_BREAK)
            return USER_BREAK;
        if (ipv4 && write_report_line(TEXT("   NetBIOS over TCP/IP"),
                               enabled_text((adapter->Flags & IP_ADAPTER_NETBIOS_OVER_TCPIP_ENABLED)
                                                ? 1
                                                : 0)) == USER_BREAK)
            return USER_BREAK;
    }
    if (detailed && full && search_list_lines(adapter) == USER_BREAK)
        return USER_BREAK;
    return 0;
}

int report_adapter(const IP_ADAPTER_ADDRESSES *adapter, const IP_ADAPTER_INFO *legacy_info,
                   DWORD flags, DWORD date_format)
{
    WCHAR type[TEXT_BUFFER_CHARS];
    MIB_IF_ROW2 row;
    DWORD state;
    bool show_addresses;

    if (!adapter)
        return 0;

    ZeroMemory(&row, sizeof(row));
    row.InterfaceIndex = adapter->IfIndex;
    // A state the enumeration does not name is undefined to load through its type: read
    // the 32-bit number the field holds.
    state = MEDIA_STATE_OTHER;
    if (GetIfEntry2(&row) == NO_ERROR)
        CopyMemory(&state, &row.MediaConnectState, sizeof(state));
    if (state > 2) {
        state = MEDIA_STATE_OTHER;
        show_addresses = true;
    } else {
        show_addresses = state == 1;
    }

    adapter_type_name(adapter->IfType, type);
    Printf(TEXT("[%d]  %s adapter:  "), (int)adapter->IfIndex, type);
    if (write_highlighted(adapter->FriendlyName ? adapter->FriendlyName : TEXT(""), 2) ==
        USER_BREAK)
        return USER_BREAK;
    if (report_fields(adapter, legacy_info, flags, date_format, state, show_addresses) ==
        USER_BREAK)
        return USER_BREAK;
    return end_line();
}
