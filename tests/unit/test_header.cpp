// The global header: heading, host and domain, the detailed switches and the DNS suffix
// search list with its separators, colours, the host record's failures and the user
// break at every line end.
#include "harness.h"
#include "report_text.h"
#include "src/command/header.h"
#include "src/console/highlight.h"
#include "src/console/pager.h"

namespace {

using namespace report_text;

// Label, leader and separator of each header line: together 31 columns, the value
// follows in column 31.
const std::string host_name = "   Host name. . . . . . . . :  ";
const std::string domain = "   Domain . . . . . . . . . :  ";
const std::string node_type = "   Node type. . . . . . . . :  ";
const std::string ip_routing = "   IP routing . . . . . . . :  ";
const std::string arp_proxy = "   ARP proxy. . . . . . . . :  ";
const std::string dns = "   DNS. . . . . . . . . . . :  ";
const std::string search_list = "   DNS search list. . . . . :  ";
const std::string opening = "\r\nWindows IP Configuration\r\n\r\n";
const char *const tcpip = "SYSTEM\\CurrentControlSet\\Services\\TcpIp\\Parameters";

// A search-list value as the registry holds it: UTF-16 without any terminator.
std::vector<BYTE> raw_utf16(const std::u16string &text)
{
    const BYTE *b = (const BYTE *)text.data();
    return std::vector<BYTE>(b, b + text.size() * sizeof(char16_t));
}

}  // namespace

class Header : public SimTest {
protected:
    void SetUp() override
    {
        SimTest::SetUp();
        highlight_colors = HighlightColors{};
        sim::net().host.host_name = "SIMHOST";
        sim::net().host.domain_name = "corp.example";
    }
    // Back to a fresh platform inside one test, after checking that the last case left
    // nothing behind.
    void fresh(const std::string &what)
    {
        EXPECT_EQ(sim::kernel().heap_outstanding, 0) << what << ": heap blocks left outstanding";
        EXPECT_EQ(sim::kernel().reg_open_keys, 0) << what << ": registry keys left open";
        sim::reset();
        pager = PagerState{};
        highlight_colors = HighlightColors{};
        sim::net().host.host_name = "SIMHOST";
        sim::net().host.domain_name = "corp.example";
    }
};

TEST_F(Header, BasicHeaderIsExactlySixLines)
{
    struct Case {
        const char *what;
        std::string domain_name;
        std::string expected;
    } cases[] = {
        {"a host in a domain", "corp.example",
         opening + lines({host_name + "SIMHOST", domain + "corp.example", ""})},
        {"a host in no domain ends its domain line after the separator", "",
         opening + lines({host_name + "SIMHOST", domain, ""})},
    };
    for (const auto &c : cases) {
        fresh(c.what);
        sim::net().host.domain_name = c.domain_name;
        sim::set_search_list("ignored.example");  // the basic header has no search list
        EXPECT_EQ(print_global_header(FALSE), 0) << c.what;
        EXPECT_EQ(sim::out(), c.expected) << c.what;
        EXPECT_EQ(line_ends(sim::out()), 6) << c.what;
        EXPECT_EQ(sim::err(), "") << c.what;
        EXPECT_EQ(sim::kernel().reg_open_keys, 0) << c.what;
    }
}

TEST_F(Header, NamesOfTheRecordsFullLengthAreShownWholeAndReadNoFurther)
{
    // Each name field holds 132 bytes; filled to the last one it has no terminator.
    struct Case {
        const char *what;
        bool unterminated;
        std::string host, domain;  // as given; unterminated, repeated to fill the field
        std::string host_shown, domain_shown;
    } cases[] = {
        {"131 characters and a NUL", false, std::string(131, 'h'), "corp.example",
         std::string(131, 'h'), "corp.example"},
        {"132 characters and no NUL", true, "h", "d", std::string(132, 'h'),
         std::string(132, 'd')},
    };
    for (const auto &c : cases) {
        sim::reset();
        sim::net().host.host_name = c.host;
        sim::net().host.domain_name = c.domain;
        sim::net().host.unterminated_names = c.unterminated;
        EXPECT_EQ(print_global_header(FALSE), 0) << c.what;
        EXPECT_EQ(sim::out(), opening + lines({host_name + c.host_shown, domain + c.domain_shown,
                                               ""}))
            << c.what;
    }
}

TEST_F(Header, DetailedHeaderAddsTheSwitchesAndTheSearchList)
{
    sim::net().host.node_type = 8;
    sim::net().host.enable_routing = 1;
    sim::net().host.enable_proxy = 0;
    sim::net().host.enable_dns = 1;
    sim::set_search_list("corp.example, example.net");
    EXPECT_EQ(print_global_header(TRUE), 0);
    EXPECT_EQ(sim::out(), opening + lines({
                                        host_name + "SIMHOST",
                                        domain + "corp.example",
                                        node_type + "Hybrid",
                                        ip_routing + "Enabled",
                                        arp_proxy + "Disabled",
                                        dns + "Enabled",
                                        search_list + "corp.example",
                                        indent + "example.net",
                                        "",
                                    }));
}

TEST_F(Header, DetailedHeaderWithoutSearchListLeavesItsLineOut)
{
    EXPECT_EQ(print_global_header(TRUE), 0);
    EXPECT_EQ(sim::out(), opening + lines({
                                        host_name + "SIMHOST",
                                        domain + "corp.example",
                                        node_type + "Hybrid",
                                        ip_routing + "Disabled",
                                        arp_proxy + "Disabled",
                                        dns + "Disabled",
                                        "",
                                    }));
}

TEST_F(Header, NodeTypes)
{
    struct Case {
        UINT node_type;
        const char *text;
    } cases[] = {
        {1, "Broadcast"}, {2, "Peer-to-peer"}, {4, "Mixed"},  {8, "Hybrid"},
        {0, "Other"},     {3, "Other"},        {16, "Other"}, {0xFFFFFFFFu, "Other"},
    };
    for (const auto &c : cases) {
        fresh("node type " + std::to_string(c.node_type));
        sim::net().host.node_type = c.node_type;
        EXPECT_EQ(print_global_header(TRUE), 0);
        EXPECT_EQ(sim::out(), opening + lines({host_name + "SIMHOST", domain + "corp.example",
                                               node_type + c.text, ip_routing + "Disabled",
                                               arp_proxy + "Disabled", dns + "Disabled", ""}))
            << "node type " << c.node_type;
    }
}

TEST_F(Header, SwitchesAreEnabledDisabledOrUnknown)
{
    struct Case {
        const char *what;
        UINT value;
        const char *text;
    } cases[] = {
        {"1 is enabled", 1, "Enabled"},
        {"any positive value is enabled", 0x7FFFFFFFu, "Enabled"},
        {"0 is disabled", 0, "Disabled"},
        {"the top bit set is unknown", 0x80000000u, "Unknown"},
        {"all bits set is unknown", 0xFFFFFFFFu, "Unknown"},
    };
    // Each switch in turn takes the value; the other two stay 0.
    for (int which = 0; which < 3; which++) {
        for (const auto &c : cases) {
            std::string what = std::string(c.what) + ", switch " + std::to_string(which);
            fresh(what);
            auto &h = sim::net().host;
            (which == 0 ? h.enable_routing : which == 1 ? h.enable_proxy : h.enable_dns) = c.value;
            EXPECT_EQ(print_global_header(TRUE), 0) << what;
            EXPECT_EQ(sim::out(),
                      opening + lines({host_name + "SIMHOST", domain + "corp.example",
                                       node_type + "Hybrid",
                                       ip_routing + (which == 0 ? c.text : "Disabled"),
                                       arp_proxy + (which == 1 ? c.text : "Disabled"),
                                       dns + (which == 2 ? c.text : "Disabled"), ""}))
                << what;
        }
    }
}

TEST_F(Header, SearchListSeparators)
{
    // What follows the DNS line: the search-list lines and the header's closing line end.
    struct Case {
        const char *what;
        std::string list;
        std::string tail;
        int entries;
    } cases[] = {
        {"one entry", "corp.example", lines({search_list + "corp.example", ""}), 1},
        {"a comma and a blank separate two entries", "corp.example, example.net",
         lines({search_list + "corp.example", indent + "example.net", ""}), 2},
        {"a comma alone separates", "corp.example,example.net",
         lines({search_list + "corp.example", indent + "example.net", ""}), 2},
        {"two blanks separate like one", "corp.example  example.net",
         lines({search_list + "corp.example", indent + "example.net", ""}), 2},
        {"the empty entry between two commas is skipped", "corp.example,,example.net",
         lines({search_list + "corp.example", indent + "example.net", ""}), 2},
        {"tabs, carriage returns and line feeds are white space",
         "corp.example\texample.net\r\nexample.org",
         lines({search_list + "corp.example", indent + "example.net", indent + "example.org",
                ""}),
         3},
        {"a semicolon is part of the entry", "corp.example;example.net",
         lines({search_list + "corp.example;example.net", ""}), 1},
        {"separators in front of the first entry are passed over", " , corp.example",
         lines({search_list + "corp.example", ""}), 1},
        {"a trailing separator leaves a line of 31 blanks", "corp.example, ",
         lines({search_list + "corp.example", indent}), 1},
        {"a comma at the very end leaves a line of 31 blanks too", "corp.example,",
         lines({search_list + "corp.example", indent}), 1},
        {"separators only leave the label line for the closing line end", ", ",
         lines({search_list}), 0},
        {"an empty value is no search list", "", lines({""}), 0},
    };
    for (const auto &c : cases) {
        fresh(c.what);
        sim::set_search_list(c.list);
        EXPECT_EQ(print_global_header(TRUE), 0) << c.what;
        EXPECT_EQ(sim::out(), opening + lines({host_name + "SIMHOST", domain + "corp.example",
                                               node_type + "Hybrid", ip_routing + "Disabled",
                                               arp_proxy + "Disabled", dns + "Disabled"}) +
                                  c.tail)
            << c.what;

        // The same list on its own: the entries written are counted.
        fresh(c.what);
        sim::set_search_list(c.list);
        EXPECT_EQ(print_dns_search_list(), c.entries) << c.what;
    }
}

TEST_F(Header, SearchListThatIsNotThere)
{
    struct Case {
        const char *what;
        std::function<void()> registry;
    } cases[] = {
        {"no TCP/IP parameters key", [] {}},
        {"the key without the value", [] { sim::add_reg_key(HKEY_LOCAL_MACHINE, tcpip); }},
        {"an expandable string", [] { sim::set_search_list("corp.example", REG_EXPAND_SZ); }},
        {"a multi-string", [] { sim::set_search_list("corp.example", REG_MULTI_SZ); }},
        {"a value under the current user instead",
         [] { sim::set_reg_sz(HKEY_CURRENT_USER, tcpip, "SearchList", "corp.example"); }},
        {"a value that does not fit 2048 bytes",
         [] { sim::set_search_list(std::string(1024, 'a')); }},  // 1024 characters and a NUL
        {"a value that begins with NUL",
         [] {
             sim::set_reg_raw(HKEY_LOCAL_MACHINE, tcpip, "SearchList", REG_SZ,
                              raw_utf16(std::u16string(u"\0corp.example", 13)));
         }},
    };
    for (const auto &c : cases) {
        fresh(c.what);
        c.registry();
        EXPECT_EQ(print_dns_search_list(), 0) << c.what;
        EXPECT_EQ(sim::out(), "") << c.what;
        EXPECT_EQ(sim::kernel().reg_open_keys, 0) << c.what;
    }
}

TEST_F(Header, SearchListAtTheSizeOfTheBuffer)
{
    struct Case {
        const char *what;
        std::vector<BYTE> data;
        std::string shown;  // the lines after the separator
        int entries;
    } cases[] = {
        {"1023 characters and a NUL fill the 2048 bytes", raw_utf16(std::u16string(1023, u'a') + u'\0'),
         std::string(1023, 'a'), 1},
        {"1024 characters without a NUL keep the last entry whole",
         raw_utf16(std::u16string(1007, u'a') + u" abcdefghijklmnop"),
         std::string(1007, 'a') + "\r\n" + indent + "abcdefghijklmnop", 2},
        {"one entry of 1024 characters without a NUL: its first 1023 count",
         raw_utf16(std::u16string(1024, u'a')), std::string(1023, 'a'), 1},
        {"a value without a NUL ends where its data ends", raw_utf16(u"corp.example"),
         "corp.example", 1},
        {"the text ends at its first NUL", raw_utf16(std::u16string(u"corp.example\0example.net", 24)),
         "corp.example", 1},
    };
    for (const auto &c : cases) {
        fresh(c.what);
        sim::set_reg_raw(HKEY_LOCAL_MACHINE, tcpip, "SearchList", REG_SZ, c.data);
        EXPECT_EQ(print_dns_search_list(), c.entries) << c.what;
        EXPECT_EQ(sim::out(), search_list + c.shown + "\r\n") << c.what;
    }
}

TEST_F(Header, ReadSearchList)
{
    WCHAR buffer[1024];

    EXPECT_EQ(read_search_list(NULL), -1);
    EXPECT_EQ(sim::kernel().reg_open_keys, 0);

    sim::set_search_list("corp.example, example.net");
    for (WCHAR &c : buffer)
        c = 0xBEEF;
    EXPECT_EQ(read_search_list(buffer), 1);
    EXPECT_EQ(sim::utf8(buffer), "corp.example, example.net");

    fresh("no list");
    for (WCHAR &c : buffer)
        c = 0xBEEF;
    EXPECT_EQ(read_search_list(buffer), 0);
    EXPECT_EQ(buffer[0], 0) << "no list leaves an empty text";

    fresh("the wrong type");
    sim::set_search_list("corp.example", REG_EXPAND_SZ);
    for (WCHAR &c : buffer)
        c = 0xBEEF;
    EXPECT_EQ(read_search_list(buffer), 0);
    EXPECT_EQ(buffer[0], 0) << "a value of the wrong type leaves an empty text";
}

TEST_F(Header, HostAndDomainInTheHighlightColour)
{
    struct Case {
        const char *what;
        std::string domain_name;
        std::string coloured;
    } cases[] = {
        {"both names highlighted", "corp.example",
         opening + lines({host_name + "{0F:SIMHOST}", domain + "{0F:corp.example}", ""})},
        {"an empty domain gives no highlighted text", "",
         opening + lines({host_name + "{0F:SIMHOST}", domain, ""})},
    };
    for (const auto &c : cases) {
        fresh(c.what);
        sim::net().host.domain_name = c.domain_name;
        sim::console().stdout_is_console = true;
        sim::console().attr = 0x07;
        highlight_colors = HighlightColors{0x07, 0x0F};
        EXPECT_EQ(print_global_header(FALSE), 0) << c.what;
        EXPECT_EQ(sim::coloured(0x07), c.coloured) << c.what;
        EXPECT_EQ(sim::con(), "SIMHOST" + c.domain_name) << "highlighted text goes to the console";
        EXPECT_EQ(sim::console().attr, 0x07) << c.what << ": the normal colour is back";
    }
}

TEST_F(Header, HostRecordFailuresWriteNothing)
{
    struct Case {
        const char *what;
        std::function<void()> fault;
        int result;
        size_t calls;
    } cases[] = {
        {"GetNetworkParams fails", [] { sim::net().network_params = {ERROR_NOT_SUPPORTED, 0}; },
         ERROR_NOT_SUPPORTED, 1},
        {"the first buffer cannot be had", [] { sim::kernel().heap_fail_after = 0; },
         ERROR_NOT_ENOUGH_MEMORY, 0},
        {"the larger buffer cannot be had",
         [] {
             sim::net().host.dns_servers = {"192.0.2.53", "192.0.2.54", "192.0.2.55"};
             sim::kernel().heap_fail_after = 1;
         },
         ERROR_NOT_ENOUGH_MEMORY, 1},
        {"an answer too small that asks for no more ends the loop",
         [] { sim::net().network_params = {ERROR_BUFFER_OVERFLOW, 0}; }, ERROR_BUFFER_OVERFLOW, 1},
        {"the second call fails", [] {
             sim::net().host.dns_servers = {"192.0.2.53", "192.0.2.54", "192.0.2.55"};
             sim::net().network_params = {ERROR_NO_DATA, 2};
         },
         ERROR_NO_DATA, 2},
        {"a record that grows at every answer is given up after eight calls", [] {
             sim::net().host.dns_servers = {"192.0.2.53", "192.0.2.54"};
             sim::net().host.grow = 1 << 30;
         },
         ERROR_BUFFER_OVERFLOW, 8},
    };
    for (const auto &c : cases) {
        fresh(c.what);
        c.fault();
        EXPECT_EQ(print_global_header(TRUE), c.result) << c.what;
        EXPECT_EQ(sim::all(), "") << c.what;
        EXPECT_EQ(sim::net().network_params_calls.size(), c.calls) << c.what;
    }
}

TEST_F(Header, HostRecordGrowsUntilItFits)
{
    // Three extra DNS servers lengthen the record past its own size, and each answer that
    // asks for more lets one more arrive.
    sim::net().host.dns_servers = {"192.0.2.53", "192.0.2.54", "192.0.2.55"};
    sim::net().host.grow = 2;
    EXPECT_EQ(print_global_header(FALSE), 0);
    EXPECT_EQ(sim::out(), opening + lines({host_name + "SIMHOST", domain + "corp.example", ""}));
    const auto &calls = sim::net().network_params_calls;
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].size_in, (ULONG)sizeof(FIXED_INFO));
    for (size_t i = 1; i < calls.size(); i++)
        EXPECT_EQ(calls[i].size_in, calls[i - 1].size_out) << "call " << i + 1;
    EXPECT_EQ(calls.back().result, (DWORD)ERROR_SUCCESS);
}

TEST_F(Header, UserBreakAtEveryLineEnd)
{
    struct Case {
        const char *what;
        BOOL detailed;
        std::string list;
        int lines;
    } cases[] = {
        {"basic", FALSE, "", 6},
        {"detailed with two search-list entries", TRUE, "corp.example, example.net", 12},
        {"detailed with a trailing separator", TRUE, "corp.example, ", 11},
    };
    for (const auto &c : cases) {
        fresh(c.what);
        sim::set_search_list(c.list);
        ASSERT_EQ(print_global_header(c.detailed), 0) << c.what;
        const std::string full = sim::out();
        ASSERT_EQ(line_ends(full), c.lines) << c.what;

        for (int n = 1; n <= c.lines; n++) {
            std::string what = std::string(c.what) + ", break at line end " + std::to_string(n);
            fresh(what);
            sim::set_search_list(c.list);
            sim::console().ctrl_c_at_line_end = (unsigned)n;
            install_break_handler();
            EXPECT_EQ(print_global_header(c.detailed), USER_BREAK) << what;
            remove_break_handler();
            EXPECT_EQ(sim::out(), first_lines(full, n)) << what << ": nothing more is written";
            EXPECT_EQ(sim::con(), echo) << what;
        }
    }
}

TEST_F(Header, UserBreakInTheSearchListReturnsAtOnce)
{
    sim::set_search_list("corp.example, example.net, example.org");
    sim::console().ctrl_c_at_line_end = 2;
    install_break_handler();
    EXPECT_EQ(print_dns_search_list(), USER_BREAK);
    remove_break_handler();
    EXPECT_EQ(sim::out(), lines({search_list + "corp.example", indent + "example.net"}));
}
