#include "core/draw_history.h"

#include <gtest/gtest.h>

#include "core/bets.h"
#include "core/result.h"
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
    // Nothing staged yet: nothing is applied or counted.
    const Result<ApplyOutcome> none = ApplyIncomingDraws(DrawTable{}, 0, 0);
    EXPECT_FALSE(none);
    EXPECT_EQ(none.messages(),
              (std::vector<Message>{{"没有开奖数据", "出错提示", Message::Kind::NotFound}}));

    const Result<ApplyOutcome> first = ApplyIncomingDraws(SampleHistory(), 0, 0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->status, "已经开奖！");
    EXPECT_FALSE(first->runAfterDrawPipeline);
    EXPECT_EQ(first->UpdateCount, 1);
    EXPECT_EQ(first->HistoryLoaded, 1);
    ASSERT_EQ(first->drawList.size(), 120u);
    EXPECT_EQ(first->drawList.front(), "199:03,05,07,09,11");
    EXPECT_EQ(first->drawList.back(), "080:03,05,07,09,11");
    EXPECT_EQ(first->DrawHistory[1].period, "199");
    EXPECT_EQ(first->DrawSeries[120], "03,05,07,09,11");

    // The same staged table applied again still counts as an update.
    const Result<ApplyOutcome> second =
        ApplyIncomingDraws(SampleHistory(), first->UpdateCount, first->HistoryLoaded);
    ASSERT_TRUE(second);
    EXPECT_TRUE(second->runAfterDrawPipeline);
    EXPECT_EQ(second->UpdateCount, 2);
}

// A valid draw's key is its sorted numbers; anything else keys to no bet.
TEST(DrawHistory, KeysOfDraws) {
    EXPECT_EQ(BetText(DrawKeyOf("11,02,07,01,05")), "01,02,05,07,11");
    EXPECT_EQ(DrawKeyOf("11,02,07,01,01"), 0);
    EXPECT_EQ(DrawKeyOf(""), 0);
    EXPECT_TRUE(BaseHoldsKey("x 01,02,05,07,11 y", DrawKeyOf("11,02,07,01,05")));
    EXPECT_FALSE(BaseHoldsKey("01,02,05,07,1", DrawKeyOf("11,02,07,01,05")));
    EXPECT_FALSE(BaseHoldsKey("anything", 0));
}

TEST(Result, ValueOrWhyNot) {
    const Result<int> value = 7;
    EXPECT_TRUE(value.ok());
    EXPECT_EQ(*value, 7);
    EXPECT_TRUE(value.messages().empty());
    const Result<int> refused = Fail({"why", "title"});
    EXPECT_FALSE(refused);
    EXPECT_FALSE(refused.Cancelled());
    const Result<std::string> handedOn = refused.failure();
    EXPECT_EQ(handedOn.messages(), refused.messages());
    EXPECT_TRUE(Result<int>(Failure{}).Cancelled());
    EXPECT_TRUE(Ok());
}

}  // namespace
}  // namespace xuan5
