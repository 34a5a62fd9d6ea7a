// Applying a staged table of draws.
#pragma once

#include <string>
#include <vector>

#include "core/app_state.h"

namespace xuan5 {

inline constexpr std::string_view kMsgDrawsApplied = "已经开奖！";

struct ApplyOutcome {
    std::vector<std::string> drawList;  // "046:03,05,07,09,11", newest first
    std::string status;                 // for Tnew
    bool runAfterDrawPipeline = false;  // false on the first applied update
};

// Copies IncomingDraws into DrawHistory, counts the update and rebuilds the key series.
ApplyOutcome ApplyIncomingDraws(AppState& state);

// The draw-list lines of a history table, newest first.
std::vector<std::string> DrawListLines(const DrawTable& history);

}  // namespace xuan5
