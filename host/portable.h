// The host's portable logic, shared by the stand-in TakeCmd.dll and the simulated host:
// variable expansion, colour descriptions and wildcard matching, on UTF-16 text.
#ifndef NICSHOW_HOST_PORTABLE_H
#define NICSHOW_HOST_PORTABLE_H

#include <cstddef>
#include <functional>
#include <string>

namespace hostlogic {

// Gives the value of a variable; false when it is not defined.
using Lookup = std::function<bool(const std::u16string &name, std::u16string &value)>;

// Expands, in place, %[name], %name% and %name (a name is a run of letters, digits, "_"
// and "$"); "%%" gives one per cent sign, and a "%" that starts no name stays as it is.
// An undefined variable expands to nothing. The result is cut to capacity - 1 characters.
void expand_variables(char16_t *text, size_t capacity, const Lookup &lookup);

// Reads "[bright] colour [on [bright] colour]", words in any case, into foreground and
// background numbers 0-15. Colours: black, blue, green, cyan, red, magenta, yellow or
// brown, white; "bright" adds 8. A part that is missing or not understood leaves its
// number as the caller preset it. Answers where the description ends: just after its last
// word understood (text itself when none was), so the rest of a command line follows.
const char16_t *parse_colors(const char16_t *text, int *foreground, int *background);

// 0 when name matches pattern ("*" any run, "?" one character, "[a-z]" a set, "[!...]"
// or "[^...]" its complement), letter case not mattering; 1 otherwise.
int wildcard_compare(const char16_t *pattern, const char16_t *name);

std::u16string upper(const std::u16string &text);

}  // namespace hostlogic

#endif
