// The runtime's direct console output, simulated.
#ifndef SIM_CONIO_H
#define SIM_CONIO_H
#include <windows.h>
int _cputws(const char16_t *text);
#endif
