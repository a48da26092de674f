// The DNS search list from the registry: any bytes, any value type, odd lengths, no
// terminator, oversized. The read stays inside its 1024 characters; the lines written are
// exactly the entries of the text (split at commas and white space) under the label, one
// per line, each further one behind the 31-column indent.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

#include "fuzz_common.h"
#include "src/command/header.h"
#include "src/console/highlight.h"

namespace {

const size_t CHARS = 1024, GUARD = 16;
const char16_t FILL = 0xA5A5;
const char *const params_key = "SYSTEM\\CurrentControlSet\\Services\\TcpIp\\Parameters";
const DWORD value_types[] = {REG_SZ, REG_SZ, REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_BINARY};

// The lines the list must give: the label, then each entry and its line end, with the
// indent before every entry after a separator.
std::u16string expected_output(const std::u16string &list, int *entries)
{
    std::u16string out, indent(31, u' ');
    size_t i = 0;
    *entries = 0;
    out = u"   DNS search list. . . . . :  ";
    for (;;) {
        size_t start = i;
        while (i < list.size() && list[i] != u',' && !iswspace(list[i]))
            i++;
        if (i > start) {
            // Only the first 1023 characters of an entry count.
            out += list.substr(start, std::min(i - start, CHARS - 1)) + u"\r\n";
            if (i < list.size())
                out += indent;
            ++*entries;
        }
        if (i >= list.size())
            return out;
        i++;
        while (i < list.size() && iswspace(list[i]))
            i++;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    fuzz::fresh_platform();
    highlight_colors = HighlightColors{};

    bool present = in.ConsumeIntegralInRange(0, 7) != 0;
    DWORD type = in.PickValueInArray(value_types);
    int ending = in.ConsumeIntegralInRange(0, 3);
    std::string s = in.ConsumeRemainingBytesAsString();
    std::u16string text = fuzz::text((const uint8_t *)s.data(), s.size());
    std::vector<BYTE> bytes((const BYTE *)text.data(), (const BYTE *)(text.data() + text.size()));
    if (ending == 0) {
        bytes.push_back(0);
        bytes.push_back(0);
    } else if (ending == 1) {
        bytes.push_back('x');  // an odd byte count
    } else if (ending == 2) {
        bytes.resize(2 * CHARS + (bytes.size() % 5) - 2, 'a');  // about the buffer's size
    }
    if (present)
        sim::set_reg_raw(HKEY_LOCAL_MACHINE, params_key, "SearchList", type, bytes);

    // What the list is: a REG_SZ of at most 2048 bytes, up to its first NUL.
    std::u16string list;
    if (present && type == REG_SZ && bytes.size() <= 2 * CHARS) {
        std::u16string whole((const char16_t *)bytes.data(), bytes.size() / 2);
        list = whole.substr(0, whole.find(u'\0'));
    }

    char16_t buffer[CHARS + GUARD];
    std::fill(std::begin(buffer), std::end(buffer), FILL);
    int rc = read_search_list((LPWSTR)buffer);
    for (size_t i = CHARS; i < CHARS + GUARD; i++)
        FUZZ_CHECK(buffer[i] == FILL, "the read wrote past 1024 characters at %zu", i);
    FUZZ_CHECK(rc == (list.empty() ? 0 : 1), "read gave %d for a list of %zu characters", rc,
               list.size());
    // The text ends at its first NUL, or fills the buffer without one.
    std::u16string read(buffer, std::find(buffer, buffer + CHARS, u'\0'));
    FUZZ_CHECK(read == list, "the read gave %s, expected %s", sim::utf8(read).c_str(),
               sim::utf8(list).c_str());

    int entries = 0;
    std::u16string expected = list.empty() ? u"" : expected_output(list, &entries);
    int count = print_dns_search_list();
    FUZZ_CHECK(count == entries, "%d entries written, expected %d", count, entries);
    std::string out = sim::out(), want = sim::utf8(expected);
    FUZZ_CHECK(out == want, "wrote\n%s\nexpected\n%s", out.c_str(), want.c_str());
    FUZZ_CHECK(sim::err().empty(), "the list wrote to standard error");
    fuzz::check_clean();
    return 0;
}
