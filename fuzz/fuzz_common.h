// What every fuzz target shares: turning fuzz bytes into UTF-16 text, a fresh simulated
// platform per input, and checks that stop the fuzzer with a readable reason.
#ifndef NICSHOW_FUZZ_COMMON_H
#define NICSHOW_FUZZ_COMMON_H

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "sim/sim.h"
#include "src/console/pager_state.h"

// A failed check is a finding: print why and abort, so libFuzzer keeps the input.
#define FUZZ_CHECK(cond, ...)                                                        \
    do {                                                                             \
        if (!(cond)) {                                                               \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n  ", #cond, __FILE__, \
                         __LINE__);                                                  \
            std::fprintf(stderr, __VA_ARGS__);                                       \
            std::fputc('\n', stderr);                                                \
            std::abort();                                                            \
        }                                                                            \
    } while (0)

namespace fuzz {

// Code units the command line and settings meet in practice or that trip naive code:
// non-ASCII blanks, digits of other scripts, letters whose case mapping is odd, lone
// surrogates, the quote and the non-characters at the end of the plane.
static const char16_t notable_units[] = {
    0x00A0, 0x1680, 0x2000, 0x2007, 0x2028, 0x2029, 0x202F, 0x3000, 0x0085, 0xFEFF,
    0xFF10, 0xFF19, 0x0660, 0x0969, 0x00B2, 0x2155, 0x00E9, 0x00C9, 0x00FF, 0x0178,
    0x0130, 0x0131, 0x017F, 0x212A, 0x00DF, 0x1E9E, 0xFB00, 0x0149, 0xFF0F, 0xFF1A,
    0x2044, 0x201C, 0x201D, 0xD800, 0xDBFF, 0xDC00, 0xDFFF, 0xFFFE, 0xFFFF, 0x0001,
    0x001B, 0x007F, 0x0080, 0x009F, 0xFF50, 0xFF30, 0x24C5, 0x2460, 0x0000,
};

// Bytes below 0x80 stand for themselves, so seeds stay readable text. 0xFF and the two
// bytes after it give any code unit (little-endian), NUL included. Other high bytes pick
// one of the notable units above.
inline std::u16string text(const uint8_t *data, size_t size)
{
    std::u16string out;
    out.reserve(size);
    for (size_t i = 0; i < size; i++) {
        uint8_t b = data[i];
        if (b < 0x80) {
            out.push_back(b);
        } else if (b == 0xFF) {
            if (i + 2 >= size)
                break;  // a cut-off escape ends the text
            out.push_back((char16_t)(data[i + 1] | data[i + 2] << 8));
            i += 2;
        } else {
            out.push_back(notable_units[(b - 0x80) % (sizeof notable_units / sizeof notable_units[0])]);
        }
    }
    return out;
}

// The hostile features an input reached, named, for choosing seeds and for the record of
// what was tried: with FUZZ_DESCRIBE set in the environment, a target prints them after
// each input ("tags: a b c").
inline std::set<std::string> &tags()
{
    static std::set<std::string> t;
    return t;
}

inline void tag(const char *name)
{
    tags().insert(name);
}

inline void print_tags()
{
    static const bool describe = std::getenv("FUZZ_DESCRIBE") != NULL;
    if (describe) {
        std::string line = "tags:";
        for (const std::string &t : tags())
            line += " " + t;
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    tags().clear();
}

// The state every run starts from, as the unit tests' fixture gives it.
inline void fresh_platform()
{
    sim::reset();
    pager = PagerState{};
}

// What every input must leave behind: no heap block, no handler, no open key.
inline void check_clean()
{
    FUZZ_CHECK(sim::kernel().heap_outstanding == 0, "%ld heap blocks outstanding",
               sim::kernel().heap_outstanding);
    FUZZ_CHECK(sim::console().handlers.empty(), "console control handler left installed");
    FUZZ_CHECK(sim::kernel().reg_open_keys == 0, "%d registry keys left open",
               sim::kernel().reg_open_keys);
}

}  // namespace fuzz

#endif
