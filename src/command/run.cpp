// The NICSHOW command: one run from the command tail to the exit code.
#include "../plugin/plugin.h"
#include "../plugin/errors.h"
#include "../plugin/host.h"

extern "C" INT WINAPI nicshow(LPWSTR arguments)
{
    if (!arguments)
        return 1;
    report_error_prefix();
    Qprintf(GetStdHandle(STD_ERROR_HANDLE), TEXT("the NICSHOW command is not built yet.\r\n"));
    return 2;
}
