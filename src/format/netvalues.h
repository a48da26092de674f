// The network values of the adapter report as display text: adapter types, speeds,
// wireless rates, tri-state words, byte strings, addresses and DHCP lease times.
#ifndef NICSHOW_FORMAT_NETVALUES_H
#define NICSHOW_FORMAT_NETVALUES_H

#include "../platform/win32.h"
#include "../text_buffer.h"

// The most bytes format_hex_bytes shows: three characters a byte, and the terminator
// written after the last, fill the value buffer.
#define HEX_BYTES_MAX ((TEXT_BUFFER_CHARS - 1) / 3)

// Each out is a buffer of TEXT_BUFFER_CHARS.
int adapter_type_name(ULONG if_type, LPWSTR out);
LPCWSTR enabled_text(int value);
int format_link_speed(LPWSTR out, ULONG64 bits_per_second);
LPCWSTR format_wifi_rate(ULONG kbps);
int format_hex_bytes(ULONG count, const BYTE *bytes, LPWSTR out);
int format_ipv4(ULONG address, LPWSTR out);
int format_socket_address(const SOCKADDR *address, LPWSTR out);
int format_lease_time(LPWSTR out, DWORD date_format, ULONG64 seconds_since_1970);

#endif
