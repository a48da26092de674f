// Helpers shared by the report tests: whole lines of expected text, pieces of a
// transcript, and the run's two adapter lists fetched and freed as a run does it.
#ifndef NICSHOW_TESTS_REPORT_TEXT_H
#define NICSHOW_TESTS_REPORT_TEXT_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "src/command/adapters.h"
#include "src/command/listing.h"
#include "src/command/options.h"
#include "src/command/report.h"
#include "src/console/highlight.h"
#include "harness.h"

namespace report_text {

const std::string indent(31, ' ');
const std::string echo = "\r ^C \n";

// Lines joined with the line end after each.
inline std::string lines(const std::vector<std::string> &list)
{
    std::string s;
    for (const std::string &l : list)
        s += l + "\r\n";
    return s;
}

// The text up to and including the nth line end.
inline std::string first_lines(const std::string &text, int n)
{
    size_t at = 0;
    for (int i = 0; i < n; i++) {
        at = text.find("\r\n", at);
        if (at == std::string::npos)
            return text;
        at += 2;
    }
    return text.substr(0, at);
}

inline int line_ends(const std::string &text)
{
    int n = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
        n++;
    return n;
}

inline std::vector<std::string> split_lines(const std::string &text)
{
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", start)) {
        out.push_back(text.substr(start, at - start));
        start = at + 2;
    }
    return out;
}

// The run's two lists, fetched as a run fetches them and freed whole.
struct Lists {
    IP_ADAPTER_ADDRESSES *addresses = nullptr;
    IP_ADAPTER_INFO *info = nullptr;
    explicit Lists(DWORD flags)
    {
        addresses = get_adapter_addresses(
            adapter_query_flags(10, (flags & CommandOptions::detailed) ? TRUE : FALSE));
        if (addresses)
            info = get_adapter_info();
    }
    ~Lists()
    {
        if (addresses)
            HeapFree(GetProcessHeap(), 0, addresses);
        if (info)
            HeapFree(GetProcessHeap(), 0, info);
    }
    Lists(const Lists &) = delete;
    Lists &operator=(const Lists &) = delete;
};

// Reports the machine's first adapter with its legacy record, as the listing would.
inline int report_first(DWORD flags, DWORD date_format = DEFAULT_DATE_FORMAT)
{
    Lists lists(flags);
    if (!lists.addresses) {
        ADD_FAILURE() << "no adapter list";
        return -100;
    }
    return report_adapter(lists.addresses,
                          find_adapter_info(lists.info, lists.addresses->AdapterName), flags,
                          date_format);
}

}  // namespace report_text

// The fixture of the listing and report tests: no highlighting unless a test sets it, and
// a way back to a fresh platform between the cases of one test.
class ReportTest : public SimTest {
protected:
    void SetUp() override
    {
        SimTest::SetUp();
        highlight_colors = HighlightColors{};
        os_version.dwMajorVersion = 10;  // as loaded on Windows 10
    }
    // Checks that the last case left nothing behind, then starts afresh.
    void fresh(const std::string &what)
    {
        EXPECT_EQ(sim::kernel().heap_outstanding, 0) << what << ": heap blocks left outstanding";
        EXPECT_TRUE(sim::console().handlers.empty()) << what << ": break handler left installed";
        sim::reset();
        pager = PagerState{};
        highlight_colors = HighlightColors{};
    }
};

#endif
