// Manual draw entry: the proposed line and the confirm checks.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/app_state.h"
#include "core/messages.h"

namespace xuan5 {

inline constexpr const char* kTitleEntryError = "出错";
inline constexpr const char* kMsgEntryFormat = "格式错误";
inline constexpr const char* kMsgEntryPeriod = "期号错误";
inline constexpr const char* kMsgEntryNumbers = "开奖号错误";

// The next period after DrawHistory row 1 followed by "-01,02,03,04,08" ("046-01,02,03,04,08").
std::string ProposeEntryLine(const DrawTable& history);

struct EntryCheck {
    std::optional<DrawRecord> draw;  // set when the line is accepted
    Message error;                   // set when it is not
};

// Trims, requires a "-", removes every character outside "0123456789-,", splits at "-" and
// checks a three-digit period and five distinct numbers 01..11 as NN,NN,NN,NN,NN.
EntryCheck CheckManualEntry(std::string_view line);

// Stages a typed draw: IncomingDraws becomes DrawHistory pushed down one row with the draw on
// top (the former row 120 drops out).
void StageTypedDraw(AppState& state, const DrawRecord& draw);

}  // namespace xuan5
