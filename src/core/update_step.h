// The update step: a staged table of draws becomes the history, with its key series rebuilt.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/draw_history.h"
#include "core/result.h"

namespace xuan5 {

inline constexpr std::string_view kMsgDrawsApplied = "已经开奖！";

// The history as the update step leaves it, and what the window shows of it.
struct ApplyOutcome {
    DrawTable DrawHistory{};
    DrawSeriesTable DrawSeries{};
    DrawKeyTable DrawKeys{};
    std::int32_t UpdateCount = 0;
    std::int32_t HistoryLoaded = 0;
    std::vector<std::string> drawList;  // "046:03,05,07,09,11", newest first
    std::string status;                 // for Tnew
    bool runAfterDrawPipeline = false;  // false on the first applied update
};

// Copies the staged table into the history, counts the update and rebuilds the key series. A
// staged table without a single valid draw (nothing fetched yet) is not applied: it would wipe
// the history and judge the plan against nothing; the failure says "没有开奖数据".
Result<ApplyOutcome> ApplyIncomingDraws(const DrawTable& incoming, std::int32_t updateCount,
                                        std::int32_t historyLoaded);

// Whether a table holds at least one valid draw.
bool HoldsValidDraw(const DrawTable& table);

// The draw-list lines of a history table, newest first.
std::vector<std::string> DrawListLines(const DrawTable& history);

}  // namespace xuan5
