// Any saved-line text: parsing is all or nothing, and a parsed line saves and reads back alike.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "curves/trend_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace xuan5;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    TrendLineTable before{};
    for (int i = 0; i <= kTrendColumns; ++i) before[i] = 7 * i - 300;
    const Result<TrendLineTable> line = ParseTrendLine(text, before);
    if (!line) {
        if (line.messages().size() != 1) std::abort();
        return 0;
    }
    for (int i : {0, 121, kTrendColumns}) {
        if ((*line)[i] != before[i]) std::abort();
    }
    const Result<TrendLineTable> back = ParseTrendLine(SerializeTrendLine(*line));
    if (!back) std::abort();
    for (int i = 1; i <= kHistoryRows; ++i) {
        if ((*back)[i] != (*line)[i]) std::abort();
    }
    return 0;
}
