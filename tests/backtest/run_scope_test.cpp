#include "backtest/run_scope.h"

#include <gtest/gtest.h>

namespace xuan5 {
namespace {

TEST(RunScope, EverySummaryAndExportSaysWhatWasTested) {
    PlanSettings settings;
    settings.modeOne.lines.lineSizes[14] = "200";
    settings.modeOne.selection.checkedLines[1] = false;
    settings.backup.participates = true;
    const RunScope scope{"重庆", "2026-03-01 001", "2026-03-02 042", 84, 1620, 7};
    EXPECT_EQ(BacktestScope(scope, settings),
              (std::vector<std::string>{
                  "地区：重庆　期间：2026-03-01 001 至 2026-03-02 042（84期）　本地存档：1620期",
                  "计划模式一（每期算号）：容对03-10 线01.03-15 X5 总05 注各线不同，胆码过滤关，"
                  "备用底参与（三底容对123）",
                  "每线注数：01线230 02线230 03线230 04线230 05线230 06线230 07线230 08线230 "
                  "09线230 10线230 11线230 12线230 13线230 14线230 15线200",
                  "种子：7"}));

    settings.useModeTwo = true;
    settings.modeTwo.lines.searchEveryPeriod = false;
    settings.modeTwo.banker.enabled = true;
    settings.backup.participates = false;
    OptimiserSpace space;
    space.groupTotals = {"02.03", "03"};
    space.betCounts = {DefaultLineSizes()};
    const std::vector<std::string> lines = OptimiserScope(
        scope, settings,
        {40, DescribeSpace(space), {500, 300, 50, 3, OptimiserRank::Total, 7, 0, 16}, 200});
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[1],
              "计划模式二（保持当前底）：组容对01-04/01-04/01-04 总03 注230 分组 01.02.03.04.05 / "
              "06.07.08.09.10 / 11.12.13.14.15，胆码过滤 02.04.06.08.10 容对1.2.3，备用底不参与");
    EXPECT_EQ(lines[2], "每线注数：各230注");
    EXPECT_EQ(lines[4], "候选：40个（含当前设置），可变：每线注数 230；分组总容对 02.03 03");
    EXPECT_EQ(lines[5],
              "训练300期　检验50期　每段取前3　按累计排名　过拟合概率分16块　随机对照200次");
}

}  // namespace
}  // namespace xuan5
