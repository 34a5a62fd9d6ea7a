#include "backtest/chance.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/bets.h"
#include "core/tables.h"
#include "curves/profit_curve.h"

namespace xuan5 {

void ChanceSums::Add(int planSize) {
    bets += planSize;
    spread += static_cast<long long>(planSize) * (kBetCount - planSize);
}

void ChanceSums::Remove(int planSize) {
    bets -= planSize;
    spread -= static_cast<long long>(planSize) * (kBetCount - planSize);
}

double ChanceSums::Mean() const {
    // Per period: 924 * s/462 - 2s.
    return static_cast<double>(kPrize) * static_cast<double>(bets) / kBetCount -
           static_cast<double>(kStake) * static_cast<double>(bets);
}

double ChanceSums::Variance() const {
    // Per period: 924² * p * (1 - p) with p = s/462.
    const double prize = kPrize;
    return prize * prize * static_cast<double>(spread) / (double(kBetCount) * kBetCount);
}

ChanceBand JudgeTotal(const ChanceSums& sums, long long total) {
    ChanceBand band;
    band.expected = sums.Mean();
    band.spread = std::sqrt(std::max(sums.Variance(), 0.0));
    // Plans of no bet or of every bet leave nothing to chance: the total is the expected one.
    if (band.spread > 0) band.z = (static_cast<double>(total) - band.expected) / band.spread;
    if (band.z > kChanceBandWidth) band.verdict = ChanceVerdict::Above;
    if (band.z < -kChanceBandWidth) band.verdict = ChanceVerdict::Below;
    return band;
}

ChanceBand ChanceOfTotal(const std::vector<int>& planSizes, long long total) {
    ChanceSums sums;
    for (int size : planSizes) sums.Add(size);
    return JudgeTotal(sums, total);
}

std::vector<BandPoint> RunningChanceBand(const std::vector<int>& planSizes) {
    std::vector<BandPoint> band;
    band.reserve(planSizes.size());
    ChanceSums sums;
    for (int size : planSizes) {
        sums.Add(size);
        const ChanceBand now = JudgeTotal(sums, 0);
        band.push_back({now.Low(), now.High()});
    }
    return band;
}

std::string FixedText(double value, int decimals) {
    // A rounded zero prints without its sign.
    const double scale = std::pow(10.0, decimals);
    if (std::round(value * scale) == 0) value = 0;
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return error == std::errc() ? std::string(buffer, end) : std::string("?");
}

std::string ChanceText(const ChanceBand& band, long long total) {
    std::string text = "机会：期望 " + FixedText(band.expected, 0) + "　标准差 " +
                       FixedText(band.spread, 0) + "　±2σ " + FixedText(band.Low(), 0) + " 至 " +
                       FixedText(band.High(), 0) + "　z = " + FixedText(band.z, 2) + "\n";
    const std::string head = "累计 " + std::to_string(total);
    if (band.spread <= 0) return text + head + "：每期计划为0注或全部462注，结果与运气无关。";
    const std::string z = "（z = " + FixedText(band.z, 2) + "）";
    switch (band.verdict) {
        case ChanceVerdict::Above:
            return text + head + "，高于机会范围" + z +
                   "：单凭运气少见；但若是从许多设置中挑出来的，仍可能只是运气。";
        case ChanceVerdict::Below:
            return text + head + "，低于机会范围" + z + "：比随机选同样多的注还差。";
        case ChanceVerdict::Within:
            break;
    }
    return text + head + "，在机会范围之内" + z + "：随机选同样多的注，也常有这样的结果。";
}

std::string SeedsChanceText(const std::vector<long long>& totals,
                            const std::vector<ChanceBand>& bands) {
    if (totals.empty() || totals.size() != bands.size()) return {};
    int above = 0;
    int below = 0;
    double spread = 0;
    for (std::size_t i = 0; i < bands.size(); ++i) {
        if (bands[i].verdict == ChanceVerdict::Above) ++above;
        if (bands[i].verdict == ChanceVerdict::Below) ++below;
        spread += bands[i].spread;
    }
    spread /= static_cast<double>(bands.size());
    const int within = static_cast<int>(totals.size()) - above - below;
    return "机会范围 ±2σ 约 ±" + FixedText(kChanceBandWidth * spread, 0) + "：" +
           std::to_string(totals.size()) + "个种子中" + std::to_string(above) + "个高于、" +
           std::to_string(below) + "个低于，" + std::to_string(within) + "个在范围之内。";
}

std::string ShortRunNote(int asked, int tested, int held) {
    if (tested >= asked) return {};
    return "本地存档只有" + std::to_string(held) + "期，每期回测要用它之前的" +
           std::to_string(kHistoryRows) + "期，所以只回测了" + std::to_string(tested) + "期（要求" +
           std::to_string(asked) + "期）。请先“下载历史”至少" +
           std::to_string(asked + kHistoryRows) + "期。";
}

}  // namespace xuan5
