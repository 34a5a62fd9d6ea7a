// The candidate settings of an optimiser run: what the user lets vary, the lists typed for it,
// and the settings drawn from those lists.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"
#include "core/tables.h"
#include "plans/line_bases.h"
#include "plans/plan_settings.h"

namespace xuan5 {

inline constexpr int kMaxOptimiserCandidates = 2000;
inline constexpr int kMaxOptimiserInstances = 50;
// Combinations are listed before they are drawn from; beyond this the lists are too long.
inline constexpr long long kMaxCandidateCombinations = 1'000'000;

// One candidate: the texts an optimiser run varies, as the controls hold them. Mode one reads
// the line tolerance, the line choice, X and the total; mode two the group tolerances and its
// total; both the bet counts.
struct OptimiserCandidate {
    LineSizeTexts lineSizes = DefaultLineSizes();
    std::string lineTolerance;
    LineChecks checkedLines{};
    std::string instances;
    std::string instanceTolerance;
    std::array<std::string, 3> groupTolerances;  // groups 1..3
    std::string groupTotalTolerance;
    friend bool operator==(const OptimiserCandidate&, const OptimiserCandidate&) = default;
};

// The candidate the settings hold now; the bet counts are those of the active mode.
OptimiserCandidate CurrentCandidate(const PlanSettings& settings);

// The settings with the candidate's texts in place. The bet counts go to both modes: the window
// has one set of them.
PlanSettings WithCandidate(PlanSettings settings, const OptimiserCandidate& candidate);

// The choices of every setting that may vary; an empty list keeps the settings' own value.
struct OptimiserSpace {
    std::vector<LineSizeTexts> betCounts;
    std::vector<std::string> lineTolerances;
    std::vector<LineChecks> lineChoices;
    std::vector<int> instanceCounts;
    std::vector<std::string> instanceTolerances;
    std::vector<std::string> groupTolerances;  // each of the three groups picks on its own
    std::vector<std::string> groupTotals;
};

// The list boxes. Items are separated by spaces, line breaks, "|" or ";"; repeated items count
// once. A tolerance item is a text of digits and dots, or "a-b" for the two-digit codes a to b
// joined by dots ("03-05" is "03.04.05"). A line item names lines 1..15 joined by "." or ",",
// each a number or a range ("01-05.11-15"). A count item is a number or a range of numbers
// within [low, high]; `what` names the list in the message of a bad item.
Result<std::vector<std::string>> ParseToleranceChoices(std::string_view text);
Result<std::vector<LineChecks>> ParseLineChoices(std::string_view text);
Result<std::vector<int>> ParseCountChoices(std::string_view text, int low, int high,
                                           std::string_view what);

// The candidates of a run over the active mode's settings: the current ones first, then every
// combination of the lists in a fixed order or, when there are more than `maxCandidates - 1`,
// that many drawn with `seed`. Left out: a combination whose instance total accepts no count up
// to X (its plans would all be empty), a second one differing only in the total when X < 2
// (that mode never reads it), and one equal to the current settings. Fails when the lists make
// more than kMaxCandidateCombinations combinations.
Result<std::vector<OptimiserCandidate>> BuildCandidates(const PlanSettings& settings,
                                                        const OptimiserSpace& space,
                                                        int maxCandidates, std::uint64_t seed);

// A short text of a candidate for the tables, with codes and lines as ranges where they run on:
// "容对03-10 线01-15 X5 总05 注230".
std::string DescribeCandidate(const OptimiserCandidate& candidate, bool modeTwo);

// The lists of a run, one "caption items" text each, in the order of OptimiserSpace; ranges
// where codes and lines run on: "线路容对 02-08 03-10".
std::vector<std::string> DescribeSpace(const OptimiserSpace& space);

// Each line's bet count: "各230注" when they agree, else every line's ("01线230 02线200 …").
std::string BetCountsText(const LineSizeTexts& sizes);

}  // namespace xuan5
