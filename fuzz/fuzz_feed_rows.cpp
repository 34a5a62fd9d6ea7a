// Any feed answer: the dated rows archived from it are valid draws among its first 120 lines,
// and the service's writing of those rows reads back as the same rows.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/dated_draw.h"
#include "core/draw_history.h"
#include "protocol/endpoints.h"
#include "protocol/feed_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace xuan5;
    const std::string_view response(reinterpret_cast<const char*>(data), size);
    const std::vector<DatedDraw> rows = DatedFeedRows(response);
    const auto lines = FeedPayloadLines(response);
    if (!lines && !rows.empty()) std::abort();
    if (rows.size() > static_cast<std::size_t>(kFeedLength)) std::abort();
    if (lines && rows.size() > lines->size()) std::abort();
    std::vector<std::string> written;
    for (const DatedDraw& row : rows) {
        const auto day = ParseDrawDate(row.date);
        if (!day || DrawDateText(*day) != row.date || !IsValidPeriod(row.period) ||
            !IsValidDrawNumbers(row.numbers)) {
            std::abort();
        }
        const std::string line = FeedLineText(row);
        if (FeedLineDate(line) != row.date) std::abort();
        written.push_back(line);
    }
    if (DatedFeedRows(FeedAnswerText(written, "")) != rows) std::abort();
    return 0;
}
