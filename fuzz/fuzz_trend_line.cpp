// Any saved-line text: parsing is all or nothing, and a parsed line saves and reads back alike.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "curves/trend_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace xuan5;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    TrendLineTable line{};
    for (int i = 0; i <= kTrendColumns; ++i) line[i] = 7 * i - 300;
    const TrendLineTable before = line;
    if (ParseTrendLine(text, line)) {
        if (line != before) std::abort();
        return 0;
    }
    for (int i = 121; i <= kTrendColumns; ++i) {
        if (line[i] != before[i]) std::abort();
    }
    TrendLineTable back{};
    if (ParseTrendLine(SerializeTrendLine(line), back)) std::abort();
    for (int i = 1; i <= kHistoryRows; ++i) {
        if (back[i] != line[i]) std::abort();
    }
    return 0;
}
