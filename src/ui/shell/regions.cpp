// Switching the shown region: each region keeps its own draws, staged table and records, and a
// region shown again takes its first table as a first load.
#include <QListWidget>
#include <QRadioButton>

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
    ShowDrawList(
        session.UpdateCount > 0 ? DrawListLines(session.DrawHistory) : std::vector<std::string>{},
        0);
    panels_.monitor->RedrawMonitorTable();
    panels_.plan->ShowRecords();
}

void Fmain::ShowDrawList(const std::vector<std::string>& lines, int newRows) {
    const int count = static_cast<int>(lines.size());
    drawList_->setUpdatesEnabled(false);
    if (drawList_->count() == count && newRows > 0 && newRows < count) {
        // New draws push the list down: only they are added, and as many of the oldest dropped;
        // the rows in between keep their items unless a correction changed their text.
        for (int k = 0; k < newRows; ++k) delete drawList_->takeItem(drawList_->count() - 1);
        for (int k = newRows - 1; k >= 0; --k) drawList_->insertItem(0, QString());
        for (int i = 0; i < count; ++i) {
            const QString text = QString::fromStdString(lines[static_cast<std::size_t>(i)]);
            if (drawList_->item(i)->text() != text) drawList_->item(i)->setText(text);
        }
    } else {
        drawList_->clear();
        for (const std::string& line : lines) drawList_->addItem(QString::fromStdString(line));
    }
    drawList_->setUpdatesEnabled(true);
}

std::string Fmain::WithListNote(const std::string& text) const {
    if (!listStale_) return text;
    const std::string region = RegionName(ctx_->session.RegionCode).toStdString();
    if (ctx_->session.UpdateCount == 0) return text + "（" + region + "尚无开奖数据）";
    return text + "（列表为" + region + "上次取得的开奖数据）";
}

}  // namespace xuan5::ui
