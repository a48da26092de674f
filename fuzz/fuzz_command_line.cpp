// The command tail through parse_command_line: any text, any length. Checks the word table
// the split leaves behind and the record the switches fill, against the rules the rest of
// the run relies on.
#include "fuzz_common.h"
#include "src/command/options.h"
#include "src/console/pause_option.h"

namespace {

bool in_buffer(const WCHAR *p)
{
    return p >= argument_words.buffer && p < argument_words.buffer + MAX_ARG_LEN;
}

bool blank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

void check_words()
{
    const ArgumentWords &a = argument_words;
    FUZZ_CHECK(a.count >= 0 && a.count <= MAX_ARG_WORDS, "word count %d", a.count);
    const WCHAR *previous_end = a.buffer;
    for (int i = 0; i < a.count; i++) {
        const WCHAR *w = a.words[i];
        FUZZ_CHECK(w != NULL && in_buffer(w), "word %d outside the buffer", i);
        FUZZ_CHECK(w >= previous_end, "word %d overlaps the word before it", i);
        FUZZ_CHECK(a.lengths[i] >= 0 && w + a.lengths[i] < a.buffer + MAX_ARG_LEN,
                   "word %d length %d runs past the buffer", i, a.lengths[i]);
        FUZZ_CHECK(w[a.lengths[i]] == 0, "word %d is not terminated at its length", i);
        for (int j = 0; j < a.lengths[i]; j++) {
            FUZZ_CHECK(!(w[j] >= u'a' && w[j] <= u'z'), "word %d keeps a lower-case letter", i);
            FUZZ_CHECK(w[j] != u'"', "word %d keeps a double quote", i);
            FUZZ_CHECK(w[j] != 0, "word %d holds a NUL inside its length", i);
        }
        FUZZ_CHECK(a.lengths[i] == 0 || !blank(w[a.lengths[i] - 1]),
                   "word %d ends in white space", i);
        previous_end = w + a.lengths[i] + 1;
    }
    for (int i = a.count; i < MAX_ARG_WORDS; i++)
        FUZZ_CHECK(a.words[i] == NULL, "word pointer %d set beyond the count", i);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::u16string tail = fuzz::text(data, size);
    fuzz::fresh_platform();

    CommandOptions options;
    reset_command_options(&options);
    int rc = parse_command_line(tail.c_str(), &options);

    FUZZ_CHECK(rc == -1 || rc == 0 || rc == 1, "result %d", rc);
    std::string err = sim::err(), out = sim::out();
    if (rc == -1) {
        check_words();
        FUZZ_CHECK(err.empty() && out.empty(), "a run that goes on wrote: %s%s", out.c_str(),
                   err.c_str());
        FUZZ_CHECK((options.flags & ~0x337u) == 0, "unknown flag bits %#x", options.flags);
        FUZZ_CHECK(options.actions <= 3, "unknown action bits %#x", options.actions);
        // A page of at most 1000 lines, or the window's.
        FUZZ_CHECK(options.pause_lines <= 1000 ||
                       options.pause_lines == PAUSE_LINES_FIT_WINDOW,
                   "page length %u", options.pause_lines);
        if (options.wildmask) {
            bool found = false;
            for (int i = 0; i < argument_words.count; i++)
                found = found || options.wildmask == argument_words.words[i];
            FUZZ_CHECK(found, "the wildmask is not one of the words");
            FUZZ_CHECK(options.wildmask[0] != u'/' && options.wildmask[0] != u'-',
                       "an option became the wildmask");
        }
    } else if (rc == 0) {
        FUZZ_CHECK(!out.empty() && err.empty(), "help wrote nothing, or an error");
    } else {
        FUZZ_CHECK(!err.empty() && out.empty(), "a bad argument without its message");
        FUZZ_CHECK(err.find("Nicshow plugin: ") == 0, "message without its prefix: %s",
                   err.c_str());
    }
    fuzz::check_clean();
    return 0;
}
