// The one way text goes to the clipboard: the copy buttons of every panel.
#pragma once

#include <QString>

class QWidget;

namespace xuan5::ui {

inline constexpr const char* kMsgCopyFailed = "本次复制出现错误，请再次复制！";

// Clears the clipboard, puts `text` on it as plain text (line breaks as CR LF) and opens the
// copy notice over `parent`; when the clipboard does not hold the text afterwards, shows the copy
// error instead.
void CopyToClipboard(QWidget* parent, const QString& text);

}  // namespace xuan5::ui
