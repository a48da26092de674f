// format_date over every code and any date, under any locale answers, any DateForm
// picture and any "today". Checks: the range rule, the buffer bound, and the forms whose
// text follows from the date alone against a calendar computed here with std::chrono.
#include <fuzzer/FuzzedDataProvider.h>

#include <chrono>

#include "fuzz_common.h"
#include "src/format/dates.h"

namespace {

namespace chr = std::chrono;

const size_t CHARS = 1024, GUARD = 16;
const char16_t FILL = 0xA5A5;

// Locale answers the date forms read, each of which the input may replace or drop.
const LCTYPE locale_types[] = {
    LOCALE_IDATE, LOCALE_ILDATE, LOCALE_SDATE, LOCALE_SSHORTDATE, LOCALE_SLONGDATE,
    LOCALE_SYEARMONTH, LOCALE_SMONTHNAME1, LOCALE_SMONTHNAME1 + 1, LOCALE_SMONTHNAME1 + 11,
    LOCALE_SDAYNAME1, LOCALE_SDAYNAME7, LOCALE_SABBREVDAYNAME1, LOCALE_SABBREVMONTHNAME1,
};

std::u16string any_text(FuzzedDataProvider &in, size_t max)
{
    std::string bytes = in.ConsumeRandomLengthString(max);
    return fuzz::text((const uint8_t *)bytes.data(), bytes.size());
}

// The English weekday names from Sunday, written out here rather than taken from the code
// under test.
const char *const weekdays[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};

std::string ascii(const char16_t *s)
{
    std::string out;
    for (; *s; s++)
        out.push_back(*s < 0x80 ? (char)*s : '?');
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    fuzz::fresh_platform();

    // The date: mostly near the valid ranges, sometimes anything at all.
    UINT year = in.ConsumeBool() ? in.ConsumeIntegralInRange<UINT>(1595, 10005)
                                 : in.ConsumeIntegral<UINT>();
    UINT month = in.ConsumeBool() ? in.ConsumeIntegralInRange<UINT>(0, 13)
                                  : in.ConsumeIntegral<UINT>();
    UINT day = in.ConsumeBool() ? in.ConsumeIntegralInRange<UINT>(0, 32)
                                : in.ConsumeIntegral<UINT>();
    DWORD code = in.ConsumeIntegral<DWORD>();

    // The platform: locale answers, DateForm, today, a failing formatter.
    int changes = in.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < changes; i++) {
        LCTYPE t = in.PickValueInArray(locale_types);
        if (in.ConsumeBool())
            sim::locale().info.erase(t);
        else
            sim::locale().info[t] = any_text(in, 80);
    }
    if (in.ConsumeBool()) {
        std::u16string picture = any_text(in, 1200);
        sim::kernel().env[u"DATEFORM"] = picture;
    }
    if (in.ConsumeBool()) {
        SYSTEMTIME &now = sim::locale().now;
        now.wYear = in.ConsumeIntegral<WORD>();
        now.wMonth = in.ConsumeIntegral<WORD>();
        now.wDay = in.ConsumeIntegral<WORD>();
    }
    sim::locale().date_format_fails = in.ConsumeBool();

    char16_t buffer[CHARS + GUARD];
    std::fill(std::begin(buffer), std::end(buffer), FILL);
    int rc = format_date(year, month, (LPWSTR)buffer, day, code);

    for (size_t i = CHARS; i < CHARS + GUARD; i++)
        FUZZ_CHECK(buffer[i] == FILL, "written past the 1024 characters at %zu", i);

    chr::year_month_day ymd{chr::year{(int)(year > 32767 ? 32767 : year)},
                            chr::month{month > 255 ? 255u : month},
                            chr::day{day > 255 ? 255u : day}};
    bool valid = year >= 1601 && year <= 9999 && ymd.ok();
    if (!valid) {
        FUZZ_CHECK(rc == -1, "%u-%u-%u accepted: rc %d", year, month, day, rc);
        for (size_t i = 0; i < CHARS; i++)
            FUZZ_CHECK(buffer[i] == FILL, "a refused date wrote the buffer");
        fuzz::check_clean();
        return 0;
    }
    FUZZ_CHECK(rc == 0, "%u-%u-%u refused: rc %d", year, month, day, rc);
    size_t len = 0;
    while (len < CHARS && buffer[len] != 0)
        len++;
    // A form whose system call failed leaves the buffer as it was (here: the fill).
    bool untouched = buffer[0] == FILL;
    FUZZ_CHECK(len < CHARS || untouched, "no terminator within 1024 characters");

    // The forms that depend on the date alone, by the numbers a user gives /F. Day counts
    // come from the library's calendar: day 1 is 1 January 1601.
    chr::sys_days days{ymd};
    const chr::sys_days day_1601{chr::year{1601} / 1 / 1}, day_1970{chr::year{1970} / 1 / 1},
        day_1980{chr::year{1980} / 1 / 1};
    chr::weekday wd{days};
    char expected[64] = "";
    UINT form = code & 0xFF;
    switch (form) {
    case 6: {  // ISO ordinal date
        int doy = (int)(days - chr::sys_days{chr::year{(int)year} / 1 / 1}).count() + 1;
        snprintf(expected, sizeof expected, "%04u-%03d", year, doy);
        break;
    }
    case 5: {  // ISO week date: the ISO year is the year of this week's Thursday
        chr::sys_days thursday = days + chr::days{4 - (int)wd.iso_encoding()};
        chr::year_month_day ty{thursday};
        chr::sys_days jan1{ty.year() / 1 / 1};
        int week = (int)(thursday - jan1).count() / 7 + 1;
        snprintf(expected, sizeof expected, "%04d-W%02d-%u", (int)ty.year(), week,
                 wd.iso_encoding());
        break;
    }
    case 16:  // days from 1 January 1980
        snprintf(expected, sizeof expected, "%+d", (int)(days - day_1980).count());
        break;
    case 19:  // the absolute day number
        snprintf(expected, sizeof expected, "A+%d", (int)(days - day_1601).count() + 1);
        break;
    case 21:  // days from 1 January 1970
        snprintf(expected, sizeof expected, "U%+d", (int)(days - day_1970).count());
        break;
    case 20:  // compact
        snprintf(expected, sizeof expected, "%04u%02u%02u", year, month, day);
        break;
    case 4: case 7: case 8: case 9: case 15: case 22: case 31: case 37: case 100: case 144:
    case 146: case 200: case 255:
        snprintf(expected, sizeof expected, "%04u-%02u-%02u", year, month, day);
        break;
    case 17: {  // the long English form begins with the weekday
        std::string text = ascii(buffer);
        std::string name = weekdays[wd.c_encoding()];
        FUZZ_CHECK(text.compare(0, name.size() + 2, name + ", ") == 0,
                   "%04u-%02u-%02u is a %s, got %s", year, month, day, name.c_str(),
                   text.c_str());
        break;
    }
    default:
        break;
    }
    if (expected[0]) {
        std::string text = ascii(buffer);
        FUZZ_CHECK(text == expected, "code %#x, %04u-%02u-%02u: got %s, expected %s", code,
                   year, month, day, text.c_str(), expected);
    }
    fuzz::check_clean();
    return 0;
}
