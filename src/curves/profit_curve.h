// The profit curve of a base over the 120 periods of the history.
#pragma once

#include <string_view>

#include "core/tables.h"

namespace xuan5 {

inline constexpr int kStake = 2;    // per bet per period
inline constexpr int kPrize = 924;  // per period in which the base hits

// Number of bets a base text is staked as: the fields of the trimmed text split at single
// spaces (repeated spaces make empty fields, which count); an empty text has none.
int StakedBetCount(std::string_view baseText);

// The running profit after each period 1..120 (element 0 is 0). A period with no valid key
// (no draws loaded yet) never hits.
ProfitSeriesTable ComputeProfitSeries(std::string_view baseText, const DrawKeyTable& keys);

}  // namespace xuan5
