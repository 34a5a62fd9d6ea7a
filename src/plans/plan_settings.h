// The plan settings of the window as one value: what "开始计划" reads from the panels, so that a
// batch run (the back-test) takes the same settings without looking at any control.
#pragma once

#include <array>
#include <string>

#include "plans/plan_modes.h"
#include "plans/tolerance.h"

namespace xuan5 {

struct PlanSettings {
    bool Check_jh_dadi_fenzu = false;  // plan mode two; otherwise plan mode one
    PlanModeOneInput modeOne;
    PlanModeTwoInput modeTwo;
    // The backup join; its T_jihua_jj_dadi is the plan base of the run it follows.
    JoinBackupInput backup;
    std::array<std::string, 2> T_zdy_yongyu{"中中中", "一会中"};  // words of settled records
};

}  // namespace xuan5
