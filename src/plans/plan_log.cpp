#include "plans/plan_log.h"

#include <algorithm>
#include <cmath>

#include "core/bets.h"
#include "core/text.h"

namespace xuan5 {
namespace {

constexpr std::string_view kRecordMark = "期，开：";
constexpr std::string_view kPendingNumbers = "**************";

// A number box read the lenient way, as a whole number within reach of the tables.
long long BoxInteger(std::string_view text) {
    const double value = RoundHalfEven(LeadingNumber(text));
    return static_cast<long long>(std::clamp(value, -1e15, 1e15));
}

std::string PlanSize(std::string_view planSize) {
    return PadNumber(BoxInteger(planSize), 3);
}

// Records 0..count, each followed by CR LF, then the signature; trimmed of spaces. Slot `slot`
// shows `replacement` instead of what the log holds there.
std::string LogText(const std::vector<std::string>& records, int count, std::string_view signature,
                    int slot, const std::string* replacement) {
    std::string log;
    const int stored = static_cast<int>(records.size()) - 1;
    const int last =
        replacement ? std::max(std::min(count, stored), slot) : std::min(count, stored);
    for (int i = 0; i <= last; ++i) {
        if (i == slot && replacement) {
            log += *replacement;
        } else if (i <= stored) {
            log += records[static_cast<std::size_t>(i)];
        }
        log += kCrLf;
    }
    log += signature;
    return std::string(TrimSpaces(log));
}

}  // namespace

void StorePlanRecord(PlanLog& log, std::string record) {
    const int slot = log.PlanRecordCount;
    if (slot < 0) return;
    // Every record is kept: the log grows instead of stopping at a fixed number of slots.
    if (static_cast<std::size_t>(slot) >= log.PlanRecords.size()) {
        log.PlanRecords.resize(static_cast<std::size_t>(slot) + 1);
    }
    log.PlanRecords[static_cast<std::size_t>(slot)] = std::move(record);
}

TextSelection LastCharacterSelection(std::string_view text) {
    int units = 0;
    int lastUnits = 0;
    for (unsigned char byte : text) {
        if ((byte & 0xC0) == 0x80) continue;  // continuation of the current character
        lastUnits = byte >= 0xF0 ? 2 : 1;     // characters past the BMP take a surrogate pair
        units += lastUnits;
    }
    if (units == 0) return {};
    return {units - lastUnits, lastUnits};
}

std::string PlanLogText(const std::vector<std::string>& records, int count,
                        std::string_view signature) {
    return LogText(records, count, signature, -1, nullptr);
}

std::optional<PendingRecordOutput> WritePendingRecord(const PlanLogInput& input,
                                                      std::string_view planSize,
                                                      const DrawTable& history,
                                                      const PlanLog& log) {
    if (!input.Check_jihua_sx) return std::nullopt;
    std::string_view period = history[1].period;
    if (period.size() > 3) period = period.substr(period.size() - 3);
    // The next period simply counts on: 084 gives 085, and there is no wrap back to 001.
    const std::string next = PadNumber(BoxInteger(period) + 1, 3);
    std::string record = next;
    record += kRecordMark;
    record += kPendingNumbers;
    record += "-" + PlanSize(planSize) + "注-" + kWaitingWord;

    PendingRecordOutput out;
    out.record = std::string(TrimSpaces(record));
    // A slot below 0 takes no record, as StorePlanRecord has it.
    out.T_jh_dadi_jilu =
        LogText(log.PlanRecords, log.PlanRecordCount, input.T_jihua_qianming, log.PlanRecordCount,
                log.PlanRecordCount >= 0 ? &out.record : nullptr);
    out.jiluSelection = LastCharacterSelection(out.T_jh_dadi_jilu);
    out.rcSelection = LastCharacterSelection(input.T_jh_rc);
    return out;
}

ResultRecordOutput WriteResultRecord(const ResultRecordInput& input, const DrawTable& history,
                                     const DrawKeyTable& keys, const LineTexts& lineBases,
                                     const std::vector<std::string>& instanceBases) {
    const int key = keys[kHistoryRows];
    const bool hit = BaseHoldsKey(input.T_jihua_jj_dadi, key);
    const std::string_view word = TrimSpaces(input.T_zdy_yongyu[hit ? 0 : 1]);
    std::string record = history[1].period;
    record += kRecordMark;
    record += history[1].numbers;
    record += "-" + PlanSize(input.T_jihua_jj_dadi_zhushu) + "注-";
    record += word;
    ResultRecordOutput out;
    out.record = std::string(TrimSpaces(record));

    std::string line;
    if (input.Check_jh_dadi_fenzu) {
        line = kModeTwoTally;
    } else {
        const long long x = BoxInteger(input.T_jh_dadi_chongfu_cs);
        if (x > 1) {
            // Instances that plan mode one has not run (yet) count as not containing the draw.
            const long long available = static_cast<long long>(instanceBases.size()) - 1;
            const long long last = std::min(x, available);
            int count = 0;
            for (long long i = 1; i <= last; ++i) {
                if (BaseHoldsKey(instanceBases[static_cast<std::size_t>(i)], key)) ++count;
            }
            line = std::to_string(x) + "-" + std::to_string(count);
        } else {
            int count = 0;
            for (int i = 0; i < kLineCount; ++i) {
                if (input.Ch_jiankong_jj[i] && BaseHoldsKey(lineBases[i], key)) ++count;
            }
            line = input.T_jiankong_15di_geshu + "-" + std::to_string(count);
        }
    }
    out.T_jh_rc = input.T_jh_rc.empty() ? line : input.T_jh_rc + std::string(kCrLf) + line;
    return out;
}

std::string ListBetsInText(std::string_view text) {
    const BetSet bets = BetSetFromText(text);
    if (bets.Empty()) return {};
    return RenderBetSet(bets, "*") + "*";
}

}  // namespace xuan5
