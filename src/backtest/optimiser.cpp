#include "backtest/optimiser.h"

#include <algorithm>
#include <numeric>

#include "backtest/backtest_stats.h"
#include "protocol/draw_csv.h"

namespace xuan5 {
namespace {

// A candidate's sums over a span, kept as whole numbers so that a span rolled forward by adding
// its new periods and taking away its old ones gives exactly what summing it afresh gives.
struct Sums {
    int periods = 0;
    int hits = 0;
    long long total = 0;
    ChanceSums chance;

    void Add(const CandidateOutcomes& o, std::size_t c, std::size_t p, int sign) {
        const int size = o.PlanSize(c, p);
        const bool hit = o.Hit(c, p);
        periods += sign;
        hits += sign * (hit ? 1 : 0);
        total += sign * PeriodProfit(hit, size);
        if (sign > 0) {
            chance.Add(size);
        } else {
            chance.Remove(size);
        }
    }
    SpanFigures Figures() const { return {periods, hits, total, JudgeTotal(chance, total)}; }
};

}  // namespace

SpanFigures FiguresOver(const CandidateOutcomes& outcomes, std::size_t candidate, std::size_t first,
                        std::size_t count) {
    Sums sums;
    for (std::size_t p = first; p < first + count; ++p) sums.Add(outcomes, candidate, p, 1);
    return sums.Figures();
}

OptimiserResult WalkForward(const CandidateOutcomes& outcomes, const OptimiserOptions& options) {
    OptimiserResult result;
    const std::size_t n = outcomes.periods;
    const std::size_t count = outcomes.candidates;
    const auto training = static_cast<std::size_t>(options.training);
    const auto testing = static_cast<std::size_t>(options.testing);
    const std::size_t best = std::min(static_cast<std::size_t>(std::max(options.best, 1)), count);
    if (count == 0 || training == 0 || testing == 0 || training > n) return result;

    // Every training span, each followed by its test span, then the last one ending at the
    // newest period.
    for (std::size_t start = 0; start + training < n; start += testing) {
        const std::size_t testFirst = start + training;
        result.folds.push_back(
            {start, training, testFirst, std::min(testing, n - testFirst), {}, {}, {}});
    }
    result.folds.push_back({n - training, training, n, 0, {}, {}, {}});

    std::vector<Sums> window(count);
    std::size_t windowFirst = 0;
    for (std::size_t c = 0; c < count; ++c) {
        for (std::size_t p = 0; p < training; ++p) window[c].Add(outcomes, c, p, 1);
    }
    std::vector<std::size_t> order(count);
    Sums winners;
    double inSampleZ = 0;
    int tested = 0;
    for (Fold& fold : result.folds) {
        // Roll the training window forward to this fold's span.
        while (windowFirst < fold.trainFirst) {
            for (std::size_t c = 0; c < count; ++c) {
                window[c].Add(outcomes, c, windowFirst, -1);
                window[c].Add(outcomes, c, windowFirst + training, 1);
            }
            ++windowFirst;
        }
        std::vector<double> score(count);
        for (std::size_t c = 0; c < count; ++c) {
            score[c] = SpanScore(options.rank, window[c].chance, window[c].total);
        }
        std::iota(order.begin(), order.end(), std::size_t{0});
        // Ties go to the earlier candidate, so the current settings win a tie.
        std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(best),
                          order.end(), [&](std::size_t a, std::size_t b) {
                              return score[a] != score[b] ? score[a] > score[b] : a < b;
                          });
        for (std::size_t k = 0; k < best; ++k) {
            FoldPick pick{order[k], window[order[k]].Figures(), std::nullopt};
            if (fold.testCount > 0) {
                pick.outOfSample = FiguresOver(outcomes, order[k], fold.testFirst, fold.testCount);
            }
            fold.picks.push_back(pick);
        }
        if (fold.testCount == 0) continue;
        const FoldPick& winner = fold.picks.front();
        inSampleZ += winner.inSample.chance.z;
        ++tested;
        for (std::size_t p = fold.testFirst; p < fold.testFirst + fold.testCount; ++p) {
            winners.Add(outcomes, winner.candidate, p, 1);
            result.outOfSampleTotals.push_back(winners.total);
            const ChanceBand band = JudgeTotal(winners.chance, 0);
            result.outOfSampleBand.push_back({band.Low(), band.High()});
        }
    }
    result.outOfSample = winners.Figures();
    result.inSampleZ = tested > 0 ? inSampleZ / tested : 0;
    result.verdict = OptimiserVerdict(result.outOfSample, tested, result.inSampleZ);
    return result;
}

std::string OptimiserVerdict(const SpanFigures& outOfSample, int folds, double inSampleZ) {
    const ChanceBand& band = outOfSample.chance;
    std::string text =
        "样本外共" + std::to_string(folds) + "段" + std::to_string(outOfSample.periods) +
        "期，每段用它之前训练期的最佳设置：累计 " + std::to_string(outOfSample.total) +
        "，机会范围 " + FixedText(band.Low(), 0) + " 至 " + FixedText(band.High(), 0) +
        "（z = " + FixedText(band.z, 2) + "）。";
    if (band.spread <= 0) return text + "各期计划为0注或全部462注，结果与运气无关。";
    switch (band.verdict) {
        case ChanceVerdict::Above:
            return text +
                   "样本内的赢家在样本外高于机会范围，可能真有用；期数有限，请用更多数据再检验。";
        case ChanceVerdict::Below:
            return text + "样本内的赢家在样本外低于机会范围，比随机选同样多的注还差。";
        case ChanceVerdict::Within:
            break;
    }
    text += "样本内的赢家在样本外没有胜过运气";
    if (inSampleZ > kChanceBandWidth) {
        text += "：它们在训练期平均 z = " + FixedText(inSampleZ, 2) +
                "，这份好成绩没有延续，多半只是贴合了过去";
    }
    return text + "。";
}

Result<OptimiserResult> RunOptimiser(const std::vector<DatedDraw>& archive,
                                     const BacktestSettings& settings,
                                     const std::vector<OptimiserCandidate>& candidates,
                                     const OptimiserOptions& options, std::atomic<bool>& cancel,
                                     const BacktestProgressFn& progress) {
    if (options.training < 1 || options.testing < 1 ||
        options.periods < options.training + options.testing) {
        return Fail({kMsgOptimiserSpans, kTitleErrorNotice});
    }
    const Result<TestedSpan> span = TestedPeriods(archive, options.periods);
    if (!span) return span.failure();
    const auto needed = static_cast<std::size_t>(options.training + options.testing);
    if (span->count < needed) {
        return Fail({"本地存档只够寻优" + std::to_string(span->count) + "期（每期要用它之前的" +
                         std::to_string(kHistoryRows) + "期），训练" +
                         std::to_string(options.training) + "期加检验" +
                         std::to_string(options.testing) + "期需要" + std::to_string(needed) +
                         "期。" + kMsgDownloadHistoryFirst,
                     kTitleErrorNotice, Message::Kind::NotFound});
    }
    if (options.blocks != 0 && !OverfittingBlocksFit(options.blocks, span->count)) {
        return Fail({kMsgOverfittingBlocks, kTitleErrorNotice});
    }
    const BacktestOptions runOptions{options.periods, options.seed, options.threads};
    Result<CandidateRuns> runs =
        RunCandidates(archive, settings, candidates, runOptions, cancel, progress);
    if (!runs) return runs.failure();
    OptimiserResult result = WalkForward(runs->outcomes, options);
    if (options.blocks != 0) {
        Result<Overfitting> overfitting = OverfittingProbability(
            runs->outcomes, options.blocks, options.rank, cancel, options.threads);
        if (!overfitting) return overfitting.failure();
        result.overfitting = std::move(*overfitting);
    }
    result.notices = std::move(runs->notices);
    const std::size_t first = runs->outcomes.firstArchive;
    for (Fold& fold : result.folds) {
        const std::size_t last = fold.testCount > 0 ? fold.testFirst + fold.testCount
                                                    : fold.trainFirst + fold.trainCount;
        fold.from = PeriodLabel(archive[first + fold.trainFirst]);
        fold.to = PeriodLabel(archive[first + last - 1]);
    }
    return result;
}

}  // namespace xuan5
