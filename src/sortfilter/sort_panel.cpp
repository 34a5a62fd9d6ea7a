#include "sortfilter/sort_panel.h"

#include <charconv>

#include "core/text.h"

namespace xuan5 {
namespace {

constexpr std::string_view kFullWidthColon = "：";
constexpr double kStepMinimum = 1;   // "-" needs a value above this
constexpr double kStepMaximum = 49;  // "+" needs a value below this

// Plain decimal text of a value: whole numbers without a fraction, others in their shortest
// exact form, never in exponent notation (the sort reads the text back with LeadingNumber).
std::string NumberText(double value) {
    char buffer[512];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (ec != std::errc()) return std::to_string(value);
    return std::string(buffer, end);
}

}  // namespace

std::optional<std::string> GroupingFromSortLine(std::string_view line) {
    const std::size_t first = line.find(kFullWidthColon);
    if (first == std::string_view::npos) return std::nullopt;
    const std::size_t start = first + kFullWidthColon.size();
    const std::size_t second = line.find(kFullWidthColon, start);
    return std::string(line.substr(
        start, second == std::string_view::npos ? std::string_view::npos : second - start));
}

AddFilterLineResult AddFilterLine(std::string_view T_paixu_input,
                                  std::string_view T_paixu_fenjie_houbei,
                                  std::string_view T_paixu_fenjie_houbei_cs) {
    AddFilterLineResult result;
    if (TrimSpaces(T_paixu_fenjie_houbei).empty() || TrimSpaces(T_paixu_fenjie_houbei_cs).empty()) {
        result.notices.push_back({kMsgEnterData, kTitleWrong});
        result.value = {std::string(T_paixu_input), std::string(T_paixu_fenjie_houbei)};
        return result;
    }
    std::string box;
    if (!TrimSpaces(T_paixu_input).empty()) {
        box.append(T_paixu_input);
        box.append(kCrLf);
    }
    box.append(T_paixu_fenjie_houbei);
    box.push_back('=');
    box.append(T_paixu_fenjie_houbei_cs);
    result.value.filterText = std::move(box);
    return result;
}

std::optional<std::string> StepWindowLength(std::string_view T_paixu_qishu, int step) {
    const double value = LeadingNumber(T_paixu_qishu);
    if (step < 0 && value > kStepMinimum) return NumberText(value - 1);
    if (step > 0 && value < kStepMaximum) return NumberText(value + 1);
    return std::nullopt;
}

}  // namespace xuan5
