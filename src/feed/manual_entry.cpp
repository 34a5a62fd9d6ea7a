#include "feed/manual_entry.h"

#include "core/text.h"

namespace xuan5 {

std::string ProposeEntryLine(const DrawTable& history) {
    std::string_view period = history[1].period;
    if (period.size() > 3) period = period.substr(period.size() - 3);
    const auto next = static_cast<long long>(LeadingNumber(period)) + 1;
    return PadNumber(next, 3) + "-01,02,03,04,05";
}

Result<DrawRecord> CheckManualEntry(std::string_view line) {
    const std::string_view trimmed = TrimSpaces(line);
    if (!Contains(trimmed, "-")) return Fail({kMsgEntryFormat, kTitleError});
    std::string cleaned;
    for (char ch : trimmed) {
        if ((ch >= '0' && ch <= '9') || ch == '-' || ch == ',') cleaned.push_back(ch);
    }
    const auto parts = SplitText(cleaned, "-");
    const std::string period = parts.empty() ? "" : std::string(parts[0]);
    const std::string numbers = parts.size() < 2 ? "" : std::string(parts[1]);
    if (!IsValidPeriod(period)) return Fail({kMsgEntryPeriod, kTitleError});
    // Unchecked numbers would silently spoil every curve and plan, so the typed draw must be
    // five distinct numbers 01..11 just like a fetched one.
    if (!IsValidDrawNumbers(numbers)) {
        return Fail({kMsgEntryNumbers, kTitleError});
    }
    return DrawRecord{period, numbers};
}

DrawTable StageTypedDraw(const DrawTable& history, const DrawRecord& draw) {
    // The typed draw goes on top of the history the user sees, not on whatever the last
    // response staged: a refused or unapplied response must not leak into the history.
    DrawTable staged = history;
    for (int r = kHistoryRows; r >= 2; --r) staged[r] = staged[r - 1];
    staged[1] = draw;
    return staged;
}

}  // namespace xuan5
