#include "plans/line_bases.h"

#include <gtest/gtest.h>

#include "plans/plan_fixture.h"

namespace xuan5 {
namespace {

TEST(LineBases, KeepCurrentShowsNoticeAndChangesNothing) {
    LiteralState state = testing::LoadedState(3);
    state.CurveStoreLines = testing::ShapedSavedLines();
    state.LineBases[2] = "01,02,03,04,05";
    state.TrendLine[7] = 77;
    LineBasesInput input;
    input.searchEveryPeriod = false;
    std::mt19937_64 rng(1);
    const LineBasesOutput out = testing::Extract(input, state, rng);
    ASSERT_EQ(out.notices.size(), 1u);
    EXPECT_EQ(out.notices[0], (Message{"请先选择“每期算号”", "友情提示", Message::Kind::Notice}));
    EXPECT_FALSE(out.value.has_value());
    EXPECT_EQ(state.LineBases[2], "01,02,03,04,05");
    EXPECT_EQ(state.LineBases[0], "");
    EXPECT_EQ(state.TrendLine[7], 77);
}

// Each line is parsed and searched in turn with its own wanted size, from one generator.
TEST(LineBases, EachLineSearchedWithItsOwnSize) {
    LiteralState state = testing::LoadedState(4);
    state.CurveStoreLines = testing::ShapedSavedLines();
    LineBasesInput input;
    for (int i = 0; i < kLineCount; ++i) input.lineSizes[i] = std::to_string(20 * i + 5);
    std::mt19937_64 rng(42);
    const LineBasesOutput out = testing::Extract(input, state, rng);
    EXPECT_TRUE(out.notices.empty());

    std::mt19937_64 replay(42);
    TrendLineTable line{};
    for (int i = 0; i < kLineCount; ++i) {
        const Result<TrendLineTable> parsed = ParseTrendLine(state.CurveStoreLines[i], line);
        ASSERT_TRUE(parsed);
        line = *parsed;
        const BaseSearchResult found =
            SearchBaseForLine(input.lineSizes[i], line, state.DrawKeys, replay);
        ASSERT_EQ(state.LineBases[i], RenderBetSet(found.bets, " ")) << "line " << i + 1;
    }
    // The searches ran on a line of their own: the drawing and its curve are untouched.
    EXPECT_EQ(state.TrendLine, TrendLineTable{});
    EXPECT_EQ(state.ProfitSeries, ProfitSeriesTable{});
    // Sizes differ per line, so the bases do too.
    EXPECT_LT(BetSetFromText(state.LineBases[0]).Count(),
              BetSetFromText(state.LineBases[14]).Count());
}

TEST(LineBases, DamagedLineIsReportedAndSearchedOnThePreviousShape) {
    LiteralState state = testing::LoadedState(5);
    state.CurveStoreLines = testing::ShapedSavedLines();
    state.CurveStoreLines[6] = "";
    state.CurveStoreLines[9] = "1*2*3";
    state.LineBases[6] = "stale";
    LineBasesInput input;
    // With no free bets wanted, a base is just the hit keys: a function of the shape alone.
    input.lineSizes[5] = "0";
    input.lineSizes[6] = "0";
    std::mt19937_64 rng(9);
    const LineBasesOutput out = testing::Extract(input, state, rng);
    const Message damaged{"曲线数据不完整，可能被破坏,请重新画线保存", "提示",
                          Message::Kind::Damaged};
    EXPECT_EQ(out.notices, (std::vector<Message>{damaged, damaged}));
    EXPECT_FALSE(state.LineBases[6].empty());
    EXPECT_EQ(state.LineBases[6], state.LineBases[5]);
    EXPECT_NE(state.LineBases[6], state.LineBases[7]);
    EXPECT_FALSE(state.LineBases[9].empty());
}

}  // namespace
}  // namespace xuan5
