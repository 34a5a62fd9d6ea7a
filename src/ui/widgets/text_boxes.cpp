#include "ui/widgets/text_boxes.h"

#include <QTextCursor>

#include "plans/plan_log.h"

namespace xuan5::ui {

MultiLineBox::MultiLineBox(QWidget* parent) : QPlainTextEdit(parent) {}

void MultiLineBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

void MultiLineBox::keyPressEvent(QKeyEvent* event) {
    typing_ = true;
    QPlainTextEdit::keyPressEvent(event);
    typing_ = false;
}

void MultiLineBox::inputMethodEvent(QInputMethodEvent* event) {
    typing_ = true;
    QPlainTextEdit::inputMethodEvent(event);
    typing_ = false;
}

void MultiLineBox::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    emit editingFinished();
}

QString WithCrLf(const QString& text) {
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return out;
}

std::string BoxText(const QPlainTextEdit* box) {
    return WithCrLf(box->toPlainText()).toStdString();
}

void SetBoxText(QPlainTextEdit* box, const std::string& text) {
    QString boxText = QString::fromStdString(text);
    boxText.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box->setPlainText(boxText);
}

std::string BoxText(const LinesBox* box) {
    return WithCrLf(box->Text()).toStdString();
}

void SetBoxText(LinesBox* box, const std::string& text) {
    box->SetText(QString::fromStdString(text));
}

void UseUnshapedFont(QWidget* box) {
    QFont font = box->font();
    font.setStyleStrategy(QFont::PreferNoShaping);
    box->setFont(font);
}

void SelectLastCharacter(QPlainTextEdit* box) {
    // The rule is the engine's; it is applied to the box's own text, where a line break is one
    // character rather than the two of CR LF.
    const TextSelection selection = LastCharacterSelection(box->toPlainText().toStdString());
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(selection.start);
    cursor.setPosition(selection.start + selection.length, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
    box->ensureCursorVisible();
}

}  // namespace xuan5::ui
