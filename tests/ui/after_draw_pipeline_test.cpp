// Every applied update from the second one on carries the window forward: against the real
// result service, through a typed draw and through Command1.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <string>

#include "ui/monitor/monitor_panel.h"
#include "ui/plan/plan_panel.h"
#include "ui_test_support.h"

namespace xuan5::ui::test {
namespace {

#ifdef XUAN5_SERVICE_PROGRAM

// The built xuan5-service, simulating a period every few seconds on an ephemeral port.
class ServiceProcess {
  public:
    ServiceProcess(const QString& dir, int periodSeconds) {
        const QString program = QStringLiteral(XUAN5_SERVICE_PROGRAM);
        const QString db = dir + "/service.db";
        QProcess add;
        add.start(program, {"add-user", "e2e", "--db", db});
        if (add.waitForFinished(20000) && add.exitCode() == 0)
            token_ = QString::fromUtf8(add.readAllStandardOutput()).trimmed();
        serve_.start(program, {"serve", "--db", db, "--host", "127.0.0.1", "--port", "0",
                               "--simulate", "--period-seconds", QString::number(periodSeconds)});
        const QString marker = QStringLiteral("listening on ");
        while (url_.isEmpty() && serve_.waitForReadyRead(20000)) {
            while (serve_.canReadLine()) {
                const QString line = QString::fromUtf8(serve_.readLine()).trimmed();
                if (const int at = line.indexOf(marker); at >= 0)
                    url_ = line.mid(at + marker.size());
            }
        }
    }
    ~ServiceProcess() {
        serve_.kill();
        serve_.waitForFinished(5000);
    }
    QString Url() const { return url_; }
    QString Token() const { return token_; }

  private:
    QProcess serve_;
    QString url_;
    QString token_;
};

// What was in force before an update, and the figures the update must move on.
struct Before {
    LineTexts lineBases;
    std::string planBase;
    int planSize = 0;
    int recordCount = 0;
    int runs = 0;
};

Before Take(Shell& shell) {
    Before b;
    b.lineBases = shell.Tables().LineBases;
    b.planBase = shell.Find<QPlainTextEdit>("T_jihua_jj_dadi")->toPlainText().toStdString();
    b.planSize = shell.Find<QLineEdit>("T_jihua_jj_dadi_zhushu")->text().toInt();
    b.recordCount = shell.Tables().log.PlanRecordCount;
    b.runs = shell.Window().PipelineRuns();
    return b;
}

QStringList SortList(Shell& shell) {
    QStringList items;
    auto* list = shell.Find<QListWidget>("List01");
    for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
    return items;
}

std::string ThreeDigits(int n) {
    std::string s = std::to_string(n);
    return std::string(s.size() < 3 ? 3 - s.size() : 0, '0') + s;
}

// The newest draw, judged against what was in force before it, in monitor row `row`, the
// pending record settled, the next one waiting, and the sort list rebuilt over the new history.
void ExpectOneStep(Shell& shell, const Before& before, int row) {
    const Session& state = shell.Tables();
    EXPECT_EQ(shell.Window().PipelineRuns(), before.runs + 1);
    const std::string& period = state.DrawHistory[1].period;
    const std::string key = state.DrawSeries[120];
    ASSERT_FALSE(key.empty());

    const auto& marks = state.MonitorRecords[row];
    EXPECT_EQ(marks[kMonitorPeriodColumn], std::stoi(period));
    EXPECT_EQ(marks[kMonitorUsedColumn], 1);
    EXPECT_EQ(state.MonitorRecords[row + 1][kMonitorUsedColumn], 0) << "one row per update";
    for (int c = 0; c < kLineCount; ++c)
        EXPECT_EQ(marks[c], before.lineBases[c].find(key) != std::string::npos ? 1 : 0) << c;
    const MonitorPicture& picture = shell.Find<MonitorTableWidget>("Pic_jiangkong")->Picture();
    EXPECT_TRUE(std::any_of(picture.texts.begin(), picture.texts.end(), [&](const ChartLabel& t) {
        return t.text == ThreeDigits(std::stoi(period));
    }));

    const std::string word = before.planBase.find(key) != std::string::npos ? "中中中" : "一会中";
    const std::string settled = period + "期，开：" + state.DrawHistory[1].numbers + "-" +
                                ThreeDigits(before.planSize) + "注-" + word;
    EXPECT_EQ(state.log.PlanRecords[before.recordCount], settled);
    EXPECT_EQ(state.log.PlanRecordCount, before.recordCount + 1);
    const std::string waiting = state.log.PlanRecords[before.recordCount + 1];
    EXPECT_EQ(waiting.substr(0, 3), ThreeDigits(std::stoi(period) + 1));
    EXPECT_NE(waiting.find("等待中"), std::string::npos);
    const QString log = shell.Find<QPlainTextEdit>("T_jh_dadi_jilu")->toPlainText();
    EXPECT_TRUE(log.contains(QString::fromStdString(settled)));
    EXPECT_TRUE(log.contains(QString::fromStdString(waiting)));

    // Refreshing by hand now gives the same list: it was built over the new history.
    const QStringList sorted = SortList(shell);
    EXPECT_FALSE(sorted.isEmpty());
    shell.Find<QPushButton>("C_paixu_shuaxin")->click();
    EXPECT_EQ(SortList(shell), sorted);
}

TEST(AfterDrawPipeline, EveryUpdateCarriesTheWindowForward) {
    QTemporaryDir dir;
    ServiceProcess service(dir.path(), 2);
    ASSERT_FALSE(service.Url().isEmpty());
    ASSERT_FALSE(service.Token().isEmpty());
    Shell shell(ServiceSettings{service.Url(), service.Token()});
    ASSERT_TRUE(shell.StartupOk());
    Session& state = shell.Tables();

    ASSERT_TRUE(shell.Fetch());
    ASSERT_EQ(state.UpdateCount, 1);
    EXPECT_EQ(shell.Window().PipelineRuns(), 0);
    EXPECT_EQ(state.MonitorRecords[1][kMonitorUsedColumn], 0);
    EXPECT_TRUE(SortList(shell).isEmpty());
    // The first plan is the user's own press.
    shell.Find<QPushButton>("C_jihua_ks")->click();
    ASSERT_NE(state.log.PlanRecords[0].find("等待中"), std::string::npos);

    // The feed: the next simulated period.
    Before before = Take(shell);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            shell.Fetch();
            return state.UpdateCount == 2;
        },
        20000));
    ExpectOneStep(shell, before, 1);

    // A typed draw.
    before = Take(shell);
    shell.Find<QPushButton>("C_rulu_kjh")->click();
    auto* entry = shell.Window().findChild<QDialog*>("Fadd");
    ASSERT_NE(entry, nullptr);
    entry->findChild<QPushButton*>("C_rulu_kjh")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.UpdateCount == 3; }, 5000));
    ExpectOneStep(shell, before, 2);

    // Command1 applies the staged table once more: one more update, one more run.
    before = Take(shell);
    shell.Find<QPushButton>("Command1")->click();
    EXPECT_EQ(state.UpdateCount, 4);
    ExpectOneStep(shell, before, 3);
    EXPECT_TRUE(shell.Messages().messages().empty());
}

#endif

// Plan mode one lets events in between its instances; an update that comes meanwhile waits
// for the plan, then runs the pipeline once.
TEST(AfterDrawPipeline, AnUpdateDuringAPlanWaitsForIt) {
    Shell shell;
    ASSERT_TRUE(shell.FetchFeed(150));
    Session& state = shell.Tables();
    shell.Find<QLineEdit>("T_jh_dadi_chongfu_cs")->setText("500");
    bool pressedDuringPlan = false;
    QTimer::singleShot(0, [&] {
        pressedDuringPlan = shell.Window().Panels().plan->PlanRunning();
        shell.Find<QPushButton>("Command1")->click();
        EXPECT_EQ(state.UpdateCount, 1);
        EXPECT_TRUE(shell.Window().ApplyPending());
    });
    shell.Find<QPushButton>("C_jihua_ks")->click();
    ASSERT_TRUE(pressedDuringPlan);
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.UpdateCount == 2; }, 5000));
    EXPECT_EQ(shell.Window().PipelineRuns(), 1);
    EXPECT_FALSE(shell.Window().ApplyPending());
    EXPECT_EQ(state.log.PlanRecordCount, 1);
    EXPECT_EQ(state.MonitorRecords[1][kMonitorUsedColumn], 1);
    EXPECT_EQ(state.MonitorRecords[2][kMonitorUsedColumn], 0);
}

}  // namespace
}  // namespace xuan5::ui::test
