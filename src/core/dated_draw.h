// A period's result with its date, as the archive, the CSV files and the history answer keep it.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "core/result.h"

namespace xuan5 {

// Followed by the text that is no date, in quotes.
inline constexpr const char* kMsgBadDate = "日期不对";

struct DatedDraw {
    std::string date;     // "YYYY-MM-DD"
    std::string period;   // three digits, "045"
    std::string numbers;  // "NN,NN,NN,NN,NN" in delivery order
    friend bool operator==(const DatedDraw&, const DatedDraw&) = default;
};

// A real calendar date from 1970 on, written YYYY-MM-DD, YYYY/MM/DD or YYYYMMDD; anything else
// fails with kMsgBadDate.
Result<std::chrono::sys_days> ParseDrawDate(std::string_view text);
std::string DrawDateText(std::chrono::sys_days day);

}  // namespace xuan5
