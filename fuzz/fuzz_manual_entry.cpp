// Any typed line: an accepted draw is always a valid row, and staging it keeps the table whole.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/update_step.h"
#include "feed/manual_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace xuan5;
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const EntryCheck check = CheckManualEntry(line);
    if (check.draw.has_value() == !check.error.text.empty()) std::abort();
    if (!check.draw) return 0;
    if (!IsValidPeriod(check.draw->period) || !IsValidDrawNumbers(check.draw->numbers)) {
        std::abort();
    }
    AppState state;
    for (int r = 1; r <= kHistoryRows; ++r) state.DrawHistory[r] = {"100", "01,02,03,04,05"};
    StageTypedDraw(state, *check.draw);
    ApplyIncomingDraws(state);
    if (state.DrawKeys[120] == 0 || state.DrawHistory[1].period != check.draw->period) {
        std::abort();
    }
    return 0;
}
