// The one door for modal message boxes. Every box the program shows goes through ShowMessage,
// so tests can swap the real QMessageBox for a recorder and never block on a dialog.
#pragma once

#include <QString>
#include <deque>
#include <vector>

class QWidget;

namespace xuan5 {
struct Message;
}

namespace xuan5::ui {

enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual MessageAnswer Show(QWidget* parent, const QString& text, const QString& title,
                               MessageButtons buttons) = 0;
};

MessageAnswer ShowMessage(QWidget* parent, const QString& text, const QString& title,
                          MessageButtons buttons = MessageButtons::Ok);
MessageAnswer ShowMessage(QWidget* parent, const xuan5::Message& message);

// Installs a sink; nullptr brings back the real message boxes. Returns the previous sink.
MessageSink* InstallMessageSink(MessageSink* sink);

struct RecordedMessage {
    QString text;
    QString title;
    MessageButtons buttons = MessageButtons::Ok;
};

// Records every message instead of showing it, answering from a queue (Ok for an OK box, No for
// a question when the queue is empty). Installs itself for its lifetime.
class MessageRecorder : public MessageSink {
  public:
    MessageRecorder();
    ~MessageRecorder() override;
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    void QueueAnswer(MessageAnswer answer) { answers_.push_back(answer); }
    const std::vector<RecordedMessage>& messages() const { return messages_; }
    void Clear() { messages_.clear(); }

    MessageAnswer Show(QWidget* parent, const QString& text, const QString& title,
                       MessageButtons buttons) override;

  private:
    MessageSink* previous_ = nullptr;
    std::vector<RecordedMessage> messages_;
    std::deque<MessageAnswer> answers_;
};

// Writes every message to stderr and answers OK / Yes: for runs without a screen (screenshots),
// where a real box would wait for a click that never comes.
class StderrMessageSink : public MessageSink {
  public:
    MessageAnswer Show(QWidget* parent, const QString& text, const QString& title,
                       MessageButtons buttons) override;
};

}  // namespace xuan5::ui
