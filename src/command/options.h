// The command's switches: the argument text split into words, and the record of one
// run's options read from them.
#ifndef NICSHOW_COMMAND_OPTIONS_H
#define NICSHOW_COMMAND_OPTIONS_H

#include "../platform/win32.h"

#define MAX_ARG_WORDS 1024
#define MAX_ARG_LEN 8192

struct CommandOptions {
    // bits of flags
    enum : DWORD {
        include_tunnel = 0x001,
        include_loopback = 0x002,
        include_disconnected = 0x004,
        detailed = 0x010,
        show_guid = 0x020,
        quiet = 0x100,
        sounds = 0x200,
        all_adapters = include_tunnel | include_loopback | include_disconnected | detailed,
    };
    // bits of actions; both together mean bounce
    enum : DWORD {
        release = 1,
        renew = 2,
    };

    DWORD flags;
    DWORD actions;
    bool no_highlight;
    DWORD pause_lines;  // 0 no paging, all bits set fit the window, else lines per page
    DWORD date_format;
    LPWSTR wildmask;    // points into argument_words
};

#define DEFAULT_DATE_FORMAT 32

// The words of the last argument text split, each upper-cased and NUL-terminated in
// buffer, one after another.
struct ArgumentWords {
    LPWSTR words[MAX_ARG_WORDS];
    INT lengths[MAX_ARG_WORDS];
    INT count;
    WCHAR buffer[MAX_ARG_LEN];
};

extern ArgumentWords argument_words;

void reset_command_options(CommandOptions *options);

// Fills argument_words; the word count, or -1 for a null text or a text that overflows
// the buffer (its message written).
int split_arguments(LPCWSTR text);
int is_switch(LPCWSTR word, LPCWSTR switch_text);
int is_pause_switch(LPCWSTR word);

// -1: go on with the run; 0: help was shown; 1: a bad argument, its message written.
int parse_command_line(LPCWSTR text, CommandOptions *options);

#endif
