#include "backtest/overfitting.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace xuan5 {
namespace {

// Every candidate's sums over some blocks, kept apart so that a half is summed with one pass
// of additions over contiguous numbers.
struct HalfSums {
    std::vector<long long> totals;
    std::vector<long long> bets;
    std::vector<long long> spreads;

    explicit HalfSums(std::size_t candidates)
        : totals(candidates), bets(candidates), spreads(candidates) {}
    void Add(const HalfSums& other, std::size_t first, std::size_t count) {
        for (std::size_t c = 0; c < count; ++c) {
            totals[c] += other.totals[first + c];
            bets[c] += other.bets[first + c];
            spreads[c] += other.spreads[first + c];
        }
    }
    // What the blocks of `all` outside this half hold.
    HalfSums Rest(const HalfSums& all) const {
        HalfSums rest(totals.size());
        for (std::size_t c = 0; c < totals.size(); ++c) {
            rest.totals[c] = all.totals[c] - totals[c];
            rest.bets[c] = all.bets[c] - bets[c];
            rest.spreads[c] = all.spreads[c] - spreads[c];
        }
        return rest;
    }
};

Halving Judge(const HalfSums& training, const HalfSums& testing, OptimiserRank rank) {
    const std::size_t n = training.totals.size();
    Halving h;
    double best = 0;
    for (std::size_t c = 0; c < n; ++c) {
        const double score =
            SpanScore(rank, ChanceSums{training.bets[c], training.spreads[c]}, training.totals[c]);
        if (c == 0 || score > best) {
            best = score;
            h.winner = c;
        }
    }
    h.inSample = training.totals[h.winner];
    h.outOfSample = testing.totals[h.winner];
    std::size_t below = 0;
    std::size_t level = 0;
    for (long long total : testing.totals) {
        below += total < h.outOfSample ? 1 : 0;
        level += total == h.outOfSample ? 1 : 0;
    }
    const double rankFromBottom = static_cast<double>(below) + (static_cast<double>(level) + 1) / 2;
    h.relativeRank = rankFromBottom / static_cast<double>(n + 1);
    h.logit = std::log(h.relativeRank / (1 - h.relativeRank));
    return h;
}

}  // namespace

bool OverfittingBlocksFit(int blocks, std::size_t periods) {
    return blocks >= 2 && blocks <= kMaxOverfittingBlocks && blocks % 2 == 0 &&
           static_cast<std::size_t>(blocks) <= periods;
}

Result<Overfitting> OverfittingProbability(const CandidateOutcomes& outcomes, int blocks,
                                           OptimiserRank rank, std::atomic<bool>& cancel,
                                           int threads) {
    const std::size_t n = outcomes.candidates;
    if (!OverfittingBlocksFit(blocks, outcomes.periods) || n == 0) {
        return Fail({kMsgOverfittingBlocks, kTitleErrorNotice});
    }
    Overfitting result;
    result.blocks = blocks;
    result.rank = rank;
    const auto s = static_cast<std::size_t>(blocks);
    const std::size_t length = outcomes.periods / s;
    result.blockPeriods = static_cast<int>(length);
    result.leftOut = static_cast<int>(outcomes.periods % s);

    // Block b's sums of candidate c at [b * n + c].
    HalfSums perBlock(s * n);
    HalfSums all(n);
    for (std::size_t b = 0; b < s; ++b) {
        const std::size_t first = static_cast<std::size_t>(result.leftOut) + b * length;
        for (std::size_t p = first; p < first + length; ++p) {
            for (std::size_t c = 0; c < n; ++c) {
                const int size = outcomes.PlanSize(c, p);
                perBlock.totals[b * n + c] += PeriodProfit(outcomes.Hit(c, p), size);
                perBlock.bets[b * n + c] += size;
                perBlock.spreads[b * n + c] += static_cast<long long>(size) * (kBetCount - size);
            }
        }
        all.Add(perBlock, b * n, n);
    }

    // Each half holding the oldest block, with its mirror: every halving once.
    std::vector<std::uint32_t> halves;
    for (std::uint32_t mask = 1; mask < (std::uint32_t{1} << s); mask += 2) {
        if (std::popcount(mask) == blocks / 2) halves.push_back(mask);
    }
    result.halvings.resize(2 * halves.size());
    const Status ran = ParallelFor(halves.size(), ThreadCount(threads, halves.size()), cancel, {},
                                   [&](std::size_t i) {
                                       HalfSums half(n);
                                       for (std::size_t b = 0; b < s; ++b) {
                                           if ((halves[i] >> b) & 1) half.Add(perBlock, b * n, n);
                                       }
                                       const HalfSums mirror = half.Rest(all);
                                       result.halvings[2 * i] = Judge(half, mirror, rank);
                                       result.halvings[2 * i + 1] = Judge(mirror, half, rank);
                                       return true;
                                   });
    if (!ran) return ran.failure();

    std::size_t belowMedian = 0;
    std::size_t losses = 0;
    double meanIn = 0;
    double meanOut = 0;
    for (const Halving& h : result.halvings) {
        belowMedian += h.logit < 0 ? 1 : 0;
        losses += h.outOfSample < 0 ? 1 : 0;
        meanIn += static_cast<double>(h.inSample);
        meanOut += static_cast<double>(h.outOfSample);
    }
    const auto count = static_cast<double>(result.halvings.size());
    result.probability = static_cast<double>(belowMedian) / count;
    result.lossShare = static_cast<double>(losses) / count;
    meanIn /= count;
    meanOut /= count;
    result.meanOutOfSample = meanOut;
    double covariance = 0;
    double variance = 0;
    for (const Halving& h : result.halvings) {
        const double x = static_cast<double>(h.inSample) - meanIn;
        covariance += x * (static_cast<double>(h.outOfSample) - meanOut);
        variance += x * x;
    }
    result.slope = variance > 0 ? covariance / variance : 0;
    result.intercept = meanOut - result.slope * meanIn;
    return result;
}

std::string OverfittingText(const Overfitting& o, std::size_t candidates) {
    if (candidates < 2) return "只有1个候选，谈不上挑选，也就没有过拟合概率。";
    const int periods = o.blocks * o.blockPeriods + o.leftOut;
    std::string text = "过拟合概率 " + FixedText(100 * o.probability, 0) + "%：寻优的" +
                       std::to_string(periods) + "期分成" + std::to_string(o.blocks) + "块（每块" +
                       std::to_string(o.blockPeriods) + "期";
    if (o.leftOut > 0) text += "，最早" + std::to_string(o.leftOut) + "期不计";
    text += "），在" + std::to_string(o.halvings.size()) + "种一半训练、一半检验的分法中，训练期" +
            (o.rank == OptimiserRank::Z ? "按z值" : "按累计") + "最佳的设置有" +
            FixedText(100 * o.probability, 0) + "%在检验期落到全部" + std::to_string(candidates) +
            "个候选的中位数以下。接近50%：挑出来的只是贴合了运气；接近0：挑出来的在检验期也靠前。";
    text += "\n这些最佳设置在检验期平均累计 " + FixedText(o.meanOutOfSample, 0) + "，" +
            FixedText(100 * o.lossShare, 0) + "%的分法在检验期亏损。训练期与检验期累计的拟合斜率 " +
            FixedText(o.slope, 2) + "：训练期每多赢100，检验期平均" +
            (o.slope >= 0 ? "多赢 " : "少赢 ") + FixedText(100 * std::abs(o.slope), 0) +
            "（同一设置的两半合起来是它的总累计，单看它自己斜率就是-1）。";
    return text;
}

}  // namespace xuan5
