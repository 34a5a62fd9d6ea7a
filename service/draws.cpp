#include "draws.h"

#include <algorithm>
#include <cstdio>

#include "core/random.h"
#include "core/text.h"
#include "protocol/feed_format.h"

namespace xuan5::service {
namespace {

using std::chrono::days;
using std::chrono::minutes;
using std::chrono::sys_days;

constexpr auto kChinaOffset = std::chrono::hours(8);

Slot FloorDiv(Slot a, Slot b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

}  // namespace

Slot CurrentSlot(int region, TimePoint now) {
    const RegionSchedule& s = kSchedules[region];
    const auto local = std::chrono::floor<std::chrono::seconds>(now + kChinaOffset);
    const sys_days day = std::chrono::floor<days>(local);
    const auto minute_of_day = std::chrono::floor<minutes>(local - day).count();
    const Slot first_of_day = Slot{day.time_since_epoch().count()} * s.periods;
    if (minute_of_day < s.first_minute) return first_of_day - 1;
    const Slot index = (minute_of_day - s.first_minute) / s.interval_minutes;
    return first_of_day + std::min<Slot>(index, s.periods - 1);
}

Slot FirstSlotOfDay(int region, Slot slot) {
    const int periods = kSchedules[region].periods;
    return FloorDiv(slot, periods) * periods;
}

TimePoint SlotTime(int region, Slot slot) {
    const RegionSchedule& s = kSchedules[region];
    const Slot day = FloorDiv(slot, s.periods);
    const Slot index = slot - day * s.periods;
    const sys_days midnight{days(day)};
    return TimePoint(midnight - kChinaOffset +
                     minutes(s.first_minute + index * s.interval_minutes));
}

std::optional<Slot> SlotOf(int region, const Draw& draw) {
    const RegionSchedule& s = kSchedules[region];
    const auto day = ParseDay(draw.day);
    if (!day || draw.period < 1 || draw.period > s.periods) return std::nullopt;
    return Slot{day->time_since_epoch().count()} * s.periods + draw.period - 1;
}

Draw SimulatedDraw(int region, Slot slot) {
    const int periods = kSchedules[region].periods;
    const Slot day = FloorDiv(slot, periods);
    Draw draw;
    draw.day = DayText(sys_days{days(day)});
    draw.period = static_cast<int>(slot - day * periods) + 1;

    std::uint64_t state = 0x243F6A8885A308D3ull ^ static_cast<std::uint64_t>(region);
    state = xuan5::SplitMix64(state) ^ static_cast<std::uint64_t>(day);
    state = xuan5::SplitMix64(state) ^ static_cast<std::uint64_t>(draw.period);
    // A partial Fisher-Yates shuffle: every ordered choice of five numbers is equally likely.
    std::array<int, 11> pool{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    for (int i = 0; i < 5; ++i) {
        const auto j = i + static_cast<int>(UniformBelow(state, 11 - i));
        std::swap(pool[i], pool[j]);
        draw.numbers[i] = pool[i];
    }
    return draw;
}

std::vector<Draw> SimulatedHistory(int region, Slot newest, int count,
                                   const std::vector<Draw>& stored) {
    // Newest first by day, then by period; a stored draw takes the place of the simulated one.
    const auto newer = [](const Draw& a, const Draw& b) {
        return a.day != b.day ? a.day > b.day : a.period > b.period;
    };
    std::vector<Draw> merged = stored;
    std::sort(merged.begin(), merged.end(), newer);
    const auto held = [&](const Draw& draw) {
        return std::binary_search(merged.begin(), merged.begin() + stored.size(), draw,
                                  [&](const Draw& a, const Draw& b) { return newer(a, b); });
    };
    // The newest `count` periods are enough: each stored draw among them only replaces one.
    for (Slot slot = newest; slot > newest - count; --slot) {
        Draw draw = SimulatedDraw(region, slot);
        if (!held(draw)) merged.push_back(std::move(draw));
    }
    std::sort(merged.begin(), merged.end(), newer);
    if (merged.size() > static_cast<std::size_t>(count)) merged.resize(count);
    return merged;
}

std::optional<sys_days> ParseDay(std::string_view text) {
    if (const auto day = ParseDrawDate(text)) return *day;
    return std::nullopt;
}

std::string DayText(sys_days day) {
    return DrawDateText(day);
}

bool HasDistinctValidNumbers(const std::array<int, 5>& numbers) {
    unsigned seen = 0;
    for (int n : numbers) {
        if (n < 1 || n > 11 || (seen & (1u << n))) return false;
        seen |= 1u << n;
    }
    return true;
}

DatedDraw ToDatedDraw(const Draw& draw) {
    char period[8];
    char numbers[32];
    std::snprintf(period, sizeof period, "%03d", draw.period);
    std::snprintf(numbers, sizeof numbers, "%02d,%02d,%02d,%02d,%02d", draw.numbers[0],
                  draw.numbers[1], draw.numbers[2], draw.numbers[3], draw.numbers[4]);
    return {draw.day, period, numbers};
}

Draw FromDatedDraw(const DatedDraw& draw) {
    Draw out;
    out.day = draw.date;
    out.period = DigitsValue(draw.period);
    for (std::size_t i = 0; i < out.numbers.size(); ++i) {
        out.numbers[i] = DigitsValue(std::string_view(draw.numbers).substr(i * 3, 2));
    }
    return out;
}

std::string FeedLine(const Draw& draw) {
    return FeedLineText(ToDatedDraw(draw));
}

std::string RenderFeed(int region, const std::vector<Draw>& newest_first) {
    if (newest_first.size() < static_cast<std::size_t>(kFeedLength)) {
        return "not enough draws: " + std::to_string(newest_first.size()) + " of " +
               std::to_string(kFeedLength) + " stored for region " + std::to_string(region) +
               "\r\n";
    }
    std::vector<std::string> lines;
    lines.reserve(kFeedLength);
    for (int i = 0; i < kFeedLength; ++i) lines.push_back(FeedLine(newest_first[i]));
    return FeedAnswerText(lines, "\r\nregion " + std::to_string(region) + ", newest " +
                                     newest_first[0].day + " " + lines[0].substr(0, 3) + "\r\n");
}

}  // namespace xuan5::service
