// Any response text: the parser either stages 120 valid rows or stages nothing.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/update_step.h"
#include "feed/feed_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace xuan5;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const FeedParse parse = ParseFeedResponse(text, DrawTable{});
    if (parse.staged) {
        const DrawTable& staged = *parse.staged;
        for (int r = 1; r <= kHistoryRows; ++r) {
            if (!IsValidPeriod(staged[r].period) || !IsValidDrawNumbers(staged[r].numbers)) {
                std::abort();
            }
        }
        // Against an empty history every staged table is new.
        if (!parse.hasNewDraws) std::abort();
        const Result<ApplyOutcome> applied = ApplyIncomingDraws(staged, 0, 0);
        if (!applied) std::abort();
        for (int i = 1; i <= kHistoryRows; ++i) {
            if (applied->DrawKeys[i] == 0) std::abort();
        }
    } else if (parse.status != kMsgNoFeedData || parse.hasNewDraws) {
        std::abort();
    }
    return 0;
}
