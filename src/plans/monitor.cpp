#include "plans/monitor.h"

#include "core/bets.h"
#include "core/text.h"

namespace xuan5 {

MonitorTable RecordMonitorRow(MonitorTable rows, const DrawTable& history, const DrawKeyTable& keys,
                              const LineTexts& lineBases) {
    int r = 1;
    while (r <= kMonitorUsedRows && rows[r][kMonitorUsedColumn] != 0) ++r;
    if (r > kMonitorUsedRows) {
        // The oldest row is dropped so the newest stays at the bottom.
        for (int k = 1; k < kMonitorUsedRows; ++k) rows[k] = rows[k + 1];
        r = kMonitorUsedRows;
    }
    rows[r][kMonitorPeriodColumn] = ParseInteger32(history[1].period).value_or(0);
    rows[r][kMonitorUsedColumn] = 1;
    const int key = keys[kHistoryRows];
    for (int c = 0; c < kLineCount; ++c) rows[r][c] = BaseHoldsKey(lineBases[c], key) ? 1 : 0;
    return rows;
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
