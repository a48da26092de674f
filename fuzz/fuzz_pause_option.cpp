// The /P word: parse_pause_option against a small model of the switch's syntax, written
// independently (64-bit accumulation, one pass), on any word.
#include "fuzz_common.h"
#include "src/console/pause_option.h"

namespace {

enum Outcome { OK, BAD_TIME, BAD_LINES, LINES_RANGE, SYNTAX };

struct Model {
    Outcome outcome;
    uint32_t ms;
    uint32_t lines;
};

bool dec(char16_t c) { return c >= u'0' && c <= u'9'; }
int hex(char16_t c)
{
    if (dec(c)) return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// A number at w[i] (decimal, or 0x and hex digits); false when it exceeds 32 bits.
bool number(const std::u16string &w, size_t &i, uint64_t &value)
{
    int base = 10;
    if (w[i] == u'0' && i + 2 < w.size() && (w[i + 1] == u'x' || w[i + 1] == u'X') &&
        hex(w[i + 2]) >= 0) {
        base = 16;
        i += 2;
    }
    value = 0;
    bool fits = true;
    for (; i < w.size(); i++) {
        int d = base == 16 ? hex(w[i]) : (dec(w[i]) ? w[i] - u'0' : -1);
        if (d < 0)
            break;
        value = value * base + d;
        if (value > 0xFFFFFFFFull) {
            fits = false;
            value = 0xFFFFFFFFull;
        }
    }
    return fits;
}

Model model(const std::u16string &w)
{
    Model m{OK, 0, PAUSE_LINES_FIT_WINDOW};
    size_t i = 2;
    uint64_t v;

    if (i < w.size() && (w[i] == u':' || w[i] == u'='))
        i++;
    if (i < w.size() && dec(w[i])) {
        if (!number(w, i, v))
            return {BAD_TIME, 0, 0};
        if (i < w.size() && (w[i] == u'M' || w[i] == u'm')) {
            i++;
        } else {
            if (v > 4294967)
                return {BAD_TIME, 0, 0};
            v *= 1000;
        }
        m.ms = (uint32_t)v;
    }
    if (i < w.size() && (w[i] == u',' || w[i] == u';')) {
        i++;
        if (i < w.size() && dec(w[i])) {
            if (!number(w, i, v))
                return {BAD_LINES, 0, 0};
            if (v > 1000)
                return {LINES_RANGE, 0, 0};
            m.lines = (uint32_t)v;
        }
    }
    if (i < w.size())
        return {SYNTAX, 0, 0};
    return m;
}

const char *message_of(Outcome o)
{
    switch (o) {
    case BAD_TIME: return "Bad pause time: \"";
    case BAD_LINES: return "Bad pause lines: \"";
    case LINES_RANGE: return "Pause lines must be 0 - 1000: ";
    case SYNTAX: return "Syntax error: \"";
    default: return "";
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::u16string word = fuzz::text(data, size);
    word = word.substr(0, word.find(u'\0'));  // what the command hands over ends there
    fuzz::fresh_platform();

    const uint32_t sentinel = 0xDEADBEEF;
    DWORD lines = sentinel;
    pager.pause_ms = sentinel;
    std::u16string copy = word;
    int rc = parse_pause_option(copy.data(), &lines);

    bool is_pause = word.size() >= 2 && (word[0] == u'/' || word[0] == u'-') &&
                    (word[1] == u'P' || word[1] == u'p');
    if (!is_pause) {
        FUZZ_CHECK(rc == 0 && lines == sentinel && pager.pause_ms == sentinel,
                   "a word that is no pause switch changed something: rc %d", rc);
        FUZZ_CHECK(sim::all().empty(), "a word that is no pause switch wrote output");
    } else {
        Model m = model(word);
        if (m.outcome == OK) {
            FUZZ_CHECK(rc == 0, "a good word was refused: rc %d, err %s", rc, sim::err().c_str());
            FUZZ_CHECK(pager.pause_ms == m.ms, "pause %u ms, expected %u", pager.pause_ms, m.ms);
            FUZZ_CHECK(lines == m.lines, "lines %u, expected %u", lines, m.lines);
            FUZZ_CHECK(sim::all().empty(), "a good word wrote output");
        } else {
            FUZZ_CHECK(rc == 1, "a bad word was accepted: rc %d, expected message %s", rc,
                       message_of(m.outcome));
            std::string err = sim::err();
            FUZZ_CHECK(err.find(message_of(m.outcome)) != std::string::npos,
                       "wrong message: %s (expected %s)", err.c_str(), message_of(m.outcome));
            FUZZ_CHECK(err.size() >= 2 && err.compare(err.size() - 2, 2, "\r\n") == 0,
                       "message does not end its line: %s", err.c_str());
            FUZZ_CHECK(sim::out().empty(), "an error went to standard output");
        }
    }
    fuzz::check_clean();
    return 0;
}
