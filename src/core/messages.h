// A message the window shows in a modal box: the exact text and title.
#pragma once

#include <string>

namespace xuan5 {

struct Message {
    std::string text;
    std::string title;
    friend bool operator==(const Message&, const Message&) = default;
};

inline constexpr const char* kMsgNoDrawData = "没有开奖数据";
inline constexpr const char* kTitleNoDrawData = "出错提示";

}  // namespace xuan5
