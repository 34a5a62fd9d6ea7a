// The update step over damaged staged rows, and the dates of dated draws.
#include "core/update_step.h"

#include <gtest/gtest.h>

#include "core/bets.h"
#include "core/dated_draw.h"
#include "core/text.h"

namespace xuan5 {
namespace {

TEST(UpdateStep, DamagedRowsAreKeptAsDeliveredButGiveNoKey) {
    DrawTable staged{};
    staged[1] = {"046", "11,02,07,01,05"};
    staged[2] = {"045", "12,02,07,01,05"};  // no number 12
    staged[3] = {"4a4", "01,02,03,04,05"};  // no period
    staged[4] = {"043", "01,01,03,04,05"};  // a number twice
    const Result<ApplyOutcome> applied = ApplyIncomingDraws(staged, 7, 1);
    ASSERT_TRUE(applied);
    EXPECT_EQ(applied->UpdateCount, 8);
    EXPECT_TRUE(applied->runAfterDrawPipeline);
    EXPECT_EQ(applied->DrawHistory[2], staged[2]);
    EXPECT_EQ(applied->drawList[0], "046:11,02,07,01,05");
    EXPECT_EQ(applied->drawList[1], "045:12,02,07,01,05");
    // Element 121 - r holds row r's key.
    EXPECT_EQ(BetText(applied->DrawKeys[120]), "01,02,05,07,11");
    EXPECT_EQ(applied->DrawKeys[119], 0);
    EXPECT_EQ(applied->DrawKeys[117], 0);
    EXPECT_EQ(applied->DrawKeys[1], 0);  // an empty row

    // Only damaged rows: nothing to apply, and the failure says it is not found, not bad input.
    staged[1].numbers = "00,02,07,01,05";
    staged[3].numbers = "";
    const Result<ApplyOutcome> none = ApplyIncomingDraws(staged, 7, 1);
    ASSERT_FALSE(none);
    EXPECT_EQ(none.messages().front().text, kMsgNoDrawData);
    EXPECT_EQ(none.messages().front().kind, Message::Kind::NotFound);
}

TEST(DatedDraw, ReadsThreeWritingsOfRealDatesOnly) {
    const Result<std::chrono::sys_days> dashed = ParseDrawDate("2024-02-29");
    ASSERT_TRUE(dashed);
    EXPECT_EQ(DrawDateText(*dashed), "2024-02-29");
    for (const char* same : {"2024/02/29", "20240229"}) {
        const Result<std::chrono::sys_days> day = ParseDrawDate(same);
        ASSERT_TRUE(day) << same;
        EXPECT_EQ(*day, *dashed) << same;
    }
    EXPECT_EQ(DrawDateText(*ParseDrawDate("1970-01-01")), "1970-01-01");
    for (const char* bad : {"2026-02-29", "2026-13-01", "2026-12-8", "1969-12-31", "2026-12-08 ",
                            "2026-12/08", "", "２０２６-12-08"}) {
        const Result<std::chrono::sys_days> day = ParseDrawDate(bad);
        ASSERT_FALSE(day) << bad;
        const std::string& text = day.messages().front().text;
        EXPECT_TRUE(text.starts_with(kMsgBadDate)) << text;
        EXPECT_NE(text.find(bad), std::string::npos) << text;
    }
}

}  // namespace
}  // namespace xuan5
