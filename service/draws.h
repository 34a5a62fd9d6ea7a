// The draws the service serves: the regions' schedules, simulated results and the feed answer.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/dated_draw.h"
#include "protocol/endpoints.h"

namespace xuan5::service {

// Regions as the program numbers them (1 山东, 2 重庆, 3 广东); the program asks for kFeedLength
// draws and rejects a shorter list.
using xuan5::IsRegion;
using xuan5::kFeedLength;
using xuan5::kRegionCount;

// A region's daily draw times in China Standard Time (UTC+8, no daylight saving), the clock
// the lotteries run on whatever the host's time zone.
struct RegionSchedule {
    int first_minute;      // minutes after midnight of the first period
    int interval_minutes;  // between two periods
    int periods;           // per day, numbered 001 upward
};

// Indexed by region; element 0 is unused.
inline constexpr std::array<RegionSchedule, kRegionCount + 1> kSchedules = {{
    {0, 1, 1},
    {8 * 60 + 25, 20, 42},  // 山东 08:25 .. 22:05
    {9 * 60 + 10, 10, 84},  // 重庆 09:10 .. 23:00
    {9 * 60 + 30, 20, 42},  // 广东 09:30 .. 23:10
}};

// One period's result. `day` is "YYYY-MM-DD"; `numbers` are in delivery order.
struct Draw {
    std::string day;
    int period = 0;
    std::array<int, 5> numbers{};
    bool operator==(const Draw&) const = default;
};

using TimePoint = std::chrono::system_clock::time_point;

// Every scheduled period of a region has a running index: day * periods + (period - 1), days
// counted from 1970-01-01 in China time. Consecutive periods, across midnight too, differ by 1.
using Slot = std::int64_t;

// The latest period drawn at or before `now` (yesterday's last one before today's first).
Slot CurrentSlot(int region, TimePoint now);
Slot FirstSlotOfDay(int region, Slot slot);
TimePoint SlotTime(int region, Slot slot);
// Nothing when the period lies outside the region's schedule (imported data may do so).
std::optional<Slot> SlotOf(int region, const Draw& draw);

// The simulated result of a period: five distinct numbers of 1..11, uniformly random, fixed by
// region, date and period so that every run of the service agrees on the history.
Draw SimulatedDraw(int region, Slot slot);

// The newest `count` draws a simulating service holds when `newest` is its latest period, newest
// first: the simulated draw of every period up to `newest`, as a service running for weeks would
// have stored them, except where `stored` (the database's newest draws, newest first; imported
// results among them) holds a draw of the same day and period, which is served instead. Stored
// draws outside the schedule or after `newest` are served in their place by day and period.
std::vector<Draw> SimulatedHistory(int region, Slot newest, int count,
                                   const std::vector<Draw>& stored);

// Accepts YYYY-MM-DD, YYYY/MM/DD and YYYYMMDD of a real calendar date.
std::optional<std::chrono::sys_days> ParseDay(std::string_view text);
std::string DayText(std::chrono::sys_days day);

bool HasDistinctValidNumbers(const std::array<int, 5>& numbers);

// The draw as the program's archive and CSV files hold it, and back. FromDatedDraw expects a
// valid dated draw (a three-digit period, five numbers 01..11).
DatedDraw ToDatedDraw(const Draw& draw);
Draw FromDatedDraw(const DatedDraw& draw);

// "NNN YYYY-MM-DD NN,NN,NN,NN,NN": the program's feed reader takes the period and the numbers
// apart by position and ignores what stands between them; the date there lets a fetch be
// archived with its day.
std::string FeedLine(const Draw& draw);

// The text answered to a draw request for a list newest first; without the ok marker
// when the list is shorter than kFeedLength, so the program keeps its data.
std::string RenderFeed(int region, const std::vector<Draw>& newest_first);

}  // namespace xuan5::service
