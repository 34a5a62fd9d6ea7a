#include "curves/trend_line.h"

#include <gtest/gtest.h>

namespace xuan5 {
namespace {

TEST(TrendLine, ClickStartsAndClickStops) {
    TrendDrawing state;
    state.TrendLine[5] = 77;
    EXPECT_TRUE(TrendMouseDown(state));
    EXPECT_EQ(state.TrendLine, TrendLineTable{});
    EXPECT_FALSE(TrendMouseDown(state));
    EXPECT_EQ(state.TrendClickCount, 0);
    EXPECT_EQ(state.TrendLine, TrendLineTable{});
    // Moves while not drawing record nothing.
    EXPECT_FALSE(DrawTrendSegment(state, 10, 300));
    EXPECT_EQ(state.TrendLine[10], 0);
}

TEST(TrendLine, SegmentsJoinRecordedPoints) {
    TrendDrawing state;
    TrendMouseDown(state);
    EXPECT_FALSE(DrawTrendSegment(state, 10, 1000.5));  // first point: nothing to join
    EXPECT_EQ(state.TrendLine[10], 1000);               // half to even
    const auto seg = DrawTrendSegment(state, 14, -200.4);
    ASSERT_TRUE(seg);
    EXPECT_EQ(seg->x0, 10);
    EXPECT_EQ(seg->y0, 1000);
    EXPECT_EQ(seg->x1, 14);
    EXPECT_EQ(seg->width, 3);
    EXPECT_EQ(state.TrendLine[14], -200);
    // Outside the columns: the pen moves, nothing is stored.
    EXPECT_TRUE(DrawTrendSegment(state, 131, 5));
    EXPECT_TRUE(DrawTrendSegment(state, -1, 5));
    EXPECT_EQ(state.PenX, -1);
    // Moving back left overwrites the earlier column.
    DrawTrendSegment(state, 10, 400);
    EXPECT_EQ(state.TrendLine[10], 400);
}

// What is saved is what the screen shows: the straight segment between the recorded points.
TEST(TrendLine, GapsFollowTheSegmentOnScreen) {
    TrendDrawing state;
    TrendMouseDown(state);
    DrawTrendSegment(state, 10, 800);
    DrawTrendSegment(state, 14, 1000);
    DrawTrendSegment(state, 20, 0);  // a point on the zero axis is a point, not a gap
    DrawTrendSegment(state, 24, -400);
    TrendMouseDown(state);
    const TrendLineTable& line = state.TrendLine;
    EXPECT_EQ(line[11], 850);
    EXPECT_EQ(line[12], 900);
    EXPECT_EQ(line[13], 950);
    EXPECT_EQ(line[17], 500);
    EXPECT_EQ(line[22], -200);
    // Before the first and after the last point nothing was drawn, and nothing is saved.
    EXPECT_EQ(line[9], 0);
    EXPECT_EQ(line[1], 0);
    EXPECT_EQ(line[25], 0);
    EXPECT_EQ(line[120], 0);

    // Halves go to the even neighbour; a column drawn twice keeps its last point.
    TrendMouseDown(state);
    DrawTrendSegment(state, 1, 1);
    DrawTrendSegment(state, 3, 2);
    DrawTrendSegment(state, 5, 2);
    DrawTrendSegment(state, 7, 3);
    DrawTrendSegment(state, 3, 4);
    TrendMouseDown(state);
    EXPECT_EQ(state.TrendLine[2], 2);  // 2.5 between 1 and 4
    EXPECT_EQ(state.TrendLine[4], 3);  // 3 between 4 and 2
    EXPECT_EQ(state.TrendLine[6], 2);  // 2.5
    EXPECT_EQ(state.recorded.count(), 4u);
}

// The case: 2386 / 28 added up in doubles gives 1789.49..., not the exact half.
TEST(TrendLine, ExactHalvesAndTheEndNearTheNewestPeriod) {
    TrendDrawing state;
    auto draw = [&](std::initializer_list<std::pair<int, double>> points) {
        TrendMouseDown(state);
        for (const auto& [x, y] : points) DrawTrendSegment(state, x, y);
        TrendMouseDown(state);
        return state.TrendLine;
    };
    TrendLineTable line = draw({{78, 0}, {106, 2386}});
    EXPECT_EQ(line[99], 1790);  // 1789.5 goes to the even 1790
    EXPECT_EQ(line[85], 596);   // 596.5 goes to the even 596
    EXPECT_EQ(line[107], 0);    // 14 columns short of the newest period: not carried
    line = draw({{10, -3}, {14, 3}});
    EXPECT_EQ(line[11], -2);  // -1.5 goes to the even -2, whatever the step rounds to
    EXPECT_EQ(line[12], 0);
    EXPECT_EQ(line[13], 2);  // 1.5 goes to 2

    // Ending 3 columns short is carried to the newest period at its last value, 4 short is not.
    line = draw({{100, 500}, {117, 1700}});
    EXPECT_EQ(line[118], 1700);
    EXPECT_EQ(line[120], 1700);
    line = draw({{100, 500}, {116, 1600}});
    EXPECT_EQ(line[117], 0);
    EXPECT_EQ(line[120], 0);
    // The rightmost point counts, even when the hand went back left after it; a line that passes
    // the newest period keeps its own segment there.
    line = draw({{110, 100}, {119, -900}, {112, 400}});
    EXPECT_EQ(line[120], -900);
    line = draw({{118, 100}, {122, 500}});
    EXPECT_EQ(line[120], 300);
}

TEST(TrendLine, SavedTextRoundTripsAndBadTextsChangeNothing) {
    TrendLineTable line{};
    for (int i = 1; i <= 130; ++i) line[i] = (i - 60) * 37;
    const std::string text = SerializeTrendLine(line);
    EXPECT_EQ(text.substr(0, 11), "-2183*-2146");
    EXPECT_EQ(std::count(text.begin(), text.end(), '*'), 119);

    TrendLineTable before{};
    before[125] = 9;
    const Result<TrendLineTable> back = ParseTrendLine(text + "*5*x", before);  // past 120: ignored
    ASSERT_TRUE(back);
    for (int i = 1; i <= 120; ++i) EXPECT_EQ((*back)[i], line[i]);
    EXPECT_EQ((*back)[125], 9);

    const std::size_t thirdStar = text.find('*', text.find('*', text.find('*') + 1) + 1);
    const Result<TrendLineTable> lenient = ParseTrendLine(" 1.5 *-2.5*+3" + text.substr(thirdStar));
    ASSERT_TRUE(lenient);
    EXPECT_EQ((*lenient)[1], 2);
    EXPECT_EQ((*lenient)[2], -2);
    EXPECT_EQ((*lenient)[3], 3);

    const std::string fields119 = text.substr(0, text.rfind('*'));
    for (const std::string& bad : {std::string(), fields119, "1*x" + text.substr(text.find('*', 3)),
                                   text.substr(0, text.rfind('*')) + "*99999999999"}) {
        const Result<TrendLineTable> refused = ParseTrendLine(bad, *back);
        ASSERT_FALSE(refused) << bad;
        ASSERT_EQ(refused.messages().size(), 1u);
        EXPECT_EQ(refused.messages()[0].text, "曲线数据不完整，可能被破坏,请重新画线保存");
        EXPECT_EQ(refused.messages()[0].title, "提示");
    }
}

TEST(TrendLine, LoadedLineIsDrawnAtTheFieldValues) {
    // Fields 1..3 are "2.5", " -7.5 ", "+3"; the table keeps them rounded half to even.
    std::string text = "2.5* -7.5 *+3";
    for (int i = 4; i <= 121; ++i) text += "*" + std::to_string(i);
    const Result<TrendLineTable> line = ParseTrendLine(text);
    ASSERT_TRUE(line);
    EXPECT_EQ((*line)[1], 2);
    EXPECT_EQ((*line)[2], -8);

    const auto segments = SavedLineSegments(text);
    ASSERT_EQ(segments.size(), 119u);
    EXPECT_EQ(segments[0].x0, 1);
    EXPECT_EQ(segments[0].y0, 2.5);
    EXPECT_EQ(segments[0].x1, 2);
    EXPECT_EQ(segments[0].y1, -7.5);
    EXPECT_EQ(segments[1].y1, 3);
    EXPECT_EQ(segments[118].x1, 120);
    EXPECT_EQ(segments[118].y1, 120);
    EXPECT_EQ(segments[0].width, 4);
    EXPECT_EQ(segments[0].color, ChartColor::Red);

    // A text the parser refuses draws nothing.
    EXPECT_TRUE(SavedLineSegments("1*2*3").empty());
    std::string bad = text;
    bad.replace(bad.find("*50*"), 4, "*5x*");
    EXPECT_TRUE(SavedLineSegments(bad).empty());
}

}  // namespace
}  // namespace xuan5
