// The highlight setting from the environment and from the registry: any text, any value
// type and byte length (odd, unterminated, oversized), any normal colour, and any numbers
// the host's colour parser might hand back. Checks the two promises of the colours (never
// invisible, never the same as normal text), the 1024-character bound of the registry
// read, and that every key is closed again.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_common.h"
#include "src/console/highlight.h"

namespace {

const size_t CHARS = 1024, GUARD = 16;
const char16_t FILL = 0xA5A5;

const char *const key_paths[] = {"SOFTWARE\\VantrelPlugins\\Nicshow", "SOFTWARE\\VantrelPlugins"};
const HKEY roots[] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};
const DWORD value_types[] = {REG_SZ, REG_SZ, REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD,
                             REG_MULTI_SZ, REG_NONE};

std::vector<BYTE> value_bytes(FuzzedDataProvider &in)
{
    std::string s = in.ConsumeRandomLengthString(2200);
    std::u16string t = fuzz::text((const uint8_t *)s.data(), s.size());
    std::vector<BYTE> bytes((const BYTE *)t.data(), (const BYTE *)(t.data() + t.size()));
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:  // terminated, as RegSetValueEx normally stores it
        bytes.push_back(0);
        bytes.push_back(0);
        break;
    case 1:  // an odd byte count
        bytes.push_back(in.ConsumeIntegral<BYTE>());
        break;
    case 2:  // stored without a terminator
        break;
    case 3:  // a large value filling the buffer exactly, or just past it
        bytes.resize(2 * CHARS + in.ConsumeIntegralInRange(-2, 2), 'A');
        break;
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    fuzz::fresh_platform();
    highlight_colors = HighlightColors{};

    BYTE normal = in.ConsumeIntegral<BYTE>();
    sim::host().normal_attr = normal;
    sim::console().stdout_is_console = in.ConsumeIntegralInRange(0, 7) != 0;
    if (in.ConsumeBool()) {
        std::string s = in.ConsumeRandomLengthString(1100);
        sim::kernel().env[u"HIGHLIGHT"] = fuzz::text((const uint8_t *)s.data(), s.size());
    }
    int values = in.ConsumeIntegralInRange(0, 4);
    for (int i = 0; i < values; i++) {
        HKEY root = in.PickValueInArray(roots);
        const char *path = in.PickValueInArray(key_paths);
        DWORD type = in.PickValueInArray(value_types);
        sim::set_reg_raw(root, path, "Highlight", type, value_bytes(in));
    }
    if (in.ConsumeIntegralInRange(0, 3) == 0) {
        // A host parser that answers anything at all.
        sim::host().parse_colors_scripted = true;
        sim::host().parse_colors_fg = in.ConsumeIntegralInRange(-70, 300);
        sim::host().parse_colors_bg = in.ConsumeIntegralInRange(-70, 300);
    }

    // The registry read on its own: bounded, terminated, empty on failure.
    for (HKEY root : roots) {
        for (const char *path : key_paths) {
            char16_t text[CHARS + GUARD];
            std::fill(std::begin(text), std::end(text), FILL);
            std::u16string wpath = sim::utf16(path);
            LONG rc = read_highlight_value(root, (LPCWSTR)wpath.c_str(), (LPWSTR)text);
            for (size_t i = CHARS; i < CHARS + GUARD; i++)
                FUZZ_CHECK(text[i] == FILL, "registry read wrote past 1024 characters at %zu", i);
            if (rc == 0) {
                size_t n = 0;
                while (n < CHARS && text[n])
                    n++;
                FUZZ_CHECK(n > 0 && n < CHARS, "a successful read gave %zu characters", n);
            } else {
                FUZZ_CHECK(text[0] == 0, "a failed read (%ld) left text behind", (long)rc);
            }
        }
    }
    FUZZ_CHECK(sim::kernel().reg_open_keys == 0, "registry read left a key open");

    int h = init_highlight_colors();
    const HighlightColors &c = highlight_colors;
    if (h == 0) {
        FUZZ_CHECK(c.normal == 0 && c.highlight == 0, "off, but the record holds %#x/%#x",
                   c.normal, c.highlight);
    } else {
        FUZZ_CHECK(sim::console().stdout_is_console, "highlighting without a console");
        FUZZ_CHECK(h == c.highlight && h >= 0 && h <= 0xFF, "result %#x, record %#x", h,
                   c.highlight);
        FUZZ_CHECK(c.normal == normal, "normal %#x, the shell's %#x", c.normal, normal);
        FUZZ_CHECK((h & 0x0F) != (h >> 4), "highlight %#x is invisible", h);
        FUZZ_CHECK(h != normal, "highlight %#x is the normal colour", h);
        FUZZ_CHECK((normal & 0x0F) != (normal >> 4), "highlighting on a normal colour %#x "
                   "whose text is invisible", normal);
    }
    FUZZ_CHECK(sim::all().empty(), "the colours wrote output");
    fuzz::check_clean();
    return 0;
}
