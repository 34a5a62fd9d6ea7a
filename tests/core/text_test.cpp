#include "core/text.h"

#include <gtest/gtest.h>

namespace xuan5 {
namespace {

TEST(Text, LeadingNumberIsLenient) {
    EXPECT_EQ(LeadingNumber("230"), 230);
    EXPECT_EQ(LeadingNumber(" 2 30abc"), 230);
    EXPECT_EQ(LeadingNumber("-12.5x"), -12.5);
    EXPECT_EQ(LeadingNumber("abc"), 0);
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber(".5"), 0.5);
}

TEST(Text, RoundsHalfToEven) {
    EXPECT_EQ(RoundHalfEven(10.5), 10);
    EXPECT_EQ(RoundHalfEven(11.5), 12);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.6), 3);
}

TEST(Text, StrictIntegers) {
    EXPECT_EQ(ParseInteger32(" -12 "), -12);
    EXPECT_EQ(ParseInteger32("2.5"), 2);
    EXPECT_EQ(ParseInteger32("3.5"), 4);
    EXPECT_EQ(ParseInteger32("2147483647"), 2147483647);
    EXPECT_EQ(ParseInteger32("2147483648"), std::nullopt);
    EXPECT_EQ(ParseInteger32(""), std::nullopt);
    EXPECT_EQ(ParseInteger32("1a"), std::nullopt);
    EXPECT_EQ(ParseInteger32("-"), std::nullopt);
}

TEST(Text, SplitKeepsEmptyParts) {
    EXPECT_TRUE(SplitText("", " ").empty());
    EXPECT_EQ(SplitText("a  b", " ").size(), 3u);
    EXPECT_EQ(SplitText("a*", "*").size(), 2u);
    EXPECT_EQ(PadNumber(46, 3), "046");
    EXPECT_EQ(PadNumber(1234, 3), "1234");
    EXPECT_EQ(ReplaceAll("a**b***c", "**", " "), "a b *c");
    EXPECT_TRUE(Contains("01,02", ""));
    EXPECT_FALSE(Contains("", ""));
}

}  // namespace
}  // namespace xuan5
