// What an operation gives back: a value, or the messages that say why there is none
// (Result); or a value that always comes, with the notices that go with it (Outcome). Every
// engine operation that can fail answers this way; none throws to its caller.
#pragma once

#include <cassert>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/message_titles.h"

namespace xuan5 {

// A message the window shows in a modal box: the exact text and title, and what kind of news it
// is, so that a caller decides by the kind and never by comparing texts.
struct Message {
    enum class Kind {
        Notice,        // news, not a failure: a step done, a setting that keeps the old value
        InvalidInput,  // what the user typed or chose cannot be used
        NotFound,      // something the operation needs is not there (no draws, nothing to undo)
        Damaged,       // stored or received data cannot be read as what they should be
        Refused,       // a valid input the operation declines (a limit, a text it cannot send)
        Io,            // the disk, the network or the system (memory, threads) failed it
        Cancelled,     // the user stopped it
    };

    std::string text;
    std::string title;
    // Last and defaulted, so that {text, title} still builds the commonest kind.
    Kind kind = Kind::InvalidInput;
    friend bool operator==(const Message&, const Message&) = default;
};

inline constexpr const char* kMsgNoDrawData = "没有开奖数据";

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
    // Stopped by its caller rather than refused: no message, or only words about the stop.
    bool Cancelled() const {
        if (ok()) return false;
        for (const Message& message : messages_) {
            if (message.kind != Message::Kind::Cancelled) return false;
        }
        return true;
    }

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

    // The value, or `fallback` where a failure needs no more than a stand-in.
    template <typename U>
    T value_or(U&& fallback) const {
        return ok() ? *value_ : static_cast<T>(std::forward<U>(fallback));
    }

    // Why there is no value, in the order to show them; empty on success.
    const std::vector<Message>& messages() const { return messages_; }
    // The same failure, to hand on as a result of another type.
    Failure failure() const { return {messages_}; }

    friend bool operator==(const Result&, const Result&) = default;
    // A result equals a value when it holds one equal to it, as an optional does.
    template <typename U>
    requires(!std::is_same_v<U, Result> && !std::is_same_v<U, Failure>) friend bool operator==(
        const Result& result, const U& value) {
        return result.ok() && *result.value_ == value;
    }

  private:
    std::optional<T> value_;
    std::vector<Message> messages_;
};

// An operation that succeeds with nothing to hand back.
struct Done {
    friend bool operator==(const Done&, const Done&) = default;
};
using Status = Result<Done>;

inline Status Ok() {
    return Done{};
}

// A value that always comes, and the notices that go with it: a damaged input the operation
// worked around, a failure that cut a list short after part of it was built.
template <typename T>
struct Outcome {
    T value;
    std::vector<Message> notices;  // in the order to show them
    friend bool operator==(const Outcome&, const Outcome&) = default;
};

}  // namespace xuan5
