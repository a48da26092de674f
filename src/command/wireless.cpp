// WiFi details of a wireless adapter.
#include "wireless.h"
#include "text.h"
#include "../console/layout.h"
#include "../console/pager.h"
#include "../format/netvalues.h"
#include "../plugin/host.h"
#include "../plugin/plugin.h"
#include "../plugin/wlan_library.h"

const WCHAR *const wifi_state_names[9] = {
    TEXT("Not ready"),     TEXT("Connected"),   TEXT("Ad hoc network formed"),
    TEXT("Disconnecting"), TEXT("Disconnected"), TEXT("Associating"),
    TEXT("Discovering"),   TEXT("Authenticating"), TEXT("Unknown"),
};

const WCHAR *const phy_type_names[9] = {
    TEXT("Unknown"),         TEXT("FHSS"),           TEXT("DSSS"),
    TEXT("IR baseband"),     TEXT("OFDM (802.11a?)"), TEXT("HR-DSSS"),
    TEXT("ERP (802.11g?)"),  TEXT("HT (802.11n?)"),  TEXT("VHT (802.11ac?)"),
};

LPCWSTR wifi_security_name(ULONG cipher, ULONG auth)
{
    switch (cipher) {
    case 0x00: return TEXT("None");
    case 0x01: return TEXT("WEP-40");
    case 0x02: return TEXT("WPA-TKIP");
    case 0x04: return auth == 6 ? TEXT("WPA2 Enterprise") : TEXT("WPA2 Personal");
    case 0x05: return TEXT("WEP-104");
    case 0x100: return TEXT("Group key");
    case 0x101: return TEXT("WEP");
    default: return TEXT("Unknown");
    }
}

// The lines of a connected interface after the state line; 0 or USER_BREAK.
static int connected_lines(const GUID *guid, const WLAN_CONNECTION_ATTRIBUTES *conn)
{
    const WLAN_ASSOCIATION_ATTRIBUTES *assoc = &conn->wlanAssociationAttributes;
    const WLAN_SECURITY_ATTRIBUTES *security = &conn->wlanSecurityAttributes;
    WCHAR text[TEXT_BUFFER_CHARS];
    char ssid[TEXT_BUFFER_CHARS];
    DWORD size = 0;
    PVOID channel = NULL;
    DWORD phy = (DWORD)assoc->dot11PhyType;

    if (assoc->dot11Ssid.uSSIDLength) {
        // uSSIDLength comes from the service; the bytes are never more than ucSSID holds.
        ULONG length = assoc->dot11Ssid.uSSIDLength;
        if (length > sizeof(assoc->dot11Ssid.ucSSID))
            length = sizeof(assoc->dot11Ssid.ucSSID);
        ZeroMemory(ssid, sizeof(ssid));
        for (ULONG i = 0; i < length && assoc->dot11Ssid.ucSSID[i]; i++)
            ssid[i] = (char)assoc->dot11Ssid.ucSSID[i];
        ansi_to_wide(ssid, sizeof(ssid), text);
        if (text[0] && write_report_line(TEXT("   WiFi SSID"), text) == USER_BREAK)
            return USER_BREAK;
    }
    if (write_report_line(TEXT("   WiFi radio type"), phy_type_names[phy < 9 ? phy : 0]) == USER_BREAK)
        return USER_BREAK;
    if (write_report_line(TEXT("   WiFi security"),
                  wifi_security_name((ULONG)security->dot11CipherAlgorithm,
                                     (ULONG)security->dot11AuthAlgorithm)) == USER_BREAK)
        return USER_BREAK;
    if (wlan_api.query_interface(wlan_client, guid, wlan_intf_opcode_channel_number, NULL,
                                 &size, &channel, NULL) == ERROR_SUCCESS &&
        channel) {
        wsprintfW(text, TEXT("%u"), *(const ULONG *)channel);
        wlan_api.free_memory(channel);
        if (write_report_line(TEXT("   WiFi channel"), text) == USER_BREAK)
            return USER_BREAK;
    }
    wsprintfW(text, TEXT("%u%%"), (UINT)assoc->wlanSignalQuality);
    if (write_report_line(TEXT("   WiFi signal strength"), text) == USER_BREAK)
        return USER_BREAK;
    LPCWSTR tx = format_wifi_rate(assoc->ulTxRate);
    LPCWSTR rx = format_wifi_rate(assoc->ulRxRate);
    wsprintfW(text, TEXT("%s / %s (Rx/Tx)"), rx, tx);
    return write_report_line(TEXT("   WiFi link speed"), text);
}

int report_wireless(const IP_ADAPTER_ADDRESSES *adapter)
{
    WCHAR text[TEXT_BUFFER_CHARS];
    GUID guid;
    DWORD size = 0;
    WLAN_CONNECTION_ATTRIBUTES *conn = NULL;
    DWORD state;
    int rc;

    if (!adapter || !wlan_client || !adapter->AdapterName)
        return -1;
    ansi_to_wide(adapter->AdapterName, TEXT_BUFFER_CHARS - 1, text);
    if (!text[0])
        return 0;
    if (FAILED(IIDFromString(text, &guid)))
        return 0;
    if (wlan_api.query_interface(wlan_client, &guid, wlan_intf_opcode_current_connection,
                                 NULL, &size, (PVOID *)&conn, NULL) != ERROR_SUCCESS ||
        !conn)
        return 0;

    // Read as a number: a state the enumeration does not name is undefined through its type.
    CopyMemory(&state, &conn->isState, sizeof(state));
    rc = write_report_line(TEXT("   WiFi state"), wifi_state_names[state < 8 ? state : 8]);
    if (rc == USER_BREAK || state != 1) {
        // Not connected: the state line is all there is to say.
        wlan_api.free_memory(conn);
        return rc == USER_BREAK ? USER_BREAK : 0;
    }
    rc = connected_lines(&guid, conn);
    wlan_api.free_memory(conn);
    return rc == USER_BREAK ? USER_BREAK : 1;
}
