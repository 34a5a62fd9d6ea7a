#include "csv_import.h"

#include "protocol/draw_csv.h"

namespace xuan5::service {
namespace {

std::string Reason(const CsvLineError& error) {
    const std::string field = "'" + error.field + "'";
    switch (error.fault) {
        case CsvFault::FieldCount:
            return "expected 7 fields (date,period,n1..n5), found " + std::to_string(error.count);
        case CsvFault::Date:
            return "bad date " + field;
        case CsvFault::Period:
            return "bad period " + field;
        case CsvFault::Number:
            return "bad number " + field + " (must be 01..11)";
        case CsvFault::RepeatedNumber:
            return "the five numbers must differ";
        case CsvFault::RepeatedPeriod:
            return "period " + error.field + " already given on line " +
                   std::to_string(error.count);
    }
    return "unreadable line";
}

}  // namespace

ParsedCsv ParseDrawCsv(std::string_view text) {
    const DrawCsv csv = xuan5::ParseDrawCsv(text);
    ParsedCsv parsed;
    parsed.draws.reserve(csv.draws.size());
    for (const DatedDraw& draw : csv.draws) parsed.draws.push_back(FromDatedDraw(draw));
    for (const CsvLineError& error : csv.rejected) {
        parsed.rejected.push_back({error.line, Reason(error)});
    }
    return parsed;
}

}  // namespace xuan5::service
