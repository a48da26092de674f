// Pager state and break handler.
#include "pager_state.h"

PagerState pager;

BOOL WINAPI console_ctrl_handler(DWORD control_type)
{
    if (control_type == CTRL_C_EVENT || control_type == CTRL_BREAK_EVENT) {
        pager.break_requested = 1;
        return TRUE;
    }
    return FALSE;
}

void install_break_handler(void)
{
    pager.break_requested = 0;
    if (!pager.handler_installed) {
        SetConsoleCtrlHandler(console_ctrl_handler, TRUE);
        pager.handler_installed = 1;
    }
}

void remove_break_handler(void)
{
    pager.break_requested = 0;
    if (pager.handler_installed) {
        SetConsoleCtrlHandler(console_ctrl_handler, FALSE);
        pager.handler_installed = 0;
    }
}
