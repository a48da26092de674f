// Usage and help texts of the plug-in's one command.
#include "usage.h"
#include "plugin.h"

const WCHAR nicshow_usage_text[] =
    TEXT("Display IP interface information.\n\n")
    TEXT("NICSHOW /A /B /D /I /L /P /Q /R /S /T /U /X wildmask\r\n\n")
    TEXT("\t/A or /ALL \tshow detailed info on all adapters\n")
    TEXT("\t/B or /BOUNCE \trelease and then renew IPv4 addresses  \n")
    TEXT("\t/D \t\tdisable highlight\n")
    TEXT("\t/I \t\tshow more detailed information\n")
    TEXT("\t/L \t\tinclude loopback adapters\n")
    TEXT("\t/P \t\tpage output\n")
    TEXT("\t/Q \t\tquietly  (affects /B /R and /X)\n")
    TEXT("\t/R or /RENEW \trenew IPv4 addresses\n")
    TEXT("\t/S \t\tmake sounds  (affects /B /R and /X)\n")
    TEXT("\t/T \t\tinclude tunnel adapters\n")
    TEXT("\t/U \t\tinclude disconnected adapters\n")
    TEXT("\t/X or /RELEASE \trelease IPv4 addresses\n\n")
    TEXT("With no options, the default is to display basic info on all except\n")
    TEXT("tunnel, loopback, and disconnected adapters.  If wildmask is given,  \n")
    TEXT("only adapters with matching \u2018friendly\u2019 names will be listed\n")
    TEXT("(released, renewed). \n");

const UsageEntry usage_table[1] = {
    {TEXT("nicshow"), nicshow_usage_text},
};

static const UsageEntry *find_usage(LPCWSTR name)
{
    for (const UsageEntry &entry : usage_table)
        if (lstrcmpiW(name, entry.name) == 0)
            return &entry;
    return NULL;
}

extern "C" INT WINAPI Usage(LPWSTR name, LPWSTR text)
{
    const UsageEntry *entry;
    LPCWSTR rest;

    if (!name || name[0] == TEXT('@') || name[0] == TEXT('_'))
        return 0;
    entry = find_usage(name);
    if (!entry || !text)
        return 0;
    rest = entry->text;
    while (*rest && *rest != TEXT('\n'))
        rest++;
    while (*rest == TEXT('\n'))
        rest++;
    lstrcpynW(text, rest, TEXT_BUFFER_CHARS);
    return 1;
}

extern "C" INT WINAPI Help(LPWSTR name)
{
    WCHAR caption[TEXT_BUFFER_CHARS];
    const UsageEntry *entry;

    wsprintfW(caption, TEXT("%s Plugin Help"), PLUGIN_NAME);
    if (!name)
        return 0;
    entry = find_usage(name);
    if (!entry)
        return 0;
    MessageBoxW(GetForegroundWindow(), entry->text, caption, MB_OK);
    return 1;
}
