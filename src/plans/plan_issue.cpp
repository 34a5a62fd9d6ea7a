#include "plans/plan_issue.h"

#include "plans/monitor.h"

namespace xuan5 {

Result<IssuedPlan> MakePlan(const PlanSettings& settings, const LineTexts& savedLines,
                            const PlanTables& tables, std::mt19937_64& rng,
                            const ProgressFn& progress) {
    const bool modeTwo = settings.Check_jh_dadi_fenzu;
    Result<PlanRunOutput> run =
        modeTwo ? RunPlanModeTwo(settings.modeTwo, savedLines, tables, rng, progress)
                : RunPlanModeOne(settings.modeOne, savedLines, tables, rng, progress);
    if (!run) return run.failure();
    IssuedPlan issued;
    issued.notices = std::move(run->messages);
    issued.modePlan = {run->T_jihua_jj_dadi_by, run->T_jihua_jj_dadi_zhushu_by};
    issued.plan = {std::move(run->T_jihua_jj_dadi), std::move(run->T_jihua_jj_dadi_zhushu)};
    issued.lineBases = std::move(run->LineBases);
    issued.instanceBases = std::move(run->InstanceBases);

    JoinBackupInput join = settings.backup;
    join.T_jihua_jj_dadi = issued.plan.text;
    const PlanLogInput& logInput = modeTwo ? settings.modeTwo.log : settings.modeOne.log;
    if (JoinBackupOutput joined =
            JoinBackupIntoPlan(join, logInput, tables.DrawHistory, tables.log);
        joined.plan) {
        issued.plan = std::move(*joined.plan);
    }

    const LineIntersectionInput& selection = settings.modeOne.selection;
    ResultRecordInput record;
    record.T_jihua_jj_dadi = issued.plan.text;
    record.T_jihua_jj_dadi_zhushu = issued.plan.count;
    record.Check_jh_dadi_fenzu = modeTwo;
    record.T_jh_dadi_chongfu_cs = settings.modeOne.T_jh_dadi_chongfu_cs;
    record.Ch_jiankong_jj = selection.Ch_jiankong_jj;
    record.T_jiankong_15di_geshu = CountSelectedLines(selection.Ch_jiankong_jj);
    static const std::vector<std::string> kNoInstances;
    issued.basis = MakeRecordBasis(record, issued.lineBases ? *issued.lineBases : tables.LineBases,
                                   issued.instanceBases ? *issued.instanceBases : kNoInstances);
    return issued;
}

}  // namespace xuan5
