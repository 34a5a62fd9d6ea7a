// Numbers read from the back-test's boxes, and rates and texts written for its tables and
// messages, shared by the panel, its archive side and the optimiser window.
#pragma once

#include <QLineEdit>
#include <QString>
#include <QStringList>
#include <charconv>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text.h"
#include "ui/common/qt_text.h"

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

// Enables `to` and disables `from`, the focus moving to `to` first when one of them holds it:
// falling off a disabled button it would move on to the next control, and a scrolling panel
// would scroll to that control by itself.
inline void HandOver(QWidget* to, std::initializer_list<QWidget*> from) {
    to->setEnabled(true);
    for (QWidget* widget : from) {
        if (widget->hasFocus()) to->setFocus();
    }
    for (QWidget* widget : from) widget->setEnabled(false);
}

// Lines of the engine's as one text of a control.
inline QString JoinedLines(const std::vector<std::string>& lines) {
    QStringList joined;
    for (const std::string& line : lines) joined << Q(line);
    return joined.join(QLatin1Char('\n'));
}

// "12.5%".
inline QString Percent(double rate) {
    return QString::number(rate * 100.0, 'f', 1) + QLatin1Char('%');
}

}  // namespace xuan5::ui
