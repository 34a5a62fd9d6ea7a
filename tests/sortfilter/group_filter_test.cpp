#include "sortfilter/group_filter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/bets.h"
#include "core/text.h"
#include "oracle/literal_sortfilter.h"

namespace xuan5 {
namespace {

const std::string kDefaultInput = "01 02 03*04 05*07 08=12\r\n03 04 05*06 07 08*10 11=12\r\n";
const Message kEnterData{"请输入数据", "错误"};

// The result box and its count as a run leaves them; empty where it writes neither.
std::string Bets(const GroupFilterResult& r) {
    return r.value.kept ? r.value.kept->text : std::string();
}

std::string Count(const GroupFilterResult& r) {
    return r.value.kept ? r.value.kept->count : std::string();
}

std::vector<std::string> ResultLines(const GroupFilterResult& r) {
    std::vector<std::string> lines;
    const std::string bets = Bets(r);
    for (std::string_view line : SplitText(bets, kCrLf)) lines.emplace_back(line);
    return lines;
}

bool Kept(const GroupFilterResult& r, std::string_view bet) {
    return Bets(r).find(bet) != std::string::npos;
}

// How many of the groups hold at least one number of the bet.
int Touched(int bet, const std::vector<std::vector<int>>& groups) {
    int touched = 0;
    for (const auto& group : groups) {
        bool hit = false;
        for (int n : BetNumbers(bet))
            for (int g : group) hit = hit || n == g;
        touched += hit;
    }
    return touched;
}

TEST(GroupFilter, DefaultLinesWithOneOrBothSatisfied) {
    const std::vector<std::vector<int>> line1 = {{1, 2, 3}, {4, 5}, {7, 8}};
    const std::vector<std::vector<int>> line2 = {{3, 4, 5}, {6, 7, 8}, {10, 11}};
    const GroupFilterResult either = RunGroupFilter(kDefaultInput, "12");
    const GroupFilterResult both = RunGroupFilter(kDefaultInput, "2");
    ASSERT_TRUE(either.value.kept.has_value());
    ASSERT_TRUE(both.value.kept.has_value());
    EXPECT_EQ(either.value.filterText, kDefaultInput);
    int expectEither = 0;
    int expectBoth = 0;
    for (int bet = 1; bet <= kBetCount; ++bet) {
        const int t1 = Touched(bet, line1);
        const int t2 = Touched(bet, line2);
        const int satisfied = (t1 == 1 || t1 == 2) + (t2 == 1 || t2 == 2);
        EXPECT_EQ(Kept(either, BetText(bet)), satisfied >= 1) << BetText(bet);
        EXPECT_EQ(Kept(both, BetText(bet)), satisfied == 2) << BetText(bet);
        expectEither += satisfied >= 1;
        expectBoth += satisfied == 2;
    }
    EXPECT_EQ(Count(either), std::to_string(expectEither));
    EXPECT_EQ(Count(both), std::to_string(expectBoth));
    EXPECT_LT(expectBoth, expectEither);
    EXPECT_GT(expectBoth, 0);
}

TEST(GroupFilter, SingleLineCountsTouchedGroups) {
    const GroupFilterResult r = RunGroupFilter("01 02 03*04 05*07 08=12", "1");
    EXPECT_FALSE(Kept(r, "01,04,07,09,10"));  // all three groups
    EXPECT_TRUE(Kept(r, "01,02,03,09,10"));   // one group, three numbers in it
    EXPECT_TRUE(Kept(r, "01,04,06,09,10"));   // two groups
    // Only four numbers lie outside the groups, so no bet touches none of them.
    const GroupFilterResult none = RunGroupFilter("01 02 03*04 05*07 08=0", "1");
    EXPECT_TRUE(none.value.kept.has_value());
    EXPECT_EQ(Bets(none), "");
    EXPECT_EQ(Count(none), "0");
    // Counts after a second "=" are ignored: 2 is not accepted here.
    const GroupFilterResult extra = RunGroupFilter("01*02=1=2", "1");
    EXPECT_TRUE(Kept(extra, "01,03,04,05,06"));
    EXPECT_FALSE(Kept(extra, "01,02,03,04,05"));
}

TEST(GroupFilter, CleansTheInputAndUsesSubstringMembership) {
    GroupFilterResult r = RunGroupFilter("01,02*03=2", "1");
    EXPECT_EQ(r.value.filterText, "0102*03=2");
    // "0102" holds 01, 10 and 02 as texts.
    EXPECT_TRUE(Kept(r, "01,03,04,05,06"));
    EXPECT_TRUE(Kept(r, "03,04,05,06,10"));
    EXPECT_FALSE(Kept(r, "03,04,05,06,07"));
    r = RunGroupFilter("  a01\t02＊*03 04=１1x \r\n", "1");
    EXPECT_EQ(r.value.filterText, "0102*03 04=1 \r\n");
    EXPECT_EQ(r, RunGroupFilter("0102*03 04=1 \r\n", "1"));
}

TEST(GroupFilter, MalformedLinesAreNeverSatisfied) {
    const std::string odd = "01 02 03=1\r\n01*02\r\n   \r\n\r\n=1\r\n01\n*02=\r\n";
    const GroupFilterResult all = RunGroupFilter(odd, "0");
    EXPECT_EQ(Count(all), "462");
    EXPECT_EQ(ResultLines(all).size(), 462u);
    EXPECT_EQ(ResultLines(all).front(), "01,02,03,04,05");
    EXPECT_EQ(ResultLines(all).back(), "07,08,09,10,11");
    const GroupFilterResult none = RunGroupFilter(odd, "1");
    EXPECT_EQ(Count(none), "0");
    EXPECT_EQ(Bets(none), "");
    // A blank line between valid ones changes nothing.
    EXPECT_EQ(Bets(RunGroupFilter(kDefaultInput + "\r\n01 02*03=1", "2")),
              Bets(RunGroupFilter(kDefaultInput + "01 02*03=1", "2")));
}

TEST(GroupFilter, EmptyTextsKeepOrEmptyTheResult) {
    // An empty tolerance keeps no bet.
    const GroupFilterResult noRc = RunGroupFilter(kDefaultInput, "");
    EXPECT_TRUE(noRc.value.kept.has_value());
    EXPECT_EQ(Bets(noRc), "");
    EXPECT_EQ(Count(noRc), "0");
    // Spaces or only removed characters: the box is emptied, the result is left alone.
    for (const char* input : {"", "    ", "abc", "，，"}) {
        const GroupFilterResult r = RunGroupFilter(input, "12");
        EXPECT_FALSE(r.value.kept.has_value()) << input;
        EXPECT_EQ(r.value.filterText, "") << input;
        EXPECT_FALSE(!r.notices.empty()) << input;
    }
}

std::string RandomFilterLine(std::mt19937_64& rng) {
    std::string line;
    const int groups = static_cast<int>(rng() % 5);
    for (int g = 0; g < groups; ++g) {
        if (g > 0) line += '*';
        const int size = static_cast<int>(rng() % 5);
        for (int i = 0; i < size; ++i) {
            if (i > 0 && rng() % 6) line += ' ';
            line += PadNumber(static_cast<long long>(1 + rng() % 12), 2);
        }
    }
    if (rng() % 8) {
        line += '=';
        const int digits = static_cast<int>(rng() % 4);
        for (int i = 0; i < digits; ++i) line += static_cast<char>('0' + rng() % 6);
        if (rng() % 6 == 0) line += "=" + std::to_string(rng() % 5);
    }
    if (rng() % 10 == 0) line.insert(rng() % (line.size() + 1), rng() % 2 ? "\n" : ",x");
    return line;
}

TEST(GroupFilter, MatchesLiteralRulesOnRandomLines) {
    const AllBetsTable all = BuildAllBets();
    std::mt19937_64 rng(77);
    for (int round = 0; round < 2000; ++round) {
        std::string input = rng() % 4 ? "" : " ";
        const int lines = static_cast<int>(rng() % 5);
        for (int l = 0; l < lines; ++l) {
            if (l > 0) input += "\r\n";
            input += RandomFilterLine(rng);
        }
        if (rng() % 3 == 0) input += "\r\n";
        std::string rc;
        const int digits = static_cast<int>(rng() % 4);
        for (int i = 0; i < digits; ++i) rc += static_cast<char>('0' + rng() % 6);

        const GroupFilterResult fast = RunGroupFilter(input, rc);
        ASSERT_EQ(fast, literal::RunGroupFilter(all, input, rc))
            << "input=" << input << " rc=" << rc << " round " << round;
        // The count always equals the lines shown, in AllBets order without repeats.
        if (fast.value.kept.has_value()) {
            const auto shown = ResultLines(fast);
            EXPECT_EQ(Count(fast), std::to_string(shown.size()));
            for (std::size_t i = 1; i < shown.size(); ++i) ASSERT_LT(shown[i - 1], shown[i]);
        }
    }
}

TEST(SortPanel, AddingACandidateLine) {
    const std::string box = "01 02 03*04 05*07 08=12\r\n03 04 05*06 07 08*10 11=12\r\n";
    AddFilterLineResult r = AddFilterLine(box, "05 03 01*02 07 11", "12");
    EXPECT_TRUE(r.notices.empty());
    EXPECT_EQ(r.value.candidate, "");
    // The box's own trailing break leaves a blank line, which the filter skips.
    EXPECT_EQ(r.value.filterText, box + "\r\n05 03 01*02 07 11=12");
    EXPECT_EQ(RunGroupFilter(r.value.filterText, "3").value.kept,
              RunGroupFilter(box + "05 03 01*02 07 11=12", "3").value.kept);

    // An empty or blank box gets one line with no leading break; texts stay as typed.
    EXPECT_EQ(AddFilterLine("", " 01*02 ", "1 ").value.filterText, " 01*02 =1 ");
    EXPECT_EQ(AddFilterLine("   ", "01*02", "1").value.filterText, "01*02=1");

    for (const auto& [candidate, counts] : std::vector<std::pair<std::string, std::string>>{
             {"", "12"}, {"  ", "12"}, {"01*02", ""}, {"01*02", "   "}}) {
        r = AddFilterLine(box, candidate, counts);
        EXPECT_EQ(r.notices, std::vector<Message>{kEnterData}) << candidate << "|" << counts;
        EXPECT_EQ(r.value.filterText, box);
        EXPECT_EQ(r.value.candidate, candidate);
    }
}

}  // namespace
}  // namespace xuan5
