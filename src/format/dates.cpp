// Date display: numeric forms in the locale's order or a fixed one, the ISO-8601 forms,
// day counts against fixed epochs and today, long forms with English or the user's
// names, and the system's own locale forms. The arithmetic is done here for 1601 to 9999;
// the system is asked only for locale settings, names, today and forms 32 to 36.
#include "dates.h"

const WCHAR *const english_day_names[7] = {
    TEXT("Sunday"),   TEXT("Monday"), TEXT("Tuesday"),  TEXT("Wednesday"),
    TEXT("Thursday"), TEXT("Friday"), TEXT("Saturday"),
};

const WCHAR *const english_month_names[13] = {
    TEXT(""),        TEXT("January"),  TEXT("February"), TEXT("March"),     TEXT("April"),
    TEXT("May"),     TEXT("June"),     TEXT("July"),     TEXT("August"),    TEXT("September"),
    TEXT("October"), TEXT("November"), TEXT("December"),
};

WCHAR locale_day_names[7][LOCALE_NAME_CHARS] = {
    TEXT("Sunday"),   TEXT("Monday"), TEXT("Tuesday"),  TEXT("Wednesday"),
    TEXT("Thursday"), TEXT("Friday"), TEXT("Saturday"),
};

WCHAR locale_month_names[13][LOCALE_NAME_CHARS] = {
    TEXT(""),        TEXT("January"),  TEXT("February"), TEXT("March"),     TEXT("April"),
    TEXT("May"),     TEXT("June"),     TEXT("July"),     TEXT("August"),    TEXT("September"),
    TEXT("October"), TEXT("November"), TEXT("December"),
};

static const UINT days_in_month[2][13] = {
    {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
};

static const UINT days_before_month[2][13] = {
    {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334},
    {0, 0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335},
};

BOOL is_leap_year(UINT year)
{
    if (year % 400 == 0)
        return TRUE;
    if (year % 100 == 0)
        return FALSE;
    return year % 4 == 0;
}

// Days before 1 January of the year, counted from 1 January 1601, for any year from 1 on:
// counting from year 1 keeps every quotient non-negative, and 1600 years hold a whole
// number of weeks, so the weekday rule holds before 1601 too.
static LONG64 days_before_year(UINT year)
{
    LONG64 y = (LONG64)year - 1;
    return 365 * y + y / 4 - y / 100 + y / 400 - 584388;
}

static int weekday_of(UINT year, UINT month, UINT day)
{
    LONG64 n = days_before_year(year) + days_before_month[is_leap_year(year)][month] + day;
    return (int)(((n % 7) + 7) % 7);
}

int day_number(UINT year, UINT month, UINT day)
{
    if (year < 1601 || year > 9999 || month < 1 || month > 12)
        return -1;
    int leap = is_leap_year(year) ? 1 : 0;
    if (day == 0 || day > days_in_month[leap][month])
        return -1;
    return (int)(days_before_year(year) + days_before_month[leap][month] + day);
}

int iso_week1_start(UINT year)
{
    int w;

    if (year < 1601 || year > 9999)
        return -999;
    w = day_number(year, 1, 4) % 7;
    if (w == 0)
        w = 7;
    return 4 - w;
}

int iso_weeks_in_year(UINT year)
{
    int w;

    if (year == 0)
        return 52;
    w = weekday_of(year, 1, 1);
    return (w == 4 || (w == 3 && is_leap_year(year))) ? 53 : 52;
}

int iso_week_date(UINT year, UINT month, UINT day, UINT *week_year, UINT *week, UINT *weekday)
{
    int doy, start, k, w;

    if (!week_year || !week || !weekday || day_number(year, month, day) < 0)
        return -1;
    doy = (int)(days_before_month[is_leap_year(year)][month] + day - 1);
    start = iso_week1_start(year);
    k = doy - start;
    w = k / 7 + 1;
    *weekday = (UINT)(((k + 7) % 7) + 1);
    *week_year = year;
    if (w > iso_weeks_in_year(year)) {
        *week_year = year + 1;
        w = 1;
    } else if (doy < start) {
        *week_year = year - 1;
        w = iso_weeks_in_year(year - 1);
    }
    *week = (UINT)w;
    return 0;
}

static int locale_order(LCTYPE type)
{
    WCHAR answer[TEXT_BUFFER_CHARS];
    WCHAR *end = NULL;
    ULONG value;

    if (!GetLocaleInfoW(LOCALE_USER_DEFAULT, type, answer, TEXT_BUFFER_CHARS))
        return 1;
    if (!iswdigit(answer[0]))
        return 1;
    value = wcstoul(answer, &end, 10);
    if (*end || value > 2)
        return 1;
    return (int)value + 1;
}

int locale_short_date_order(void)
{
    return locale_order(LOCALE_IDATE);
}

int locale_long_date_order(void)
{
    return locale_order(LOCALE_ILDATE);
}

WCHAR locale_date_separator(void)
{
    WCHAR answer[TEXT_BUFFER_CHARS];

    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDATE, answer, TEXT_BUFFER_CHARS) && answer[0] &&
        !answer[1] && iswpunct(answer[0]))
        return answer[0];
    return TEXT('/');
}

// One name into its slot; a refused query may leave anything behind, so it counts as empty.
static BOOL load_name(WCHAR *slot, LCTYPE type)
{
    ZeroMemory(slot, LOCALE_NAME_CHARS * sizeof(WCHAR));
    if (!GetLocaleInfoW(LOCALE_USER_DEFAULT, type, slot, LOCALE_NAME_CHARS))
        slot[0] = 0;
    slot[LOCALE_NAME_CHARS - 1] = 0;
    return slot[0] != 0;
}

BOOL load_locale_names(void)
{
    BOOL months = TRUE, days = TRUE;
    int i;

    for (i = 1; i <= 12; i++)
        if (!load_name(locale_month_names[i], LOCALE_SMONTHNAME1 + i - 1))
            months = FALSE;
    if (!months)
        for (i = 0; i <= 12; i++)
            lstrcpynW(locale_month_names[i], english_month_names[i], LOCALE_NAME_CHARS);

    // The locale numbers its day names from Monday; the slots start on Sunday.
    for (i = 0; i < 7; i++)
        if (!load_name(locale_day_names[i], LOCALE_SDAYNAME1 + (i + 6) % 7))
            days = FALSE;
    if (!days)
        for (i = 0; i < 7; i++)
            lstrcpynW(locale_day_names[i], english_day_names[i], LOCALE_NAME_CHARS);

    return months && days;
}

int make_systemtime(UINT year, UINT month, UINT day, SYSTEMTIME *st)
{
    int n = day_number(year, month, day);

    if (!st || n < 0)
        return -1;
    ZeroMemory(st, sizeof(*st));
    st->wYear = (WORD)year;
    st->wMonth = (WORD)month;
    st->wDay = (WORD)day;
    st->wDayOfWeek = (WORD)(n % 7);
    return 0;
}

static void write_day_count(LPWSTR out, LPCWSTR prefix, int n)
{
    wsprintfW(out, n >= 0 ? TEXT("%s+%d") : TEXT("%s%d"), prefix, n);
}

static void write_long_date(LPWSTR out, LPCWSTR weekday, LPCWSTR month_name, UINT year,
                            UINT day)
{
    if (locale_long_date_order() == 2)
        wsprintfW(out, TEXT("%s, %u %s %u"), weekday, day, month_name, year);
    else
        wsprintfW(out, TEXT("%s, %s %u, %u"), weekday, month_name, day, year);
}

// The system formats into a buffer of its own, so that a refusal leaves the caller's
// text as it was.
static void write_system_date(LPWSTR out, UINT year, UINT month, UINT day, DWORD flags,
                              LPCWSTR picture)
{
    SYSTEMTIME st;
    WCHAR text[TEXT_BUFFER_CHARS];

    make_systemtime(year, month, day, &st);
    if (GetDateFormatW(LOCALE_USER_DEFAULT, flags, &st, picture, text, TEXT_BUFFER_CHARS))
        lstrcpynW(out, text, TEXT_BUFFER_CHARS);
}

static void write_user_picture(LPWSTR out, UINT year, UINT month, UINT day)
{
    WCHAR picture[TEXT_BUFFER_CHARS];
    DWORD n;

    ZeroMemory(picture, sizeof(picture));
    n = GetEnvironmentVariableW(TEXT("DateForm"), picture, TEXT_BUFFER_CHARS);
    // A value too long for the buffer comes back as the size it needs, and the buffer's
    // contents are then undefined.
    if (n == 0 || n >= TEXT_BUFFER_CHARS || !picture[0])
        write_system_date(out, year, month, day, DATE_LONGDATE, NULL);
    else
        write_system_date(out, year, month, day, 0, picture);
}

static void write_days_from_today(LPWSTR out, int n)
{
    SYSTEMTIME now;
    LONG64 today;

    GetLocalTime(&now);
    // No month outside 1 to 12 indexes the tables; the system's years past 9999 are fine.
    if (now.wYear == 0 || now.wMonth < 1 || now.wMonth > 12) {
        out[0] = 0;
        return;
    }
    today = days_before_year(now.wYear) + days_before_month[is_leap_year(now.wYear)][now.wMonth] +
            now.wDay;
    write_day_count(out, TEXT("T"), (int)(n - today));
}

int format_date(UINT year, UINT month, LPWSTR out, UINT day, DWORD code)
{
    BOOL four_digits = (code & DATE_FORM_FOUR_DIGIT_YEAR) != 0;
    UINT form = code & 0xFF;
    UINT yy = four_digits ? year : year % 100;
    UINT week_year, week, weekday;
    WCHAR sep;
    int n;

    // Beyond the ranges of year, month and day, a day past the end of its month
    // (30 February) is refused too: it has no day number for the forms that need one.
    n = day_number(year, month, day);
    if (!out || n < 0)
        return -1;

    if (form == DATE_FORM_LOCALE_ORDER)
        form = (UINT)locale_short_date_order();

    switch (form) {
    case DATE_FORM_MDY:
    case DATE_FORM_DMY:
        sep = locale_date_separator();
        wsprintfW(out, four_digits ? TEXT("%02u%c%02u%c%04u") : TEXT("%02u%c%02u%c%02u"),
                  form == DATE_FORM_MDY ? month : day, sep,
                  form == DATE_FORM_MDY ? day : month, sep, yy);
        break;
    case DATE_FORM_YMD:
        sep = locale_date_separator();
        wsprintfW(out, four_digits ? TEXT("%04u%c%02u%c%02u") : TEXT("%02u%c%02u%c%02u"), yy,
                  sep, month, sep, day);
        break;
    case DATE_FORM_ISO_WEEK:
        iso_week_date(year, month, day, &week_year, &week, &weekday);
        wsprintfW(out, TEXT("%04u-W%02u-%u"), week_year, week, weekday);
        break;
    case DATE_FORM_ISO_ORDINAL:
        wsprintfW(out, TEXT("%04u-%03u"), year,
                  days_before_month[is_leap_year(year)][month] + day);
        break;
    case DATE_FORM_DAYS_1980:
        write_day_count(out, TEXT(""), n - DAY_NUMBER_1980);
        break;
    case DATE_FORM_LONG_ENGLISH:
        write_long_date(out, english_day_names[n % 7], english_month_names[month], year, day);
        break;
    case DATE_FORM_DAYS_FROM_TODAY:
        write_days_from_today(out, n);
        break;
    case DATE_FORM_ABSOLUTE:
        wsprintfW(out, TEXT("A+%d"), n);
        break;
    case DATE_FORM_COMPACT:
        wsprintfW(out, TEXT("%04d%02d%02d"), (int)year, (int)month, (int)day);
        break;
    case DATE_FORM_DAYS_1970:
        write_day_count(out, TEXT("U"), n - DAY_NUMBER_1970);
        break;
    case DATE_FORM_SYSTEM_LONG:
        write_system_date(out, year, month, day, DATE_LONGDATE, NULL);
        break;
    case DATE_FORM_SYSTEM_SHORT:
        write_system_date(out, year, month, day, DATE_SHORTDATE, NULL);
        break;
    case DATE_FORM_SYSTEM_ALT_CALENDAR:
        write_system_date(out, year, month, day, DATE_USE_ALT_CALENDAR, NULL);
        break;
    case DATE_FORM_USER_PICTURE:
        write_user_picture(out, year, month, day);
        break;
    case DATE_FORM_SYSTEM_YEAR_MONTH:
        write_system_date(out, year, month, day, DATE_YEARMONTH, NULL);
        break;
    case DATE_FORM_LONG_LOCAL:
        load_locale_names();
        write_long_date(out, locale_day_names[n % 7], locale_month_names[month], year, day);
        break;
    default:
        wsprintfW(out, TEXT("%04u-%02u-%02u"), year, month, day);
        break;
    }
    return 0;
}
