// Simulated interface table rows (GetIfEntry2).
#ifndef SIM_NETIOAPI_H
#define SIM_NETIOAPI_H
#include <iphlpapi.h>

#endif
