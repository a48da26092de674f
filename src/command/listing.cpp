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
        const IP_ADAPTER_INFO *info = find_adapter_info(info_list, a->AdapterName);
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
