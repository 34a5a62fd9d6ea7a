#include "plans/plan_modes.h"

#include <exception>

#include "core/text.h"

namespace xuan5 {
namespace {

void SetPlan(PlanRunOutput& out, const PlanBaseText& plan) {
    out.plan.text = plan.text;
    out.plan.count = plan.count;
    // The backup copies follow every plan, so restoring them never brings back the plan of an
    // earlier run.
    out.backup.text = plan.text;
    out.backup.count = plan.count;
}

// Takes over what a line extraction produced; returns the line bases the plan intersects.
const LineTexts& KeepExtraction(PlanRunOutput& out, LineBasesOutput extracted,
                                const LineTexts& inForce) {
    out.messages.insert(out.messages.end(), extracted.notices.begin(), extracted.notices.end());
    if (!extracted.value) return inForce;
    out.LineBases = std::move(extracted.value);
    return *out.LineBases;
}

// X of two or more: every instance searches the fifteen line bases again and intersects them.
// The instances work on sets; only what stays visible afterwards is rendered. False when the
// progress callback stopped the run.
bool RunInstances(const PlanModeOneInput& input, const LineTexts& savedLines, int x,
                  std::string_view totalTolerance, const PlanTables& tables, std::mt19937_64& rng,
                  const ProgressFn& progress, PlanRunOutput& out) {
    const bool recompute = input.lines.searchEveryPeriod;
    PreparedLines lines;
    LineBaseSets bases;
    if (recompute) {
        lines = PrepareLines(savedLines);
        // The saved lines are the same in every instance, so a damaged one is reported once
        // per run rather than once per instance.
        out.messages.insert(out.messages.end(), lines.notices.begin(), lines.notices.end());
    } else {
        // Every instance would show the notice and keep the bases; the notice is shown once.
        out.messages.push_back({kMsgChooseRecompute, kTitleFriendlyNotice, Message::Kind::Notice});
        bases = LineBaseSetsFromTexts(tables.LineBases);
    }
    const AcceptedCounts accepted =
        AcceptedCountsFromText(input.selection.lineTolerance, kLineCount, HitCode::TwoDigit);
    const BetSet bankerPass = BankerPassSet(input.selection.banker);

    std::vector<BetSet> plans;
    plans.reserve(static_cast<std::size_t>(x));
    TrendLineTable line = tables.TrendLine;
    for (int i = 1; i <= x; ++i) {
        if (progress && !progress(InstanceProgressText(i, x))) return false;
        if (recompute) {
            bases = SearchLineBaseSets(lines, input.lines.lineSizes, line, tables.DrawKeys, rng);
        }
        plans.push_back(
            IntersectLineBaseSets(bases, input.selection.checkedLines, accepted, bankerPass));
    }
    std::vector<std::string> instances(static_cast<std::size_t>(x) + 1);
    for (int i = 1; i <= x; ++i) {
        instances[static_cast<std::size_t>(i)] =
            RenderBetSet(plans[static_cast<std::size_t>(i - 1)], kCrLf);
    }
    out.InstanceBases = std::move(instances);
    if (recompute) {
        LineTexts texts;
        for (int i = 0; i < kLineCount; ++i) texts[i] = RenderBetSet(bases[i], " ");
        out.LineBases = std::move(texts);
    }
    SetPlan(out, RenderPlanBase(IntersectInstanceBaseSets(plans, totalTolerance)));
    return true;
}

}  // namespace

std::string InstanceProgressText(int i, int x) {
    if (x <= 0) return "00.0%";
    // Tenths of a percent, rounded half up as the display format does.
    const long long tenths = (2000LL * i + x) / (2LL * x);
    return PadNumber(tenths / 10, 2) + "." + std::to_string(tenths % 10) + "%";
}

Result<PlanRunOutput> RunPlanModeOne(const PlanModeOneInput& input, const LineTexts& savedLines,
                                     const PlanTables& tables, std::mt19937_64& rng,
                                     const ProgressFn& progress) {
    PlanRunOutput out;
    const auto fail = [&out] {
        out.messages.push_back({kMsgPlanInputError, kTitleNotice});
        return Failure{std::move(out.messages)};
    };
    try {
        const std::optional<std::int32_t> x = ParseInteger32(input.instances);
        if (!x || *x > kMaxInstances) return fail();
        const std::string totalTolerance(TrimSpaces(input.instanceTolerance));

        if (*x < 2) {
            const LineTexts* bases = &tables.LineBases;
            if (input.lines.searchEveryPeriod) {
                bases = &KeepExtraction(out,
                                        ExtractLineBases(input.lines, savedLines, tables.TrendLine,
                                                         tables.DrawKeys, rng),
                                        tables.LineBases);
            }
            SetPlan(out, IntersectLineBases(input.selection, *bases));
        } else if (!RunInstances(input, savedLines, *x, totalTolerance, tables, rng, progress,
                                 out)) {
            return Failure{};
        }
        out.log = WritePendingRecord(input.log, out.plan.count, tables.DrawHistory, tables.log);
        return out;
    } catch (const std::exception&) {
        return fail();
    }
}

std::vector<int> GroupLineIndices(std::string_view group) {
    std::vector<int> indices;
    for (int n = 1; n <= kLineCount; ++n) {
        if (Contains(group, PadNumber(n, 2))) indices.push_back(n - 1);
    }
    return indices;
}

BetSet GroupedLinesPlan(const LineBaseSets& lineBases, const std::array<std::string, 3>& groups,
                        const std::array<std::string, 3>& groupTolerances,
                        std::string_view totalTolerance, const BetSet& bankerPass) {
    std::array<BetSet, 3> satisfied;
    for (int k = 0; k < 3; ++k) {
        HitCounts counts;
        for (const int i : GroupLineIndices(groups[k])) AddBase(counts, lineBases[i]);
        satisfied[k] = BetsWithAcceptedCount(
            counts, AcceptedCountsFromText(groupTolerances[k], counts.bases, HitCode::TwoDigit));
    }
    return ApplyToleranceRule(satisfied, totalTolerance, HitCode::TwoDigit) & bankerPass;
}

Result<PlanRunOutput> RunPlanModeTwo(const PlanModeTwoInput& input, const LineTexts& savedLines,
                                     const PlanTables& tables, std::mt19937_64& rng,
                                     const ProgressFn& progress) {
    PlanRunOutput out;
    if (progress && !progress(kWaitingProgress)) return Failure{};
    const LineTexts* bases = &tables.LineBases;
    if (input.lines.searchEveryPeriod) {
        bases = &KeepExtraction(
            out, ExtractLineBases(input.lines, savedLines, tables.TrendLine, tables.DrawKeys, rng),
            tables.LineBases);
    }
    const BetSet plan =
        GroupedLinesPlan(LineBaseSetsFromTexts(*bases), {input.group1, input.group2, input.group3},
                         {input.group1Tolerance, input.group2Tolerance, input.group3Tolerance},
                         input.groupTotalTolerance, BankerPassSet(input.banker));
    SetPlan(out, RenderPlanBase(plan));
    out.log = WritePendingRecord(input.log, out.plan.count, tables.DrawHistory, tables.log);
    return out;
}

}  // namespace xuan5
