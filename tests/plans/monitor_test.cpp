#include "plans/monitor.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/draw_history.h"
#include "core/text.h"
#include "oracle/literal_state.h"

namespace xuan5 {
namespace {

void NewDraw(LiteralState& state, const std::string& period, const std::string& numbers) {
    for (int r = 2; r <= kHistoryRows; ++r) state.DrawHistory[r] = {"000", "02,03,04,05,06"};
    state.DrawHistory[1] = {period, numbers};
    state.DrawSeries = BuildDrawSeries(state.DrawHistory);
    state.DrawKeys = DrawKeysFromSeries(state.DrawSeries);
}

// The newest draw of the state recorded as the window records it, in region 1.
void Record(LiteralState& state) {
    MonitorLog log{state.MonitorRecords, {}};
    log = RecordMonitorRow(std::move(log), state.DrawHistory[1], state.DrawKeys[kHistoryRows],
                           LineBaseSetsFromTexts(state.LineBases), 1);
    state.MonitorRecords = log.MonitorRecords;
}

TEST(Monitor, RowsJudgeTheDrawAgainstEachLineBase) {
    LiteralState state;
    state.LineBases[0] = "01,03,07,09,11 02,03,04,05,06";
    state.LineBases[1] = "01,02,03,04,05";
    state.LineBases[14] = "01,03,07,09,11";
    // LineBases[2..13] are empty: a line with an empty base never hits.
    NewDraw(state, "042", "03,07,01,09,11");
    Record(state);
    const auto& row = state.MonitorRecords[1];
    EXPECT_EQ(row[0], 1);
    EXPECT_EQ(row[1], 0);
    for (int c = 2; c < 14; ++c) EXPECT_EQ(row[c], 0);
    EXPECT_EQ(row[14], 1);
    EXPECT_EQ(row[15], 42);
    EXPECT_EQ(row[16], 1);
    EXPECT_EQ(state.MonitorRecords[2][16], 0);
    EXPECT_EQ(state.MonitorRecords[0], (MonitorTable::value_type{}));
}

TEST(Monitor, TwentyFirstDrawScrollsTheOldestRowAway) {
    LiteralState state;
    state.LineBases[0] = "01,02,03,04,05";
    for (int period = 1; period <= 20; ++period) {
        NewDraw(state, PadNumber(period, 3), period % 2 ? "05,04,03,02,01" : "06,07,08,09,10");
        Record(state);
        // Until the table is full the newest row is the lowest used one.
        EXPECT_EQ(state.MonitorRecords[period][15], period);
    }
    NewDraw(state, "021", "05,04,03,02,01");
    Record(state);
    for (int r = 1; r <= 20; ++r) {
        EXPECT_EQ(state.MonitorRecords[r][15], r + 1);
        EXPECT_EQ(state.MonitorRecords[r][0], (r + 1) % 2) << r;
        EXPECT_EQ(state.MonitorRecords[r][16], 1);
    }
    EXPECT_EQ(state.MonitorRecords[21], (MonitorTable::value_type{}));
    NewDraw(state, "022", "01,02,03,04,05");
    Record(state);
    EXPECT_EQ(state.MonitorRecords[1][15], 3);
    EXPECT_EQ(state.MonitorRecords[20][15], 22);
    EXPECT_EQ(state.MonitorRecords[20][0], 1);

    state.MonitorRecords = {};
    Record(state);
    EXPECT_EQ(state.MonitorRecords[1][15], 22);
    EXPECT_EQ(state.MonitorRecords[2][16], 0);
}

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
