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

void StoreRecord(AppState& state, std::string record) {
    const int slot = state.PlanRecordCount;
    if (slot < 0) return;
    // Every record is kept: the log grows instead of stopping at a fixed number of slots.
    if (static_cast<std::size_t>(slot) >= state.PlanRecords.size()) {
        state.PlanRecords.resize(static_cast<std::size_t>(slot) + 1);
    }
    state.PlanRecords[static_cast<std::size_t>(slot)] = std::move(record);
}

bool BaseHoldsKey(std::string_view base, int key) {
    return key != 0 && Contains(base, BetText(key));
}

}  // namespace

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
    std::string log;
    const int last = std::min(count, static_cast<int>(records.size()) - 1);
    for (int slot = 0; slot <= last; ++slot) {
        log += records[static_cast<std::size_t>(slot)];
        log += kCrLf;
    }
    log += signature;
    return std::string(TrimSpaces(log));
}

std::optional<PendingRecordOutput> WritePendingRecord(const PlanLogInput& input,
                                                      std::string_view planSize, AppState& state) {
    if (!input.Check_jihua_sx) return std::nullopt;
    std::string_view period = state.DrawHistory[1].period;
    if (period.size() > 3) period = period.substr(period.size() - 3);
    // The next period simply counts on: 084 gives 085, and there is no wrap back to 001.
    const std::string next = PadNumber(BoxInteger(period) + 1, 3);
    std::string record = next;
    record += kRecordMark;
    record += kPendingNumbers;
    record += "-" + PlanSize(planSize) + "注-" + kWaitingWord;
    StoreRecord(state, std::string(TrimSpaces(record)));

    PendingRecordOutput out;
    out.T_jh_dadi_jilu =
        PlanLogText(state.PlanRecords, state.PlanRecordCount, input.T_jihua_qianming);
    out.jiluSelection = LastCharacterSelection(out.T_jh_dadi_jilu);
    out.rcSelection = LastCharacterSelection(input.T_jh_rc);
    return out;
}

ResultRecordOutput WriteResultRecord(const ResultRecordInput& input, AppState& state) {
    const int key = state.DrawKeys[kHistoryRows];
    const bool hit = BaseHoldsKey(input.T_jihua_jj_dadi, key);
    const std::string_view word = TrimSpaces(input.T_zdy_yongyu[hit ? 0 : 1]);
    std::string record = state.DrawHistory[1].period;
    record += kRecordMark;
    record += state.DrawHistory[1].numbers;
    record += "-" + PlanSize(input.T_jihua_jj_dadi_zhushu) + "注-";
    record += word;
    StoreRecord(state, std::string(TrimSpaces(record)));

    std::string line;
    if (input.Check_jh_dadi_fenzu) {
        line = kModeTwoTally;
    } else {
        const long long x = BoxInteger(input.T_jh_dadi_chongfu_cs);
        if (x > 1) {
            // Instances that plan mode one has not run (yet) count as not containing the draw.
            const long long available = static_cast<long long>(state.InstanceBases.size()) - 1;
            const long long last = std::min(x, available);
            int count = 0;
            for (long long i = 1; i <= last; ++i) {
                if (BaseHoldsKey(state.InstanceBases[static_cast<std::size_t>(i)], key)) ++count;
            }
            line = std::to_string(x) + "-" + std::to_string(count);
        } else {
            int count = 0;
            for (int i = 0; i < kLineCount; ++i) {
                if (input.Ch_jiankong_jj[i] && BaseHoldsKey(state.LineBases[i], key)) ++count;
            }
            line = input.T_jiankong_15di_geshu + "-" + std::to_string(count);
        }
    }
    ResultRecordOutput out;
    out.T_jh_rc = input.T_jh_rc.empty() ? line : input.T_jh_rc + std::string(kCrLf) + line;
    return out;
}

std::string ListBetsInText(std::string_view text) {
    const BetSet bets = BetSetFromText(text);
    if (bets.Empty()) return {};
    return RenderBetSet(bets, "*") + "*";
}

}  // namespace xuan5
