// Control construction shared by the panels: every control carries its own name as
// objectName(), which is how handlers and tests find it.
#pragma once

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QString>

namespace xuan5::ui {

// The colour a label's (or any widget's) text is drawn in.
inline void SetTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

inline QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    return button;
}

inline QCheckBox* MakeCheck(QWidget* parent, const QString& name, const QString& text) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    return box;
}

// A label without a control name of its own stays unnamed.
inline QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text) {
    auto* label = new QLabel(text, parent);
    if (!name.isEmpty()) label->setObjectName(name);
    return label;
}

// A text box at least wide enough for `chars` digits plus its frame (0: the style's width), so
// short values never scroll out of sight.
inline QLineEdit* MakeLine(QWidget* parent, const QString& name, const QString& text,
                           int chars = 0) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(name);
    if (chars > 0) {
        const QFontMetrics fm(box->font());
        box->setMinimumWidth(fm.horizontalAdvance(QLatin1Char('0')) * chars + 14);
    }
    return box;
}

}  // namespace xuan5::ui
