#include "protocol/draw_csv.h"

#include <gtest/gtest.h>

#include "support/sample_history.h"

namespace xuan5 {
namespace {

TEST(DrawCsv, ReadsGoodLinesWithOrWithoutHeaderInAnyLineEnding) {
    const DrawCsv withHeader = ParseDrawCsv(
        "\xEF\xBB\xBF"
        "date,period,n1,n2,n3,n4,n5\r\n"
        "2024-05-06,1,3,11,7,1,5\r\n"
        "\r\n"
        "2024/05/06, 002 ,\"09\",01,02,03,04\r\n"
        "20240506,2024050603,10,11,1,2,3\n"
        "2024-05-07,24050704,6,7,8,9,10");
    ASSERT_TRUE(withHeader.rejected.empty()) << CsvLineErrorText(withHeader.rejected[0]);
    EXPECT_EQ(withHeader.draws, (std::vector<DatedDraw>{
                                    {"2024-05-06", "001", "03,11,07,01,05"},
                                    {"2024-05-06", "002", "09,01,02,03,04"},
                                    {"2024-05-06", "003", "10,11,01,02,03"},
                                    {"2024-05-07", "004", "06,07,08,09,10"},
                                }));
    const DrawCsv withoutHeader = ParseDrawCsv("2024-05-06,42,1,2,3,4,5\n");
    ASSERT_EQ(withoutHeader.draws.size(), 1u);
    EXPECT_EQ(withoutHeader.draws[0].period, "042");
    EXPECT_TRUE(ParseDrawCsv("").draws.empty());
    EXPECT_TRUE(ParseDrawCsv("\n\r\n  \n").rejected.empty());
}

TEST(DrawCsv, ReportsEachBadLineWithItsNumberAndKeepsTheRest) {
    const DrawCsv csv = ParseDrawCsv(
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
    EXPECT_EQ(csv.draws, (std::vector<DatedDraw>{{"2024-05-06", "001", "01,02,03,04,05"},
                                                 {"2024-05-06", "008", "11,10,09,08,07"}}));
    EXPECT_EQ(csv.rejected, (std::vector<CsvLineError>{
                                {3, CsvFault::Date, "2024-02-30", 0},
                                {4, CsvFault::FieldCount, "", 6},
                                {5, CsvFault::Number, "12", 0},
                                {6, CsvFault::RepeatedNumber, "", 0},
                                {7, CsvFault::Period, "0", 0},
                                {8, CsvFault::Period, "2024050799", 0},
                                {9, CsvFault::RepeatedPeriod, "2024-05-06 001", 2},
                                {10, CsvFault::Date, "date", 0},
                                {11, CsvFault::Number, "a", 0},
                                {12, CsvFault::FieldCount, "", 8},
                                {13, CsvFault::Period, "1000", 0},
                            }));
    EXPECT_EQ(CsvLineErrorText(csv.rejected[0]), "第3行：日期不对 '2024-02-30'");
    EXPECT_EQ(CsvLineErrorText(csv.rejected[1]), "第4行：应有7项（日期,期号,5个号码），实有6项");
    EXPECT_EQ(CsvLineErrorText(csv.rejected[2]), "第5行：号码不对 '12'（须为01..11）");
    EXPECT_EQ(CsvLineErrorText(csv.rejected[6]), "第9行：与第2行同一期");

    // A stray binary line cannot flood the report.
    const DrawCsv huge = ParseDrawCsv("2024-05-06,1,1,2,3,4," + std::string(10000, '7') + "\n");
    ASSERT_EQ(huge.rejected.size(), 1u);
    EXPECT_LT(CsvLineErrorText(huge.rejected[0]).size(), 80u);
}

TEST(DrawCsv, WrittenTextReadsBackAndDatesHaveThreeSpellings) {
    const std::vector<DatedDraw> draws{{"2024-05-06", "041", "03,11,07,01,05"},
                                       {"2024-05-06", "042", "09,01,02,03,04"}};
    const std::string text = DrawCsvText(draws);
    EXPECT_EQ(text,
              "date,period,n1,n2,n3,n4,n5\r\n"
              "2024-05-06,041,03,11,07,01,05\r\n"
              "2024-05-06,042,09,01,02,03,04\r\n");
    const DrawCsv back = ParseDrawCsv(text);
    EXPECT_TRUE(back.rejected.empty());
    EXPECT_EQ(back.draws, draws);

    // The header block of what a file holds: skipped as data, read back as it was written, a
    // note of two lines as two, wherever "#" lines stand.
    const std::vector<std::string> notes = {
        SpanNote("山东", PeriodLabel(draws[0]), PeriodLabel(draws[1]), 2), "种子：7",
        "第一行\r\n第二行, \"带引号\""};
    const std::string noted = DrawCsvText(draws, notes);
    EXPECT_TRUE(
        noted.starts_with("# 地区：山东　期间：2024-05-06 041 至 2024-05-06 042（2期）\r\n"
                          "# 种子：7\r\n# 第一行\r\n# 第二行, \"带引号\"\r\ndate,"));
    const DrawCsv withNotes = ParseDrawCsv(noted + "#末尾\r\n");
    EXPECT_TRUE(withNotes.rejected.empty());
    EXPECT_EQ(withNotes.draws, draws);
    EXPECT_EQ(withNotes.notes, (std::vector<std::string>{notes[0], notes[1], "第一行",
                                                         "第二行, \"带引号\"", "末尾"}));

    EXPECT_EQ(DrawDateText(*ParseDrawDate("2024-02-29")), "2024-02-29");
    EXPECT_EQ(DrawDateText(*ParseDrawDate("2024/05/06")), "2024-05-06");
    EXPECT_EQ(DrawDateText(*ParseDrawDate("20240506")), "2024-05-06");
    for (const char* bad : {"2023-02-29", "2024-13-01", "2024-04-31", "2024-5-6", "2024-05/06",
                            "24-05-06", "2024-05-06x", "", "abcd-ef-gh", "1969-12-31"}) {
        EXPECT_FALSE(ParseDrawDate(bad)) << bad;
    }
}

}  // namespace
}  // namespace xuan5
