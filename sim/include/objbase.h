// Simulated COM helpers.
#ifndef SIM_OBJBASE_H
#define SIM_OBJBASE_H
#include <windows.h>
#endif
