// Importing a draw CSV file into the service's database.
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

// Reads results laid out as date,period,n1,n2,n3,n4,n5 with the program's own reader
// (xuan5::ParseDrawCsv) and words the rejected lines for the command line.
ParsedCsv ParseDrawCsv(std::string_view text);

}  // namespace xuan5::service
