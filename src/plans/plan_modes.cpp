#include "plans/plan_modes.h"

#include <exception>

#include "core/text.h"

namespace xuan5 {
namespace {

void SetPlan(PlanRunOutput& out, const PlanBaseText& plan, bool withBackup) {
    out.T_jihua_jj_dadi = plan.text;
    out.T_jihua_jj_dadi_zhushu = plan.count;
    if (withBackup) {
        out.T_jihua_jj_dadi_by = plan.text;
        out.T_jihua_jj_dadi_zhushu_by = plan.count;
    }
}

void Append(std::vector<Message>& to, const std::vector<Message>& from) {
    to.insert(to.end(), from.begin(), from.end());
}

void ShowLineSearch(PlanRunOutput& out, const LineBasesOutput& extracted) {
    Append(out.messages, extracted.messages);
    if (extracted.Tdadi) out.Tdadi = extracted.Tdadi;
    if (extracted.T_sj_zhushu) out.T_sj_zhushu = extracted.T_sj_zhushu;
}

// X of two or more: every instance searches the fifteen line bases again and intersects them.
// The instances work on sets; only what stays visible afterwards is rendered. False when the
// progress callback stopped the run; nothing has been written then.
bool RunInstances(const PlanModeOneInput& input, const LineTexts& savedLines, int x,
                  std::string_view totalTolerance, AppState& state, std::mt19937_64& rng,
                  const ProgressFn& progress, PlanRunOutput& out) {
    const bool recompute = input.lines.Op_jiankong_zihui;
    PreparedLines lines;
    LineBaseSets bases;
    if (recompute) {
        lines = PrepareLines(savedLines);
        // The saved lines are the same in every instance, so a damaged one is reported once
        // per run rather than once per instance.
        for (const auto& message : lines.messages) {
            if (message) out.messages.push_back(*message);
        }
    } else {
        // Every instance would show the notice and keep the bases; the notice is shown once.
        out.messages.push_back({kMsgChooseRecompute, kTitleFriendlyNotice});
        bases = LineBaseSetsFromTexts(state.LineBases);
    }
    const AcceptedCounts accepted =
        AcceptedCountsFromText(input.selection.T_jiankong_rc, kLineCount, HitCode::TwoDigit);
    const BetSet bankerPass = BankerPassSet(input.selection.banker);

    std::vector<BetSet> plans;
    plans.reserve(static_cast<std::size_t>(x));
    int lastCount = 0;
    // The searches change TrendLine and ProfitSeries as they go; a stopped run puts them back.
    const TrendLineTable trendLine = state.TrendLine;
    const ProfitSeriesTable profitSeries = state.ProfitSeries;
    for (int i = 1; i <= x; ++i) {
        if (progress && !progress(InstanceProgressText(i, x))) {
            state.TrendLine = trendLine;
            state.ProfitSeries = profitSeries;
            return false;
        }
        if (recompute) {
            LineBaseSearch search =
                SearchLineBaseSets(lines, input.lines.T_quxian_zhushu, state, rng);
            bases = search.bases;
            lastCount = search.last.actualCount;
        }
        plans.push_back(
            IntersectLineBaseSets(bases, input.selection.Ch_jiankong_jj, accepted, bankerPass));
    }
    state.InstanceBases.assign(static_cast<std::size_t>(x) + 1, std::string());
    for (int i = 1; i <= x; ++i) {
        state.InstanceBases[static_cast<std::size_t>(i)] =
            RenderBetSet(plans[static_cast<std::size_t>(i - 1)], kCrLf);
    }
    if (recompute) {
        for (int i = 0; i < kLineCount; ++i) state.LineBases[i] = RenderBetSet(bases[i], " ");
        out.Tdadi = state.LineBases[kLineCount - 1];
        out.T_sj_zhushu = std::to_string(lastCount);
    }
    SetPlan(out, RenderPlanBase(IntersectInstanceBaseSets(plans, totalTolerance)), true);
    return true;
}

}  // namespace

std::string InstanceProgressText(int i, int x) {
    if (x <= 0) return "00.0%";
    // Tenths of a percent, rounded half up as the display format does.
    const long long tenths = (2000LL * i + x) / (2LL * x);
    return PadNumber(tenths / 10, 2) + "." + std::to_string(tenths % 10) + "%";
}

PlanRunOutput RunPlanModeOne(const PlanModeOneInput& input, const LineTexts& savedLines,
                             AppState& state, std::mt19937_64& rng, const ProgressFn& progress) {
    PlanRunOutput out;
    const auto fail = [&out] {
        out.status = PlanRunStatus::InputError;
        out.messages.push_back({kMsgPlanInputError, kTitlePlanInputError});
        return out;
    };
    try {
        const std::optional<std::int32_t> x = ParseInteger32(input.T_jh_dadi_chongfu_cs);
        if (!x || *x > kMaxInstances) return fail();
        const std::string totalTolerance(TrimSpaces(input.T_jh_dadi_chongfu_rc));

        if (*x < 2) {
            if (input.lines.Op_jiankong_zihui) {
                ShowLineSearch(out, ExtractLineBases(input.lines, savedLines, state, rng));
            }
            // The backup copies follow this plan too, so restoring them never brings back the
            // plan of an earlier run.
            SetPlan(out, IntersectLineBases(input.selection, state.LineBases), true);
        } else if (!RunInstances(input, savedLines, *x, totalTolerance, state, rng, progress,
                                 out)) {
            PlanRunOutput cancelled;
            cancelled.status = PlanRunStatus::Cancelled;
            return cancelled;
        }
        out.log = WritePendingRecord(input.log, *out.T_jihua_jj_dadi_zhushu, state);
        return out;
    } catch (const std::exception&) {
        return fail();
    }
}

BetSet GroupedLinesPlan(const LineBaseSets& lineBases, const std::array<std::string, 3>& groups,
                        const std::array<std::string, 3>& groupTolerances,
                        std::string_view totalTolerance, const BetSet& bankerPass) {
    std::array<BetSet, 3> satisfied;
    for (int k = 0; k < 3; ++k) {
        HitCounts counts;
        for (int n = 1; n <= kLineCount; ++n) {
            if (Contains(groups[k], PadNumber(n, 2))) AddBase(counts, lineBases[n - 1]);
        }
        satisfied[k] = BetsWithAcceptedCount(
            counts, AcceptedCountsFromText(groupTolerances[k], counts.bases, HitCode::TwoDigit));
    }
    return ApplyToleranceRule(satisfied, totalTolerance, HitCode::TwoDigit) & bankerPass;
}

PlanRunOutput RunPlanModeTwo(const PlanModeTwoInput& input, const LineTexts& savedLines,
                             AppState& state, std::mt19937_64& rng, const ProgressFn& progress) {
    PlanRunOutput out;
    if (progress && !progress(kWaitingProgress)) {
        out.status = PlanRunStatus::Cancelled;
        return out;
    }
    if (input.lines.Op_jiankong_zihui) {
        ShowLineSearch(out, ExtractLineBases(input.lines, savedLines, state, rng));
    }
    const BetSet plan = GroupedLinesPlan(
        LineBaseSetsFromTexts(state.LineBases),
        {input.T_jh_dadi_fenzu_01, input.T_jh_dadi_fenzu_02, input.T_jh_dadi_fenzu_03},
        {input.T_jh_dadi_fenzu_01_rc, input.T_jh_dadi_fenzu_02_rc, input.T_jh_dadi_fenzu_03_rc},
        input.T_jh_dadi_fenzu_rc, BankerPassSet(input.banker));
    SetPlan(out, RenderPlanBase(plan), true);
    out.log = WritePendingRecord(input.log, *out.T_jihua_jj_dadi_zhushu, state);
    return out;
}

}  // namespace xuan5
