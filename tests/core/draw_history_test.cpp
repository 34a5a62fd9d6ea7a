#include "core/draw_history.h"

#include <gtest/gtest.h>

#include "core/text.h"
#include "core/update_step.h"

namespace xuan5 {
namespace {

DrawTable SampleHistory() {
    DrawTable t{};
    for (int r = 1; r <= kHistoryRows; ++r) {
        t[r].period = PadNumber(200 - r, 3);
        t[r].numbers = "03,05,07,09,11";
    }
    return t;
}

TEST(DrawHistory, SeriesSortsNumbersAndRunsOldestFirst) {
    DrawTable t = SampleHistory();
    t[1].numbers = "11,02,07,01,05";
    t[120].numbers = "10,09,08,07,06";
    const DrawSeriesTable s = BuildDrawSeries(t);
    EXPECT_EQ(s[0], "");
    EXPECT_EQ(s[120], "01,02,05,07,11");
    EXPECT_EQ(s[1], "06,07,08,09,10");
    EXPECT_EQ(t[1].numbers, "11,02,07,01,05");  // the history keeps delivery order
    const DrawKeyTable keys = DrawKeysFromSeries(s);
    EXPECT_EQ(keys[0], 0);
    EXPECT_EQ(BetText(keys[120]), "01,02,05,07,11");
}

TEST(DrawHistory, ValidatesRows) {
    EXPECT_TRUE(IsValidDrawNumbers("11,02,07,01,05"));
    EXPECT_FALSE(IsValidDrawNumbers("11,02,07,01,01"));
    EXPECT_FALSE(IsValidDrawNumbers("12,02,07,01,05"));
    EXPECT_FALSE(IsValidDrawNumbers("00,02,07,01,05"));
    EXPECT_FALSE(IsValidDrawNumbers("11;02,07,01,05"));
    EXPECT_FALSE(IsValidDrawNumbers("11,02,07,01,5"));
    EXPECT_TRUE(IsValidPeriod("045"));
    EXPECT_FALSE(IsValidPeriod("45"));
    EXPECT_FALSE(IsValidPeriod("04a"));
}

TEST(UpdateStep, FirstUpdateLoadsWithoutPipelineLaterOnesRunIt) {
    AppState state;
    // Nothing staged yet: nothing is applied or counted.
    EXPECT_FALSE(ApplyIncomingDraws(state).applied);
    EXPECT_EQ(state.UpdateCount, 0);
    EXPECT_EQ(state.HistoryLoaded, 0);

    state.IncomingDraws = SampleHistory();
    ApplyOutcome first = ApplyIncomingDraws(state);
    EXPECT_TRUE(first.applied);
    EXPECT_EQ(first.status, "已经开奖！");
    EXPECT_FALSE(first.runAfterDrawPipeline);
    EXPECT_EQ(state.UpdateCount, 1);
    EXPECT_EQ(state.HistoryLoaded, 1);
    ASSERT_EQ(first.drawList.size(), 120u);
    EXPECT_EQ(first.drawList.front(), "199:03,05,07,09,11");
    EXPECT_EQ(first.drawList.back(), "080:03,05,07,09,11");
    EXPECT_EQ(state.DrawHistory[1].period, "199");
    EXPECT_EQ(state.DrawSeries[120], "03,05,07,09,11");

    // The same staged table applied again still counts as an update.
    ApplyOutcome second = ApplyIncomingDraws(state);
    EXPECT_TRUE(second.runAfterDrawPipeline);
    EXPECT_EQ(state.UpdateCount, 2);
}

}  // namespace
}  // namespace xuan5
