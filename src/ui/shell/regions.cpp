// Switching the shown region: each region keeps its own draws, staged table and records, and a
// region shown again takes its first table as a first load.
#include <QListWidget>
#include <QRadioButton>

#include "ui/backtest/archive_service.h"
#include "ui/monitor/monitor_panel.h"
#include "ui/plan/plan_panel.h"
#include "ui/shell/fmain.h"

namespace xuan5::ui {

void Fmain::SelectRegion(int index) {
    const int region = index + 1;
    if (region == ctx_->session.RegionCode) return;
    // A plan in progress reads the shown region's tables between its instances.
    if (pipelineRunning_ || panels_.plan->PlanRunning()) {
        pendingRegion_ = region;
        return;
    }
    ctx_->session.SwitchRegion(region);
    regions_[static_cast<std::size_t>(index)]->setChecked(true);
    listStale_ = true;
    ShowRegionBook();
    SetStatus(WithListNote("已切换到" + RegionName(region).toStdString() + "，正在获取开奖数据"));
    // As "手动更新" would; the answer to a fetch still out for the other region is not applied,
    // and this region's fetch follows it.
    if (fetchInFlight_) {
        refetchForRegion_ = true;
    } else {
        FetchDraws();
    }
}

void Fmain::ShowRegionBook() {
    const Session& session = ctx_->session;
    drawList_->setUpdatesEnabled(false);
    drawList_->clear();
    if (session.UpdateCount > 0) {
        for (const std::string& line : DrawListLines(session.DrawHistory)) {
            drawList_->addItem(QString::fromStdString(line));
        }
    }
    drawList_->setUpdatesEnabled(true);
    panels_.monitor->RedrawMonitorTable();
    panels_.plan->ShowRecords();
}

std::string Fmain::WithListNote(const std::string& text) const {
    if (!listStale_) return text;
    const std::string region = RegionName(ctx_->session.RegionCode).toStdString();
    if (ctx_->session.UpdateCount == 0) return text + "（" + region + "尚无开奖数据）";
    return text + "（列表为" + region + "上次取得的开奖数据）";
}

}  // namespace xuan5::ui
