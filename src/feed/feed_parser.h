// The draw feed: the answer's draws staged as a table, the newness test and the countdown.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/draw_history.h"
#include "protocol/feed_format.h"

namespace xuan5 {

inline constexpr const char* kMsgCannotConnect = "无法连接";
inline constexpr const char* kMsgConnected = "连接成功";
inline constexpr const char* kMsgNoUpdate = "没有更新！";
inline constexpr const char* kMsgAutoUpdateOff = "自动更新未勾选";

// How a staged table stands to the history it would replace.
struct StagedChange {
    enum class Kind {
        None,       // nothing new: the same newest draw, or the known newest is not found
        FirstLoad,  // the history is empty
        Newer,      // rows 1..newRows of the staged table are draws after the known newest
        Corrected,  // the same newest period with other numbers: a correction, not a new period
    };
    Kind kind = Kind::None;
    int newRows = 0;
    // Staged rows that repeat a known period with other numbers, the newest first.
    std::vector<int> corrected;
};

// When both tables carry dates, the known newest draw is found by its date and period anywhere
// in the table: the rows above it are new, and a table that starts later but no longer holds it
// (a gap) is new from top to bottom. Without dates the newest period is looked for in rows
// 2..60 (period numbers start again every day, and a region with fewer than sixty draws a day
// holds yesterday's draw of the same period further down), and the same newest period with other
// numbers is a correction when the rows below it agree. Known draws the table repeats with other
// numbers are listed as corrected.
StagedChange CompareStaged(const DrawTable& incoming, const DrawTable& history);

struct FeedParse {
    std::string status;  // for Tnew; "已经开奖！" comes from the update step instead
    std::optional<DrawTable> staged;  // the new IncomingDraws; unset when the answer is refused
    bool hasNewDraws = false;         // a first load or new draws
};

// Reads an answer into a staged table, each row with the date its line carries. Every one of
// the 120 payload lines must be a three-digit period and five distinct numbers 01..11;
// otherwise the answer counts as no data and nothing is staged. `history` is the DrawHistory
// the staged table is compared with.
FeedParse ParseFeedResponse(std::string_view response, const DrawTable& history);

// Whether a staged table brings new draws: a first load, or draws after the known newest.
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
