#include "feed/feed_parser.h"

#include <gtest/gtest.h>

#include "oracle/literal_state.h"
#include "protocol/endpoints.h"
#include "support/sample_history.h"

namespace xuan5 {
namespace {

using testing::FeedResponse;
using testing::RandomHistory;

// The window's handling of an answer: whatever table it reads is staged.
FeedParse Stage(std::string_view response, LiteralState& state) {
    FeedParse parse = ParseFeedResponse(response, state.DrawHistory);
    if (parse.staged) state.IncomingDraws = *parse.staged;
    return parse;
}

bool HasNewDraws(const LiteralState& state) {
    return xuan5::HasNewDraws(state.IncomingDraws, state.DrawHistory);
}

// A history whose newest period is `newest`, and the same rows shifted by `newer` fresh periods.
DrawTable Shifted(const DrawTable& old, int newer) {
    DrawTable t = RandomHistory(99, std::stoi(old[1].period) + newer);
    for (int r = newer + 1; r <= kHistoryRows; ++r) t[r] = old[r - newer];
    return t;
}

TEST(FeedParser, FirstResponseIsAcceptedAndStagedRowByRow) {
    LiteralState state;
    const DrawTable rows = RandomHistory(1);
    const FeedParse parse = Stage(FeedResponse(rows, " anything: "), state);
    EXPECT_TRUE(parse.hasNewDraws);
    for (int r = 1; r <= kHistoryRows; ++r) {
        EXPECT_EQ(state.IncomingDraws[r].period, rows[r].period);
        EXPECT_EQ(state.IncomingDraws[r].numbers, rows[r].numbers);
    }
    EXPECT_EQ(state.IncomingDraws[0].period, "");
}

TEST(FeedParser, NewnessFollowsTheNewestKnownPeriod) {
    LiteralState state;
    state.IncomingDraws = RandomHistory(2, 300);
    ApplyStaged(state);

    // Same list again: no update, history untouched but the list is staged.
    EXPECT_EQ(Stage(FeedResponse(state.DrawHistory), state).status, "没有更新！");
    EXPECT_FALSE(HasNewDraws(state));

    // Two new periods: the newest known one is at index 2 of the payload.
    const DrawTable two = Shifted(state.DrawHistory, 2);
    FeedParse parse = Stage(FeedResponse(two), state);
    EXPECT_TRUE(parse.hasNewDraws);
    EXPECT_EQ(state.IncomingDraws[3].period, "300");
    ApplyStaged(state);
    EXPECT_EQ(state.DrawHistory[1].period, "302");

    // The newest known period 59 places down is still found (row 60); 60 places down is not.
    const DrawTable far = Shifted(state.DrawHistory, 59);
    Stage(FeedResponse(far), state);
    EXPECT_TRUE(HasNewDraws(state));
    const DrawTable tooFar = Shifted(state.DrawHistory, 60);
    EXPECT_FALSE(Stage(FeedResponse(tooFar), state).hasNewDraws);
}

// 山东 draws 42 periods a day: the newest period comes back 42 rows down, from yesterday.
TEST(FeedParser, AnUnchangedListIsNoUpdateWhenPeriodsRepeatDaily) {
    DrawTable day = RandomHistory(4, 37);
    for (int r = 1; r <= kHistoryRows; ++r) {
        const int period = ((37 - r) % 42 + 42) % 42 + 1;  // 037, 036, .., 001, 042, ..
        day[r].period = (period < 10 ? "00" : "0") + std::to_string(period);
    }
    ASSERT_EQ(day[43].period, "037");
    LiteralState state;
    state.IncomingDraws = day;
    ApplyStaged(state);
    const FeedParse same = Stage(FeedResponse(day), state);
    EXPECT_FALSE(same.hasNewDraws);
    EXPECT_EQ(same.status, "没有更新！");

    DrawTable next = day;
    for (int r = kHistoryRows; r > 1; --r) next[r] = next[r - 1];
    next[1] = {"038", "01,03,05,07,09"};
    EXPECT_TRUE(Stage(FeedResponse(next), state).hasNewDraws);
}

TEST(FeedParser, MalformedResponsesCountAsNoData) {
    LiteralState state;
    const DrawTable rows = RandomHistory(3);
    const std::string good = FeedResponse(rows);

    // Without the marker nothing is touched, not even the staged table.
    Stage(good, state);
    EXPECT_EQ(Stage("<html>busy</html>", state).status, "没有获取到数据");
    EXPECT_EQ(state.IncomingDraws[1].period, rows[1].period);

    // A refused answer keeps the staged table of the last good one.
    auto expectRefused = [&](const std::string& response) {
        Stage(good, state);
        const FeedParse parse = Stage(response, state);
        EXPECT_EQ(parse.status, "没有获取到数据") << response.substr(0, 60);
        EXPECT_FALSE(parse.hasNewDraws);
        EXPECT_EQ(state.IncomingDraws[1].period, rows[1].period);
        EXPECT_EQ(state.IncomingDraws[120].numbers, rows[120].numbers);
        EXPECT_EQ(state.DrawHistory[1].period, "");
    };
    // Payload not closed by a second separator.
    expectRefused(good.substr(0, good.rfind("*-*")));
    // 119 lines.
    expectRefused(good.substr(0, good.rfind("\r\n")) + "*-*");
    // One row with a bad number, a repeated number, a short line, a bad period.
    for (const char* bad : {"045-01,05,06,09,12", "045-01,05,05,09,11", "045-1,5,6,9,11",
                            "04a-01,05,06,09,11", "101,02,03,04,05"}) {
        DrawTable broken = rows;
        std::string response = FeedResponse(broken);
        const std::string line = rows[57].period + "-" + rows[57].numbers;
        response.replace(response.find(line), line.size(), bad);
        expectRefused(response);
    }
}

TEST(FeedParser, ExtraLinesAndTailAreIgnored) {
    LiteralState state;
    const DrawTable rows = RandomHistory(4);
    std::string response = FeedResponse(rows);
    response.insert(response.rfind("*-*"), "\r\n999-junk that is not a draw");
    response += "*-*more";
    EXPECT_TRUE(Stage(response, state).hasNewDraws);
    EXPECT_EQ(state.IncomingDraws[120].period, rows[120].period);
}

TEST(FeedParser, RequestUrlKeepsTheKeysInOrder) {
    EXPECT_EQ(BuildDrawRequestUrl("http://127.0.0.1:8611/", 3, 7.055475f),
              "http://127.0.0.1:8611/11xuan5/huaxian/login.asp?lx=2&zt=2&cz=3&a=7.055475");
    EXPECT_EQ(FormatSingle(0.5f), "0.5");
    EXPECT_EQ(FormatSingle(3.0f), "3");
}

TEST(FeedParser, CountdownFetchesOnTheTickThatShowsZero) {
    std::int32_t seconds = 30;
    int fetches = 0;
    std::vector<std::string> labels;
    for (int tick = 0; tick < 62; ++tick) {
        const CountdownTick t = TickCountdown(seconds, true);
        seconds = t.seconds;
        labels.push_back(t.label);
        fetches += t.fetch;
        EXPECT_TRUE(t.status.empty());
    }
    EXPECT_EQ(fetches, 2);  // ticks 31 and 62
    EXPECT_EQ(labels[0], "30");
    EXPECT_EQ(labels[30], "0");
    EXPECT_EQ(labels[31], "30");

    seconds = 0;
    const CountdownTick off = TickCountdown(seconds, false);
    EXPECT_FALSE(off.fetch);
    EXPECT_EQ(off.status, "自动更新未勾选");
    EXPECT_EQ(off.seconds, 30);
}

}  // namespace
}  // namespace xuan5

namespace xuan5 {
namespace {

// New draws, a correction, an unchanged list, and a day's repeat of the newest period number.
TEST(FeedParser, StagedTablesAreNewerCorrectedOrNothing) {
    using Kind = StagedChange::Kind;
    const DrawTable history = RandomHistory(7, 300);
    EXPECT_EQ(CompareStaged(history, DrawTable{}).kind, Kind::FirstLoad);
    EXPECT_EQ(CompareStaged(history, history).kind, Kind::None);

    DrawTable three = Shifted(history, 3);
    three[9].numbers = "01,02,03,04,05";  // history row 6 delivered with other numbers
    StagedChange change = CompareStaged(three, history);
    EXPECT_EQ(change.kind, Kind::Newer);
    EXPECT_EQ(change.newRows, 3);
    EXPECT_EQ(change.corrected, std::vector<int>{9});

    DrawTable corrected = history;
    corrected[1].numbers =
        history[1].numbers == "01,02,03,04,05" ? "06,07,08,09,10" : "01,02,03,04,05";
    change = CompareStaged(corrected, history);
    EXPECT_EQ(change.kind, Kind::Corrected);
    EXPECT_EQ(change.corrected, std::vector<int>{1});
    EXPECT_FALSE(HasNewDraws(corrected, history));

    // The same period number on another day is a new draw, not a correction: the dates say so,
    // and without dates the rows below differ.
    DrawTable dated = history;
    dated[1].date = "2026-12-06";
    DrawTable nextDay = Shifted(history, 42);
    nextDay[1].period = history[1].period;
    nextDay[43].date = "2026-12-06";
    nextDay[1].date = "2026-12-07";
    change = CompareStaged(nextDay, dated);
    EXPECT_EQ(change.kind, Kind::Newer);
    EXPECT_EQ(change.newRows, 42);
    nextDay[1].date.clear();
    EXPECT_NE(CompareStaged(nextDay, history).kind, Kind::Corrected);

    // With dates, a long gap is still new: the known draw further down than row 60, or gone; an
    // earlier table is not.
    DrawTable later = Shifted(history, 130);
    for (int r = 1; r <= kHistoryRows; ++r) later[r].date = "2026-12-07";
    change = CompareStaged(later, dated);
    EXPECT_EQ(change.kind, Kind::Newer);
    EXPECT_EQ(change.newRows, kHistoryRows);
    DrawTable seventy = Shifted(history, 70);
    for (int r = 1; r <= 70; ++r) seventy[r].date = "2026-12-07";
    seventy[71].date = dated[1].date;
    EXPECT_EQ(CompareStaged(seventy, dated).newRows, 70);
    EXPECT_EQ(CompareStaged(seventy, history).kind, Kind::None);  // undated: rows 2..60 only
    EXPECT_EQ(CompareStaged(dated, later).kind, Kind::None);
}

}  // namespace
}  // namespace xuan5
