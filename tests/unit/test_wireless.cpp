// The WiFi lines: state, SSID, radio type, security, channel, signal and rates of a
// connected interface; what is left out when less is known; the WLAN blocks given back on
// every path, the user break included; and the lines inside the detailed adapter block.
#include "harness.h"
#include "report_text.h"
#include "src/command/adapters.h"
#include "src/command/listing.h"
#include "src/command/options.h"
#include "src/command/report.h"
#include "src/command/wireless.h"
#include "src/console/highlight.h"
#include "src/console/pager.h"

namespace {

using namespace report_text;

const std::string wifi_state = "   WiFi state . . . . . . . :  ";
const std::string wifi_ssid = "   WiFi SSID. . . . . . . . :  ";
const std::string radio = "   WiFi radio type. . . . . :  ";
const std::string security = "   WiFi security. . . . . . :  ";
const std::string channel = "   WiFi channel . . . . . . :  ";
const std::string signal = "   WiFi signal strength . . :  ";
const std::string link_rate = "   WiFi link speed. . . . . :  ";

// The adapter name of the builder's wireless adapter with index 12.
const std::string guid12 = "{0000000C-0000-0000-0000-53494D4E4554}";

const ULONG auth_open = 1, auth_rsna = 6, auth_rsna_psk = 7;
const ULONG cipher_none = 0, cipher_ccmp = 4;

// A connected interface on a WPA2-PSK network, channel 36, full signal.
sim::WlanInterface home(const std::string &guid = guid12)
{
    return sim::WlanInterface(guid)
        .ssid("HomeNet")
        .phy(8)
        .security(auth_rsna_psk, cipher_ccmp)
        .channel(36)
        .signal(100)
        .rates(866700, 400000);
}

// The seven lines of a connected interface.
std::vector<std::string> connected_lines(const std::string &ssid, const std::string &radio_type,
                                         const std::string &security_name,
                                         const std::string &channel_number,
                                         const std::string &quality, const std::string &rates)
{
    std::vector<std::string> l = {wifi_state + "Connected"};
    if (!ssid.empty())
        l.push_back(wifi_ssid + ssid);
    l.push_back(radio + radio_type);
    l.push_back(security + security_name);
    if (!channel_number.empty())
        l.push_back(channel + channel_number);
    l.push_back(signal + quality);
    l.push_back(link_rate + rates);
    return l;
}

const std::vector<std::string> home_lines =
    connected_lines("HomeNet", "VHT (802.11ac?)", "WPA2 Personal", "36", "100%",
                    "866 Mbps / 400 Mbps (Rx/Tx)");

std::vector<ULONG> opcodes()
{
    std::vector<ULONG> out;
    for (const auto &q : sim::wlan().queries)
        out.push_back(q.opcode);
    return out;
}

}  // namespace

class WifiLines : public SimTest {
protected:
    void SetUp() override
    {
        SimTest::SetUp();
        highlight_colors = HighlightColors{};
        open_client();
    }
    void TearDown() override
    {
        EXPECT_EQ(sim::wlan().frees, sim::wlan().allocations) << "WlanFreeMemory for every block";
        SimTest::TearDown();
    }
    static void open_client()
    {
        DWORD version = 0;
        ASSERT_EQ(load_wlan_library(), 0u);
        ASSERT_EQ(wlan_api.open_handle(2, NULL, &version, &wlan_client), 0u);
        ASSERT_NE(wlan_client, (HANDLE)NULL);
    }
    void fresh(const std::string &what)
    {
        EXPECT_EQ(sim::kernel().heap_outstanding, 0) << what << ": heap blocks left outstanding";
        EXPECT_EQ(sim::wlan_outstanding(), 0) << what << ": WLAN blocks not freed";
        EXPECT_EQ(sim::wlan().frees, sim::wlan().allocations) << what;
        EXPECT_TRUE(sim::console().handlers.empty()) << what << ": break handler left installed";
        sim::reset();
        pager = PagerState{};
        highlight_colors = HighlightColors{};
        open_client();
    }
    // report_wireless for a record whose adapter name is the given text.
    static int wireless(const char *adapter_name)
    {
        IP_ADAPTER_ADDRESSES record;
        ZeroMemory(&record, sizeof(record));
        record.Length = sizeof(record);
        record.IfType = IF_TYPE_IEEE80211;
        record.AdapterName = (PCHAR)adapter_name;
        return report_wireless(&record);
    }
    static int wireless(const std::string &adapter_name) { return wireless(adapter_name.c_str()); }
};

TEST_F(WifiLines, ConnectedInterface)
{
    sim::wlan().add(home());
    EXPECT_EQ(wireless(guid12), 1);
    EXPECT_EQ(sim::out(), lines(home_lines));
    EXPECT_EQ(opcodes(), (std::vector<ULONG>{wlan_intf_opcode_current_connection,
                                             wlan_intf_opcode_channel_number}));
    ASSERT_EQ(sim::wlan().queries.size(), 2u);
    EXPECT_EQ(sim::guid_text(sim::wlan().queries[0].guid), guid12) << "the GUID of the name";
    EXPECT_EQ(sim::wlan().allocations, 2);
    EXPECT_EQ(sim::wlan().frees, 2);
}

TEST_F(WifiLines, InterfaceNotConnectedGetsTheStateLineOnly)
{
    struct Case {
        ULONG state;
        const char *text;
    } cases[] = {
        {0, "Not ready"},     {2, "Ad hoc network formed"}, {3, "Disconnecting"},
        {4, "Disconnected"},  {5, "Associating"},           {6, "Discovering"},
        {7, "Authenticating"}, {8, "Unknown"},              {9, "Unknown"},
        {0xFFFFFFFFu, "Unknown"},
    };
    for (const auto &c : cases) {
        std::string what = "state " + std::to_string(c.state);
        fresh(what);
        sim::wlan().add(home().state((WLAN_INTERFACE_STATE)c.state));
        EXPECT_EQ(wireless(guid12), 0) << what;
        EXPECT_EQ(sim::out(), wifi_state + c.text + "\r\n") << what;
        EXPECT_EQ(opcodes(), std::vector<ULONG>{wlan_intf_opcode_current_connection}) << what;
        EXPECT_EQ(sim::wlan().allocations, 1) << what;
    }
}

TEST_F(WifiLines, Ssid)
{
    const std::string letters32 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdef";
    struct Case {
        const char *what;
        std::function<sim::WlanInterface()> wlan;
        std::string shown;  // empty: no SSID line
    } cases[] = {
        {"a hidden network's length of 0 gives no SSID line but all the others",
         [] { return home().ssid("").ssid_length(0); }, ""},
        {"32 plain letters are shown whole", [=] { return home().ssid(letters32); }, letters32},
        {"a length above 32 is bounded by the 32 bytes of the field",
         [=] { return home().ssid(letters32).ssid_length(40); }, letters32},
        // The field after the name begins with a byte other than 0, so that a 33rd byte
        // read would show.
        {"a length of 33 is bounded by the 32 bytes of the field",
         [=] {
             sim::WlanInterface w = home().ssid(letters32).ssid_length(33);
             w.desc.attributes.wlanAssociationAttributes.dot11BssType = dot11_BSS_type_any;
             return w;
         },
         letters32},
        {"a length of 32 fills the field", [=] { return home().ssid(letters32).ssid_length(32); },
         letters32},
        {"a length above 32 shows the field's 32 bytes, not the field after it",
         [=] {
             sim::WlanInterface w = home().ssid(letters32).ssid_length(40);
             w.desc.attributes.wlanAssociationAttributes.dot11BssType = dot11_BSS_type_any;
             return w;
         },
         letters32},
        {"a length above 32 over a short name shows the name",
         [] { return home().ssid("HomeNet").ssid_length(0xFFFFFFFFu); }, "HomeNet"},
        {"the length decides where a longer text ends",
         [] { return home().ssid("HomeNetwork").ssid_length(4); }, "Home"},
        {"a zero byte ends the name", [] { return home().ssid(std::string("Home\0Net", 8)); },
         "Home"},
        {"a name that begins with a zero byte gives no SSID line",
         [] { return home().ssid(std::string("\0Net", 4)); }, ""},
        {"the bytes are read in the ANSI code page", [] { return home().ssid("Caf\xC3\xA9"); },
         "Caf\xC3\xA9"},
    };
    for (const auto &c : cases) {
        fresh(c.what);
        sim::wlan().add(c.wlan());
        EXPECT_EQ(wireless(guid12), 1) << c.what;
        EXPECT_EQ(sim::out(), lines(connected_lines(c.shown, "VHT (802.11ac?)", "WPA2 Personal",
                                                    "36", "100%", "866 Mbps / 400 Mbps (Rx/Tx)")))
            << c.what;
    }
}

TEST_F(WifiLines, RadioTypes)
{
    struct Case {
        ULONG phy;
        const char *text;
    } cases[] = {
        {0, "Unknown"},         {1, "FHSS"},           {2, "DSSS"},
        {3, "IR baseband"},     {4, "OFDM (802.11a?)"}, {5, "HR-DSSS"},
        {6, "ERP (802.11g?)"},  {7, "HT (802.11n?)"},  {8, "VHT (802.11ac?)"},
        {9, "Unknown"},         {10, "Unknown"},       {0x80000000u, "Unknown"},
    };
    for (const auto &c : cases) {
        std::string what = "radio type " + std::to_string(c.phy);
        fresh(what);
        sim::wlan().add(home().phy(c.phy));
        EXPECT_EQ(wireless(guid12), 1) << what;
        EXPECT_EQ(sim::out(), lines(connected_lines("HomeNet", c.text, "WPA2 Personal", "36",
                                                    "100%", "866 Mbps / 400 Mbps (Rx/Tx)")))
            << what;
    }
}

TEST_F(WifiLines, SecurityNames)
{
    struct Case {
        const char *what;
        ULONG cipher, auth;
        const char *text;
    } cases[] = {
        {"an open network", 0x00, auth_open, "None"},
        {"WEP with a 40-bit key", 0x01, auth_open, "WEP-40"},
        {"TKIP", 0x02, 3, "WPA-TKIP"},
        {"CCMP with 802.1X (RSNA)", 0x04, auth_rsna, "WPA2 Enterprise"},
        {"CCMP with a pre-shared key", 0x04, auth_rsna_psk, "WPA2 Personal"},
        {"CCMP with any other authentication", 0x04, auth_open, "WPA2 Personal"},
        {"WEP with a 104-bit key", 0x05, auth_open, "WEP-104"},
        {"the group key", 0x100, auth_rsna, "Group key"},
        {"WEP", 0x101, auth_open, "WEP"},
        {"cipher 3", 0x03, auth_rsna, "Unknown"},
        {"cipher 6", 0x06, auth_rsna, "Unknown"},
        {"cipher 0xFF", 0xFF, auth_rsna, "Unknown"},
        {"cipher 0x102", 0x102, auth_rsna, "Unknown"},
        {"cipher 0x80000000", 0x80000000u, auth_rsna, "Unknown"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(sim::utf8(wifi_security_name(c.cipher, c.auth)), c.text) << c.what;

    struct Shown {
        const char *what;
        ULONG auth, cipher;
        const char *text;
    } shown[] = {
        {"an 802.1X network", auth_rsna, cipher_ccmp, "WPA2 Enterprise"},
        {"an open network", auth_open, cipher_none, "None"},
    };
    for (const auto &c : shown) {
        fresh(c.what);
        sim::wlan().add(home().security(c.auth, c.cipher));
        EXPECT_EQ(wireless(guid12), 1) << c.what;
        EXPECT_EQ(sim::out(), lines(connected_lines("HomeNet", "VHT (802.11ac?)", c.text, "36",
                                                    "100%", "866 Mbps / 400 Mbps (Rx/Tx)")))
            << c.what;
    }
}

TEST_F(WifiLines, ChannelSignalAndRates)
{
    struct Case {
        const char *what;
        std::function<sim::WlanInterface()> wlan;
        std::string channel, signal, rates;
        int allocations;
    } cases[] = {
        {"the receive rate first, the transmit rate second",
         [] { return home().rates(500, 1000); }, "36", "100%", "500 Kbps / 1 Mbps (Rx/Tx)", 2},
        {"rates of a gigabit and more have no decimals",
         [] { return home().rates(1300000, 54000); }, "36", "100%", "1 Gbps / 54 Mbps (Rx/Tx)", 2},
        {"no signal", [] { return home().signal(0); }, "36", "0%", "866 Mbps / 400 Mbps (Rx/Tx)", 2},
        {"a signal of 57", [] { return home().signal(57); }, "36", "57%",
         "866 Mbps / 400 Mbps (Rx/Tx)", 2},
        {"a channel of the 5 GHz band as the service reports it",
         [] { return home().channel(149); }, "149", "100%", "866 Mbps / 400 Mbps (Rx/Tx)", 2},
        {"a channel and a signal above 2^31 are unsigned numbers",
         [] { return home().channel(4294967295u).signal(2147483648u); }, "4294967295",
         "2147483648%", "866 Mbps / 400 Mbps (Rx/Tx)", 2},
        {"a channel query that hands back no value leaves the channel line out",
         [] { return home().channel_null(); }, "", "100%", "866 Mbps / 400 Mbps (Rx/Tx)", 1},
        {"a failed channel query leaves the channel line out",
         [] { return home().channel_fails(ERROR_NOT_SUPPORTED); }, "", "100%",
         "866 Mbps / 400 Mbps (Rx/Tx)", 1},
    };
    for (const auto &c : cases) {
        fresh(c.what);
        sim::wlan().add(c.wlan());
        EXPECT_EQ(wireless(guid12), 1) << c.what;
        EXPECT_EQ(sim::out(), lines(connected_lines("HomeNet", "VHT (802.11ac?)", "WPA2 Personal",
                                                    c.channel, c.signal, c.rates)))
            << c.what;
        EXPECT_EQ(sim::wlan().allocations, c.allocations) << c.what;
    }
}

TEST_F(WifiLines, NothingLearnedWritesNothing)
{
    struct Case {
        const char *what;
        std::function<int()> call;
        int result;
        size_t queries;
    } cases[] = {
        {"no record", [] { return report_wireless(NULL); }, -1, 0},
        {"no client handle",
         [] {
             wlan_client = NULL;
             return wireless(guid12);
         },
         -1, 0},
        {"no adapter name", [] { return wireless((const char *)NULL); }, -1, 0},
        {"an empty adapter name", [] { return wireless(""); }, 0, 0},
        {"a name that is not a GUID", [] { return wireless("eth0"); }, 0, 0},
        {"a GUID without its braces",
         [] { return wireless("0000000C-0000-0000-0000-53494D4E4554"); }, 0, 0},
        {"a GUID the service does not know",
         [] { return wireless("{0000000D-0000-0000-0000-53494D4E4554}"); }, 0, 1},
        {"a failing connection query",
         [] {
             sim::wlan().add(home().connection_fails(ERROR_ACCESS_DENIED));
             return wireless(guid12);
         },
         0, 1},
        {"a connection query that hands back no record",
         [] {
             sim::wlan().add(home().connection_null());
             return wireless(guid12);
         },
         0, 1},
    };
    for (const auto &c : cases) {
        fresh(c.what);
        sim::wlan().add(home("{0000000E-0000-0000-0000-53494D4E4554}"));
        EXPECT_EQ(c.call(), c.result) << c.what;
        EXPECT_EQ(sim::all(), "") << c.what;
        EXPECT_EQ(sim::wlan().queries.size(), c.queries) << c.what;
    }
}

TEST_F(WifiLines, UserBreakAtEveryLineFreesBothRecords)
{
    struct Case {
        const char *what;
        std::function<sim::WlanInterface()> wlan;
        int lines;
    } cases[] = {
        {"connected", [] { return home(); }, 7},
        {"connected, without a channel", [] { return home().channel_fails(ERROR_NOT_FOUND); }, 6},
        {"disconnected", [] { return home().state(wlan_interface_state_disconnected); }, 1},
    };
    for (const auto &c : cases) {
        fresh(c.what);
        sim::wlan().add(c.wlan());
        ASSERT_GE(wireless(guid12), 0) << c.what;
        const std::string full = sim::out();
        ASSERT_EQ(line_ends(full), c.lines) << c.what;

        for (int n = 1; n <= c.lines; n++) {
            std::string what = std::string(c.what) + ", break at line end " + std::to_string(n);
            fresh(what);
            sim::wlan().add(c.wlan());
            sim::console().ctrl_c_at_line_end = (unsigned)n;
            install_break_handler();
            EXPECT_EQ(wireless(guid12), USER_BREAK) << what;
            remove_break_handler();
            EXPECT_EQ(sim::out(), first_lines(full, n)) << what << ": nothing more is written";
            EXPECT_EQ(sim::con(), echo) << what;
            EXPECT_EQ(sim::wlan_outstanding(), 0) << what;
            EXPECT_GE(sim::wlan().allocations, 1) << what;
        }
    }
}

// The WiFi lines inside the adapter block.
class WifiInReport : public WifiLines {
protected:
    void SetUp() override
    {
        WifiLines::SetUp();
        os_version.dwMajorVersion = 10;  // as loaded on Windows 10
    }
    // The detailed block of the wireless adapter 12 with one /24 address, around the
    // given WiFi lines.
    static std::vector<std::string> detailed_block(const std::vector<std::string> &wifi)
    {
        std::vector<std::string> b = {
            "[12]  Wireless adapter:  Wi-Fi",
            "",
            "   DNS suffix . . . . . . . :  ",
            "   Description. . . . . . . :  Simulated Wireless Network Adapter",
            "   Physical address . . . . :  02-53-49-4D-00-0C",
            "   Media state. . . . . . . :  Connected",
            "   Link speed . . . . . . . :  300 Mbps",
            "   DHCP . . . . . . . . . . :  Disabled",
            "   Autoconfig . . . . . . . :  Disabled",
        };
        b.insert(b.end(), wifi.begin(), wifi.end());
        b.insert(b.end(), {
                              "   IPv4 address . . . . . . :  192.0.2.20",
                              "   Subnet mask. . . . . . . :  255.255.255.0",
                              "   Network CIDR . . . . . . :  192.0.2.0/24",
                              "   NetBIOS over TCP/IP. . . :  Enabled",
                              "",
                          });
        return b;
    }
    static sim::Adapter wifi_adapter()
    {
        return sim::wifi(12, "Wi-Fi").address("192.0.2.20", 24).no_ipv6();
    }
};

TEST_F(WifiInReport, BetweenAutoconfigAndTheFirstAddress)
{
    sim::net().add(wifi_adapter());
    sim::wlan().add(home());
    EXPECT_EQ(report_first(CommandOptions::detailed), 0);
    EXPECT_EQ(sim::out(), lines(detailed_block(home_lines)));
    EXPECT_EQ(sim::wlan().allocations, 2);
}

TEST_F(WifiInReport, WhenThereAreNoWifiLines)
{
    struct Case {
        const char *what;
        std::function<void()> setup;
        DWORD flags;
        std::vector<std::string> block;
        size_t queries;
    } cases[] = {
        {"a basic run asks nothing of the service",
         [] {
             sim::net().add(wifi_adapter());
             sim::wlan().add(home());
         },
         0,
         {"[12]  Wireless adapter:  Wi-Fi", "", "   DNS suffix . . . . . . . :  ",
          "   Description. . . . . . . :  Simulated Wireless Network Adapter",
          "   Media state. . . . . . . :  Connected", "   Link speed . . . . . . . :  300 Mbps",
          "   IPv4 address . . . . . . :  192.0.2.20",
          "   Subnet mask. . . . . . . :  255.255.255.0",
          "   Network CIDR . . . . . . :  192.0.2.0/24", ""},
         0},
        {"a name that is not a GUID gives no WiFi line and no message",
         [] {
             sim::net().add(wifi_adapter().name("wlan0"));
             sim::wlan().add(home());
         },
         CommandOptions::detailed, detailed_block({}), 0},
        {"an interface the service does not know",
         [] { sim::net().add(wifi_adapter()); }, CommandOptions::detailed, detailed_block({}), 1},
        {"without a client handle",
         [] {
             sim::net().add(wifi_adapter());
             sim::wlan().add(home());
             wlan_client = NULL;
         },
         CommandOptions::detailed, detailed_block({}), 0},
        {"a disconnected interface gives its state line only",
         [] {
             sim::net().add(wifi_adapter());
             sim::wlan().add(home().state(wlan_interface_state_disconnected));
         },
         CommandOptions::detailed, detailed_block({wifi_state + "Disconnected"}), 1},
    };
    for (const auto &c : cases) {
        fresh(c.what);
        c.setup();
        EXPECT_EQ(report_first(c.flags), 0) << c.what;
        EXPECT_EQ(sim::out(), lines(c.block)) << c.what;
        EXPECT_EQ(sim::err(), "") << c.what;
        EXPECT_EQ(sim::wlan().queries.size(), c.queries) << c.what;
    }
}

TEST_F(WifiInReport, OtherAdaptersAskNothingOfTheService)
{
    sim::net().add(sim::ethernet(7, "Ethernet").name(guid12));
    sim::wlan().add(home());
    EXPECT_EQ(report_first(CommandOptions::detailed), 0);
    EXPECT_TRUE(sim::wlan().queries.empty());
}

TEST_F(WifiInReport, UserBreakAtEveryLineOfTheBlock)
{
    sim::net().add(wifi_adapter());
    sim::wlan().add(home());
    ASSERT_EQ(report_first(CommandOptions::detailed), 0);
    const std::string full = sim::out();
    const int total = line_ends(full);
    ASSERT_EQ(total, 21);

    for (int n = 1; n <= total; n++) {
        std::string what = "break at line end " + std::to_string(n);
        fresh(what);
        sim::net().add(wifi_adapter());
        sim::wlan().add(home());
        sim::console().ctrl_c_at_line_end = (unsigned)n;
        install_break_handler();
        EXPECT_EQ(report_first(CommandOptions::detailed), USER_BREAK) << what;
        remove_break_handler();
        EXPECT_EQ(sim::out(), first_lines(full, n)) << what << ": nothing more is written";
        EXPECT_EQ(sim::wlan_outstanding(), 0) << what;
    }
}
