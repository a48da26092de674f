// Many runs in one process, shared by the launcher and the floor program: the count of
// --repeat, the clock around one run, and the timing line.
#ifndef NICSHOW_HOST_REPEAT_H
#define NICSHOW_HOST_REPEAT_H

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

// Large enough for any benchmark, small enough that the run times of --timing fit the
// address space of a 32-bit process.
#define MAX_REPEAT 1000000u

// The count of --repeat: decimal digits only, from 1 to MAX_REPEAT.
inline bool parse_repeat_count(const wchar_t *text, unsigned *count)
{
    unsigned n = 0;

    if (!text || !*text)
        return false;
    for (; *text; text++) {
        if (*text < L'0' || *text > L'9')
            return false;
        n = n * 10 + (unsigned)(*text - L'0');
        if (n > MAX_REPEAT)
            return false;
    }
    if (n == 0)
        return false;
    *count = n;
    return true;
}

inline LONGLONG clock_ticks(void)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// "timing: runs=N median_ms=M min_ms=L max_ms=H\r\n" for the ticks of the measured runs,
// milliseconds to four places (the counter of Wine ticks at 10 MHz). The median of an
// even count is the mean of the middle two.
inline void format_timing_line(wchar_t *line, size_t size, std::vector<LONGLONG> ticks)
{
    LARGE_INTEGER frequency;
    double ms_per_tick, median;
    size_t n = ticks.size(), mid = n / 2;

    line[0] = 0;
    if (n == 0 || !QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0)
        return;
    ms_per_tick = 1000.0 / (double)frequency.QuadPart;
    std::sort(ticks.begin(), ticks.end());
    median = n % 2 ? (double)ticks[mid] : ((double)ticks[mid - 1] + (double)ticks[mid]) / 2;
    _snwprintf(line, size, L"timing: runs=%u median_ms=%.4f min_ms=%.4f max_ms=%.4f\r\n",
               (unsigned)n, median * ms_per_tick, (double)ticks[0] * ms_per_tick,
               (double)ticks[n - 1] * ms_per_tick);
    line[size - 1] = 0;
}

#endif
