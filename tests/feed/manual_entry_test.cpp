#include "feed/manual_entry.h"

#include <gtest/gtest.h>

#include "oracle/literal_state.h"
#include "support/sample_history.h"

namespace xuan5 {
namespace {

TEST(ManualEntry, ProposesTheNextPeriodWithoutWrapping) {
    DrawTable t = testing::RandomHistory(1);
    t[1].period = "045";
    EXPECT_EQ(ProposeEntryLine(t), "046-01,02,03,04,05");
    t[1].period = "084";
    EXPECT_EQ(ProposeEntryLine(t), "085-01,02,03,04,05");
    t[1].period = "999";
    EXPECT_EQ(ProposeEntryLine(t), "1000-01,02,03,04,05");
}

TEST(ManualEntry, ConfirmChecksInOrder) {
    auto error = [](std::string_view line) {
        const Result<DrawRecord> check = CheckManualEntry(line);
        return check ? std::string() : check.messages().front().text;
    };
    const Result<DrawRecord> ok = CheckManualEntry("  046 - 03,05,07,09,11  ");
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->period, "046");
    EXPECT_EQ(ok->numbers, "03,05,07,09,11");

    const Result<DrawRecord> extra = CheckManualEntry("046-03,05,07,09,11-x");
    ASSERT_TRUE(extra);
    EXPECT_EQ(extra->numbers, "03,05,07,09,11");
    EXPECT_EQ(error("０46-03,05,07,09,11"), "期号错误");  // a full-width digit is removed

    EXPECT_EQ(error("046:03,05,07,09,11"), "格式错误");
    EXPECT_EQ(error("46-03,05,07,09,11"), "期号错误");
    EXPECT_EQ(error("0461-03,05,07,09,11"), "期号错误");
    EXPECT_EQ(error("0,4-03,05,07,09,11"), "期号错误");
    EXPECT_EQ(error("046-3,5,7,9,11"), "开奖号错误");
    EXPECT_EQ(error("046-03,05,07,09,12"), "开奖号错误");
    EXPECT_EQ(error("046-03,05,05,09,11"), "开奖号错误");
    EXPECT_EQ(error("046-03,05,07,0911,"), "开奖号错误");
    EXPECT_EQ(error("046-"), "开奖号错误");
    EXPECT_EQ(CheckManualEntry("46-1").messages().front().title, "出错");
}

TEST(ManualEntry, TypedDrawGoesOnTopOfTheHistory) {
    LiteralState state;
    state.IncomingDraws = testing::RandomHistory(5);
    ApplyStaged(state);
    const DrawTable before = state.DrawHistory;
    // A refused response empties the staged table; the typed draw must not build on it.
    state.IncomingDraws = DrawTable{};
    state.IncomingDraws = StageTypedDraw(state.DrawHistory, DrawRecord{"501", "03,05,07,09,11"});
    EXPECT_EQ(state.IncomingDraws[1].period, "501");
    for (int r = 2; r <= kHistoryRows; ++r) {
        EXPECT_EQ(state.IncomingDraws[r].period, before[r - 1].period);
    }
    EXPECT_EQ(state.DrawHistory[1].period, before[1].period);  // applied only later
    const Result<ApplyOutcome> applied =
        ApplyIncomingDraws(state.IncomingDraws, state.UpdateCount, state.HistoryLoaded);
    ASSERT_TRUE(applied);
    EXPECT_EQ(applied->drawList.front(), "501:03,05,07,09,11");
}

}  // namespace
}  // namespace xuan5
