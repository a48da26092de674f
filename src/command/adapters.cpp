// Fetching the adapter lists. Each getter owns its API's size dance and hands back one
// block, or NULL without a message: the run decides what a missing list means.
#include "adapters.h"
#include "sized_block.h"

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

static DWORD call_addresses(const void *args, void *block, ULONG *size)
{
    return GetAdaptersAddresses(AF_UNSPEC, *(const ULONG *)args, NULL,
                                (IP_ADAPTER_ADDRESSES *)block, size);
}

IP_ADAPTER_ADDRESSES *get_adapter_addresses(ULONG flags)
{
    // One retry with the size asked for, whatever it is; a list still growing after that
    // is given up.
    const BlockQuery query = {.call = call_addresses, .args = &flags,
                              .first_size = ADAPTER_LIST_FIRST_SIZE, .slack = 0,
                              .max_calls = 2, .must_grow = false};
    void *list;

    get_sized_block(&query, &list, NULL, NULL);
    return (IP_ADAPTER_ADDRESSES *)list;
}

static DWORD call_info(const void *, void *block, ULONG *size)
{
    return GetAdaptersInfo((IP_ADAPTER_INFO *)block, size);
}

IP_ADAPTER_INFO *get_adapter_info(void)
{
    // The size question comes first; no IPv4 adapter leaves it at 0. The slack absorbs a
    // list that grows a little before the second call.
    static const BlockQuery query = {.call = call_info, .args = NULL, .first_size = 0,
                                     .slack = ADAPTER_INFO_SLACK, .max_calls = 2,
                                     .must_grow = false};
    void *info;

    get_sized_block(&query, &info, NULL, NULL);
    return (IP_ADAPTER_INFO *)info;
}
