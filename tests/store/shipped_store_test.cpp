#include <gtest/gtest.h>

#include <set>

#include "curves/base_search.h"
#include "curves/trend_line.h"
#include "store/curve_store.h"
#include "support/sample_history.h"

namespace xuan5 {
namespace {

// A new user plans at once from the shipped store, so every preset line must be a usable,
// distinct shape.
TEST(ShippedStore, HoldsFifteenDistinctUsableLines) {
    const auto lines =
        ReadCurveStoreFile(std::filesystem::path(XUAN5_SOURCE_DIR) / "data" / "data.mdb");
    ASSERT_TRUE(lines);
    std::set<std::string> distinct;
    const DrawKeyTable keys = DrawKeysFromSeries(BuildDrawSeries(testing::RandomHistory(8)));
    std::mt19937_64 rng(8);
    for (const auto& text : *lines) {
        const Result<TrendLineTable> parsed = ParseTrendLine(text);
        ASSERT_TRUE(parsed) << text;
        const TrendLineTable& line = *parsed;
        distinct.insert(text);
        for (int i = 1; i <= kHistoryRows; ++i) {
            EXPECT_LE(std::abs(line[i]), kCanvasRange) << "off the drawing canvas";
        }
        const BaseSearchResult r = SearchBaseForLine("230", line, keys, rng);
        EXPECT_GE(r.actualCount, 230);
    }
    EXPECT_EQ(distinct.size(), 15u);
}

}  // namespace
}  // namespace xuan5
