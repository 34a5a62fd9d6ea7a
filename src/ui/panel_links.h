// The typed links between the panels of the main window. Fmain fills them once, after it has
// built every panel; a panel that presses another panel's button calls that panel's handler
// through them.
#pragma once

#include <functional>

namespace xuan5::ui {

class BackupStrip;
class BacktestPanel;
class DrawPanel;
class MonitorPanel;
class PlanPanel;
class SortPanel;

struct PanelLinks {
    DrawPanel* draw = nullptr;          // panel 0, "画线"
    MonitorPanel* monitor = nullptr;    // panel 1, "监控"
    PlanPanel* plan = nullptr;          // panel 2, "计划"
    SortPanel* sort = nullptr;          // panel 3, "断组"
    BacktestPanel* backtest = nullptr;  // panel 4, "回测"
    BackupStrip* backup = nullptr;      // the strip along the bottom
    // The panel buttons C_sst_0(i) of the main window.
    std::function<void(int)> showPanel;
    // Command1 of the main window: applies the staged table IncomingDraws as a fetch does.
    std::function<void()> applyDraws;
};

}  // namespace xuan5::ui
