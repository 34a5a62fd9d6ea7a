#include "backtest/histogram.h"

#include <algorithm>
#include <cmath>

namespace xuan5 {

Histogram MakeHistogram(const std::vector<double>& values, int bins,
                        std::optional<double> include) {
    Histogram h;
    if (bins < 1 || (values.empty() && !include)) return h;
    h.low = include ? *include : values.front();
    h.high = h.low;
    for (double v : values) {
        h.low = std::min(h.low, v);
        h.high = std::max(h.high, v);
    }
    if (h.high == h.low) {
        h.low -= 0.5;
        h.high += 0.5;
    }
    h.counts.assign(static_cast<std::size_t>(bins), 0);
    const double width = (h.high - h.low) / bins;
    for (double v : values) {
        const auto bin = static_cast<int>(std::floor((v - h.low) / width));
        ++h.counts[static_cast<std::size_t>(std::clamp(bin, 0, bins - 1))];
    }
    return h;
}

}  // namespace xuan5
