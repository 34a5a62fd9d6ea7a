// The draw CSV layout `date,period,n1,n2,n3,n4,n5`: results imported and exported as files, and
// the service's answer to a history request.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/dated_draw.h"

namespace xuan5 {

inline constexpr const char* kDrawCsvHeader = "date,period,n1,n2,n3,n4,n5";

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

// The answer to a history request: one line per draw, oldest first, each ending in CR LF and
// without the header; read back by ParseDrawCsv.
std::string HistoryAnswerText(const std::vector<DatedDraw>& oldestFirst);

}  // namespace xuan5
