// The sort and filter panel driven through its controls: the sort list with its window length,
// taking a line's grouping, adding filter lines, filtering and copying the result.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "sortfilter/banker_sort.h"
#include "sortfilter/group_filter.h"
#include "ui_test_support.h"

namespace xuan5::ui::test {
namespace {

QString U(const char* text) {
    return QString::fromUtf8(text);
}

// A window with 120 draws applied, showing the sort panel.
class SortShell {
  public:
    SortShell() {
        EXPECT_TRUE(shell.FetchFeed(150));
        shell.Window().resize(1366, 768);
        shell.Window().show();
        shell.Window().ShowPanel(3);
        QCoreApplication::processEvents();
        shell.Messages().Clear();
    }

    QListWidget* List() { return shell.Find<QListWidget>("List01"); }
    QLineEdit* Line(const char* name) { return shell.Find<QLineEdit>(name); }
    QPlainTextEdit* Box(const char* name) { return shell.Find<QPlainTextEdit>(name); }
    void Press(const char* name) { shell.Find<QPushButton>(name)->click(); }

    QStringList ListLines() {
        QStringList lines;
        for (int i = 0; i < List()->count(); ++i) lines << List()->item(i)->text();
        return lines;
    }
    // What the sort gives for the history on screen.
    QStringList SortedFor(const char* window, const char* mode = "3-3-5") {
        QStringList lines;
        for (const std::string& line :
             RefreshBankerSort(shell.State().DrawHistory, window, mode).List01)
            lines << QString::fromStdString(line);
        return lines;
    }
    void MarkList() {
        List()->clear();
        List()->addItem(QStringLiteral("marker"));
    }
    void ClickLine(int row) {
        QListWidget* list = List();
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }
    std::vector<RecordedMessage> Messages() {
        std::vector<RecordedMessage> messages = shell.Messages().messages();
        shell.Messages().Clear();
        return messages;
    }

    Shell shell;
};

void ExpectOneMessage(SortShell& s, const char* text, const char* title) {
    const std::vector<RecordedMessage> messages = s.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, U(text));
    EXPECT_EQ(messages[0].title, U(title));
}

TEST(SortPanel, RefreshFillsTheListAndTheStepButtonsStopAtOneAndFortyNine) {
    SortShell s;
    s.Press("C_paixu_shuaxin");
    EXPECT_TRUE(s.Messages().empty());
    const QStringList lines = s.ListLines();
    ASSERT_EQ(lines.size(), 21);
    EXPECT_EQ(lines, s.SortedFor("10"));
    // The oldest verified period first (row 20 of 150 downwards), the coming period last.
    EXPECT_TRUE(lines.front().startsWith(U("131期："))) << lines.front().toStdString();
    EXPECT_TRUE(lines.back().startsWith(U("151期："))) << lines.back().toStdString();
    EXPECT_TRUE(lines.back().endsWith(U("：奖号分布/对几组：未开奖....")))
        << lines.back().toStdString();

    QLineEdit* window = s.Line("T_paixu_qishu");
    s.Press("C_paixu_qishu_jian");
    EXPECT_EQ(window->text(), "9");
    EXPECT_EQ(s.ListLines(), s.SortedFor("9"));
    window->setText("2");
    s.Press("C_paixu_qishu_jian");
    EXPECT_EQ(window->text(), "1");
    EXPECT_EQ(s.ListLines(), s.SortedFor("1"));
    // At 1 "-" neither changes W nor refreshes.
    s.MarkList();
    s.Press("C_paixu_qishu_jian");
    EXPECT_EQ(window->text(), "1");
    EXPECT_EQ(s.ListLines(), QStringList{"marker"});

    window->setText("48");
    s.Press("C_paixu_qishu_jia");
    EXPECT_EQ(window->text(), "49");
    EXPECT_EQ(s.ListLines(), s.SortedFor("49"));
    s.MarkList();
    s.Press("C_paixu_qishu_jia");
    EXPECT_EQ(window->text(), "49");
    EXPECT_EQ(s.ListLines(), QStringList{"marker"});
    // A typed 50 is still accepted by the sort itself.
    window->setText("50");
    s.Press("C_paixu_shuaxin");
    EXPECT_TRUE(s.Messages().empty());
    EXPECT_EQ(s.ListLines(), s.SortedFor("50"));
    EXPECT_TRUE(s.Messages().empty());
    EXPECT_TRUE(s.shell.EndCodes().empty());
}

TEST(SortPanel, RefusedSortsShowTheirMessagesAndKeepTheList) {
    SortShell s;
    s.Press("C_paixu_shuaxin");
    const QStringList before = s.ListLines();
    ASSERT_EQ(before.size(), 21);

    s.Line("T_paixu_qishu")->setText("51");
    s.Press("C_paixu_shuaxin");
    ExpectOneMessage(s, "期数不能超过50", "提示");
    EXPECT_EQ(s.ListLines(), before);

    s.Line("T_paixu_qishu")->setText("10");
    s.Line("T_paixu_fenjiemoshi")->setText("11");
    s.Press("C_paixu_shuaxin");
    ExpectOneMessage(s, "分解模式输入格式错误", "出错提示");
    s.Line("T_paixu_fenjiemoshi")->setText("5-7");
    // "+" refreshes, so it reports the refused mode too, after moving W.
    s.Press("C_paixu_qishu_jia");
    ExpectOneMessage(s, "分解模式输入数值错误", "出错提示");
    EXPECT_EQ(s.Line("T_paixu_qishu")->text(), "11");
    EXPECT_EQ(s.ListLines(), before);

    // A window length too large for a 32-bit count stops the run with the general message.
    s.Line("T_paixu_fenjiemoshi")->setText("5-6");
    s.Line("T_paixu_qishu")->setText("-99999999999");
    s.Press("C_paixu_shuaxin");
    ExpectOneMessage(s, "排序输入格式有误，请检查格式。", "提示");
}

TEST(SortPanel, ClickingALineTakesItsGrouping) {
    SortShell s;
    s.Press("C_paixu_shuaxin");
    const QStringList lines = s.ListLines();
    ASSERT_EQ(lines.size(), 21);
    QLineEdit* candidate = s.Line("T_paixu_fenjie_houbei");

    s.ClickLine(3);
    const QString grouping = lines[3].section(U("："), 1, 1);
    EXPECT_EQ(candidate->text(), grouping);
    // Three groups of 3, 3 and 5 two-digit numbers covering 01..11 once each.
    const QStringList groups = grouping.split('*');
    ASSERT_EQ(groups.size(), 3);
    EXPECT_EQ(groups[0].split(' ').size(), 3);
    EXPECT_EQ(groups[2].split(' ').size(), 5);

    // The coming period's line gives its grouping just the same.
    s.ClickLine(20);
    EXPECT_EQ(candidate->text(), lines[20].section(U("："), 1, 1));
    // Moving the selection with the keyboard takes the line it lands on.
    QTest::keyClick(s.List(), Qt::Key_Up);
    EXPECT_EQ(candidate->text(), lines[19].section(U("："), 1, 1));

    // Refreshing the list does not count as choosing a line.
    candidate->setText("typed");
    s.Press("C_paixu_shuaxin");
    EXPECT_EQ(candidate->text(), "typed");
    // A line without a full-width colon leaves the candidate alone.
    s.MarkList();
    s.ClickLine(0);
    EXPECT_EQ(candidate->text(), "typed");
    EXPECT_TRUE(s.Messages().empty());
}

TEST(SortPanel, AddingAndFilteringWriteTheBaseWithItsCount) {
    SortShell s;
    QLineEdit* candidate = s.Line("T_paixu_fenjie_houbei");
    QLineEdit* counts = s.Line("T_paixu_fenjie_houbei_cs");
    QPlainTextEdit* input = s.Box("T_paixu_input");
    QPlainTextEdit* result = s.Box("T_paixu_dadi");
    auto* count = s.shell.Find<QLabel>("Label_paixu_zhushu");
    const QString defaults = "01 02 03*04 05*07 08=12\n03 04 05*06 07 08*10 11=12\n";
    ASSERT_EQ(input->toPlainText(), defaults);

    // Missing candidate or counts: refused, nothing changes.
    s.Press("C_paixu_add");
    ExpectOneMessage(s, "请输入数据", "错误");
    candidate->setText("01 02 03*04 05 06*07 08 09 10 11");
    counts->setText("  ");
    s.Press("C_paixu_add");
    ExpectOneMessage(s, "请输入数据", "错误");
    EXPECT_EQ(input->toPlainText(), defaults);
    EXPECT_EQ(result->toPlainText(), "");
    EXPECT_EQ(count->text(), "0");

    // Added after the default box's final break (the blank line is skipped by the filter), the
    // candidate is emptied and the filter runs at once.
    counts->setText("3");
    s.Press("C_paixu_add");
    EXPECT_TRUE(s.Messages().empty());
    const QString added = defaults + "\n01 02 03*04 05 06*07 08 09 10 11=3";
    EXPECT_EQ(input->toPlainText(), added);
    EXPECT_EQ(candidate->text(), "");
    const GroupFilterResult expected = RunGroupFilter(
        "01 02 03*04 05*07 08=12\r\n03 04 05*06 07 08*10 11=12\r\n\r\n"
        "01 02 03*04 05 06*07 08 09 10 11=3",
        "12");
    ASSERT_TRUE(expected.resultWritten);
    EXPECT_EQ(result->toPlainText(),
              QString::fromStdString(expected.T_paixu_dadi).replace("\r\n", "\n"));
    const QStringList bets = result->toPlainText().split('\n');
    EXPECT_EQ(count->text(), QString::number(bets.size()));
    EXPECT_EQ(count->text().toStdString(), expected.Label_paixu_zhushu);
    for (const QString& bet : bets) EXPECT_EQ(bet.size(), 14) << bet.toStdString();

    // Only "2" satisfied lines: fewer bets, each a subset of the previous result.
    s.Line("T_paixu_input_rc")->setText("2");
    s.Press("C_paixu_go");
    const QStringList both = result->toPlainText().split('\n');
    EXPECT_LT(both.size(), bets.size());
    for (const QString& bet : both) EXPECT_TRUE(bets.contains(bet)) << bet.toStdString();
    EXPECT_EQ(count->text(), QString::number(both.size()));

    // Foreign characters are cleaned out of the box before filtering; the caret goes to the end.
    input->setPlainText(U("01,02*03=1，x\n"));
    s.Line("T_paixu_input_rc")->setText("1");
    s.Press("C_paixu_go");
    EXPECT_EQ(input->toPlainText(), "0102*03=1\n");
    EXPECT_EQ(input->textCursor().position(), input->toPlainText().size());
    // By the substring rule "0102" holds 01, 10 and 02: a bet passes when it touches exactly
    // one of {01, 10, 02} and {03}: C(10,5) - C(7,5) + C(7,4) = 266 bets.
    EXPECT_EQ(count->text(), "266");
    const QStringList touched = result->toPlainText().split('\n');
    EXPECT_EQ(touched.size(), 266);
    EXPECT_TRUE(touched.contains("04,05,06,07,10"));
    EXPECT_FALSE(touched.contains("03,04,05,06,10"));
    EXPECT_FALSE(touched.contains("04,05,06,07,08"));

    // A double click empties the box; filtering it then changes nothing.
    input->setPlainText("01 02 03*04 05=0");
    s.Press("C_paixu_go");
    const QString kept = result->toPlainText();
    ASSERT_FALSE(kept.isEmpty());
    QTest::mouseDClick(input->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(input->toPlainText(), "");
    s.Press("C_paixu_go");
    EXPECT_EQ(result->toPlainText(), kept);

    // Adding to an empty box writes one line with no leading break.
    candidate->setText("01 02*03 04");
    counts->setText("0");
    s.Press("C_paixu_add");
    EXPECT_EQ(input->toPlainText(), "01 02*03 04=0");
    EXPECT_TRUE(s.Messages().empty());
}

TEST(SortPanel, CopyPutsTheBetsOnTheClipboardWithCrLfAndShowsTheNotice) {
    SortShell s;
    s.Box("T_paixu_input")->setPlainText("01 02*03 04=0");
    s.Line("T_paixu_input_rc")->setText("1");
    s.Press("C_paixu_go");
    const QString shown = s.Box("T_paixu_dadi")->toPlainText();
    ASSERT_EQ(shown.split('\n').size(), 21);  // the bets drawn from 05..11 only: C(7,5)

    QApplication::clipboard()->setText("old");
    s.Press("C_paixu_copy");
    const QString copied = QApplication::clipboard()->text();
    EXPECT_EQ(copied, QString(shown).replace("\n", "\r\n"));
    EXPECT_TRUE(copied.startsWith("05,06,07,08,09\r\n05,06,07,08,10\r\n"));
    EXPECT_TRUE(copied.endsWith("07,08,09,10,11"));
    QPointer<QDialog> notice = s.shell.Window().findChild<QDialog*>("Ftishi");
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->findChild<QLabel*>("Label1")->text(), U("！！复制成功！！"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return notice.isNull(); }, 3000));

    // An empty result still goes to the clipboard, with the notice.
    s.Box("T_paixu_dadi")->setPlainText("");
    s.Press("C_paixu_copy");
    EXPECT_EQ(QApplication::clipboard()->text(), "");
    notice = s.shell.Window().findChild<QDialog*>("Ftishi");
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return notice.isNull(); }, 3000));
    EXPECT_TRUE(s.Messages().empty());
}

}  // namespace
}  // namespace xuan5::ui::test
