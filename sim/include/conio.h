// The runtime's direct console input and output, simulated.
#ifndef SIM_CONIO_H
#define SIM_CONIO_H
#include <windows.h>
int _kbhit(void);
int _getwch(void);
int _cputws(const char16_t *text);
#endif
