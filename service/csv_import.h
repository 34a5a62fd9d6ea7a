#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "draws.h"

namespace xuan5::service {

struct RejectedLine {
    int line = 0;  // 1-based, as an editor shows it
    std::string reason;
};

struct ParsedCsv {
    std::vector<Draw> draws;
    std::vector<RejectedLine> rejected;
};

// Reads results laid out as date,period,n1,n2,n3,n4,n5, one per line, with an optional header
// line. Good lines are kept even when others are bad, so one typo does not cost a whole file.
// Dates: YYYY-MM-DD, YYYY/MM/DD or YYYYMMDD. Periods: 1 to 3 digits, or the long form that
// prefixes the date (2024050612 or 24050612 for period 12 of 2024-05-06).
ParsedCsv ParseDrawCsv(std::string_view text);

}  // namespace xuan5::service
