#include "protocol/draw_csv.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <utility>

#include "core/bets.h"
#include "core/draw_history.h"
#include "core/text.h"

namespace xuan5 {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view TrimField(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
    return s;
}

std::string Shorten(std::string_view s) {
    constexpr std::size_t kMax = 24;
    std::string shown(s.substr(0, kMax));
    if (s.size() > kMax) shown += "...";
    return shown;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const auto comma = line.find(',');
        fields.push_back(TrimField(line.substr(0, comma)));
        if (comma == std::string_view::npos) return fields;
        line.remove_prefix(comma + 1);
    }
}

// 0 when the text is no period of `day` ("2024-05-06").
int ParsePeriod(std::string_view text, const std::string& day) {
    if (!AllDigits(text)) return 0;
    if (text.size() > 3) {
        const std::string compact = day.substr(0, 4) + day.substr(5, 2) + day.substr(8, 2);
        std::string_view rest;
        if (text.starts_with(compact)) {
            rest = text.substr(8);
        } else if (text.starts_with(std::string_view(compact).substr(2))) {
            rest = text.substr(6);
        }
        if (rest.empty() || rest.size() > 3) return 0;
        text = rest;
    }
    return DigitsValue(text);
}

}  // namespace

std::string CsvLineErrorText(const CsvLineError& error) {
    std::string text = "第" + std::to_string(error.line) + "行：";
    const std::string field = "'" + error.field + "'";
    switch (error.fault) {
        case CsvFault::FieldCount:
            return text + "应有7项（日期,期号,5个号码），实有" + std::to_string(error.count) + "项";
        case CsvFault::Date:
            return text + kMsgBadDate + " " + field;
        case CsvFault::Period:
            return text + "期号不对 " + field;
        case CsvFault::Number:
            return text + "号码不对 " + field + "（须为01..11）";
        case CsvFault::RepeatedNumber:
            return text + "5个号码不能重复";
        case CsvFault::RepeatedPeriod:
            return text + "与第" + std::to_string(error.count) + "行同一期";
    }
    return text;
}

DrawCsv ParseDrawCsv(std::string_view text) {
    DrawCsv result;
    if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());

    std::map<std::pair<std::string, std::string>, int> firstLineOf;
    bool seenContent = false;
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const auto newline = text.find('\n');
        const std::string_view line = TrimField(text.substr(0, newline));
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        if (line.empty()) continue;
        if (line.starts_with('#')) {
            std::string_view note = line.substr(1);
            if (note.starts_with(' ')) note.remove_prefix(1);
            result.notes.emplace_back(note);
            continue;
        }

        const auto fields = SplitFields(line);
        const bool first = !seenContent;
        seenContent = true;
        // Only the first line may be a header; one further down is an error like any other.
        if (first && (fields[0].empty() || fields[0][0] < '0' || fields[0][0] > '9')) continue;

        const auto reject = [&](CsvFault fault, std::string_view field, int count = 0) {
            result.rejected.push_back({lineNumber, fault, Shorten(field), count});
        };
        if (fields.size() != 7) {
            reject(CsvFault::FieldCount, "", static_cast<int>(fields.size()));
            continue;
        }
        const auto day = ParseDrawDate(fields[0]);
        if (!day) {
            reject(CsvFault::Date, fields[0]);
            continue;
        }
        DatedDraw draw;
        draw.date = DrawDateText(*day);
        const int period = ParsePeriod(fields[1], draw.date);
        if (period < 1 || period > 999) {
            reject(CsvFault::Period, fields[1]);
            continue;
        }
        draw.period = PadNumber(period, 3);
        bool numbersRead = true;
        for (int i = 0; i < 5 && numbersRead; ++i) {
            const std::string_view field = fields[static_cast<std::size_t>(2 + i)];
            const int n = AllDigits(field) && field.size() <= 2 ? DigitsValue(field) : 0;
            if (n < 1 || n > 11) {
                reject(CsvFault::Number, field);
                numbersRead = false;
                break;
            }
            if (i) draw.numbers += ',';
            draw.numbers += PadNumber(n, 2);
        }
        if (!numbersRead) continue;
        if (!IsValidDrawNumbers(draw.numbers)) {
            reject(CsvFault::RepeatedNumber, "");
            continue;
        }
        const auto [it, inserted] =
            firstLineOf.emplace(std::pair(draw.date, draw.period), lineNumber);
        if (!inserted) {
            reject(CsvFault::RepeatedPeriod, draw.date + " " + draw.period, it->second);
            continue;
        }
        result.draws.push_back(std::move(draw));
    }
    return result;
}

std::string DrawCsvLine(const DatedDraw& draw) {
    return draw.date + "," + draw.period + "," + draw.numbers;
}

std::string CsvNoteLines(const std::vector<std::string>& notes) {
    std::string text;
    for (const std::string& note : notes) {
        // A note of several lines stays a note on each.
        const std::string lines = ReplaceAll(note, "\r\n", "\n");
        for (std::string_view line : SplitText(lines, "\n")) {
            text += "# ";
            text += line;
            text += kCrLf;
        }
    }
    return text;
}

std::string PeriodLabel(const DatedDraw& draw) {
    return draw.date + " " + draw.period;
}

std::string SpanNote(std::string_view region, std::string_view first, std::string_view last,
                     std::size_t periods) {
    return "地区：" + std::string(region) + "　期间：" + std::string(first) + " 至 " +
           std::string(last) + "（" + std::to_string(periods) + "期）";
}

std::string DrawCsvText(const std::vector<DatedDraw>& draws,
                        const std::vector<std::string>& notes) {
    return CsvNoteLines(notes) + std::string(kDrawCsvHeader) + std::string(kCrLf) +
           HistoryAnswerText(draws);
}

std::string HistoryAnswerText(const std::vector<DatedDraw>& oldestFirst) {
    std::string text;
    text.reserve(oldestFirst.size() * 32);
    for (const DatedDraw& draw : oldestFirst) {
        text += DrawCsvLine(draw);
        text += kCrLf;
    }
    return text;
}

}  // namespace xuan5
