#include "plans/backup_base.h"

#include <gtest/gtest.h>

#include <random>

namespace xuan5 {
namespace {

TEST(BackupBase, BetsOnLinesBecomeOneLine) {
    // The default first box: the first pass counts the item the final break leaves, the pass
    // its rewrite triggers counts again.
    const std::string box = "01,02,03,04,05\r\n05,06,07,08,09\r\n";
    const BackupBaseResult first = NormalizeBackupPass(box);
    EXPECT_EQ(first.text, "01,02,03,04,05 05,06,07,08,09");
    EXPECT_EQ(first.count, "3");
    const BackupBaseResult settled = NormalizeBackupBase(box);
    EXPECT_EQ(settled.text, "01,02,03,04,05 05,06,07,08,09");
    EXPECT_EQ(settled.count, "2");
    EXPECT_TRUE(settled.textChanged);
}

TEST(BackupBase, OddLineBreaksAndEmptyBoxes) {
    // A blank line leaves two spaces and one empty item.
    BackupBaseResult r = NormalizeBackupBase("01,02,03,04,05\r\n\r\n05,06,07,08,09");
    EXPECT_EQ(r.text, "01,02,03,04,05  05,06,07,08,09");
    EXPECT_EQ(r.count, "3");
    // A lone line feed stays a star.
    r = NormalizeBackupBase("01,02,03,04,05\n05,06,07,08,09");
    EXPECT_EQ(r.text, "01,02,03,04,05*05,06,07,08,09");
    EXPECT_EQ(r.count, "1");
    // Three breaks: two stars pair up, the third stays.
    r = NormalizeBackupBase("a\r\n\nb");
    EXPECT_EQ(r.text, "a *b");
    EXPECT_EQ(r.count, "2");
    r = NormalizeBackupBase("");
    EXPECT_EQ(r.text, "");
    EXPECT_EQ(r.count, "0");
    EXPECT_FALSE(r.textChanged);
    r = NormalizeBackupBase("   ");
    EXPECT_EQ(r.text, "");
    EXPECT_EQ(r.count, "0");
    EXPECT_TRUE(r.textChanged);
    // A message standing in the box counts as one item.
    r = NormalizeBackupBase("请写容对数值");
    EXPECT_EQ(r.count, "1");
    EXPECT_FALSE(r.textChanged);
    // A text already in one line is left as it is.
    r = NormalizeBackupBase("01,02,03,04,05 05,06,07,08,09");
    EXPECT_FALSE(r.textChanged);
    EXPECT_EQ(r.count, "2");
}

// Whatever is typed or pasted, the settled box is a fixed point: handling it once more writes
// nothing and shows the same count.
TEST(BackupBase, SettledBoxIsStable) {
    std::mt19937_64 rng(4);
    const std::string alphabet = "01, \r\n*\r\n";
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int length = static_cast<int>(rng() % 30);
        for (int i = 0; i < length; ++i) text += alphabet[rng() % alphabet.size()];
        const BackupBaseResult settled = NormalizeBackupBase(text);
        const BackupBaseResult again = NormalizeBackupPass(settled.text);
        ASSERT_FALSE(again.textChanged) << text;
        ASSERT_EQ(again.count, settled.count) << text;
        ASSERT_EQ(settled.textChanged, settled.text != text) << text;
        ASSERT_EQ(settled.text.find_first_of("\r\n"), std::string::npos) << text;
        ASSERT_EQ(settled.text.find("**"), std::string::npos) << text;
    }
}

}  // namespace
}  // namespace xuan5
