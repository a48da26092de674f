// Simulated locale and time services: the user's locale (settings, names, date and time
// pictures), today's date, file times and the current time zone. The calendar here is
// the C++ library's, so the plug-in's own date arithmetic is checked against another.
#include "sim.h"

#include <chrono>
#include <cstdio>

namespace sim {

static LocaleState locale_state;

LocaleState &locale()
{
    return locale_state;
}

// Names as the locale answers them: days from Monday (LOCALE_SDAYNAME1) to Sunday.
struct LocaleTexts {
    const char *sdate, *short_date, *long_date, *year_month, *time_format;
    const char *idate, *ildate, *am, *pm;
    const char *days[7], *abbrev_days[7], *months[12], *abbrev_months[12];
};

static const LocaleTexts us_english = {
    "/", "M/d/yyyy", "dddd, MMMM d, yyyy", "MMMM yyyy", "h:mm:ss tt", "0", "0", "AM", "PM",
    {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"},
    {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"},
    {"January", "February", "March", "April", "May", "June", "July", "August", "September",
     "October", "November", "December"},
    {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"},
};

static const LocaleTexts german = {
    ".", "dd.MM.yyyy", "dddd, d. MMMM yyyy", "MMMM yyyy", "HH:mm:ss", "1", "1", "", "",
    {"Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"},
    {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"},
    {"Januar", "Februar", "März", "April", "Mai", "Juni", "Juli", "August", "September",
     "Oktober", "November", "Dezember"},
    {"Jan", "Feb", "Mär", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"},
};

static const LocaleTexts hungarian = {
    ". ", "yyyy. MM. dd.", "yyyy. MMMM d., dddd", "yyyy. MMMM", "H:mm:ss", "2", "2", "de.",
    "du.",
    {"hétfő", "kedd", "szerda", "csütörtök", "péntek", "szombat", "vasárnap"},
    {"H", "K", "Sze", "Cs", "P", "Szo", "V"},
    {"január", "február", "március", "április", "május", "június", "július", "augusztus",
     "szeptember", "október", "november", "december"},
    {"jan.", "febr.", "márc.", "ápr.", "máj.", "jún.", "júl.", "aug.", "szept.", "okt.", "nov.",
     "dec."},
};

// Short and long dates in different orders: year-month-day and day-month-year.
static const LocaleTexts swedish = {
    "-", "yyyy-MM-dd", "d MMMM yyyy", "MMMM yyyy", "HH:mm:ss", "2", "1", "fm", "em",
    {"måndag", "tisdag", "onsdag", "torsdag", "fredag", "lördag", "söndag"},
    {"mån", "tis", "ons", "tors", "fre", "lör", "sön"},
    {"januari", "februari", "mars", "april", "maj", "juni", "juli", "augusti", "september",
     "oktober", "november", "december"},
    {"jan", "feb", "mars", "apr", "maj", "juni", "juli", "aug", "sep", "okt", "nov", "dec"},
};

static void load_texts(const LocaleTexts &t)
{
    auto &info = locale_state.info;
    info.clear();
    info[LOCALE_SDATE] = utf16(t.sdate);
    info[LOCALE_STIME] = u":";
    info[LOCALE_SSHORTDATE] = utf16(t.short_date);
    info[LOCALE_SLONGDATE] = utf16(t.long_date);
    info[LOCALE_SYEARMONTH] = utf16(t.year_month);
    info[LOCALE_STIMEFORMAT] = utf16(t.time_format);
    info[LOCALE_IDATE] = utf16(t.idate);
    info[LOCALE_ILDATE] = utf16(t.ildate);
    info[LOCALE_S1159] = utf16(t.am);
    info[LOCALE_S2359] = utf16(t.pm);
    for (int i = 0; i < 7; i++) {
        info[LOCALE_SDAYNAME1 + i] = utf16(t.days[i]);
        info[LOCALE_SABBREVDAYNAME1 + i] = utf16(t.abbrev_days[i]);
    }
    for (int i = 0; i < 12; i++) {
        info[LOCALE_SMONTHNAME1 + i] = utf16(t.months[i]);
        info[LOCALE_SABBREVMONTHNAME1 + i] = utf16(t.abbrev_months[i]);
    }
}

void use_us_english()
{
    load_texts(us_english);
}

void use_day_month_year()
{
    load_texts(german);
}

void use_orders_that_differ()
{
    load_texts(swedish);
}

void use_no_month_names()
{
    load_texts(us_english);
    for (int i = 0; i < 12; i++)
        locale_state.info.erase(LOCALE_SMONTHNAME1 + i);
}

void use_two_char_separator()
{
    load_texts(hungarian);
}

void set_locale_info(LCTYPE type, const std::string &value)
{
    locale_state.info[type] = utf16(value);
}

void drop_locale_info(LCTYPE type)
{
    locale_state.info.erase(type);
}

// --- calendar --------------------------------------------------------------------------
using namespace std::chrono;

static const int64_t ticks_per_day = 864000000000LL;  // 100-nanosecond intervals

static bool valid_date(const SYSTEMTIME &t)
{
    if (t.wYear < 1601 || t.wYear > 30827)
        return false;
    return year_month_day{year{t.wYear}, month{t.wMonth}, day{t.wDay}}.ok();
}

static bool valid_time(const SYSTEMTIME &t)
{
    return t.wHour <= 23 && t.wMinute <= 59 && t.wSecond <= 59 && t.wMilliseconds <= 999;
}

static sys_days epoch_1601()
{
    return sys_days{year{1601} / January / 1};
}

static WORD weekday_of(const year_month_day &date)
{
    return (WORD)weekday{sys_days{date}}.c_encoding();
}

static int64_t to_ticks(const SYSTEMTIME &t)
{
    year_month_day date{year{t.wYear}, month{t.wMonth}, day{t.wDay}};
    int64_t days_since = (sys_days{date} - epoch_1601()).count();
    int64_t ms = ((t.wHour * 60LL + t.wMinute) * 60 + t.wSecond) * 1000 + t.wMilliseconds;
    return days_since * ticks_per_day + ms * 10000;
}

static SYSTEMTIME from_ticks(int64_t ticks)
{
    SYSTEMTIME t{};
    int64_t days_since = ticks / ticks_per_day;
    int64_t rest = ticks % ticks_per_day;
    year_month_day date{epoch_1601() + days{days_since}};
    t.wYear = (WORD)(int)date.year();
    t.wMonth = (WORD)(unsigned)date.month();
    t.wDay = (WORD)(unsigned)date.day();
    t.wDayOfWeek = weekday_of(date);
    int64_t ms = rest / 10000;
    t.wMilliseconds = (WORD)(ms % 1000);
    t.wSecond = (WORD)(ms / 1000 % 60);
    t.wMinute = (WORD)(ms / 60000 % 60);
    t.wHour = (WORD)(ms / 3600000);
    return t;
}

void set_today(WORD y, WORD m, WORD d, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME &t = locale_state.now;
    t = SYSTEMTIME{};
    t.wYear = y;
    t.wMonth = m;
    t.wDay = d;
    t.wHour = hour;
    t.wMinute = minute;
    t.wSecond = second;
    t.wDayOfWeek = weekday_of(year_month_day{year{y}, month{m}, day{d}});
}

void set_utc_offset(LONG minutes)
{
    locale_state.utc_offset_minutes = minutes;
}

static void reset_locale()
{
    locale_state = LocaleState();
    use_us_english();
    set_today(2024, 1, 5, 7, 5, 9);
}
static ResetHook locale_hook(reset_locale);

// --- pictures --------------------------------------------------------------------------
static std::u16string info_text(LCTYPE type)
{
    auto it = locale_state.info.find(type);
    return it == locale_state.info.end() ? std::u16string() : it->second;
}

static std::u16string number(unsigned value, int digits)
{
    char buf[16];
    snprintf(buf, sizeof buf, "%0*u", digits, value);
    return utf16(buf);
}

// Runs a date or time picture the way the system does: letters of the picture's
// alphabet in runs, text in single quotes (two quotes for one), anything else as is.
static std::u16string run_picture(const std::u16string &picture, const SYSTEMTIME &t,
                                  bool is_date, DWORD flags)
{
    std::u16string out;
    const std::u16string letters = is_date ? u"dMyg" : u"hHmst";
    size_t i = 0;
    while (i < picture.size()) {
        char16_t c = picture[i];
        if (c == u'\'') {
            i++;
            while (i < picture.size()) {
                if (picture[i] == u'\'') {
                    if (i + 1 < picture.size() && picture[i + 1] == u'\'') {
                        out += u'\'';
                        i += 2;
                        continue;
                    }
                    i++;
                    break;
                }
                out += picture[i++];
            }
            continue;
        }
        if (letters.find(c) == std::u16string::npos) {
            out += c;
            i++;
            continue;
        }
        size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c)
            run++;
        i += run;
        if (c == u'h' && (flags & TIME_FORCE24HOURFORMAT))
            c = u'H';
        switch (c) {
        case u'd':
            if (run <= 2) {
                out += number(t.wDay, (int)run);
            } else {
                year_month_day date{year{t.wYear}, month{t.wMonth}, day{t.wDay}};
                int monday_first = (weekday_of(date) + 6) % 7;
                out += info_text((run == 3 ? LOCALE_SABBREVDAYNAME1 : LOCALE_SDAYNAME1) +
                                 monday_first);
            }
            break;
        case u'M':
            if (run <= 2)
                out += number(t.wMonth, (int)run);
            else
                out += info_text((run == 3 ? LOCALE_SABBREVMONTHNAME1 : LOCALE_SMONTHNAME1) +
                                 t.wMonth - 1);
            break;
        case u'y':
            if (run == 1)
                out += number(t.wYear % 100, 1);
            else if (run == 2)
                out += number(t.wYear % 100, 2);
            else
                out += number(t.wYear, 1);
            break;
        case u'g':
            out += u"A.D.";
            break;
        case u'h':
            out += number(t.wHour % 12 ? t.wHour % 12 : 12, run >= 2 ? 2 : 1);
            break;
        case u'H':
            out += number(t.wHour, run >= 2 ? 2 : 1);
            break;
        case u'm':
            out += number(t.wMinute, run >= 2 ? 2 : 1);
            break;
        case u's':
            out += number(t.wSecond, run >= 2 ? 2 : 1);
            break;
        case u't':
            if (!(flags & TIME_NOTIMEMARKER)) {
                std::u16string marker = info_text(t.wHour < 12 ? LOCALE_S1159 : LOCALE_S2359);
                out += run == 1 ? marker.substr(0, 1) : marker;
            }
            break;
        }
    }
    return out;
}

// Copies a result with the system's size rules: a size of 0 asks for the size needed.
// The caller may not count on a terminator, or on anything, after a refusal for want of
// room: leave the worst case, the buffer filled to its end without one.
static int hand_over(const std::u16string &text, LPWSTR out, int chars)
{
    int need = (int)text.size() + 1;
    if (chars == 0)
        return need;
    if (chars < need) {
        memcpy(out, text.data(), (size_t)chars * 2);
        return 0;
    }
    memcpy(out, text.data(), text.size() * 2);
    out[text.size()] = 0;
    return need;
}

}  // namespace sim

using sim::locale_state;

int GetLocaleInfoW(LCID lcid, LCTYPE type, LPWSTR data, int chars)
{
    SIM_CALL(per_adapter);
    // Recorded as asked: the user's own settings count unless the caller turns them off.
    locale_state.info_queries.push_back(type);
    type &= ~LOCALE_NOUSEROVERRIDE;
    locale_state.info_locales.push_back(lcid);
    if (chars < 0 || (chars > 0 && !data))
        return 0;
    auto it = locale_state.info.find(type);
    if (it == locale_state.info.end())
        return 0;
    return sim::hand_over(it->second, data, chars);
}

static bool check_output(LPWSTR out, int chars)
{
    if (chars < 0 || (chars > 0 && !out))
        return false;
    return true;
}

int GetDateFormatW(LCID lcid, DWORD flags, const SYSTEMTIME *date, LPCWSTR picture, LPWSTR out,
                   int chars)
{
    SIM_CALL(per_adapter);
    SYSTEMTIME when = date ? *date : locale_state.now;
    locale_state.date_calls.push_back(
        {lcid, flags, when, picture != NULL, picture ? picture : u"", chars});
    if (!check_output(out, chars))
        return 0;
    if (locale_state.date_format_fails)
        return 0;
    DWORD forms = flags & (DATE_SHORTDATE | DATE_LONGDATE | DATE_YEARMONTH);
    if ((picture && forms) || (forms & (forms - 1)) ||
        (flags & ~(forms | DATE_USE_ALT_CALENDAR))) {
        return 0;
    }
    if (!sim::valid_date(when) || !sim::valid_time(when))
        return 0;
    // The simulated locales have no alternate calendar: the default one stands in.
    std::u16string pic = picture                    ? std::u16string(picture)
                         : forms == DATE_LONGDATE   ? sim::info_text(LOCALE_SLONGDATE)
                         : forms == DATE_YEARMONTH  ? sim::info_text(LOCALE_SYEARMONTH)
                                                    : sim::info_text(LOCALE_SSHORTDATE);
    return sim::hand_over(sim::run_picture(pic, when, true, flags), out, chars);
}

int GetTimeFormatW(LCID lcid, DWORD flags, const SYSTEMTIME *time, LPCWSTR picture, LPWSTR out,
                   int chars)
{
    SIM_CALL(per_adapter);
    SYSTEMTIME when = time ? *time : locale_state.now;
    locale_state.time_calls.push_back(
        {lcid, flags, when, picture != NULL, picture ? picture : u"", chars});
    if (!check_output(out, chars))
        return 0;
    if (locale_state.time_format_fails || !sim::valid_time(when))
        return 0;
    std::u16string pic = picture ? std::u16string(picture) : sim::info_text(LOCALE_STIMEFORMAT);
    return sim::hand_over(sim::run_picture(pic, when, false, flags), out, chars);
}

void GetLocalTime(LPSYSTEMTIME now)
{
    SIM_CALL(per_run);
    *now = locale_state.now;
}

BOOL FileTimeToSystemTime(const FILETIME *file_time, LPSYSTEMTIME system_time)
{
    SIM_CALL(per_adapter);
    uint64_t ticks = ((uint64_t)file_time->dwHighDateTime << 32) | file_time->dwLowDateTime;
    if (ticks > 0x7FFFFFFFFFFFFFFFull)
        return FALSE;
    *system_time = sim::from_ticks((int64_t)ticks);
    return TRUE;
}

BOOL SystemTimeToTzSpecificLocalTime(const TIME_ZONE_INFORMATION *zone,
                                     const SYSTEMTIME *universal, LPSYSTEMTIME local)
{
    SIM_CALL(per_adapter);
    if (locale_state.zone_conversion_fails || !universal || !local ||
        !sim::valid_date(*universal) || !sim::valid_time(*universal)) {
        return FALSE;
    }
    LONG offset = zone ? -zone->Bias : locale_state.utc_offset_minutes;
    int64_t ticks = sim::to_ticks(*universal) + (int64_t)offset * 600000000LL;
    if (ticks < 0)
        return FALSE;
    SYSTEMTIME result = sim::from_ticks(ticks);
    if (result.wYear > 30827)
        return FALSE;
    *local = result;
    return TRUE;
}
