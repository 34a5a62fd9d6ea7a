#include "plans/plan_settlement.h"

#include <algorithm>

#include "core/text.h"

namespace xuan5 {
namespace {

// The history's new draws are rows 1..newRows; key of row r is keys element 121 - r.
int RowKey(const DrawKeyTable& keys, int row) {
    return keys[kHistoryRows + 1 - row];
}

void Settle(PlanRecord& record, const ResultWords& words, const DrawRecord& draw, int key) {
    const JudgedRecord judged = JudgeRecord(*record.basis, words, draw, key);
    record.text = judged.text;
    record.tally = judged.tally;
    record.date = draw.date;
    record.state = RecordState::Settled;
}

// The row holding `draw`: its period on its date when both carry one, else the newest row of its
// period (its numbers may have been corrected since); 0 when the draw is unknown, -1 when it is
// not in the table.
int FindDraw(const DrawTable& history, const DrawRecord& draw) {
    if (draw.period.empty()) return 0;
    for (int r = 1; r <= kHistoryRows; ++r) {
        const DrawRecord& row = history[r];
        if (row.period != draw.period) continue;
        if (row.date.empty() || draw.date.empty() || row.date == draw.date) return r;
    }
    return -1;
}

}  // namespace

RecordBasis MakeRecordBasis(const ResultRecordInput& input, const LineTexts& lineBases,
                            const std::vector<std::string>& instanceBases) {
    RecordBasis basis;
    basis.plan = BetSetFromText(input.T_jihua_jj_dadi);
    basis.size = RecordSize(input.T_jihua_jj_dadi_zhushu);
    basis.modeTwo = input.Check_jh_dadi_fenzu;
    if (basis.modeTwo) return basis;
    const long long x = BoxInteger(input.T_jh_dadi_chongfu_cs);
    if (x > 1) {
        const long long available = static_cast<long long>(instanceBases.size()) - 1;
        for (long long i = 1; i <= std::min(x, available); ++i) {
            basis.tallied.push_back(instanceBases[static_cast<std::size_t>(i)]);
        }
        basis.tallyCount = std::to_string(x);
    } else {
        for (int i = 0; i < kLineCount; ++i) {
            if (input.Ch_jiankong_jj[i]) basis.tallied.push_back(lineBases[i]);
        }
        basis.tallyCount = input.T_jiankong_15di_geshu;
    }
    return basis;
}

JudgedRecord JudgeRecord(const RecordBasis& basis, const ResultWords& words, const DrawRecord& draw,
                         int key) {
    JudgedRecord judged;
    judged.hit = key != 0 && basis.plan.Test(key);
    std::string text = draw.period;
    text += kRecordMark;
    text += draw.numbers;
    text += "-" + basis.size + "注-";
    text += TrimSpaces(words[judged.hit ? 0 : 1]);
    judged.text = std::string(TrimSpaces(text));
    int holders = 0;
    if (key != 0) {
        for (const std::string& base : basis.tallied) holders += BaseHoldsKey(base, key) ? 1 : 0;
    }
    judged.tally = basis.modeTwo ? std::string(kModeTwoTally)
                                 : basis.tallyCount + "-" + std::to_string(holders);
    return judged;
}

PlanLog SettlePendingRecord(PlanLog log, const DrawTable& history, const DrawKeyTable& keys,
                            int newRows, const ResultWords& words, int region) {
    const int slot = log.PlanRecordCount;
    if (slot < 0 || static_cast<std::size_t>(slot) >= log.PlanRecords.size()) return log;
    PlanRecord& record = log.PlanRecords[static_cast<std::size_t>(slot)];
    if (record.state != RecordState::Waiting || record.region != region || !record.basis) {
        return log;
    }
    // The record's draw is the one right after the draw it was issued after, wherever the two
    // stand in the table now (a region shown again may have brought it in a first load).
    if (const int anchor = FindDraw(history, record.after); anchor > 1) {
        if (history[anchor - 1].period == record.period) {
            Settle(record, words, history[anchor - 1], RowKey(keys, anchor - 1));
            return log;
        }
    } else if (anchor == 0) {
        // Issued without a known draw: the oldest of the new draws with the record's period is
        // the one it was made for, a later one of the same number belongs to another day.
        for (int r = std::min(newRows, kHistoryRows); r >= 1; --r) {
            if (history[r].period == record.period) {
                Settle(record, words, history[r], RowKey(keys, r));
                return log;
            }
        }
    } else if (anchor == 1) {
        return log;  // still the newest draw: the record's draw has not come
    }
    // The period never came (a day ends before it, or the gap was longer than the table): the
    // record says so and counts neither way.
    const std::size_t waiting = record.text.rfind(kWaitingWord);
    if (waiting != std::string::npos) {
        record.text.replace(waiting, std::string_view(kWaitingWord).size(), kClosedWord);
    }
    record.state = RecordState::Closed;
    return log;
}

PlanLog CorrectRecords(PlanLog log, const DrawRecord& draw, int key, const ResultWords& words,
                       int region) {
    for (PlanRecord& record : log.PlanRecords) {
        if (record.state != RecordState::Settled || !record.basis || record.region != region ||
            record.period != draw.period) {
            continue;
        }
        const bool sameDay = record.date.empty() || draw.date.empty() || record.date == draw.date;
        if (sameDay) Settle(record, words, draw, key);
    }
    return log;
}

}  // namespace xuan5
