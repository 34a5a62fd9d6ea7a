// Any response text: the parser either stages 120 valid rows or leaves the staged table as it was.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/update_step.h"
#include "feed/feed_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace xuan5;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    AppState state;
    state.IncomingDraws[1] = {"001", "01,02,03,04,05"};
    const FeedParse parse = ParseFeedResponse(text, state);
    const bool staged = parse.hasNewDraws || parse.status == kMsgNoUpdate;
    if (staged) {
        for (int r = 1; r <= kHistoryRows; ++r) {
            if (!IsValidPeriod(state.IncomingDraws[r].period) ||
                !IsValidDrawNumbers(state.IncomingDraws[r].numbers)) {
                std::abort();
            }
        }
        ApplyIncomingDraws(state);
        for (int i = 1; i <= kHistoryRows; ++i) {
            if (state.DrawKeys[i] == 0) std::abort();
        }
    } else if (parse.status != kMsgNoFeedData) {
        std::abort();
    } else if (state.IncomingDraws[1].period != "001" ||
               state.IncomingDraws[1].numbers != "01,02,03,04,05" ||
               !state.IncomingDraws[2].period.empty()) {
        std::abort();
    }
    return 0;
}
