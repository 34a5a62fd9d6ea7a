// Every applied update from the second one on carries the window forward: against the real
// result service, through a typed draw, across a switch of region and through a corrected draw.
#include <gtest/gtest.h>

#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <set>
#include <string>

#include "feed/feed_parser.h"
#include "records/record_book.h"
#include "ui/monitor/monitor_panel.h"
#include "ui/plan/plan_panel.h"
#include "ui/widgets/lines_box.h"
#include "ui_test_support.h"

#ifdef XUAN5_SERVICE_PROGRAM
#include "server.h"
#include "token.h"
#endif

namespace xuan5::ui::test {
namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

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
    int monitorRows = 0;
    std::string newest;  // the history's newest period
};

int UsedMonitorRows(const Session& session) {
    int rows = 0;
    while (rows < 20 && session.MonitorRecords()[rows + 1][kMonitorUsedColumn] != 0) ++rows;
    return rows;
}

Before Take(Shell& shell) {
    Before b;
    b.lineBases = shell.Tables().LineBases();
    b.monitorRows = UsedMonitorRows(shell.Tables());
    b.newest = shell.Tables().DrawHistory()[1].period;
    b.planBase = shell.Find<LinesBox>("T_jihua_jj_dadi")->Text().toStdString();
    b.planSize = shell.Find<QLineEdit>("T_jihua_jj_dadi_zhushu")->text().toInt();
    b.recordCount = shell.Tables().Log().PlanRecordCount;
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

// The draws that came after `before`, each judged against what was in force before them in a
// monitor row of its own, oldest first; the pending record settled with the draw of its period,
// the next one waiting, and the sort list rebuilt over the new history. Returns how many came.
int ExpectStep(Shell& shell, const Before& before) {
    const Session& state = shell.Tables();
    EXPECT_EQ(shell.Window().PipelineRuns(), before.runs + 1);
    int newRows = 1;
    while (newRows < 60 && state.DrawHistory()[newRows + 1].period != before.newest) ++newRows;
    EXPECT_LT(newRows, 60);
    EXPECT_EQ(UsedMonitorRows(state), std::min(20, before.monitorRows + newRows));
    for (int k = 0; k < newRows; ++k) {
        const int row = std::min(20, before.monitorRows + newRows) - k;  // newest at the bottom
        const auto marks = state.MonitorRecords()[row];
        EXPECT_EQ(marks[kMonitorPeriodColumn], std::stoi(state.DrawHistory()[1 + k].period));
        const std::string key = state.DrawSeries()[120 - k];
        for (int c = 0; c < kLineCount; ++c)
            EXPECT_EQ(marks[c], before.lineBases[c].find(key) != std::string::npos ? 1 : 0) << c;
    }
    const std::string& period = state.DrawHistory()[1].period;
    const MonitorPicture& picture = shell.Find<MonitorTableWidget>("Pic_jiangkong")->Picture();
    EXPECT_TRUE(std::any_of(picture.texts.begin(), picture.texts.end(), [&](const ChartLabel& t) {
        return t.text == ThreeDigits(std::stoi(period));
    }));

    // The record waited for the period after the old newest: the oldest new draw, unless a new
    // day began (period numbers do not wrap) and the record is closed without a result.
    const DrawRecord& drawn = state.DrawHistory()[newRows];
    const std::string key = state.DrawSeries()[121 - newRows];
    const std::string word = before.planBase.find(key) != std::string::npos ? "中中中" : "一会中";
    const std::string named = ThreeDigits(std::stoi(before.newest) + 1);
    const std::string settled =
        drawn.period == named
            ? drawn.period + "期，开：" + drawn.numbers + "-" + ThreeDigits(before.planSize) +
                  "注-" + word
            : named + "期，开：**************-" + ThreeDigits(before.planSize) + "注-未开奖，不计";
    EXPECT_EQ(state.Log().PlanRecords[before.recordCount].text, settled);
    EXPECT_EQ(state.Log().PlanRecordCount, before.recordCount + 1);
    const std::string waiting = state.Log().PlanRecords[before.recordCount + 1].text;
    EXPECT_EQ(waiting.substr(0, 3), ThreeDigits(std::stoi(period) + 1));
    EXPECT_NE(waiting.find("等待中"), std::string::npos);
    const QString log = shell.Find<LinesBox>("T_jh_dadi_jilu")->Text();
    EXPECT_TRUE(log.contains(QString::fromStdString(settled)));
    EXPECT_TRUE(log.contains(QString::fromStdString(waiting)));

    // Refreshing by hand now gives the same list: it was built over the new history.
    const QStringList sorted = SortList(shell);
    EXPECT_FALSE(sorted.isEmpty());
    shell.Find<QPushButton>("C_paixu_shuaxin")->click();
    EXPECT_EQ(SortList(shell), sorted);
    return newRows;
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
    ASSERT_EQ(state.UpdateCount(), 1);
    EXPECT_EQ(shell.Window().PipelineRuns(), 0);
    EXPECT_EQ(state.MonitorRecords()[1][kMonitorUsedColumn], 0);
    EXPECT_TRUE(SortList(shell).isEmpty());
    // The first plan is the user's own press.
    shell.Find<QPushButton>("C_jihua_ks")->click();
    ASSERT_NE(state.Log().PlanRecords[0].text.find("等待中"), std::string::npos);

    // The feed: the next simulated period.
    Before before = Take(shell);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            shell.Fetch();
            return state.UpdateCount() == 2;
        },
        20000));
    ExpectStep(shell, before);

    // A typed draw.
    before = Take(shell);
    shell.Find<QPushButton>("C_rulu_kjh")->click();
    auto* entry = shell.Window().findChild<QDialog*>("Fadd");
    ASSERT_NE(entry, nullptr);
    // The box opens empty; the example it shows ("例：NNN-01,02,03,04,05") is a valid draw.
    auto* line = entry->findChild<QLineEdit*>("T_total_renshu");
    line->setText(line->placeholderText().mid(2));
    entry->findChild<QPushButton*>("C_rulu_kjh")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.UpdateCount() == 3; }, 5000));
    EXPECT_EQ(ExpectStep(shell, before), 1);

    // Command1 with the table already applied: no update, nothing judged twice.
    before = Take(shell);
    shell.Find<QPushButton>("Command1")->click();
    EXPECT_EQ(state.UpdateCount(), 3);
    EXPECT_EQ(shell.Window().PipelineRuns(), before.runs);
    EXPECT_EQ(shell.Find<QLineEdit>("Tnew")->text(), QStringLiteral("没有更新！"));
    EXPECT_TRUE(shell.Messages().messages().empty());
}

// The real service in-process on its own clock: `Advance(n)` lets n periods of two seconds pass.
class ClockedService {
  public:
    explicit ClockedService(const QString& dir) : db_(dir + "/service.db") {
        service::ServiceOptions options;
        options.db_path = db_.toStdString();
        options.simulate = true;
        options.period_seconds = 2;
        options.now = [this] { return clock_; };
        options.tick_interval = std::chrono::milliseconds(0);
        service_ = std::make_unique<service::Service>(std::move(options));
        service_->database().AddUser("e2e", service::Sha256Hex(kToken));
        port_ = service_->Listen("127.0.0.1", 0);
    }
    ~ClockedService() { service_->Stop(); }

    void Advance(int periods) {
        clock_ += std::chrono::seconds(2 * periods);
        service_->Tick();
    }
    // Another process imports draws of `region` into the database, as a user would.
    bool Import(int region, const QString& csvFile) {
        QProcess import;
        import.start(QStringLiteral(XUAN5_SERVICE_PROGRAM),
                     {"import", "--db", db_, "--region", QString::number(region), csvFile});
        const bool done = import.waitForFinished(20000) && import.exitCode() == 0;
        service_->Tick();
        return done;
    }
    ServiceSettings Settings() const {
        return {QStringLiteral("http://127.0.0.1:%1").arg(port_), QString::fromLatin1(kToken)};
    }

  private:
    static constexpr const char* kToken = "records-token";
    QString db_;
    // 2024-05-06 12:00 in China, when every region draws.
    service::TimePoint clock_ =
        std::chrono::sys_days(std::chrono::year(2024) / std::chrono::May / 6) +
        std::chrono::hours(4);
    std::unique_ptr<service::Service> service_;
    int port_ = 0;
};

std::string OtherNumbers(const std::string& numbers) {
    return numbers.find("01") == std::string::npos ? "01,02,03,04,05" : "06,07,08,09,10";
}

// The books against the real service on its own clock: every region judged while one is shown,
// a restart that keeps the records and settles the waiting one, a day's last plan settled with the
// next day's first draw, a typed skip, and corrections, alone or with a newer period.
TEST(AfterDrawPipeline, BooksFollowEveryRegionAcrossRestartsDaysAndCorrections) {
    QTemporaryDir dir;
    ClockedService service(dir.path());
    Shell shell(service.Settings());
    ASSERT_TRUE(shell.StartupOk());
    auto fetchAll = [&] {
        shell.Window().Feed().FetchWatched();
        return QTest::qWaitFor(
            [&] {
                return !shell.Window().Feed().AnyFetchInFlight() && !shell.Window().ApplyPending();
            },
            15000);
    };
    auto book = [&](int region) -> const RecordBook& { return shell.Tables().Book(region); };
    // A record settled with the draw at history row `row` of its own region.
    auto settledWith = [&](int region, const PlanRecord& record, int row) {
        const DrawRecord& draw = book(region).History()[row];
        EXPECT_EQ(record.state, RecordState::Settled) << region;
        EXPECT_EQ(record.text.rfind(draw.period + "期，开：" + draw.numbers + "-", 0), 0u)
            << region << " " << record.text;
    };

    // The first tables are known as they are; the next draw of a region without bases in force
    // is judged against nothing: blank marks, no miss.
    ASSERT_TRUE(fetchAll());
    for (int region = 1; region <= 3; ++region) ASSERT_TRUE(book(region).HasDraws());
    shell.Find<QPushButton>("C_jihua_ks")->click();
    service.Advance(1);
    ASSERT_TRUE(fetchAll());
    settledWith(1, book(1).Log().PlanRecords[0], 1);
    EXPECT_EQ(book(2).State().monitor.back().marks[0], kMarkNone);
    EXPECT_EQ(book(3).Log().PlanRecords[0].state, RecordState::Waiting);

    // 重庆 shown while all three draw on: no gap in 山东, each record settled with its own
    // region's draw, and 山东's button says what came.
    shell.Find<QRadioButton>("Op_lx_1")->click();
    ASSERT_TRUE(shell.WaitForFetch());
    const std::size_t shandongRows = book(1).State().monitor.size();
    service.Advance(2);
    ASSERT_TRUE(fetchAll());
    ASSERT_EQ(book(1).State().monitor.size(), shandongRows + 2);
    EXPECT_EQ(book(1).State().monitor.back().period, book(1).History()[1].period);
    EXPECT_EQ(book(1).State().monitor.end()[-2].period, book(1).History()[2].period);
    for (int region = 1; region <= 3; ++region) {
        const PlanLog& log = book(region).Log();
        settledWith(region, log.PlanRecords[static_cast<std::size_t>(log.PlanRecordCount - 1)], 2);
    }
    EXPECT_EQ(shell.Find<QRadioButton>("Op_lx_0")->text().toStdString().rfind(
                  "山东 " + book(1).History()[1].period, 0),
              0u);
    EXPECT_TRUE(shell.Find<QRadioButton>("Op_lx_0")->text().endsWith(U("●")));

    // A restart shows the same log, tally and monitor, and settles the record left waiting.
    shell.Find<QRadioButton>("Op_lx_0")->click();
    ASSERT_TRUE(shell.WaitForFetch());
    const QString logText = shell.Find<LinesBox>("T_jh_dadi_jilu")->Text();
    const QString tally = shell.Find<LinesBox>("T_jh_rc")->Text();
    const MonitorTable monitor = shell.Tables().MonitorRecords();
    const int waiting = book(1).Log().PlanRecordCount;
    ASSERT_TRUE(shell.Restart());
    EXPECT_EQ(shell.Find<LinesBox>("T_jh_dadi_jilu")->Text(), logText);
    EXPECT_EQ(shell.Find<LinesBox>("T_jh_rc")->Text(), tally);
    EXPECT_EQ(shell.Tables().MonitorRecords(), monitor);
    service.Advance(1);
    ASSERT_TRUE(fetchAll());
    settledWith(1, book(1).Log().PlanRecords[static_cast<std::size_t>(waiting)], 1);

    // The plan made after the day's last period waits for the next day's first draw.
    for (int n = 0; n < 45 && book(1).History()[1].period != "042"; ++n) {
        service.Advance(1);
        ASSERT_TRUE(shell.Fetch());
    }
    ASSERT_EQ(book(1).History()[1].period, "042");
    const int lastOfDay = book(1).Log().PlanRecordCount;
    service.Advance(1);
    ASSERT_TRUE(shell.Fetch());
    ASSERT_EQ(book(1).History()[1].period, "001");
    settledWith(1, book(1).Log().PlanRecords[static_cast<std::size_t>(lastOfDay)], 1);
    EXPECT_GT(book(1).Log().PlanRecords[static_cast<std::size_t>(lastOfDay)].date,
              book(1).History()[2].date);

    // A typed period that skips two asks; "否" leaves everything as it was, "是" takes it with the
    // day of the draw it follows.
    const int updates = shell.Tables().UpdateCount();
    shell.Find<QPushButton>("C_rulu_kjh")->click();
    auto* entry = shell.Window().findChild<QDialog*>("Fadd");
    ASSERT_NE(entry, nullptr);
    entry->findChild<QLineEdit*>("T_total_renshu")->setText("004-01,02,03,04,05");
    entry->findChild<QPushButton*>("C_rulu_kjh")->click();
    ASSERT_EQ(shell.Messages().messages().size(), 1u);
    EXPECT_EQ(shell.Messages().messages()[0].text, U("录入的期号跳过了002～003期，确定吗？"));
    QTest::qWait(300);
    EXPECT_EQ(shell.Tables().UpdateCount(), updates);
    ASSERT_TRUE(entry->isVisible());
    shell.Messages().QueueAnswer(MessageAnswer::Yes);
    entry->findChild<QPushButton*>("C_rulu_kjh")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return shell.Tables().UpdateCount() == updates + 1; }, 5000));
    EXPECT_EQ(book(1).History()[1],
              (DrawRecord{"004", "01,02,03,04,05", book(1).History()[2].date}));

    // The service's own 004 corrects the typed one; then a correction that comes with a newer
    // period is announced with it.
    service.Advance(3);
    ASSERT_TRUE(shell.Fetch());
    const DrawRecord real = book(1).History()[1];
    EXPECT_EQ(real.period, "004");
    if (real.numbers != "01,02,03,04,05") {
        EXPECT_EQ(shell.Find<QLineEdit>("Tnew")->text(), U("已更正：004期开奖号码"));
    }
    const QString csv = dir.filePath("fix.csv");
    {
        QFile file(csv);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QString::fromStdString(real.date + ",004," + OtherNumbers(real.numbers) + "\n")
                       .toUtf8());
    }
    ASSERT_TRUE(service.Import(1, csv));
    service.Advance(1);
    ASSERT_TRUE(shell.Fetch());
    EXPECT_EQ(shell.Find<QLineEdit>("Tnew")->text(), U("已经开奖！已更正：004期"));
    EXPECT_EQ(book(1).History()[2].numbers, OtherNumbers(real.numbers));
    const PlanRecord& typedRecord =
        book(1).Log().PlanRecords[static_cast<std::size_t>(lastOfDay + 1)];
    EXPECT_EQ(typedRecord.text.rfind("004期，开：" + OtherNumbers(real.numbers), 0), 0u)
        << typedRecord.text;
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
        state.IncomingDraws(1) = *ParseFeedResponse(FeedResponse(FeedLines(151, 120)), {}).staged;
        shell.Find<QPushButton>("Command1")->click();
        EXPECT_EQ(state.UpdateCount(), 1);
        EXPECT_TRUE(shell.Window().ApplyPending());
    });
    shell.Find<QPushButton>("C_jihua_ks")->click();
    ASSERT_TRUE(pressedDuringPlan);
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.UpdateCount() == 2; }, 5000));
    EXPECT_EQ(shell.Window().PipelineRuns(), 1);
    EXPECT_FALSE(shell.Window().ApplyPending());
    EXPECT_EQ(state.Log().PlanRecordCount, 1);
    EXPECT_EQ(state.MonitorRecords()[1][kMonitorUsedColumn], 1);
    EXPECT_EQ(state.MonitorRecords()[2][kMonitorUsedColumn], 0);
}

}  // namespace
}  // namespace xuan5::ui::test
