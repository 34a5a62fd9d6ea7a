// A newcomer's first hour in the window: what he set comes back after a restart, a saved line is
// overwritten only after a question and the save can be taken back, and the status box keeps its
// whole text.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextBrowser>

#include "curves/trend_line.h"
#include "store/curve_store.h"
#include "ui/common/config.h"
#include "ui/shell/fbangzhu.h"
#include "ui/widgets/status_line.h"
#include "ui_test_support.h"

namespace xuan5::ui::test {
namespace {

TEST(FirstHour, SettingsComeBackAfterARestartAndASaveAsksAndCanBeUndone) {
    QTemporaryDir config;
    const QString settings = config.filePath("settings.conf");
    Shell shell;
    shell.Window().KeepSettings(settings);
    EXPECT_FALSE(shell.Find<QCheckBox>("Cauto")->isChecked());

    // Set as a user would, in four panels, the strip and the backup strip.
    shell.Find<QCheckBox>("Cauto")->setChecked(true);
    shell.Find<QLineEdit>("T_quxian_zhushu_4")->setText("300");
    shell.Find<QLineEdit>("T_jiankong_rc")->setText("04.05");
    shell.Find<QCheckBox>("Ch_jiankong_jj_6")->setChecked(false);
    shell.Find<QRadioButton>("Op_jiankong_shougong")->click();
    shell.Find<QCheckBox>("Check_jh_dadi_fenzu")->click();
    shell.Find<QLineEdit>("T_jh_dadi_fenzu_02_rc")->setText("02.03");
    shell.Find<QPlainTextEdit>("T_jihua_qianming")->setPlainText(QStringLiteral("我的签名\n"));
    shell.Find<QLineEdit>("T_paixu_fenjiemoshi")->setText("4-7");
    shell.Find<QCheckBox>("Check_beiyong_canyu")->setChecked(true);

    // Line 07 holds a curve: "no" keeps it, "yes" replaces it.
    const std::string before = shell.Data().ReadStore();
    for (int i = 1; i <= 120; ++i) shell.Tables().Trend.TrendLine[i] = 40 * i - 2000;
    const std::string drawn = SerializeTrendLine(shell.Tables().Trend.TrendLine);
    shell.Find<QPushButton>("C_gengxin_6")->click();
    ASSERT_EQ(shell.Messages().messages().size(), 1u);
    const RecordedMessage question = shell.Messages().messages()[0];
    EXPECT_EQ(question.text, QStringLiteral("07号线已有曲线，覆盖吗？"));
    EXPECT_EQ(question.title, QStringLiteral("提示"));
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(shell.Data().ReadStore(), before);
    shell.Messages().QueueAnswer(MessageAnswer::Yes);
    shell.Find<QPushButton>("C_gengxin_6")->click();
    EXPECT_EQ((*ReadCurveStoreFile(shell.Data().StorePath().toStdString()))[6], drawn);

    shell.Restart();
    shell.Messages().Clear();
    shell.Window().KeepSettings(settings);
    EXPECT_TRUE(shell.Find<QCheckBox>("Cauto")->isChecked());
    EXPECT_EQ(shell.Find<QLineEdit>("T_quxian_zhushu_4")->text(), "300");
    EXPECT_EQ(shell.Find<QLineEdit>("T_quxian_zhushu_5")->text(), "230");
    EXPECT_EQ(shell.Find<QLineEdit>("T_jiankong_rc")->text(), "04.05");
    EXPECT_FALSE(shell.Find<QCheckBox>("Ch_jiankong_jj_6")->isChecked());
    EXPECT_EQ(shell.Find<QLineEdit>("T_jiankong_15di_geshu")->text(), "14");
    EXPECT_TRUE(shell.Find<QRadioButton>("Op_jiankong_shougong")->isChecked());
    EXPECT_FALSE(shell.Find<QRadioButton>("Op_jiankong_zihui")->isChecked());
    EXPECT_TRUE(shell.Find<QCheckBox>("Check_jh_dadi_fenzu")->isChecked());
    EXPECT_FALSE(shell.Find<QCheckBox>("Check_jh_dadi_chongfu")->isChecked());
    EXPECT_EQ(shell.Find<QLineEdit>("T_jh_dadi_fenzu_02_rc")->text(), "02.03");
    EXPECT_EQ(shell.Find<QPlainTextEdit>("T_jihua_qianming")->toPlainText(),
              QStringLiteral("我的签名\n"));
    EXPECT_EQ(shell.Find<QLineEdit>("T_paixu_fenjiemoshi")->text(), "4-7");
    EXPECT_TRUE(shell.Find<QCheckBox>("Check_beiyong_canyu")->isChecked());
    EXPECT_TRUE(shell.Messages().messages().empty());

    // After the restart the save is still known, and undone once; the second press says why not.
    shell.Find<QPushButton>("C_gengxin_cx")->click();
    EXPECT_EQ(shell.Data().ReadStore().substr(0, before.size()), before);
    EXPECT_EQ(shell.Tables().CurveStoreLines[6], SampleLineText(6));
    auto* status = shell.Find<StatusLine>("Tnew");
    EXPECT_EQ(status->text(), QStringLiteral("已撤销保存：07号线"));
    shell.Find<QPushButton>("C_gengxin_cx")->click();
    ASSERT_EQ(shell.Messages().messages().size(), 1u);
    EXPECT_EQ(shell.Messages().messages()[0].text, QStringLiteral("没有可撤销的保存"));
    EXPECT_EQ(shell.Messages().messages()[0].kind, MessageKind::Failure);

    // A status longer than its box shows both ends and keeps the whole text in its tooltip.
    const QString failure =
        QStringLiteral("无法连接：服务的证书无法验证，自签名证书请在service.ini写ca=证书文件");
    status->setText(failure + failure);
    EXPECT_TRUE(status->ShownText().contains(QStringLiteral("…")));
    EXPECT_TRUE(status->ShownText().startsWith(QStringLiteral("无法连接")));
    EXPECT_TRUE(status->ShownText().endsWith(QStringLiteral("证书文件")));
    // and under it where the draws come from.
    EXPECT_EQ(status->toolTip(),
              failure + failure + QStringLiteral("\n开奖数据来自 ") + shell.Server().Url());
}

// "帮助" opens the manual built beside the test programs (bin/../share/doc/xuan5/manual), offline,
// and follows its links; without it the user is told where it was looked for.
TEST(FirstHour, HelpOpensTheManualInsideTheProgram) {
    Shell shell;
    const QString index = ManualIndexFile(QCoreApplication::applicationDirPath());
    ASSERT_TRUE(QFile::exists(index)) << index.toStdString();
    shell.Find<QPushButton>("C_bangzhu")->click();
    auto* manual = shell.Window().findChild<Fbangzhu*>("Fbangzhu");
    ASSERT_NE(manual, nullptr);
    EXPECT_TRUE(manual->isVisible());
    QTextBrowser* browser = manual->findChild<QTextBrowser*>("T_bangzhu");
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("第一个小时")));
    browser->setSource(QUrl(QStringLiteral("plan.html")));
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("命中统计")));
    EXPECT_TRUE(shell.Messages().messages().empty());

    shell.Window().SetManualFile(index + QStringLiteral(".missing"));
    manual->close();
    shell.Window().ShowManual();
    ASSERT_EQ(shell.Messages().messages().size(), 1u);
    EXPECT_TRUE(shell.Messages().messages()[0].text.startsWith(QStringLiteral("找不到使用手册：")));
    EXPECT_EQ(shell.Messages().messages()[0].kind, MessageKind::Failure);
}

}  // namespace
}  // namespace xuan5::ui::test

namespace xuan5::ui::test {
namespace {

// The program builds only the panel shown before its first paint; another panel comes at its
// first showing, or when the feed needs it, with its defaults, its kept settings and the shown
// region's records.
TEST(FirstHour, PanelsAreBuiltWhenFirstNeeded) {
    QTemporaryDir config;
    const QString settings = config.filePath("settings.conf");
    {
        Shell shell;
        shell.Window().KeepSettings(settings);
        shell.Find<QLineEdit>("T_jh_dadi_chongfu_cs")->setText("7");
    }
    DataFolder data;
    MessageRecorder messages;
    Fmain window(FmainOptions{data.Path() + "/data", {}, 5000, true});
    ASSERT_TRUE(window.ApplyStartupDefaults());
    window.KeepSettings(settings);
    EXPECT_TRUE(window.PanelBuilt(0));
    for (int i = 1; i < kPanelCount; ++i) EXPECT_FALSE(window.PanelBuilt(i)) << i;
    EXPECT_EQ(window.findChild<QLineEdit*>("T_jh_dadi_chongfu_cs"), nullptr);

    window.ShowPanel(2);
    ASSERT_TRUE(window.PanelBuilt(2));
    EXPECT_EQ(window.findChild<QLineEdit*>("T_jh_dadi_chongfu_cs")->text(), "7");
    EXPECT_TRUE(window.findChild<QCheckBox*>("Check_jihua_sx")->isChecked());
    EXPECT_FALSE(window.PanelBuilt(1));
    // The plan reads the monitor's line choice: that panel comes with its fifteen ticks.
    window.Panels();
    EXPECT_EQ(window.findChild<QLineEdit*>("T_jiankong_15di_geshu")->text(), "15");
    EXPECT_TRUE(messages.messages().empty());
}

}  // namespace
}  // namespace xuan5::ui::test
