// The titles of the modal message boxes, each written once. The engine's messages carry them and
// the window's own boxes take theirs from here too, so a title never drifts between two copies.
#pragma once

namespace xuan5 {

inline constexpr const char* kTitleErrorNotice = "出错提示";
inline constexpr const char* kTitleError = "出错";
inline constexpr const char* kTitleWentWrong = "出错了";
inline constexpr const char* kTitleWrong = "错误";
inline constexpr const char* kTitleWrongNotice = "错误提示";
inline constexpr const char* kTitleNotice = "提示";
inline constexpr const char* kTitleFriendlyNotice = "友情提示";
inline constexpr const char* kTitleDone = "完成";
inline constexpr const char* kTitleTerms = "用户使用协议";

}  // namespace xuan5
