// The NICSHOW command from the command tail to the exit code, on a machine scripted from
// the input. The input's first line is the command tail (fuzz text); the bytes after it
// describe the machine: a few adapters (any kind, addresses of any family and prefix
// length, short records, physical addresses and DUIDs beyond their arrays, names that are
// not a GUID), adapters arriving between the size probe and the fetch, list and host
// record failures, a host record that grows, the wireless service (any connection
// attributes, failures, no client handle), the console (window height, keys and Ctrl-C at
// the prompt, Ctrl-C at some line end), release and renew answers, and a heap that stops
// giving blocks. After every run: an exit code 0-3 that fits what happened, no heap or WLAN
// block outstanding, no break handler or registry key left, and output that is well-formed.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_common.h"
#include "sim/netsim.h"
#include "src/command/options.h"
#include "src/console/highlight.h"
#include "src/plugin/plugin.h"
#include "src/plugin/wlan_library.h"

extern "C" INT WINAPI nicshow(LPWSTR arguments);

namespace {

const DWORD dhcp_answers[] = {0, 0, 0, ERROR_NOT_SUPPORTED, ERROR_INVALID_PARAMETER,
                              ERROR_ACCESS_DENIED, 0x2745, 0xDEADBEEF};
const IFTYPE if_types[] = {IF_TYPE_ETHERNET_CSMACD, IF_TYPE_IEEE80211, IF_TYPE_SOFTWARE_LOOPBACK,
                           IF_TYPE_TUNNEL, IF_TYPE_PPP, (IFTYPE)0, (IFTYPE)0xFFFFFFFF};
const char *const v4[] = {"192.0.2.10", "198.51.100.7", "203.0.113.255", "0.0.0.0",
                          "169.254.1.2", "255.255.255.255"};
const char *const v6[] = {"2001:db8::1", "fe80::1%12", "::", "::1", "#23", "#0", "#2000"};
const char16_t keys[] = {u' ', u'a', u'c', u'C', u'/', u'0', u'1', u'5', u'9', 27, 3, u'x', 0xE0};

sim::Adapter adapter(FuzzedDataProvider &in)
{
    ULONG index = in.ConsumeIntegralInRange<ULONG>(1, 20);
    std::string name = in.ConsumeRandomLengthString(24);
    sim::Adapter a = in.ConsumeBool() ? sim::wifi(index, name) : sim::ethernet(index, name);
    if (in.ConsumeIntegralInRange(0, 3) == 3)
        a.desc.if_type = in.PickValueInArray(if_types);
    for (int k = in.ConsumeIntegralInRange(0, 3); k > 0; k--)
        a.address(in.ConsumeBool() ? in.PickValueInArray(v4) : in.PickValueInArray(v6),
                  in.ConsumeIntegral<UINT8>(),
                  in.ConsumeIntegralInRange(0, 3) == 3 ? sizeof(IP_ADAPTER_UNICAST_ADDRESS_XP) : 0);
    if (in.ConsumeBool())
        a.gateway(in.PickValueInArray(v4));
    if (in.ConsumeBool())
        a.dns(in.ConsumeBool() ? in.PickValueInArray(v4) : in.PickValueInArray(v6));
    if (in.ConsumeBool())
        a.dhcp(in.PickValueInArray(v4), in.ConsumeIntegral<uint32_t>(), in.ConsumeIntegral<uint32_t>());
    if (in.ConsumeIntegralInRange(0, 3) == 3)
        a.dhcpv6(in.ConsumeBytes<BYTE>(in.ConsumeIntegralInRange(0, 200)), in.ConsumeIntegral<ULONG>());
    if (in.ConsumeIntegralInRange(0, 3) == 3)
        a.physical(in.ConsumeBytes<BYTE>(8), in.ConsumeIntegral<ULONG>());
    if (in.ConsumeIntegralInRange(0, 7) == 7)
        a.name(in.ConsumeRandomLengthString(40));
    if (in.ConsumeIntegralInRange(0, 3) == 3)
        a.short_layout();
    if (in.ConsumeIntegralInRange(0, 3) == 3)
        a.search_suffix(in.ConsumeRandomLengthString(300));
    if (in.ConsumeIntegralInRange(0, 3) == 3)
        a.desc.flags = in.ConsumeIntegral<ULONG>();
    a.media(in.ConsumeIntegralInRange(0, 4));
    if (in.ConsumeIntegralInRange(0, 7) == 7)
        a.if_entry_fails(ERROR_NOT_SUPPORTED);
    a.autoconfig(in.ConsumeIntegralInRange(0, 1));
    if (in.ConsumeBool())
        a.speed(in.ConsumeIntegral<ULONG64>(), in.ConsumeIntegral<ULONG64>());
    a.release_result(in.PickValueInArray(dhcp_answers));
    a.renew_result(in.PickValueInArray(dhcp_answers));

    // A wireless interface under the adapter's name when that is a GUID.
    GUID guid;
    if (sim::parse_guid(sim::utf16(a.desc.adapter_name), &guid) && in.ConsumeBool()) {
        sim::WlanSpec w;
        w.guid = guid;
        std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t>(sizeof w.attributes);
        if (!bytes.empty())
            memcpy(&w.attributes, bytes.data(), bytes.size());
        if (in.ConsumeBool())
            w.attributes.isState = wlan_interface_state_connected;
        switch (in.ConsumeIntegralInRange(0, 7)) {
        case 0: w.connection_result = ERROR_NOT_FOUND; break;
        case 1: w.connection_null = true; break;
        case 2: w.channel_result = ERROR_NOT_SUPPORTED; break;
        default: break;
        }
        w.channel = in.ConsumeIntegral<ULONG>();
        sim::wlan().interfaces.push_back(w);
    }
    return a;
}

// What a stop needs: a Ctrl-C at a line end, or Esc, Ctrl-C or a break at the prompt.
bool stop_scripted(const std::vector<sim::Input> &script)
{
    if (sim::console().ctrl_c_at_line_end)
        return true;
    for (const sim::Input &i : script)
        if (i.is_ctrl || i.record.Event.KeyEvent.uChar.UnicodeChar == 27 ||
            i.record.Event.KeyEvent.uChar.UnicodeChar == 3 ||
            i.record.Event.KeyEvent.wVirtualKeyCode == VK_ESCAPE)
            return true;
    return false;
}

bool ends_with(const std::string &s, const std::string &end)
{
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The tail: the input up to its first line feed.
    size_t eol = 0;
    while (eol < size && data[eol] != '\n')
        eol++;
    std::u16string tail = fuzz::text(data, eol);
    FuzzedDataProvider in(data + (eol < size ? eol + 1 : size), eol < size ? size - eol - 1 : 0);

    // What the switches ask for, read first on a platform of its own.
    fuzz::fresh_platform();
    CommandOptions options;
    reset_command_options(&options);
    int parsed = parse_command_line(tail.c_str(), &options);
    const DWORD pause_ms = pager.pause_ms;

    fuzz::fresh_platform();
    highlight_colors = HighlightColors{};
    ZeroMemory(&os_version, sizeof os_version);
    os_version.dwMajorVersion = in.ConsumeIntegralInRange(0, 7) != 7 ? 10 : 5;
    load_wlan_library();
    wlan_client = in.ConsumeIntegralInRange(0, 7) != 7 ? (HANDLE)0x777 : NULL;

    int n = in.ConsumeIntegralInRange(0, 5);
    for (int i = 0; i < n; i++)
        sim::net().add(adapter(in));
    for (int i = in.ConsumeIntegralInRange(0, 3) == 3 ? in.ConsumeIntegralInRange(1, 3) : 0; i > 0; i--)
        sim::net().arriving.push_back(adapter(in).desc);
    if (in.ConsumeIntegralInRange(0, 15) == 15)
        sim::net().addresses = {ERROR_NOT_ENOUGH_MEMORY, in.ConsumeIntegralInRange(0, 2)};
    if (in.ConsumeIntegralInRange(0, 15) == 15)
        sim::net().info = {ERROR_NOT_SUPPORTED, in.ConsumeIntegralInRange(0, 2)};
    if (in.ConsumeIntegralInRange(0, 15) == 15)
        sim::net().interface_info = {ERROR_NOT_SUPPORTED, in.ConsumeIntegralInRange(0, 2)};
    if (in.ConsumeIntegralInRange(0, 15) == 15)
        sim::net().network_params = {ERROR_NOT_SUPPORTED, in.ConsumeIntegralInRange(0, 2)};

    sim::HostSpec &host = sim::net().host;
    if (in.ConsumeBool()) {
        host.host_name = in.ConsumeRandomLengthString(140);
        host.domain_name = in.ConsumeRandomLengthString(140);
        host.node_type = in.ConsumeIntegral<UINT>();
        host.enable_routing = in.ConsumeIntegralInRange(0, 2);
        host.grow = in.ConsumeIntegralInRange(0, 3);
        host.unterminated_names = in.ConsumeBool();
    }
    if (in.ConsumeIntegralInRange(0, 3) == 3)
        sim::set_search_list(in.ConsumeRandomLengthString(60));
    if (in.ConsumeIntegralInRange(0, 3) == 3)
        sim::set_env("Highlight", in.ConsumeRandomLengthString(20));

    // The console: its height, Ctrl-C at a line end, the keys at the prompt. A last 'c'
    // goes on without paging, so that no prompt waits for ever.
    sim::ConsoleState &con = sim::console();
    con.stdout_is_console = in.ConsumeBool();
    con.window_rows = in.ConsumeIntegralInRange<SHORT>(0, 120);
    con.processed_input = in.ConsumeIntegralInRange(0, 7) != 7;
    // Without console input every prompt waits its pause time out: a pause of up to 10 s
    // keeps a run's prompts well inside the simulation's hour of virtual waiting.
    con.conin_missing = in.ConsumeIntegralInRange(0, 15) == 15 && pause_ms <= 10000;
    con.ctrl_c_at_line_end = in.ConsumeIntegralInRange(0, 3) == 3 ? in.ConsumeIntegralInRange(1, 120) : 0;
    std::vector<sim::Input> script;
    for (int i = in.ConsumeIntegralInRange(0, 6); i > 0; i--) {
        DWORD after = in.ConsumeIntegralInRange(0, 5000);
        switch (in.ConsumeIntegralInRange(0, 7)) {
        case 0: script.push_back(sim::ctrl_c(after)); break;
        case 1: script.push_back(sim::ctrl_break(after)); break;
        case 2: script.push_back(sim::mouse()); break;
        case 3: script.push_back(sim::vkey(in.ConsumeIntegral<WORD>(), in.ConsumeIntegral<WORD>(), after)); break;
        default: script.push_back(sim::key(in.PickValueInArray(keys), after)); break;
        }
    }
    script.push_back(sim::key(u'c'));
    con.script = script;
    bool may_stop = stop_scripted(script);
    if (in.ConsumeIntegralInRange(0, 7) == 7)
        sim::kernel().heap_fail_after = in.ConsumeIntegralInRange(0, 12);

    std::u16string writable = tail;
    int rc = nicshow(&writable[0]);

    FUZZ_CHECK(rc >= 0 && rc <= 3, "exit code %d", rc);
    FUZZ_CHECK(sim::wlan_outstanding() == 0, "%ld WLAN blocks not freed", sim::wlan_outstanding());
    FUZZ_CHECK(pager.handler_installed == 0, "the pager still thinks its handler is installed");
    fuzz::check_clean();

    for (const sim::Segment &s : sim::host().transcript)
        FUZZ_CHECK(s.text.find(u'\0') == std::u16string::npos, "a NUL was written");
    std::string out = sim::out(), err = sim::err();
    if (parsed == 1) {
        FUZZ_CHECK(rc == 1 && out.empty() && err.compare(0, 16, "Nicshow plugin: ") == 0,
                   "a bad argument gave %d, wrote %s / %s", rc, out.c_str(), err.c_str());
    } else if (parsed == 0) {
        FUZZ_CHECK(rc == 0 && !out.empty() && err.empty(), "help gave %d", rc);
    } else {
        FUZZ_CHECK(rc != 1, "a good command line gave 1");
        FUZZ_CHECK(rc != 3 || may_stop, "a stop nobody asked for");
        FUZZ_CHECK(rc != 0 || err.empty(), "a run that succeeded wrote an error: %s", err.c_str());
        // Messages of the run carry the plug-in's prefix; a failed release or renew writes
        // its error text indented (its line end goes to standard output).
        FUZZ_CHECK(err.empty() || err.compare(0, 16, "Nicshow plugin: ") == 0 ||
                       err.compare(0, 3, "   ") == 0,
                   "an error of no known form: %s", err.c_str());
        if (rc == 0)
            FUZZ_CHECK(ends_with(out, " listed.\r\n"), "a whole run without its count line: ...%s",
                       out.substr(out.size() > 80 ? out.size() - 80 : 0).c_str());
    }
    static const char *const codes[] = {"exit-0", "exit-1", "exit-2", "exit-3"};
    fuzz::tag(codes[rc]);
    if (parsed < 0) {
        if (options.actions == 3) fuzz::tag("bounce");
        else if (options.actions == 1) fuzz::tag("release");
        else if (options.actions == 2) fuzz::tag("renew");
        if (options.flags & CommandOptions::detailed) fuzz::tag("detailed");
        if (options.wildmask) fuzz::tag("wildmask");
        if (tail.size() >= 8000) fuzz::tag("tail-8000");
    }
    if (!sim::console().input_waits.empty()) fuzz::tag("prompt");
    if (!sim::console().ctrl_handled.empty()) fuzz::tag("ctrl-c-handled");
    if (!sim::console().ctrl_unhandled.empty()) fuzz::tag("ctrl-c-left-to-host");
    if (sim::kernel().heap_fail_after >= 0) fuzz::tag("heap-fails");
    if (!sim::net().arriving.empty() || sim::net().adapters.size() > (size_t)n) fuzz::tag("list-grows");
    if (!sim::net().dhcp_calls.empty()) fuzz::tag("dhcp-called");
    if (sim::wlan().allocations) fuzz::tag("wlan-queried");
    for (const auto &w : sim::wlan().interfaces)
        if (w.attributes.wlanAssociationAttributes.dot11Ssid.uSSIDLength > 32)
            fuzz::tag("ssid-above-32");
    fuzz::print_tags();
    wlan_client = NULL;
    return 0;
}
