// Simulated IP Helper interface.
#ifndef SIM_IPHLPAPI_H
#define SIM_IPHLPAPI_H
#include <winsock2.h>

#endif
