#include "curves/chart.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace xuan5 {
namespace {

std::vector<std::string> LabelTexts(const ChartPicture& p) {
    std::vector<std::string> texts;
    for (const auto& l : p.labels) texts.push_back(l.text);
    return texts;
}

TEST(Chart, RangeFollowsTheExtremesOfPeriodsOneTo119) {
    ProfitSeriesTable s{};
    for (int i = 1; i <= 120; ++i) s[i] = (i % 2 ? 4800 : -4800);
    ChartPicture p = DrawProfitChart(s);
    EXPECT_EQ(p.range, 5000);
    EXPECT_EQ(p.step, 500);
    const auto labels = LabelTexts(p);
    EXPECT_EQ(labels.front(), "0");
    EXPECT_NE(std::find(labels.begin(), labels.end(), "5000"), labels.end());
    EXPECT_NE(std::find(labels.begin(), labels.end(), "-5000"), labels.end());
    EXPECT_EQ(std::count(labels.begin(), labels.end(), "0"), 2);  // both passes label zero

    s = ProfitSeriesTable{};
    s[10] = -7300;
    s[20] = 1200;
    p = DrawProfitChart(s);
    EXPECT_EQ(p.range, 7500);
    EXPECT_EQ(p.step, 750);

    s = ProfitSeriesTable{};
    s[120] = -90000;  // the newest period does not widen the range
    EXPECT_EQ(DrawProfitChart(s).range, 5000);
}

TEST(Chart, BarsAreRedOnRisesAndBlueOtherwise) {
    ProfitSeriesTable s{};
    s[1] = 464;
    s[2] = 4;
    s[3] = 4;
    const ChartPicture p = DrawProfitChart(s);
    std::vector<ChartLine> bars;
    for (const auto& l : p.lines)
        if (l.width == 2 && l.x0 == l.x1 && l.x0 >= 1 && l.x0 <= 119) bars.push_back(l);
    ASSERT_EQ(bars.size(), 119u);
    EXPECT_EQ(bars[0].color, ChartColor::Red);
    EXPECT_EQ(bars[0].y0, 464);
    EXPECT_EQ(bars[0].y1, 0);
    EXPECT_EQ(bars[1].color, ChartColor::Blue);
    EXPECT_EQ(bars[2].color, ChartColor::Blue);  // no change: a zero-length blue bar
    EXPECT_EQ(bars[2].y0, bars[2].y1);
    const ChartLine& marker = p.lines.back();
    EXPECT_EQ(marker.color, ChartColor::Green);
    EXPECT_EQ(marker.x0, 120);
}

TEST(Chart, CanvasHasItsGridAndHint) {
    const ChartPicture p = PrepareTrendCanvas();
    EXPECT_EQ(p.range, 5000);
    EXPECT_EQ(p.lines.front().color, ChartColor::Red);  // the axis, under the blue grid line
    EXPECT_EQ(p.lines.size(), 1u + 11u + 11u + 1u);
    EXPECT_EQ(p.labels.back().text, "绘图的时候，请放慢点鼠标，别太快");
    EXPECT_EQ(p.labels.back().x, 40);
    EXPECT_EQ(p.labels.back().y, 730);
    EXPECT_EQ(p.lines.back().width, 1);
}

// Labels 16 px high on grid lines 20, 10, 7 or 1 px apart: every line, every 2nd, every 5th, or
// zero alone; zero once, and never two labels closer than one label's height.
TEST(Chart, FewerAxisLabelsWhereSpaceIsShort) {
    const ChartPicture p = PrepareTrendCanvas();
    auto axisTexts = [&](double spacing) {
        std::vector<std::string> texts;
        for (const ChartLabel& label : VisibleLabels(p, spacing, 16))
            if (label.axis) texts.push_back(label.text);
        return texts;
    };
    EXPECT_EQ(axisTexts(20).size(), 21u);
    EXPECT_EQ(axisTexts(10),
              (std::vector<std::string>{"0", "1000", "2000", "3000", "4000", "5000", "-1000",
                                        "-2000", "-3000", "-4000", "-5000"}));
    EXPECT_EQ(axisTexts(7), (std::vector<std::string>{"0", "2500", "5000", "-2500", "-5000"}));
    EXPECT_EQ(axisTexts(0.001), std::vector<std::string>{"0"});
    EXPECT_EQ(VisibleLabels(p, 0.001, 16).back().text, kCanvasHint);
}

}  // namespace
}  // namespace xuan5
