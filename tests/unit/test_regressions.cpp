// Faults found by the sanitizers and the fuzz targets, one test each, so that they stay
// fixed. Each names what was found and where; the input that found it is kept in the
// fuzz target's seed corpus.
#include "harness.h"
#include "sim/netsim.h"
#include "src/command/options.h"
#include "src/console/highlight.h"

extern "C" INT WINAPI nicshow(LPWSTR arguments);

#include <cstring>

class Regression : public SimTest {};

// ASan/UBSan: the simulated registry copied an empty value from a null data block
// (memcpy with a null source). An empty value reads as zero bytes and leaves the
// caller's buffer alone.
TEST_F(Regression, EmptyRegistryValueReadsAsZeroBytes)
{
    sim::set_reg_raw(HKEY_CURRENT_USER, "SOFTWARE\\Test", "Empty", REG_SZ, {});
    HKEY key = NULL;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"SOFTWARE\\Test", 0, KEY_READ, &key), 0);
    BYTE data[8];
    memset(data, 0xA5, sizeof data);
    DWORD type = 0xdeadbeef, bytes = sizeof data;
    EXPECT_EQ(RegQueryValueExW(key, u"Empty", NULL, &type, data, &bytes), (LONG)ERROR_SUCCESS);
    EXPECT_EQ(type, (DWORD)REG_SZ);
    EXPECT_EQ(bytes, 0u) << "expected 0 bytes, got " << bytes;
    for (BYTE b : data)
        EXPECT_EQ(b, 0xA5) << "the buffer was written";
    RegCloseKey(key);
}

// ASan/UBSan: the simulated IP Helper laid out an adapter without a physical address or
// DUID by copying from an empty vector's null block. Such an adapter (a tunnel, PPP) is
// laid out with both lengths 0 and zeroed bytes.
TEST_F(Regression, AdapterWithoutPhysicalAddressOrDuidIsLaidOut)
{
    sim::net().add(sim::loopback(1));
    ULONG size = 0;
    EXPECT_EQ(GetAdaptersAddresses(AF_UNSPEC, 0, NULL, NULL, &size), (ULONG)ERROR_BUFFER_OVERFLOW);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size, 0xA5);
    IP_ADAPTER_ADDRESSES *a = (IP_ADAPTER_ADDRESSES *)block.data();
    ASSERT_EQ(GetAdaptersAddresses(AF_UNSPEC, 0, NULL, a, &size), (ULONG)ERROR_SUCCESS);
    EXPECT_EQ(a->PhysicalAddressLength, 0u);
    EXPECT_EQ(a->Dhcpv6ClientDuidLength, 0u);
    for (BYTE b : a->PhysicalAddress)
        EXPECT_EQ(b, 0) << "physical address bytes not cleared";
    MIB_IF_ROW2 row;
    memset(&row, 0xA5, sizeof row);
    row.InterfaceLuid.Value = 0;
    row.InterfaceIndex = 1;
    ASSERT_EQ(GetIfEntry2(&row), (DWORD)NO_ERROR);
    EXPECT_EQ(row.PhysicalAddressLength, 0u);
}

// UBSan: a media state the enumeration does not name (the system may report one) was
// loaded through the enumeration type in the listing's filter and the adapter block.
// Such an adapter counts as connected for the filter and its addresses are shown.
TEST_F(Regression, MediaStateOutsideTheEnumerationIsReadAsANumber)
{
    highlight_colors = HighlightColors{};
    os_version.dwMajorVersion = 10;
    sim::net().add(sim::ethernet(7, "Odd state").address("192.0.2.10", 24).media(5));
    std::u16string tail = u"/I";
    EXPECT_EQ(nicshow(&tail[0]), 0) << sim::err();
    std::string out = sim::out();
    EXPECT_NE(out.find("Odd state"), std::string::npos) << "the adapter was filtered out:\n" << out;
    EXPECT_NE(out.find("192.0.2.10"), std::string::npos) << "its address was not shown:\n" << out;
}

// ASan, fuzz_report: the simulated IP Helper cleared the host part of an on-link prefix as
// if every address of family 23 were a whole SOCKADDR_IN6, but "#23" lays out a bare
// 16-byte SOCKADDR of that family: the prefix of a 64-bit length was cleared up to 8 bytes
// past its end. Only the bits inside the socket address are touched now.
TEST_F(Regression, PrefixOfABareSocketAddressStaysInsideIt)
{
    sim::net().add(sim::ethernet(7, "Odd family").address("#23", 64).address("2001:db8::1", 64));
    ULONG size = 0;
    const ULONG flags = GAA_FLAG_INCLUDE_PREFIX;
    ASSERT_EQ(GetAdaptersAddresses(AF_UNSPEC, flags, NULL, NULL, &size), (ULONG)ERROR_BUFFER_OVERFLOW);
    std::vector<BYTE> block(size, 0xA5);
    IP_ADAPTER_ADDRESSES *a = (IP_ADAPTER_ADDRESSES *)block.data();
    ASSERT_EQ(GetAdaptersAddresses(AF_UNSPEC, flags, NULL, a, &size), (ULONG)ERROR_SUCCESS);
    const IP_ADAPTER_PREFIX *p = a->FirstPrefix;
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->PrefixLength, 64u);
    EXPECT_EQ(p->Address.iSockaddrLength, (INT)sizeof(SOCKADDR))
        << "expected a bare SOCKADDR, got " << p->Address.iSockaddrLength << " bytes";
    EXPECT_EQ(p->Address.lpSockaddr->sa_family, AF_INET6);
    // The next prefix, the real IPv6 one, still has its network part and nothing else.
    ASSERT_NE(p->Next, nullptr);
    const SOCKADDR_IN6 *six = (const SOCKADDR_IN6 *)p->Next->Address.lpSockaddr;
    const BYTE want[16] = {0x20, 0x01, 0x0d, 0xb8};
    EXPECT_EQ(memcmp(&six->sin6_addr, want, 16), 0) << "the IPv6 prefix is not 2001:db8::/64";
}
