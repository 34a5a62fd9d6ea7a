#include "protocol/feed_format.h"

#include <algorithm>

#include "core/bets.h"
#include "core/draw_history.h"
#include "core/text.h"
#include "protocol/endpoints.h"

namespace xuan5 {
namespace {

Failure NoFeedData() {
    return Fail({kMsgNoFeedData, "", Message::Kind::Damaged});
}

}  // namespace

Result<std::vector<std::string_view>> FeedPayloadLines(std::string_view response) {
    if (!Contains(response, kOkMarker)) return NoFeedData();
    const auto parts = SplitText(response, kFeedSeparator);
    if (parts.size() < 3) return NoFeedData();
    return SplitText(parts[1], kCrLf);
}

std::string FeedLineText(const DatedDraw& draw) {
    return draw.period + " " + draw.date + " " + draw.numbers;
}

std::string FeedAnswerText(const std::vector<std::string>& lines, std::string_view trailer) {
    // The payload starts right after the first separator and ends right before the second:
    // the reader cuts its first and last lines at exactly those places.
    std::string text(kOkMarker);
    text += kFeedSeparator;
    text.reserve(text.size() + lines.size() * 32 + trailer.size() + 8);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += kCrLf;
        text += lines[i];
    }
    text += kFeedSeparator;
    text += trailer;
    return text;
}

Result<std::string> FeedLineDate(std::string_view line) {
    std::string_view between;
    if (line.size() > 3 + kBetTextLength)
        between = line.substr(3, line.size() - 3 - kBetTextLength);
    // Whatever separates the date from its neighbours (spaces, "-", "|"...) is not part of it.
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    while (!between.empty() && !isDigit(between.front())) between.remove_prefix(1);
    while (!between.empty() && !isDigit(between.back())) between.remove_suffix(1);
    const auto day = ParseDrawDate(between);
    if (!day) return day.failure();
    return DrawDateText(*day);
}

Result<DatedDraw> ReadFeedLine(std::string_view line) {
    if (line.size() < 3 + kBetTextLength) return NoFeedData();
    DatedDraw draw{FeedLineDate(line).value_or(std::string()), std::string(line.substr(0, 3)),
                   std::string(line.substr(line.size() - kBetTextLength))};
    if (!IsValidPeriod(draw.period) || !IsValidDrawNumbers(draw.numbers)) return NoFeedData();
    return draw;
}

std::vector<DatedDraw> DatedFeedRows(std::string_view response) {
    std::vector<DatedDraw> rows;
    const auto lines = FeedPayloadLines(response);
    if (!lines) return rows;
    const std::size_t count = std::min(lines->size(), static_cast<std::size_t>(kFeedLength));
    for (std::size_t k = 0; k < count; ++k) {
        Result<DatedDraw> draw = ReadFeedLine((*lines)[k]);
        if (draw && !draw->date.empty()) rows.push_back(std::move(*draw));
    }
    return rows;
}

}  // namespace xuan5
