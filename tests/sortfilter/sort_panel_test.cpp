#include "sortfilter/sort_panel.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "core/text.h"
#include "sortfilter/banker_sort.h"
#include "sortfilter/group_filter.h"

namespace xuan5 {
namespace {

const Message kEnterData{"请输入数据", "错误"};

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

}  // namespace
}  // namespace xuan5
