// Faults found by the sanitizers and the fuzz targets, one test each, so that they stay
// fixed. Each names what was found and where; the input that found it is kept in the
// fuzz target's seed corpus.
#include "harness.h"

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
