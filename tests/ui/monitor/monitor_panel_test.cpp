// The monitor panel through its controls: the line selection and the table of recent draws.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "core/bets.h"
#include "ui/monitor/monitor_panel.h"
#include "ui_test_support.h"

namespace xuan5::ui::test {
namespace {

int CountTexts(const MonitorPicture& picture, const std::string& text) {
    int n = 0;
    for (const auto& label : picture.texts) n += label.text == text ? 1 : 0;
    return n;
}

TEST(MonitorPanel, LineBoxesCountAndSelectAllOrNone) {
    Shell shell;
    auto* count = shell.Find<QLineEdit>("T_jiankong_15di_geshu");
    shell.Find<QCheckBox>("Ch_jiankong_jj_3")->click();
    shell.Find<QCheckBox>("Ch_jiankong_jj_7")->click();
    EXPECT_EQ(count->text(), "13");
    shell.Find<QCheckBox>("Ch_jiankong_jj_cls")->click();
    EXPECT_EQ(count->text(), "0");
    for (int i = 0; i < 15; ++i)
        EXPECT_FALSE(
            shell.Find<QCheckBox>(QStringLiteral("Ch_jiankong_jj_%1").arg(i))->isChecked());
    shell.Find<QCheckBox>("Ch_jiankong_jj_all")->click();
    EXPECT_EQ(count->text(), "15");
    for (bool checked : shell.Window().Panels().monitor->CheckedLines()) EXPECT_TRUE(checked);
}

// Twenty-one draws: the rows fill from the top, then the table scrolls and the oldest row goes;
// each row shows its period with three digits and one mark per line.
TEST(MonitorPanel, RowsFillScrollAndClear) {
    Shell shell;
    ASSERT_TRUE(shell.FetchFeed(45));
    shell.Find<QCheckBox>("Check_jihua_sx")->setChecked(false);  // the bases stay as set
    Session& state = shell.Tables();
    // Line 2 holds no bet, the others every bet.
    LineTexts lines;
    for (int bet = 1; bet <= kBetCount; ++bet) lines[0] += BetText(bet) + " ";
    lines.fill(lines[0]);
    lines[1] = "";
    SetBases(state, lines);
    for (int period = 46; period <= 66; ++period) ASSERT_TRUE(shell.FetchFeed(period));
    const auto* table = shell.Find<MonitorTableWidget>("Pic_jiangkong");
    EXPECT_EQ(CountTexts(table->Picture(), "046"), 0);
    EXPECT_EQ(CountTexts(table->Picture(), "047"), 1);
    EXPECT_EQ(CountTexts(table->Picture(), "中"), 20 * 14);
    EXPECT_EQ(CountTexts(table->Picture(), "*"), 20);
    EXPECT_EQ(state.MonitorRecords()[20][15], 66);
    EXPECT_EQ(state.MonitorRecords()[20][16], 1);

    shell.Find<QPushButton>("C_jiankong_di_cls")->click();
    EXPECT_EQ(state.MonitorRecords(), MonitorTable{});
    EXPECT_EQ(CountTexts(table->Picture(), "066"), 0);
    EXPECT_EQ(CountTexts(table->Picture(), "开奖期数"), 1);
    // The next draw fills row 1 again.
    ASSERT_TRUE(shell.FetchFeed(67));
    EXPECT_EQ(state.MonitorRecords()[1][16], 1);
    EXPECT_EQ(state.MonitorRecords()[2][16], 0);
}

}  // namespace
}  // namespace xuan5::ui::test
