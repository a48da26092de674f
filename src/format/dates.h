// Calendar dates as display text in the forms the date form code selects, and the
// Gregorian arithmetic behind them (years 1601 to 9999).
#ifndef NICSHOW_FORMAT_DATES_H
#define NICSHOW_FORMAT_DATES_H

#include "../platform/win32.h"
#include "../text_buffer.h"

// Form numbers: the low byte of a date form code.
enum {
    DATE_FORM_LOCALE_ORDER = 0,   // the locale's short date order, as 1, 2 or 3
    DATE_FORM_MDY = 1,
    DATE_FORM_DMY = 2,
    DATE_FORM_YMD = 3,
    DATE_FORM_ISO_WEEK = 5,
    DATE_FORM_ISO_ORDINAL = 6,
    DATE_FORM_DAYS_1980 = 16,
    DATE_FORM_LONG_ENGLISH = 17,
    DATE_FORM_DAYS_FROM_TODAY = 18,
    DATE_FORM_ABSOLUTE = 19,
    DATE_FORM_COMPACT = 20,
    DATE_FORM_DAYS_1970 = 21,
    DATE_FORM_SYSTEM_LONG = 32,
    DATE_FORM_SYSTEM_SHORT = 33,
    DATE_FORM_SYSTEM_ALT_CALENDAR = 34,
    DATE_FORM_USER_PICTURE = 35,
    DATE_FORM_SYSTEM_YEAR_MONTH = 36,
    DATE_FORM_LONG_LOCAL = 145,
};
// Four-digit years in the numeric forms 0 to 3.
#define DATE_FORM_FOUR_DIGIT_YEAR 0x100u
#define DATE_FORM_DEFAULT 32u

// Day numbers count 1 January 1601 as day 1; their remainder by 7 is the weekday,
// 0 Sunday to 6 Saturday.
#define DAY_NUMBER_1970 134775
#define DAY_NUMBER_1980 138427

// The user's names, refilled by load_locale_names: weekdays from Sunday, months from 1.
#define LOCALE_NAME_CHARS 40
extern WCHAR locale_day_names[7][LOCALE_NAME_CHARS];
extern WCHAR locale_month_names[13][LOCALE_NAME_CHARS];
extern const WCHAR *const english_day_names[7];
extern const WCHAR *const english_month_names[13];

BOOL is_leap_year(UINT year);
int day_number(UINT year, UINT month, UINT day);
int iso_week1_start(UINT year);
int iso_weeks_in_year(UINT year);
int iso_week_date(UINT year, UINT month, UINT day, UINT *week_year, UINT *week, UINT *weekday);
int locale_short_date_order(void);
int locale_long_date_order(void);
WCHAR locale_date_separator(void);
BOOL load_locale_names(void);
int make_systemtime(UINT year, UINT month, UINT day, SYSTEMTIME *st);
// out holds TEXT_BUFFER_CHARS.
int format_date(UINT year, UINT month, LPWSTR out, UINT day, DWORD code);

#endif
