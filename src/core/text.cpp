#include "core/text.h"

#include <cmath>
#include <limits>

namespace xuan5 {

std::string_view TrimSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

namespace {

// A signed decimal at the front of `text`: optional sign, digits, optional fraction.
struct DecimalScan {
    double value = 0;
    std::size_t digits = 0;  // digits read, fraction included
    std::size_t end = 0;     // where reading stopped
};

DecimalScan ScanDecimal(std::string_view text) {
    DecimalScan scan;
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    auto isDigit = [&](std::size_t i) {
        return i < text.size() && text[i] >= '0' && text[i] <= '9';
    };
    for (; isDigit(pos); ++pos, ++scan.digits) scan.value = scan.value * 10 + (text[pos] - '0');
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        for (double scale = 0.1; isDigit(pos); ++pos, ++scan.digits, scale /= 10) {
            scan.value += (text[pos] - '0') * scale;
        }
    }
    if (negative) scan.value = -scan.value;
    scan.end = pos;
    return scan;
}

}  // namespace

double LeadingNumber(std::string_view text) {
    std::string compact;
    for (char ch : text) {
        if (ch != ' ' && ch != '\t') compact.push_back(ch);
    }
    const DecimalScan scan = ScanDecimal(compact);
    return scan.digits > 0 ? scan.value : 0;
}

double RoundHalfEven(double value) {
    return std::nearbyint(value);
}

std::string PadNumber(long long value, int width) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    if (static_cast<int>(digits.size()) < width) {
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    }
    return value < 0 ? "-" + digits : digits;
}

std::optional<std::int32_t> ParseInteger32(std::string_view text) {
    text = TrimSpaces(text);
    const DecimalScan scan = ScanDecimal(text);
    if (scan.digits == 0 || scan.end != text.size()) return std::nullopt;
    const double value = RoundHalfEven(scan.value);
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

int DigitsValue(std::string_view digits) {
    int value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    return value;
}

std::vector<std::string_view> SplitText(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> parts;
    if (text.empty()) return parts;
    std::size_t start = 0;
    while (true) {
        std::size_t hit = text.find(separator, start);
        if (hit == std::string_view::npos || separator.empty()) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, hit - start));
        start = hit + separator.size();
    }
}

bool Contains(std::string_view text, std::string_view needle) {
    if (needle.empty()) return !text.empty();
    return text.find(needle) != std::string_view::npos;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    if (from.empty()) return std::string(text);
    std::size_t start = 0;
    while (true) {
        std::size_t hit = text.find(from, start);
        if (hit == std::string_view::npos) {
            out.append(text.substr(start));
            return out;
        }
        out.append(text.substr(start, hit - start));
        out.append(to);
        start = hit + from.size();
    }
}

std::string JoinText(const std::vector<std::string>& parts, std::string_view separator) {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) out.append(separator);
        out.append(parts[i]);
    }
    return out;
}

std::string OnePerLine(std::string_view text, std::string_view lineBreak) {
    std::string lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find_first_of(" \t\r\n", at);
        const std::size_t stop = end == std::string_view::npos ? text.size() : end;
        if (stop > at) {
            if (!lines.empty()) lines += lineBreak;
            lines += text.substr(at, stop - at);
        }
        at = stop + 1;
    }
    return lines;
}

}  // namespace xuan5
