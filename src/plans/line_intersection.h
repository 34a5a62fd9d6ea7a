// Plans as the bets on which enough line bases, or enough instance plans, agree.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/bets.h"
#include "core/tables.h"
#include "plans/tolerance.h"

namespace xuan5 {

inline constexpr const char* kDefaultLineTolerance = "03.04.05.06.07.08.09.10";

using LineBaseSets = std::array<BetSet, kLineCount>;

struct LineIntersectionInput {
    std::string lineTolerance = kDefaultLineTolerance;
    LineChecks checkedLines{true, true, true, true, true, true, true, true,
                            true, true, true, true, true, true, true};
    BankerSettings banker;
};

// The plan base (its bets and their count) of the checked line bases.
PlanBaseText IntersectLineBases(const LineIntersectionInput& input, const LineTexts& lineBases);

// The same over line bases already held as sets, with the tolerance and the banker filter read
// beforehand, for runs that intersect many times.
BetSet IntersectLineBaseSets(const LineBaseSets& lineBases, const LineChecks& checked,
                             const AcceptedCounts& accepted, const BetSet& bankerPass);

LineBaseSets LineBaseSetsFromTexts(const LineTexts& lineBases);

struct InstanceIntersectionOutput {
    PlanBaseText plan;
    PlanBaseText backup;  // the plan's backup copy
};

// The plan base of instance plans 1..x (entries past the table's end hold no bet), written to
// the plan and to its backup copies. No banker filter applies here.
InstanceIntersectionOutput IntersectInstanceBases(int x, std::string_view tolerance,
                                                  const std::vector<std::string>& instanceBases);

// The same over instance plans held as sets.
BetSet IntersectInstanceBaseSets(std::span<const BetSet> instancePlans, std::string_view tolerance);

}  // namespace xuan5
