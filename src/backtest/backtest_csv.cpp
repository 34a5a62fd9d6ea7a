#include "backtest/backtest_csv.h"

#include <initializer_list>

#include "core/text.h"
#include "protocol/draw_csv.h"

namespace xuan5 {
namespace {

void AppendLine(std::string& text, std::initializer_list<std::string_view> fields) {
    bool first = true;
    for (std::string_view field : fields) {
        if (!first) text += ',';
        first = false;
        text += CsvField(field);
    }
    text += kCrLf;
}

}  // namespace

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string BacktestTableCsv(const std::vector<BacktestRow>& rows,
                             const std::vector<std::string>& notes) {
    std::string text = CsvNoteLines(notes) + kBacktestCsvHeader;
    text += kCrLf;
    for (const BacktestRow& row : rows) {
        AppendLine(text, {row.period, row.date, std::to_string(row.planSize), row.numbers,
                          row.hit ? kBacktestHitWord : kBacktestMissWord,
                          std::to_string(row.profit), std::to_string(row.total)});
    }
    return text;
}

std::string PlanLogCsv(const std::vector<BacktestRow>& rows,
                       const std::vector<std::string>& notes) {
    std::string text = CsvNoteLines(notes) + kPlanLogCsvHeader;
    text += kCrLf;
    for (const BacktestRow& row : rows)
        AppendLine(text, {row.period, row.date, row.record, row.tally});
    return text;
}

}  // namespace xuan5
