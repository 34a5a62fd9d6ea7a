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
    std::vector<std::string> notes;  // the text of the lines that begin with "#", in file order
};

// The header block an exported CSV begins with, saying what it holds: each note on a line of
// its own behind "# ". Every reader of the CSVs skips such lines.
std::string CsvNoteLines(const std::vector<std::string>& notes);

// "2024-05-06 001": a period with its date, as notes and tables name it.
std::string PeriodLabel(const DatedDraw& draw);

// The first note of an export: "地区：山东　期间：2024-05-06 001 至 2024-05-07 042（84期）".
std::string SpanNote(std::string_view region, std::string_view first, std::string_view last,
                     std::size_t periods);

// Reads one draw per line with an optional header line, LF or CR LF line ends and an optional
// UTF-8 byte order mark; lines that begin with "#" are notes. Good lines are kept even when others
// are bad, so one typo does not cost a whole file. Periods: 1 to 3 digits, or the long form that
// prefixes the date (2024050612 or 24050612 for period 12 of 2024-05-06). Numbers: 1 or 2 digits
// each.
DrawCsv ParseDrawCsv(std::string_view text);

// "2024-05-06,012,03,11,07,01,05".
std::string DrawCsvLine(const DatedDraw& draw);

// The notes, the header line and one line per draw, each ending in CR LF; read back by
// ParseDrawCsv.
std::string DrawCsvText(const std::vector<DatedDraw>& draws,
                        const std::vector<std::string>& notes = {});

// The answer to a history request: one line per draw, oldest first, each ending in CR LF and
// without the header; read back by ParseDrawCsv.
std::string HistoryAnswerText(const std::vector<DatedDraw>& oldestFirst);

}  // namespace xuan5
