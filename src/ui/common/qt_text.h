// The engine's texts are UTF-8 std::strings; the window's are QStrings. One conversion each way.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace xuan5::ui {

inline QString Q(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string Utf8(const QString& text) {
    return text.toStdString();
}

}  // namespace xuan5::ui
