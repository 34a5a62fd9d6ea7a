#include "ui/shell/session.h"

#include <utility>

namespace xuan5::ui {

void Session::Keep(const ApplyOutcome& applied) {
    DrawHistory = applied.DrawHistory;
    DrawSeries = applied.DrawSeries;
    DrawKeys = applied.DrawKeys;
    UpdateCount = applied.UpdateCount;
    HistoryLoaded = applied.HistoryLoaded;
}

void Session::Keep(const PlanRunOutput& run) {
    if (run.LineBases) LineBases = *run.LineBases;
    if (run.InstanceBases) InstanceBases = *run.InstanceBases;
}

void Session::SwitchRegion(int region) {
    if (region == RegionCode || region < 1 || region > kRegionCount) return;
    RegionBook& shown = *this;
    parked_[static_cast<std::size_t>(RegionCode)] = std::move(shown);
    shown = std::move(parked_[static_cast<std::size_t>(region)]);
    parked_[static_cast<std::size_t>(region)] = RegionBook{};
    RegionCode = region;
    HistoryLoaded = 0;
}

}  // namespace xuan5::ui
