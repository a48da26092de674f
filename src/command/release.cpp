// Release, renew and bounce.
#include "release.h"
#include "options.h"
#include "sized_block.h"
#include "../console/pager.h"
#include "../plugin/errors.h"
#include "../plugin/host.h"

#define NAME_LIST_FIRST_SIZE 15360
#define RENEW_PAUSE_MS 800
#define SOUND_FLAGS (SND_ALIAS_ID | SND_ASYNC)

int friendly_name_of(const IP_ADAPTER_ADDRESSES *names, ULONG if_index, LPWSTR name)
{
    if (!name)
        return -1;
    for (const IP_ADAPTER_ADDRESSES *a = names; a; a = a->Next) {
        if (a->IfIndex == if_index) {
            lstrcpynW(name, a->FriendlyName ? a->FriendlyName : TEXT(""), TEXT_BUFFER_CHARS);
            return 1;
        }
    }
    return 0;
}

int media_connect_state(ULONG if_index)
{
    MIB_IF_ROW2 row;
    DWORD state;

    ZeroMemory(&row, sizeof(row));
    row.InterfaceIndex = if_index;
    if (GetIfEntry2(&row) != NO_ERROR)
        return -1;
    // The system may store a state the enumeration does not name; loading such a value
    // through the enumeration type is undefined in C++, so the field is read as the
    // 32-bit number it holds.
    static_assert(sizeof(row.MediaConnectState) == sizeof(state), "a 32-bit enumeration");
    CopyMemory(&state, &row.MediaConnectState, sizeof(state));
    return state > 2 ? -1 : (int)state;
}

static void free_block(void *block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

static DWORD call_interface_info(const void *, void *block, ULONG *size)
{
    return GetInterfaceInfo((IP_INTERFACE_INFO *)block, size);
}

// The IPv4 interfaces DHCP works on; NULL when they cannot be had. *size receives the
// block's size.
static IP_INTERFACE_INFO *get_interface_table(ULONG *size)
{
    static const BlockQuery query = {.call = call_interface_info, .args = NULL,
                                     .first_size = 0, .slack = 0, .max_calls = 2,
                                     .must_grow = false};
    void *table;

    get_sized_block(&query, &table, size, NULL);
    return (IP_INTERFACE_INFO *)table;
}

static DWORD call_ipv4_addresses(const void *, void *block, ULONG *size)
{
    return GetAdaptersAddresses(AF_INET, 0, NULL, (IP_ADAPTER_ADDRESSES *)block, size);
}

// The names of the IPv4 adapters. Returns false only when memory ran out; *names is NULL
// when the query failed, and the interfaces are then handled without names.
static bool get_name_list(IP_ADAPTER_ADDRESSES **names)
{
    static const BlockQuery query = {.call = call_ipv4_addresses, .args = NULL,
                                     .first_size = NAME_LIST_FIRST_SIZE, .slack = 0,
                                     .max_calls = 2, .must_grow = false};
    void *block;
    int rc = get_sized_block(&query, &block, NULL, NULL);

    *names = (IP_ADAPTER_ADDRESSES *)block;
    return rc >= 0;
}

// The outcome of one release or renew: the word, the error text, the sound. Adds a
// failure to *failures. Returns 0 or USER_BREAK.
static int outcome(DWORD rc, bool quiet, bool sounds, int *failures)
{
    WCHAR text[TEXT_BUFFER_CHARS];

    if (rc != NO_ERROR) {
        if (sounds)
            PlaySoundW((LPCWSTR)(ULONG_PTR)SND_ALIAS_SYSTEMHAND, NULL, SOUND_FLAGS);
        (*failures)++;
        if (!quiet && write_highlighted(TEXT("Failed!"), 1) == USER_BREAK)
            return USER_BREAK;
        format_system_error(rc, text);
        Qprintf(GetStdHandle(STD_ERROR_HANDLE), TEXT("   %s"), text);
        return end_line();
    }
    if (sounds)
        PlaySoundW((LPCWSTR)(ULONG_PTR)SND_ALIAS_SYSTEMASTERISK, NULL, SOUND_FLAGS);
    if (!quiet)
        return write_highlighted(TEXT("Success."), 1);
    return 0;
}

static int handle_interface(IP_ADAPTER_INDEX_MAP *entry, LPCWSTR name, DWORD actions, bool quiet,
                            bool sounds, int *failures)
{
    DWORD rc;

    if (end_line() == USER_BREAK)
        return USER_BREAK;
    if (actions & CommandOptions::release) {
        if (!quiet)
            Printf(TEXT("Release IP for #%2u \u201C%s\u201D :  "), (UINT)entry->Index, name);
        rc = IpReleaseAddress(entry);
        if (outcome(rc, quiet, sounds, failures) == USER_BREAK)
            return USER_BREAK;
        if (rc == NO_ERROR && (actions & CommandOptions::renew))
            Sleep(RENEW_PAUSE_MS);
    }
    if (actions & CommandOptions::renew) {
        if (!quiet)
            Printf(TEXT("Renew IP   for #%2u \u201C%s\u201D :  "), (UINT)entry->Index, name);
        rc = IpRenewAddress(entry);
        if (outcome(rc, quiet, sounds, failures) == USER_BREAK)
            return USER_BREAK;
    }
    return 0;
}

int release_renew(DWORD flags, LPCWSTR wildmask, DWORD actions)
{
    WCHAR name[TEXT_BUFFER_CHARS];
    IP_INTERFACE_INFO *table;
    IP_ADAPTER_ADDRESSES *names = NULL;
    ULONG table_size;
    bool quiet = (flags & CommandOptions::quiet) != 0;
    bool sounds = (flags & CommandOptions::sounds) != 0;
    int failures = 0;
    int result = 0;

    if (actions == 0)
        return 0;
    name[0] = 0;
    table = get_interface_table(&table_size);
    if (!table)
        return -2;
    if (!get_name_list(&names)) {
        HeapFree(GetProcessHeap(), 0, table);
        return -2;
    }

    // The count comes from the system; never walk past the entries the block holds.
    LONG count = table->NumAdapters;
    ULONG room = table_size > offsetof(IP_INTERFACE_INFO, Adapter)
                     ? (table_size - (ULONG)offsetof(IP_INTERFACE_INFO, Adapter)) /
                           (ULONG)sizeof(IP_ADAPTER_INDEX_MAP)
                     : 0;
    if (count > 0 && (ULONG)count > room)
        count = (LONG)room;

    for (LONG i = 0; i < count; i++) {
        IP_ADAPTER_INDEX_MAP *entry = &table->Adapter[i];
        if (friendly_name_of(names, entry->Index, name) != 1)
            name[0] = 0;
        if (wildmask && WildcardComparison(wildmask, name, 0, 1) != 0)
            continue;
        if (media_connect_state(entry->Index) == 2)
            continue;
        if (handle_interface(entry, name, actions, quiet, sounds, &failures) == USER_BREAK) {
            result = USER_BREAK;
            break;
        }
    }
    free_block(names);
    HeapFree(GetProcessHeap(), 0, table);
    return result == USER_BREAK ? USER_BREAK : failures;
}
