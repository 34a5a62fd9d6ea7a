#include "plans/monitor.h"

#include "core/bets.h"
#include "core/text.h"

namespace xuan5 {

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
            if (records[r][x - 2] < 0) continue;
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
