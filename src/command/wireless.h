// The WiFi lines of a detailed report for an IEEE 802.11 adapter, asked of the wireless
// LAN service through the client handle opened at load.
#ifndef NICSHOW_COMMAND_WIRELESS_H
#define NICSHOW_COMMAND_WIRELESS_H

#include "../platform/win32.h"

extern const WCHAR *const wifi_state_names[9];
extern const WCHAR *const phy_type_names[9];

// -1 without a record, client handle or adapter name; 0 when nothing could be learned or
// the interface is not connected (at most the state line); 1 after the lines of a
// connected interface; USER_BREAK.
int report_wireless(const IP_ADAPTER_ADDRESSES *adapter);
LPCWSTR wifi_security_name(ULONG cipher, ULONG auth);

#endif
