// Fetching the adapter lists. Each getter owns its API's size dance and hands back one
// block, or NULL without a message: the run decides what a missing list means.
#include "adapters.h"

ULONG adapter_query_flags(DWORD major_version, BOOL detailed)
{
    ULONG flags = GAA_FLAG_INCLUDE_PREFIX;

    // Gateway and WINS lists exist only in the Vista-era record.
    if (major_version >= 6) {
        flags |= GAA_FLAG_INCLUDE_GATEWAYS;
        if (detailed)
            flags |= GAA_FLAG_INCLUDE_WINS_INFO;
    }
    return flags;
}

IP_ADAPTER_ADDRESSES *get_adapter_addresses(ULONG flags)
{
    HANDLE heap = GetProcessHeap();
    ULONG size = ADAPTER_LIST_FIRST_SIZE;
    IP_ADAPTER_ADDRESSES *list = NULL;
    ULONG result = ERROR_NOT_ENOUGH_MEMORY;

    list = (IP_ADAPTER_ADDRESSES *)HeapAlloc(heap, 0, size);
    if (list)
        result = GetAdaptersAddresses(AF_UNSPEC, flags, NULL, list, &size);
    if (result == ERROR_BUFFER_OVERFLOW) {
        // One retry with the size asked for; a list still growing after that is given up.
        HeapFree(heap, 0, list);
        list = (IP_ADAPTER_ADDRESSES *)HeapAlloc(heap, 0, size);
        result = list ? GetAdaptersAddresses(AF_UNSPEC, flags, NULL, list, &size)
                      : ERROR_NOT_ENOUGH_MEMORY;
    }
    if (result != ERROR_SUCCESS && list) {
        HeapFree(heap, 0, list);
        list = NULL;
    }
    return list;
}

IP_ADAPTER_INFO *get_adapter_info(void)
{
    HANDLE heap = GetProcessHeap();
    ULONG size = 0;
    IP_ADAPTER_INFO *info = NULL;
    ULONG result = ERROR_NOT_ENOUGH_MEMORY;

    // Only the size matters here: no IPv4 adapter leaves it at 0.
    GetAdaptersInfo(NULL, &size);
    if (size == 0)
        return NULL;
    // The slack absorbs a list that grows a little before the second call. Without a
    // block there is no second call: a size offered with no buffer invites an overrun.
    size += ADAPTER_INFO_SLACK;
    info = (IP_ADAPTER_INFO *)HeapAlloc(heap, 0, size);
    if (info)
        result = GetAdaptersInfo(info, &size);
    if (result != ERROR_SUCCESS && info) {
        HeapFree(heap, 0, info);
        info = NULL;
    }
    return info;
}
