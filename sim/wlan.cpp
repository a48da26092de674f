// Simulated wireless LAN service: interface queries answered from the interfaces a test
// described, with blocks of the service's own that only WlanFreeMemory takes back; and the
// COM GUID parser that turns an adapter name into an interface GUID.
#include "netsim.h"

#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <map>

namespace sim {

static WlanState wlan_state;
static std::map<void *, size_t> wlan_blocks;

static void reset_wlan()
{
    for (auto &b : wlan_blocks)
        free(b.first);
    wlan_blocks.clear();
    wlan_state = WlanState();
}
static ResetHook wlan_hook(reset_wlan);

WlanState &wlan()
{
    return wlan_state;
}

long wlan_outstanding()
{
    return (long)wlan_blocks.size();
}

void WlanState::add(const WlanInterface &wlan_interface)
{
    interfaces.push_back(wlan_interface.desc);
}

static int hex_digit(char16_t c)
{
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

bool parse_guid(const std::u16string &text, GUID *guid)
{
    if (text.size() != 38 || text[0] != u'{' || text[37] != u'}')
        return false;
    BYTE bytes[16];
    size_t n = 0;
    for (size_t i = 1; i < 37; i++) {
        if (i == 9 || i == 14 || i == 19 || i == 24) {
            if (text[i] != u'-')
                return false;
            continue;
        }
        int hi = hex_digit(text[i]), lo = hex_digit(text[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        bytes[n++] = (BYTE)(hi << 4 | lo);
        i++;
    }
    guid->Data1 = (uint32_t)bytes[0] << 24 | (uint32_t)bytes[1] << 16 | (uint32_t)bytes[2] << 8 | bytes[3];
    guid->Data2 = (uint16_t)(bytes[4] << 8 | bytes[5]);
    guid->Data3 = (uint16_t)(bytes[6] << 8 | bytes[7]);
    memcpy(guid->Data4, bytes + 8, 8);
    return true;
}

std::string guid_text(const GUID &g)
{
    char buf[40];
    snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1,
             g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4],
             g.Data4[5], g.Data4[6], g.Data4[7]);
    return buf;
}

// --- the builder -----------------------------------------------------------------------
WlanInterface::WlanInterface(const std::string &guid)
{
    if (!parse_guid(utf16(guid), &desc.guid)) {
        fprintf(stderr, "sim: not a GUID: \"%s\"\n", guid.c_str());
        abort();
    }
    desc.attributes.isState = wlan_interface_state_connected;
    desc.attributes.wlanAssociationAttributes.dot11PhyType = dot11_phy_type_ht;
    desc.attributes.wlanSecurityAttributes.dot11AuthAlgorithm = DOT11_AUTH_ALGO_80211_OPEN;
    desc.attributes.wlanSecurityAttributes.dot11CipherAlgorithm = DOT11_CIPHER_ALGO_NONE;
}

WlanInterface &WlanInterface::state(WLAN_INTERFACE_STATE state)
{
    desc.attributes.isState = state;
    return *this;
}

WlanInterface &WlanInterface::ssid(const std::string &ssid)
{
    DOT11_SSID &s = desc.attributes.wlanAssociationAttributes.dot11Ssid;
    memset(s.ucSSID, 0, sizeof s.ucSSID);
    size_t n = ssid.size() < DOT11_SSID_MAX_LENGTH ? ssid.size() : DOT11_SSID_MAX_LENGTH;
    memcpy(s.ucSSID, ssid.data(), n);
    s.uSSIDLength = (ULONG)n;
    return *this;
}

WlanInterface &WlanInterface::ssid_length(ULONG length)
{
    desc.attributes.wlanAssociationAttributes.dot11Ssid.uSSIDLength = length;
    return *this;
}

WlanInterface &WlanInterface::phy(ULONG type)
{
    desc.attributes.wlanAssociationAttributes.dot11PhyType = (DOT11_PHY_TYPE)type;
    return *this;
}

WlanInterface &WlanInterface::signal(ULONG quality)
{
    desc.attributes.wlanAssociationAttributes.wlanSignalQuality = quality;
    return *this;
}

WlanInterface &WlanInterface::rates(ULONG rx_kbps, ULONG tx_kbps)
{
    desc.attributes.wlanAssociationAttributes.ulRxRate = rx_kbps;
    desc.attributes.wlanAssociationAttributes.ulTxRate = tx_kbps;
    return *this;
}

WlanInterface &WlanInterface::security(ULONG auth, ULONG cipher)
{
    WLAN_SECURITY_ATTRIBUTES &s = desc.attributes.wlanSecurityAttributes;
    s.dot11AuthAlgorithm = (DOT11_AUTH_ALGORITHM)auth;
    s.dot11CipherAlgorithm = (DOT11_CIPHER_ALGORITHM)cipher;
    return *this;
}

WlanInterface &WlanInterface::channel(ULONG channel)
{
    desc.channel = channel;
    return *this;
}

WlanInterface &WlanInterface::channel_fails(DWORD code)
{
    desc.channel_result = code;
    return *this;
}

WlanInterface &WlanInterface::channel_null()
{
    desc.channel_null = true;
    return *this;
}

WlanInterface &WlanInterface::connection_fails(DWORD code)
{
    desc.connection_result = code;
    return *this;
}

WlanInterface &WlanInterface::connection_null()
{
    desc.connection_null = true;
    return *this;
}

static void *hand_out(const void *data, size_t size)
{
    void *p = malloc(size);
    memcpy(p, data, size);
    wlan_blocks[p] = size;
    wlan_state.allocations++;
    return p;
}

}  // namespace sim

using sim::wlan_state;

DWORD WINAPI WlanQueryInterface(HANDLE hClientHandle, const GUID *pInterfaceGuid,
                                WLAN_INTF_OPCODE OpCode, PVOID pReserved, PDWORD pdwDataSize,
                                PVOID *ppData, PWLAN_OPCODE_VALUE_TYPE)
{
    SIM_CALL(per_adapter);
    GUID none{};
    auto answer = [&](DWORD result) {
        wlan_state.queries.push_back({pInterfaceGuid ? *pInterfaceGuid : none, (ULONG)OpCode, result});
        return result;
    };
    if (!hClientHandle || hClientHandle == INVALID_HANDLE_VALUE)
        return answer(ERROR_INVALID_HANDLE);
    if (!pInterfaceGuid || pReserved || !pdwDataSize || !ppData)
        return answer(ERROR_INVALID_PARAMETER);

    const sim::WlanSpec *w = nullptr;
    for (auto &x : wlan_state.interfaces)
        if (memcmp(&x.guid, pInterfaceGuid, sizeof(GUID)) == 0)
            w = &x;
    if (!w)
        return answer(ERROR_NOT_FOUND);

    if (OpCode == wlan_intf_opcode_current_connection) {
        if (w->connection_result)
            return answer(w->connection_result);
        *pdwDataSize = sizeof(WLAN_CONNECTION_ATTRIBUTES);
        *ppData = w->connection_null ? nullptr : sim::hand_out(&w->attributes, sizeof w->attributes);
    } else if (OpCode == wlan_intf_opcode_channel_number) {
        if (w->channel_result)
            return answer(w->channel_result);
        *pdwDataSize = sizeof(ULONG);
        *ppData = w->channel_null ? nullptr : sim::hand_out(&w->channel, sizeof w->channel);
    } else {
        return answer(ERROR_NOT_SUPPORTED);
    }
    return answer(ERROR_SUCCESS);
}

VOID WINAPI WlanFreeMemory(PVOID pMemory)
{
    SIM_CALL(per_adapter);
    if (!pMemory)
        return;
    auto it = sim::wlan_blocks.find(pMemory);
    if (it == sim::wlan_blocks.end()) {
        fprintf(stderr, "sim: WlanFreeMemory of a block the service never gave: %p\n", pMemory);
        abort();
    }
    free(pMemory);
    sim::wlan_blocks.erase(it);
    wlan_state.frees++;
}

HRESULT WINAPI IIDFromString(LPCOLESTR lpsz, LPIID lpiid)
{
    SIM_CALL(per_adapter);
    if (!lpiid)
        return E_INVALIDARG;
    if (!lpsz) {
        memset(lpiid, 0, sizeof *lpiid);
        return S_OK;
    }
    GUID g;
    if (!sim::parse_guid(lpsz, &g))
        return CO_E_IIDSTRING;
    *lpiid = g;
    return S_OK;
}
