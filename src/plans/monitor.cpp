#include "plans/monitor.h"

#include "core/bets.h"
#include "core/text.h"

namespace xuan5 {

namespace {

// The judgement of a row: one mark per line, 1 where the line's base holds the draw.
void JudgeRow(std::array<std::int32_t, kMonitorColumns + 1>& row, int key,
              const LineBaseSets& bases) {
    for (int c = 0; c < kLineCount; ++c) row[c] = key != 0 && bases[c].Test(key) ? 1 : 0;
}

}  // namespace

MonitorLog RecordMonitorRow(MonitorLog log, const DrawRecord& draw, int key,
                            const LineBaseSets& lineBases, int region) {
    auto& rows = log.MonitorRecords;
    int r = 1;
    while (r <= kMonitorUsedRows && rows[r][kMonitorUsedColumn] != 0) ++r;
    if (r > kMonitorUsedRows) {
        // The oldest row is dropped so the newest stays at the bottom.
        for (int k = 1; k < kMonitorUsedRows; ++k) {
            rows[k] = rows[k + 1];
            log.origins[k] = std::move(log.origins[k + 1]);
        }
        r = kMonitorUsedRows;
    }
    rows[r][kMonitorPeriodColumn] = ParseInteger32(draw.period).value_or(0);
    rows[r][kMonitorUsedColumn] = 1;
    JudgeRow(rows[r], key, lineBases);
    log.origins[r] = {region, draw.period, draw.date, lineBases};
    return log;
}

MonitorLog CorrectMonitorRows(MonitorLog log, const DrawRecord& draw, int key, int region) {
    for (int r = 1; r <= kMonitorUsedRows; ++r) {
        if (log.MonitorRecords[r][kMonitorUsedColumn] == 0) break;
        const MonitorRowOrigin& origin = log.origins[r];
        const bool sameDay = origin.date.empty() || draw.date.empty() || origin.date == draw.date;
        if (origin.region == region && origin.period == draw.period && sameDay) {
            JudgeRow(log.MonitorRecords[r], key, origin.bases);
        }
    }
    return log;
}

MonitorPicture DrawMonitorGrid() {
    MonitorPicture picture;
    for (int y = 0; y <= 21; ++y) {
        picture.lines.push_back({0, double(y), kMonitorWidth, double(y), ChartColor::Blue, 1});
    }
    for (int x = 2; x <= 17; ++x) {
        picture.lines.push_back({double(x), 0, double(x), kMonitorHeight, ChartColor::Blue, 1});
    }
    picture.texts.push_back({0.05, 20.8, kMonitorHeading});
    for (int n = 1; n <= kLineCount; ++n) {
        const double x = n + 1 + (n <= 9 ? 0.3 : 0.15);
        picture.texts.push_back({x, 20.8, std::to_string(n)});
    }
    return picture;
}

ChartLabel DrawMonitorCell(double x, double y, const std::string& value, int kind) {
    const double top = y - 0.2;
    if (kind == 1) {
        return value == "1" ? ChartLabel{x + 0.4, top, kMonitorHit}
                            : ChartLabel{x + 0.5, top, kMonitorMiss};
    }
    return {x + 0.3, top, value};
}

MonitorPicture RedrawMonitorTable(const MonitorTable& records) {
    MonitorPicture picture = DrawMonitorGrid();
    for (int r = 1; r <= kMonitorUsedRows && records[r][kMonitorUsedColumn] != 0; ++r) {
        const double y = kMonitorHeight - r;
        picture.texts.push_back(
            DrawMonitorCell(0.5, y, PadNumber(records[r][kMonitorPeriodColumn], 3), 0));
        for (int x = 2; x <= 16; ++x) {
            picture.texts.push_back(DrawMonitorCell(x, y, std::to_string(records[r][x - 2]), 1));
        }
    }
    return picture;
}

std::string CountSelectedLines(const LineChecks& checked) {
    int count = 0;
    for (bool box : checked) count += box ? 1 : 0;
    return std::to_string(count);
}

}  // namespace xuan5
