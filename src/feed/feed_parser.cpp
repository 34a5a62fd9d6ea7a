#include "feed/feed_parser.h"

#include "core/bets.h"
#include "protocol/endpoints.h"
#include "protocol/feed_format.h"

namespace xuan5 {
namespace {

// A payload line holds the period, the numbers, and possibly text between them; anything
// shorter would let the two fields overlap.
constexpr std::size_t kMinLineLength = 3 + kBetTextLength;

}  // namespace

bool HasNewDraws(const DrawTable& incoming, const DrawTable& history) {
    const DrawRecord& known = history[1];
    if (known.period.empty()) return true;
    // Period numbers start again every day: in a region with fewer than sixty draws a day an
    // unchanged list holds yesterday's draw of the same period further down, which must not
    // make the same newest draw look new.
    const DrawRecord& staged = incoming[1];
    if (staged.period == known.period && staged.numbers == known.numbers) return false;
    for (int r = 2; r <= 60; ++r) {
        if (incoming[r].period == known.period) return true;
    }
    return false;
}

FeedParse ParseFeedResponse(std::string_view response, const DrawTable& history) {
    // A refused answer stages nothing: Command1 can still apply the last good table, and an
    // emptied one would have nothing to apply.
    const auto lines = FeedPayloadLines(response);
    if (!lines || lines->size() < static_cast<std::size_t>(kFeedLength)) {
        return {kMsgNoFeedData, std::nullopt, false};
    }
    DrawTable staged{};
    for (int k = 0; k < kHistoryRows; ++k) {
        const std::string_view line = (*lines)[static_cast<std::size_t>(k)];
        if (line.size() < kMinLineLength) return {kMsgNoFeedData, std::nullopt, false};
        DrawRecord record{std::string(line.substr(0, 3)),
                          std::string(line.substr(line.size() - kBetTextLength))};
        // One malformed row would spoil every curve and plan built on the history, so the
        // whole answer is refused rather than partly staged.
        if (!IsValidPeriod(record.period) || !IsValidDrawNumbers(record.numbers)) {
            return {kMsgNoFeedData, std::nullopt, false};
        }
        staged[k + 1] = std::move(record);
    }
    const bool fresh = HasNewDraws(staged, history);
    return {fresh ? "" : kMsgNoUpdate, std::move(staged), fresh};
}

CountdownTick TickCountdown(std::int32_t seconds, bool autoUpdateTicked) {
    CountdownTick tick;
    tick.label = std::to_string(seconds);
    if (seconds > 0) {
        tick.seconds = seconds - 1;
        return tick;
    }
    tick.seconds = 30;
    if (autoUpdateTicked) {
        tick.fetch = true;
    } else {
        tick.status = kMsgAutoUpdateOff;
    }
    return tick;
}

}  // namespace xuan5
