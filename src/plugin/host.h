// The host services that Take Command's TakeCmd.dll exports to its plug-ins.
#ifndef NICSHOW_PLUGIN_HOST_H
#define NICSHOW_PLUGIN_HOST_H

#include "../platform/win32.h"

extern "C" {
// Writes text to standard output, no line end added.
int WINAPI QPuts(LPCWSTR text);
// wsprintfW-style formatted output to standard output.
int __cdecl Printf(LPCWSTR format, ...);
// Formatted output to the given handle (the plug-in passes the standard error handle).
int __cdecl Qprintf(HANDLE handle, LPCWSTR format, ...);
// One line end on standard output.
void WINAPI CrLf(void);
// Expands the shell's variables in place; flag 1.
int WINAPI ExpandVariables(LPWSTR text, int flag);
// Makes attribute the host's current output colour.
void WINAPI SetColors(int attribute);
// The shell's normal text attribute into *normal; *inverse is not used by the plug-in.
void WINAPI GetAttribute(unsigned int *normal, unsigned int *inverse);
// Parses a colour description into foreground and background (-1 when not given);
// answers where the description ends in text.
LPWSTR WINAPI ParseColors(LPCWSTR text, int *foreground, int *background);
// 0 when name matches pattern, letter case not mattering.
int WINAPI WildcardComparison(LPCWSTR pattern, LPCWSTR name, int flag1, int flag2);
}

#endif
