#include "ui/widgets/clipboard.h"
#include "core/message_titles.h"

#include <QApplication>
#include <QClipboard>

#include "ui/common/message_box.h"
#include "ui/widgets/ftishi.h"
#include "ui/widgets/text_boxes.h"

namespace xuan5::ui {

void CopyToClipboard(QWidget* parent, const QString& text) {
    const QString plain = WithCrLf(text);
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(plain);
    // The clipboard reports no failure of its own; reading the text back is the one check.
    if (clipboard->text() != plain) {
        ShowFailure(parent, QString::fromUtf8(kMsgCopyFailed),
                    QString::fromUtf8(kTitleWrongNotice));
        return;
    }
    ShowCopyNotice(parent);
}

}  // namespace xuan5::ui
