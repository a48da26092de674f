// The simulated Take Command host: the nine host services, recording every write in the
// transcript with the console attribute in force.
#include "sim.h"
#include "format.h"
#include "../host/portable.h"
#include "../src/plugin/host.h"

namespace sim {

static HostState host_state;

static void reset_host()
{
    host_state = HostState();
    host_state.vars = {{u"_TRANSIENT", u"0"}, {u"_PIPE", u"0"},      {u"_BATCH", u"0"},
                       {u"_BATCHNAME", u""},  {u"_BATCHLINE", u"-1"}};
}
static ResetHook host_hook(reset_host);

HostState &host()
{
    return host_state;
}

void set_host_var(const std::string &name, const std::string &value)
{
    host_state.vars[hostlogic::upper(utf16(name))] = utf16(value);
}

void write(Stream stream, const std::u16string &text)
{
    if (text.empty())
        return;
    WORD attr = console().attr;
    auto &t = host_state.transcript;
    if (!t.empty() && t.back().stream == stream && t.back().attr == attr)
        t.back().text += text;
    else
        t.push_back({stream, text, attr});
}

static std::string gather(int which)
{
    std::u16string s;
    for (auto &seg : host_state.transcript)
        if (which < 0 || (int)seg.stream == which)
            s += seg.text;
    return utf8(s);
}

std::string out() { return gather((int)Stream::Out); }
std::string err() { return gather((int)Stream::Err); }
std::string con() { return gather((int)Stream::Console); }
std::string all() { return gather(-1); }

std::string coloured(WORD normal)
{
    std::string s;
    for (auto &seg : host_state.transcript) {
        if (seg.attr == normal) {
            s += utf8(seg.text);
        } else {
            char head[8];
            snprintf(head, sizeof head, "{%02X:", seg.attr);
            s += head + utf8(seg.text) + "}";
        }
    }
    return s;
}

static bool lookup(const std::u16string &name, std::u16string &value)
{
    std::u16string n = hostlogic::upper(name);
    auto it = host_state.vars.find(n);
    if (it != host_state.vars.end()) {
        value = it->second;
        return true;
    }
    auto e = kernel().env.find(n);
    if (e != kernel().env.end()) {
        value = e->second;
        return true;
    }
    return false;
}

}  // namespace sim

using sim::host_state;

extern "C" {

int WINAPI QPuts(LPCWSTR text)
{
    SIM_CALL(per_line);
    host_state.calls["QPuts"]++;
    host_state.qputs.push_back(text ? text : u"");
    sim::write(sim::Stream::Out, text ? text : u"");
    return 0;
}

int __cdecl Printf(LPCWSTR format, ...)
{
    SIM_CALL(per_line);
    host_state.calls["Printf"]++;
    va_list ap;
    va_start(ap, format);
    std::u16string s = sim::vformat(format, ap);
    va_end(ap);
    sim::write(sim::Stream::Out, s);
    return (int)s.size();
}

int __cdecl Qprintf(HANDLE handle, LPCWSTR format, ...)
{
    SIM_CALL(per_line);
    host_state.calls["Qprintf"]++;
    va_list ap;
    va_start(ap, format);
    std::u16string s = sim::vformat(format, ap);
    va_end(ap);
    sim::Stream stream = handle == sim::std_err()         ? sim::Stream::Err
                         : handle == sim::conout_handle() ? sim::Stream::Console
                                                          : sim::Stream::Out;
    sim::write(stream, s);
    return (int)s.size();
}

void WINAPI CrLf(void)
{
    SIM_CALL(per_line);
    host_state.calls["CrLf"]++;
    sim::write(sim::Stream::Out, u"\r\n");
    sim::line_end();
}

int WINAPI ExpandVariables(LPWSTR text, int flag)
{
    SIM_CALL(per_run);
    host_state.calls["ExpandVariables"]++;
    host_state.expand_flags.push_back(flag);
    hostlogic::expand_variables(text, 1024, sim::lookup);
    return 0;
}

void WINAPI SetColors(int attribute)
{
    SIM_CALL(per_line);
    host_state.calls["SetColors"]++;
    // Only recorded: the plug-in sets the console's attribute itself wherever it relies
    // on one, and a host that did it here would hide a missing call.
    host_state.set_colors.push_back(attribute);
}

void WINAPI GetAttribute(unsigned int *normal, unsigned int *inverse)
{
    SIM_CALL(per_run);
    host_state.calls["GetAttribute"]++;
    // As the host has it: console attributes may carry bits above the colours.
    unsigned a = host_state.normal_attr;
    if (normal)
        *normal = a;
    if (inverse)
        *inverse = ((a & 0x0F) << 4) | (a >> 4);
}

LPWSTR WINAPI ParseColors(LPCWSTR text, int *foreground, int *background)
{
    SIM_CALL(per_run);
    host_state.calls["ParseColors"]++;
    if (host_state.parse_colors_scripted) {
        if (foreground)
            *foreground = host_state.parse_colors_fg;
        if (background)
            *background = host_state.parse_colors_bg;
        return text ? (LPWSTR)text + lstrlenW(text) : NULL;  // all of it taken
    }
    return (LPWSTR)hostlogic::parse_colors(text, foreground, background);
}

int WINAPI WildcardComparison(LPCWSTR pattern, LPCWSTR name, int flag1, int flag2)
{
    SIM_CALL(per_adapter);
    host_state.calls["WildcardComparison"]++;
    host_state.wildcard_calls.push_back({pattern ? pattern : u"", name ? name : u"", flag1, flag2});
    return hostlogic::wildcard_compare(pattern, name);
}

}  // extern "C"
