// The pure logic behind the sort and filter panel's handlers; the window reads its controls,
// calls these and writes what they return.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/result.h"

namespace xuan5 {

inline constexpr const char* kMsgEnterData = "请输入数据";

// A sort line's grouping text (between the first and the second full-width colon, or to the
// end when there is only one). nullopt, when the line holds no full-width colon, is no failure:
// such a line has no grouping to take, and clicking it does nothing.
std::optional<std::string> GroupingFromSortLine(std::string_view line);

// What the filter box and the candidate box hold after an add.
struct FilterBoxes {
    std::string filterText;
    std::string candidate;  // emptied once the candidate is added
    friend bool operator==(const FilterBoxes&, const FilterBoxes&) = default;
};

// A refused candidate is a notice, and both boxes keep their texts; without a notice the
// candidate was added and the filter runs right after.
using AddFilterLineResult = Outcome<FilterBoxes>;

// Appends "<candidate>=<counts>" to the filter box, on a new line unless the box is blank.
AddFilterLineResult AddFilterLine(std::string_view T_paixu_input,
                                  std::string_view T_paixu_fenjie_houbei,
                                  std::string_view T_paixu_fenjie_houbei_cs);

// The window length after "-" (step -1) or "+" (step +1): nullopt when the button does nothing
// (not above 1, or not below 49: a limit reached, not a failure), else the new text; the sort is
// refreshed after a change.
// A text that is no number reads as 0, so "+" turns it into "1".
std::optional<std::string> StepWindowLength(std::string_view T_paixu_qishu, int step);

}  // namespace xuan5
