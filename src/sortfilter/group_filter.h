// Group filter: keeps the bets whose touched-group counts satisfy enough filter lines.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/result.h"

namespace xuan5 {

inline constexpr const char* kMsgFilterFailed = "输入格式有误，请检查格式。";

struct GroupFilterResult {
    // The cleaned filter box text, always written back (caret to its end).
    std::string T_paixu_input;
    // False when the cleaned text is empty: the result box and count keep their content.
    bool resultWritten = false;
    std::string T_paixu_dadi;        // bets joined by CR LF, no trailing break
    std::string Label_paixu_zhushu;  // decimal count, equal to the number of result lines
    std::optional<Message> message;

    friend bool operator==(const GroupFilterResult&, const GroupFilterResult&) = default;
};

// Only "=", "*", digits, spaces, CR and LF survive; everything else (commas, letters, tabs,
// every byte of a multi-byte character) is removed. Spaces at the ends are trimmed first.
std::string CleanFilterInput(std::string_view text);

// Runs the filter lines of T_paixu_input over the 462 bets; T_paixu_input_rc lists the accepted
// numbers of satisfied lines.
GroupFilterResult RunGroupFilter(std::string_view T_paixu_input, std::string_view T_paixu_input_rc);

}  // namespace xuan5
