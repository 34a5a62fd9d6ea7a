#include "core/update_step.h"

namespace xuan5 {

std::vector<std::string> DrawListLines(const DrawTable& history) {
    std::vector<std::string> lines;
    lines.reserve(kHistoryRows);
    for (int r = 1; r <= kHistoryRows; ++r) {
        lines.push_back(history[r].period + ":" + history[r].numbers);
    }
    return lines;
}

bool HoldsValidDraw(const DrawTable& table) {
    for (int r = 1; r <= kHistoryRows; ++r) {
        if (IsValidPeriod(table[r].period) && IsValidDrawNumbers(table[r].numbers)) return true;
    }
    return false;
}

Result<ApplyOutcome> ApplyIncomingDraws(const DrawTable& incoming, std::int32_t updateCount,
                                        std::int32_t historyLoaded) {
    if (!HoldsValidDraw(incoming))
        return Fail({kMsgNoDrawData, kTitleErrorNotice, Message::Kind::NotFound});
    ApplyOutcome outcome;
    for (int r = 1; r <= kHistoryRows; ++r) outcome.DrawHistory[r] = incoming[r];
    outcome.drawList = DrawListLines(outcome.DrawHistory);
    outcome.status = std::string(kMsgDrawsApplied);
    outcome.UpdateCount = updateCount + 1;
    outcome.DrawSeries = BuildDrawSeries(outcome.DrawHistory);
    outcome.DrawKeys = DrawKeysFromSeries(outcome.DrawSeries);
    outcome.HistoryLoaded = historyLoaded;
    if (historyLoaded <= 0) {
        outcome.HistoryLoaded = 1;
        return outcome;
    }
    outcome.runAfterDrawPipeline = true;
    return outcome;
}

}  // namespace xuan5
