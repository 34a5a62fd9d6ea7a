// Group filter: keeps the bets whose touched-group counts satisfy enough filter lines.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/bets.h"
#include "core/result.h"

namespace xuan5 {

inline constexpr const char* kMsgFilterFailed = "输入格式有误，请检查格式。";
inline constexpr const char* kMsgEnterData = "请输入数据";

struct GroupFilterRun {
    // The cleaned filter lines, always written back (caret to its end).
    std::string filterText;
    // The bets kept and their number. Unset when there is nothing to filter (the cleaned text is
    // empty) or the run failed: the result box and its count keep their content.
    std::optional<PlanBaseText> kept;

    friend bool operator==(const GroupFilterRun&, const GroupFilterRun&) = default;
};

// A failure of the run comes as a notice: the cleaned text is written back all the same.
using GroupFilterResult = Outcome<GroupFilterRun>;

// Only "=", "*", digits, spaces, CR and LF survive; everything else (commas, letters, tabs,
// every byte of a multi-byte character) is removed. Spaces at the ends are trimmed first.
std::string CleanFilterInput(std::string_view text);

// Runs the filter lines over the 462 bets; `acceptedCounts` lists the accepted
// numbers of satisfied lines.
GroupFilterResult RunGroupFilter(std::string_view filterLines, std::string_view acceptedCounts);

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
AddFilterLineResult AddFilterLine(std::string_view filterLines, std::string_view candidate,
                                  std::string_view candidateCounts);

}  // namespace xuan5
