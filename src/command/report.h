// The report block of one adapter: a heading with its index, type and friendly name,
// one aligned line per field, and a blank line.
#ifndef NICSHOW_COMMAND_REPORT_H
#define NICSHOW_COMMAND_REPORT_H

#include "../platform/win32.h"

extern const WCHAR *const media_state_names[4];

// 0, or USER_BREAK as soon as a line end reports that the user stopped the output.
int report_adapter(const IP_ADAPTER_ADDRESSES *adapter, const IP_ADAPTER_INFO *legacy_info,
                   DWORD flags, DWORD date_format);
// AutoconfigEnabled of the interface as 1 or 0, or -1 when it cannot be had.
int query_autoconfig(ULONG if_index);
// The first IPv4 gateway that is neither 0.0.0.0 nor 255.255.255.255 (network byte
// order), or 0.
ULONG first_ipv4_gateway(const IP_ADAPTER_ADDRESSES *adapter);
// Whether the record has the complete layout of this build (the fields from the link
// speeds on).
bool is_full_layout(const IP_ADAPTER_ADDRESSES *adapter);

#endif
