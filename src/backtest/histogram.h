// Counts of values in equal bins, for the pictures of the optimiser's checks.
#pragma once

#include <optional>
#include <vector>

namespace xuan5 {

struct Histogram {
    double low = 0;   // the lower edge of the first bin
    double high = 0;  // the upper edge of the last
    std::vector<int> counts;
};

// `bins` equal bins over the values and `include` (the real result shown beside them), the
// highest value in the last bin. One value alone, or all equal, gets a bin of width 1 around it.
Histogram MakeHistogram(const std::vector<double>& values, int bins,
                        std::optional<double> include = std::nullopt);

}  // namespace xuan5
