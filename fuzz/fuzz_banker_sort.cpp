// Any window length, mode and history rows: the sort never fails on bad rows and gives exactly
// what the literal text rules give.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "../tests/oracle/literal_sortfilter.h"
#include "sortfilter/banker_sort.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace xuan5;
    // Line 1: window length, line 2: mode, then one history row per line, "period|numbers".
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string fields[2];
    DrawTable history{};
    std::size_t start = 0;
    int line = 0;
    while (start <= text.size() && line < 2 + kHistoryRows) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view piece = text.substr(start, end - start);
        if (line < 2) {
            fields[line] = std::string(piece);
        } else {
            const std::size_t bar = piece.find('|');
            DrawRecord& row = history[line - 1];
            if (bar == std::string_view::npos) {
                row.numbers = std::string(piece);
            } else {
                row.period = std::string(piece.substr(0, bar));
                row.numbers = std::string(piece.substr(bar + 1));
            }
        }
        ++line;
        start = end + 1;
    }

    const BankerSortResult fast = RefreshBankerSort(history, fields[0], fields[1]);
    if (fast != literal::RefreshBankerSort(history, fields[0], fields[1])) std::abort();
    if (fast && fast->notices.empty() && fast->value.size() != kSortVerifiedPeriods + 1)
        std::abort();
    if (!fast && fast.messages().size() != 1) std::abort();
    return 0;
}
