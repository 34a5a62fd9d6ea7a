// The draw feed: the answer's draws staged as a table, the newness test and the countdown.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/draw_history.h"

namespace xuan5 {

inline constexpr const char* kMsgCannotConnect = "无法连接";
inline constexpr const char* kMsgConnected = "连接成功";
inline constexpr const char* kMsgNoFeedData = "没有获取到数据";
inline constexpr const char* kMsgNoUpdate = "没有更新！";
inline constexpr const char* kMsgAutoUpdateOff = "自动更新未勾选";

struct FeedParse {
    std::string status;  // for Tnew; "已经开奖！" comes from the update step instead
    std::optional<DrawTable> staged;  // the new IncomingDraws; unset when the answer is refused
    bool hasNewDraws = false;         // the caller then applies the staged table
};

// Reads an answer into a staged table. Every one of the 120 payload lines must be a three-digit
// period and five distinct numbers 01..11; otherwise the answer counts as no data and nothing is
// staged. `history` is the DrawHistory the staged table is compared with.
FeedParse ParseFeedResponse(std::string_view response, const DrawTable& history);

// Whether a staged table is newer than the history: history empty, or its newest period
// reappears in rows 2..60 of the staged table while the staged newest draw is another one.
bool HasNewDraws(const DrawTable& incoming, const DrawTable& history);

struct CountdownTick {
    std::int32_t seconds = 0;  // CountdownSeconds after the tick
    std::string label;         // shown in L_djs
    bool fetch = false;        // run FetchDraws now
    std::string status;        // for Tnew when not empty
};

// One tick of the one-second countdown that stands at `seconds`.
CountdownTick TickCountdown(std::int32_t seconds, bool autoUpdateTicked);

}  // namespace xuan5
