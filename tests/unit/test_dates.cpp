// Dates as text: the forms of the date form code, the locale's order, separator and
// names, and the system's own forms.
#include "harness.h"
#include "src/format/dates.h"

namespace {

std::string date_text(UINT y, UINT m, UINT d, DWORD code)
{
    WCHAR text[1024];
    for (auto &c : text)
        c = u'#';
    int r = format_date(y, m, text, d, code);
    EXPECT_EQ(r, 0) << y << "-" << m << "-" << d << " code " << code;
    return r == 0 ? sim::utf8(text) : "(refused)";
}

void choose_locale(const std::string &name)
{
    if (name == "us")
        sim::use_us_english();
    else if (name == "dmy")
        sim::use_day_month_year();
    else if (name == "no months")
        sim::use_no_month_names();
    else if (name == "two-char")
        sim::use_two_char_separator();
    else if (name == "orders differ")
        sim::use_orders_that_differ();
    else
        FAIL() << "no locale " << name;
}

}  // namespace

using DateArithmetic = SimTest;

// Leap years, week-one starts and week counts of every year from 1601 to 9999 are
// checked against the library's calendar in test_calendar.cpp; here, the years outside.
TEST_F(DateArithmetic, YearsOutsideTheCalendar)
{
    for (UINT y : {0u, 1600u, 10000u, 0xFFFFFFFFu})
        EXPECT_EQ(iso_week1_start(y), -999) << y;
    EXPECT_TRUE(is_leap_year(1600));
    EXPECT_FALSE(is_leap_year(10100));
    EXPECT_EQ(iso_weeks_in_year(1600), 52);  // began on a Saturday
    EXPECT_EQ(iso_weeks_in_year(10000), 52);  // begins on a Saturday
    EXPECT_EQ(iso_weeks_in_year(10004), 53);  // begins on a Thursday
}

TEST_F(DateArithmetic, DayNumbersAtTheFixedPoints)
{
    struct Case {
        UINT y, m, d;
        int number;
    } cases[] = {
        {1601, 1, 1, 1},           {1601, 12, 31, 365},        {1970, 1, 1, DAY_NUMBER_1970},
        {1970, 1, 1, 134775},      {1980, 1, 1, DAY_NUMBER_1980}, {1980, 1, 1, 138427},
        {2024, 1, 5, 154502},      {2024, 2, 29, 154557},      {9999, 12, 31, 3067671},
    };
    for (const auto &c : cases)
        EXPECT_EQ(day_number(c.y, c.m, c.d), c.number) << c.y << "-" << c.m << "-" << c.d;
    EXPECT_EQ(day_number(2024, 1, 5) % 7, 5) << "5 January 2024 is a Friday";
}

TEST_F(DateArithmetic, DayNumbersRefuseWhatIsNotADate)
{
    struct Case {
        UINT y, m, d;
    } cases[] = {
        {1600, 12, 31}, {10000, 1, 1}, {0, 1, 1},    {2024, 0, 1},  {2024, 13, 1},
        {2024, 1, 0},   {2024, 1, 32}, {2023, 2, 29}, {2024, 2, 30}, {2024, 4, 31},
        {2100, 2, 29},  {2024, 11, 31}, {2023, 11, 31}, {0xFFFFFFFFu, 1, 1},
        {2024, 0xFFFFFFFFu, 1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(day_number(c.y, c.m, c.d), -1) << c.y << "-" << c.m << "-" << c.d;
}

TEST_F(DateArithmetic, IsoWeekDates)
{
    struct Case {
        UINT y, m, d, week_year, week, weekday;
    } cases[] = {
        {2021, 1, 3, 2020, 53, 7},  {2024, 12, 30, 2025, 1, 1}, {2008, 12, 29, 2009, 1, 1},
        {2010, 1, 3, 2009, 53, 7},  {2024, 1, 5, 2024, 1, 5},   {2015, 12, 31, 2015, 53, 4},
        {2016, 1, 1, 2015, 53, 5},  {1601, 1, 1, 1601, 1, 1},   {9999, 12, 31, 9999, 52, 5},
    };
    for (const auto &c : cases) {
        UINT wy = 0xDEADBEEF, wk = 0xDEADBEEF, wd = 0xDEADBEEF;
        ASSERT_EQ(iso_week_date(c.y, c.m, c.d, &wy, &wk, &wd), 0);
        EXPECT_EQ(wy, c.week_year) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(wk, c.week) << c.y << "-" << c.m << "-" << c.d;
        EXPECT_EQ(wd, c.weekday) << c.y << "-" << c.m << "-" << c.d;
    }
}

TEST_F(DateArithmetic, IsoWeekDateNeedsEveryPlaceAndADate)
{
    UINT a = 0xDEADBEEF, b = 0xDEADBEEF, c = 0xDEADBEEF;
    EXPECT_EQ(iso_week_date(2024, 1, 5, NULL, &b, &c), -1);
    EXPECT_EQ(iso_week_date(2024, 1, 5, &a, NULL, &c), -1);
    EXPECT_EQ(iso_week_date(2024, 1, 5, &a, &b, NULL), -1);
    EXPECT_EQ(iso_week_date(2024, 2, 30, &a, &b, &c), -1);
    EXPECT_EQ(iso_week_date(1600, 1, 5, &a, &b, &c), -1);
    EXPECT_EQ(a, 0xDEADBEEFu);
    EXPECT_EQ(b, 0xDEADBEEFu);
    EXPECT_EQ(c, 0xDEADBEEFu);
}

TEST_F(DateArithmetic, SystemTimeRecord)
{
    SYSTEMTIME st;
    memset(&st, 0xCD, sizeof(st));
    ASSERT_EQ(make_systemtime(2024, 1, 5, &st), 0);
    EXPECT_EQ(st.wYear, 2024);
    EXPECT_EQ(st.wMonth, 1);
    EXPECT_EQ(st.wDay, 5);
    EXPECT_EQ(st.wDayOfWeek, 5);
    EXPECT_EQ(st.wHour, 0);
    EXPECT_EQ(st.wMinute, 0);
    EXPECT_EQ(st.wSecond, 0);
    EXPECT_EQ(st.wMilliseconds, 0);

    ASSERT_EQ(make_systemtime(2023, 12, 31, &st), 0);
    EXPECT_EQ(st.wDayOfWeek, 0) << "31 December 2023 is a Sunday";

    memset(&st, 0xCD, sizeof(st));
    EXPECT_EQ(make_systemtime(2024, 2, 30, &st), -1);
    EXPECT_EQ(st.wYear, 0xCDCD) << "a refused date leaves the record alone";
    EXPECT_EQ(make_systemtime(2024, 1, 5, NULL), -1);
}

using LocaleSettings = SimTest;

TEST_F(LocaleSettings, DateOrderFromTheLocale)
{
    struct Case {
        const char *answer;  // NULL: the query fails
        int order;
    } cases[] = {
        {"0", 1}, {"1", 2}, {"2", 3}, {"3", 1}, {"9", 1}, {"", 1}, {NULL, 1},
        {"1x", 1}, {" 1", 1}, {"-1", 1}, {"4294967297", 1}, {"01", 2},
    };
    for (const auto &c : cases) {
        sim::reset();
        if (c.answer) {
            sim::set_locale_info(LOCALE_IDATE, c.answer);
            sim::set_locale_info(LOCALE_ILDATE, c.answer);
        } else {
            sim::drop_locale_info(LOCALE_IDATE);
            sim::drop_locale_info(LOCALE_ILDATE);
        }
        EXPECT_EQ(locale_short_date_order(), c.order) << (c.answer ? c.answer : "(fails)");
        EXPECT_EQ(locale_long_date_order(), c.order) << (c.answer ? c.answer : "(fails)");
    }
    sim::reset();
    sim::set_locale_info(LOCALE_IDATE, "2");
    sim::set_locale_info(LOCALE_ILDATE, "1");
    EXPECT_EQ(locale_short_date_order(), 3);
    EXPECT_EQ(locale_long_date_order(), 2);
    for (LCID lcid : sim::locale().info_locales)
        EXPECT_EQ(lcid, 0x0400u);
}

TEST_F(LocaleSettings, SeparatorIsOnePunctuationCharacterOrTheSlash)
{
    struct Case {
        const char *answer;  // NULL: the query fails
        char16_t separator;
    } cases[] = {
        {"/", u'/'}, {".", u'.'}, {"-", u'-'}, {":", u':'}, {". ", u'/'}, {"--", u'/'},
        {"a", u'/'}, {"7", u'/'}, {" ", u'/'}, {"", u'/'},  {NULL, u'/'},
    };
    for (const auto &c : cases) {
        sim::reset();
        if (c.answer)
            sim::set_locale_info(LOCALE_SDATE, c.answer);
        else
            sim::drop_locale_info(LOCALE_SDATE);
        EXPECT_EQ(locale_date_separator(), c.separator) << (c.answer ? c.answer : "(fails)");
    }
}

using LocaleNames = SimTest;

TEST_F(LocaleNames, AllFoundReplaceTheEnglishOnes)
{
    sim::use_day_month_year();
    EXPECT_TRUE(load_locale_names());
    EXPECT_EQ(sim::utf8(locale_day_names[0]), "Sonntag");
    EXPECT_EQ(sim::utf8(locale_day_names[1]), "Montag");
    EXPECT_EQ(sim::utf8(locale_day_names[6]), "Samstag");
    EXPECT_EQ(sim::utf8(locale_month_names[0]), "");
    EXPECT_EQ(sim::utf8(locale_month_names[1]), "Januar");
    EXPECT_EQ(sim::utf8(locale_month_names[3]), "März");
    EXPECT_EQ(sim::utf8(locale_month_names[12]), "Dezember");

    sim::use_us_english();
    EXPECT_TRUE(load_locale_names());
    EXPECT_EQ(sim::utf8(locale_day_names[0]), "Sunday");
    EXPECT_EQ(sim::utf8(locale_month_names[3]), "March");
}

TEST_F(LocaleNames, MonthsAndDaysFallBackToEnglishIndependently)
{
    struct Case {
        const char *what;
        LCTYPE type;
        bool drop;  // the query fails rather than answering empty
        const char *sunday, *monday, *march, *december;
    } cases[] = {
        {"no month names", LOCALE_SMONTHNAME1, true, "Sonntag", "Montag", "March", "December"},
        {"an empty month", LOCALE_SMONTHNAME1 + 11, false, "Sonntag", "Montag", "March",
         "December"},
        {"no Sunday", LOCALE_SDAYNAME7, true, "Sunday", "Monday", "März", "Dezember"},
        {"an empty Monday", LOCALE_SDAYNAME1, false, "Sunday", "Monday", "März", "Dezember"},
    };
    for (const auto &c : cases) {
        sim::reset();
        sim::use_day_month_year();
        if (c.type == LOCALE_SMONTHNAME1 && c.drop) {
            for (int i = 0; i < 12; i++)
                sim::drop_locale_info(LOCALE_SMONTHNAME1 + i);
        } else if (c.drop) {
            sim::drop_locale_info(c.type);
        } else {
            sim::set_locale_info(c.type, "");
        }
        EXPECT_FALSE(load_locale_names()) << c.what;
        EXPECT_EQ(sim::utf8(locale_day_names[0]), c.sunday) << c.what;
        EXPECT_EQ(sim::utf8(locale_day_names[1]), c.monday) << c.what;
        EXPECT_EQ(sim::utf8(locale_month_names[3]), c.march) << c.what;
        EXPECT_EQ(sim::utf8(locale_month_names[12]), c.december) << c.what;
        EXPECT_EQ(sim::utf8(locale_month_names[0]), "") << c.what;
    }
}

TEST_F(LocaleNames, NamesTooLongForTheirSlotsAreNotTakenHalfWay)
{
    // 39 characters fit a slot of 40; 40 do not, and the refused query leaves its slot
    // full and unterminated.
    sim::set_locale_info(LOCALE_SMONTHNAME1, std::string(39, 'j'));
    sim::set_locale_info(LOCALE_SDAYNAME1 + 4, std::string(40, 'f'));  // Friday
    EXPECT_FALSE(load_locale_names());
    EXPECT_EQ(sim::utf8(locale_month_names[1]), std::string(39, 'j'));
    EXPECT_EQ(sim::utf8(locale_day_names[5]), "Friday");
    for (int i = 0; i < 7; i++)
        EXPECT_LT(lstrlenW(locale_day_names[i]), LOCALE_NAME_CHARS);
}

TEST_F(LocaleNames, AskedInTheLocalesOwnOrder)
{
    load_locale_names();
    std::vector<LCTYPE> expected;
    for (LCTYPE t = 0x38; t <= 0x43; t++)
        expected.push_back(t);
    for (LCTYPE t : {0x30u, 0x2Au, 0x2Bu, 0x2Cu, 0x2Du, 0x2Eu, 0x2Fu})
        expected.push_back(t);
    EXPECT_EQ(sim::locale().info_queries, expected);
}

using DateForms = SimTest;

TEST_F(DateForms, NumericFormsInTheirOrderAndYearWidth)
{
    struct Case {
        const char *locale;
        DWORD code;
        UINT y, m, d;
        const char *text;
    } cases[] = {
        {"us", 0x101, 2024, 1, 5, "01/05/2024"},
        {"us", 1, 2024, 1, 5, "01/05/24"},
        {"us", 2, 2024, 1, 5, "05/01/24"},
        {"us", 0x102, 2024, 1, 5, "05/01/2024"},
        {"us", 0x103, 2024, 1, 5, "2024/01/05"},
        {"us", 3, 2024, 1, 5, "24/01/05"},
        {"us", 1, 2005, 11, 25, "11/25/05"},
        {"us", 3, 2000, 12, 31, "00/12/31"},
        {"us", 0x101, 1601, 1, 1, "01/01/1601"},
        // form 0 is the locale's short date order; the flag still applies
        {"us", 0, 2024, 1, 5, "01/05/24"},
        {"us", 0x100, 2024, 1, 5, "01/05/2024"},
        {"dmy", 0, 2024, 1, 5, "05.01.24"},
        {"dmy", 0x100, 2024, 1, 5, "05.01.2024"},
        {"dmy", 1, 2024, 1, 5, "01.05.24"},
        {"two-char", 0, 2024, 1, 5, "24/01/05"},
        {"two-char", 0x100, 2024, 1, 5, "2024/01/05"},
        // form 0 takes the short date's order, never the long date's
        {"orders differ", 0, 2024, 1, 5, "24-01-05"},
        {"orders differ", 0x100, 2024, 1, 5, "2024-01-05"},
        // bits above the flag change nothing
        {"us", 0xFFFF0101, 2024, 1, 5, "01/05/2024"},
        {"us", 0x10001, 2024, 1, 5, "01/05/24"},
    };
    for (const auto &c : cases) {
        sim::reset();
        choose_locale(c.locale);
        EXPECT_EQ(date_text(c.y, c.m, c.d, c.code), c.text)
            << c.locale << " code " << std::hex << c.code;
    }
}

TEST_F(DateForms, SeparatorsThatAreNotOnePunctuationMarkBecomeSlashes)
{
    for (const char *sep : {". ", "x", "0", "  ", ""}) {
        sim::reset();
        sim::set_locale_info(LOCALE_SDATE, sep);
        EXPECT_EQ(date_text(2024, 1, 5, 0x101), "01/05/2024") << "'" << sep << "'";
    }
    sim::set_locale_info(LOCALE_SDATE, "-");
    EXPECT_EQ(date_text(2024, 1, 5, 0x103), "2024-01-05");
}

TEST_F(DateForms, IsoForms)
{
    struct Case {
        DWORD code;
        UINT y, m, d;
        const char *text;
    } cases[] = {
        {5, 2021, 1, 3, "2020-W53-7"},  {5, 2024, 12, 30, "2025-W01-1"},
        {5, 2008, 12, 29, "2009-W01-1"}, {5, 2010, 1, 3, "2009-W53-7"},
        {5, 2024, 1, 5, "2024-W01-5"},   {0x105, 2024, 1, 5, "2024-W01-5"},
        {6, 2024, 12, 31, "2024-366"},   {6, 2023, 12, 31, "2023-365"},
        {6, 2024, 1, 5, "2024-005"},     {6, 1601, 1, 1, "1601-001"},
        {6, 2024, 3, 1, "2024-061"},     {6, 2023, 3, 1, "2023-060"},
        {20, 2024, 1, 5, "20240105"},    {0x114, 1601, 1, 1, "16010101"},
        {4, 2024, 1, 5, "2024-01-05"},   {7, 2024, 1, 5, "2024-01-05"},
        {255, 2024, 1, 5, "2024-01-05"}, {0x104, 2024, 1, 5, "2024-01-05"},
        {15, 9999, 12, 31, "9999-12-31"}, {22, 2024, 1, 5, "2024-01-05"},
        {31, 2024, 1, 5, "2024-01-05"},  {37, 2024, 1, 5, "2024-01-05"},
        {144, 2024, 1, 5, "2024-01-05"}, {146, 2024, 1, 5, "2024-01-05"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(date_text(c.y, c.m, c.d, c.code), c.text) << "code " << c.code;
}

TEST_F(DateForms, DayCountsAgainstTheEpochs)
{
    struct Case {
        DWORD code;
        UINT y, m, d;
        const char *text;
    } cases[] = {
        {16, 1980, 1, 1, "+0"},        {16, 1979, 12, 31, "-1"},
        {16, 1980, 1, 2, "+1"},        {16, 2024, 1, 5, "+16075"},
        {16, 1601, 1, 1, "-138426"},   {16, 9999, 12, 31, "+2929244"},
        {21, 1970, 1, 1, "U+0"},       {21, 1969, 12, 31, "U-1"},
        {21, 1970, 1, 2, "U+1"},       {21, 1601, 1, 1, "U-134774"},
        {21, 9999, 12, 31, "U+2932896"},
        {19, 1601, 1, 1, "A+1"},       {19, 9999, 12, 31, "A+3067671"},
        {19, 2024, 1, 5, "A+154502"},  {0x113, 2024, 1, 5, "A+154502"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(date_text(c.y, c.m, c.d, c.code), c.text) << "code " << c.code;
}

TEST_F(DateForms, DaysFromToday)
{
    struct Case {
        WORD ty, tm, td;  // today
        UINT y, m, d;
        const char *text;
    } cases[] = {
        {2024, 1, 5, 2024, 1, 5, "T+0"},         {2024, 1, 5, 2024, 1, 4, "T-1"},
        {2024, 1, 5, 2024, 1, 6, "T+1"},         {2024, 12, 31, 2025, 1, 1, "T+1"},
        {2025, 1, 1, 2024, 12, 31, "T-1"},       {2024, 3, 1, 2024, 2, 28, "T-2"},
        {2024, 1, 5, 1601, 1, 1, "T-154501"},    {2024, 1, 5, 9999, 12, 31, "T+2913169"},
        {1601, 1, 1, 9999, 12, 31, "T+3067670"}, {9999, 12, 31, 1601, 1, 1, "T-3067670"},
        // the system's years run past 9999
        {10000, 1, 1, 9999, 12, 31, "T-1"},
    };
    for (const auto &c : cases) {
        sim::reset();
        sim::set_today(c.ty, c.tm, c.td, 23, 59, 59);
        EXPECT_EQ(date_text(c.y, c.m, c.d, 18), c.text)
            << "today " << c.ty << "-" << c.tm << "-" << c.td;
    }
}

TEST_F(DateForms, LongFormsWithNames)
{
    struct Case {
        const char *locale;
        DWORD code;
        UINT y, m, d;
        const char *text;
    } cases[] = {
        {"us", 17, 2024, 1, 5, "Friday, January 5, 2024"},
        {"dmy", 17, 2024, 1, 5, "Friday, 5 January 2024"},
        {"two-char", 17, 2024, 1, 5, "Friday, January 5, 2024"},  // year-month-day order
        // the long forms take the long date's order, never the short date's
        {"orders differ", 17, 2024, 1, 5, "Friday, 5 January 2024"},
        {"orders differ", 145, 2024, 1, 5, "fredag, 5 januari 2024"},
        {"us", 17, 1601, 1, 1, "Monday, January 1, 1601"},
        {"us", 17, 9999, 12, 31, "Friday, December 31, 9999"},
        {"us", 145, 2024, 1, 5, "Friday, January 5, 2024"},
        {"dmy", 145, 2024, 3, 5, "Dienstag, 5 März 2024"},
        {"dmy", 0x191, 2024, 1, 7, "Sonntag, 7 Januar 2024"},
        {"two-char", 145, 2024, 1, 5, "péntek, január 5, 2024"},
        {"no months", 145, 2024, 1, 5, "Friday, January 5, 2024"},
    };
    for (const auto &c : cases) {
        sim::reset();
        choose_locale(c.locale);
        EXPECT_EQ(date_text(c.y, c.m, c.d, c.code), c.text) << c.locale << " code " << c.code;
    }
}

// Every English name, in the English form and as the fallback of a locale without names.
TEST_F(DateForms, EveryEnglishName)
{
    const char *const texts[] = {
        "Monday, January 1, 2024",     "Tuesday, January 2, 2024",
        "Wednesday, January 3, 2024",  "Thursday, January 4, 2024",
        "Friday, January 5, 2024",     "Saturday, January 6, 2024",
        "Sunday, January 7, 2024",     "Thursday, February 1, 2024",
        "Friday, March 1, 2024",       "Monday, April 1, 2024",
        "Wednesday, May 1, 2024",      "Saturday, June 1, 2024",
        "Monday, July 1, 2024",        "Thursday, August 1, 2024",
        "Sunday, September 1, 2024",   "Tuesday, October 1, 2024",
        "Friday, November 1, 2024",    "Sunday, December 1, 2024",
    };
    for (UINT i = 0; i < 18; i++) {
        UINT month = i < 7 ? 1 : i - 5, day = i < 7 ? i + 1 : 1;
        sim::reset();
        EXPECT_EQ(date_text(2024, month, day, 17), texts[i]) << "form 17";
        for (int k = 0; k < 12; k++)
            sim::drop_locale_info(LOCALE_SMONTHNAME1 + k);
        for (int k = 0; k < 7; k++)
            sim::drop_locale_info(LOCALE_SDAYNAME1 + k);
        EXPECT_EQ(date_text(2024, month, day, 145), texts[i]) << "form 145, no names";
    }
}

TEST_F(DateForms, LocalNamesWithoutMonthNamesKeepTheLocalDays)
{
    sim::use_day_month_year();
    for (int i = 0; i < 12; i++)
        sim::drop_locale_info(LOCALE_SMONTHNAME1 + i);
    EXPECT_EQ(date_text(2024, 1, 5, 145), "Freitag, 5 January 2024");
    // The tables are refilled at every use: the locale's names come back with the locale.
    sim::use_day_month_year();
    EXPECT_EQ(date_text(2024, 1, 5, 145), "Freitag, 5 Januar 2024");
}

TEST_F(DateForms, SystemForms)
{
    struct Case {
        const char *locale;
        DWORD code;
        const char *text;
        DWORD flags;
    } cases[] = {
        {"us", 32, "Friday, January 5, 2024", 2},
        {"us", 0x120, "Friday, January 5, 2024", 2},
        {"us", 33, "1/5/2024", 1},
        {"us", 34, "1/5/2024", 4},
        {"us", 35, "Friday, January 5, 2024", 2},  // no DateForm
        {"us", 36, "January 2024", 8},
        {"dmy", 32, "Freitag, 5. Januar 2024", 2},
        {"dmy", 33, "05.01.2024", 1},
        {"dmy", 36, "Januar 2024", 8},
        {"two-char", 33, "2024. 01. 05.", 1},
    };
    for (const auto &c : cases) {
        sim::reset();
        choose_locale(c.locale);
        EXPECT_EQ(date_text(2024, 1, 5, c.code), c.text) << c.locale << " code " << c.code;
        auto &calls = sim::locale().date_calls;
        ASSERT_EQ(calls.size(), 1u) << c.locale << " code " << c.code;
        EXPECT_EQ(calls[0].locale, 0x0400u);
        EXPECT_EQ(calls[0].flags, c.flags) << c.locale << " code " << c.code;
        EXPECT_FALSE(calls[0].has_picture);
        EXPECT_EQ(calls[0].chars, 1024);
        const SYSTEMTIME &st = calls[0].when;
        EXPECT_EQ(st.wYear, 2024);
        EXPECT_EQ(st.wMonth, 1);
        EXPECT_EQ(st.wDay, 5);
        EXPECT_EQ(st.wDayOfWeek, 5);
        EXPECT_EQ(st.wHour + st.wMinute + st.wSecond + st.wMilliseconds, 0);
    }
}

TEST_F(DateForms, UserPictureFromDateForm)
{
    struct Case {
        const char *picture;  // NULL: unset
        const char *text;
        bool has_picture;
    } cases[] = {
        {"yyyy-MM-dd", "2024-01-05", true},
        {"ddd d MMM yy", "Fri 5 Jan 24", true},
        {"'Week of' dddd", "Week of Friday", true},
        {"", "Friday, January 5, 2024", false},
        {NULL, "Friday, January 5, 2024", false},
    };
    for (const auto &c : cases) {
        sim::reset();
        if (c.picture)
            sim::set_env("DateForm", c.picture);
        EXPECT_EQ(date_text(2024, 1, 5, 35), c.text) << (c.picture ? c.picture : "(unset)");
        auto &calls = sim::locale().date_calls;
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].has_picture, c.has_picture);
        EXPECT_EQ(calls[0].flags, c.has_picture ? 0u : 2u);
        if (c.has_picture) {
            EXPECT_EQ(sim::utf8(calls[0].picture), c.picture);
        }
    }
}

TEST_F(DateForms, UserPictureTooLongForItsBufferIsTheLongDate)
{
    sim::set_env("DateForm", std::string(1024, 'd'));
    EXPECT_EQ(date_text(2024, 1, 5, 35), "Friday, January 5, 2024");
    sim::set_env("DateForm", "'" + std::string(1021, 'x') + "'");  // 1023 characters fit
    EXPECT_EQ(date_text(2024, 1, 5, 35), std::string(1021, 'x'));
}

TEST_F(DateForms, RefusedSystemFormLeavesTheBufferAsPrepared)
{
    WCHAR text[1024];
    struct Case {
        const char *what;
        void (*setup)();
    } cases[] = {
        {"the system refuses", [] { sim::locale().date_format_fails = true; }},
        // 200 month names take more than 1024 characters
        {"the picture's text is too long", [] {
             std::string p;
             for (int i = 0; i < 200; i++)
                 p += "MMMM ";
             sim::set_env("DateForm", p);
         }},
    };
    for (const auto &c : cases) {
        sim::reset();
        c.setup();
        lstrcpyW(text, u"prepared");
        text[9] = u'#';
        EXPECT_EQ(format_date(2024, 1, text, 5, 35), 0) << c.what;
        EXPECT_EQ(sim::utf8(text), "prepared") << c.what;
        EXPECT_EQ(text[9], u'#') << c.what;
    }
}

TEST_F(DateForms, RefusedDatesWriteNothing)
{
    struct Case {
        UINT y, m, d;
    } cases[] = {
        {1600, 12, 31}, {10000, 1, 1}, {2024, 0, 5}, {2024, 13, 5},
        {2024, 1, 0},   {2024, 1, 32}, {2024, 2, 30}, {2023, 2, 29},
        {2024, 11, 31}, {2023, 11, 31},
    };
    for (const auto &c : cases) {
        for (DWORD code : {0u, 1u, 5u, 16u, 17u, 20u, 32u, 145u, 255u}) {
            WCHAR text[4] = {u'#', u'#', u'#', u'#'};
            EXPECT_EQ(format_date(c.y, c.m, text, c.d, code), -1)
                << c.y << "-" << c.m << "-" << c.d << " code " << code;
            EXPECT_EQ(text[0], u'#');
        }
    }
    EXPECT_EQ(format_date(2024, 1, NULL, 5, 32), -1);
    EXPECT_TRUE(sim::locale().date_calls.empty());
}
