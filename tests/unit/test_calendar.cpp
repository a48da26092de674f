// The date arithmetic against the C++ library's calendar, for every day from 1 January
// 1601 to 31 December 9999.
#include "harness.h"
#include "src/format/dates.h"

#include <chrono>

using namespace std::chrono;

namespace {

// Day counts with 31 December 1600 as day 0, and weekdays, from the library's calendar.
// The library is asked once a month; within a month days and weekdays step by one, in
// plain integers, which keeps three million days fast in an unoptimised build.
const sys_days day_zero = sys_days{year{1601} / January / 1} - days{1};

long count_of(year_month_day ymd)
{
    return (long)(sys_days{ymd} - day_zero).count();
}

// ISO-8601 by the Thursday rule: a week belongs to the year that holds its Thursday.
struct IsoWeek {
    int year;
    unsigned week, weekday;
};

struct NewYears {
    long before, now, after;  // day counts of 1 January of y - 1, y and y + 1
    explicit NewYears(int y)
        : before(count_of(year{y - 1} / January / 1)), now(count_of(year{y} / January / 1)),
          after(count_of(year{y + 1} / January / 1))
    {
    }
};

IsoWeek iso_week_of(long number, unsigned iso_weekday, int y, const NewYears &ny)
{
    long thursday = number - iso_weekday + 4;
    if (thursday < ny.now)
        return {y - 1, (unsigned)((thursday - ny.before) / 7 + 1), iso_weekday};
    if (thursday >= ny.after)
        return {y + 1, (unsigned)((thursday - ny.after) / 7 + 1), iso_weekday};
    return {y, (unsigned)((thursday - ny.now) / 7 + 1), iso_weekday};
}

std::string text_of(UINT y, UINT m, UINT d, DWORD code)
{
    WCHAR text[1024];
    text[0] = 0;
    format_date(y, m, text, d, code);
    return sim::utf8(text);
}

}  // namespace

using Calendar = SimTest;

TEST_F(Calendar, EveryDayAgreesWithTheLibraryCalendar)
{
    long days_checked = 0, failures = 0, texts_checked = 0, last_number = 0, leap_years = 0;
    char expected[32];

    for (int y = 1601; y <= 9999; y++) {
        NewYears ny(y);
        leap_years += year{y}.is_leap();
        for (unsigned m = 1; m <= 12; m++) {
            year_month_day first{year{y}, month{m}, day{1}};
            long first_number = count_of(first);
            unsigned first_weekday = weekday{sys_days{first}}.c_encoding();
            unsigned month_days = (unsigned)(year{y} / month{m} / last).day();
            for (unsigned dd = 1; dd <= month_days; dd++) {
                long expected_number = first_number + dd - 1;
                unsigned expected_weekday = (first_weekday + dd - 1) % 7;
                long ordinal = expected_number - ny.now + 1;
                IsoWeek iso = iso_week_of(expected_number, expected_weekday ? expected_weekday : 7,
                                          y, ny);

                int n = day_number((UINT)y, m, dd);
                UINT wy = 0, wk = 0, wd = 0;
                int r = iso_week_date((UINT)y, m, dd, &wy, &wk, &wd);
                bool ok = n == expected_number && expected_number == last_number + 1 &&
                          (unsigned)(n % 7) == expected_weekday && r == 0 &&
                          (int)wy == iso.year && wk == iso.week && wd == iso.weekday;
                if (!ok && ++failures <= 10)
                    ADD_FAILURE() << y << "-" << m << "-" << dd << ": day number " << n
                                  << " (expected " << expected_number << "), week date " << wy
                                  << "-W" << wk << "-" << wd << " (expected " << iso.year << "-W"
                                  << iso.week << "-" << iso.weekday << ")";
                last_number = expected_number;
                days_checked++;

                // The texts of forms 5 and 6 where weeks and ordinals turn over: the first
                // and last four days of each year, and the end of February.
                if ((m == 1 && dd <= 4) || (m == 12 && dd >= 28)) {
                    snprintf(expected, sizeof expected, "%04d-W%02u-%u", iso.year, iso.week,
                             iso.weekday);
                    std::string got = text_of((UINT)y, m, dd, 5);
                    if (got != expected && ++failures <= 10)
                        ADD_FAILURE() << "form 5 of " << y << "-" << m << "-" << dd << ": "
                                      << got << ", expected " << expected;
                    texts_checked++;
                }
                if ((m == 1 && dd == 1) || (m == 12 && dd == 31) || (m == 2 && dd >= 28) ||
                    (m == 3 && dd == 1)) {
                    snprintf(expected, sizeof expected, "%04d-%03ld", y, ordinal);
                    std::string got = text_of((UINT)y, m, dd, 6);
                    if (got != expected && ++failures <= 10)
                        ADD_FAILURE() << "form 6 of " << y << "-" << m << "-" << dd << ": "
                                      << got << ", expected " << expected;
                    texts_checked++;
                }
            }
        }
    }
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(days_checked, 3067671);
    EXPECT_EQ(last_number, count_of(year{9999} / December / 31));
    EXPECT_EQ(texts_checked, 8399 * 12 + leap_years);
}

TEST_F(Calendar, YearsAgreeWithTheLibraryCalendar)
{
    for (int y = 1601; y <= 9999; y++) {
        NewYears ny(y);
        sys_days jan4 = sys_days{year{y} / January / 4};
        int start = (int)(4 - weekday{jan4}.iso_encoding());
        long dec28 = count_of(year{y} / December / 28);
        unsigned dec28_weekday = weekday{sys_days{year{y} / December / 28}}.iso_encoding();
        // The last week of a year is the one that holds 28 December.
        unsigned weeks = iso_week_of(dec28, dec28_weekday, y, ny).week;
        ASSERT_EQ(is_leap_year((UINT)y) != 0, year{y}.is_leap()) << y;
        ASSERT_EQ(iso_week1_start((UINT)y), start) << y;
        ASSERT_EQ(iso_weeks_in_year((UINT)y), (int)weeks) << y;
    }
}
