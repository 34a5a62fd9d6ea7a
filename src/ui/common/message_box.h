// The one door for modal message boxes. Every box the program shows goes through ShowMessage,
// so tests can swap the real QMessageBox for a sink of their own and never block on a dialog.
#pragma once

#include <QString>

class QWidget;

namespace xuan5 {
struct Message;
}

namespace xuan5::ui {

enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };
// What an OK box tells, which its icon shows: a notice (information) or a failure (warning: the
// user's command did not do what he asked). A Yes/No box is a question whatever its kind.
enum class MessageKind { Notice, Failure };

class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual MessageAnswer Show(QWidget* parent, const QString& text, const QString& title,
                               MessageButtons buttons, MessageKind kind) = 0;
};

MessageAnswer ShowMessage(QWidget* parent, const QString& text, const QString& title,
                          MessageButtons buttons = MessageButtons::Ok,
                          MessageKind kind = MessageKind::Notice);
inline MessageAnswer ShowFailure(QWidget* parent, const QString& text, const QString& title) {
    return ShowMessage(parent, text, title, MessageButtons::Ok, MessageKind::Failure);
}
// An operation's message: a notice informs, every other kind of message warns.
MessageAnswer ShowMessage(QWidget* parent, const xuan5::Message& message);

// Installs a sink; nullptr brings back the real message boxes. Returns the previous sink.
MessageSink* InstallMessageSink(MessageSink* sink);

// Writes every message to stderr and answers OK / Yes: for runs without a screen (screenshots),
// where a real box would wait for a click that never comes.
class StderrMessageSink : public MessageSink {
  public:
    MessageAnswer Show(QWidget* parent, const QString& text, const QString& title,
                       MessageButtons buttons, MessageKind kind) override;
};

}  // namespace xuan5::ui
