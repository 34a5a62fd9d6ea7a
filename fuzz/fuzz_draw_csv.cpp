// Any file as a draw CSV: every draw the reader takes is one the archive stores, and what it
// reads, written back and read again, is the same, with nothing rejected.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/dated_draw.h"
#include "core/draw_history.h"
#include "protocol/draw_csv.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace xuan5;
    const DrawCsv read = ParseDrawCsv(std::string_view(reinterpret_cast<const char*>(data), size));
    int lastBadLine = 0;
    for (const CsvLineError& error : read.rejected) {
        if (error.line <= lastBadLine || error.field.size() > 27) std::abort();
        lastBadLine = error.line;
        if (CsvLineErrorText(error).empty()) std::abort();
    }
    for (const DatedDraw& draw : read.draws) {
        const auto day = ParseDrawDate(draw.date);
        if (!day || DrawDateText(*day) != draw.date || !IsValidPeriod(draw.period) ||
            !IsValidDrawNumbers(draw.numbers)) {
            std::abort();
        }
    }
    const DrawCsv again = ParseDrawCsv(DrawCsvText(read.draws));
    if (again.draws != read.draws || !again.rejected.empty()) std::abort();
    return 0;
}
