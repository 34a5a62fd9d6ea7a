// Numbers read from the back-test's boxes, and rates and texts written for its tables and
// messages, shared by the panel, its archive side and the optimiser window.
#pragma once

#include <QLineEdit>
#include <QString>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/text.h"

namespace xuan5::ui {

// An integer from `low` to `high` typed into a box, spaces around it allowed; nothing otherwise.
inline std::optional<int> BoxNumber(const QLineEdit* box, int low, int high) {
    const auto value = ParseInteger32(TrimSpaces(box->text().toStdString()));
    if (!value || *value < low || *value > high) return std::nullopt;
    return *value;
}

// A seed: 0 or a positive integer that fits 64 bits, spaces around it allowed.
inline std::optional<std::uint64_t> BoxSeed(const QLineEdit* box) {
    const std::string text(TrimSpaces(box->text().toStdString()));
    std::uint64_t seed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seed);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return seed;
}

// The engine's UTF-8 text for a control.
inline QString Q(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// "12.5%".
inline QString Percent(double rate) {
    return QString::number(rate * 100.0, 'f', 1) + QLatin1Char('%');
}

}  // namespace xuan5::ui
