// The report's main loop: which adapters are shown, in the system's order, and the line
// that counts them.
#ifndef NICSHOW_COMMAND_LISTING_H
#define NICSHOW_COMMAND_LISTING_H

#include "../platform/win32.h"

// The number of adapters reported, USER_BREAK, or -1 without an adapter list.
int list_adapters(const IP_ADAPTER_INFO *info_list, LPCWSTR wildmask, DWORD flags,
                  const IP_ADAPTER_ADDRESSES *adapters, DWORD date_format);
// The legacy record whose AdapterName equals name byte for byte, or NULL.
const IP_ADAPTER_INFO *find_adapter_info(const IP_ADAPTER_INFO *info_list, const char *name);

#endif
