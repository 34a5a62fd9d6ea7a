#include "feed/feed_parser.h"

#include "protocol/endpoints.h"
#include "protocol/feed_format.h"

namespace xuan5 {
namespace {

// Whether draw `a` comes after draw `b`; both carry dates.
bool Later(const DrawRecord& a, const DrawRecord& b) {
    return a.date != b.date ? a.date > b.date : a.period > b.period;
}

bool SameDraw(const DrawRecord& a, const DrawRecord& b, bool dated) {
    return a.period == b.period && (!dated || a.date == b.date);
}

}  // namespace

StagedChange CompareStaged(const DrawTable& incoming, const DrawTable& history) {
    using Kind = StagedChange::Kind;
    StagedChange change;
    const DrawRecord& known = history[1];
    if (known.period.empty()) {
        change.kind = Kind::FirstLoad;
        return change;
    }
    const DrawRecord& staged = incoming[1];
    const bool dated = !staged.date.empty() && !known.date.empty();
    if (dated) {
        // Dates tell the known newest draw apart from another day's draw of its number, wherever
        // it stands in the table.
        int row = 0;
        for (int r = 1; r <= kHistoryRows && row == 0; ++r) {
            if (SameDraw(incoming[r], known, true)) row = r;
        }
        if (row == 1) {
            if (staged.numbers == known.numbers) return change;
            change.kind = Kind::Corrected;
        } else if (row > 1) {
            change.kind = Kind::Newer;
            change.newRows = row - 1;
        } else if (Later(staged, known)) {
            // The table starts after the known newest but no longer holds it: new from top to
            // bottom, with a gap before it.
            change.kind = Kind::Newer;
            change.newRows = kHistoryRows;
        }
    } else {
        if (staged.period == known.period && staged.numbers == known.numbers) return change;
        if (staged.period == known.period && incoming[2].period == history[2].period &&
            incoming[2].numbers == history[2].numbers) {
            change.kind = Kind::Corrected;
        }
        for (int r = 2; r <= 60 && change.kind == Kind::None; ++r) {
            if (incoming[r].period == known.period) {
                change.kind = Kind::Newer;
                change.newRows = r - 1;
            }
        }
    }
    if (change.kind == Kind::None) return change;
    // The rows both tables hold: a known draw with other numbers was corrected. They usually
    // stand side by side; a typed draw on top of the history can shift them.
    for (int r = change.newRows + 1; r <= kHistoryRows; ++r) {
        const DrawRecord& row = incoming[r];
        int h = r - change.newRows;
        if (!SameDraw(history[h], row, dated)) {
            h = 0;
            for (int k = 1; k <= kHistoryRows && dated && h == 0; ++k) {
                if (SameDraw(history[k], row, true)) h = k;
            }
        }
        if (h > 0 && history[h].numbers != row.numbers) change.corrected.push_back(r);
    }
    return change;
}

bool HasNewDraws(const DrawTable& incoming, const DrawTable& history) {
    const StagedChange::Kind kind = CompareStaged(incoming, history).kind;
    return kind == StagedChange::Kind::FirstLoad || kind == StagedChange::Kind::Newer;
}

FeedParse ParseFeedResponse(std::string_view response, const DrawTable& history) {
    // A refused answer stages nothing: the apply button can still apply the last good table, and an
    // emptied one would have nothing to apply.
    const auto lines = FeedPayloadLines(response);
    if (!lines || lines->size() < static_cast<std::size_t>(kFeedLength)) {
        return {kMsgNoFeedData, std::nullopt, false};
    }
    DrawTable staged{};
    for (int k = 0; k < kHistoryRows; ++k) {
        // One malformed row would spoil every curve and plan built on the history, so the
        // whole answer is refused rather than partly staged.
        Result<DatedDraw> row = ReadFeedLine((*lines)[static_cast<std::size_t>(k)]);
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
