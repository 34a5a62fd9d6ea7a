#include "plans/plan_log.h"

#include <algorithm>

#include "core/text.h"

namespace xuan5 {
namespace {

constexpr std::string_view kPendingNumbers = "**************";

// Records 0..count, each followed by CR LF, then the signature; trimmed of spaces. Slot `slot`
// shows `replacement` instead of what the log holds there.
std::string LogText(const PlanLog& log, std::string_view signature, int slot,
                    const std::string* replacement) {
    const auto& records = log.PlanRecords;
    const int count = log.PlanRecordCount;
    std::string text;
    const int stored = static_cast<int>(records.size()) - 1;
    const int last =
        replacement ? std::max(std::min(count, stored), slot) : std::min(count, stored);
    for (int i = 0; i <= last; ++i) {
        const std::string* record = i == slot && replacement ? replacement
                                    : i <= stored ? &records[static_cast<std::size_t>(i)].text
                                                  : nullptr;
        if (!record || record->empty()) continue;
        text += *record;
        text += kCrLf;
    }
    text += signature;
    return std::string(TrimSpaces(text));
}

}  // namespace

void StorePlanRecord(PlanLog& log, PlanRecord record) {
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

std::string PlanLogText(const PlanLog& log, std::string_view signature) {
    return LogText(log, signature, -1, nullptr);
}

std::string TallyText(const PlanLog& log) {
    std::string text;
    const int last =
        std::min<int>(log.PlanRecordCount, static_cast<int>(log.PlanRecords.size()) - 1);
    for (int i = 0; i <= last; ++i) {
        const PlanRecord& record = log.PlanRecords[static_cast<std::size_t>(i)];
        if (record.state != RecordState::Settled || record.tally.empty()) continue;
        if (!text.empty()) text += kCrLf;
        text += record.tally;
    }
    return text;
}

long long BoxInteger(std::string_view text) {
    const double value = RoundHalfEven(LeadingNumber(text));
    return static_cast<long long>(std::clamp(value, -1e15, 1e15));
}

std::string RecordSize(std::string_view planSize) {
    return PadNumber(BoxInteger(planSize), 3);
}

std::optional<PendingRecordOutput> WritePendingRecord(const PlanLogInput& input,
                                                      std::string_view planSize,
                                                      const DrawTable& history,
                                                      const PlanLog& log) {
    if (!input.autoPlan) return std::nullopt;
    std::string_view period = history[1].period;
    if (period.size() > 3) period = period.substr(period.size() - 3);
    // The next period simply counts on: 084 gives 085, and there is no wrap back to 001.
    const std::string next = PadNumber(BoxInteger(period) + 1, 3);
    std::string record = next;
    record += kRecordMark;
    record += kPendingNumbers;
    record += "-" + RecordSize(planSize) + "注-" + kWaitingWord;

    PendingRecordOutput out;
    out.record.text = std::string(TrimSpaces(record));
    out.record.period = next;
    out.record.after = history[1];
    // A slot below 0 takes no record, as StorePlanRecord has it.
    out.logText = LogText(log, input.signature, log.PlanRecordCount,
                          log.PlanRecordCount >= 0 ? &out.record.text : nullptr);
    out.logSelection = LastCharacterSelection(out.logText);
    out.tallySelection = LastCharacterSelection(input.tallyText);
    return out;
}

std::string ListBetsInText(std::string_view text, std::string_view separator) {
    const BetSet bets = BetSetFromText(text);
    if (bets.Empty()) return {};
    return RenderBetSet(bets, separator) + std::string(separator);
}

}  // namespace xuan5
