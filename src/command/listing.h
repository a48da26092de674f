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

// The legacy records of one listing sorted by name, so that each adapter's is found in log
// time whatever order the names come in. Without memory for it, each search goes through
// the list from its start. Either way the answer is find_adapter_info's.
struct InfoIndex {
    const IP_ADAPTER_INFO *list;
    // The records with a name, in byte order of their names, equal names in list order;
    // NULL when there are none or no memory: then the list is searched.
    const IP_ADAPTER_INFO **sorted;
    size_t count;
};
void open_info_index(InfoIndex *index, const IP_ADAPTER_INFO *info_list);
const IP_ADAPTER_INFO *find_in_index(const InfoIndex *index, const char *name);
void close_info_index(InfoIndex *index);

#endif
