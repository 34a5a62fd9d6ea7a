// What an operation gives back: a value, or the messages that say why there is none. Every
// engine operation that can fail answers this way; none throws to its caller.
#pragma once

#include <cassert>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace xuan5 {

// A message the window shows in a modal box: the exact text and title.
struct Message {
    std::string text;
    std::string title;
    friend bool operator==(const Message&, const Message&) = default;
};

inline constexpr const char* kMsgNoDrawData = "没有开奖数据";
inline constexpr const char* kTitleNoDrawData = "出错提示";

// Why an operation gave no value. A failure without messages is a run its caller stopped.
struct Failure {
    std::vector<Message> messages;
};

inline Failure Fail(Message message) {
    return {{std::move(message)}};
}

template <typename T>
class [[nodiscard]] Result {
  public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure failure) : messages_(std::move(failure.messages)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    // Stopped by its caller rather than refused.
    bool Cancelled() const { return !ok() && messages_.empty(); }

    T& operator*() {
        assert(ok());
        return *value_;
    }
    const T& operator*() const {
        assert(ok());
        return *value_;
    }
    T* operator->() { return &**this; }
    const T* operator->() const { return &**this; }

    // Why there is no value, in the order to show them; empty on success.
    const std::vector<Message>& messages() const { return messages_; }
    // The same failure, to hand on as a result of another type.
    Failure failure() const { return {messages_}; }

  private:
    std::optional<T> value_;
    std::vector<Message> messages_;
};

// An operation that succeeds with nothing to hand back.
struct Done {};
using Status = Result<Done>;

inline Status Ok() {
    return Done{};
}

}  // namespace xuan5
