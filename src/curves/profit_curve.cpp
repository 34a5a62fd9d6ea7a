#include "curves/profit_curve.h"

#include "core/bets.h"
#include "core/text.h"

namespace xuan5 {

int StakedBetCount(std::string_view baseText) {
    const std::string_view trimmed = TrimSpaces(baseText);
    if (trimmed.empty()) return 0;
    int fields = 1;
    for (char ch : trimmed) fields += ch == ' ';
    return fields;
}

ProfitSeriesTable ComputeProfitSeries(std::string_view baseText, const DrawKeyTable& keys) {
    const std::string_view trimmed = TrimSpaces(baseText);
    const int stake = kStake * StakedBetCount(trimmed);
    const BetSet base = BetSetFromText(trimmed);
    ProfitSeriesTable series{};
    for (int i = 1; i <= kHistoryRows; ++i) {
        const bool hit = keys[i] != 0 && base.Test(keys[i]);
        series[i] = series[i - 1] + (hit ? kPrize : 0) - stake;
    }
    return series;
}

}  // namespace xuan5
