// A message sink for tests: records every message instead of showing it, answering from a queue
// (Ok for an OK box, No for a question when the queue is empty). Installs itself for its
// lifetime.
#pragma once

#include <QString>
#include <deque>
#include <vector>

#include "ui/common/message_box.h"

namespace xuan5::ui {

struct RecordedMessage {
    QString text;
    QString title;
    MessageButtons buttons = MessageButtons::Ok;
    MessageKind kind = MessageKind::Notice;
};

class MessageRecorder : public MessageSink {
  public:
    MessageRecorder() : previous_(InstallMessageSink(this)) {}
    ~MessageRecorder() override { InstallMessageSink(previous_); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    void QueueAnswer(MessageAnswer answer) { answers_.push_back(answer); }
    const std::vector<RecordedMessage>& messages() const { return messages_; }
    void Clear() { messages_.clear(); }

    MessageAnswer Show(QWidget*, const QString& text, const QString& title, MessageButtons buttons,
                       MessageKind kind) override {
        messages_.push_back({text, title, buttons, kind});
        if (!answers_.empty()) {
            const MessageAnswer answer = answers_.front();
            answers_.pop_front();
            return answer;
        }
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }

  private:
    MessageSink* previous_ = nullptr;
    std::vector<RecordedMessage> messages_;
    std::deque<MessageAnswer> answers_;
};

}  // namespace xuan5::ui
