// The run's two views of the machine's adapters: the AdapterList from
// GetAdaptersAddresses and the AdapterInfoList from GetAdaptersInfo (for the DHCP lease
// times). Each is one heap block that the caller frees whole with HeapFree.
#ifndef NICSHOW_COMMAND_ADAPTERS_H
#define NICSHOW_COMMAND_ADAPTERS_H

#include "../platform/win32.h"

// The first block offered to GetAdaptersAddresses, in bytes.
#define ADAPTER_LIST_FIRST_SIZE 15360
// Added to the size GetAdaptersInfo asks for.
#define ADAPTER_INFO_SLACK 512

// The GetAdaptersAddresses flags for a system of this major version: prefixes always,
// gateways from version 6 on, WINS servers there too but only for the detailed report.
ULONG adapter_query_flags(DWORD major_version, BOOL detailed);

// Every adapter with its addresses of all families, or NULL.
IP_ADAPTER_ADDRESSES *get_adapter_addresses(ULONG flags);

// The legacy IPv4 adapter records, or NULL (also when the machine has no IPv4 adapter).
IP_ADAPTER_INFO *get_adapter_info(void);

#endif
