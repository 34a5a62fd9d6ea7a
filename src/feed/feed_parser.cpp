#include "feed/feed_parser.h"

#include "protocol/endpoints.h"
#include "protocol/feed_format.h"

namespace xuan5 {
StagedChange CompareStaged(const DrawTable& incoming, const DrawTable& history) {
    using Kind = StagedChange::Kind;
    StagedChange change;
    const DrawRecord& known = history[1];
    if (known.period.empty()) {
        change.kind = Kind::FirstLoad;
        return change;
    }
    const DrawRecord& staged = incoming[1];
    if (staged.period == known.period && staged.numbers == known.numbers) return change;
    if (staged.period == known.period) {
        const bool datesKnown = !staged.date.empty() && !known.date.empty();
        const bool sameDraw = datesKnown ? staged.date == known.date
                                         : incoming[2].period == history[2].period &&
                                               incoming[2].numbers == history[2].numbers;
        if (sameDraw) change.kind = Kind::Corrected;
    }
    if (change.kind == Kind::None) {
        for (int r = 2; r <= 60; ++r) {
            if (incoming[r].period == known.period) {
                change.kind = Kind::Newer;
                change.newRows = r - 1;
                break;
            }
        }
    }
    if (change.kind == Kind::None && !staged.date.empty() && !known.date.empty()) {
        // Dates tell the known newest draw apart from another day's draw of its number.
        const bool later =
            staged.date != known.date ? staged.date > known.date : staged.period > known.period;
        int row = kHistoryRows + 1;
        for (int r = 2; r <= kHistoryRows && row > kHistoryRows; ++r) {
            if (incoming[r].period == known.period && incoming[r].date == known.date) row = r;
        }
        if (later) {
            change.kind = Kind::Newer;
            change.newRows = row - 1;
        }
    }
    if (change.kind == Kind::None) return change;
    // The rows both tables hold, side by side: a known period with other numbers was corrected.
    for (int r = change.newRows + 1; r <= kHistoryRows; ++r) {
        const DrawRecord& before = history[r - change.newRows];
        if (incoming[r].period == before.period && incoming[r].numbers != before.numbers) {
            change.corrected.push_back(r);
        }
    }
    return change;
}

bool HasNewDraws(const DrawTable& incoming, const DrawTable& history) {
    const StagedChange::Kind kind = CompareStaged(incoming, history).kind;
    return kind == StagedChange::Kind::FirstLoad || kind == StagedChange::Kind::Newer;
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
        // One malformed row would spoil every curve and plan built on the history, so the
        // whole answer is refused rather than partly staged.
        std::optional<DatedDraw> row = ReadFeedLine((*lines)[static_cast<std::size_t>(k)]);
        if (!row) return {kMsgNoFeedData, std::nullopt, false};
        staged[k + 1] =
            DrawRecord{std::move(row->period), std::move(row->numbers), std::move(row->date)};
    }
    FeedParse parse;
    const StagedChange::Kind kind = CompareStaged(staged, history).kind;
    parse.hasNewDraws = kind == StagedChange::Kind::FirstLoad || kind == StagedChange::Kind::Newer;
    if (kind == StagedChange::Kind::None) parse.status = kMsgNoUpdate;
    parse.staged = std::move(staged);
    return parse;
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
