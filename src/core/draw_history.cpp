#include "core/draw_history.h"

#include <algorithm>
#include <utility>

#include "core/bets.h"
#include "core/text.h"

namespace xuan5 {
namespace {

// Bit v-1 for each number v of "NN,NN,NN,NN,NN"; 0 unless it is five distinct numbers 01..11.
unsigned DrawMask(const std::string& numbers) {
    if (numbers.size() != kBetTextLength) return 0;
    unsigned mask = 0;
    for (int i = 0; i < 5; ++i) {
        const char a = numbers[i * 3];
        const char b = numbers[i * 3 + 1];
        if (i < 4 && numbers[i * 3 + 2] != ',') return 0;
        if (a < '0' || a > '9' || b < '0' || b > '9') return 0;
        const int v = (a - '0') * 10 + (b - '0');
        if (v < 1 || v > 11 || (mask & (1u << (v - 1)))) return 0;
        mask |= 1u << (v - 1);
    }
    return mask;
}

}  // namespace

DrawSeriesTable BuildDrawSeries(const DrawTable& history) {
    DrawSeriesTable series{};
    int target = kHistoryRows;
    for (int r = 1; r <= kHistoryRows; ++r, --target) {
        // A valid draw sorts into the canonical text of its key.
        if (const int key = DrawKeyOf(history[r].numbers)) {
            series[target] = BetText(key);
            continue;
        }
        auto pieces = SplitText(history[r].numbers, ",");
        // A row that does not hold five numbers keeps what it has; validated sources never
        // deliver one, and such a key matches no bet.
        std::array<std::string, 5> parts;
        for (std::size_t i = 0; i < parts.size() && i < pieces.size(); ++i) {
            parts[i] = std::string(pieces[i]);
        }
        for (int pass = 0; pass < 4; ++pass) {
            for (int j = 0; j < 4; ++j) {
                if (LeadingNumber(parts[j + 1]) < LeadingNumber(parts[j])) {
                    std::swap(parts[j], parts[j + 1]);
                }
            }
        }
        series[target] =
            parts[0] + "," + parts[1] + "," + parts[2] + "," + parts[3] + "," + parts[4];
    }
    return series;
}

int DrawKeyOf(const std::string& numbers) {
    const unsigned mask = DrawMask(numbers);
    return mask == 0 ? 0 : BetFromMask(mask);
}

DrawKeyTable DrawKeysFromSeries(const DrawSeriesTable& series) {
    DrawKeyTable keys{};
    for (int i = 1; i <= kHistoryRows; ++i) keys[i] = BetFromText(series[i]);
    return keys;
}

bool IsValidDrawNumbers(const std::string& numbers) {
    return DrawMask(numbers) != 0;
}

bool IsValidPeriod(const std::string& period) {
    return period.size() == 3 && AllDigits(period);
}

}  // namespace xuan5
