// Dated draws: the CSV layout `date,period,n1,n2,n3,n4,n5` that results are imported and exported
// in, and the dates that feed lines may carry between their period and their numbers.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xuan5 {

// One period's result with its date, as the archive keeps it.
struct DatedDraw {
    std::string date;     // "YYYY-MM-DD"
    std::string period;   // three digits, "045"
    std::string numbers;  // "NN,NN,NN,NN,NN" in delivery order
    friend bool operator==(const DatedDraw&, const DatedDraw&) = default;
};

inline constexpr const char* kDrawCsvHeader = "date,period,n1,n2,n3,n4,n5";

// A real calendar date from 1970 on, written YYYY-MM-DD, YYYY/MM/DD or YYYYMMDD.
std::optional<std::chrono::sys_days> ParseDrawDate(std::string_view text);
std::string DrawDateText(std::chrono::sys_days day);

// Why a CSV line was not taken.
enum class CsvFault {
    FieldCount,      // `count` fields instead of seven
    Date,            // `field` is no date
    Period,          // `field` is no period 1..999 of the line's date
    Number,          // `field` is no number 01..11
    RepeatedNumber,  // the five numbers are not distinct
    RepeatedPeriod,  // the date and period were given on line `count` already
};

struct CsvLineError {
    int line = 0;  // 1-based, as an editor shows it
    CsvFault fault = CsvFault::FieldCount;
    std::string field;  // the offending field, shortened so a binary line cannot flood a report
    int count = 0;
    friend bool operator==(const CsvLineError&, const CsvLineError&) = default;
};

// The report of one bad line for the window: "第3行：日期不对 '2024-02-30'".
std::string CsvLineErrorText(const CsvLineError& error);

struct DrawCsv {
    std::vector<DatedDraw> draws;  // in file order
    std::vector<CsvLineError> rejected;
};

// Reads one draw per line with an optional header line, LF or CR LF line ends and an optional
// UTF-8 byte order mark. Good lines are kept even when others are bad, so one typo does not
// cost a whole file. Periods: 1 to 3 digits, or the long form that prefixes the date
// (2024050612 or 24050612 for period 12 of 2024-05-06). Numbers: 1 or 2 digits each.
DrawCsv ParseDrawCsv(std::string_view text);

// "2024-05-06,012,03,11,07,01,05".
std::string DrawCsvLine(const DatedDraw& draw);

// The header line and one line per draw, each ending in CR LF; read back by ParseDrawCsv.
std::string DrawCsvText(const std::vector<DatedDraw>& draws);

// The date a feed line carries between its period (the first three characters) and its
// numbers (the last fourteen), as in "045 2026-12-07 01,05,06,09,11"; nullopt when that part
// holds no date ("045-01,05,06,09,11").
std::optional<std::string> FeedLineDate(std::string_view line);

// The payload rows of a feed response that carry a date, newest first, for archiving a fetch.
// Rows without a date, and rows that are no valid draw, are left out; a response without the
// marker or the closing separator gives none.
std::vector<DatedDraw> DatedFeedRows(std::string_view response);

}  // namespace xuan5
