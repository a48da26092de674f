// The floor of a NICSHOW run: the IP Helper calls a run has to make, made the way the run
// makes them, and nothing else: no plug-in, no host, no report. Timed beside the launcher
// by scripts/bench-wine.sh, it shows what the run costs beyond the platform's own answers.
//
//   nicshow-floor.exe [--repeat N] [--timing]        the calls of a basic run
//   nicshow-floor.exe [--repeat N] [--timing] /A     the calls of a detailed run of every
//                                                    adapter
//
// --repeat makes the calls N times (1 to 1000000) in one process, as the launcher runs the
// command N times in one loaded host; --timing adds one unmeasured warm-up first and then
// writes the launcher's timing line to standard error:
//
//   timing: runs=N median_ms=M min_ms=L max_ms=H
//
// Bad usage exits with 2 and a message on standard error.
//
// Basic: the adapter list (a first block of 15360 bytes, one retry with the size asked
// for), the legacy list (size, then the block with 512 bytes of slack), the host record;
// then for every adapter that is neither tunnel nor loopback, GetIfEntry2 for the media
// filter and, when it is not disconnected, GetIfEntry2 again for its report. /A: the list
// with WINS servers too, and for every adapter GetIfEntry2 for its report and
// GetPerAdapterInfo for its autoconfiguration state.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <netioapi.h>

#include "repeat.h"

static IP_ADAPTER_ADDRESSES *adapter_list(ULONG flags)
{
    HANDLE heap = GetProcessHeap();
    ULONG size = 15360;
    IP_ADAPTER_ADDRESSES *list = (IP_ADAPTER_ADDRESSES *)HeapAlloc(heap, 0, size);
    ULONG rc = list ? GetAdaptersAddresses(AF_UNSPEC, flags, NULL, list, &size) : 1;

    if (rc == ERROR_BUFFER_OVERFLOW) {
        HeapFree(heap, 0, list);
        list = (IP_ADAPTER_ADDRESSES *)HeapAlloc(heap, 0, size);
        rc = list ? GetAdaptersAddresses(AF_UNSPEC, flags, NULL, list, &size) : 1;
    }
    if (rc != ERROR_SUCCESS && list) {
        HeapFree(heap, 0, list);
        list = NULL;
    }
    return list;
}

static IP_ADAPTER_INFO *legacy_list(void)
{
    ULONG size = 0;
    IP_ADAPTER_INFO *info;

    GetAdaptersInfo(NULL, &size);
    if (size == 0)
        return NULL;
    size += 512;
    info = (IP_ADAPTER_INFO *)HeapAlloc(GetProcessHeap(), 0, size);
    if (info && GetAdaptersInfo(info, &size) != ERROR_SUCCESS) {
        HeapFree(GetProcessHeap(), 0, info);
        info = NULL;
    }
    return info;
}

static void host_record(void)
{
    ULONG size = sizeof(FIXED_INFO);
    FIXED_INFO *info = (FIXED_INFO *)HeapAlloc(GetProcessHeap(), 0, size);

    while (info && GetNetworkParams(info, &size) == ERROR_BUFFER_OVERFLOW) {
        HeapFree(GetProcessHeap(), 0, info);
        info = (FIXED_INFO *)HeapAlloc(GetProcessHeap(), 0, size);
    }
    if (info)
        HeapFree(GetProcessHeap(), 0, info);
}

static DWORD media_state(ULONG index)
{
    MIB_IF_ROW2 row;
    DWORD state = 3;

    ZeroMemory(&row, sizeof(row));
    row.InterfaceIndex = index;
    if (GetIfEntry2(&row) == NO_ERROR)
        CopyMemory(&state, &row.MediaConnectState, sizeof(state));
    return state;
}

static void autoconfig(ULONG index)
{
    ULONG size = 180;

    for (int attempt = 0; attempt < 8; attempt++) {
        ULONG offered = size;
        IP_PER_ADAPTER_INFO *info = (IP_PER_ADAPTER_INFO *)HeapAlloc(GetProcessHeap(), 0, size);
        if (!info)
            return;
        DWORD rc = GetPerAdapterInfo(index, info, &size);
        HeapFree(GetProcessHeap(), 0, info);
        if (rc != ERROR_BUFFER_OVERFLOW || size <= offered)
            return;
    }
}

static void run_once(bool detailed)
{
    ULONG flags = GAA_FLAG_INCLUDE_PREFIX | GAA_FLAG_INCLUDE_GATEWAYS;
    IP_ADAPTER_ADDRESSES *list;
    IP_ADAPTER_INFO *info = NULL;

    if (detailed)
        flags |= GAA_FLAG_INCLUDE_WINS_INFO;
    list = adapter_list(flags);
    if (list)
        info = legacy_list();
    host_record();
    for (IP_ADAPTER_ADDRESSES *a = list; a; a = a->Next) {
        if (detailed) {
            media_state(a->IfIndex);
            autoconfig(a->IfIndex);
            continue;
        }
        if (a->IfType == IF_TYPE_TUNNEL || a->IfType == IF_TYPE_SOFTWARE_LOOPBACK)
            continue;
        if (media_state(a->IfIndex) == 2)
            continue;
        media_state(a->IfIndex);
    }
    if (info)
        HeapFree(GetProcessHeap(), 0, info);
    if (list)
        HeapFree(GetProcessHeap(), 0, list);
}

static void write_stderr(const wchar_t *text)
{
    char bytes[512];
    DWORD done;
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof(bytes), NULL, NULL);

    if (n > 1)
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), bytes, (DWORD)(n - 1), &done, NULL);
}

int wmain(int argc, wchar_t **argv)
{
    unsigned runs = 1;
    bool timing = false, detailed;
    std::vector<LONGLONG> ticks;
    int i = 1;

    for (; i < argc && argv[i][0] == L'-' && argv[i][1] == L'-'; i++) {
        if (lstrcmpW(argv[i], L"--timing") == 0)
            timing = true;
        else if (lstrcmpW(argv[i], L"--repeat") != 0 || i + 1 >= argc ||
                 !parse_repeat_count(argv[++i], &runs)) {
            write_stderr(L"nicshow-floor: usage: nicshow-floor.exe [--repeat N] [--timing] [/A], "
                        L"N from 1 to 1000000\r\n");
            return 2;
        }
    }
    detailed = i < argc && (argv[i][0] == L'/' || argv[i][0] == L'-') &&
               (argv[i][1] == L'A' || argv[i][1] == L'a');

    if (timing) {
        ticks.reserve(runs);
        run_once(detailed);
    }
    for (unsigned n = 0; n < runs; n++) {
        LONGLONG start = timing ? clock_ticks() : 0;
        run_once(detailed);
        if (timing)
            ticks.push_back(clock_ticks() - start);
    }
    if (timing) {
        wchar_t line[256];
        format_timing_line(line, 256, ticks);
        write_stderr(line);
    }
    return 0;
}
