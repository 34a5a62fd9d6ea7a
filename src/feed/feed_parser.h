// The draw feed: the request URL, the response parser, the newness test and the countdown.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/app_state.h"

namespace xuan5 {

inline constexpr const char* kMsgCannotConnect = "无法连接";
inline constexpr const char* kMsgConnected = "连接成功";
inline constexpr const char* kMsgNoFeedData = "没有获取到数据";
inline constexpr const char* kMsgNoUpdate = "没有更新！";
inline constexpr const char* kMsgAutoUpdateOff = "自动更新未勾选";
inline constexpr const char* kFeedPath = "/11xuan5/huaxian/login.asp";

// The draw request URL: base address (no trailing slash needed), path and the query keys
// lx, zt, cz, a in that order. `a` is written in the default text form of a single.
std::string BuildDrawRequestUrl(std::string_view baseUrl, std::int32_t regionCode, float a);

// A single-precision value in its default text form: up to seven significant digits, no
// trailing zeros ("7.055475", "0.5", "3").
std::string FormatSingle(float value);

struct FeedParse {
    std::string status;        // for Tnew; "已经开奖！" comes from the update step instead
    bool hasNewDraws = false;  // the caller then runs ApplyIncomingDraws
};

// Stages a response into IncomingDraws. Every one of the 120 payload lines must be a
// three-digit period and five distinct numbers 01..11; otherwise the response counts as no
// data and neither IncomingDraws nor DrawHistory changes.
FeedParse ParseFeedResponse(std::string_view response, AppState& state);

// Whether IncomingDraws is newer than DrawHistory: history empty, or its newest period
// reappears in rows 2..60 of the staged table while the staged newest draw is another one.
bool HasNewDraws(const AppState& state);

struct CountdownTick {
    std::string label;   // shown in L_djs
    bool fetch = false;  // run FetchDraws now
    std::string status;  // for Tnew when not empty
};

// One tick of the one-second countdown.
CountdownTick TickCountdown(std::int32_t& countdownSeconds, bool autoUpdateTicked);

}  // namespace xuan5
