// The NICSHOW command: one run from the command tail to the exit code.
#include "options.h"
#include "../console/pager_state.h"
#include "../plugin/plugin.h"
#include "../plugin/errors.h"
#include "../plugin/host.h"

extern "C" INT WINAPI nicshow(LPWSTR arguments)
{
    CommandOptions options;
    int rc;

    if (!arguments)
        return 1;
    pager.page_length = 0;
    pager.lines_left = 0;
    pager.pause_ms = 0;
    pager.break_requested = 0;
    reset_command_options(&options);

    // Help and bad arguments end the run before anything is acquired.
    rc = parse_command_line(arguments, &options);
    if (rc >= 0)
        return rc;

    report_error_prefix();
    Qprintf(GetStdHandle(STD_ERROR_HANDLE), TEXT("the NICSHOW command is not built yet.\r\n"));
    return 2;
}
