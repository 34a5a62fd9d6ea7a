#include "backtest/null_search.h"

#include <optional>

#include "core/bets.h"
#include "core/random.h"

namespace xuan5 {
namespace {

// "有37%" of the example sentence, or "没有一次" when none did.
std::string ShareText(double share) {
    return share > 0 ? "有" + FixedText(100 * share, 0) + "%" : "没有一次";
}

}  // namespace

SearchFigures FiguresOfSearch(const OptimiserResult& result) {
    SearchFigures figures;
    figures.outOfSample = result.outOfSample.total;
    if (!result.folds.empty() && !result.folds.back().picks.empty())
        figures.bestZ = result.folds.back().picks.front().inSample.chance.z;
    return figures;
}

std::uint64_t NullRunSeed(std::uint64_t seed, int run) {
    // Apart from the plan generators' seeds, which mix the same seed with a period's name.
    std::uint64_t state = SplitMix64(seed) ^ 0x6E756C6C2D72756Eull;  // "null-run"
    state += static_cast<std::uint64_t>(run);
    return SplitMix64(state);
}

std::vector<DatedDraw> FairArchive(const std::vector<DatedDraw>& archive, std::uint64_t seed) {
    std::vector<DatedDraw> fair = archive;
    std::uint64_t state = seed;
    for (DatedDraw& draw : fair) {
        draw.numbers = BetText(static_cast<int>(UniformBelow(state, kBetCount)) + 1);
    }
    return fair;
}

Result<std::vector<SearchFigures>> RunNullSearches(
    const std::vector<DatedDraw>& archive, const BacktestSettings& settings,
    const std::vector<OptimiserCandidate>& candidates, const OptimiserOptions& options, int runs,
    std::atomic<bool>& cancel, const BacktestProgressFn& progress) {
    const auto count = static_cast<std::size_t>(std::max(runs, 0));
    std::vector<SearchFigures> figures(count);
    std::vector<std::optional<Failure>> refusals(count);
    // A run per thread rather than a run's periods over the threads: no run waits for another's
    // slowest period. Nobody reads the probability of overfitting of a fair archive.
    OptimiserOptions one = options;
    one.threads = 1;
    one.blocks = 0;
    const Status ran = ParallelFor(
        count, ThreadCount(options.threads, count), cancel, progress, [&](std::size_t k) {
            const Result<OptimiserResult> result =
                RunOptimiser(FairArchive(archive, NullRunSeed(options.seed, static_cast<int>(k))),
                             settings, candidates, one, cancel);
            if (!result) {
                refusals[k] = result.failure();
                return false;
            }
            figures[k] = FiguresOfSearch(*result);
            return true;
        });
    if (!ran && !ran.Cancelled()) return ran.failure();
    for (const auto& refusal : refusals) {
        if (refusal && !refusal->messages.empty()) return *refusal;
    }
    if (!ran) return ran.failure();
    return figures;
}

NullStanding StandingAmong(const SearchFigures& real, const std::vector<SearchFigures>& null) {
    NullStanding standing;
    standing.runs = static_cast<int>(null.size());
    if (null.empty()) return standing;
    int better = 0;
    int higher = 0;
    for (const SearchFigures& run : null) {
        better += run.outOfSample > real.outOfSample ? 1 : 0;
        higher += run.bestZ > real.bestZ ? 1 : 0;
    }
    standing.betterOutOfSample = static_cast<double>(better) / standing.runs;
    standing.higherZ = static_cast<double>(higher) / standing.runs;
    return standing;
}

std::string NullVerdict(const SearchFigures& real, const NullStanding& standing) {
    if (standing.runs == 0) return {};
    const std::string runs = std::to_string(standing.runs);
    std::string text = "在" + runs + "次纯随机开奖上，同样的寻优" +
                       ShareText(standing.betterOutOfSample) + "得到更好的样本外结果（本次累计 " +
                       std::to_string(real.outOfSample) + "），" + ShareText(standing.higherZ) +
                       "在最近的训练期挑出 z 更高的设置（本次 z = " + FixedText(real.bestZ, 2) +
                       "）。";
    // One in twenty: the usual line, stated so the user can weigh it.
    text += standing.betterOutOfSample <= 0.05
                ? "样本外结果好过95%以上的纯随机寻优：可能真有用，期数有限，请用更多数据再检验。"
                : "这样的样本外结果，对纯随机开奖做同样的寻优也常能得到：它可以用运气解释。";
    if (standing.higherZ > 0.05) text += "训练期的 z 在纯随机开奖上也常见，单看它会高估这个设置。";
    return text;
}

}  // namespace xuan5
