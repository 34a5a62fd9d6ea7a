#include "backtest/backtest_chart.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace xuan5 {
namespace {

std::vector<ChartLine> LinesOfWidth(const ChartPicture& picture, int width) {
    std::vector<ChartLine> lines;
    std::copy_if(picture.lines.begin(), picture.lines.end(), std::back_inserter(lines),
                 [width](const ChartLine& line) { return line.width == width; });
    return lines;
}

TEST(RunningTotalChart, RangeBarsAxisAndMarkerFollowTheProfitChartStyle) {
    // Four periods: a fall, a hit, a deep fall, no change. The deepest total sets R.
    const ChartPicture picture = RunningTotalChart({-460, 8, -7300, -7300});
    EXPECT_EQ(picture.range, 7500);
    EXPECT_EQ(picture.step, 750);
    // The grid: 0..7500 and 0..-7500 every 750, each line labelled at X = 1.
    const auto grid = LinesOfWidth(picture, 1);
    ASSERT_EQ(grid.size(), 22u);
    ASSERT_EQ(picture.labels.size(), 22u);
    EXPECT_EQ(picture.labels[10].text, "7500");
    EXPECT_EQ(picture.labels[21].text, "-7500");
    for (const ChartLine& line : grid) EXPECT_EQ(line.color, ChartColor::Blue);

    // Bars spread over 120 units, the last on the marker; then the red axis and green marker.
    const auto thick = LinesOfWidth(picture, 2);
    ASSERT_EQ(thick.size(), 6u);
    const double xs[] = {30, 60, 90, 120};
    const ChartColor colors[] = {ChartColor::Blue, ChartColor::Red, ChartColor::Blue,
                                 ChartColor::Blue};
    const double from[] = {0, -460, 8, -7300};
    const double to[] = {-460, 8, -7300, -7300};
    for (int i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(thick[i].x0, xs[i]);
        EXPECT_DOUBLE_EQ(thick[i].x1, xs[i]);
        EXPECT_DOUBLE_EQ(thick[i].y0, to[i]);
        EXPECT_DOUBLE_EQ(thick[i].y1, from[i]);
        EXPECT_EQ(thick[i].color, colors[i]) << "period " << i + 1;
    }
    EXPECT_EQ(thick[4].color, ChartColor::Red);
    EXPECT_DOUBLE_EQ(thick[4].y0, 0);
    EXPECT_EQ(thick[5].color, ChartColor::Green);
    EXPECT_DOUBLE_EQ(thick[5].y0, -7500);
    EXPECT_DOUBLE_EQ(thick[5].y1, 7500);

    // Small totals keep the canvas's range; a run without periods still draws its frame.
    EXPECT_EQ(RunningTotalChart({924, -300}).range, 5000);
    const ChartPicture empty = RunningTotalChart({});
    EXPECT_EQ(empty.range, 5000);
    EXPECT_EQ(LinesOfWidth(empty, 2).size(), 2u);
    // The newest period counts for the range, unlike on the profit chart.
    EXPECT_EQ(RunningTotalChart({0, 0, 9000}).range, 9200);

    // The chance band: grey edges from zero spread to each period's, and in range.
    const ChartPicture banded = RunningTotalChart({100, -50}, {{-900, 900}, {-6000, 6000}});
    EXPECT_EQ(banded.range, 6200);
    std::vector<ChartLine> grey;
    for (const ChartLine& line : banded.lines)
        if (line.color == ChartColor::Gray) grey.push_back(line);
    ASSERT_EQ(grey.size(), 4u);
    EXPECT_DOUBLE_EQ(grey[0].y0, 0);
    EXPECT_DOUBLE_EQ(grey[0].y1, 900);
    EXPECT_DOUBLE_EQ(grey[3].x0, 60);
    EXPECT_DOUBLE_EQ(grey[3].y1, -6000);
}

}  // namespace
}  // namespace xuan5
