#include "ui/widgets/kept_settings.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSettings>

namespace xuan5::ui {

void KeepControls(QSettings& settings, const QString& group,
                  const std::vector<QWidget*>& controls) {
    for (QWidget* control : controls) {
        const QString key = group + QLatin1Char('/') + control->objectName();
        const QVariant kept = settings.value(key);
        QSettings* file = &settings;
        if (auto* line = qobject_cast<QLineEdit*>(control)) {
            if (kept.isValid()) line->setText(kept.toString());
            QObject::connect(line, &QLineEdit::textChanged, control,
                             [file, key](const QString& text) { file->setValue(key, text); });
        } else if (auto* box = qobject_cast<QPlainTextEdit*>(control)) {
            if (kept.isValid()) box->setPlainText(kept.toString());
            QObject::connect(box, &QPlainTextEdit::textChanged, control,
                             [file, key, box] { file->setValue(key, box->toPlainText()); });
        } else if (auto* option = qobject_cast<QRadioButton*>(control)) {
            // An option is cleared by ticking another of its group, which is kept as well.
            if (kept.isValid() && kept.toBool()) option->setChecked(true);
            QObject::connect(option, &QRadioButton::toggled, control,
                             [file, key](bool on) { file->setValue(key, on); });
        } else if (auto* tick = qobject_cast<QCheckBox*>(control)) {
            if (kept.isValid()) tick->setChecked(kept.toBool());
            QObject::connect(tick, &QCheckBox::toggled, control,
                             [file, key](bool on) { file->setValue(key, on); });
        }
    }
}

}  // namespace xuan5::ui
