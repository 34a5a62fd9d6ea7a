// What the panels of the main window offer each other, wired once by Fmain. A panel reaches
// another only through these: values it reads (the plan settings, the line selection) and
// actions it asks for (show a base on the drawing panel, apply the staged draws).
#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "core/draw_history.h"
#include "plans/line_bases.h"
#include "plans/line_intersection.h"
#include "plans/plan_settings.h"
#include "plans/tolerance.h"

namespace xuan5::ui {

// What the monitor panel decides for the plans.
struct LineSelection {
    bool searchEveryPeriod = true;  // "每期算号", else "保持当前底"
    LineChecks checkedLines{};
    std::string lineTolerance;
    std::string checkedLineCount;
};

// What the plan reads of the backup strip along the bottom and writes on it.
struct BackupLink {
    std::function<bool()> joinTicked;         // "参与计划"
    std::function<BackupBasesInput()> input;  // the three boxes and their tolerance
    std::function<void(const BackupBasesOutput&)> showResult;
    // The plan's backup copy: the plan-mode result before the backup join.
    std::function<PlanBaseText()> planCopy;
    std::function<void(const QString& text, const QString& count)> setPlanCopy;
    // The progress display a running plan prints on.
    std::function<void(bool)> showProgress;
    std::function<void(const QString&)> printProgress;
};

struct PanelLinks {
    // "K" beside a base anywhere: the drawing panel shows the base in Tdadi and its curve.
    std::function<void(const QString& base)> showBase;
    // Stages a table of the shown region and applies it as a fetch's ("载入本地数据").
    std::function<void(const DrawTable&)> applyTable;

    // Read by the plans: the monitor's line selection and the drawing panel's bet counts.
    std::function<LineSelection()> lineSelection;
    std::function<LineSizeTexts()> lineSizes;
    // A line for the status line Tnew.
    std::function<void(const QString& text)> showStatus;
    // The plan settings as "开始计划" would read them now, for runs that plan without the panels.
    std::function<PlanSettings()> planSettings;
    // Puts settings into the panels that hold them, as if typed and ticked: the plan mode and
    // its texts, the line tolerance and line choice, the bet counts (of the active mode).
    std::function<void(const PlanSettings&)> applyPlanSettings;

    BackupLink backup;
    // "开始交集" has written its result: the plan follows it.
    std::function<void()> followBackupIntersection;

    // The 24 setting texts of the user settings, in record order, and writing one of them.
    std::function<std::vector<std::string>()> settingsFields;
    std::function<void(int index, const std::string& text)> setSettingsField;
};

}  // namespace xuan5::ui
