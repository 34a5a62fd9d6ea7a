// How far chance alone moves a total. A plan of s bets holds a random draw with probability
// p = s/462; its period then brings +924 - 2s with probability p and -2s otherwise, so the
// period's expected profit is 924p - 2s (zero under this prize) and its variance 924²·p·(1-p).
// Periods are independent: a total's mean and variance are the sums over its periods.
#pragma once

#include <string>
#include <vector>

namespace xuan5 {

// The band is the expected total plus and minus this many standard deviations.
inline constexpr double kChanceBandWidth = 2;

enum class ChanceVerdict { Within, Above, Below };

// What a total's mean and variance under chance are made of, summed period by period in whole
// numbers, so that spans can be added and taken away without rounding.
struct ChanceSums {
    long long bets = 0;    // the plan sizes s
    long long spread = 0;  // s * (462 - s)
    void Add(int planSize);
    void Remove(int planSize);
    double Mean() const;
    double Variance() const;
};

struct ChanceBand {
    double expected = 0;  // the total chance alone gives on average
    double spread = 0;    // the standard deviation of that total
    double z = 0;         // (total - expected) / spread; 0 when nothing is left to chance
    ChanceVerdict verdict = ChanceVerdict::Within;
    double Low() const { return expected - kChanceBandWidth * spread; }
    double High() const { return expected + kChanceBandWidth * spread; }
};

ChanceBand JudgeTotal(const ChanceSums& sums, long long total);

// The band of a run's total over periods with these plan sizes (oldest first).
ChanceBand ChanceOfTotal(const std::vector<int>& planSizes, long long total);

// The band of the running total after each period, for the chart.
struct BandPoint {
    double low = 0;
    double high = 0;
};
std::vector<BandPoint> RunningChanceBand(const std::vector<int>& planSizes);

// A number as the summaries print it: fixed, with `decimals` digits after the point, whatever
// the locale of the process.
std::string FixedText(double value, int decimals);

// "机会：期望 … 标准差 … ±2σ … z …" and, on a second line, the plain sentence on where the total
// falls.
std::string ChanceText(const ChanceBand& band, long long total);

// "多次": where the totals of the seeds fall against their own bands.
std::string SeedsChanceText(const std::vector<long long>& totals,
                            const std::vector<ChanceBand>& bands);

// What a run tested when the archive held fewer periods than asked; empty when it tested all.
// `held` is the number of draws the archive holds.
std::string ShortRunNote(int asked, int tested, int held);

}  // namespace xuan5
