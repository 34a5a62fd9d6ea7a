// Manual draw entry: the proposed line and the confirm checks.
#pragma once

#include <string>
#include <string_view>

#include "core/draw_history.h"
#include "core/result.h"

namespace xuan5 {

inline constexpr const char* kMsgEntryFormat = "格式错误";
inline constexpr const char* kMsgEntryPeriod = "期号错误";
inline constexpr const char* kMsgEntryNumbers = "开奖号错误";

// An example line for the next period after DrawHistory row 1: "046-01,02,03,04,05". The
// entry box shows it as its placeholder only: a box filled with an invented draw is one Enter
// away from entering it.
std::string ProposeEntryLine(const DrawTable& history);

// Trims, requires a "-", removes every character outside "0123456789-,", splits at "-" and
// checks a three-digit period and five distinct numbers 01..11 as NN,NN,NN,NN,NN.
Result<DrawRecord> CheckManualEntry(std::string_view line);

// The staged table of a typed draw: the history pushed down one row with the draw on top (the
// former row 120 drops out).
DrawTable StageTypedDraw(const DrawTable& history, const DrawRecord& draw);

}  // namespace xuan5
