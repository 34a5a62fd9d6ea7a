#include "plans/line_intersection.h"

#include <algorithm>

namespace xuan5 {

LineBaseSets LineBaseSetsFromTexts(const LineTexts& lineBases) {
    LineBaseSets sets;
    for (int i = 0; i < kLineCount; ++i) sets[i] = BetSetFromText(lineBases[i]);
    return sets;
}

BetSet IntersectLineBaseSets(const LineBaseSets& lineBases, const LineChecks& checked,
                             const AcceptedCounts& accepted, const BetSet& bankerPass) {
    HitCounts counts;
    for (int i = 0; i < kLineCount; ++i) {
        if (checked[i]) AddBase(counts, lineBases[i]);
    }
    return BetsWithAcceptedCount(counts, accepted) & bankerPass;
}

PlanBaseText IntersectLineBases(const LineIntersectionInput& input, const LineTexts& lineBases) {
    const AcceptedCounts accepted =
        AcceptedCountsFromText(input.lineTolerance, kLineCount, HitCode::TwoDigit);
    return RenderPlanBase(IntersectLineBaseSets(LineBaseSetsFromTexts(lineBases),
                                                input.checkedLines, accepted,
                                                BankerPassSet(input.banker)));
}

BetSet IntersectInstanceBaseSets(std::span<const BetSet> instancePlans,
                                 std::string_view tolerance) {
    return ApplyToleranceRule(instancePlans, tolerance, HitCode::TwoDigit);
}

InstanceIntersectionOutput IntersectInstanceBases(int x, std::string_view tolerance,
                                                  const std::vector<std::string>& instanceBases) {
    // Entries past the end of the table hold no bet, so they never raise a count.
    const long long available = static_cast<long long>(instanceBases.size()) - 1;
    const int last = static_cast<int>(std::clamp<long long>(x, 0, std::max(0LL, available)));
    std::vector<BetSet> plans;
    plans.reserve(static_cast<std::size_t>(last));
    for (int i = 1; i <= last; ++i) plans.push_back(BetSetFromText(instanceBases[i]));
    const PlanBaseText plan = RenderPlanBase(IntersectInstanceBaseSets(plans, tolerance));
    return {plan, plan};
}

}  // namespace xuan5
