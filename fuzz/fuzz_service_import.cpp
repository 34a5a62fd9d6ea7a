// Any file given to `xuan5-service import`: every draw it takes is one the database stores
// (StoreDraws refuses the whole import for a single malformed draw), and every rejected line is
// reported once, in order, with a reason.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "csv_import.h"
#include "draws.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace xuan5::service;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ParsedCsv csv = ParseDrawCsv(text);
    int lastBadLine = 0;
    for (const RejectedLine& rejected : csv.rejected) {
        if (rejected.line <= lastBadLine || rejected.reason.empty()) std::abort();
        lastBadLine = rejected.line;
    }
    for (const Draw& draw : csv.draws) {
        const auto day = ParseDay(draw.day);
        if (!day || DayText(*day) != draw.day || draw.period < 1 || draw.period > 999 ||
            !HasDistinctValidNumbers(draw.numbers)) {
            std::abort();
        }
        if (FromDatedDraw(ToDatedDraw(draw)) != draw) std::abort();
    }
    return 0;
}
