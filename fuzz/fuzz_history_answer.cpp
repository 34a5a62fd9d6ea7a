// Any answer to a history request: the draws the download takes are ones the archive stores,
// and the service's writing of them reads back the same, line for line.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/dated_draw.h"
#include "core/draw_history.h"
#include "core/text.h"
#include "protocol/draw_csv.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace xuan5;
    const DrawCsv read = ParseDrawCsv(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const DatedDraw& draw : read.draws) {
        const auto day = ParseDrawDate(draw.date);
        if (!day || DrawDateText(*day) != draw.date || !IsValidPeriod(draw.period) ||
            !IsValidDrawNumbers(draw.numbers)) {
            std::abort();
        }
    }
    const std::string answer = HistoryAnswerText(read.draws);
    // No header: one line per draw, each ending in CR LF.
    if (!read.draws.empty() && !answer.starts_with(DrawCsvLine(read.draws.front()))) std::abort();
    if (!read.draws.empty() && SplitText(answer, "\r\n").size() != read.draws.size() + 1) {
        std::abort();
    }
    const DrawCsv again = ParseDrawCsv(answer);
    if (again.draws != read.draws || !again.rejected.empty()) std::abort();
    return 0;
}
