// The plan settings of the window as one value: what "开始计划" reads from the panels, so that a
// batch run (the back-test) takes the same settings without looking at any control.
#pragma once

#include <array>
#include <string>

#include "plans/plan_modes.h"
#include "plans/tolerance.h"

namespace xuan5 {

struct PlanSettings {
    bool useModeTwo = false;  // plan mode two; otherwise plan mode one
    PlanModeOneInput modeOne;
    PlanModeTwoInput modeTwo;
    // The backup join; its plan is the plan base of the run it follows.
    JoinBackupInput backup;
    std::array<std::string, 2> resultWords{"中中中", "一会中"};  // words of settled records
};

}  // namespace xuan5
