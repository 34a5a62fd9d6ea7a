#include "csv_import.h"

#include <map>
#include <utility>

namespace xuan5::service {
namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
    return s;
}

bool AllDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

int ToInt(std::string_view digits) {
    int value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    return value;
}

// Keeps a quoted field short so that a stray binary line cannot flood the report.
std::string Quote(std::string_view s) {
    constexpr std::size_t kMax = 24;
    std::string quoted(1, '\'');
    quoted.append(s.substr(0, kMax));
    quoted.append(s.size() > kMax ? "...'" : "'");
    return quoted;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (;;) {
        const auto comma = line.find(',');
        fields.push_back(Trim(line.substr(0, comma)));
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
    return ToInt(text);
}

}  // namespace

ParsedCsv ParseDrawCsv(std::string_view text) {
    ParsedCsv result;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);

    std::map<std::pair<std::string, int>, int> first_line_of;
    bool seen_content = false;
    int line_number = 0;
    while (!text.empty()) {
        ++line_number;
        const auto newline = text.find('\n');
        const std::string_view line = Trim(text.substr(0, newline));
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        if (line.empty()) continue;

        const auto fields = SplitFields(line);
        const bool first = !seen_content;
        seen_content = true;
        if (first && (fields[0].empty() || fields[0][0] < '0' || fields[0][0] > '9')) continue;

        auto reject = [&](std::string reason) {
            result.rejected.push_back({line_number, std::move(reason)});
        };
        if (fields.size() != 7) {
            reject("expected 7 fields (date,period,n1..n5), found " +
                   std::to_string(fields.size()));
            continue;
        }
        const auto day = ParseDay(fields[0]);
        if (!day) {
            reject("bad date " + Quote(fields[0]));
            continue;
        }
        Draw draw;
        draw.day = DayText(*day);
        draw.period = ParsePeriod(fields[1], draw.day);
        if (draw.period < 1 || draw.period > 999) {
            reject("bad period " + Quote(fields[1]));
            continue;
        }
        std::string number_error;
        for (int i = 0; i < 5 && number_error.empty(); ++i) {
            const std::string_view field = fields[2 + i];
            const int n = AllDigits(field) && field.size() <= 2 ? ToInt(field) : 0;
            if (n < 1 || n > 11) number_error = "bad number " + Quote(field) + " (must be 01..11)";
            draw.numbers[i] = n;
        }
        if (number_error.empty() && !HasDistinctValidNumbers(draw.numbers)) {
            number_error = "the five numbers must differ";
        }
        if (!number_error.empty()) {
            reject(number_error);
            continue;
        }
        const auto [it, inserted] =
            first_line_of.emplace(std::pair(draw.day, draw.period), line_number);
        if (!inserted) {
            reject("period " + draw.day + " " + std::to_string(draw.period) +
                   " already given on line " + std::to_string(it->second));
            continue;
        }
        result.draws.push_back(std::move(draw));
    }
    return result;
}

}  // namespace xuan5::service
