// Adapter selection and listing.
#include "listing.h"
#include "options.h"
#include "report.h"
#include "../console/pager.h"
#include "../plugin/host.h"

const IP_ADAPTER_INFO *find_adapter_info(const IP_ADAPTER_INFO *info_list, const char *name)
{
    if (!name)
        return NULL;
    for (const IP_ADAPTER_INFO *info = info_list; info; info = info->Next) {
        // The legacy name is a fixed array that need not be terminated.
        const size_t size = sizeof(info->AdapterName);
        size_t i = 0;
        if (!info->AdapterName[0])
            continue;
        while (i < size && info->AdapterName[i] && info->AdapterName[i] == name[i])
            i++;
        if (i == size ? name[i] == 0 : (info->AdapterName[i] == 0 && name[i] == 0))
            return info;
    }
    return NULL;
}

// Byte order of a legacy name (a fixed array that need not be terminated) against a
// terminated name: below 0, 0 or above 0. Equal exactly when find_adapter_info matches.
static int order_of(const char *fixed, size_t size, const char *name)
{
    for (size_t i = 0; i < size; i++) {
        if (fixed[i] != name[i])
            return (unsigned char)fixed[i] < (unsigned char)name[i] ? -1 : 1;
        if (!fixed[i])
            return 0;
    }
    return name[size] ? -1 : 0;
}

// True when legacy name a sorts before legacy name b in the same order.
static bool sorts_before(const char *a, const char *b, size_t size)
{
    for (size_t i = 0; i < size; i++) {
        if (a[i] != b[i])
            return (unsigned char)a[i] < (unsigned char)b[i];
        if (!a[i])
            return false;
    }
    return false;
}

// A merge sort, bottom up: stable, so that of equal names the earlier record stays first.
// scratch holds as many entries as items; the result ends in items.
static void sort_by_name(const IP_ADAPTER_INFO **items, const IP_ADAPTER_INFO **scratch,
                         size_t count)
{
    const size_t size = sizeof(items[0]->AdapterName);
    const IP_ADAPTER_INFO **from = items, **to = scratch;

    for (size_t width = 1; width < count; width *= 2) {
        for (size_t low = 0; low < count; low += 2 * width) {
            size_t mid = low + width < count ? low + width : count;
            size_t high = mid + width < count ? mid + width : count;
            size_t i = low, j = mid, k = low;
            while (i < mid && j < high) {
                if (sorts_before(from[j]->AdapterName, from[i]->AdapterName, size))
                    to[k++] = from[j++];
                else
                    to[k++] = from[i++];
            }
            while (i < mid)
                to[k++] = from[i++];
            while (j < high)
                to[k++] = from[j++];
        }
        const IP_ADAPTER_INFO **t = from;
        from = to;
        to = t;
    }
    if (from != items)
        CopyMemory(items, from, count * sizeof(*items));
}

void open_info_index(InfoIndex *index, const IP_ADAPTER_INFO *info_list)
{
    const IP_ADAPTER_INFO **block;
    size_t count = 0;

    index->list = info_list;
    index->sorted = NULL;
    index->count = 0;
    for (const IP_ADAPTER_INFO *info = info_list; info; info = info->Next)
        if (info->AdapterName[0])
            count++;
    if (count == 0)
        return;
    // The second half is the sort's scratch space. The records fill a block of the
    // process's memory, so the count times two pointers cannot overflow.
    block = (const IP_ADAPTER_INFO **)HeapAlloc(GetProcessHeap(), 0, 2 * count * sizeof(*block));
    if (!block)
        return;
    count = 0;
    for (const IP_ADAPTER_INFO *info = info_list; info; info = info->Next)
        if (info->AdapterName[0])
            block[count++] = info;
    sort_by_name(block, block + count, count);
    index->sorted = block;
    index->count = count;
}

const IP_ADAPTER_INFO *find_in_index(const InfoIndex *index, const char *name)
{
    const size_t size = sizeof(index->list->AdapterName);
    size_t low = 0, high = index->count;

    if (!index->sorted || !name)
        return find_adapter_info(index->list, name);
    // The first entry that does not sort before the name: of equal names, the first record.
    while (low < high) {
        size_t mid = low + (high - low) / 2;
        if (order_of(index->sorted[mid]->AdapterName, size, name) < 0)
            low = mid + 1;
        else
            high = mid;
    }
    if (low < index->count && order_of(index->sorted[low]->AdapterName, size, name) == 0)
        return index->sorted[low];
    return NULL;
}

void close_info_index(InfoIndex *index)
{
    if (index->sorted)
        HeapFree(GetProcessHeap(), 0, (void *)index->sorted);
}

static bool is_disconnected(ULONG if_index)
{
    MIB_IF_ROW2 row;
    DWORD state;

    ZeroMemory(&row, sizeof(row));
    row.InterfaceIndex = if_index;
    if (GetIfEntry2(&row) != NO_ERROR)
        return false;
    // Read as a number: a state the enumeration does not name is undefined through its type.
    CopyMemory(&state, &row.MediaConnectState, sizeof(state));
    return state == MediaConnectStateDisconnected;
}

int list_adapters(const IP_ADAPTER_INFO *info_list, LPCWSTR wildmask, DWORD flags,
                  const IP_ADAPTER_ADDRESSES *adapters, DWORD date_format)
{
    InfoIndex index;
    int count = 0;
    int result;

    if (!adapters)
        return -1;
    open_info_index(&index, info_list);
    for (const IP_ADAPTER_ADDRESSES *a = adapters; a; a = a->Next) {
        if (!(flags & CommandOptions::include_tunnel) && a->IfType == IF_TYPE_TUNNEL)
            continue;
        if (!(flags & CommandOptions::include_loopback) && a->IfType == IF_TYPE_SOFTWARE_LOOPBACK)
            continue;
        if (wildmask &&
            WildcardComparison(wildmask, a->FriendlyName ? a->FriendlyName : TEXT(""), 0, 1) != 0)
            continue;
        if (!(flags & CommandOptions::include_disconnected) && is_disconnected(a->IfIndex))
            continue;
        count++;
        result = report_adapter(a, find_in_index(&index, a->AdapterName), flags, date_format);
        if (result != 0)
            goto done;
    }
    Printf(TEXT("%d %s listed."), count, count == 1 ? TEXT("adapter") : TEXT("adapters"));
    result = end_line() == USER_BREAK ? USER_BREAK : count;
done:
    close_info_index(&index);
    return result;
}
