// The sort and filter panel driven through its controls, on a window with 120 draws applied.
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
#include "ui_test_support.h"

namespace xuan5::ui::test {
namespace {

QString U(const char* text) {
    return QString::fromUtf8(text);
}

struct SortShell {
    SortShell() {
        EXPECT_TRUE(shell.FetchFeed(150));
        shell.Window().resize(1366, 768);
        shell.Window().show();
        shell.Window().ShowPanel(3);
        QCoreApplication::processEvents();
    }
    QLineEdit* Line(const char* name) { return shell.Find<QLineEdit>(name); }
    QPlainTextEdit* Box(const char* name) { return shell.Find<QPlainTextEdit>(name); }
    QString Count() { return shell.Find<QLabel>("Label_paixu_zhushu")->text(); }
    void Press(const char* name) { shell.Find<QPushButton>(name)->click(); }
    QStringList ListLines() {
        QStringList lines;
        for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
        return lines;
    }
    QStringList SortedFor(const char* window) {
        QStringList lines;
        const BankerSortResult sorted =
            RefreshBankerSort(shell.Tables().DrawHistory(), window, "3-3-5");
        for (const std::string& line : sorted->value) lines << QString::fromStdString(line);
        return lines;
    }
    void ClickLine(int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }
    // The one message shown since the last call, as "text|title".
    QString Message() {
        const std::vector<RecordedMessage> shown = shell.Messages().messages();
        shell.Messages().Clear();
        return shown.size() == 1 ? shown[0].text + "|" + shown[0].title
                                 : QStringLiteral("%1 messages").arg(shown.size());
    }

    Shell shell;
    QListWidget* list = shell.Find<QListWidget>("List01");
};

TEST(SortPanel, RefreshAndTheStepButtonsStoppingAtOneAndFortyNine) {
    SortShell s;
    s.Press("C_paixu_shuaxin");
    const QStringList lines = s.ListLines();
    ASSERT_EQ(lines.size(), 21);
    EXPECT_EQ(lines, s.SortedFor("10"));
    EXPECT_TRUE(lines.front().startsWith(U("131期："))) << lines.front().toStdString();
    EXPECT_TRUE(lines.back().startsWith(U("151期：")));
    EXPECT_TRUE(lines.back().endsWith(U("：奖号分布/对几组：未开奖....")));

    QLineEdit* window = s.Line("T_paixu_qishu");
    s.Press("C_paixu_qishu_jian");
    EXPECT_EQ(window->text(), "9");
    EXPECT_EQ(s.ListLines(), s.SortedFor("9"));
    window->setText("48");
    s.Press("C_paixu_qishu_jia");
    EXPECT_EQ(window->text(), "49");
    EXPECT_EQ(s.ListLines(), s.SortedFor("49"));
    // At the ends the buttons neither change W nor refresh.
    for (const auto& [step, end] :
         {std::pair{"C_paixu_qishu_jia", "49"}, std::pair{"C_paixu_qishu_jian", "1"}}) {
        window->setText(end);
        s.list->clear();
        s.Press(step);
        EXPECT_EQ(window->text(), end);
        EXPECT_EQ(s.list->count(), 0) << step;
    }
    EXPECT_EQ(s.Message(), "0 messages");

    // Refused runs report through the window and keep the list.
    s.Press("C_paixu_shuaxin");
    window->setText("51");
    s.Press("C_paixu_shuaxin");
    EXPECT_EQ(s.Message(), U("期数不能超过50|提示"));
    s.Line("T_paixu_fenjiemoshi")->setText("5-7");
    s.Press("C_paixu_qishu_jian");
    EXPECT_EQ(s.Message(), U("分解模式输入数值错误|出错提示"));
    EXPECT_EQ(s.ListLines(), s.SortedFor("1"));
}

TEST(SortPanel, ClickingALineTakesItsGrouping) {
    SortShell s;
    s.Press("C_paixu_shuaxin");
    const QStringList lines = s.ListLines();
    ASSERT_EQ(lines.size(), 21);
    QLineEdit* candidate = s.Line("T_paixu_fenjie_houbei");
    s.ClickLine(3);
    EXPECT_EQ(candidate->text(), lines[3].section(U("："), 1, 1));
    EXPECT_EQ(candidate->text().split('*').size(), 3);
    s.ClickLine(20);  // the coming period
    EXPECT_EQ(candidate->text(), lines[20].section(U("："), 1, 1));
    QTest::keyClick(s.list, Qt::Key_Up);
    EXPECT_EQ(candidate->text(), lines[19].section(U("："), 1, 1));
    // Refilling the list is no choice of a line.
    candidate->setText("typed");
    s.Press("C_paixu_shuaxin");
    EXPECT_EQ(candidate->text(), "typed");
}

TEST(SortPanel, AddFilterDoubleClickAndCopy) {
    SortShell s;
    QLineEdit* candidate = s.Line("T_paixu_fenjie_houbei");
    QPlainTextEdit* input = s.Box("T_paixu_input");
    QPlainTextEdit* result = s.Box("T_paixu_dadi");
    const QString defaults = "01 02 03*04 05*07 08=12\n03 04 05*06 07 08*10 11=12\n";
    ASSERT_EQ(input->toPlainText(), defaults);

    s.Press("C_paixu_add");
    EXPECT_EQ(s.Message(), U("请输入数据|错误"));
    EXPECT_EQ(input->toPlainText(), defaults);

    // Added after the default box's final break; the filter runs at once over the three lines
    // ("12": a bet must satisfy one or two of them).
    candidate->setText("01 02*03 04");
    s.Line("T_paixu_fenjie_houbei_cs")->setText("0");
    s.Press("C_paixu_add");
    EXPECT_EQ(input->toPlainText(), defaults + "\n01 02*03 04=0");
    EXPECT_EQ(candidate->text(), "");
    const QStringList bets = result->toPlainText().split('\n');
    EXPECT_EQ(s.Count(), QString::number(bets.size()));
    EXPECT_EQ(bets.size(), 347);
    EXPECT_TRUE(bets.contains("01,02,03,04,05"));
    EXPECT_FALSE(bets.contains("05,06,07,08,09"));  // satisfies all three

    // Foreign characters are cleaned out first; "0102" holds 01, 10 and 02, so exactly one of
    // the two groups is touched by C(10,5) - C(7,5) + C(7,4) = 266 bets.
    input->setPlainText(U("01,02*03=1，x\n"));
    s.Line("T_paixu_input_rc")->setText("1");
    s.Press("C_paixu_go");
    EXPECT_EQ(input->toPlainText(), "0102*03=1\n");
    EXPECT_EQ(input->textCursor().position(), input->toPlainText().size());
    EXPECT_EQ(s.Count(), "266");
    EXPECT_TRUE(result->toPlainText().contains("04,05,06,07,10"));

    // A double click empties the box; filtering it then leaves the result alone.
    QTest::mouseDClick(input->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(input->toPlainText(), "");
    s.Press("C_paixu_go");
    EXPECT_EQ(s.Count(), "266");
    s.Press("C_paixu_add");
    EXPECT_EQ(s.Message(), U("请输入数据|错误"));
    candidate->setText("01 02*03 04");
    s.Press("C_paixu_add");
    EXPECT_EQ(input->toPlainText(), "01 02*03 04=0");  // no leading break in an empty box
    ASSERT_EQ(s.Count(), "21");

    QApplication::clipboard()->setText("old");
    s.Press("C_paixu_copy");
    const QString copied = QApplication::clipboard()->text();
    EXPECT_EQ(copied, result->toPlainText().replace("\n", "\r\n"));
    EXPECT_TRUE(copied.startsWith("05,06,07,08,09\r\n05,06,07,08,10\r\n"));
    EXPECT_TRUE(copied.endsWith("07,08,09,10,11"));
    QPointer<QDialog> notice = s.shell.Window().findChild<QDialog*>("Ftishi");
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->findChild<QLabel*>("Label1")->text(), U("！！复制成功！！"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return notice.isNull(); }, 3000));
    EXPECT_EQ(s.Message(), "0 messages");
}

}  // namespace
}  // namespace xuan5::ui::test
