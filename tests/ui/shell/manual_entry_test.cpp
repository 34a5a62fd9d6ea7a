// Typing a draw by hand and applying staged tables with Command1.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "ui/shell/fadd.h"
#include "ui_test_support.h"

namespace xuan5::ui::test {
namespace {

// Opens the entry window from the main window's button and returns it (it is modal to the
// window but does not block the caller).
QDialog* OpenEntry(Shell& shell) {
    shell.Find<QPushButton>("C_rulu_kjh")->click();
    return shell.Window().findChild<QDialog*>("Fadd");
}

TEST(ManualEntry, WindowProposesTheNextPeriod) {
    Shell shell;
    ASSERT_TRUE(shell.FetchFeed(45));
    QDialog* entry = OpenEntry(shell);
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->isVisible());
    EXPECT_EQ(entry->windowTitle(), QStringLiteral("手工录入最新"));
    EXPECT_TRUE(entry->isModal());
    // Empty, with the format as its placeholder: Enter alone enters nothing.
    EXPECT_EQ(entry->findChild<QLineEdit*>("T_total_renshu")->text(), QString());
    EXPECT_EQ(entry->findChild<QLineEdit*>("T_total_renshu")->placeholderText(),
              QStringLiteral("例：046-01,02,03,04,05"));
    EXPECT_EQ(entry->findChild<QPushButton*>("C_rulu_kjh")->text(), QStringLiteral("确认录入"));
    EXPECT_EQ(entry->findChild<QLabel*>("Label54")->text(), QStringLiteral("期数（3位）-任选5"));
    EXPECT_EQ(entry->findChild<QLabel*>("Label1")->text(),
              QStringLiteral("例子：005-01,02,03,04,08"));
    EXPECT_EQ(entry->findChild<QLabel*>("Label2")->text(),
              QStringLiteral("备注：如果不按格式输入开奖号，可能会算错"));
    entry->reject();
}

TEST(ManualEntry, RefusedLinesKeepTheWindowOpenAndStageNothing) {
    Shell shell;
    ASSERT_TRUE(shell.FetchFeed(45));
    const struct {
        const char* line;
        const char* message;
    } cases[] = {
        {"046:03,05,07,09,11", "格式错误"},
        {"04603,05,07,09,11", "格式错误"},
        {"46-03,05,07,09,11", "期号错误"},
        {"0a6-03,05,07,09,11", "期号错误"},  // the letter is cleaned away: two digits left
        {"046-3,5,7,9,11", "开奖号错误"},
        {"046-03,05,07,09,12", "开奖号错误"},
        {"046-03,05,05,09,11", "开奖号错误"},
        {"046-03.05.07.09.11", "开奖号错误"},
    };
    QDialog* entry = OpenEntry(shell);
    ASSERT_NE(entry, nullptr);
    auto* box = entry->findChild<QLineEdit*>("T_total_renshu");
    auto* confirm = entry->findChild<QPushButton*>("C_rulu_kjh");
    for (const auto& c : cases) {
        shell.Messages().Clear();
        box->setText(QString::fromUtf8(c.line));
        confirm->click();
        ASSERT_EQ(shell.Messages().messages().size(), 1u) << c.line;
        EXPECT_EQ(shell.Messages().messages()[0].text, QString::fromUtf8(c.message)) << c.line;
        EXPECT_EQ(shell.Messages().messages()[0].title, QStringLiteral("出错")) << c.line;
        EXPECT_TRUE(entry->isVisible()) << c.line;
        EXPECT_TRUE(confirm->isEnabled());
        EXPECT_EQ(shell.Tables().IncomingDraws(1)[1].period, "045") << c.line;
    }
    EXPECT_FALSE(shell.Find<QTimer>("Timer_add_kjh")->isActive());
    entry->reject();
}

TEST(ManualEntry, AcceptedDrawIsAppliedAfterTheTimer) {
    Shell shell;
    ASSERT_TRUE(shell.FetchFeed(45));
    const DrawTable before = shell.Tables().DrawHistory();
    shell.Find<QCheckBox>("Cauto")->setChecked(true);

    QPointer<QDialog> entry = OpenEntry(shell);
    ASSERT_NE(entry, nullptr);
    entry->findChild<QLineEdit*>("T_total_renshu")->setText("  046 - 03,05,07,09,11-x ");
    entry->findChild<QPushButton*>("C_rulu_kjh")->click();
    EXPECT_TRUE(shell.Messages().messages().empty());
    EXPECT_FALSE(entry && entry->isVisible());

    // Staged on top of the history; applied only when the timer fires.
    Session& state = shell.Tables();
    EXPECT_EQ(state.IncomingDraws(1)[1].period, "046");
    EXPECT_EQ(state.IncomingDraws(1)[1].numbers, "03,05,07,09,11");
    EXPECT_EQ(state.IncomingDraws(1)[120].period, before[119].period);
    EXPECT_EQ(state.DrawHistory()[1].period, "045");
    EXPECT_FALSE(shell.Find<QCheckBox>("Cauto")->isChecked());
    auto* timer = shell.Find<QTimer>("Timer_add_kjh");
    EXPECT_TRUE(timer->isActive());
    auto* open = shell.Find<QPushButton>("C_rulu_kjh");
    EXPECT_FALSE(open->isEnabled());

    ASSERT_TRUE(QTest::qWaitFor([&] { return state.UpdateCount() == 2; }, 2000));
    EXPECT_EQ(state.DrawHistory()[1].period, "046");
    EXPECT_EQ(state.DrawHistory()[2].period, "045");
    EXPECT_EQ(state.DrawHistory()[120].period, before[119].period);
    EXPECT_EQ(shell.Find<QListWidget>("L_kjh")->item(0)->text(), "046:03,05,07,09,11");
    EXPECT_EQ(shell.Find<QLineEdit>("Tnew")->text(), QStringLiteral("已经开奖！"));
    EXPECT_EQ(state.DrawSeries()[120], "03,05,07,09,11");
    EXPECT_TRUE(open->isEnabled());
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(shell.Window().PipelineRuns(), 1);
    QTest::qWait(250);
    EXPECT_EQ(state.UpdateCount(), 2) << "the timer fires once";
}

// A refused response empties the staged table; a typed draw must still build on the history.
TEST(ManualEntry, TypedDrawBuildsOnHistoryAfterARefusedResponse) {
    Shell shell;
    ASSERT_TRUE(shell.FetchFeed(45));
    const DrawTable before = shell.Tables().DrawHistory();
    shell.Server().Answer(200, FeedResponse(FeedLines(46, 100)));
    ASSERT_TRUE(shell.Fetch());
    // The refused answer keeps the staged table of the last good one.
    ASSERT_EQ(shell.Tables().IncomingDraws(1)[1].period, before[1].period);

    QDialog* entry = OpenEntry(shell);
    ASSERT_NE(entry, nullptr);
    entry->findChild<QLineEdit*>("T_total_renshu")->setText("046-11,02,07,01,05");
    entry->findChild<QPushButton*>("C_rulu_kjh")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return shell.Tables().UpdateCount() == 2; }, 2000));
    const Session& state = shell.Tables();
    EXPECT_EQ(state.DrawHistory()[1].numbers, "11,02,07,01,05");
    EXPECT_EQ(state.DrawSeries()[120], "01,02,05,07,11");
    for (int r = 2; r <= 120; ++r) {
        EXPECT_EQ(state.DrawHistory()[r].period, before[r - 1].period) << r;
        EXPECT_EQ(state.DrawHistory()[r].numbers, before[r - 1].numbers) << r;
    }
}

// Command1 applies the staged table; applying it again brings nothing new.
TEST(ManualEntry, Command1AppliesTheStagedTableOnce) {
    Shell shell;
    auto* apply = shell.Find<QPushButton>("Command1");
    // Nothing staged yet: nothing is applied.
    apply->click();
    ASSERT_EQ(shell.Messages().messages().size(), 1u);
    EXPECT_EQ(shell.Messages().messages()[0].text, QStringLiteral("没有开奖数据"));
    EXPECT_EQ(shell.Messages().messages()[0].title, QStringLiteral("出错提示"));
    EXPECT_EQ(shell.Tables().UpdateCount(), 0);
    EXPECT_EQ(shell.Find<QListWidget>("L_kjh")->count(), 0);

    ASSERT_TRUE(shell.FetchFeed(150));
    EXPECT_EQ(apply->text(), "Command1");
    apply->click();
    apply->click();
    EXPECT_EQ(shell.Tables().UpdateCount(), 1);
    EXPECT_TRUE(shell.Tables().HasDraws());
    EXPECT_EQ(shell.Window().PipelineRuns(), 0);
    EXPECT_EQ(shell.Tables().DrawHistory()[1].period, "150");
    EXPECT_EQ(shell.Find<QListWidget>("L_kjh")->count(), 120);
    EXPECT_EQ(shell.Find<QLineEdit>("Tnew")->text(), QStringLiteral("没有更新！"));
}

}  // namespace
}  // namespace xuan5::ui::test
