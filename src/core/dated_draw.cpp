#include "core/dated_draw.h"

#include <cstdio>

#include "core/text.h"

namespace xuan5 {

namespace {

Failure BadDate(std::string_view text) {
    return Fail({std::string(kMsgBadDate) + " '" + std::string(text) + "'", kTitleErrorNotice,
                 Message::Kind::InvalidInput});
}

}  // namespace

Result<std::chrono::sys_days> ParseDrawDate(std::string_view text) {
    std::string_view y, m, d;
    if (text.size() == 8) {
        y = text.substr(0, 4);
        m = text.substr(4, 2);
        d = text.substr(6, 2);
    } else if (text.size() == 10 && text[4] == text[7] && (text[4] == '-' || text[4] == '/')) {
        y = text.substr(0, 4);
        m = text.substr(5, 2);
        d = text.substr(8, 2);
    } else {
        return BadDate(text);
    }
    if (!AllDigits(y) || !AllDigits(m) || !AllDigits(d)) return BadDate(text);
    const std::chrono::year_month_day ymd{std::chrono::year(DigitsValue(y)),
                                          std::chrono::month(static_cast<unsigned>(DigitsValue(m))),
                                          std::chrono::day(static_cast<unsigned>(DigitsValue(d)))};
    if (!ymd.ok() || DigitsValue(y) < 1970) return BadDate(text);
    return std::chrono::sys_days(ymd);
}

std::string DrawDateText(std::chrono::sys_days day) {
    const std::chrono::year_month_day ymd(day);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
    return buffer;
}

}  // namespace xuan5
