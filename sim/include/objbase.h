// Simulated COM helpers: the GUID parser the wireless report needs.
#ifndef SIM_OBJBASE_H
#define SIM_OBJBASE_H
#include <windows.h>

typedef WCHAR OLECHAR;
typedef OLECHAR *LPOLESTR;
typedef const OLECHAR *LPCOLESTR;

#define CO_E_IIDSTRING ((HRESULT)0x800401F4L)

// Parses the registry form "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}"; anything else is
// CO_E_IIDSTRING. A null string gives the null GUID, as on Windows.
HRESULT WINAPI IIDFromString(LPCOLESTR lpsz, LPIID lpiid);

#endif
