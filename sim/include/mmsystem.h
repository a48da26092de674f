// Simulated system sounds.
#ifndef SIM_MMSYSTEM_H
#define SIM_MMSYSTEM_H
#include <windows.h>
#endif
