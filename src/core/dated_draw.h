// A period's result with its date, as the archive, the CSV files and the history answer keep it.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace xuan5 {

struct DatedDraw {
    std::string date;     // "YYYY-MM-DD"
    std::string period;   // three digits, "045"
    std::string numbers;  // "NN,NN,NN,NN,NN" in delivery order
    friend bool operator==(const DatedDraw&, const DatedDraw&) = default;
};

// A real calendar date from 1970 on, written YYYY-MM-DD, YYYY/MM/DD or YYYYMMDD.
std::optional<std::chrono::sys_days> ParseDrawDate(std::string_view text);
std::string DrawDateText(std::chrono::sys_days day);

}  // namespace xuan5
