#include "plans/plan_issue.h"

#include "plans/monitor.h"

namespace xuan5 {

Result<IssuedPlan> MakePlan(const PlanSettings& settings, const LineTexts& savedLines,
                            const PlanTables& tables, std::mt19937_64& rng,
                            const ProgressFn& progress) {
    const bool modeTwo = settings.useModeTwo;
    Result<PlanRunOutput> run =
        modeTwo ? RunPlanModeTwo(settings.modeTwo, savedLines, tables, rng, progress)
                : RunPlanModeOne(settings.modeOne, savedLines, tables, rng, progress);
    if (!run) return run.failure();
    IssuedPlan issued;
    issued.notices = std::move(run->messages);
    issued.modePlan = {run->backup.text, run->backup.count};
    issued.plan = {std::move(run->plan.text), std::move(run->plan.count)};
    issued.lineBases = std::move(run->LineBases);
    issued.instanceBases = std::move(run->InstanceBases);

    JoinBackupInput join = settings.backup;
    join.plan.text = issued.plan.text;
    const PlanLogInput& logInput = modeTwo ? settings.modeTwo.log : settings.modeOne.log;
    if (JoinBackupOutput joined =
            JoinBackupIntoPlan(join, logInput, tables.DrawHistory, tables.log);
        joined.plan) {
        issued.plan = std::move(*joined.plan);
    }

    const LineIntersectionInput& selection = settings.modeOne.selection;
    ResultRecordInput record;
    record.plan.text = issued.plan.text;
    record.plan.count = issued.plan.count;
    record.useModeTwo = modeTwo;
    record.instances = settings.modeOne.instances;
    record.checkedLines = selection.checkedLines;
    record.checkedLineCount = CountSelectedLines(selection.checkedLines);
    static const std::vector<std::string> kNoInstances;
    issued.basis = MakeRecordBasis(record, issued.lineBases ? *issued.lineBases : tables.LineBases,
                                   issued.instanceBases ? *issued.instanceBases : kNoInstances);
    return issued;
}

}  // namespace xuan5
