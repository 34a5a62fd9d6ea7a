// Draw records, the history tables and the chronological key series.
#pragma once

#include <array>
#include <string>

namespace xuan5 {

inline constexpr int kHistoryRows = 120;

struct DrawRecord {
    std::string period;   // three digits, "045"
    std::string numbers;  // "NN,NN,NN,NN,NN" in delivery order
    std::string date{};   // "YYYY-MM-DD" when the source says; empty when it does not

    friend bool operator==(const DrawRecord&, const DrawRecord&) = default;
};

// Rows 0..120; row 1 is the newest period, row 0 stays empty.
using DrawTable = std::array<DrawRecord, kHistoryRows + 1>;

// Elements 0..120; element 121 - r holds the key of history row r, element 0 stays empty.
using DrawSeriesTable = std::array<std::string, kHistoryRows + 1>;

// Draw keys as bet numbers, same indexing as DrawSeriesTable; 0 where a key is not a bet.
using DrawKeyTable = std::array<int, kHistoryRows + 1>;

// Sorts each row's five numbers ascending (stable bubble sort on their numeric values, texts
// kept as delivered) into the key series, oldest first.
DrawSeriesTable BuildDrawSeries(const DrawTable& history);

// The key of a draw as a bet number: its numbers sorted ascending. 0 when the numbers are no
// valid draw.
int DrawKeyOf(const std::string& numbers);

// The bet number of every key of the series.
DrawKeyTable DrawKeysFromSeries(const DrawSeriesTable& series);

// Whether a numbers text is five distinct numbers 01..11 in the NN,NN,NN,NN,NN form.
bool IsValidDrawNumbers(const std::string& numbers);

// Whether a period text is exactly three digits.
bool IsValidPeriod(const std::string& period);

}  // namespace xuan5
