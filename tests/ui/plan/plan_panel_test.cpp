// The plan panel in the running window: "开始计划" through both plan modes, its order and its
// guard against a second run, stopping, the mode switch, the log, the copies and the preview.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "core/draw_history.h"
#include "plans/plan_modes.h"
#include "ui/backup/backup_strip.h"
#include "ui/plan/plan_panel.h"
#include "ui/widgets/lines_box.h"
#include "ui_test_support.h"

namespace xuan5::ui::test {
namespace {

QString U(const char* text) {
    return QString::fromUtf8(text);
}

// The window's "\n" boxes as the engine writes them.
QString Lf(const std::string& text) {
    return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// A started window with the bet universe built and 120 draws applied, newest period 084.
void Ready(Shell& shell) {
    shell.Window().BuildBets();
    ASSERT_TRUE(shell.FetchFeed(84));
    ASSERT_EQ(shell.Tables().UpdateCount(), 1);
    shell.Messages().Clear();
}

PlanPanel& Plan(Shell& shell) {
    return *shell.Window().Panels().plan;
}

QString BoxText(Shell& shell, const char* name) {
    if (auto* lines = shell.Find<LinesBox>(name)) return lines->Text();
    return shell.Find<QPlainTextEdit>(name)->toPlainText();
}

QString LineText(Shell& shell, const char* name) {
    return shell.Find<QLineEdit>(name)->text();
}

// Waits for the copy notice that a copy opens and lets it close.
bool NoticeShownAndClosed(Shell& shell) {
    QPointer<QDialog> notice = shell.Window().findChild<QDialog*>("Ftishi");
    if (!notice || !notice->isVisible()) return false;
    return QTest::qWaitFor([&] { return notice.isNull(); }, 3000);
}

TEST(PlanPanel, StartBeforeAnyDrawOnlyComplains) {
    Shell shell;
    QSignalSpy finished(&Plan(shell), &PlanPanel::planFinished);
    shell.Find<QPushButton>("C_jihua_ks")->click();
    ASSERT_EQ(shell.Messages().messages().size(), 1u);
    EXPECT_EQ(shell.Messages().messages()[0].text, U("没有开奖数据"));
    EXPECT_EQ(shell.Messages().messages()[0].title, U("出错提示"));
    EXPECT_FALSE(shell.Find<QWidget>("Pic_jd")->isVisibleTo(&shell.Window()));
    EXPECT_EQ(finished.count(), 0);

    // The preview answers the same way and leaves the drawing panel's base alone.
    shell.Find<QPushButton>("C_jh_dd_k")->click();
    EXPECT_EQ(shell.Messages().messages().size(), 2u);
    EXPECT_EQ(shell.Window().CurrentPanel(), 0);
}

// Mode one with three instances, pressed as a user would: the window shows exactly what the
// engine computes from the same controls and the same random sequence, with its line breaks,
// the last line's search result on the drawing panel and the pending record in the log.
TEST(PlanPanel, ModeOneShowsTheEngineResultProgressAndPendingRecord) {
    Shell shell;
    Ready(shell);
    shell.Find<QLineEdit>("T_jh_dadi_chongfu_cs")->setText("3");
    shell.Find<QLineEdit>("T_jh_dadi_chongfu_rc")->setText("02.03");
    shell.Find<QCheckBox>("Ch_jiankong_jj_6")->setChecked(false);
    shell.Find<QLineEdit>("T_quxian_zhushu_0")->setText("120");

    const PlanModeOneInput input = Plan(shell).ModeOneInput();
    EXPECT_EQ(input.instances, "3");
    EXPECT_EQ(input.instanceTolerance, "02.03");
    EXPECT_FALSE(input.selection.checkedLines[6]);
    EXPECT_TRUE(input.selection.checkedLines[7]);
    EXPECT_EQ(input.lines.lineSizes[0], "120");
    EXPECT_TRUE(input.lines.searchEveryPeriod);
    EXPECT_EQ(input.log.signature, kDefaultSignature);
    EXPECT_FALSE(Plan(shell).ModeTwoSelected());
    EXPECT_TRUE(Plan(shell).AutoPlanTicked());

    shell.Window().Context().services.rng.seed(2024);
    std::mt19937_64 rng(2024);
    const Result<PlanRunOutput> run =
        RunPlanModeOne(input, shell.Tables().CurveStoreLines, shell.Tables().PlanInputs(), rng);
    ASSERT_TRUE(run.ok());
    const PlanRunOutput& expected = *run;
    const LineTexts expectedLines =
        expected.LineBases ? *expected.LineBases : shell.Tables().LineBases();
    ASSERT_TRUE(expected.log);
    ASSERT_FALSE(expected.plan.text.empty());  // a plan of several lines to compare

    auto* picture = shell.Find<ProgressPicture>("Pic_jd");
    auto* start = shell.Find<QPushButton>("C_jihua_ks");
    QSignalSpy finished(&Plan(shell), &PlanPanel::planFinished);
    start->click();

    EXPECT_EQ(finished.count(), 1);
    EXPECT_TRUE(shell.Messages().messages().empty());
    EXPECT_EQ(picture->Text(), "100.0%");
    EXPECT_FALSE(picture->isVisibleTo(&shell.Window()));
    EXPECT_TRUE(start->isEnabled());
    EXPECT_FALSE(Plan(shell).PlanRunning());

    EXPECT_EQ(BoxText(shell, "T_jihua_jj_dadi"), Lf(expected.plan.text));
    EXPECT_EQ(LineText(shell, "T_jihua_jj_dadi_zhushu"),
              QString::fromStdString(expected.plan.count));
    EXPECT_EQ(BoxText(shell, "T_jihua_jj_dadi_by"), Lf(expected.backup.text));
    EXPECT_EQ(LineText(shell, "T_jihua_jj_dadi_zhushu_by"),
              QString::fromStdString(expected.backup.count));
    // The plan searched on lines of its own: the drawing panel shows what it showed before.
    EXPECT_EQ(BoxText(shell, "Tdadi"), "");
    EXPECT_EQ(LineText(shell, "T_sj_zhushu"), "");
    EXPECT_EQ(shell.Tables().Trend.TrendLine, TrendLineTable{});
    ASSERT_TRUE(expected.InstanceBases);
    EXPECT_EQ(shell.Tables().InstanceBases(), *expected.InstanceBases);
    EXPECT_EQ(shell.Tables().LineBases(), expectedLines);

    const QString log = BoxText(shell, "T_jh_dadi_jilu");
    EXPECT_EQ(log, Lf(expected.log->logText));
    const QString count = LineText(shell, "T_jihua_jj_dadi_zhushu").rightJustified(3, '0');
    EXPECT_TRUE(log.startsWith(U("085期，开：**************-") + count + U("注-等待中。。。\n")))
        << log.toStdString();
    EXPECT_TRUE(log.endsWith(U("Tavren祝福大家中中\n---------------\n")));
    // Scrolled to its end: the last character selected.
    auto* logBox = shell.Find<LinesBox>("T_jh_dadi_jilu");
    EXPECT_EQ(logBox->SelectedText(), "\n");
    EXPECT_EQ(logBox->Caret().line, log.count('\n'));
}

TEST(PlanPanel, ModeTwoWithTheBankerFilterShowsTheEngineResult) {
    Shell shell;
    Ready(shell);
    shell.Find<QCheckBox>("Check_jh_dadi_fenzu")->click();
    ASSERT_TRUE(Plan(shell).ModeTwoSelected());
    shell.Find<QLineEdit>("T_jh_dadi_fenzu_rc")->setText("02.03");
    shell.Find<QCheckBox>("Check_danma_jiaoji")->setChecked(true);
    shell.Find<QLineEdit>("T_jiaoji_danma_rc")->setText("2.3");

    const PlanModeTwoInput input = Plan(shell).ModeTwoInput();
    EXPECT_EQ(input.groupTotalTolerance, "02.03");
    EXPECT_TRUE(input.banker.enabled);
    EXPECT_EQ(input.banker.tolerance, "2.3");
    shell.Window().Context().services.rng.seed(99);
    std::mt19937_64 rng(99);
    const Result<PlanRunOutput> run =
        RunPlanModeTwo(input, shell.Tables().CurveStoreLines, shell.Tables().PlanInputs(), rng);
    ASSERT_TRUE(run.ok());
    const PlanRunOutput& expected = *run;
    ASSERT_FALSE(expected.plan.text.empty());

    shell.Find<QPushButton>("C_jihua_ks")->click();
    EXPECT_TRUE(shell.Messages().messages().empty());
    EXPECT_EQ(BoxText(shell, "T_jihua_jj_dadi"), Lf(expected.plan.text));
    EXPECT_EQ(LineText(shell, "T_jihua_jj_dadi_zhushu"),
              QString::fromStdString(expected.plan.count));
    EXPECT_EQ(BoxText(shell, "T_jihua_jj_dadi_by"), Lf(expected.backup.text));
    EXPECT_EQ(BoxText(shell, "T_jh_dadi_jilu"), Lf(expected.log->logText));
    EXPECT_EQ(shell.Find<ProgressPicture>("Pic_jd")->Text(), U("等待"));

    // The draw settles the record: mode two tallies its word, and the next plan shows the
    // completed line above the new waiting one.
    ASSERT_TRUE(shell.FetchFeed(85));
    EXPECT_EQ(BoxText(shell, "T_jh_rc"), U("模式二"));
    const QString settled = QString::fromStdString(shell.Tables().Log().PlanRecords[0].text);
    EXPECT_TRUE(settled.startsWith(U("085期，开：") + QString::fromStdString(DrawNumbers(85))))
        << settled.toStdString();
    EXPECT_TRUE(BoxText(shell, "T_jh_dadi_jilu").startsWith(settled + "\n086期"));
}

TEST(PlanPanel, InputErrorAndKeptBasesReportAndStillEndTheRunCleanly) {
    Shell shell;
    Ready(shell);
    auto* base = shell.Find<LinesBox>("T_jihua_jj_dadi");
    base->SetText("01,02,03,04,05");
    shell.Find<QLineEdit>("T_jh_dadi_chongfu_cs")->setText("");
    QSignalSpy finished(&Plan(shell), &PlanPanel::planFinished);
    shell.Find<QPushButton>("C_jihua_ks")->click();
    ASSERT_EQ(shell.Messages().messages().size(), 1u);
    EXPECT_EQ(shell.Messages().messages()[0].text, U("输入数据有误，请检查格式。"));
    EXPECT_EQ(shell.Messages().messages()[0].title, U("提示"));
    EXPECT_EQ(base->Text(), "01,02,03,04,05");
    EXPECT_EQ(finished.count(), 1);
    EXPECT_TRUE(shell.Find<QPushButton>("C_jihua_ks")->isEnabled());
    EXPECT_FALSE(shell.Find<QWidget>("Pic_jd")->isVisibleTo(&shell.Window()));

    // "保持当前底" with two instances: the engine's notice, shown once for the run, and a plan
    // all the same.
    shell.Messages().Clear();
    shell.Find<QRadioButton>("Op_jiankong_shougong")->setChecked(true);
    shell.Find<QLineEdit>("T_jh_dadi_chongfu_cs")->setText("2");
    shell.Find<QPushButton>("C_jihua_ks")->click();
    ASSERT_EQ(shell.Messages().messages().size(), 1u);
    EXPECT_EQ(shell.Messages().messages()[0].text, U("请先选择“每期算号”"));
    EXPECT_EQ(shell.Messages().messages()[0].title, U("友情提示"));
    EXPECT_FALSE(BoxText(shell, "T_jh_dadi_jilu").isEmpty());
}

// A plan is stopped between two instances (the window closing, the program ending) and leaves
// the boxes and the log as they were; a second press meanwhile is ignored. The plan is long
// enough for the window to let events in while it runs.
TEST(PlanPanel, SecondPressIsIgnoredAndAStopLeavesEverythingAsItWas) {
    Shell shell;
    Ready(shell);
    shell.Find<QLineEdit>("T_jh_dadi_chongfu_cs")->setText("400");
    auto* base = shell.Find<LinesBox>("T_jihua_jj_dadi");

    QSignalSpy finished(&Plan(shell), &PlanPanel::planFinished);
    // While it runs, the progress shows and the button is disabled.
    auto* picture = shell.Find<ProgressPicture>("Pic_jd");
    auto* start = shell.Find<QPushButton>("C_jihua_ks");
    QString progress;
    bool progressVisible = false;
    bool buttonDisabled = false;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (!Plan(shell).PlanRunning()) return;
        progress = picture->Text();
        progressVisible = progressVisible || picture->isVisibleTo(&shell.Window());
        buttonDisabled = buttonDisabled || !start->isEnabled();
    });
    watcher.start(0);
    start->click();
    watcher.stop();
    EXPECT_TRUE(progressVisible);
    EXPECT_TRUE(buttonDisabled);
    EXPECT_TRUE(progress.endsWith('%')) << progress.toStdString();
    ASSERT_EQ(finished.count(), 1);
    base->SetText("01,02,03,04,05");
    const std::vector<PlanRecord> recordsAfterRun = shell.Tables().Log().PlanRecords;
    const QString logAfterRun = BoxText(shell, "T_jh_dadi_jilu");

    bool runningInside = false;
    QTimer::singleShot(0, [&] {
        runningInside = Plan(shell).PlanRunning();
        Plan(shell).StartPlan();  // as the after-draw pipeline would
        Plan(shell).StopPlan();
    });
    shell.Find<QPushButton>("C_jihua_ks")->click();
    EXPECT_TRUE(runningInside);
    EXPECT_EQ(finished.count(), 2);
    EXPECT_EQ(base->Text(), "01,02,03,04,05");
    EXPECT_EQ(BoxText(shell, "T_jh_dadi_jilu"), logAfterRun);
    EXPECT_TRUE(shell.Tables().Log().PlanRecords == recordsAfterRun);
    EXPECT_TRUE(shell.Find<QPushButton>("C_jihua_ks")->isEnabled());
    EXPECT_FALSE(Plan(shell).PlanRunning());

    // Closing the window with "Yes" while a plan runs ends the plan, then the program.
    shell.Messages().QueueAnswer(MessageAnswer::Yes);
    shell.Window().show();
    QTimer::singleShot(0, [&] { shell.Window().close(); });
    shell.Find<QPushButton>("C_jihua_ks")->click();
    EXPECT_EQ(finished.count(), 3);
    EXPECT_EQ(shell.EndCodes(), std::vector<int>{0});
    EXPECT_EQ(base->Text(), "01,02,03,04,05");
}

TEST(PlanPanel, ModeSwitchKeepsOneModeAndTheInstanceCountKeepsDigits) {
    Shell shell;
    auto* one = shell.Find<QCheckBox>("Check_jh_dadi_chongfu");
    auto* two = shell.Find<QCheckBox>("Check_jh_dadi_fenzu");
    ASSERT_TRUE(one->isChecked());
    ASSERT_FALSE(two->isChecked());
    one->click();
    EXPECT_FALSE(one->isChecked());
    EXPECT_TRUE(two->isChecked());
    two->click();
    EXPECT_TRUE(one->isChecked());
    EXPECT_FALSE(two->isChecked());
    two->setChecked(true);  // set from code, as the settings load does
    EXPECT_FALSE(one->isChecked());

    auto* count = shell.Find<QLineEdit>("T_jh_dadi_chongfu_cs");
    count->setFocus();
    count->selectAll();
    QTest::keyClicks(count, "1a2 -");
    EXPECT_EQ(count->text(), "12");
    // Other scripts' digits are not decimal digits here.
    count->insert(U("３"));
    QTest::keyClicks(count, "4");
    EXPECT_EQ(count->text(), "124");
    EXPECT_EQ(count->cursorPosition(), 3);
}

TEST(PlanPanel, CopiesPutPlainTextWithCrLfOnTheClipboardAndShowTheNotice) {
    Shell shell;
    Ready(shell);
    shell.Window().show();
    auto* base = shell.Find<LinesBox>("T_jihua_jj_dadi");
    base->SetText("01,02,03,04,05\n01,02,03,04,06");
    shell.Find<LinesBox>("T_jh_dadi_jilu")->SetText(U("085期，开：log\n---"));
    QClipboard* clipboard = QApplication::clipboard();

    shell.Find<QPushButton>("C_jihua_jj_copy")->click();
    EXPECT_EQ(clipboard->text(), "01,02,03,04,05\r\n01,02,03,04,06");
    EXPECT_TRUE(NoticeShownAndClosed(shell));

    shell.Find<QCheckBox>("Check_qu_douhao")->setChecked(true);
    shell.Find<QPushButton>("C_jihua_jj_copy")->click();
    EXPECT_EQ(clipboard->text(), "01 02 03 04 05\r\n01 02 03 04 06");
    EXPECT_TRUE(NoticeShownAndClosed(shell));

    // The log alone; "去逗号" does not touch it.
    shell.Find<QPushButton>("C_copy_1")->click();
    EXPECT_EQ(clipboard->text(), U("085期，开：log\r\n---"));
    EXPECT_TRUE(NoticeShownAndClosed(shell));

    shell.Find<QCheckBox>("Check_jihua_jilu_haoma")->setChecked(true);
    shell.Find<QPushButton>("C_copy_1")->click();
    EXPECT_EQ(clipboard->text(),
              U("01 02 03 04 05\r\n01 02 03 04 06\r\n085期，开：log\r\n---\r\n"));
    EXPECT_TRUE(NoticeShownAndClosed(shell));

    // Empty sources: an empty clipboard, the notice all the same.
    base->SetText(QString());
    clipboard->setText("old");
    shell.Find<QPushButton>("C_jihua_jj_copy")->click();
    EXPECT_EQ(clipboard->text(), "");
    EXPECT_TRUE(NoticeShownAndClosed(shell));
    EXPECT_TRUE(shell.Messages().messages().empty());
}

TEST(PlanPanel, ClearEmptiesTheLogAndPreviewChartsThePlanBase) {
    Shell shell;
    Ready(shell);
    shell.Find<QLineEdit>("T_jh_dadi_chongfu_cs")->setText("1");
    shell.Find<QPushButton>("C_jihua_ks")->click();
    ASSERT_FALSE(BoxText(shell, "T_jh_dadi_jilu").isEmpty());
    ASSERT_TRUE(shell.FetchFeed(85));
    ASSERT_FALSE(BoxText(shell, "T_jh_rc").isEmpty());
    // The records are kept on disk: the clear asks first, and "否" keeps them.
    shell.Find<QPushButton>("C_jihua_cls")->click();
    ASSERT_EQ(shell.Messages().messages().size(), 1u);
    EXPECT_EQ(shell.Messages().messages()[0].text, U("确定清空山东的计划记录吗？清空后无法恢复。"));
    EXPECT_EQ(shell.Tables().Log().PlanRecordCount, 1);
    shell.Messages().Clear();
    shell.Messages().QueueAnswer(MessageAnswer::Yes);
    shell.Find<QPushButton>("C_jihua_cls")->click();
    shell.Messages().Clear();
    EXPECT_EQ(shell.Tables().Log().PlanRecordCount, 0);
    EXPECT_EQ(BoxText(shell, "T_jh_dadi_jilu"), "");
    EXPECT_EQ(BoxText(shell, "T_jh_rc"), "");

    shell.Window().ShowPanel(2);
    shell.Find<LinesBox>("T_jihua_jj_dadi")
        ->SetText(" 01,02,03,04,05\n01,02,03,04,06\n01,02,03,04,07 ");
    shell.Find<QPushButton>("C_jh_dd_k")->click();
    EXPECT_EQ(shell.Window().CurrentPanel(), 0);
    EXPECT_EQ(BoxText(shell, "Tdadi"), "01,02,03,04,05 01,02,03,04,06 01,02,03,04,07");
    EXPECT_TRUE(shell.Messages().messages().empty());
}

// After a draw the pending record is completed and the tally of mode one counts the instance
// plans that held the draw, as they stood when the plan was issued.
TEST(PlanPanel, ResultRecordCountsInstancesOrCheckedLines) {
    Shell shell;
    Ready(shell);
    shell.Find<QLineEdit>("T_jh_dadi_chongfu_cs")->setText("2");
    shell.Find<QPushButton>("C_jihua_ks")->click();
    ASSERT_EQ(shell.Tables().InstanceBases().size(), 3u);
    // Every instance plan holds the coming draw, and so does the plan: the record is issued again
    // with them.
    const std::string key85 = BetText(DrawKeyOf(DrawNumbers(85)));
    SetBases(shell.Tables(), std::nullopt, std::vector<std::string>{"", key85, key85});
    shell.Find<LinesBox>("T_jihua_jj_dadi")->SetText(QString::fromStdString(key85));
    Plan(shell).WritePendingRecord();
    ASSERT_TRUE(shell.FetchFeed(85));
    EXPECT_EQ(BoxText(shell, "T_jh_rc"), "2-2");
    EXPECT_TRUE(
        QString::fromStdString(shell.Tables().Log().PlanRecords[0].text).endsWith(U("注-中中中")));

    // One instance: the checked lines whose base holds the draw, out of the monitor's count.
    const std::string key86 = BetText(DrawKeyOf(DrawNumbers(86)));
    shell.Find<QLineEdit>("T_jh_dadi_chongfu_cs")->setText("1");
    LineTexts lines{};
    lines[0] = lines[1] = key86;
    SetBases(shell.Tables(), lines);
    shell.Find<QCheckBox>("Ch_jiankong_jj_1")->click();  // line 2 no longer checked
    Plan(shell).WritePendingRecord();
    ASSERT_TRUE(shell.FetchFeed(86));
    EXPECT_EQ(BoxText(shell, "T_jh_rc"), "2-2\n14-1");
}

}  // namespace
}  // namespace xuan5::ui::test
