#include "csv_import.h"

#include <gtest/gtest.h>

namespace xuan5::service {
namespace {

TEST(DrawCsv, ReadsGoodLinesWithOrWithoutHeaderInAnyLineEnding) {
    const ParsedCsv with_header = ParseDrawCsv(
        "\xEF\xBB\xBF"
        "date,period,n1,n2,n3,n4,n5\r\n"
        "2024-05-06,1,3,11,7,1,5\r\n"
        "\r\n"
        "2024/05/06, 002 ,\"09\",01,02,03,04\r\n"
        "20240506,2024050603,10,11,1,2,3\n"
        "2024-05-07,24050704,6,7,8,9,10");
    ASSERT_TRUE(with_header.rejected.empty()) << with_header.rejected[0].reason;
    ASSERT_EQ(with_header.draws.size(), 4u);
    EXPECT_EQ(with_header.draws[0], (Draw{"2024-05-06", 1, {3, 11, 7, 1, 5}}));
    EXPECT_EQ(with_header.draws[1], (Draw{"2024-05-06", 2, {9, 1, 2, 3, 4}}));
    EXPECT_EQ(with_header.draws[2], (Draw{"2024-05-06", 3, {10, 11, 1, 2, 3}}));
    EXPECT_EQ(with_header.draws[3], (Draw{"2024-05-07", 4, {6, 7, 8, 9, 10}}));

    const ParsedCsv without_header = ParseDrawCsv("2024-05-06,42,1,2,3,4,5\n");
    ASSERT_EQ(without_header.draws.size(), 1u);
    EXPECT_EQ(without_header.draws[0].period, 42);
}

TEST(DrawCsv, ReportsEachBadLineWithItsNumberAndKeepsTheRest) {
    const ParsedCsv csv = ParseDrawCsv(
        "date,period,n1,n2,n3,n4,n5\n"       // 1 header
        "2024-05-06,1,1,2,3,4,5\n"           // 2 good
        "2024-02-30,2,1,2,3,4,5\n"           // 3 impossible date
        "2024-05-06,3,1,2,3,4\n"             // 4 six fields
        "2024-05-06,4,1,2,3,4,12\n"          // 5 number out of range
        "2024-05-06,5,1,2,3,4,4\n"           // 6 repeated number
        "2024-05-06,0,1,2,3,4,5\n"           // 7 period zero
        "2024-05-06,2024050799,1,2,3,4,5\n"  // 8 long period of another day
        "2024-05-06,1,6,7,8,9,10\n"          // 9 period given twice
        "date,period,n1,n2,n3,n4,n5\n"       // 10 a header in the middle is an error
        "2024-05-06,6,a,2,3,4,5\n"           // 11 not a number
        "2024-05-06,7,1,2,3,4,5,\n"          // 12 trailing comma
        "2024-05-06,1000,1,2,3,4,5\n"        // 13 four-digit period
        "2024-05-06,8,11,10,9,8,7\n");       // 14 good
    ASSERT_EQ(csv.draws.size(), 2u);
    EXPECT_EQ(csv.draws[0].period, 1);
    EXPECT_EQ(csv.draws[1], (Draw{"2024-05-06", 8, {11, 10, 9, 8, 7}}));

    std::vector<int> lines;
    for (const auto& rejected : csv.rejected) lines.push_back(rejected.line);
    EXPECT_EQ(lines, (std::vector<int>{3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
    auto reason_of = [&](int line) {
        for (const auto& rejected : csv.rejected) {
            if (rejected.line == line) return rejected.reason;
        }
        return std::string();
    };
    EXPECT_NE(reason_of(3).find("date"), std::string::npos);
    EXPECT_NE(reason_of(4).find("found 6"), std::string::npos);
    EXPECT_NE(reason_of(5).find("'12'"), std::string::npos);
    EXPECT_NE(reason_of(6).find("differ"), std::string::npos);
    EXPECT_NE(reason_of(7).find("period"), std::string::npos);
    EXPECT_NE(reason_of(8).find("period"), std::string::npos);
    EXPECT_NE(reason_of(9).find("line 2"), std::string::npos);
    EXPECT_NE(reason_of(12).find("found 8"), std::string::npos);
}

TEST(DrawCsv, ShortensHugeFieldsInReportsAndIgnoresEmptyInput) {
    const ParsedCsv csv = ParseDrawCsv("2024-05-06,1,1,2,3,4," + std::string(10000, '7') + "\n");
    ASSERT_EQ(csv.rejected.size(), 1u);
    EXPECT_LT(csv.rejected[0].reason.size(), 80u);

    EXPECT_TRUE(ParseDrawCsv("").draws.empty());
    EXPECT_TRUE(ParseDrawCsv("\n\r\n  \n").rejected.empty());
}

}  // namespace
}  // namespace xuan5::service
