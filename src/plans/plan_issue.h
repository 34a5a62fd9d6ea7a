// A whole plan as the plan panel issues it: the active mode's run, the backup join, and what the
// plan's record will be judged with. The window's background regions and the back-test issue
// their plans through it, with the settings the panel holds.
#pragma once

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/result.h"
#include "plans/plan_modes.h"
#include "plans/plan_settings.h"
#include "plans/plan_settlement.h"

namespace xuan5 {

struct IssuedPlan {
    std::vector<Message> notices;  // the mode's notices, in order
    PlanBaseText plan;             // after the backup join
    PlanBaseText modePlan;         // before it: the plan's backup copy
    std::optional<LineTexts> lineBases;
    std::optional<std::vector<std::string>> instanceBases;  // 0..X, element 0 empty
    RecordBasis basis;
};

// Fails as the active mode does when it refuses its input.
Result<IssuedPlan> MakePlan(const PlanSettings& settings, const LineTexts& savedLines,
                            const PlanTables& tables, std::mt19937_64& rng,
                            const ProgressFn& progress = {});

}  // namespace xuan5
