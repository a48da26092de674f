// The NICSHOW command: one run from the command tail to the exit code.
#include "adapters.h"
#include "header.h"
#include "listing.h"
#include "options.h"
#include "release.h"
#include "../console/highlight.h"
#include "../console/pager.h"
#include "../console/pager_state.h"
#include "../plugin/errors.h"
#include "../plugin/host.h"
#include "../plugin/plugin.h"

// Exit codes of the command.
#define EXIT_OK 0
#define EXIT_BAD_ARGUMENT 1
#define EXIT_FAILED 2
#define EXIT_STOPPED 3

// The header and the listing, once the adapter lists are fetched and the break handler
// installed; returns the exit code given the one so far.
static int report(const CommandOptions *options, const IP_ADAPTER_ADDRESSES *adapters,
                  const IP_ADAPTER_INFO *infos, int exit_code)
{
    WCHAR error_text[TEXT_BUFFER_CHARS];
    int rc;

    rc = print_global_header((options->flags & CommandOptions::detailed) != 0);
    if (rc == USER_BREAK)
        return EXIT_STOPPED;
    if (rc != 0) {
        format_system_error((DWORD)rc, error_text);
        report_error_prefix();
        Qprintf(GetStdHandle(STD_ERROR_HANDLE), TEXT("%s\r\n"), error_text);
        return EXIT_FAILED;
    }
    if (!adapters) {
        report_error_prefix();
        Qprintf(GetStdHandle(STD_ERROR_HANDLE), TEXT("Unable to create list of adapters.\r\n"));
        return EXIT_FAILED;
    }
    rc = list_adapters(infos, options->wildmask, options->flags, adapters, options->date_format);
    return rc == USER_BREAK ? EXIT_STOPPED : exit_code;
}

extern "C" INT WINAPI nicshow(LPWSTR arguments)
{
    CommandOptions options;
    IP_ADAPTER_ADDRESSES *adapters = NULL;
    IP_ADAPTER_INFO *infos = NULL;
    int exit_code = EXIT_OK;
    int rc;

    if (!arguments)
        return EXIT_BAD_ARGUMENT;
    pager.page_length = 0;
    pager.lines_left = 0;
    pager.pause_ms = 0;
    pager.break_requested = 0;
    reset_command_options(&options);

    // Help and bad arguments end the run before anything is acquired.
    rc = parse_command_line(arguments, &options);
    if (rc >= 0)
        return rc;

    if (options.pause_lines)
        start_paging(options.pause_lines);
    highlight_colors.normal = 0;
    highlight_colors.highlight = 0;
    if (!options.no_highlight)
        init_highlight_colors();
    ULONG query_flags = adapter_query_flags(os_version.dwMajorVersion,
                                            (options.flags & CommandOptions::detailed) != 0);

    if (options.actions) {
        rc = release_renew(options.flags, options.wildmask, options.actions);
        if (rc == USER_BREAK)
            exit_code = EXIT_STOPPED;
        else if (rc != 0)
            exit_code = EXIT_FAILED;
    }
    if (exit_code != EXIT_STOPPED) {
        adapters = get_adapter_addresses(query_flags);
        if (adapters)
            infos = get_adapter_info();
        install_break_handler();
        exit_code = report(&options, adapters, infos, exit_code);
    }

    if (adapters)
        HeapFree(GetProcessHeap(), 0, adapters);
    if (infos)
        HeapFree(GetProcessHeap(), 0, infos);
    remove_break_handler();
    return exit_code;
}
