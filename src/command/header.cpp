// The global header of the report.
#include "header.h"
#include "sized_block.h"
#include "text.h"
#include "../console/layout.h"
#include "../console/pager.h"
#include "../format/netvalues.h"
#include "../plugin/host.h"

// GetNetworkParams answers that keep asking for more are given up after this many, as the
// per-adapter record's are: a record that grew at every answer would be asked for ever.
#define HOST_RECORD_ATTEMPTS 8

static LPCWSTR node_type_text(UINT node_type)
{
    switch (node_type) {
    case 1: return TEXT("Broadcast");
    case 2: return TEXT("Peer-to-peer");
    case 4: return TEXT("Mixed");
    case 8: return TEXT("Hybrid");
    default: return TEXT("Other");
    }
}

int read_search_list(LPWSTR buffer)
{
    HKEY key;
    DWORD type = REG_NONE;
    DWORD bytes = TEXT_BUFFER_CHARS * sizeof(WCHAR);
    LONG rc;

    if (!buffer)
        return -1;
    buffer[0] = 0;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, TEXT("SYSTEM\\CurrentControlSet\\Services\\TcpIp\\Parameters"),
                      0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    rc = RegQueryValueExW(key, TEXT("SearchList"), NULL, &type, (LPBYTE)buffer, &bytes);
    RegCloseKey(key);
    // The registry does not promise a terminator: the text ends where the data does. A
    // value that fills the whole buffer has no room for one and keeps every character.
    if (rc == ERROR_SUCCESS && bytes / sizeof(WCHAR) < TEXT_BUFFER_CHARS)
        buffer[bytes / sizeof(WCHAR)] = 0;
    if (rc != ERROR_SUCCESS || type != REG_SZ || buffer[0] == 0) {
        buffer[0] = 0;
        return 0;
    }
    return 1;
}

static bool is_separator(WCHAR c)
{
    return c == TEXT(',') || iswspace(c);
}

int print_dns_search_list(void)
{
    WCHAR list[TEXT_BUFFER_CHARS + 1];  // a spare slot ends a list that fills the buffer
    WCHAR entry[TEXT_BUFFER_CHARS];
    LPCWSTR p = list;
    int count = 0;

    read_search_list(list);
    list[TEXT_BUFFER_CHARS] = 0;
    if (!list[0])
        return 0;
    write_label(TEXT("   DNS search list"));
    for (;;) {
        int length = 0;
        while (*p && !is_separator(*p)) {
            if (length < TEXT_BUFFER_CHARS - 1)
                entry[length++] = *p;
            p++;
        }
        entry[length] = 0;
        if (length) {
            QPuts(entry);
            if (end_line() == USER_BREAK)
                return USER_BREAK;
            if (*p)
                write_continuation();
            count++;
        }
        if (!*p)
            return count;
        p++;
        while (*p && iswspace(*p))
            p++;
    }
}

static DWORD call_network_params(const void *, void *block, ULONG *size)
{
    return GetNetworkParams((FIXED_INFO *)block, size);
}

// The host record, grown to the size GetNetworkParams asks for; NULL and *error set when
// it cannot be had.
static FIXED_INFO *get_network_params(DWORD *error)
{
    // As often as the record grows, within the attempts: each answer must ask for more.
    static const BlockQuery query = {.call = call_network_params, .args = NULL,
                                     .first_size = sizeof(FIXED_INFO), .slack = 0,
                                     .max_calls = HOST_RECORD_ATTEMPTS, .must_grow = true};
    void *info;
    DWORD answer;
    int rc = get_sized_block(&query, &info, NULL, &answer);

    *error = rc < 0 ? (DWORD)ERROR_NOT_ENOUGH_MEMORY : answer;
    return (FIXED_INFO *)info;
}

static int write_header(const FIXED_INFO *info, BOOL detailed)
{
    WCHAR name[TEXT_BUFFER_CHARS];

    if (end_line() == USER_BREAK)
        return USER_BREAK;
    Printf(TEXT("Windows IP Configuration"));
    if (end_lines(2) == USER_BREAK)
        return USER_BREAK;

    ansi_to_wide(info->HostName, sizeof(info->HostName), name);
    write_label(TEXT("   Host name"));
    write_highlighted(name, 0);
    if (end_lines(1) == USER_BREAK)
        return USER_BREAK;
    ansi_to_wide(info->DomainName, sizeof(info->DomainName), name);
    write_label(TEXT("   Domain"));
    write_highlighted(name, 0);
    if (end_lines(1) == USER_BREAK)
        return USER_BREAK;

    if (detailed) {
        if (write_report_line(TEXT("   Node type"), node_type_text(info->NodeType)) == USER_BREAK ||
            write_report_line(TEXT("   IP routing"), enabled_text((int)info->EnableRouting)) == USER_BREAK ||
            write_report_line(TEXT("   ARP proxy"), enabled_text((int)info->EnableProxy)) == USER_BREAK ||
            write_report_line(TEXT("   DNS"), enabled_text((int)info->EnableDns)) == USER_BREAK ||
            print_dns_search_list() == USER_BREAK)
            return USER_BREAK;
    }
    return end_line();
}

int print_global_header(BOOL detailed)
{
    DWORD error = 0;
    FIXED_INFO *info = get_network_params(&error);
    int rc;

    if (!info)
        return (int)error;
    rc = write_header(info, detailed);
    HeapFree(GetProcessHeap(), 0, info);
    return rc;
}
