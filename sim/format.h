// The simulation's formatted-output engine (wsprintfW rules).
#ifndef NICSHOW_SIM_FORMAT_H
#define NICSHOW_SIM_FORMAT_H
#include <windows.h>
#include <string>
namespace sim {
std::u16string vformat(const char16_t *fmt, va_list ap);
std::u16string format(const char16_t *fmt, ...);
}
#endif
