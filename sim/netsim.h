// The simulated network of one test: the machine's adapters as a test describes them, the
// host record, the wireless interfaces, the faults to inject, and logs of what the code
// under test asked. GetAdaptersAddresses and friends (sim/iphlp.cpp) and the wireless LAN
// service (sim/wlan.cpp) answer from here. Everything is reset between tests.
//
//     sim::net().add(sim::ethernet(7, "Ethernet")
//                        .address("192.0.2.10", 24)
//                        .gateway("192.0.2.1")
//                        .dns("198.51.100.53"));
//     sim::net().add(sim::loopback(1));
//
// Addresses are text: dotted IPv4, IPv6 with "::" and an optional "%scope", or "#N" for a
// socket address of the unknown family N.
#ifndef NICSHOW_SIM_NETSIM_H
#define NICSHOW_SIM_NETSIM_H

#include "sim.h"

#include <winsock2.h>
#include <iphlpapi.h>
#include <netioapi.h>
#include <wlanapi.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace sim {

// One unicast address. A record length of 0 gives the complete record of this build. The
// record is always laid out whole, OnLinkPrefixLength included: on 32-bit Windows the XP
// record is as long as the complete one, only its Length tells them apart.
struct UnicastSpec {
    std::string address;
    UINT8 prefix_length = 0;
    ULONG record_length = 0;
};

// One adapter as GetAdaptersAddresses reports it; the legacy record, the interface table
// entry, the interface row and the per-adapter record are derived from the same data.
struct AdapterSpec {
    ULONG index = 0;
    IFTYPE if_type = IF_TYPE_ETHERNET_CSMACD;
    std::string adapter_name;  // the GUID in braces; made from the index unless set
    std::u16string friendly_name, description, dns_suffix;
    bool no_friendly_name = false;  // FriendlyName is a null pointer
    std::vector<BYTE> physical_address;
    ULONG physical_length = 0;  // PhysicalAddressLength, at most 8
    ULONG flags = IP_ADAPTER_DDNS_ENABLED | IP_ADAPTER_REGISTER_ADAPTER_SUFFIX |
                  IP_ADAPTER_NETBIOS_OVER_TCPIP_ENABLED | IP_ADAPTER_IPV4_ENABLED |
                  IP_ADAPTER_IPV6_ENABLED;
    IF_OPER_STATUS oper_status = IfOperStatusUp;
    ULONG64 transmit_speed = 0, receive_speed = 0;
    ULONG record_length = 0;  // Length of the adapter record; 0: the complete record

    std::vector<UnicastSpec> unicast;
    std::vector<std::string> dns_servers, gateways, wins_servers;
    std::string dhcp_server;  // empty: none
    std::vector<BYTE> duid;
    ULONG iaid = 0;
    std::vector<std::u16string> dns_suffixes;  // the FirstDnsSuffix chain

    // the legacy record (GetAdaptersInfo)
    bool legacy = true;           // listed by GetAdaptersInfo when IPv4 is enabled
    std::string legacy_name;      // its AdapterName when it should differ
    time_t lease_obtained = 0, lease_expires = 0;

    // the interface row (GetIfEntry2): a state above 2 is passed on as it is
    int media_state = MediaConnectStateConnected;
    DWORD if_entry_result = 0;  // non-zero: GetIfEntry2 fails with this for the adapter

    // GetPerAdapterInfo
    UINT autoconfig_enabled = 0;
    DWORD per_adapter_result = 0;

    // DHCP release and renew answers
    DWORD release_result = 0, renew_result = 0;
    std::vector<UnicastSpec> released;  // IPv4 addresses given up by a release
};

// The builder: reads as a sentence, and becomes an AdapterSpec record when added.
class Adapter {
public:
    Adapter(IFTYPE if_type, ULONG index, const std::string &friendly_name);

    Adapter &name(const std::string &adapter_name);
    Adapter &description(const std::string &text);
    Adapter &no_friendly_name();
    Adapter &dns_suffix(const std::string &suffix);
    Adapter &physical(const std::vector<BYTE> &bytes, ULONG length);  // length may differ
    Adapter &set_flags(ULONG bits);
    Adapter &clear_flags(ULONG bits);
    Adapter &no_ipv4();
    Adapter &no_ipv6();
    Adapter &oper(IF_OPER_STATUS status);
    Adapter &media(int state);
    Adapter &if_entry_fails(DWORD code);
    Adapter &speed(ULONG64 transmit, ULONG64 receive);
    Adapter &speed(ULONG64 both) { return speed(both, both); }
    Adapter &short_layout(ULONG length = 0);  // 0: the Windows XP record
    Adapter &address(const std::string &text, UINT8 prefix_length, ULONG record_length = 0);
    Adapter &gateway(const std::string &text);
    Adapter &dns(const std::string &text);
    Adapter &wins(const std::string &text);
    Adapter &dhcp(const std::string &server, time_t obtained, time_t expires);
    Adapter &dhcpv6(const std::vector<BYTE> &duid, ULONG iaid);
    Adapter &search_suffix(const std::string &suffix);
    Adapter &legacy_name(const std::string &name);
    Adapter &no_legacy();
    Adapter &autoconfig(UINT enabled);
    Adapter &per_adapter_fails(DWORD code);
    Adapter &release_result(DWORD code);
    Adapter &renew_result(DWORD code);

    AdapterSpec desc;
};

// The usual kinds, with the defaults of such an adapter: Ethernet and WiFi have a
// description, the MAC 02-53-49-4D-xx-yy (xx-yy the index) and 1 Gbps or 300 Mbps both
// ways; the loopback has ::1/128 and 127.0.0.1/8; the tunnel is Teredo, IPv6 only. None
// has an address, gateway or server unless the test gives one.
Adapter ethernet(ULONG index, const std::string &friendly_name);
Adapter wifi(ULONG index, const std::string &friendly_name);
Adapter loopback(ULONG index, const std::string &friendly_name = "Loopback Pseudo-Interface 1");
Adapter tunnel(ULONG index, const std::string &friendly_name);

// Answer `code` instead of data on the call with this number (1 = the first call), or on
// every call when `call` is 0. A code of 0 means no fault.
struct Failure {
    DWORD code = 0;
    int call = 0;
};

// One call of a function with the buffer-size protocol.
struct SizedCall {
    ULONG family = 0, flags = 0;  // GetAdaptersAddresses only
    ULONG index = 0;              // GetPerAdapterInfo only
    bool buffer = false;          // a buffer was given
    ULONG size_in = 0, size_out = 0;
    DWORD result = 0;
};

struct DhcpCall {
    std::string action;  // "release" or "renew"
    ULONG index;
    std::u16string name;
    DWORD result;
};

// The host record of GetNetworkParams.
struct HostSpec {
    std::string host_name = "SIMHOST";
    std::string domain_name;
    UINT node_type = HYBRID_NODETYPE;
    UINT enable_routing = 0, enable_proxy = 0, enable_dns = 0;
    std::vector<std::string> dns_servers;  // each beyond the first lengthens the record
    int grow = 0;  // this many ERROR_BUFFER_OVERFLOW answers each add a DNS server
    // HostName and DomainName filled to their last byte, with no terminator (the names
    // repeated as often as they fit)
    bool unterminated_names = false;
};

// Unknown indexes: GetIfEntry2 answers ERROR_FILE_NOT_FOUND, GetPerAdapterInfo
// ERROR_NO_DATA, IpReleaseAddress and IpRenewAddress ERROR_INVALID_PARAMETER. A machine
// without adapters answers GetAdaptersAddresses and GetAdaptersInfo with ERROR_NO_DATA and
// leaves the size alone.
struct NetState {
    std::vector<AdapterSpec> adapters;
    // Each ERROR_BUFFER_OVERFLOW answer of GetAdaptersAddresses or GetAdaptersInfo lets the
    // next of these arrive on the machine, then calls on_overflow: a list that grows
    // between two calls.
    std::vector<AdapterSpec> arriving;
    std::function<void()> on_overflow;
    // Called after each ERROR_BUFFER_OVERFLOW answer of GetPerAdapterInfo: a record that
    // grows between two calls.
    std::function<void()> on_per_adapter_overflow;
    // Called with each interface table GetInterfaceInfo has just filled in, so that a test
    // can make the system report something odd (a count beyond the entries, say).
    std::function<void(PIP_INTERFACE_INFO)> on_interface_info;
    HostSpec host;

    Failure addresses, info, network_params, per_adapter, interface_info;
    // What GetAdaptersInfo answers a call without a block that learns the size it needs.
    DWORD info_size_answer = ERROR_BUFFER_OVERFLOW;

    std::vector<SizedCall> addresses_calls, info_calls, network_params_calls,
        per_adapter_calls, interface_info_calls;
    std::vector<ULONG> if_entry_calls;  // the interface index of every GetIfEntry2
    std::vector<DhcpCall> dhcp_calls;

    void add(const Adapter &adapter);
    AdapterSpec *find(ULONG index);
};
NetState &net();

// The registry value that holds the DNS suffix search list.
void set_search_list(const std::string &list, DWORD type = REG_SZ);

// What GetAdaptersAddresses would need for this family and these flags, in bytes.
ULONG addresses_size(ULONG family, ULONG flags);

// --- wireless --------------------------------------------------------------------------
struct WlanSpec {
    GUID guid{};
    DWORD connection_result = 0;   // answer of the current-connection query
    bool connection_null = false;  // it succeeds but hands back no record
    WLAN_CONNECTION_ATTRIBUTES attributes{};
    DWORD channel_result = 0;
    bool channel_null = false;  // the channel query succeeds but hands back no value
    ULONG channel = 0;
};

class WlanInterface {
public:
    explicit WlanInterface(const std::string &guid);  // "{xxxxxxxx-...}"

    WlanInterface &state(WLAN_INTERFACE_STATE state);
    WlanInterface &ssid(const std::string &ssid);  // the length is the text's
    WlanInterface &ssid_length(ULONG length);      // what uSSIDLength claims
    WlanInterface &phy(ULONG type);
    WlanInterface &signal(ULONG quality);
    WlanInterface &rates(ULONG rx_kbps, ULONG tx_kbps);
    WlanInterface &security(ULONG auth, ULONG cipher);
    WlanInterface &channel(ULONG channel);
    WlanInterface &channel_fails(DWORD code);
    WlanInterface &channel_null();
    WlanInterface &connection_fails(DWORD code);
    WlanInterface &connection_null();

    WlanSpec desc;
};

struct WlanQuery {
    GUID guid;
    ULONG opcode;
    DWORD result;
};

// An unknown GUID is ERROR_NOT_FOUND; opcodes other than the current connection and the
// channel are ERROR_NOT_SUPPORTED. Freeing a block the service never gave aborts the test.
struct WlanState {
    std::vector<WlanSpec> interfaces;
    std::vector<WlanQuery> queries;
    long allocations = 0, frees = 0;

    void add(const WlanInterface &wlan_interface);
};
WlanState &wlan();
// Blocks WlanQueryInterface handed out and WlanFreeMemory has not taken back.
long wlan_outstanding();

// Parses "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" as IIDFromString does.
bool parse_guid(const std::u16string &text, GUID *guid);
std::string guid_text(const GUID &guid);

// --- sounds ----------------------------------------------------------------------------
struct Sound {
    ULONG_PTR sound;  // with SND_ALIAS_ID the alias number
    HMODULE module;
    DWORD flags;
};
std::vector<Sound> &sounds();

}  // namespace sim

#endif
