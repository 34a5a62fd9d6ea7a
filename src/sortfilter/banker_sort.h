// Banker-number sort: ranks 01..11 by how often they were drawn in a short window of recent
// periods, cuts the ranking into groups by a decomposition mode ("3-3-5") and shows how each of
// the last 20 draws fell on the grouping that was known before it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/draw_history.h"
#include "core/result.h"

namespace xuan5 {

inline constexpr int kSortVerifiedPeriods = 20;
inline constexpr int kSortMaxWindow = 50;

inline constexpr const char* kMsgSortWindowTooLong = "期数不能超过50";
inline constexpr const char* kMsgSortModeFormat = "分解模式输入格式错误";
inline constexpr const char* kMsgSortModeValue = "分解模式输入数值错误";
inline constexpr const char* kMsgSortFailed = "排序输入格式有误，请检查格式。";

// The sort lines, oldest verified period first, the coming period last. A failure refuses the
// run before the list is touched, and the list keeps the lines it had; otherwise the list takes
// the lines built, and a failure part-way is a notice beside the lines built before it.
using BankerSortResult = Result<Outcome<std::vector<std::string>>>;

// Builds the 21 sort lines from the history rows 1..70 and the window length and grouping mode as
// typed.
//
// History rows that are empty or malformed never fail the run: a position whose two characters
// do not read as a number 1..11 counts for no number, and an empty position hits no group, so
// a verified line of an empty row shows only zero flags.
BankerSortResult RefreshBankerSort(const DrawTable& history, std::string_view windowLength,
                                   std::string_view groupingMode);

// A sort line's grouping text (between the first and the second full-width colon, or to the
// end when there is only one). nullopt, when the line holds no full-width colon, is no failure:
// such a line has no grouping to take, and clicking it does nothing.
std::optional<std::string> GroupingFromSortLine(std::string_view line);

// The window length after "-" (step -1) or "+" (step +1): nullopt when the button does nothing
// (not above 1, or not below 49: a limit reached, not a failure), else the new text; the sort is
// refreshed after a change.
// A text that is no number reads as 0, so "+" turns it into "1".
std::optional<std::string> StepWindowLength(std::string_view windowLength, int step);

// The two characters of a draw text at the 1-based position (shorter or empty near the end).
std::string_view DrawNumberAt(std::string_view numbers, int position);

// The number 1..11 a position text reads as, 0 when it reads as anything else.
int DrawNumberValue(std::string_view text);

}  // namespace xuan5
