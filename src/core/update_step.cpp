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

ApplyOutcome ApplyIncomingDraws(AppState& state) {
    ApplyOutcome outcome;
    if (!HoldsValidDraw(state.IncomingDraws)) return outcome;
    for (int r = 1; r <= kHistoryRows; ++r) state.DrawHistory[r] = state.IncomingDraws[r];
    outcome.applied = true;
    outcome.drawList = DrawListLines(state.DrawHistory);
    outcome.status = std::string(kMsgDrawsApplied);
    ++state.UpdateCount;
    state.DrawSeries = BuildDrawSeries(state.DrawHistory);
    state.DrawKeys = DrawKeysFromSeries(state.DrawSeries);
    if (state.HistoryLoaded <= 0) {
        state.HistoryLoaded = 1;
        return outcome;
    }
    outcome.runAfterDrawPipeline = true;
    return outcome;
}

}  // namespace xuan5
