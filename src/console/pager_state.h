// The pager's module-wide state and the console control handler that turns Ctrl-C and
// Ctrl-Break into a request to stop the output.
#ifndef NICSHOW_CONSOLE_PAGER_STATE_H
#define NICSHOW_CONSOLE_PAGER_STATE_H

#include "../platform/win32.h"

struct PagerState {
    DWORD lines_left;
    DWORD page_length;
    DWORD pause_ms;
    volatile DWORD break_requested;  // set on the system's control thread
    DWORD handler_installed;
};

extern PagerState pager;

// The user stopped the output.
#define USER_BREAK (-3)

BOOL WINAPI console_ctrl_handler(DWORD control_type);
void install_break_handler(void);
void remove_break_handler(void);

#endif
