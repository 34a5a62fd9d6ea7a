// Applying a staged table of draws.
#pragma once

#include <string>
#include <vector>

#include "core/app_state.h"

namespace xuan5 {

inline constexpr std::string_view kMsgDrawsApplied = "已经开奖！";

struct ApplyOutcome {
    bool applied = false;               // false: nothing changed, show kMsgNoDrawData
    std::vector<std::string> drawList;  // "046:03,05,07,09,11", newest first
    std::string status;                 // for Tnew
    bool runAfterDrawPipeline = false;  // false on the first applied update
};

// Copies IncomingDraws into DrawHistory, counts the update and rebuilds the key series. A staged
// table without a single valid draw (nothing fetched yet) is not applied: it would wipe the
// history and judge the plan against nothing.
ApplyOutcome ApplyIncomingDraws(AppState& state);

// Whether a table holds at least one valid draw.
bool HoldsValidDraw(const DrawTable& table);

// The draw-list lines of a history table, newest first.
std::vector<std::string> DrawListLines(const DrawTable& history);

}  // namespace xuan5
