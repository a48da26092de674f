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

static int order_of_names(const char *a, const char *b)
{
    for (; *a && *a == *b; a++, b++)
        ;
    return (unsigned char)*a - (unsigned char)*b;
}

// True when the non-empty legacy names stand in strictly ascending byte order, as Wine's
// {0000000N-...} names do: then no two are equal, and a sorted walk finds each one.
static bool names_ascending(const IP_ADAPTER_INFO *info_list)
{
    const size_t size = sizeof(info_list->AdapterName);
    const IP_ADAPTER_INFO *last = NULL;

    for (const IP_ADAPTER_INFO *info = info_list; info; info = info->Next) {
        if (!info->AdapterName[0])
            continue;
        if (last) {
            size_t i = 0;
            while (i < size && last->AdapterName[i] && last->AdapterName[i] == info->AdapterName[i])
                i++;
            if (i == size || (unsigned char)last->AdapterName[i] >= (unsigned char)info->AdapterName[i])
                return false;
        }
        last = info;
    }
    return true;
}

// The search of the legacy list across one listing. Searching every name from the start
// made a listing quadratic in the number of adapters; with ascending names the walk goes
// on from where the last search stopped (the two lists come in the same order), and the
// answer is the same record, since no name occurs twice.
struct InfoSearch {
    const IP_ADAPTER_INFO *list;
    bool sorted;
    const IP_ADAPTER_INFO *from;  // every non-empty name before it sorts at or before last
    const char *last;
};

static const IP_ADAPTER_INFO *next_adapter_info(InfoSearch *s, const char *name)
{
    const size_t size = sizeof(s->list->AdapterName);
    const IP_ADAPTER_INFO *info;

    if (!s->sorted || !name)
        return find_adapter_info(s->list, name);
    info = s->last && order_of_names(name, s->last) > 0 ? s->from : s->list;
    for (; info; info = info->Next) {
        if (!info->AdapterName[0])
            continue;
        int order = order_of(info->AdapterName, size, name);
        if (order == 0) {
            s->from = info->Next;
            s->last = name;
            return info;
        }
        if (order > 0)
            break;
    }
    s->from = info;
    s->last = name;
    return NULL;
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
    int count = 0;
    InfoSearch search = {info_list, names_ascending(info_list), NULL, NULL};

    if (!adapters)
        return -1;
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
        const IP_ADAPTER_INFO *info = next_adapter_info(&search, a->AdapterName);
        count++;
        int rc = report_adapter(a, info, flags, date_format);
        if (rc != 0)
            return rc;
    }
    Printf(TEXT("%d %s listed."), count, count == 1 ? TEXT("adapter") : TEXT("adapters"));
    if (end_line() == USER_BREAK)
        return USER_BREAK;
    return count;
}
