// The two plan modes: many simulated instances intersected (mode one), and lines split into
// groups with a tolerance per group and a total one (mode two).
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/result.h"
#include "core/tables.h"
#include "plans/line_bases.h"
#include "plans/line_intersection.h"
#include "plans/plan_log.h"
#include "plans/tolerance.h"

namespace xuan5 {

inline constexpr const char* kMsgPlanInputError = "输入数据有误，请检查格式。";
inline constexpr const char* kWaitingProgress = "等待";
// A larger count holds the window for minutes and can exhaust memory.
inline constexpr int kMaxInstances = 10000;

// Called with each progress text; the window prints it and processes its pending events. It
// returns false to stop the run (the window is closing): the run then fails without messages.
using ProgressFn = std::function<bool(const std::string& progressText)>;

// What a plan run reads besides its settings: the window's tables, or a batch run's own.
struct PlanTables {
    const DrawTable& DrawHistory;
    const DrawKeyTable& DrawKeys;
    const LineTexts& LineBases;       // the small bases in force, kept under "保持当前底"
    const TrendLineTable& TrendLine;  // read only: a damaged saved line is searched on a copy
    const PlanLog& log;
};

// What a plan run produces. The plan's texts are always set; the tables it leaves are set when
// the run recomputed them, and the caller decides which to keep. Nothing of the drawing panel
// (its line, its curve, its base) is among them: a plan searches on lines of its own.
struct PlanRunOutput {
    std::vector<Message> messages;  // notices to show in this order
    PlanBaseText plan;
    PlanBaseText backup;                     // the plan's backup copy
    std::optional<PendingRecordOutput> log;  // the pending record, while planning automatically
    std::optional<LineTexts> LineBases;
    std::optional<std::vector<std::string>> InstanceBases;  // 0..X, element 0 empty
};

struct PlanModeOneInput {
    std::string instances = "5";           // X, the simulated instances
    std::string instanceTolerance = "05";  // total tolerance over the instances
    LineBasesInput lines;                  // search every period, line sizes
    LineIntersectionInput selection;       // line tolerance, checked lines, banker filter
    PlanLogInput log;
};

// The progress of instance i of x: at least two integer digits, one decimal, "%".
std::string InstanceProgressText(int i, int x);

// Builds X instance plans from line bases freshly searched over `savedLines` (or one plan when
// X < 2) and intersects them under the total tolerance. The caller reloads the saved lines from
// the curve store first. Calls `progress` once per instance. Fails with kMsgPlanInputError (after
// the notices shown so far) when X is no count of instances.
Result<PlanRunOutput> RunPlanModeOne(const PlanModeOneInput& input, const LineTexts& savedLines,
                                     const PlanTables& tables, std::mt19937_64& rng,
                                     const ProgressFn& progress = {});

struct PlanModeTwoInput {
    std::string group1 = "01.02.03.04.05";
    std::string group2 = "06.07.08.09.10";
    std::string group3 = "11.12.13.14.15";
    std::string group1Tolerance = "01.02.03.04";
    std::string group2Tolerance = "01.02.03.04";
    std::string group3Tolerance = "01.02.03.04";
    std::string groupTotalTolerance = "03";  // total: accepted numbers of satisfied groups
    LineBasesInput lines;
    BankerSettings banker;
    PlanLogInput log;
};

// The indices 0..14 of the lines in a group text: line n belongs to it when its two-digit number
// occurs in the text.
std::vector<int> GroupLineIndices(std::string_view group);

// The bets of the grouped-lines rule over line bases held as sets, the groups as above.
BetSet GroupedLinesPlan(const LineBaseSets& lineBases, const std::array<std::string, 3>& groups,
                        const std::array<std::string, 3>& groupTolerances,
                        std::string_view totalTolerance, const BetSet& bankerPass);

// Shows "等待", recomputes the line bases when "每期算号" is selected, and writes the grouped
// plan and its backup copies. The line check boxes play no part.
Result<PlanRunOutput> RunPlanModeTwo(const PlanModeTwoInput& input, const LineTexts& savedLines,
                                     const PlanTables& tables, std::mt19937_64& rng,
                                     const ProgressFn& progress = {});

}  // namespace xuan5
