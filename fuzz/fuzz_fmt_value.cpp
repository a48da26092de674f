// The /F value: "/F" and any text through parse_command_line. When the text stays one
// word, the date form code must be exactly the number it spells (decimal, or 0x and hex
// digits, nothing after it, 32 bits), and anything else must give the /F messages.
#include "fuzz_common.h"
#include "src/command/options.h"

namespace {

int hex(char16_t c)
{
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// The value a whole word spells, or -1 when it is no number or too big for 32 bits.
int64_t spelled(const std::u16string &s)
{
    size_t i = 0;
    int base = 10;
    if (s.size() > 2 && s[0] == u'0' && (s[1] == u'x' || s[1] == u'X') && hex(s[2]) >= 0) {
        base = 16;
        i = 2;
    }
    if (i >= s.size())
        return -1;
    uint64_t v = 0;
    for (; i < s.size(); i++) {
        int d = hex(s[i]);
        if (d < 0 || d >= base)
            return -1;
        v = v * base + d;
        if (v > 0xFFFFFFFFull)
            return -1;
    }
    return (int64_t)v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::u16string tail = u"/F" + fuzz::text(data, size);
    fuzz::fresh_platform();

    CommandOptions options;
    reset_command_options(&options);
    int rc = parse_command_line(tail.c_str(), &options);
    FUZZ_CHECK(rc == -1 || rc == 0 || rc == 1, "result %d", rc);

    if (argument_words.count == 1) {
        std::u16string word(argument_words.words[0], argument_words.lengths[0]);
        std::u16string value = word.substr(2);
        if (!value.empty() && (value[0] == u':' || value[0] == u'='))
            value = value.substr(1);
        int64_t expected = spelled(value);
        std::string err = sim::err();
        if (value.empty()) {
            FUZZ_CHECK(rc == 1 && err.find("Missing fmt value: \"") != std::string::npos,
                       "no value: rc %d, %s", rc, err.c_str());
        } else if (expected < 0) {
            FUZZ_CHECK(rc == 1 && err.find("Bad fmt value: \"") != std::string::npos,
                       "bad value accepted: rc %d, code %u, %s", rc, options.date_format,
                       err.c_str());
            FUZZ_CHECK(options.date_format == DEFAULT_DATE_FORMAT, "a bad value changed the code");
        } else {
            FUZZ_CHECK(rc == -1, "good value refused: rc %d, %s", rc, err.c_str());
            FUZZ_CHECK(options.date_format == (DWORD)expected, "code %u, expected %lld",
                       options.date_format, (long long)expected);
        }
    }
    fuzz::check_clean();
    return 0;
}
