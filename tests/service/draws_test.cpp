#include "draws.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <regex>
#include <set>

#include "protocol/draw_csv.h"
#include "protocol/feed_format.h"
#include "service_test_support.h"
#include "token.h"

namespace xuan5::service {
namespace {

using testing::ChinaTime;
using testing::Split;

Draw DrawAt(int region, TimePoint now) {
    return SimulatedDraw(region, CurrentSlot(region, now));
}

TEST(Schedule, PeriodsFollowEachRegionsDailyTimetableInChinaTime) {
    // 2024-05-06 00:25 UTC is 08:25 in China, the first 山东 period of the day.
    const TimePoint utc = TimePoint(std::chrono::sys_days(std::chrono::year(2024) / 5 / 6)) +
                          std::chrono::minutes(25);
    EXPECT_EQ(DrawAt(1, utc).day, "2024-05-06");
    EXPECT_EQ(DrawAt(1, utc).period, 1);
    EXPECT_EQ(DrawAt(1, utc - std::chrono::seconds(1)).day, "2024-05-05");
    EXPECT_EQ(DrawAt(1, utc - std::chrono::seconds(1)).period, 42);

    EXPECT_EQ(DrawAt(1, ChinaTime(2024, 5, 6, 8, 44, 59)).period, 1);
    EXPECT_EQ(DrawAt(1, ChinaTime(2024, 5, 6, 8, 45)).period, 2);
    EXPECT_EQ(DrawAt(1, ChinaTime(2024, 5, 6, 22, 4, 59)).period, 41);
    EXPECT_EQ(DrawAt(1, ChinaTime(2024, 5, 6, 22, 5)).period, 42);
    EXPECT_EQ(DrawAt(1, ChinaTime(2024, 5, 6, 23, 59)).period, 42);

    EXPECT_EQ(DrawAt(2, ChinaTime(2024, 5, 6, 9, 10)).period, 1);
    EXPECT_EQ(DrawAt(2, ChinaTime(2024, 5, 6, 9, 20)).period, 2);
    EXPECT_EQ(DrawAt(2, ChinaTime(2024, 5, 6, 23, 0)).period, 84);
    EXPECT_EQ(DrawAt(2, ChinaTime(2024, 5, 7, 0, 0)).day, "2024-05-06");
    EXPECT_EQ(DrawAt(2, ChinaTime(2024, 5, 7, 0, 0)).period, 84);

    EXPECT_EQ(DrawAt(3, ChinaTime(2024, 5, 6, 9, 49, 59)).period, 1);
    EXPECT_EQ(DrawAt(3, ChinaTime(2024, 5, 6, 9, 50)).period, 2);
    EXPECT_EQ(DrawAt(3, ChinaTime(2024, 5, 6, 23, 10)).period, 42);

    // Across a month and a year end.
    EXPECT_EQ(DrawAt(1, ChinaTime(2024, 3, 1, 7, 0)).day, "2024-02-29");
    EXPECT_EQ(DrawAt(3, ChinaTime(2025, 1, 1, 9, 0)).day, "2024-12-31");
}

TEST(Schedule, SlotsAreConsecutivePeriodsAndMatchTheirDrawTimes) {
    for (int region = 1; region <= kRegionCount; ++region) {
        const Slot start = CurrentSlot(region, ChinaTime(2024, 5, 6, 12, 0));
        for (Slot slot = start - 300; slot < start + 300; ++slot) {
            const TimePoint at = SlotTime(region, slot);
            ASSERT_EQ(CurrentSlot(region, at), slot) << region << " " << slot;
            ASSERT_EQ(CurrentSlot(region, at - std::chrono::seconds(1)), slot - 1);
            const Draw draw = SimulatedDraw(region, slot);
            ASSERT_EQ(SlotOf(region, draw), slot);
            const Draw next = SimulatedDraw(region, slot + 1);
            if (next.day == draw.day) {
                ASSERT_EQ(next.period, draw.period + 1);
            } else {
                ASSERT_EQ(draw.period, kSchedules[region].periods);
                ASSERT_EQ(next.period, 1);
            }
        }
    }
    EXPECT_EQ(SlotOf(1, Draw{"2024-05-06", 43, {}}), std::nullopt);
    EXPECT_EQ(SlotOf(1, Draw{"2024-05-06", 0, {}}), std::nullopt);
    EXPECT_EQ(SlotOf(1, Draw{"not a day", 1, {}}), std::nullopt);
}

TEST(SimulatedDraw, IsFixedByRegionDateAndPeriodAndUniformOverNumbers) {
    const Slot base = CurrentSlot(1, ChinaTime(2024, 5, 6, 12, 0));
    EXPECT_EQ(SimulatedDraw(1, base), SimulatedDraw(1, base));

    std::map<int, int> appearances;
    std::map<int, int> first_place;
    int same_as_other_region = 0;
    int sorted_ascending = 0;
    constexpr int kDraws = 22000;
    for (Slot slot = base; slot < base + kDraws; ++slot) {
        const Draw draw = SimulatedDraw(1, slot);
        ASSERT_TRUE(HasDistinctValidNumbers(draw.numbers)) << FeedLine(draw);
        for (int n : draw.numbers) ++appearances[n];
        ++first_place[draw.numbers[0]];
        if (draw.numbers == SimulatedDraw(2, slot).numbers) ++same_as_other_region;
        if (std::is_sorted(draw.numbers.begin(), draw.numbers.end())) ++sorted_ascending;
    }
    // Each number is in 5 of 11 draws and first in 1 of 11; the bounds are about 5 standard
    // deviations wide, so only a real bias fails them.
    for (int n = 1; n <= 11; ++n) {
        EXPECT_NEAR(appearances[n], kDraws * 5 / 11, 400) << n;
        EXPECT_NEAR(first_place[n], kDraws / 11, 160) << n;
    }
    // Another region is another sequence; numbers come in delivery order, sorted in 1 of 120.
    EXPECT_LT(same_as_other_region, 20);
    EXPECT_NEAR(sorted_ascending, kDraws / 120, 70);
}

TEST(Days, AcceptThreeSpellingsOfRealDatesOnly) {
    EXPECT_EQ(DayText(*ParseDay("2024-02-29")), "2024-02-29");
    EXPECT_EQ(DayText(*ParseDay("2024/05/06")), "2024-05-06");
    EXPECT_EQ(DayText(*ParseDay("20240506")), "2024-05-06");
    for (const char* bad : {"2023-02-29", "2024-13-01", "2024-04-31", "2024-5-6", "2024-05/06",
                            "24-05-06", "2024-05-06x", "", "abcd-ef-gh", "1969-12-31"}) {
        EXPECT_FALSE(ParseDay(bad)) << bad;
    }
}

TEST(FeedText, HasMarkerPayloadOfExactly120LinesNewestFirstAndATail) {
    std::vector<Draw> draws;
    for (int i = 0; i < 130; ++i)
        draws.push_back(Draw{"2024-05-06", 130 - i, {11, 1, 2 + i % 8, 10, 9}});
    draws[0].numbers = {9, 3, 11, 1, 5};
    const std::string text = RenderFeed(2, draws);
    ASSERT_EQ(text.find("**ok**"), 0u);
    const auto parts = Split(text, "*-*");
    ASSERT_EQ(parts.size(), 3u);
    const auto lines = Split(parts[1], "\r\n");
    ASSERT_EQ(lines.size(), 120u);
    const std::regex line_form(R"(\d{3} 2024-05-06 \d\d,\d\d,\d\d,\d\d,\d\d)");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_TRUE(std::regex_match(lines[i], line_form)) << lines[i];
        if (i > 0) {
            char expected[48];
            std::snprintf(expected, sizeof expected, "%03d 2024-05-06 11,01,%02d,10,09",
                          130 - int(i), 2 + int(i) % 8);
            EXPECT_EQ(lines[i], expected);
        }
    }
    EXPECT_EQ(lines[0], "130 2024-05-06 09,03,11,01,05");
    EXPECT_EQ(lines[119].substr(0, 4), "011 ");

    draws.resize(119);
    const std::string short_text = RenderFeed(2, draws);
    EXPECT_EQ(short_text.find("**ok**"), std::string::npos);
    EXPECT_NE(short_text.find("119"), std::string::npos);
}

TEST(FeedText, PadsPeriodsAndNumbersToFixedWidthAndCarriesTheDate) {
    EXPECT_EQ(FeedLine(Draw{"2024-05-06", 7, {1, 11, 2, 10, 3}}), "007 2024-05-06 01,11,02,10,03");
    EXPECT_EQ(FeedLine(Draw{"2024-05-07", 84, {5, 4, 3, 2, 1}}), "084 2024-05-07 05,04,03,02,01");
    // The program reads the date back from the part its feed reader ignores.
    EXPECT_EQ(FeedLineDate(FeedLine(Draw{"2024-05-07", 84, {5, 4, 3, 2, 1}})), "2024-05-07");
    const Draw draw{"2024-05-06", 7, {1, 11, 2, 10, 3}};
    EXPECT_EQ(ToDatedDraw(draw), (DatedDraw{"2024-05-06", "007", "01,11,02,10,03"}));
    EXPECT_EQ(FromDatedDraw(ToDatedDraw(draw)), draw);
}

TEST(Token, DigestNewTokensAndComparison) {
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    const std::string a = NewToken();
    const std::string b = NewToken();
    EXPECT_EQ(a.size(), 64u);
    EXPECT_EQ(a.find_first_not_of("0123456789abcdef"), std::string::npos) << a;
    EXPECT_NE(a, b);

    const std::string digest = Sha256Hex(a);
    EXPECT_TRUE(SameDigest(digest, Sha256Hex(a)));
    std::string last = digest;
    last.back() = last.back() == '0' ? '1' : '0';
    EXPECT_FALSE(SameDigest(digest, last));
    EXPECT_FALSE(SameDigest(digest, digest.substr(0, 63)));
    EXPECT_FALSE(SameDigest(digest, ""));
}

}  // namespace
}  // namespace xuan5::service
