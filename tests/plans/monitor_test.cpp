#include "plans/monitor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "core/text.h"

namespace xuan5 {
namespace {

bool HasText(const MonitorPicture& picture, double x, double y, const std::string& text) {
    return std::any_of(picture.texts.begin(), picture.texts.end(), [&](const ChartLabel& l) {
        return std::abs(l.x - x) < 1e-9 && std::abs(l.y - y) < 1e-9 && l.text == text;
    });
}

TEST(Monitor, GridHasItsLinesAndHeadings) {
    const MonitorPicture grid = DrawMonitorGrid();
    ASSERT_EQ(grid.lines.size(), 22u + 16u);
    for (const ChartLine& line : grid.lines) {
        EXPECT_EQ(line.color, ChartColor::Blue);
        EXPECT_EQ(line.width, 1);
        const bool horizontal = line.y0 == line.y1 && line.x0 == 0 && line.x1 == 17;
        const bool vertical =
            line.x0 == line.x1 && line.y0 == 0 && line.y1 == 21 && line.x0 >= 2 && line.x0 <= 17;
        EXPECT_TRUE(horizontal || vertical);
    }
    EXPECT_EQ(grid.texts.size(), 16u);
    EXPECT_TRUE(HasText(grid, 0.05, 20.8, "开奖期数"));
    EXPECT_TRUE(HasText(grid, 2.3, 20.8, "1"));
    EXPECT_TRUE(HasText(grid, 10.3, 20.8, "9"));
    EXPECT_TRUE(HasText(grid, 11.15, 20.8, "10"));
    EXPECT_TRUE(HasText(grid, 16.15, 20.8, "15"));
}

TEST(Monitor, CellsShowHitsMissesAndPaddedPeriods) {
    EXPECT_EQ(DrawMonitorCell(3, 20, "1", 1).text, "中");
    EXPECT_DOUBLE_EQ(DrawMonitorCell(3, 20, "1", 1).x, 3.4);
    EXPECT_DOUBLE_EQ(DrawMonitorCell(3, 20, "1", 1).y, 19.8);
    EXPECT_EQ(DrawMonitorCell(3, 20, "0", 1).text, "*");
    EXPECT_DOUBLE_EQ(DrawMonitorCell(3, 20, "0", 1).x, 3.5);
    EXPECT_EQ(DrawMonitorCell(0.5, 20, "007", 0).text, "007");
    EXPECT_DOUBLE_EQ(DrawMonitorCell(0.5, 20, "007", 0).x, 0.8);

    MonitorTable records{};
    records[1][15] = 7;
    records[1][16] = 1;
    records[1][0] = 1;
    records[2][15] = 108;
    records[2][16] = 1;
    records[2][14] = 1;
    records[4][15] = 9;  // after a free row: not shown
    records[4][16] = 1;
    const MonitorPicture table = RedrawMonitorTable(records);
    EXPECT_EQ(table.texts.size(), 16u + 2 * 16u);
    EXPECT_TRUE(HasText(table, 0.8, 19.8, "007"));
    EXPECT_TRUE(HasText(table, 2.4, 19.8, "中"));
    EXPECT_TRUE(HasText(table, 3.5, 19.8, "*"));
    EXPECT_TRUE(HasText(table, 0.8, 18.8, "108"));
    EXPECT_TRUE(HasText(table, 16.4, 18.8, "中"));
    EXPECT_TRUE(HasText(table, 2.5, 18.8, "*"));
    EXPECT_FALSE(HasText(table, 0.8, 16.8, "009"));
    EXPECT_EQ(RedrawMonitorTable(MonitorTable{}).texts.size(), 16u);
}

TEST(Monitor, SelectedLineCount) {
    std::array<bool, kLineCount> boxes{};
    EXPECT_EQ(CountSelectedLines(boxes), "0");
    boxes.fill(true);
    EXPECT_EQ(CountSelectedLines(boxes), "15");
    boxes[3] = boxes[9] = false;
    EXPECT_EQ(CountSelectedLines(boxes), "13");
}

}  // namespace
}  // namespace xuan5
