// The command line of NICSHOW: splitting the tail into words and reading the switches.
#include "options.h"
#include "../console/pause_option.h"
#include "../plugin/errors.h"
#include "../plugin/host.h"
#include "../plugin/plugin.h"
#include "../plugin/usage.h"

ArgumentWords argument_words;

enum SwitchKind { SET_FLAGS, SET_ACTIONS, NO_HIGHLIGHT, DATE_FORMAT, PAUSE };

struct SwitchRow {
    LPCWSTR name;
    SwitchKind kind;
    DWORD bits;
};

// In the order the words are tested. /F and /P match any word that begins with them.
static const SwitchRow switch_table[] = {
    {TEXT("/A"), SET_FLAGS, CommandOptions::all_adapters},
    {TEXT("/ALL"), SET_FLAGS, CommandOptions::all_adapters},
    {TEXT("/B"), SET_ACTIONS, CommandOptions::release | CommandOptions::renew},
    {TEXT("/BOUNCE"), SET_ACTIONS, CommandOptions::release | CommandOptions::renew},
    {TEXT("/D"), NO_HIGHLIGHT, 0},
    {TEXT("/F"), DATE_FORMAT, 0},
    {TEXT("/G"), SET_FLAGS, CommandOptions::show_guid},
    {TEXT("/I"), SET_FLAGS, CommandOptions::detailed},
    {TEXT("/L"), SET_FLAGS, CommandOptions::include_loopback},
    {TEXT("/P"), PAUSE, 0},
    {TEXT("/Q"), SET_FLAGS, CommandOptions::quiet},
    {TEXT("/X"), SET_ACTIONS, CommandOptions::release},
    {TEXT("/REL"), SET_ACTIONS, CommandOptions::release},
    {TEXT("/RELEASE"), SET_ACTIONS, CommandOptions::release},
    {TEXT("/R"), SET_ACTIONS, CommandOptions::renew},
    {TEXT("/REN"), SET_ACTIONS, CommandOptions::renew},
    {TEXT("/RENEW"), SET_ACTIONS, CommandOptions::renew},
    {TEXT("/S"), SET_FLAGS, CommandOptions::sounds},
    {TEXT("/T"), SET_FLAGS, CommandOptions::include_tunnel},
    {TEXT("/U"), SET_FLAGS, CommandOptions::include_disconnected},
};

void reset_command_options(CommandOptions *options)
{
    options->flags = 0;
    options->actions = 0;
    options->no_highlight = false;
    options->pause_lines = 0;
    options->date_format = DEFAULT_DATE_FORMAT;
    options->wildmask = NULL;
}

// --- splitting -------------------------------------------------------------------------

struct SplitState {
    INT index;   // current word
    INT length;  // of the current word; 0 = none started
    INT used;    // buffer cells taken, terminators of finished words included
};

static void end_word(SplitState *s)
{
    s->index++;
    s->used++;
    s->length = 0;
}

// False when the character and its terminator no longer fit the buffer. Characters past
// the last word the table holds are dropped.
static bool store_char(SplitState *s, WCHAR c)
{
    ArgumentWords *a = &argument_words;

    if (s->used + 2 > MAX_ARG_LEN)
        return false;
    if (s->index >= MAX_ARG_WORDS)
        return true;
    if (s->length == 0)
        a->words[s->index] = &a->buffer[s->used];
    // Only a-z: the words are compared and shown, never case-folded by locale.
    a->buffer[s->used++] = (c >= TEXT('a') && c <= TEXT('z')) ? (WCHAR)(c - 32) : c;
    a->lengths[s->index] = ++s->length;
    a->buffer[s->used] = 0;
    return true;
}

int split_arguments(LPCWSTR text)
{
    ArgumentWords *a = &argument_words;
    SplitState s = {0, 0, 0};
    bool in_quotes = false, scheme_seen = false;

    for (INT i = 0; i < MAX_ARG_WORDS; i++) {
        a->words[i] = NULL;
        a->lengths[i] = 0;
    }
    a->count = 0;
    a->buffer[0] = 0;
    if (!text)
        return -1;

    for (LPCWSTR p = text; *p; p++) {
        WCHAR c = *p;

        if (c == TEXT('"')) {
            in_quotes = !in_quotes;
            continue;
        }
        if (!in_quotes && iswspace(c)) {
            if (s.length) {
                end_word(&s);
                scheme_seen = false;
            }
            continue;
        }
        if (c == TEXT(':')) {
            // A URL scheme (http://) keeps its slashes inside the word.
            if (s.length && iswalpha(a->words[s.index][s.length - 1]) && p[1] == TEXT('/') &&
                p[2] == TEXT('/'))
                scheme_seen = true;
        } else if (c == TEXT('/') && !in_quotes && !scheme_seen && s.length >= 2 &&
                   a->words[s.index][0] == TEXT('/')) {
            end_word(&s);
        }
        if (!store_char(&s, c)) {
            report_error_prefix();
            Qprintf(GetStdHandle(STD_ERROR_HANDLE),
                    TEXT("Buffer overflow: b = %d, MAX_ARG_LEN = %d \r\n"), s.used, MAX_ARG_LEN);
            return -1;
        }
    }
    if (s.length)
        s.index++;

    // Only quoted words can end in white space; what they begin with stays.
    for (INT i = 0; i < s.index; i++) {
        while (a->lengths[i] > 0 && iswspace(a->words[i][a->lengths[i] - 1]))
            a->words[i][--a->lengths[i]] = 0;
    }
    a->count = s.index;
    return a->count;
}

// --- switches --------------------------------------------------------------------------

static bool begins_with_switch(LPCWSTR word, WCHAR letter)
{
    return word && (word[0] == TEXT('/') || word[0] == TEXT('-')) &&
           (word[1] == letter || word[1] == letter + 32);
}

int is_switch(LPCWSTR word, LPCWSTR switch_text)
{
    if (!word || !switch_text)
        return 0;
    if (lstrcmpiW(word, switch_text) == 0)
        return 1;
    if (word[0] == TEXT('-') && switch_text[0] == TEXT('/') && switch_text[1] &&
        lstrcmpiW(word + 1, switch_text + 1) == 0)
        return 1;
    return 0;
}

int is_pause_switch(LPCWSTR word)
{
    return begins_with_switch(word, TEXT('P')) ? 1 : 0;
}

static const SwitchRow *find_switch(LPCWSTR word)
{
    for (const SwitchRow &row : switch_table) {
        bool match;
        if (row.kind == DATE_FORMAT)
            match = begins_with_switch(word, TEXT('F'));
        else if (row.kind == PAUSE)
            match = is_pause_switch(word) != 0;
        else
            match = is_switch(word, row.name) != 0;
        if (match)
            return &row;
    }
    return NULL;
}

static int argument_error(LPCWSTR format, LPCWSTR word)
{
    report_error_prefix();
    Qprintf(GetStdHandle(STD_ERROR_HANDLE), format, word);
    return 1;
}

// The help screen is the whole text, description line included; Usage leaves that out.
static int show_help(LPCWSTR word)
{
    QPuts(nicshow_usage_text);
    if (word[1] == TEXT('?') && word[2] == TEXT('?'))
        Printf(TEXT("\r\n\t\t\t\t%s  %u.%u.%u.%u (%s)\r\n"), PLUGIN_NAME, PLUGIN_VERSION_MAJOR,
               PLUGIN_VERSION_MINOR, PLUGIN_VERSION_BUILD, 0, PLUGIN_PLATFORM);
    return 0;
}

static int read_date_format(LPCWSTR word, CommandOptions *options)
{
    LPCWSTR p = word + 2;
    DWORD value;

    if (*p == TEXT(':') || *p == TEXT('='))
        p++;
    if (!*p)
        return argument_error(TEXT("Missing fmt value: \"%s\"\r\n"), word);
    if (parse_unsigned(p, NULL, &value) != 0)
        return argument_error(TEXT("Bad fmt value: \"%s\"\r\n"), word);
    options->date_format = value;
    return 0;
}

int parse_command_line(LPCWSTR text, CommandOptions *options)
{
    INT count = split_arguments(text);

    if (count < 0 || !options)
        return 1;
    for (INT i = 0; i < count; i++) {
        LPWSTR word = argument_words.words[i];
        const SwitchRow *row;

        if ((word[0] == TEXT('/') && word[1] == TEXT('?')) || lstrcmpiW(word, TEXT("--help")) == 0)
            return show_help(word);
        row = find_switch(word);
        if (row) {
            switch (row->kind) {
            case SET_FLAGS:
                options->flags |= row->bits;
                break;
            case SET_ACTIONS:
                options->actions |= row->bits;
                break;
            case NO_HIGHLIGHT:
                options->no_highlight = true;
                break;
            case DATE_FORMAT:
                if (read_date_format(word, options) != 0)
                    return 1;
                break;
            case PAUSE:
                if (parse_pause_option(word, &options->pause_lines) != 0)
                    return 1;
                break;
            }
        } else if (word[0] == TEXT('/') || word[0] == TEXT('-')) {
            return argument_error(TEXT("Unknown option: \"%s\"\r\n"), word);
        } else if (!options->wildmask) {
            options->wildmask = word;
        } else {
            return argument_error(TEXT("Syntax error: \"%s\"\r\n"), word);
        }
    }
    return -1;
}
