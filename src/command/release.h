// DHCP release, renew and bounce of the machine's IPv4 interfaces, one line each.
#ifndef NICSHOW_COMMAND_RELEASE_H
#define NICSHOW_COMMAND_RELEASE_H

#include "../platform/win32.h"
#include "../text_buffer.h"

// 0 when every attempted operation succeeded or nothing was selected; the number of
// failed operations; -2 when the interface table (or memory) could not be had;
// USER_BREAK.
int release_renew(DWORD flags, LPCWSTR wildmask, DWORD actions);
// Copies the friendly name of the interface with this index into name
// (TEXT_BUFFER_CHARS): 1; 0 when the list has none (or is NULL); -1 without a buffer.
int friendly_name_of(const IP_ADAPTER_ADDRESSES *names, ULONG if_index, LPWSTR name);
// The interface's media connect state 0, 1 or 2, or -1 when it cannot be had.
int media_connect_state(ULONG if_index);

#endif
