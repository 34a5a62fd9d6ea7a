#include "sortfilter/banker_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <random>
#include <utility>
#include <vector>

#include "core/text.h"
#include "oracle/literal_sortfilter.h"

namespace xuan5 {
namespace {

constexpr int kLines = kSortVerifiedPeriods + 1;

std::string RandomDraw(std::mt19937_64& rng) {
    std::vector<int> numbers = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    std::shuffle(numbers.begin(), numbers.end(), rng);
    std::string text;
    for (int i = 0; i < 5; ++i) {
        if (i > 0) text += ',';
        text += PadNumber(numbers[i], 2);
    }
    return text;
}

DrawTable RandomHistory(std::mt19937_64& rng) {
    DrawTable history{};
    for (int r = 1; r <= kHistoryRows; ++r) {
        history[r].period = PadNumber(200 - r, 3);
        history[r].numbers = RandomDraw(rng);
    }
    return history;
}

DrawTable UniformHistory(const std::string& draw) {
    DrawTable history{};
    for (int r = 1; r <= kHistoryRows; ++r) {
        history[r].period = PadNumber(200 - r, 3);
        history[r].numbers = draw;
    }
    return history;
}

// The i-th field of a sort line split at the full-width colon (1 = grouping, 3 = flags).
std::string Field(const std::string& line, std::size_t i) {
    const auto fields = SplitText(line, "：");
    return i < fields.size() ? std::string(fields[i]) : std::string();
}

std::string Grouping(const std::string& line) {
    return Field(line, 1);
}

// The lines a run gives the list; none when it was refused.
std::vector<std::string> Lines(const BankerSortResult& r) {
    return r ? r->value : std::vector<std::string>();
}

// What a run said: its refusal, or the failure that cut its lines short.
std::optional<Message> Said(const BankerSortResult& r) {
    if (!r) return r.messages().front();
    if (!r->notices.empty()) return r->notices.front();
    return std::nullopt;
}

// The ranking, the grouping of the window before the draw and the flags of the draw, on a
// history small enough to count by hand.
TEST(BankerSort, LineShowsGroupingOfOlderWindowAndFlagsOfTheDraw) {
    DrawTable history = UniformHistory("01,02,03,04,05");
    history[1] = {"045", "08,01,05,04,06"};
    history[2] = {"044", "05,03,01,02,07"};
    history[3] = {"043", "05,03,01,02,11"};
    history[4] = {"042", "05,03,07,11,04"};
    history[5] = {"041", "05,06,08,09,10"};
    const BankerSortResult r = RefreshBankerSort(history, "4", "3-3-5");
    ASSERT_TRUE(r.ok());
    EXPECT_FALSE(Said(r).has_value());
    ASSERT_EQ(Lines(r).size(), static_cast<std::size_t>(kLines));
    // Counts over rows 2..5: 05=4 03=3 01=2 02=2 07=2 11=2, the rest 1; ties keep number order.
    // The draw 01 05 04 06 08 hits the first and the last group (three numbers in it: flag 1).
    EXPECT_EQ(Lines(r)[19], "045期：05 03 01*02 07 11*04 06 08 09 10：奖号分布/对几组：1-0-1 / 2");
    // The coming period counts rows 1..4.
    EXPECT_EQ(Lines(r)[20], "046期：05 01 03*02 04 07*11 06 08 09 10：奖号分布/对几组：未开奖....");
    // The oldest verified period comes first; every line names its own row.
    for (int i = 0; i < kSortVerifiedPeriods; ++i) {
        EXPECT_EQ(Lines(r)[i].rfind(history[kSortVerifiedPeriods - i].period + "期：", 0), 0u) << i;
    }
}

TEST(BankerSort, RefusalsLeaveTheListAlone) {
    std::mt19937_64 rng(11);
    const DrawTable history = RandomHistory(rng);
    const Message tooLong{"期数不能超过50", "提示"};
    const Message format{"分解模式输入格式错误", "出错提示"};
    const Message value{"分解模式输入数值错误", "出错提示"};
    const Message failed{"排序输入格式有误，请检查格式。", "提示"};

    for (const char* w : {"51", "50.6", "1000", "  77"}) {
        const BankerSortResult r = RefreshBankerSort(history, w, "3-3-5");
        EXPECT_FALSE(r.ok()) << w;
        EXPECT_TRUE(Lines(r).empty()) << w;
        EXPECT_EQ(Said(r), tooLong) << w;
    }
    for (const char* w : {"99999999999", "-99999999999"}) {
        const BankerSortResult r = RefreshBankerSort(history, w, "3-3-5");
        EXPECT_FALSE(r.ok()) << w;
        EXPECT_EQ(Said(r), failed) << w;
    }
    // A valid sum without "-" is still refused for its format.
    for (const char* m : {"11", "", "3 3 5", "335"}) {
        EXPECT_EQ(Said(RefreshBankerSort(history, "10", m)), format) << m;
    }
    for (const char* m : {"5-7", "6-6", "3-3-5-1", "11-0.6", "99999999999999999999-1"}) {
        const BankerSortResult r = RefreshBankerSort(history, "10", m);
        EXPECT_FALSE(r.ok()) << m;
        EXPECT_EQ(Said(r), value) << m;
    }
    for (const char* m : {"5-6", " 3-3-5 ", "11-0", "-11", "3-3-5-0.4"}) {
        const BankerSortResult r = RefreshBankerSort(history, "10", m);
        EXPECT_TRUE(r.ok()) << m;
        EXPECT_FALSE(Said(r).has_value()) << m;
        EXPECT_EQ(Lines(r).size(), static_cast<std::size_t>(kLines)) << m;
    }
}

TEST(BankerSort, WindowLengthRoundsHalfToEvenAndFiftyIsAccepted) {
    std::mt19937_64 rng(5);
    const DrawTable history = RandomHistory(rng);
    const auto lines = [&](const char* w) { return RefreshBankerSort(history, w, "3-3-5"); };
    ASSERT_NE(Lines(lines("10")), Lines(lines("11")));
    ASSERT_NE(Lines(lines("11")), Lines(lines("12")));
    EXPECT_EQ(lines("10.5"), lines("10"));
    EXPECT_EQ(lines("11.5"), lines("12"));
    EXPECT_EQ(lines("10abc"), lines("10"));
    const BankerSortResult fifty = lines("50");
    EXPECT_TRUE(fifty.ok());
    EXPECT_FALSE(Said(fifty).has_value());
    EXPECT_EQ(Lines(fifty).size(), static_cast<std::size_t>(kLines));
    EXPECT_EQ(lines("50.5"), fifty);  // rounds to 50
}

TEST(BankerSort, EmptyOrNegativeWindowRanksByNumber) {
    std::mt19937_64 rng(3);
    const DrawTable history = RandomHistory(rng);
    for (const char* w : {"0", "-4", "abc", ""}) {
        const BankerSortResult r = RefreshBankerSort(history, w, "3-3-5");
        ASSERT_EQ(Lines(r).size(), static_cast<std::size_t>(kLines)) << w;
        for (const std::string& line : Lines(r)) {
            EXPECT_EQ(Grouping(line), "01 02 03*04 05 06*07 08 09 10 11") << w;
        }
    }
}

TEST(BankerSort, ModesWithShortOrEmptyGroups) {
    // Every row draws 01..05, so they rank first in every window.
    DrawTable history = UniformHistory("01,02,03,04,05");
    history[1].numbers = "07,08,09,10,11";

    // 3-3: the five lowest-ranked numbers are in no group and raise no flag.
    BankerSortResult r = RefreshBankerSort(history, "10", "3-3");
    EXPECT_EQ(Lines(r)[19], "199期：01 02 03*04 05 06：奖号分布/对几组：0-0 / 0");
    EXPECT_EQ(Lines(r)[0], "180期：01 02 03*04 05 06：奖号分布/对几组：1-1 / 2");

    // 3--5: the middle group is empty and its flag is always 0.
    r = RefreshBankerSort(history, "10", "3--5");
    EXPECT_EQ(Lines(r)[0], "180期：01 02 03**04 05 06 07 08：奖号分布/对几组：1-0-1 / 2");
    for (const std::string& line : Lines(r)) {
        if (line.find("未开奖") != std::string::npos) continue;
        const std::string hits = Field(line, 3);
        const auto flags = SplitText(SplitText(hits, " / ")[0], "-");
        ASSERT_EQ(flags.size(), 3u) << line;
        EXPECT_EQ(flags[1], "0") << line;
    }

    // Fractional parts take the step they add to the rounded running sum: 2.5 -> 2,
    // 2 + 3.5 = 5.5 -> 6 (4 more), 6 + 5 -> 11 (5 more).
    r = RefreshBankerSort(history, "10", "2.5-3.5-5");
    EXPECT_EQ(Grouping(Lines(r)[0]), "01 02*03 04 05 06*07 08 09 10 11");
    // 1 + 0.5 = 1.5 rounds to 2, so the second part still adds one number.
    r = RefreshBankerSort(history, "10", "1-0.5");
    EXPECT_EQ(Grouping(Lines(r)[0]), "01*02");
}

TEST(BankerSort, NextPeriodFollowsTheNewestRow) {
    std::mt19937_64 rng(9);
    DrawTable history = RandomHistory(rng);
    const auto comingPrefix = [&](const std::string& period) {
        history[1].period = period;
        const BankerSortResult r = RefreshBankerSort(history, "10", "3-3-5");
        EXPECT_FALSE(Said(r).has_value());
        return std::string(SplitText(Lines(r).back(), "期：")[0]);
    };
    EXPECT_EQ(comingPrefix("045"), "046");
    EXPECT_EQ(comingPrefix("009"), "010");
    EXPECT_EQ(comingPrefix("999"), "1000");
    EXPECT_EQ(comingPrefix(""), "001");
    EXPECT_EQ(comingPrefix("x"), "001");

    // A period too large for any counter fails the run after the verified lines.
    history[1].period = "99999999999999999999";
    const BankerSortResult r = RefreshBankerSort(history, "10", "3-3-5");
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(Lines(r).size(), static_cast<std::size_t>(kSortVerifiedPeriods));
    EXPECT_EQ(Said(r), (Message{"排序输入格式有误，请检查格式。", "提示"}));
}

// Fewer draws loaded than the windows need: empty rows count for no number and their lines
// show no hit; malformed rows count only positions that read as 1..11.
TEST(BankerSort, EmptyAndMalformedRowsAreSafe) {
    const DrawTable empty{};
    BankerSortResult r = RefreshBankerSort(empty, "10", "3-3-5");
    ASSERT_EQ(Lines(r).size(), static_cast<std::size_t>(kLines));
    for (int i = 0; i < kSortVerifiedPeriods; ++i) {
        EXPECT_EQ(Lines(r)[i], "期：01 02 03*04 05 06*07 08 09 10 11：奖号分布/对几组：0-0-0 / 0");
    }
    EXPECT_EQ(Lines(r)[20], "001期：01 02 03*04 05 06*07 08 09 10 11：奖号分布/对几组：未开奖....");

    // Three rows loaded: the newest line counts rows 2 and 3 only.
    DrawTable few{};
    few[1] = {"003", "11,10,09,08,07"};
    few[2] = {"002", "11,10,09,08,06"};
    few[3] = {"001", "11,10,09,05,04"};
    r = RefreshBankerSort(few, "10", "3-3-5");
    EXPECT_EQ(Lines(r)[19], "003期：09 10 11*04 05 06*08 01 02 03 07：奖号分布/对几组：1-0-1 / 2");
    EXPECT_EQ(Lines(r)[18], "002期：04 05 09*10 11 01*02 03 06 07 08：奖号分布/对几组：1-1-1 / 3");
    EXPECT_EQ(Lines(r)[17], "001期：01 02 03*04 05 06*07 08 09 10 11：奖号分布/对几组：0-1-1 / 2");

    // Numbers outside 01..11 and non-numbers count nowhere, exactly like an empty row.
    DrawTable odd = few;
    DrawTable blank = few;
    odd[4] = {"000", "12,00,ab,99,-1"};
    blank[4] = {"000", ""};
    const BankerSortResult withOdd = RefreshBankerSort(odd, "10", "3-3-5");
    const BankerSortResult withBlank = RefreshBankerSort(blank, "10", "3-3-5");
    for (int i = 17; i < kLines; ++i) EXPECT_EQ(Lines(withOdd)[i], Lines(withBlank)[i]) << i;
    // A short row hits through what it has, by the substring rule: "1" occurs in 10 and 11.
    DrawTable shortRow = few;
    shortRow[1].numbers = "08,1";
    r = RefreshBankerSort(shortRow, "10", "3-3-5");
    EXPECT_EQ(Lines(r)[19], "003期：09 10 11*04 05 06*08 01 02 03 07：奖号分布/对几组：1-0-1 / 2");
}

TEST(SortPanel, ClickedLineGivesItsGrouping) {
    DrawTable history{};
    for (int r = 1; r <= kHistoryRows; ++r) history[r] = {PadNumber(r, 3), "05,03,01,02,07"};
    const BankerSortResult sort = RefreshBankerSort(history, "10", "3-3-5");
    ASSERT_EQ(sort->value.size(), 21u);
    // Verified and coming lines alike.
    EXPECT_EQ(GroupingFromSortLine(sort->value.front()), "01 02 03*05 07 04*06 08 09 10 11");
    EXPECT_EQ(GroupingFromSortLine(sort->value.back()), "01 02 03*05 07 04*06 08 09 10 11");
    EXPECT_EQ(GroupingFromSortLine("045期：a b*c"), "a b*c");
    EXPECT_EQ(GroupingFromSortLine("no colon: here"), std::nullopt);
    EXPECT_EQ(GroupingFromSortLine(""), std::nullopt);
}

TEST(SortPanel, WindowLengthSteps) {
    EXPECT_EQ(StepWindowLength("10", -1), "9");
    EXPECT_EQ(StepWindowLength("2", -1), "1");
    EXPECT_EQ(StepWindowLength("1", -1), std::nullopt);
    EXPECT_EQ(StepWindowLength("0", -1), std::nullopt);
    EXPECT_EQ(StepWindowLength("-5", -1), std::nullopt);
    EXPECT_EQ(StepWindowLength("10.5", -1), "9.5");
    EXPECT_EQ(StepWindowLength("10", 1), "11");
    EXPECT_EQ(StepWindowLength("48", 1), "49");
    EXPECT_EQ(StepWindowLength("49", 1), std::nullopt);
    EXPECT_EQ(StepWindowLength("50", 1), std::nullopt);
    EXPECT_EQ(StepWindowLength("48.5", 1), "49.5");
    // Not a number: reads as 0, so "+" starts at 1 and "-" does nothing.
    EXPECT_EQ(StepWindowLength("abc", 1), "1");
    EXPECT_EQ(StepWindowLength("abc", -1), std::nullopt);
    // Large values are written out in full, so the sort reads back the same number.
    const std::optional<std::string> big = StepWindowLength("100000000000000000000000", -1);
    ASSERT_TRUE(big.has_value());
    EXPECT_EQ(big->find('e'), std::string::npos);
    EXPECT_GT(LeadingNumber(*big), 9.9e22);
}

std::string RandomPiece(std::mt19937_64& rng, std::string_view alphabet, int maxLength) {
    std::string s;
    const int length = static_cast<int>(rng() % (maxLength + 1));
    for (int i = 0; i < length; ++i) s += alphabet[rng() % alphabet.size()];
    return s;
}

std::string RandomMode(std::mt19937_64& rng) {
    static const char* const kModes[] = {
        "3-3-5",   "5-6", "3-3", "3--5", "11",    "5-7",  "2.5-3.5-5", "1-1-1-1-1-1-1-1-1-1-1",
        " 4-4-3 ", "-",   "0-0", "a-b",  "1-0.5", "4-x-3"};
    if (rng() % 3) return kModes[rng() % std::size(kModes)];
    return RandomPiece(rng, "0123456789-.- a", 9);
}

std::string RandomWindow(std::mt19937_64& rng) {
    static const char* const kWindows[] = {"10",   "1",   "0", "-3", "50", "51", "10.5",
                                           "11.5", "abc", "",  "49", "25", "3x"};
    if (rng() % 4) return kWindows[rng() % std::size(kWindows)];
    return std::to_string(static_cast<int>(rng() % 60) - 5);
}

DrawTable RandomMixedHistory(std::mt19937_64& rng) {
    DrawTable history{};
    const int loaded = static_cast<int>(rng() % (kHistoryRows + 1));
    for (int r = 1; r <= loaded; ++r) {
        history[r].period = PadNumber(static_cast<long long>(rng() % 1000), 3);
        switch (rng() % 10) {
            case 0:
                history[r].numbers = RandomPiece(rng, "0123456789,. -a", 16);
                break;
            case 1:
                history[r].period = RandomPiece(rng, "0123456789.-x", 4);
                history[r].numbers = "";
                break;
            default:
                history[r].numbers = RandomDraw(rng);
        }
    }
    return history;
}

TEST(BankerSort, MatchesLiteralRulesOnRandomHistories) {
    std::mt19937_64 rng(20240611);
    int compared = 0;
    for (int round = 0; round < 2000; ++round) {
        const DrawTable history = RandomMixedHistory(rng);
        const std::string w = RandomWindow(rng);
        const std::string mode = RandomMode(rng);
        const BankerSortResult fast = RefreshBankerSort(history, w, mode);
        const BankerSortResult slow = literal::RefreshBankerSort(history, w, mode);
        ASSERT_EQ(fast, slow) << "W=" << w << " mode=" << mode << " round " << round;
        compared += fast.ok();
    }
    EXPECT_GT(compared, 700);  // most cases must get past the refusals
}

}  // namespace
}  // namespace xuan5
