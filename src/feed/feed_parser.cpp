#include "feed/feed_parser.h"

#include <cstdio>

#include "core/text.h"

namespace xuan5 {
namespace {

constexpr std::string_view kOkMarker = "**ok**";
constexpr std::string_view kPartSeparator = "*-*";
// A payload line holds the period, the numbers, and possibly text between them; anything
// shorter would let the two fields overlap.
constexpr std::size_t kMinLineLength = 3 + kBetTextLength;

}  // namespace

std::string FormatSingle(float value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.7g", static_cast<double>(value));
    return buffer;
}

std::string BuildDrawRequestUrl(std::string_view baseUrl, std::int32_t regionCode, float a) {
    while (!baseUrl.empty() && baseUrl.back() == '/') baseUrl.remove_suffix(1);
    std::string url(baseUrl);
    url += kFeedPath;
    url += "?lx=2&zt=2&cz=" + std::to_string(regionCode) + "&a=" + FormatSingle(a);
    return url;
}

bool HasNewDraws(const AppState& state) {
    const DrawRecord& known = state.DrawHistory[1];
    if (known.period.empty()) return true;
    // Period numbers start again every day: in a region with fewer than sixty draws a day an
    // unchanged list holds yesterday's draw of the same period further down, which must not
    // make the same newest draw look new.
    const DrawRecord& staged = state.IncomingDraws[1];
    if (staged.period == known.period && staged.numbers == known.numbers) return false;
    for (int r = 2; r <= 60; ++r) {
        if (state.IncomingDraws[r].period == known.period) return true;
    }
    return false;
}

FeedParse ParseFeedResponse(std::string_view response, AppState& state) {
    // A refused answer leaves the staged table as it was: Command1 can still apply the last good
    // one, and an emptied table would have nothing to apply.
    if (!Contains(response, kOkMarker)) return {kMsgNoFeedData, false};
    const auto parts = SplitText(response, kPartSeparator);
    if (parts.size() < 3) return {kMsgNoFeedData, false};
    const auto lines = SplitText(parts[1], kCrLf);
    if (lines.size() < static_cast<std::size_t>(kHistoryRows)) return {kMsgNoFeedData, false};

    DrawTable staged{};
    for (int k = 0; k < kHistoryRows; ++k) {
        const std::string_view line = lines[static_cast<std::size_t>(k)];
        if (line.size() < kMinLineLength) return {kMsgNoFeedData, false};
        DrawRecord record{std::string(line.substr(0, 3)),
                          std::string(line.substr(line.size() - kBetTextLength))};
        // One malformed row would spoil every curve and plan built on the history, so the
        // whole response is refused rather than partly staged.
        if (!IsValidPeriod(record.period) || !IsValidDrawNumbers(record.numbers)) {
            return {kMsgNoFeedData, false};
        }
        staged[k + 1] = std::move(record);
    }
    state.IncomingDraws = std::move(staged);
    if (HasNewDraws(state)) return {"", true};
    return {kMsgNoUpdate, false};
}

CountdownTick TickCountdown(std::int32_t& countdownSeconds, bool autoUpdateTicked) {
    CountdownTick tick;
    tick.label = std::to_string(countdownSeconds);
    if (countdownSeconds > 0) {
        --countdownSeconds;
        return tick;
    }
    countdownSeconds = 30;
    if (autoUpdateTicked) {
        tick.fetch = true;
    } else {
        tick.status = kMsgAutoUpdateOff;
    }
    return tick;
}

}  // namespace xuan5
