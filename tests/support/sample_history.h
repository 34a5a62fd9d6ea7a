// Random but valid draw histories and feed responses for tests and benchmarks.
#pragma once

#include <algorithm>
#include <numeric>
#include <random>
#include <string>

#include "core/draw_history.h"
#include "core/text.h"

namespace xuan5::testing {

// Five distinct numbers 01..11 in a random delivery order.
inline std::string RandomDrawNumbers(std::mt19937_64& rng) {
    std::array<int, 11> all{};
    std::iota(all.begin(), all.end(), 1);
    std::shuffle(all.begin(), all.end(), rng);
    std::string text;
    for (int i = 0; i < 5; ++i) {
        if (i) text += ',';
        text += PadNumber(all[i], 2);
    }
    return text;
}

// 120 rows, row 1 newest with period `newestPeriod`, periods counting down.
inline DrawTable RandomHistory(std::uint64_t seed, int newestPeriod = 500) {
    std::mt19937_64 rng(seed);
    DrawTable table{};
    for (int r = 1; r <= kHistoryRows; ++r) {
        table[r].period = PadNumber((newestPeriod - r + 1 + 1000) % 1000, 3);
        table[r].numbers = RandomDrawNumbers(rng);
    }
    return table;
}

// A well-formed feed response carrying `rows` (rows 1..120, newest first).
inline std::string FeedResponse(const DrawTable& rows, const std::string& between = "-") {
    std::string payload;
    for (int r = 1; r <= kHistoryRows; ++r) {
        if (r > 1) payload += "\r\n";
        payload += rows[r].period + between + rows[r].numbers;
    }
    return "**ok***-*" + payload + "*-*tail";
}

}  // namespace xuan5::testing
