// The NICSHOW command from the command tail to the exit code: release and renew first,
// then the header and the listing, paging and colours, the messages of the run, the user
// break at every stage, and every block freed and the break handler gone on every path.
#include "harness.h"
#include "report_text.h"
#include "sim/netsim.h"
#include "src/console/highlight.h"

// The usage text as test_usage.cpp writes it out.
extern const char expected_usage_text[];

namespace {

using report_text::echo;
using report_text::first_lines;

const std::string dashes = "\u2500\u2500";
const std::string prompt = "\r   " + dashes + " Press a key to continue " + dashes + " ";
const std::string erase = "\r" + std::string(60, ' ') + "\r";

const std::vector<std::string> handler_in_and_out = {"SetConsoleCtrlHandler(add)",
                                                     "SetConsoleCtrlHandler(remove)"};
const std::vector<std::string> handler_never = {};

// --- the simulated machine and its report ----------------------------------------------

const char *const wifi_guid = "{0000000C-0000-0000-0000-53494D4E4554}";

// The WiFi adapter's connection: HomeNet, WPA2 Personal, channel 36.
sim::WlanInterface home_wlan()
{
    return sim::WlanInterface(wifi_guid)
        .state(wlan_interface_state_connected)
        .ssid("HomeNet")
        .phy(7)
        .signal(88)
        .rates(866700, 400000)
        .security(DOT11_AUTH_ALGO_RSNA_PSK, DOT11_CIPHER_ALGO_CCMP)
        .channel(36);
}

// The lines of that connection in a detailed report.
const std::string WIFI_LINES = "   WiFi state . . . . . . . :  Connected\r\n"
                               "   WiFi SSID. . . . . . . . :  HomeNet\r\n"
                               "   WiFi radio type. . . . . :  HT (802.11n?)\r\n"
                               "   WiFi security. . . . . . :  WPA2 Personal\r\n"
                               "   WiFi channel . . . . . . :  36\r\n"
                               "   WiFi signal strength . . :  88%\r\n"
                               "   WiFi link speed. . . . . :  866 Mbps / 400 Mbps (Rx/Tx)\r\n";

// A DHCP Ethernet adapter, a connected WiFi adapter, a disconnected Ethernet adapter, the
// loopback and a Teredo tunnel, in this order.
void machine()
{
    sim::net().add(sim::ethernet(7, "Ethernet")
                       .address("192.0.2.10", 24)
                       .gateway("192.0.2.1")
                       .dhcp("192.0.2.1", 0, 0));
    sim::net().add(sim::wifi(12, "Wi-Fi").address("198.51.100.20", 24).dhcp("198.51.100.1", 0, 0));
    sim::net().add(sim::ethernet(9, "Backup").address("203.0.113.5", 24).media(MediaConnectStateDisconnected));
    sim::net().add(sim::loopback(1));
    sim::net().add(sim::tunnel(14, "Teredo"));
    sim::wlan().add(home_wlan());
}

const std::string HEADER = "\r\n"
                           "Windows IP Configuration\r\n"
                           "\r\n"
                           "   Host name. . . . . . . . :  SIMHOST\r\n"
                           "   Domain . . . . . . . . . :  \r\n"
                           "\r\n";

const std::string ETHERNET_TITLE = "[7]  Ethernet adapter:  Ethernet\r\n"
                                   "\r\n"
                                   "   DNS suffix . . . . . . . :  \r\n"
                                   "   Description. . . . . . . :  Simulated Gigabit Ethernet Adapter\r\n"
                                   "   Media state. . . . . . . :  Connected\r\n"
                                   "   Link speed . . . . . . . :  1.0 Gbps\r\n";
const std::string ETHERNET = ETHERNET_TITLE +
                             "   IPv4 address . . . . . . :  192.0.2.10\r\n"
                             "   Gateway. . . . . . . . . :  192.0.2.1\r\n"
                             "   Subnet mask. . . . . . . :  255.255.255.0\r\n"
                             "   Network CIDR . . . . . . :  192.0.2.0/24\r\n"
                             "\r\n";
// After a release the adapter has no IPv4 address, so no mask and network either.
const std::string ETHERNET_RELEASED = ETHERNET_TITLE +
                                      "   Gateway. . . . . . . . . :  192.0.2.1\r\n"
                                      "\r\n";
const std::string WIFI = "[12]  Wireless adapter:  Wi-Fi\r\n"
                         "\r\n"
                         "   DNS suffix . . . . . . . :  \r\n"
                         "   Description. . . . . . . :  Simulated Wireless Network Adapter\r\n"
                         "   Media state. . . . . . . :  Connected\r\n"
                         "   Link speed . . . . . . . :  300 Mbps\r\n"
                         "   IPv4 address . . . . . . :  198.51.100.20\r\n"
                         "   Subnet mask. . . . . . . :  255.255.255.0\r\n"
                         "   Network CIDR . . . . . . :  198.51.100.0/24\r\n"
                         "\r\n";
const std::string LISTING = ETHERNET + WIFI + "2 adapters listed.\r\n";

const std::string DETAILED_HEADER = "\r\n"
                                    "Windows IP Configuration\r\n"
                                    "\r\n"
                                    "   Host name. . . . . . . . :  SIMHOST\r\n"
                                    "   Domain . . . . . . . . . :  \r\n"
                                    "   Node type. . . . . . . . :  Hybrid\r\n"
                                    "   IP routing . . . . . . . :  Disabled\r\n"
                                    "   ARP proxy. . . . . . . . :  Disabled\r\n"
                                    "   DNS. . . . . . . . . . . :  Disabled\r\n"
                                    "\r\n";
const std::string DETAILED_LISTING =
    "[7]  Ethernet adapter:  Ethernet\r\n"
    "\r\n"
    "   DNS suffix . . . . . . . :  \r\n"
    "   Description. . . . . . . :  Simulated Gigabit Ethernet Adapter\r\n"
    "   Physical address . . . . :  02-53-49-4D-00-07\r\n"
    "   Media state. . . . . . . :  Connected\r\n"
    "   Link speed . . . . . . . :  1.0 Gbps\r\n"
    "   DHCP . . . . . . . . . . :  Enabled\r\n"
    "   Autoconfig . . . . . . . :  Disabled\r\n"
    "   IPv4 address . . . . . . :  192.0.2.10\r\n"
    "   Gateway. . . . . . . . . :  192.0.2.1\r\n"
    "   Subnet mask. . . . . . . :  255.255.255.0\r\n"
    "   Network CIDR . . . . . . :  192.0.2.0/24\r\n"
    "   DHCP server. . . . . . . :  192.0.2.1\r\n"
    "   NetBIOS over TCP/IP. . . :  Enabled\r\n"
    "\r\n"
    "[12]  Wireless adapter:  Wi-Fi\r\n"
    "\r\n"
    "   DNS suffix . . . . . . . :  \r\n"
    "   Description. . . . . . . :  Simulated Wireless Network Adapter\r\n"
    "   Physical address . . . . :  02-53-49-4D-00-0C\r\n"
    "   Media state. . . . . . . :  Connected\r\n"
    "   Link speed . . . . . . . :  300 Mbps\r\n"
    "   DHCP . . . . . . . . . . :  Enabled\r\n"
    "   Autoconfig . . . . . . . :  Disabled\r\n"
    + WIFI_LINES +
    "   IPv4 address . . . . . . :  198.51.100.20\r\n"
    "   Subnet mask. . . . . . . :  255.255.255.0\r\n"
    "   Network CIDR . . . . . . :  198.51.100.0/24\r\n"
    "   DHCP server. . . . . . . :  198.51.100.1\r\n"
    "   NetBIOS over TCP/IP. . . :  Enabled\r\n"
    "\r\n"
    "2 adapters listed.\r\n";

const std::string RELEASE_ETHERNET = "\r\nRelease IP for # 7 \u201CEthernet\u201D :  ";
const std::string RENEW_ETHERNET = "Renew IP   for # 7 \u201CEthernet\u201D :  ";
const std::string RELEASE_WIFI = "\r\nRelease IP for #12 \u201CWi-Fi\u201D :  ";
const std::string RENEW_WIFI = "Renew IP   for #12 \u201CWi-Fi\u201D :  ";

const std::string NOT_SUPPORTED = "The request is not supported.";
const std::string NOT_FOUND = "Element not found.";

// --- reading the transcript ------------------------------------------------------------

size_t count_of(const std::string &text, const std::string &what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        n++;
    return n;
}

// For each prompt, the number of line ends written before it.
std::vector<size_t> prompts_after_lines()
{
    std::string all = sim::all();
    std::vector<size_t> at;
    for (size_t p = all.find(prompt); p != std::string::npos; p = all.find(prompt, p + 1))
        at.push_back(count_of(all.substr(0, p), "\r\n"));
    return at;
}

std::vector<std::string> dhcp_log()
{
    std::vector<std::string> log;
    for (const auto &c : sim::net().dhcp_calls)
        log.push_back(c.action + " " + std::to_string(c.index));
    return log;
}

// The console control handler's comings and goings, from the ordered event log.
std::vector<std::string> handler_events()
{
    std::vector<std::string> events;
    for (const auto &e : sim::kernel().events)
        if (e.rfind("SetConsoleCtrlHandler", 0) == 0)
            events.push_back(e);
    return events;
}

std::vector<ULONG_PTR> sounds_played()
{
    std::vector<ULONG_PTR> played;
    for (const auto &s : sim::sounds())
        played.push_back(s.sound);
    return played;
}

}  // namespace

class Run : public SimTest {
protected:
    void SetUp() override
    {
        SimTest::SetUp();
        fresh();
    }
    void TearDown() override
    {
        wlan_client = NULL;
        SimTest::TearDown();
    }
    // A fresh platform and module state, as after loading on Windows 10.
    void fresh()
    {
        sim::reset();
        pager = PagerState{};
        highlight_colors = HighlightColors{};
        console_output = NULL;
        os_version.dwMajorVersion = 10;
        load_wlan_library();
        sim::kernel().events.clear();
        wlan_client = (HANDLE)0x777;
    }
    // One run; afterwards nothing may be left behind, whatever the way out.
    int run(const std::string &text)
    {
        std::u16string tail = sim::utf16(text);
        int rc = nicshow(&tail[0]);
        EXPECT_EQ(sim::kernel().heap_outstanding, 0) << text << ": heap blocks left";
        EXPECT_EQ(sim::wlan_outstanding(), 0) << text << ": WLAN blocks left";
        EXPECT_TRUE(sim::console().handlers.empty()) << text << ": handler left installed";
        EXPECT_EQ(pager.handler_installed, 0u) << text;
        return rc;
    }
};

// --- the ordinary run ------------------------------------------------------------------

TEST_F(Run, EmptyTailGivesTheDefaultListing)
{
    machine();
    EXPECT_EQ(run(""), 0);
    EXPECT_EQ(sim::out(), HEADER + LISTING);
    EXPECT_EQ(sim::err(), "");
    EXPECT_EQ(sim::con(), "");
    EXPECT_EQ(sim::coloured(0x07), HEADER + LISTING) << "no colour off a console";
    EXPECT_TRUE(sim::console().attr_log.empty());
    EXPECT_TRUE(sim::net().interface_info_calls.empty()) << "nothing released or renewed";
    EXPECT_TRUE(sim::net().dhcp_calls.empty());
    ASSERT_EQ(sim::net().addresses_calls.size(), 1u);
    EXPECT_EQ(sim::net().addresses_calls[0].family, (ULONG)AF_UNSPEC);
    EXPECT_EQ(sim::net().addresses_calls[0].flags, 0x90u);
    EXPECT_EQ(handler_events(), handler_in_and_out);
    EXPECT_TRUE(sim::kernel().sleeps.empty());
}

TEST_F(Run, DetailedListingFreesTheWirelessBlocksAndDatesLeasesInTheRunsForm)
{
    // The Ethernet adapter's lease lines stand after its DHCP server line.
    const std::string server = "   DHCP server. . . . . . . :  192.0.2.1\r\n";
    auto with_lease = [&](const std::string &obtained, const std::string &expires) {
        std::string listing = DETAILED_LISTING;
        return listing.insert(listing.find(server) + server.size(),
                              "   Lease obtained/renewed . :  " + obtained + "\r\n"
                              "   Lease expires. . . . . . :  " + expires + "\r\n");
    };
    struct Case {
        const char *what;
        const char *tail;
        time_t obtained, expires;
        std::string listing;
    } cases[] = {
        {"no lease known", "/i", 0, 0, DETAILED_LISTING},
        {"the default date form", "/i", 1704438309, 1704524709,
         with_lease("Friday, January 5, 2024  7:05:09 AM", "Saturday, January 6, 2024  7:05:09 AM")},
        {"/F reaches the lease lines", "/i /f:4", 1704438309, 1704524709,
         with_lease("2024-01-05  07:05:09", "2024-01-06  07:05:09")},
    };
    for (const auto &c : cases) {
        fresh();
        machine();
        sim::net().find(7)->lease_obtained = c.obtained;
        sim::net().find(7)->lease_expires = c.expires;
        EXPECT_EQ(run(c.tail), 0) << c.what;
        EXPECT_EQ(sim::out(), DETAILED_HEADER + c.listing) << c.what;
        EXPECT_EQ(sim::err(), "") << c.what;
        EXPECT_GT(sim::wlan().allocations, 0) << c.what;
        EXPECT_EQ(sim::net().addresses_calls.back().flags, 0xD0u) << c.what;
    }
}

TEST_F(Run, NullTailIsABadArgumentWithNothingWritten)
{
    machine();
    EXPECT_EQ(nicshow(NULL), 1);
    EXPECT_EQ(sim::all(), "");
    EXPECT_EQ(sim::kernel().heap_allocs, 0);
    EXPECT_TRUE(sim::kernel().events.empty());
    EXPECT_TRUE(sim::net().addresses_calls.empty());
}

TEST_F(Run, HelpAndBadArgumentsEndBeforeAnythingIsAcquired)
{
    const std::string usage = expected_usage_text;
    struct Case {
        const char *tail;
        int rc;
        std::string out, err;
    } cases[] = {
        {"/?", 0, usage, ""},
        {"/??", 0, usage + "\r\n\t\t\t\tNicshow  0.95.2.0 (x86)\r\n", ""},
        {"/b /s /p /?", 0, usage, ""},
        {"/x /z", 1, "", "Nicshow plugin: Unknown option: \"/Z\"\r\n"},
        {"-?", 1, "", "Nicshow plugin: Unknown option: \"-?\"\r\n"},
        {"/z /?", 1, "", "Nicshow plugin: Unknown option: \"/Z\"\r\n"},
        {"/b eth* wifi*", 1, "", "Nicshow plugin: Syntax error: \"WIFI*\"\r\n"},
        {"/p /f:3x /r", 1, "", "Nicshow plugin: Bad fmt value: \"/F:3X\"\r\n"},
        {"/r /p,1001", 1, "", "Nicshow plugin: Pause lines must be 0 - 1000: 1001\r\n"},
    };
    for (const auto &c : cases) {
        fresh();
        machine();
        sim::console().stdout_is_console = true;
        EXPECT_EQ(run(c.tail), c.rc) << c.tail;
        EXPECT_EQ(sim::out(), c.out) << c.tail;
        EXPECT_EQ(sim::err(), c.err) << c.tail;
        EXPECT_EQ(sim::con(), "") << c.tail;
        EXPECT_EQ(sim::kernel().heap_allocs, 0) << c.tail << ": nothing allocated";
        EXPECT_TRUE(sim::kernel().events.empty()) << c.tail << ": no handler";
        EXPECT_TRUE(sim::net().interface_info_calls.empty()) << c.tail;
        EXPECT_TRUE(sim::net().dhcp_calls.empty()) << c.tail;
        EXPECT_TRUE(sim::net().addresses_calls.empty()) << c.tail;
        EXPECT_TRUE(sim::net().network_params_calls.empty()) << c.tail;
        EXPECT_TRUE(sim::sounds().empty()) << c.tail;
        EXPECT_EQ(pager.page_length, 0u) << c.tail << ": paging not set up";
        EXPECT_EQ(highlight_colors.normal, 0) << c.tail << ": colours not set up";
    }
}

TEST_F(Run, EveryRunStartsWithAClearBreakFlag)
{
    machine();
    pager.break_requested = 1;
    pager.lines_left = 1;
    pager.page_length = 1;
    pager.pause_ms = 5;
    EXPECT_EQ(run("/x"), 0);
    EXPECT_EQ(sim::out(), RELEASE_ETHERNET + "Success.\r\n" + RELEASE_WIFI + "Success.\r\n" +
                              HEADER + ETHERNET_RELEASED + WIFI.substr(0, WIFI.find("   IPv4")) +
                              "\r\n2 adapters listed.\r\n");
    EXPECT_EQ(sim::con(), "") << "no prompt, no echo";
}

TEST_F(Run, EveryRunStartsWithAResetPager)
{
    machine();
    pager.lines_left = 7;
    pager.page_length = 20;
    pager.pause_ms = 9000;
    pager.break_requested = 1;
    EXPECT_EQ(run("/?"), 0);
    EXPECT_EQ(pager.lines_left, 0u);
    EXPECT_EQ(pager.page_length, 0u);
    EXPECT_EQ(pager.pause_ms, 0u);
    EXPECT_EQ(pager.break_requested, 0u);

    // The pause time of one run does not reach into the next.
    run("/p:4");
    EXPECT_EQ(pager.pause_ms, 4000u);
    run("/p");
    EXPECT_EQ(pager.pause_ms, 0u);
    pager.pause_ms = 123;
    run("/d");
    EXPECT_EQ(pager.pause_ms, 0u);
}

// --- release and renew within the run --------------------------------------------------

TEST_F(Run, ReleaseAndRenewComeFirstAndSetTheExitCode)
{
    const std::string wifi_released = WIFI.substr(0, WIFI.find("   IPv4")) + "\r\n";
    struct Case {
        const char *what;
        const char *tail;
        DWORD eth_release, eth_renew;
        sim::Failure table;
        int rc;
        std::string out, err;
        std::vector<std::string> dhcp;
        std::vector<DWORD> sleeps;
    } cases[] = {
        {"/B releases and renews", "/b", 0, 0, {}, 0,
         RELEASE_ETHERNET + "Success.\r\n" + RENEW_ETHERNET + "Success.\r\n" + RELEASE_WIFI +
             "Success.\r\n" + RENEW_WIFI + "Success.\r\n" + HEADER + LISTING,
         "", {"release 7", "renew 7", "release 12", "renew 12"}, {800, 800}},
        {"/X /R together act as /B", "/x /r", 0, 0, {}, 0,
         RELEASE_ETHERNET + "Success.\r\n" + RENEW_ETHERNET + "Success.\r\n" + RELEASE_WIFI +
             "Success.\r\n" + RENEW_WIFI + "Success.\r\n" + HEADER + LISTING,
         "", {"release 7", "renew 7", "release 12", "renew 12"}, {800, 800}},
        {"so do /REN and /REL", "/ren /rel", 0, 0, {}, 0,
         RELEASE_ETHERNET + "Success.\r\n" + RENEW_ETHERNET + "Success.\r\n" + RELEASE_WIFI +
             "Success.\r\n" + RENEW_WIFI + "Success.\r\n" + HEADER + LISTING,
         "", {"release 7", "renew 7", "release 12", "renew 12"}, {800, 800}},
        {"a release failure, then the complete listing: 2", "/x", ERROR_NOT_SUPPORTED, 0, {}, 2,
         RELEASE_ETHERNET + "Failed!\r\n\r\n" + RELEASE_WIFI + "Success.\r\n" + HEADER + ETHERNET +
             wifi_released + "2 adapters listed.\r\n",
         "   " + NOT_SUPPORTED, {"release 7", "release 12"}, {}},
        {"a renew failure: 2", "/r /q", 0, ERROR_NOT_FOUND, {}, 2,
         "\r\n\r\n\r\n" + HEADER + LISTING, "   " + NOT_FOUND, {"renew 7", "renew 12"}, {}},
        {"/X with a mask: the release lines, then the matching adapter as it is now",
         "/x eth*", 0, 0, {}, 0,
         RELEASE_ETHERNET + "Success.\r\n" + HEADER + ETHERNET_RELEASED + "1 adapter listed.\r\n",
         "", {"release 7"}, {}},
        {"/X with a mask matching nothing: the listing alone", "/x vpn*", 0, 0, {}, 0,
         HEADER + "0 adapters listed.\r\n", "", {}, {}},
        {"no interface table: 2, and the listing", "/b", 0, 0, {ERROR_NOT_SUPPORTED, 0}, 2,
         HEADER + LISTING, "", {}, {}},
    };
    for (const auto &c : cases) {
        fresh();
        sim::net().add(sim::ethernet(7, "Ethernet")
                           .address("192.0.2.10", 24)
                           .gateway("192.0.2.1")
                           .dhcp("192.0.2.1", 0, 0)
                           .release_result(c.eth_release)
                           .renew_result(c.eth_renew));
        sim::net().add(sim::wifi(12, "Wi-Fi").address("198.51.100.20", 24).dhcp("198.51.100.1", 0, 0));
        sim::net().add(sim::ethernet(9, "Backup").media(MediaConnectStateDisconnected));
        sim::net().interface_info = c.table;
        EXPECT_EQ(run(c.tail), c.rc) << c.what;
        EXPECT_EQ(sim::out(), c.out) << c.what;
        EXPECT_EQ(sim::err(), c.err) << c.what;
        EXPECT_EQ(dhcp_log(), c.dhcp) << c.what;
        EXPECT_EQ(sim::kernel().sleeps, c.sleeps) << c.what;
        EXPECT_EQ(handler_events(), handler_in_and_out) << c.what;
    }
}

TEST_F(Run, BounceWithSoundsAndTheErrorTextInOrder)
{
    sim::net().add(sim::ethernet(7, "Ethernet").renew_result(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(run("/b /s"), 2);
    EXPECT_EQ(sounds_played(), (std::vector<ULONG_PTR>{0x2A53, 0x4853}));
    for (const auto &s : sim::sounds())
        EXPECT_EQ(s.flags, 0x110001u);
    EXPECT_EQ(sim::kernel().sleeps, std::vector<DWORD>{800});
    EXPECT_EQ(sim::all(), RELEASE_ETHERNET + "Success.\r\n" + RENEW_ETHERNET +
                              "Failed!\r\n   The request is not supported.\r\n" + HEADER +
                              ETHERNET_TITLE + "\r\n1 adapter listed.\r\n");
}

// --- paging ----------------------------------------------------------------------------

TEST_F(Run, PageLengthFromTheSwitchAndTheWindow)
{
    // 28 line ends: the header 6, the two adapters 11 and 10, the count line 1.
    struct Case {
        const char *what;
        const char *tail;
        bool console;
        SHORT rows;
        std::vector<size_t> prompts;
    } cases[] = {
        {"bare /P in 25 rows: pages of 23", "/p", true, 25, {23}},
        {"/P,5: pages of 5", "/p,5", true, 25, {5, 10, 15, 20, 25}},
        {"bare /P in 10 rows: pages of 8", "/p", true, 10, {8, 16, 24}},
        {"9 rows: no paging", "/p", true, 9, {}},
        {"101 rows: no paging", "/p", true, 101, {}},
        {"/P,28 in 100 rows: the prompt at the count line", "/p,28", true, 100, {28}},
        {"/P,25 in 25 rows: the window's 23", "/p,25", true, 25, {23}},
        {"/P,2: fewer than 3 gives the window's", "/p,2", true, 10, {8, 16, 24}},
        {"not a console: no paging", "/p,5", false, 25, {}},
        {"/P,0: paging stays off", "/p,0", true, 25, {}},
        {"no /P: no paging", "", true, 25, {}},
    };
    for (const auto &c : cases) {
        fresh();
        machine();
        sim::console().stdout_is_console = c.console;
        sim::console().window_rows = c.rows;
        sim::script_text(std::string(10, ' '));
        EXPECT_EQ(run(std::string(c.tail) + " /d"), 0) << c.what;
        EXPECT_EQ(sim::out(), HEADER + LISTING) << c.what;
        EXPECT_EQ(prompts_after_lines(), c.prompts) << c.what;
        std::string pages;
        for (size_t i = 0; i < c.prompts.size(); i++)
            pages += prompt + erase;
        EXPECT_EQ(sim::con(), pages) << c.what;
    }
}

// --- the user break --------------------------------------------------------------------

TEST_F(Run, AStopAtThePromptEndsTheRunWithThree)
{
    struct Case {
        const char *what;
        const char *tail;
        DWORD eth_release;
        std::vector<sim::Input> keys;
        std::string out, err, con;
        std::vector<std::string> dhcp;
        std::vector<std::string> events;
    } cases[] = {
        {"Esc during release: nothing more released, no listing", "/x /p,3", 0,
         {sim::key(27)}, RELEASE_ETHERNET + "Success.\r\n\r\n", "", prompt + erase, {"release 7"},
         handler_never},
        {"Esc during bounce, after the release", "/b /p,4", 0, {sim::key(27)},
         RELEASE_ETHERNET + "Success.\r\n" + RENEW_ETHERNET + "Success.\r\n\r\n", "",
         prompt + erase, {"release 7", "renew 7"}, handler_never},
        {"Ctrl-C typed during release", "/x /p,3", 0, {sim::key(3)},
         RELEASE_ETHERNET + "Success.\r\n\r\n", "", prompt + erase + echo, {"release 7"},
         handler_never},
        {"Esc during the header", "/p,3", 0, {sim::key(27)},
         "\r\nWindows IP Configuration\r\n\r\n", "", prompt + erase, {}, handler_in_and_out},
        {"Ctrl-C while waiting during the header", "/p,5", 0, {sim::ctrl_c(50)},
         first_lines(HEADER, 5), "", prompt + erase + echo, {}, handler_in_and_out},
        {"Esc during the listing", "/p,10", 0, {sim::key(27)},
         first_lines(HEADER + LISTING, 10), "", prompt + erase, {}, handler_in_and_out},
        {"Esc at the count line, the fourth page's end", "/p,7", 0,
         {sim::key(' '), sim::key(' '), sim::key(' '), sim::key(27)}, HEADER + LISTING, "",
         prompt + erase + prompt + erase + prompt + erase + prompt + erase, {},
         handler_in_and_out},
        {"a failed release, then Esc in the listing: 3, not 2", "/x /p,12",
         ERROR_NOT_SUPPORTED, {sim::key(27)},
         first_lines(RELEASE_ETHERNET + "Failed!\r\n\r\n" + RELEASE_WIFI + "Success.\r\n" + HEADER +
                         ETHERNET,
                     12),
         "   " + NOT_SUPPORTED, prompt + erase, {"release 7", "release 12"}, handler_in_and_out},
    };
    for (const auto &c : cases) {
        fresh();
        machine();
        sim::net().find(7)->release_result = c.eth_release;
        sim::console().stdout_is_console = true;
        sim::console().window_rows = 25;
        sim::console().script = c.keys;
        EXPECT_EQ(run(std::string(c.tail) + " /d"), 3) << c.what;
        EXPECT_EQ(sim::out(), c.out) << c.what;
        EXPECT_EQ(sim::err(), c.err) << c.what;
        EXPECT_EQ(sim::con(), c.con) << c.what;
        EXPECT_EQ(dhcp_log(), c.dhcp) << c.what;
        EXPECT_EQ(handler_events(), c.events) << c.what;
        EXPECT_EQ(pager.break_requested, 0u) << c.what;
    }
}

TEST_F(Run, CtrlCAtAnyLineEndOfTheReportEndsTheRun)
{
    const std::string full = DETAILED_HEADER + DETAILED_LISTING;
    const size_t lines = count_of(full, "\r\n");
    ASSERT_EQ(lines, 49u);
    for (size_t n = 1; n <= lines; n++) {
        fresh();
        machine();
        sim::console().ctrl_c_at_line_end = (unsigned)n;
        EXPECT_EQ(run("/i"), 3) << "Ctrl-C at line end " << n;
        EXPECT_EQ(sim::out(), first_lines(full, n)) << "Ctrl-C at line end " << n;
        EXPECT_EQ(sim::con(), echo) << "Ctrl-C at line end " << n;
        EXPECT_EQ(sim::err(), "") << "Ctrl-C at line end " << n;
        EXPECT_EQ(sim::console().ctrl_handled, std::vector<DWORD>{CTRL_C_EVENT});
        EXPECT_EQ(sim::wlan().allocations, sim::wlan().frees) << "Ctrl-C at line end " << n;
    }
}

TEST_F(Run, TheHandlerIsInstalledForTheHeaderAndListingOnly)
{
    // Two interfaces bounced: six line ends before the header.
    const std::string release_part = RELEASE_ETHERNET + "Success.\r\n" + RENEW_ETHERNET +
                                     "Success.\r\n" + RELEASE_WIFI + "Success.\r\n" + RENEW_WIFI +
                                     "Success.\r\n";
    const std::string full = release_part + HEADER + LISTING;
    const size_t before = count_of(release_part, "\r\n");
    ASSERT_EQ(before, 6u);
    for (size_t n = 1; n <= count_of(full, "\r\n"); n++) {
        fresh();
        machine();
        sim::console().ctrl_c_at_line_end = (unsigned)n;
        int rc = run("/b");
        if (n <= before) {
            // Left to the host: the plug-in does not take it, and the run goes on.
            EXPECT_EQ(rc, 0) << "Ctrl-C at line end " << n;
            EXPECT_EQ(sim::out(), full) << "Ctrl-C at line end " << n;
            EXPECT_EQ(sim::con(), "");
            EXPECT_EQ(sim::console().ctrl_unhandled, std::vector<DWORD>{CTRL_C_EVENT});
        } else {
            EXPECT_EQ(rc, 3) << "Ctrl-C at line end " << n;
            EXPECT_EQ(sim::out(), first_lines(full, n)) << "Ctrl-C at line end " << n;
            EXPECT_EQ(sim::con(), echo);
            EXPECT_EQ(sim::console().ctrl_handled, std::vector<DWORD>{CTRL_C_EVENT});
        }
        EXPECT_EQ(dhcp_log(), (std::vector<std::string>{"release 7", "renew 7", "release 12",
                                                        "renew 12"}));
        EXPECT_EQ(handler_events(), handler_in_and_out);
    }
}

// --- failures of the header and the adapter list ---------------------------------------

TEST_F(Run, HeaderAndAdapterListFailures)
{
    struct Case {
        const char *what;
        const char *tail;
        DWORD eth_release;
        sim::Failure params, addresses, info;
        long heap_fail_after;
        int rc;
        std::string out, err;
        std::vector<std::string> events;
    } cases[] = {
        {"the host record cannot be had", "", 0, {ERROR_NOT_SUPPORTED, 0}, {}, {}, -1, 2, "",
         "Nicshow plugin: The request is not supported.\r\n", handler_in_and_out},
        {"after a release", "/x eth*", 0, {ERROR_ACCESS_DENIED, 0}, {}, {}, -1, 2,
         RELEASE_ETHERNET + "Success.\r\n", "Nicshow plugin: Access is denied.\r\n",
         handler_in_and_out},
        {"after a failed release", "/x eth*", ERROR_NOT_FOUND, {ERROR_NOT_SUPPORTED, 0}, {}, {}, -1, 2,
         RELEASE_ETHERNET + "Failed!\r\n\r\n",
         "   " + NOT_FOUND + "Nicshow plugin: The request is not supported.\r\n",
         handler_in_and_out},
        {"no adapter list", "", 0, {}, {ERROR_NOT_SUPPORTED, 0}, {}, -1, 2, HEADER,
         "Nicshow plugin: Unable to create list of adapters.\r\n", handler_in_and_out},
        {"no adapter list after a release without names", "/x", 0, {}, {ERROR_NOT_SUPPORTED, 0}, {},
         -1, 2, "\r\nRelease IP for # 7 \u201C\u201D :  Success.\r\n\r\nRelease IP for #12 \u201C\u201D :  Success.\r\n" + HEADER,
         "Nicshow plugin: Unable to create list of adapters.\r\n", handler_in_and_out},
        {"no memory at all: the header's error wins", "", 0, {}, {}, {}, 0, 2, "",
         "Nicshow plugin: Not enough memory resources are available to process this command.\r\n",
         handler_in_and_out},
        {"no memory after the release tables", "/x", 0, {}, {}, {}, 2, 2,
         RELEASE_ETHERNET + "Success.\r\n" + RELEASE_WIFI + "Success.\r\n",
         "Nicshow plugin: Not enough memory resources are available to process this command.\r\n",
         handler_in_and_out},
        {"no memory for release: 2, and the header's error", "/b", 0, {}, {}, {}, 1, 2, "",
         "Nicshow plugin: Not enough memory resources are available to process this command.\r\n",
         handler_in_and_out},
        {"no legacy records: silent", "", 0, {}, {}, {ERROR_NOT_SUPPORTED, 0}, -1, 0,
         HEADER + LISTING, "", handler_in_and_out},
    };
    for (const auto &c : cases) {
        fresh();
        machine();
        sim::net().find(7)->release_result = c.eth_release;
        sim::net().network_params = c.params;
        sim::net().addresses = c.addresses;
        sim::net().info = c.info;
        sim::kernel().heap_fail_after = c.heap_fail_after;
        EXPECT_EQ(run(c.tail), c.rc) << c.what;
        EXPECT_EQ(sim::out(), c.out) << c.what;
        EXPECT_EQ(sim::err(), c.err) << c.what;
        EXPECT_EQ(handler_events(), c.events) << c.what;
        if (c.addresses.code) {
            EXPECT_TRUE(sim::net().info_calls.empty()) << c.what << ": no legacy list without the list";
        }
    }
}

TEST_F(Run, MessagesInsideABatchFileNameItAndTheLine)
{
    machine();
    sim::set_host_var("_batch", "1");
    sim::set_host_var("_batchname", "C:\\net\\check.btm");
    sim::set_host_var("_batchline", "12");
    sim::net().network_params = {ERROR_NOT_SUPPORTED, 0};
    EXPECT_EQ(run(""), 2);
    EXPECT_EQ(sim::err(), "Nicshow plugin: C:\\net\\check.btm [12]  The request is not supported.\r\n");

    fresh();
    machine();
    sim::set_host_var("_batch", "1");
    sim::set_host_var("_batchname", "C:\\net\\check.btm");
    sim::set_host_var("_batchline", "3");
    sim::net().addresses = {ERROR_NOT_SUPPORTED, 0};
    EXPECT_EQ(run(""), 2);
    EXPECT_EQ(sim::err(), "Nicshow plugin: C:\\net\\check.btm [3]  Unable to create list of adapters.\r\n");
}

// --- colours ---------------------------------------------------------------------------

TEST_F(Run, HighlightOnTheConsoleAndNoneWithD)
{
    sim::net().add(sim::ethernet(7, "Ethernet").address("192.0.2.10", 24).renew_result(ERROR_NOT_SUPPORTED));
    sim::console().stdout_is_console = true;
    sim::set_env("Highlight", "0x1E");
    EXPECT_EQ(run("/b"), 2);
    EXPECT_EQ(sim::coloured(0x07),
              RELEASE_ETHERNET + "{1E:Success.}\r\n" + RENEW_ETHERNET + "{1E:Failed!}\r\n"
              "   The request is not supported.\r\n"
              "\r\n"
              "Windows IP Configuration\r\n"
              "\r\n"
              "   Host name. . . . . . . . :  {1E:SIMHOST}\r\n"
              "   Domain . . . . . . . . . :  \r\n"
              "\r\n"
              "[7]  Ethernet adapter:  {1E:Ethernet}\r\n"
              "\r\n"
              "   DNS suffix . . . . . . . :  \r\n"
              "   Description. . . . . . . :  Simulated Gigabit Ethernet Adapter\r\n"
              "   Media state. . . . . . . :  Connected\r\n"
              "   Link speed . . . . . . . :  1.0 Gbps\r\n"
              "   IPv4 address . . . . . . :  {1E:192.0.2.10}\r\n"
              "   Subnet mask. . . . . . . :  255.255.255.0\r\n"
              "   Network CIDR . . . . . . :  192.0.2.0/24\r\n"
              "\r\n"
              "1 adapter listed.\r\n");
    EXPECT_EQ(sim::console().attr, 0x07);

    fresh();
    sim::net().add(sim::ethernet(7, "Ethernet").address("192.0.2.10", 24).renew_result(ERROR_NOT_SUPPORTED));
    sim::console().stdout_is_console = true;
    sim::set_env("Highlight", "0x1E");
    EXPECT_EQ(run("/b /d"), 2);
    EXPECT_EQ(sim::con(), "");
    EXPECT_EQ(sim::coloured(0x07), sim::all());
    EXPECT_TRUE(sim::console().attr_log.empty());
    EXPECT_TRUE(sim::host().set_colors.empty());
    EXPECT_NE(sim::out().find("Success.\r\n"), std::string::npos);
}

// Every row a detailed run can print, with highlighting on: the header's names, the
// adapters' names and their addresses stand out, and nothing else does; continuation lines
// take their first line's colour, and each line ends in the normal colour. The IAID is
// above 2^31, where a signed number would show.
TEST_F(Run, EveryRowOfADetailedRunInItsColour)
{
    sim::net().host.domain_name = "corp.example";
    sim::set_search_list("corp.example, example.net");
    sim::net().add(sim::ethernet(7, "Ethernet")
                       .dns_suffix("corp.example")
                       .address("192.0.2.10", 24)
                       .address("2001:db8::10", 64)
                       .address("198.51.100.10", 24)
                       .address("fe80::10%7", 64)
                       .gateway("192.0.2.1")
                       .dhcp("192.0.2.2", 1704438309, 1704524709)
                       .autoconfig(1)
                       .dhcpv6({0x00, 0x01, 0x00, 0x01, 0x2D, 0x1A}, 2147483655u)
                       .dns("192.0.2.53")
                       .dns("2001:db8::53")
                       .wins("192.0.2.137")
                       .wins("192.0.2.138")
                       .search_suffix("corp.example")
                       .search_suffix("example.net"));
    sim::net().add(sim::wifi(12, "Wi-Fi").address("198.51.100.20", 24).no_ipv6());
    sim::wlan().add(home_wlan());
    sim::console().stdout_is_console = true;
    sim::set_env("Highlight", "0x1E");
    EXPECT_EQ(run("/a /g"), 0);
    EXPECT_EQ(sim::coloured(0x07),
              "\r\n"
              "Windows IP Configuration\r\n"
              "\r\n"
              "   Host name. . . . . . . . :  {1E:SIMHOST}\r\n"
              "   Domain . . . . . . . . . :  {1E:corp.example}\r\n"
              "   Node type. . . . . . . . :  Hybrid\r\n"
              "   IP routing . . . . . . . :  Disabled\r\n"
              "   ARP proxy. . . . . . . . :  Disabled\r\n"
              "   DNS. . . . . . . . . . . :  Disabled\r\n"
              "   DNS search list. . . . . :  corp.example\r\n"
              "                               example.net\r\n"
              "\r\n"
              "[7]  Ethernet adapter:  {1E:Ethernet}\r\n"
              "\r\n"
              "   DNS suffix . . . . . . . :  corp.example\r\n"
              "   Description. . . . . . . :  Simulated Gigabit Ethernet Adapter\r\n"
              "   Adapter GUID . . . . . . :  {00000007-0000-0000-0000-53494D4E4554}\r\n"
              "   Physical address . . . . :  02-53-49-4D-00-07\r\n"
              "   Media state. . . . . . . :  Connected\r\n"
              "   Link speed . . . . . . . :  1.0 Gbps\r\n"
              "   DHCP . . . . . . . . . . :  Enabled\r\n"
              "   Autoconfig . . . . . . . :  Enabled\r\n"
              "   IPv4 address . . . . . . :  {1E:192.0.2.10}\r\n"
              "                               {1E:198.51.100.10}\r\n"
              "   Gateway. . . . . . . . . :  192.0.2.1\r\n"
              "   Subnet mask. . . . . . . :  255.255.255.0\r\n"
              "   Network CIDR . . . . . . :  192.0.2.0/24\r\n"
              "   DHCP server. . . . . . . :  192.0.2.2\r\n"
              "   Lease obtained/renewed . :  Friday, January 5, 2024  7:05:09 AM\r\n"
              "   Lease expires. . . . . . :  Saturday, January 6, 2024  7:05:09 AM\r\n"
              "   IPv6 address . . . . . . :  {1E:2001:db8::10}\r\n"
              "                               {1E:fe80::10%7}\r\n"
              "   DHCPv6 IAID. . . . . . . :  2147483655\r\n"
              "   DHCPv6 client DUID . . . :  00-01-00-01-2D-1A\r\n"
              "   DNS servers. . . . . . . :  192.0.2.53\r\n"
              "                               2001:db8::53\r\n"
              "   WINS server. . . . . . . :  192.0.2.137\r\n"
              "                               192.0.2.138\r\n"
              "   NetBIOS over TCP/IP. . . :  Enabled\r\n"
              "   DNS search list. . . . . :  corp.example\r\n"
              "                               example.net\r\n"
              "\r\n"
              "[12]  Wireless adapter:  {1E:Wi-Fi}\r\n"
              "\r\n"
              "   DNS suffix . . . . . . . :  \r\n"
              "   Description. . . . . . . :  Simulated Wireless Network Adapter\r\n"
              "   Adapter GUID . . . . . . :  {0000000C-0000-0000-0000-53494D4E4554}\r\n"
              "   Physical address . . . . :  02-53-49-4D-00-0C\r\n"
              "   Media state. . . . . . . :  Connected\r\n"
              "   Link speed . . . . . . . :  300 Mbps\r\n"
              "   DHCP . . . . . . . . . . :  Disabled\r\n"
              "   Autoconfig . . . . . . . :  Disabled\r\n"
              + WIFI_LINES +
              "   IPv4 address . . . . . . :  {1E:198.51.100.20}\r\n"
              "   Subnet mask. . . . . . . :  255.255.255.0\r\n"
              "   Network CIDR . . . . . . :  198.51.100.0/24\r\n"
              "   NetBIOS over TCP/IP. . . :  Enabled\r\n"
              "\r\n"
              "2 adapters listed.\r\n");
    // The host is told the normal colour after each of the nine highlighted values and at
    // every line end, and no other colour.
    for (int colour : sim::host().set_colors)
        EXPECT_EQ(colour, 0x07);
    EXPECT_EQ(sim::host().set_colors.size(), 9 + count_of(sim::all(), "\r\n"));
    EXPECT_EQ(sim::console().attr, 0x07);
}

// --- one run after another -------------------------------------------------------------

TEST_F(Run, ARunLeavesNothingBehindForTheNext)
{
    const std::string released = RELEASE_ETHERNET + "Success.\r\n" + RELEASE_WIFI +
                                 "Success.\r\n" + HEADER + ETHERNET_RELEASED +
                                 WIFI.substr(0, WIFI.find("   IPv4")) +
                                 "\r\n2 adapters listed.\r\n";
    // The values after ":  " in the shell's default highlight, bright white on black.
    auto highlighted = [](std::string text, std::vector<std::string> values) {
        for (const auto &v : values) {
            size_t at = text.find(":  " + v + "\r\n");
            text.replace(at + 3, v.size(), "{0F:" + v + "}");
        }
        return text;
    };
    struct Case {
        const char *what;
        void (*setup)();
        const char *first;
        int first_rc;
        const char *second;
        std::string out;  // everything the second run writes, colours marked
    } cases[] = {
        {"a highlighted run, then /D: no colour", [] { sim::set_env("Highlight", "0x1E"); },
         "", 0, "/d", HEADER + LISTING},
        {"a paged run ending mid-page, then one without /P: no prompt",
         [] { sim::script_text(std::string(20, ' ')); }, "/p,5 /d", 0, "/d", HEADER + LISTING},
        {"a highlighted run stopped by Ctrl-C, then a plain /X: every line, no colour",
         [] {
             sim::set_env("Highlight", "0x1E");
             console_output = sim::conout_handle();
             sim::console().ctrl_c_at_line_end = 3;
         },
         "", 3, "/x /d", released},
        {"a plain detailed run of one adapter, then the default run", [] {}, "/a /d eth*", 0,
         "", highlighted(HEADER + LISTING, {"SIMHOST", "Ethernet", "192.0.2.10", "Wi-Fi",
                                            "198.51.100.20"})},
    };
    for (const auto &c : cases) {
        fresh();
        machine();
        sim::console().stdout_is_console = true;
        sim::console().window_rows = 25;
        c.setup();
        EXPECT_EQ(run(c.first), c.first_rc) << c.what;
        // Only the record of what was written goes; the plug-in and the console keep
        // whatever the first run left them.
        sim::host().transcript.clear();
        EXPECT_EQ(run(c.second), 0) << c.what;
        EXPECT_EQ(sim::coloured(0x07), c.out) << c.what;
        EXPECT_EQ(sim::console().attr, 0x07) << c.what;
    }
}
