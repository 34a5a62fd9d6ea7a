#include "backtest/backtest_stats.h"

#include <gtest/gtest.h>

#include "backtest/backtest_csv.h"

namespace xuan5 {
namespace {

BacktestRow Row(std::string period, bool hit, int size) {
    BacktestRow row;
    row.period = std::move(period);
    row.date = "2026-12-07";
    row.numbers = "03,07,01,09,11";
    row.hit = hit;
    row.planSize = size;
    return row;
}

TEST(BacktestStats, SummaryOfAHandMadeTable) {
    std::vector<BacktestRow> rows{Row("041", false, 100), Row("042", true, 100),
                                  Row("043", false, 300), Row("044", false, 300),
                                  Row("045", false, 0)};
    FillRunningTotals(rows);
    std::vector<long long> totals;
    for (const auto& row : rows) totals.push_back(row.total);
    EXPECT_EQ(totals, (std::vector<long long>{-200, 524, -76, -676, -676}));
    EXPECT_EQ(rows[1].profit, 724);
    EXPECT_EQ(rows[4].profit, 0);

    const BacktestSummary summary = SummarizeBacktest(rows);
    EXPECT_EQ(summary.periods, 5);
    EXPECT_EQ(summary.hits, 1);
    EXPECT_DOUBLE_EQ(summary.hitRate, 0.2);
    EXPECT_EQ(summary.total, -676);
    EXPECT_EQ(summary.largestDrawdown, 1200);  // from 524 down to -676
    EXPECT_EQ(summary.longestMissRun, 3);
    EXPECT_DOUBLE_EQ(summary.averagePlanSize, 160);

    // A table that only falls has the start as its high.
    std::vector<BacktestRow> falling{Row("001", false, 10), Row("002", false, 5)};
    FillRunningTotals(falling);
    EXPECT_EQ(SummarizeBacktest(falling).largestDrawdown, 30);
    EXPECT_EQ(SummarizeBacktest({}), BacktestSummary{});
}

TEST(BacktestStats, LineRecordsAndSpreadOfTotals) {
    std::vector<BacktestRow> rows(6);
    const std::array<std::array<bool, 6>, 3> hits{{
        {true, false, false, true, false, false},  // line 1
        {false, false, false, false, false, false},
        {true, true, true, true, true, true},
    }};
    for (int k = 0; k < 3; ++k) {
        for (int p = 0; p < 6; ++p) rows[p].lineHits[k] = hits[k][p];
    }
    const auto lines = LineRecords(rows);
    EXPECT_EQ(lines[0], (LineRecord{2, 2.0 / 6, 2, 2}));
    EXPECT_EQ(lines[1], (LineRecord{0, 0, 6, 6}));
    EXPECT_EQ(lines[2], (LineRecord{6, 1, 0, 0}));

    EXPECT_EQ(SpreadOfTotals({5, -3, 10, 2}), (TotalsSpread{-3, 10, 3.5, 3.5}));
    EXPECT_EQ(SpreadOfTotals({7, -1, 100}), (TotalsSpread{-1, 100, 106.0 / 3, 7}));
    EXPECT_EQ(SpreadOfTotals({}), TotalsSpread{});
}

TEST(BacktestStats, OmissionsOverTheNewest120Draws) {
    std::vector<DatedDraw> archive{
        {"2026-12-07", "001", "01,02,03,04,05"},
        {"2026-12-07", "002", "11,02,03,04,06"},
        {"2026-12-07", "003", "01,02,03,04,07"},
        {"2026-12-07", "004", "02,03,04,05,06"},
    };
    OmissionTable table = NumberOmissions(archive);
    EXPECT_EQ(table[1], (NumberOmission{1, 1, 2}));
    EXPECT_EQ(table[2], (NumberOmission{0, 0, 4}));
    EXPECT_EQ(table[5], (NumberOmission{0, 2, 2}));
    EXPECT_EQ(table[8], (NumberOmission{4, 4, 0}));
    EXPECT_EQ(table[11], (NumberOmission{2, 2, 1}));

    // Number 08 came only in the oldest draw; 130 draws later the window no longer sees it.
    std::vector<DatedDraw> longer{{"2026-12-01", "001", "08,01,02,03,04"}};
    for (int i = 0; i < 130; ++i) longer.push_back({"2026-12-02", "001", "01,02,03,04,05"});
    longer[10].numbers = "01,02,03,04,11";
    longer.back().numbers = "09,01,02,03,04";
    table = NumberOmissions(longer);
    EXPECT_EQ(table[8], (NumberOmission{120, 120, 0}));
    EXPECT_EQ(table[9], (NumberOmission{0, 119, 1}));
    EXPECT_EQ(table[11], (NumberOmission{120, 120, 0}));  // draw 11 lies outside the window
    EXPECT_EQ(table[5].frequency, 119);
}

TEST(BacktestCsv, TableAndPlanLogTexts) {
    std::vector<BacktestRow> rows{Row("042", true, 230), Row("043", false, 9)};
    rows[0].record = "042期，开：03,07,01,09,11-230注-中中中";
    rows[0].tally = "5-3";
    rows[1].record = "043期，开：03,07,01,09,11-009注-say \"no\"";
    rows[1].tally = "模式二";
    FillRunningTotals(rows);
    EXPECT_EQ(BacktestTableCsv(rows),
              "期号,日期,注数,开奖号码,结果,盈亏,累计\r\n"
              "042,2026-12-07,230,\"03,07,01,09,11\",中,464,464\r\n"
              "043,2026-12-07,9,\"03,07,01,09,11\",未中,-18,446\r\n");
    EXPECT_EQ(PlanLogCsv(rows),
              "期号,日期,计划记录,命中统计\r\n"
              "042,2026-12-07,\"042期，开：03,07,01,09,11-230注-中中中\",5-3\r\n"
              "043,2026-12-07,\"043期，开：03,07,01,09,11-009注-say \"\"no\"\"\",模式二\r\n");
    EXPECT_EQ(BacktestTableCsv({}), "期号,日期,注数,开奖号码,结果,盈亏,累计\r\n");
    EXPECT_EQ(CsvField("a\r\nb"), "\"a\r\nb\"");
}

}  // namespace
}  // namespace xuan5
