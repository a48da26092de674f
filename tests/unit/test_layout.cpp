// Report line layout: blanks and dot leaders in chunks, and the label and value columns.
#include "harness.h"
#include "src/console/layout.h"
#include "src/console/pager.h"
#include "src/plugin/host.h"

#include <functional>

namespace {

// What a leader of n columns must look like: dots in the even columns counted from the
// leader's end at column 28, i.e. a blank first when n is odd.
std::string leader(size_t n)
{
    std::string s;
    for (size_t i = 0; i < n; i++)
        s += ((n - i) % 2 == 0) ? '.' : ' ';
    return s;
}

std::vector<size_t> call_lengths()
{
    std::vector<size_t> lengths;
    for (const auto &t : sim::host().qputs)
        lengths.push_back(t.size());
    return lengths;
}

}  // namespace

using Filler = SimTest;

TEST_F(Filler, WritesExactlyTheColumnsAskedForInChunksOfAtMost1024)
{
    struct Case {
        const char *name;
        std::function<int(DWORD)> fn;
        DWORD count;
        std::vector<size_t> calls;
        std::string text;
    } cases[] = {
        {"spaces", write_spaces, 0, {}, ""},
        {"spaces", write_spaces, 1, {1}, " "},
        {"spaces", write_spaces, 31, {31}, std::string(31, ' ')},
        {"spaces", write_spaces, 1024, {1024}, std::string(1024, ' ')},
        {"spaces", write_spaces, 1025, {1024, 1}, std::string(1025, ' ')},
        {"spaces", write_spaces, 2048, {1024, 1024}, std::string(2048, ' ')},
        {"spaces", write_spaces, 2049, {1024, 1024, 1}, std::string(2049, ' ')},
        {"leader", write_dot_leader, 0, {}, ""},
        {"leader", write_dot_leader, 1, {1}, " "},
        {"leader", write_dot_leader, 2, {2}, ". "},
        {"leader", write_dot_leader, 3, {1, 2}, " . "},
        {"leader", write_dot_leader, 22, {22}, leader(22)},
        {"leader", write_dot_leader, 1024, {1024}, leader(1024)},
        {"leader", write_dot_leader, 1025, {1, 1024}, leader(1025)},
        {"leader", write_dot_leader, 1026, {1024, 2}, leader(1026)},
        {"leader", write_dot_leader, 2049, {1, 1024, 1024}, leader(2049)},
    };
    for (const auto &c : cases) {
        sim::reset();
        EXPECT_EQ(c.fn(c.count), 0) << c.name << " " << c.count;
        EXPECT_EQ(call_lengths(), c.calls) << c.name << " " << c.count;
        EXPECT_EQ(sim::out(), c.text) << c.name << " " << c.count;
        EXPECT_EQ(sim::host().calls["CrLf"], 0);
    }
}

TEST_F(Filler, NeverLooksAtTheBreakFlag)
{
    pager.break_requested = 1;
    EXPECT_EQ(write_spaces(5), 0);
    EXPECT_EQ(write_dot_leader(5), 0);
    EXPECT_EQ(write_label(TEXT("   DNS")), 0);
    EXPECT_EQ(write_continuation(), 0);
    EXPECT_EQ(sim::con(), "") << "a break echo was written";
    pager.break_requested = 0;
}

using ReportLine = SimTest;

TEST_F(ReportLine, ColonInColumn28AndValueInColumn31ForEveryLabelLength)
{
    for (size_t length = 6; length <= 25; length++) {
        sim::reset();
        std::string label = "   " + std::string("Lease obtained/renewed").substr(0, length - 3);
        ASSERT_EQ(write_label(sim::utf16(label).c_str()), 0);
        QPuts(TEXT("192.0.2.1"));
        ASSERT_EQ(end_line(), 0);
        write_continuation();
        QPuts(TEXT("198.51.100.7"));
        end_line();

        std::string expected = label + leader(28 - length) + ":  192.0.2.1\r\n" +
                               std::string(31, ' ') + "198.51.100.7\r\n";
        EXPECT_EQ(sim::out(), expected) << "label of " << length << " columns";
        std::string first = sim::out().substr(0, sim::out().find('\r'));
        EXPECT_EQ(first.find(':'), 28u) << "label of " << length << " columns";
        EXPECT_EQ(first.find("192"), 31u) << "label of " << length << " columns";
        EXPECT_EQ(first[27], ' ') << "column 27 must be blank";
        for (size_t col = length; col < 28; col++) {
            if (col % 2 == 0) {
                EXPECT_EQ(first[col], '.') << "no dot in even column " << col;
            }
        }
    }
}

TEST_F(ReportLine, TheExamplesOfHostNameAndDomain)
{
    write_label(TEXT("   Host name"));
    QPuts(TEXT("myhost"));
    end_line();
    write_label(TEXT("   Domain"));
    end_line();  // no value: label, leader and separator still stand
    EXPECT_EQ(sim::out(),
              "   Host name. . . . . . . . :  myhost\r\n"
              "   Domain . . . . . . . . . :  \r\n");
}

TEST_F(ReportLine, ALabelAsWideAsTheFieldGetsNoLeader)
{
    struct Case {
        const char *label, *expected;
    } cases[] = {
        {"   Twenty-seven columns lbl", "   Twenty-seven columns lbl :  "},
        {"   Twenty-eight columns labl", "   Twenty-eight columns labl:  "},
        {"   Thirty columns of label text", "   Thirty columns of label text:  "},
    };
    for (const auto &c : cases) {
        sim::reset();
        EXPECT_EQ(write_label(sim::utf16(c.label).c_str()), 0);
        EXPECT_EQ(sim::out(), c.expected) << c.label;
    }
}
