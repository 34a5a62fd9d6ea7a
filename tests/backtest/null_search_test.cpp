#include "backtest/null_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "core/draw_history.h"
#include "core/text.h"
#include "plans/plan_fixture.h"

namespace xuan5 {
namespace {

// 150 draws, 42 a day: fair ones from `seed`, or the same five numbers every period.
std::vector<DatedDraw> Archive(std::uint64_t seed, bool stuck) {
    std::mt19937_64 rng(seed);
    std::vector<DatedDraw> draws;
    auto day = *ParseDrawDate("2026-03-01");
    for (int i = 0; i < 150; ++i) {
        if (i > 0 && i % 42 == 0) day += std::chrono::days(1);
        draws.push_back({DrawDateText(day), PadNumber(i % 42 + 1, 3),
                         stuck ? "03,07,01,09,11" : testing::RandomDrawNumbers(rng)});
    }
    return draws;
}

// One instance per plan, so that fifty searches stay quick. Eleven of the fifteen shaped lines
// start above 0 and take a number drawn every period into their bases: the tolerance 10-12
// holds it, the others never do.
struct Search {
    BacktestSettings settings;
    std::vector<OptimiserCandidate> candidates;
    OptimiserOptions options{30, 20, 5, 1, OptimiserRank::Z, 5, 2, 0};

    Search() {
        settings.savedLines = testing::ShapedSavedLines();
        settings.modeOne.instances = "1";
        for (const char* tolerance : {"01.02.03", "13.14.15", "10.11.12", "04.05.06"}) {
            candidates.push_back(CurrentCandidate(settings));
            candidates.back().lineTolerance = tolerance;
        }
    }
    SearchFigures Real(const std::vector<DatedDraw>& archive) const {
        std::atomic<bool> cancel{false};
        return FiguresOfSearch(*RunOptimiser(archive, settings, candidates, options, cancel));
    }
};

TEST(NullSearch, FairArchivesKeepTheirPeriodsAndAreSeeded) {
    const std::vector<DatedDraw> real = Archive(1, true);
    const std::vector<DatedDraw> fair = FairArchive(real, 8);
    ASSERT_EQ(fair.size(), real.size());
    std::vector<int> seen(kBetCount + 1, 0);
    for (std::size_t i = 0; i < fair.size(); ++i) {
        EXPECT_EQ(fair[i].date, real[i].date);
        EXPECT_EQ(fair[i].period, real[i].period);
        ASSERT_TRUE(IsValidDrawNumbers(fair[i].numbers)) << fair[i].numbers;
        ++seen[DrawKeyOf(fair[i].numbers)];
    }
    EXPECT_LE(*std::max_element(seen.begin(), seen.end()), 4);  // nothing stuck
    EXPECT_EQ(FairArchive(real, 8), fair);
    EXPECT_NE(FairArchive(real, 9), fair);
    EXPECT_NE(NullRunSeed(5, 0), NullRunSeed(5, 1));
    EXPECT_NE(NullRunSeed(5, 0), NullRunSeed(6, 0));
}

// The tolerance 10-12 is planted with an edge by an archive that draws the same numbers every
// period. Pure noise: 24 fair archives (seeds 101..124) against forty null runs; each
// one's share of better null runs should land anywhere, so at least one of them at most 0.25
// and one at least 0.75, and their mean within 0.5 ± 0.15.
TEST(NullSearch, PlantedEdgeBeatsEveryNullRunAndNoiseLandsAnywhere) {
    const Search search;
    std::atomic<bool> cancel{false};
    const std::vector<DatedDraw> stuck = Archive(1, true);
    const Result<std::vector<SearchFigures>> null =
        RunNullSearches(stuck, search.settings, search.candidates, search.options, 40, cancel);
    ASSERT_TRUE(null.ok());
    ASSERT_EQ(null->size(), 40u);
    // Each null run is the real search on its own fair archive.
    const Search again;
    EXPECT_EQ((*null)[3], again.Real(FairArchive(stuck, NullRunSeed(5, 3))));

    const SearchFigures planted = search.Real(stuck);
    const NullStanding edge = StandingAmong(planted, *null);
    EXPECT_EQ(edge.runs, 40);
    EXPECT_EQ(edge.betterOutOfSample, 0);
    EXPECT_EQ(edge.higherZ, 0);
    EXPECT_NE(NullVerdict(planted, edge).find("同样的寻优没有一次得到更好的样本外结果"),
              std::string::npos);

    double lowest = 1;
    double highest = 0;
    double mean = 0;
    for (std::uint64_t seed = 101; seed <= 124; ++seed) {
        const double share =
            StandingAmong(search.Real(Archive(seed, false)), *null).betterOutOfSample;
        lowest = std::min(lowest, share);
        highest = std::max(highest, share);
        mean += share / 24;
    }
    EXPECT_LE(lowest, 0.25);
    EXPECT_GE(highest, 0.75);
    EXPECT_NEAR(mean, 0.5, 0.15);

    cancel = true;
    EXPECT_TRUE(
        RunNullSearches(stuck, search.settings, search.candidates, search.options, 4, cancel)
            .Cancelled());
}

}  // namespace
}  // namespace xuan5
