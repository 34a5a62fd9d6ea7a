// The backup strip, the small-base window and the line-base export in the running window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ui/monitor/fxiaodi.h"
#include "ui/monitor/monitor_panel.h"
#include "ui/widgets/lines_box.h"
#include "ui_test_support.h"

namespace xuan5::ui::test {
namespace {

namespace fs = std::filesystem;

QString U(const char* text) {
    return QString::fromUtf8(text);
}

void Ready(Shell& shell) {
    shell.Window().BuildBets();
    ASSERT_TRUE(shell.FetchFeed(84));
    shell.Messages().Clear();
}

QPlainTextEdit* Box(Shell& shell, int i) {
    return shell.Find<QPlainTextEdit>(QStringLiteral("T_dd_beiyong_%1").arg(i));
}

QString Count(Shell& shell, int i) {
    return shell.Find<QLineEdit>(QStringLiteral("T_dd_beiyong_zhushu_%1").arg(i))->text();
}

bool NoticeShownAndClosed(Shell& shell) {
    QPointer<QDialog> notice = shell.Window().findChild<QDialog*>("Ftishi");
    if (!notice || !notice->isVisible()) return false;
    return QTest::qWaitFor([&] { return notice.isNull(); }, 3000);
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

TEST(BackupStrip, PasteTypingAndDoubleClickKeepEachBoxAndItsCountInStep) {
    Shell shell;
    shell.Window().show();
    QClipboard* clipboard = QApplication::clipboard();

    clipboard->setText("01,02,03,04,05\r\n01,02,03,04,06\r\n");
    shell.Find<QPushButton>("C_fuzhu_tie_1")->click();
    EXPECT_EQ(Box(shell, 1)->toPlainText(), "01,02,03,04,05 01,02,03,04,06");
    EXPECT_EQ(Count(shell, 1), "2");

    // Typed text keeps its separators while the user types; the box settles when left.
    QPlainTextEdit* box = Box(shell, 2);
    box->setFocus();
    QTest::keyClicks(box, "01,02,03,04,05 ");
    EXPECT_EQ(box->toPlainText(), "01,02,03,04,05 ");
    EXPECT_EQ(Count(shell, 2), "1");
    QTest::keyClicks(box, "01,02,03,04,06");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(box->toPlainText(), "01,02,03,04,05 01,02,03,04,06\n");
    EXPECT_EQ(Count(shell, 2), "2");
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(box, &out);
    EXPECT_EQ(box->toPlainText(), "01,02,03,04,05 01,02,03,04,06");
    EXPECT_EQ(Count(shell, 2), "2");

    // Empty lines in pasted text each leave an empty item, as the count shows.
    clipboard->setText("01,02,03,04,05\r\n\r\n01,02,03,04,06");
    shell.Find<QPushButton>("C_fuzhu_tie_0")->click();
    EXPECT_EQ(Box(shell, 0)->toPlainText(), "01,02,03,04,05  01,02,03,04,06");
    EXPECT_EQ(Count(shell, 0), "3");

    QTest::mouseDClick(Box(shell, 1)->viewport(), Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(Box(shell, 1)->toPlainText(), "");
    EXPECT_EQ(Count(shell, 1), "0");

    shell.Find<QPushButton>("C_fuzhu_copy_2")->click();
    EXPECT_EQ(clipboard->text(), "01,02,03,04,05\r\n01,02,03,04,06");
    EXPECT_TRUE(NoticeShownAndClosed(shell));
    // The empty result box copies an empty text, with the notice.
    shell.Find<QPushButton>("C_fuzhu_copy_3")->click();
    EXPECT_EQ(clipboard->text(), "");
    EXPECT_TRUE(NoticeShownAndClosed(shell));
    EXPECT_TRUE(shell.Messages().messages().empty());
}

TEST(BackupStrip, KChartsTheBoxOnceDrawsExist) {
    Shell shell;
    Box(shell, 1)->setPlainText("01,02,03,04,05 01,02,03,04,06");
    shell.Window().ShowPanel(3);
    shell.Find<QPushButton>("C_fuzhu_k_1")->click();
    ASSERT_EQ(shell.Messages().messages().size(), 1u);
    EXPECT_EQ(shell.Messages().messages()[0].text, U("没有开奖数据"));
    EXPECT_EQ(shell.Window().CurrentPanel(), 3);

    Ready(shell);
    shell.Find<QPushButton>("C_fuzhu_k_1")->click();
    EXPECT_EQ(shell.Window().CurrentPanel(), 0);
    EXPECT_EQ(shell.Find<QPlainTextEdit>("Tdadi")->toPlainText(), "01,02,03,04,05 01,02,03,04,06");
    EXPECT_TRUE(shell.Messages().messages().empty());
}

// "开始交集" joins the backup result into the plan with "参与计划" on and puts the last mode
// result back with it off; each time the pending record shows the plan's new size.
TEST(BackupStrip, IntersectionJoinsOrRestoresThePlanAndRewritesThePendingRecord) {
    Shell shell;
    Ready(shell);
    shell.Find<QLineEdit>("T_jh_dadi_chongfu_cs")->setText("2");
    shell.Find<QLineEdit>("T_jh_dadi_chongfu_rc")->setText("01.02");
    shell.Find<QPushButton>("C_jihua_ks")->click();
    auto* plan = shell.Find<LinesBox>("T_jihua_jj_dadi");
    auto* planCount = shell.Find<QLineEdit>("T_jihua_jj_dadi_zhushu");
    auto* log = shell.Find<LinesBox>("T_jh_dadi_jilu");
    const QStringList bets = plan->Text().split('\n');
    ASSERT_GE(bets.size(), 3);
    const QString modeResult = plan->Text();
    ASSERT_EQ(shell.Find<LinesBox>("T_jihua_jj_dadi_by")->Text(), modeResult);

    // Two of the plan's bets and one outside it, in one backup box, each accepted once.
    Box(shell, 0)->setPlainText(bets[0] + "\n" + bets[2] + "\n");
    Box(shell, 1)->setPlainText("");
    Box(shell, 2)->setPlainText("");
    shell.Find<QLineEdit>("T_beiyong_rc")->setText("1");
    shell.Find<QCheckBox>("Check_beiyong_canyu")->setChecked(true);
    shell.Find<QPushButton>("C_dd_beiyong_jj")->click();
    EXPECT_EQ(Box(shell, 3)->toPlainText(), bets[0] + " " + bets[2]);
    EXPECT_EQ(Count(shell, 3), "2");
    EXPECT_EQ(plan->Text(), bets[0] + "\n" + bets[2]);
    EXPECT_EQ(planCount->text(), "2");
    EXPECT_TRUE(log->Text().startsWith(U("085期，开：**************-002注-")))
        << log->Text().toStdString();
    // Pressed again with the same boxes: nothing changes.
    shell.Find<QPushButton>("C_dd_beiyong_jj")->click();
    EXPECT_EQ(plan->Text(), bets[0] + "\n" + bets[2]);

    // Off: the mode result comes back, and the record with its size.
    shell.Find<QCheckBox>("Check_beiyong_canyu")->setChecked(false);
    shell.Find<QPushButton>("C_dd_beiyong_jj")->click();
    EXPECT_EQ(plan->Text(), modeResult);
    EXPECT_EQ(planCount->text(), QString::number(bets.size()));
    EXPECT_TRUE(log->Text().startsWith(U("085期，开：**************-") +
                                       QString::number(bets.size()).rightJustified(3, '0')));

    // On again, every plan is cut down to the backup result.
    shell.Find<QCheckBox>("Check_beiyong_canyu")->setChecked(true);
    shell.Find<QPushButton>("C_jihua_ks")->click();
    for (const QString& bet : plan->Text().split('\n', Qt::SkipEmptyParts))
        EXPECT_TRUE(bet == bets[0] || bet == bets[2]) << bet.toStdString();

    // No tolerance: the result box says so.
    shell.Find<QLineEdit>("T_beiyong_rc")->setText("");
    shell.Find<QPushButton>("C_dd_beiyong_jj")->click();
    EXPECT_EQ(Box(shell, 3)->toPlainText(), U("请写容对数值"));
    EXPECT_TRUE(shell.Messages().messages().empty());
}

TEST(SmallBaseWindow, OpensBesideTheWindowFillsAfterHalfASecondAndChartsALine) {
    Shell shell;
    Ready(shell);
    shell.Window().show();
    LineTexts lines;
    for (int i = 0; i < kLineCount; ++i)
        lines[i] = "01,02,03,04," + std::to_string(10 + i % 2) + " ";
    lines[4] = "";
    SetBases(shell.Tables(), lines);

    shell.Find<QPushButton>("C_jiankong_guankan")->click();
    QPointer<Fxiaodi> window = shell.Window().findChild<Fxiaodi*>();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    auto* first = window->findChild<QLineEdit*>("T_jihua_jj_dadi_0");
    EXPECT_EQ(first->text(), "");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !first->text().isEmpty(); }, 3000));
    for (int i = 0; i < kLineCount; ++i) {
        EXPECT_EQ(
            window->findChild<QLineEdit*>(QStringLiteral("T_jihua_jj_dadi_%1").arg(i))->text(),
            QString::fromStdString(shell.Tables().LineBases()[i]));
    }

    // A snapshot until "刷新号码".
    lines[3] = "02,03,04,05,06";
    SetBases(shell.Tables(), lines);
    auto* fourth = window->findChild<QLineEdit*>("T_jihua_jj_dadi_3");
    EXPECT_EQ(fourth->text(), "01,02,03,04,11 ");
    window->findChild<QPushButton*>("C_xiaodi_shuaxin")->click();
    EXPECT_EQ(fourth->text(), "02,03,04,05,06");

    shell.Window().ShowPanel(1);
    window->findChild<QPushButton*>("C_xiaodi_k_0")->click();
    EXPECT_EQ(shell.Window().CurrentPanel(), 0);
    EXPECT_EQ(shell.Find<QPlainTextEdit>("Tdadi")->toPlainText(), "01,02,03,04,10");
    window->findChild<QPushButton*>("C_xiaodi_k_4")->click();
    EXPECT_EQ(shell.Find<QPlainTextEdit>("Tdadi")->toPlainText(), "");

    // One window at a time; after closing, the next press opens a fresh one that fills again.
    shell.Find<QPushButton>("C_jiankong_guankan")->click();
    EXPECT_EQ(shell.Window().findChildren<Fxiaodi*>().size(), 1);
    window->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }, 3000));
    shell.Find<QPushButton>("C_jiankong_guankan")->click();
    window = shell.Window().findChild<Fxiaodi*>();
    ASSERT_NE(window, nullptr);
    auto* again = window->findChild<QLineEdit*>("T_jihua_jj_dadi_3");
    EXPECT_TRUE(QTest::qWaitFor([&] { return again->text() == "02,03,04,05,06"; }, 3000));
    EXPECT_TRUE(shell.Messages().messages().empty());
}

TEST(LineExportLink, WritesTheLineBasesIntoTxtAndReports) {
    Shell shell;
    shell.Window().show();
    shell.Window().ShowPanel(1);
    LineTexts lines;
    lines.fill(" 01,02,03,04,05 ");
    lines[2] = "";
    SetBases(shell.Tables(), lines);
    const fs::path txt = shell.Window().Context().services.dataDir / "txt";
    ASSERT_FALSE(fs::exists(txt));  // a new data folder has none

    auto* link = shell.Find<ClickableLabel>("Labe_daochu_dadi");
    QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
    ASSERT_EQ(shell.Messages().messages().size(), 1u);
    EXPECT_EQ(shell.Messages().messages()[0].text,
              QString::fromStdString("导出完成，文件夹=" + fs::absolute(txt).string() + "/"));
    EXPECT_EQ(shell.Messages().messages()[0].title, U("完成"));
    EXPECT_EQ(ReadFile(txt / "dadi0.txt"), "01,02,03,04,05\r\n");
    EXPECT_EQ(ReadFile(txt / "dadi2.txt"), "\r\n");
    EXPECT_EQ(ReadFile(txt / "dadi14.txt"), "01,02,03,04,05\r\n");

    // A file that cannot be replaced stops the export; what was written before it stays.
    fs::remove(txt / "dadi5.txt");
    fs::create_directory(txt / "dadi5.txt");
    lines[0] = lines[6] = "01,02,03,04,06";
    SetBases(shell.Tables(), lines);
    QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
    ASSERT_EQ(shell.Messages().messages().size(), 2u);
    EXPECT_EQ(shell.Messages().messages()[1].text, U("导出过程出现错误，请检查"));
    EXPECT_EQ(shell.Messages().messages()[1].title, U("出错了"));
    EXPECT_EQ(ReadFile(txt / "dadi0.txt"), "01,02,03,04,06\r\n");
    EXPECT_EQ(ReadFile(txt / "dadi6.txt"), "01,02,03,04,05\r\n");
}

}  // namespace
}  // namespace xuan5::ui::test
