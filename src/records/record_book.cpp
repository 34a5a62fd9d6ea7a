#include "records/record_book.h"

#include <algorithm>

#include "core/dated_draw.h"
#include "core/text.h"
#include "core/update_step.h"
#include "feed/feed_parser.h"

namespace xuan5 {
namespace {

// A monitor row's marks: whether each line's base holds the draw with this key (0: none does).
std::array<std::int8_t, kLineCount> Marks(const LineBaseSets& bases, int key) {
    std::array<std::int8_t, kLineCount> marks{};
    for (int c = 0; c < kLineCount; ++c) marks[c] = key != 0 && bases[c].Test(key) ? 1 : 0;
    return marks;
}

void TakeJudgement(PlanRecord& record, const JudgedRecord& judged) {
    record.text = judged.text;
    record.tally = judged.tally;
    record.hit = judged.hit;
}

bool SameDraw(const DrawRecord& a, const DrawRecord& b) {
    if (a.period != b.period) return false;
    return a.date.empty() || b.date.empty() || a.date == b.date;
}

int PeriodNumber(const std::string& period) {
    return IsValidPeriod(period) ? DigitsValue(period) : -1;
}

std::string NextDay(const std::string& date) {
    const auto day = ParseDrawDate(date);
    return day ? DrawDateText(*day + std::chrono::days(1)) : std::string();
}

// Whether `a` was drawn before `b`; both carry dates.
bool Earlier(const DrawRecord& a, const DrawRecord& b) {
    return a.date != b.date ? a.date < b.date : a.period < b.period;
}

}  // namespace

bool DirectlyFollows(const DrawRecord& before, const DrawRecord& after, int dayLast) {
    if (before.date.empty() || after.date.empty()) return false;
    const int b = PeriodNumber(before.period);
    const int a = PeriodNumber(after.period);
    if (b < 0 || a < 0) return false;
    if (after.date == before.date) return a == b + 1;
    return a == 1 && b >= dayLast && after.date == NextDay(before.date);
}

int HighestPeriod(const DrawTable& table) {
    int highest = 0;
    for (int r = 1; r <= kHistoryRows; ++r)
        highest = std::max(highest, PeriodNumber(table[r].period));
    return highest;
}

std::string TypedDrawDate(const DrawRecord& newest, const std::string& typedPeriod) {
    if (newest.date.empty()) return {};
    return typedPeriod == "001" && newest.period != "001" ? NextDay(newest.date) : newest.date;
}

std::string TypedPeriodQuestion(const DrawTable& history, const std::string& typedPeriod) {
    const DrawRecord& newest = history[1];
    const int n = PeriodNumber(newest.period);
    const int t = PeriodNumber(typedPeriod);
    if (n < 0 || t < 0 || t == n + 1) return {};
    const int dayLast = HighestPeriod(history);
    if (t == 1 && n >= dayLast) return {};
    int from = n + 1;
    int to = t - 1;
    if (t == 1) to = dayLast;  // the rest of the newest draw's day
    if (t <= n && t != 1) {
        return "录入的期号" + typedPeriod + "期不在" + newest.period + "期之后，确定吗？";
    }
    std::string skipped = PadNumber(from, 3);
    if (to > from) skipped += "～" + PadNumber(to, 3);
    return "录入的期号跳过了" + skipped + "期，确定吗？";
}

RecordBook::RecordBook(int region) {
    s_.region = region;
}

RecordBook::RecordBook(BookState state) : s_(std::move(state)) {
    Derive();
}

void RecordBook::Derive() {
    series_ = BuildDrawSeries(s_.history);
    keys_ = DrawKeysFromSeries(series_);
}

MonitorTable RecordBook::MonitorView() const {
    MonitorTable table{};
    const std::size_t shown = std::min<std::size_t>(s_.monitor.size(), kMonitorUsedRows);
    const std::size_t first = s_.monitor.size() - shown;
    for (std::size_t i = 0; i < shown; ++i) {
        const MonitorRow& row = s_.monitor[first + i];
        auto& cells = table[i + 1];
        for (int c = 0; c < kLineCount; ++c) cells[c] = row.marks[c];
        cells[kMonitorPeriodColumn] = PeriodNumber(row.period) < 0 ? 0 : PeriodNumber(row.period);
        cells[kMonitorUsedColumn] = 1;
    }
    return table;
}

int RecordBook::LastOutcome() const {
    const auto& records = s_.log.PlanRecords;
    for (int i = std::min<int>(s_.log.PlanRecordCount, static_cast<int>(records.size()) - 1);
         i >= 0; --i) {
        const PlanRecord& record = records[static_cast<std::size_t>(i)];
        if (record.state == RecordState::Settled) return record.hit ? 1 : 0;
    }
    return -1;
}

TableOutcome RecordBook::ApplyTable(const DrawTable& table, const ResultWords& words,
                                    const ArchiveBridge& bridge) {
    using Kind = TableOutcome::Kind;
    TableOutcome out;
    if (!HoldsValidDraw(table)) return out;
    if (!HasDraws()) {
        // The first table of a book is what there was before it: nothing is judged.
        s_.history = table;
        Derive();
        changes_.history = true;
        out.kind = Kind::FirstLoad;
        return out;
    }
    const StagedChange change = CompareStaged(table, s_.history);
    if (change.kind == StagedChange::Kind::None) return out;
    const DrawRecord known = s_.history[1];

    // The known newest draw and what follows it, oldest first; `gapAfter` marks an element the
    // next one does not directly follow.
    std::vector<DrawRecord> stream{known};
    std::vector<bool> gapAfter{false};
    if (change.kind == StagedChange::Kind::Newer) {
        if (change.newRows >= kHistoryRows) {
            // The table no longer reaches the known newest: the archive may hold the span between.
            const int dayLast = std::max(HighestPeriod(s_.history), HighestPeriod(table));
            std::vector<DrawRecord> between = bridge ? bridge(known) : std::vector<DrawRecord>{};
            for (DrawRecord& draw : between) {
                if (Earlier(known, draw) && Earlier(draw, table[kHistoryRows])) {
                    stream.push_back(std::move(draw));
                    gapAfter.push_back(false);
                }
            }
            for (std::size_t i = 0; i + 1 < stream.size(); ++i)
                gapAfter[i] = !DirectlyFollows(stream[i], stream[i + 1], dayLast);
            gapAfter.back() = !DirectlyFollows(stream.back(), table[kHistoryRows], dayLast);
        }
        for (int r = std::min(change.newRows, kHistoryRows); r >= 1; --r) {
            stream.push_back(table[r]);
            gapAfter.push_back(false);
        }
        out.kind = Kind::Newer;
        out.judged.assign(stream.begin() + 1, stream.end());
        out.shownRows = change.newRows < kHistoryRows ? change.newRows : 0;
    } else {
        out.kind = Kind::Corrected;
    }

    // Known draws delivered with other numbers are judged again with what they were judged with.
    for (int r : change.corrected) {
        Correct(table[r], words);
        out.corrected.push_back(table[r]);
    }
    for (const DrawRecord& draw : out.judged) JudgeDraw(draw);

    if (out.kind == Kind::Newer) SettleWaiting(stream, gapAfter, words, out);
    s_.history = table;
    Derive();
    changes_.history = true;
    PruneBases();
    return out;
}

void RecordBook::SettleWaiting(const std::vector<DrawRecord>& stream,
                               const std::vector<bool>& gapAfter, const ResultWords& words,
                               TableOutcome& out) {
    // The waiting record's draw is the one right after the draw it was issued after.
    const int slot = s_.log.PlanRecordCount;
    if (slot < 0 || static_cast<std::size_t>(slot) >= s_.log.PlanRecords.size()) return;
    PlanRecord& record = s_.log.PlanRecords[static_cast<std::size_t>(slot)];
    if (record.state != RecordState::Waiting || !record.basis) return;
    std::optional<DrawRecord> next;
    bool found = false;
    for (std::size_t i = 0; i < stream.size() && !found; ++i) {
        if (!SameDraw(stream[i], record.after)) continue;
        found = true;
        if (i + 1 < stream.size() && !gapAfter[i]) next = stream[i + 1];
    }
    for (int r = 2; r <= kHistoryRows && !found; ++r) {
        if (!SameDraw(s_.history[r], record.after)) continue;
        found = true;
        next = s_.history[r - 1];
    }
    if (next) {
        TakeJudgement(record, JudgeRecord(*record.basis, words, *next, DrawKeyOf(next->numbers)));
        record.period = next->period;
        record.date = next->date;
        record.state = RecordState::Settled;
        out.settled = true;
    } else {
        // Its draw is in no table or archive the book can see: it counts nowhere.
        const std::size_t waiting = record.text.rfind(kWaitingWord);
        if (waiting != std::string::npos)
            record.text.replace(waiting, std::string_view(kWaitingWord).size(), kClosedWord);
        record.state = RecordState::Closed;
        out.closed = true;
    }
    changes_.records.insert(slot);
    // The next plan takes the next slot.
    s_.log.PlanRecordCount += 1;
    changes_.plan = true;
}

void RecordBook::JudgeDraw(const DrawRecord& draw) {
    MonitorRow row;
    row.seq = s_.nextMonitorSeq++;
    row.date = draw.date;
    row.period = draw.period;
    row.basesId = s_.bases.id;
    const int key = DrawKeyOf(draw.numbers);
    if (s_.bases.id == 0) {
        row.marks.fill(kMarkNone);
    } else {
        if (currentSetsId_ != s_.bases.id) {
            currentSets_ = LineBaseSetsFromTexts(s_.bases.lineBases);
            currentSetsId_ = s_.bases.id;
        }
        row.marks = Marks(currentSets_, key);
    }
    changes_.monitorRows.insert(row.seq);
    s_.monitor.push_back(std::move(row));
    if (s_.monitor.size() > kMonitorKept) {
        s_.monitor.erase(s_.monitor.begin(),
                         s_.monitor.begin() + static_cast<long>(s_.monitor.size() - kMonitorKept));
    }
}

void RecordBook::Correct(const DrawRecord& draw, const ResultWords& words) {
    const int key = DrawKeyOf(draw.numbers);
    for (MonitorRow& row : s_.monitor) {
        if (!SameDraw({row.period, "", row.date}, draw) || row.basesId == 0) continue;
        const auto bases = s_.recentBases.find(row.basesId);
        if (bases == s_.recentBases.end()) continue;
        row.marks = Marks(LineBaseSetsFromTexts(bases->second), key);
        changes_.monitorRows.insert(row.seq);
    }
    auto& records = s_.log.PlanRecords;
    for (std::size_t slot = 0; slot < records.size(); ++slot) {
        PlanRecord& record = records[slot];
        if (record.state != RecordState::Settled || !record.basis ||
            !SameDraw({record.period, "", record.date}, draw)) {
            continue;
        }
        TakeJudgement(record, JudgeRecord(*record.basis, words, draw, key));
        changes_.records.insert(static_cast<int>(slot));
    }
}

void RecordBook::PruneBases() {
    std::int64_t oldest = s_.bases.id;
    for (const MonitorRow& row : s_.monitor) {
        if (row.basesId != 0) oldest = std::min(oldest, row.basesId);
    }
    if (oldest <= 0) return;
    s_.recentBases.erase(s_.recentBases.begin(), s_.recentBases.lower_bound(oldest));
    changes_.oldestKeptBases = oldest;
}

void RecordBook::IssuePlan(const std::optional<LineTexts>& lineBases,
                           const std::optional<std::vector<std::string>>& instanceBases,
                           const ShownPlan& plan, const PlanLogInput& logInput,
                           const std::optional<RecordBasis>& basis) {
    if (lineBases || instanceBases) {
        const std::int64_t id =
            std::max(s_.bases.id, s_.recentBases.empty() ? 0 : s_.recentBases.rbegin()->first) + 1;
        s_.bases.id = id;
        s_.bases.after = s_.history[1];
        if (lineBases) s_.bases.lineBases = *lineBases;
        if (instanceBases) s_.bases.instanceBases = *instanceBases;
        s_.recentBases[id] = s_.bases.lineBases;
        changes_.newBases.insert(id);
    }
    s_.plan = plan;
    changes_.plan = true;
    if (!basis) return;
    // A record stands in its slot for good once judged: a new plan takes the next one.
    PlanLog& log = s_.log;
    const auto slot = static_cast<std::size_t>(std::max(log.PlanRecordCount, 0));
    if (slot < log.PlanRecords.size() && !log.PlanRecords[slot].text.empty() &&
        log.PlanRecords[slot].state != RecordState::Waiting) {
        log.PlanRecordCount += 1;
    }
    std::optional<PendingRecordOutput> pending =
        WritePendingRecord(logInput, plan.count, s_.history, log);
    if (!pending) return;
    PlanRecord record = std::move(pending->record);
    record.region = s_.region;
    record.basis = std::make_shared<const RecordBasis>(*basis);
    StorePlanRecord(log, std::move(record));
    changes_.records.insert(log.PlanRecordCount);
}

void RecordBook::ClearLog() {
    s_.log = PlanLog{};
    s_.logOffset = 0;
    changes_.logCleared = true;
    changes_.records.clear();
    changes_.plan = true;
}

void RecordBook::ClearMonitor() {
    s_.monitor.clear();
    changes_.monitorCleared = true;
    changes_.monitorRows.clear();
}

BookChanges RecordBook::TakeChanges() {
    return std::exchange(changes_, BookChanges{});
}

void IssueMadePlan(RecordBook& book, const IssuedPlan& plan, const PlanSettings& settings) {
    book.IssuePlan(plan.lineBases, plan.instanceBases,
                   {plan.plan.text, plan.plan.count, plan.modePlan.text, plan.modePlan.count},
                   settings.useModeTwo ? settings.modeTwo.log : settings.modeOne.log, plan.basis);
}

}  // namespace xuan5
