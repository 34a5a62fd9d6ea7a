// Any typed line: an accepted draw is always a valid row, and staging it keeps the table whole.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/update_step.h"
#include "feed/manual_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace xuan5;
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const Result<DrawRecord> check = CheckManualEntry(line);
    if (check.ok() == !check.messages().empty()) std::abort();
    if (!check) return 0;
    if (!IsValidPeriod(check->period) || !IsValidDrawNumbers(check->numbers)) std::abort();
    DrawTable history{};
    for (int r = 1; r <= kHistoryRows; ++r) history[r] = {"100", "01,02,03,04,05"};
    const Result<ApplyOutcome> applied = ApplyIncomingDraws(StageTypedDraw(history, *check), 1, 1);
    if (!applied || applied->DrawKeys[120] == 0 ||
        applied->DrawHistory[1].period != check->period) {
        std::abort();
    }
    return 0;
}
