#include "ui/common/message_box.h"

#include <QMessageBox>
#include <cstdio>

#include "core/result.h"

namespace xuan5::ui {

namespace {

MessageSink*& CurrentSink() {
    static MessageSink* sink = nullptr;
    return sink;
}

MessageAnswer ShowRealBox(QWidget* parent, const QString& text, const QString& title,
                          MessageButtons buttons, MessageKind kind) {
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    if (buttons == MessageButtons::YesNo) {
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    box.setIcon(kind == MessageKind::Failure ? QMessageBox::Warning : QMessageBox::Information);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageAnswer::Ok;
}

}  // namespace

MessageAnswer ShowMessage(QWidget* parent, const QString& text, const QString& title,
                          MessageButtons buttons, MessageKind kind) {
    if (MessageSink* sink = CurrentSink()) return sink->Show(parent, text, title, buttons, kind);
    return ShowRealBox(parent, text, title, buttons, kind);
}

MessageAnswer ShowMessage(QWidget* parent, const xuan5::Message& message) {
    const MessageKind kind =
        message.kind == Message::Kind::Notice ? MessageKind::Notice : MessageKind::Failure;
    return ShowMessage(parent, QString::fromStdString(message.text),
                       QString::fromStdString(message.title), MessageButtons::Ok, kind);
}

MessageSink* InstallMessageSink(MessageSink* sink) {
    MessageSink* previous = CurrentSink();
    CurrentSink() = sink;
    return previous;
}

MessageAnswer StderrMessageSink::Show(QWidget*, const QString& text, const QString& title,
                                      MessageButtons buttons, MessageKind) {
    std::fprintf(stderr, "[%s] %s\n", title.toUtf8().constData(), text.toUtf8().constData());
    return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}

}  // namespace xuan5::ui
