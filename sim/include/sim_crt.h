// The Windows C runtime's wide-character functions, for UTF-16 text (char16_t). These
// overload the C library's wchar_t versions; the numeric ones keep the 32-bit widths of
// the Windows runtime (wcstoul reports ERANGE above 4294967295).
#ifndef SIM_CRT_H
#define SIM_CRT_H

// The C++ library takes the addresses of the C library's versions (std::stol and the
// like); it must see them before these overloads exist, or the names become ambiguous.
#include <cstdlib>
#include <cwchar>
#include <cwctype>
#include <string>
#include <errno.h>
#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>

uint32_t wcstoul(const char16_t *text, char16_t **end, int base);
int iswspace(char16_t c);
int iswdigit(char16_t c);
int iswalpha(char16_t c);
int iswpunct(char16_t c);
int _snwprintf(char16_t *out, size_t count, const char16_t *format, ...);

#endif
