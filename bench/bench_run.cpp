// The whole NICSHOW run, basic and /A, on simulated machines of 1 to 10,000 adapters.
//
//   run/basic/N, run/detailed/N    nicshow("") and nicshow("/A") from tail to exit code
//   platform_floor/basic/N, platform_floor/detailed/N
//                                  only the platform calls such a run has to make, against
//                                  the same simulated machine: what the simulation itself
//                                  costs, so that run minus floor is the plug-in's own work
//
// Counters: per_adapter (time per adapter of the machine), host_calls_per_line (every host
// service call of a run over its line ends), heap_blocks (HeapAlloc calls of one run),
// heap_blocks_per_line, lines (line ends of one run).
//
// The machine: N Ethernet adapters and the loopback. Each adapter has two IPv4 addresses
// and an IPv6 address, a gateway, two DNS servers, a WINS server, a DHCP server and lease,
// and a search suffix; every fifth one is disconnected, so the basic run skips it and /A
// shows it. Documentation addresses only. The adapter names are GUIDs in no order, as
// Windows gives them (Wine's stand in ascending order); BENCH_NAMES=ascending gives
// Wine's kind.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sim/netsim.h"
#include "sim/sim.h"
#include "src/console/highlight.h"
#include "src/console/pager_state.h"
#include "src/plugin/plugin.h"
#include "src/plugin/wlan_library.h"

namespace {

const time_t lease_start = 1700000000;  // 2023-11-14

void machine(int adapters)
{
    const char *names = getenv("BENCH_NAMES");
    const bool ascending = names && strcmp(names, "ascending") == 0;

    sim::reset();
    pager = PagerState{};
    highlight_colors = HighlightColors{};
    ZeroMemory(&os_version, sizeof(os_version));
    os_version.dwMajorVersion = 10;
    load_wlan_library();
    wlan_client = (HANDLE)0x777;
    console_output = NULL;

    sim::net().host.host_name = "BENCHHOST";
    sim::net().host.domain_name = "example.test";
    sim::set_search_list("example.test,example.net");
    sim::net().add(sim::loopback(1));
    for (int i = 0; i < adapters; i++) {
        char v4a[32], v4b[32], v6[48], name[32], guid[48];
        int host = i % 250 + 2;
        snprintf(v4a, sizeof v4a, "192.0.2.%d", host);
        snprintf(v4b, sizeof v4b, "198.51.100.%d", host);
        snprintf(v6, sizeof v6, "2001:db8:%x::%x", i / 65536 + 1, i % 65536 + 1);
        snprintf(name, sizeof name, "Ethernet %d", i + 1);
        sim::Adapter a = sim::ethernet((ULONG)(i + 2), name);
        if (!ascending) {
            // A bijective scramble of the index: distinct names, their order unrelated to it.
            unsigned h = (unsigned)i * 2654435761u;
            h ^= h >> 15;
            snprintf(guid, sizeof guid, "{%08X-%04X-4A1D-B0C2-%012X}", h, (unsigned)i & 0xFFFF,
                     (unsigned)i);
            a.name(guid);
        }
        a.address(v4a, 24)
            .address(v4b, 24)
            .address(v6, 64)
            .gateway("192.0.2.1")
            .dns("192.0.2.53")
            .dns("2001:db8::53")
            .wins("203.0.113.137")
            .dhcp("192.0.2.1", lease_start, lease_start + 86400)
            .dns_suffix("example.test")
            .search_suffix("example.test");
        if (i % 5 == 4)
            a.media(MediaConnectStateDisconnected);
        sim::net().add(a);
    }
}

// What one run leaves in the simulation, dropped between iterations; the machine stays.
void forget_run()
{
    sim::HostState &h = sim::host();
    // The first segment keeps its text's storage, so the next run's standard output goes
    // into memory already there instead of growing a string of megabytes page by page.
    if (!h.transcript.empty()) {
        h.transcript.resize(1);
        h.transcript[0].text.clear();
    }
    h.qputs.clear();
    h.calls.clear();
    h.set_colors.clear();
    sim::NetState &n = sim::net();
    n.addresses_calls.clear();
    n.info_calls.clear();
    n.network_params_calls.clear();
    n.per_adapter_calls.clear();
    n.if_entry_calls.clear();
    sim::KernelState &k = sim::kernel();
    k.heap_alloc_flags.clear();
    k.heap_free_flags.clear();
    k.code_page_calls.clear();
    k.reg_opens.clear();
    k.file_opens.clear();
    sim::console().line_ends = 0;
    sim::restart_counts();
}

long host_calls()
{
    long total = 0;
    for (auto &c : sim::host().calls)
        total += c.second;
    return total;
}

void set_counters(benchmark::State &state, int adapters, long calls, long lines, long blocks)
{
    using benchmark::Counter;
    state.counters["per_adapter"] =
        Counter((double)adapters, Counter::kIsIterationInvariantRate | Counter::kInvert);
    state.counters["lines"] = (double)lines;
    state.counters["host_calls_per_line"] = lines ? (double)calls / (double)lines : 0.0;
    state.counters["heap_blocks"] = (double)blocks;
    state.counters["heap_blocks_per_line"] = lines ? (double)blocks / (double)lines : 0.0;
}

void run(benchmark::State &state, const char *switches)
{
    int adapters = (int)state.range(0);
    long calls = 0, lines = 0, blocks = 0;

    machine(adapters);
    for (auto _ : state) {
        std::u16string tail = sim::utf16(switches);
        long allocs_before = sim::kernel().heap_allocs;
        int rc = nicshow(&tail[0]);
        benchmark::DoNotOptimize(rc);
        state.PauseTiming();
        if (rc != 0 || sim::kernel().heap_outstanding != 0) {
            state.SkipWithError("the run failed or left heap blocks behind");
            break;
        }
        calls = host_calls();
        lines = sim::host().calls["CrLf"];
        blocks = sim::kernel().heap_allocs - allocs_before;
        forget_run();
        state.ResumeTiming();
    }
    set_counters(state, adapters, calls, lines, blocks);
}

// The platform calls of a run, made the way the run makes them and nothing else: the
// adapter list with its two-call pattern, the legacy list, the host record, GetIfEntry2
// twice per shown adapter (filter and report), GetPerAdapterInfo per shown adapter in a
// detailed run.
void floor_calls(bool detailed)
{
    HANDLE heap = GetProcessHeap();
    ULONG flags = GAA_FLAG_INCLUDE_PREFIX | GAA_FLAG_INCLUDE_GATEWAYS |
                  (detailed ? GAA_FLAG_INCLUDE_WINS_INFO : 0);
    ULONG size = 15360;
    auto *list = (IP_ADAPTER_ADDRESSES *)HeapAlloc(heap, 0, size);
    ULONG rc = GetAdaptersAddresses(AF_UNSPEC, flags, NULL, list, &size);
    if (rc == ERROR_BUFFER_OVERFLOW) {
        HeapFree(heap, 0, list);
        list = (IP_ADAPTER_ADDRESSES *)HeapAlloc(heap, 0, size);
        rc = GetAdaptersAddresses(AF_UNSPEC, flags, NULL, list, &size);
    }
    ULONG info_size = 0;
    GetAdaptersInfo(NULL, &info_size);
    info_size += 512;
    auto *info = (IP_ADAPTER_INFO *)HeapAlloc(heap, 0, info_size);
    GetAdaptersInfo(info, &info_size);

    ULONG fixed_size = sizeof(FIXED_INFO);
    auto *fixed = (FIXED_INFO *)HeapAlloc(heap, 0, fixed_size);
    if (GetNetworkParams(fixed, &fixed_size) == ERROR_BUFFER_OVERFLOW) {
        HeapFree(heap, 0, fixed);
        fixed = (FIXED_INFO *)HeapAlloc(heap, 0, fixed_size);
        GetNetworkParams(fixed, &fixed_size);
    }

    for (IP_ADAPTER_ADDRESSES *a = rc == 0 ? list : NULL; a; a = a->Next) {
        if (!detailed && a->IfType == IF_TYPE_SOFTWARE_LOOPBACK)
            continue;
        MIB_IF_ROW2 row;
        ZeroMemory(&row, sizeof(row));
        row.InterfaceIndex = a->IfIndex;
        if (!detailed && GetIfEntry2(&row) == NO_ERROR &&
            row.MediaConnectState == MediaConnectStateDisconnected)
            continue;
        ZeroMemory(&row, sizeof(row));
        row.InterfaceIndex = a->IfIndex;
        GetIfEntry2(&row);
        benchmark::DoNotOptimize(row.MediaConnectState);
        if (detailed) {
            ULONG per_size = 180;
            auto *per = (IP_PER_ADAPTER_INFO *)HeapAlloc(heap, 0, per_size);
            if (GetPerAdapterInfo(a->IfIndex, per, &per_size) == ERROR_BUFFER_OVERFLOW) {
                HeapFree(heap, 0, per);
                per = (IP_PER_ADAPTER_INFO *)HeapAlloc(heap, 0, per_size);
                GetPerAdapterInfo(a->IfIndex, per, &per_size);
            }
            HeapFree(heap, 0, per);
        }
    }
    HeapFree(heap, 0, fixed);
    HeapFree(heap, 0, info);
    HeapFree(heap, 0, list);
}

void platform_floor(benchmark::State &state, bool detailed)
{
    int adapters = (int)state.range(0);

    machine(adapters);
    for (auto _ : state) {
        floor_calls(detailed);
        state.PauseTiming();
        forget_run();
        state.ResumeTiming();
    }
    set_counters(state, adapters, 0, 0, 0);
}

void sizes(benchmark::internal::Benchmark *b)
{
    b->Arg(1)->Arg(10)->Arg(100)->Arg(501)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
}

}  // namespace

BENCHMARK_CAPTURE(run, basic, "")->Apply(sizes);
BENCHMARK_CAPTURE(run, detailed, "/A")->Apply(sizes);
BENCHMARK_CAPTURE(platform_floor, basic, false)->Apply(sizes);
BENCHMARK_CAPTURE(platform_floor, detailed, true)->Apply(sizes);

BENCHMARK_MAIN();
