// The back-test panel and the draw archive in the window, driven as a user drives them: against
// the real service on a loopback port, with the archive in a real SQLite file of a temporary
// data folder and CSV files on disk.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "archive/draw_archive.h"
#include "backtest/backtest_csv.h"
#include "backtest/null_search.h"
#include "backtest/optimiser.h"
#include "backtest/run_scope.h"
#include "backtest/walk_forward.h"
#include "core/text.h"
#include "protocol/draw_csv.h"
#include "server.h"
#include "store/curve_store.h"
#include "token.h"
#include "ui/backtest/backtest_panel.h"
#include "ui/backtest/fxunyou.h"
#include "ui/backtest/number_boxes.h"
#include "ui/backtest/omission_strip.h"
#include "ui_test_support.h"

namespace xuan5::ui::test {
namespace {

using namespace std::chrono;

constexpr const char* kToken = "backtest-token";
constexpr int kWaitMs = 120000;

// 2024-05-06 12:00 in China: the simulator has stored whole days back to at least 120 draws.
service::TimePoint Noon() {
    return sys_days(year(2024) / May / 6) + hours(4);
}

std::string ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

void WriteFile(const QString& path, const std::string& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// A main window over a data folder, talking to the real service.
// The archive file as the tests read it: every read must succeed.
class StoredArchive {
  public:
    explicit StoredArchive(const std::filesystem::path& file)
        : archive_(std::move(*DrawArchive::Open(file))) {}
    int CountDraws(int region) const { return *archive_.CountDraws(region); }
    std::vector<DatedDraw> NewestDraws(int region, int count) const {
        return *archive_.NewestDraws(region, count);
    }
    std::vector<DatedDraw> AllDraws(int region) const { return *archive_.AllDraws(region); }

  private:
    DrawArchive archive_;
};

class ServiceWindow {
  public:
    ServiceWindow() {
        service::ServiceOptions options;
        options.db_path = QDir(files_.path()).filePath("service.db").toStdString();
        options.simulate = true;
        options.now = [] { return Noon(); };
        options.tick_interval = milliseconds(0);
        service_ = std::make_unique<service::Service>(std::move(options));
        service_->database().AddUser("tester", service::Sha256Hex(kToken));
        port_ = service_->Listen("127.0.0.1", 0);
        Open();
    }
    ~ServiceWindow() {
        Close();
        StopService();
    }

    void Open() {
        ServiceSettings settings;
        settings.url = QStringLiteral("http://127.0.0.1:%1").arg(port_);
        settings.token = QString::fromLatin1(kToken);
        window_ = std::make_unique<Fmain>(FmainOptions{DataDir(), settings, 5000});
        window_->SetEndApplication([](int) {});
        window_->show();
        ASSERT_TRUE(window_->ApplyStartupDefaults());
        window_->BuildBets();
        Panel().SetFileChooser(
            [this](QWidget*, const QString&, const QString&, bool, const QString& proposed) {
                proposed_ = proposed;
                return nextFile_;
            });
    }
    void Close() {
        if (!window_) return;
        window_->Context().services.Http().ClearConnectionCache();
        window_.reset();
    }
    void StopService() {
        if (service_) service_->Stop();
    }

    Fmain& Window() { return *window_; }
    BacktestPanel& Panel() { return *window_->Panels().backtest; }
    MessageRecorder& Messages() { return messages_; }
    service::Service& Service() { return *service_; }
    QString DataDir() const { return data_.Path() + "/data"; }
    QString TempFile(const char* name) const { return QDir(files_.path()).filePath(name); }
    void AnswerFileDialogWith(const QString& path) { nextFile_ = path; }
    // The path the last file dialog proposed.
    const QString& Proposed() const { return proposed_; }
    StoredArchive Archive() const {
        return StoredArchive(DrawArchivePath(DataDir().toStdString()));
    }

    template <typename T>
    T* Find(const char* name) const {
        return window_->findChild<T*>(QString::fromLatin1(name));
    }
    void Click(const char* name) {
        QPushButton* button = Find<QPushButton>(name);
        ASSERT_NE(button, nullptr) << name;
        button->click();
    }
    void SetText(const char* name, const QString& text) { Find<QLineEdit>(name)->setText(text); }
    bool Fetch() {
        window_->ManualFetch();
        return QTest::qWaitFor([this] { return !window_->FetchInFlight(); }, kWaitMs);
    }
    bool RunFinished() {
        return QTest::qWaitFor([this] { return !Panel().Running(); }, kWaitMs);
    }

  private:
    DataFolder data_;
    QTemporaryDir files_;
    MessageRecorder messages_;
    std::unique_ptr<service::Service> service_;
    int port_ = 0;
    std::unique_ptr<Fmain> window_;
    QString nextFile_;
    QString proposed_;
};

// The settings the window holds right after start, built by hand: the plan panel's defaults,
// the saved lines of the store and the (still empty) small bases.
BacktestSettings StartupSettings(ServiceWindow& shell) {
    BacktestSettings settings;
    settings.savedLines = *ReadCurveStoreFile(CurveStorePath(shell.DataDir().toStdString()));
    settings.LineBases = shell.Window().Tables().LineBases();
    return settings;
}

BacktestResult RunDirectly(const std::vector<DatedDraw>& archive, const BacktestSettings& settings,
                           int periods, std::uint64_t seed) {
    std::atomic<bool> cancel{false};
    BacktestOptions options;
    options.periods = periods;
    options.seed = seed;
    options.threads = 1;
    Result<BacktestResult> run = RunBacktest(archive, settings, options, cancel);
    EXPECT_TRUE(run.ok());
    return run ? std::move(*run) : BacktestResult{};
}

// The rows, but for their place in the archive: the window loads only the draws a run needs.
void ExpectSameRows(std::vector<BacktestRow> shown, const std::vector<BacktestRow>& expected) {
    ASSERT_EQ(shown.size(), expected.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        shown[i].archiveIndex = expected[i].archiveIndex;
        EXPECT_EQ(shown[i], expected[i]) << "row " << i;
    }
}

// The shown table, cell by cell, against rows computed without the window.
void ExpectTableShows(QTableWidget* table, const std::vector<BacktestRow>& rows) {
    ASSERT_EQ(table->rowCount(), static_cast<int>(rows.size()));
    for (int r = 0; r < table->rowCount(); ++r) {
        const BacktestRow& row = rows[static_cast<std::size_t>(r)];
        const QStringList expected = {QString::fromStdString(row.date),
                                      QString::fromStdString(row.period),
                                      QString::number(row.planSize),
                                      QString::fromStdString(row.numbers),
                                      row.hit ? QStringLiteral("中") : QStringLiteral("未中"),
                                      QString::number(row.profit),
                                      QString::number(row.total)};
        for (int c = 0; c < expected.size(); ++c)
            EXPECT_EQ(table->item(r, c)->text(), expected[c]) << "row " << r << " column " << c;
    }
}

// Fetch, download the history, back-test, change a tolerance and back-test again, export.
TEST(BacktestPanel, FetchDownloadRunAndExportThroughTheService) {
    ServiceWindow shell;
    ASSERT_TRUE(shell.Fetch());
    ASSERT_EQ(shell.Window().Tables().UpdateCount(), 1);

    // The fetch's 120 rows are archived with the dates their feed lines carry.
    std::vector<service::Draw> stored = shell.Service().database().RecentDraws(1, 5000);
    ASSERT_GT(stored.size(), 121u);
    {
        const StoredArchive archive = shell.Archive();
        EXPECT_EQ(archive.CountDraws(1), 120);
        EXPECT_EQ(archive.CountDraws(2), 0);
        const std::vector<DatedDraw> newest = archive.NewestDraws(1, 1);
        ASSERT_EQ(newest.size(), 1u);
        EXPECT_EQ(newest[0].date, stored[0].day);
        EXPECT_EQ(newest[0].period, shell.Window().Tables().DrawHistory()[1].period);
        EXPECT_EQ(newest[0].numbers, shell.Window().Tables().DrawHistory()[1].numbers);
    }

    shell.Click("C_sst_0_4");
    EXPECT_TRUE(shell.Find<QWidget>("Frame_ding_4")->isVisible());
    EXPECT_TRUE(shell.Find<QLabel>("L_huice_cundang")->text().contains("120期"));

    // "下载历史" proposes what a back-test of the periods asked for reads: 120 more.
    EXPECT_EQ(shell.Find<QLineEdit>("T_huice_xiazai_qishu")->text(), QStringLiteral("220"));
    shell.SetText("T_huice_qishu", "10");
    EXPECT_EQ(shell.Find<QLineEdit>("T_huice_xiazai_qishu")->text(), QStringLiteral("130"));

    // A short download: a back-test of ten periods can test five, and says so.
    shell.SetText("T_huice_xiazai_qishu", "125");
    shell.Click("C_huice_xiazai");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shell.Panel().Downloading(); }, kWaitMs));
    shell.Click("C_huice_kaishi");
    ASSERT_TRUE(shell.RunFinished());
    EXPECT_EQ(shell.Panel().Rows().size(), 5u);
    EXPECT_TRUE(shell.Find<QLabel>("L_huice_zongjie")
                    ->text()
                    .endsWith(QString::fromStdString(ShortRunNote(10, 5, 125))));

    // "下载历史" 1000 brings the service's 1000 newest periods, oldest first, though it stores
    // only a few days: the simulator answers from its generator.
    shell.SetText("T_huice_xiazai_qishu", "1000");
    shell.Click("C_huice_xiazai");
    EXPECT_FALSE(shell.Find<QPushButton>("C_huice_xiazai")->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shell.Panel().Downloading(); }, kWaitMs));
    EXPECT_TRUE(shell.Find<QPushButton>("C_huice_xiazai")->isEnabled());
    EXPECT_EQ(shell.Find<QProgressBar>("Pic_huice_xiazai_jd")->value(), 100);
    const std::vector<DatedDraw> archived = shell.Archive().AllDraws(1);
    ASSERT_EQ(archived.size(), 1000u);
    const service::Slot newest = service::CurrentSlot(1, Noon());
    for (std::size_t i = 0; i < archived.size(); ++i) {
        const auto slot = newest - 999 + static_cast<service::Slot>(i);
        EXPECT_EQ(archived[i], service::ToDatedDraw(service::SimulatedDraw(1, slot))) << i;
    }
    EXPECT_EQ(archived.back().date, stored[0].day);
    EXPECT_TRUE(shell.Find<QLabel>("L_huice_cundang")->text().contains(QStringLiteral("1000期")));

    // A back-test of four periods equals the engine's, run on one thread with the same settings.
    // At 1000 x 600 the panel fits its width, and the focus leaving the pressed button for
    // the run moves nothing.
    shell.Window().resize(1000, 600);
    auto* scroll = shell.Find<QScrollArea>("Scroll_ding_4");
    QCoreApplication::processEvents();
    const int scrolledDown = scroll->verticalScrollBar()->value();
    shell.SetText("T_huice_qishu", "4");
    shell.SetText("T_huice_zhongzi", "7");
    shell.Find<QPushButton>("C_huice_kaishi")->setFocus();
    shell.Click("C_huice_kaishi");
    EXPECT_TRUE(shell.Panel().Running());
    EXPECT_FALSE(shell.Find<QPushButton>("C_huice_kaishi")->isEnabled());
    ASSERT_TRUE(shell.RunFinished());
    QCoreApplication::processEvents();
    EXPECT_EQ(scroll->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(scroll->verticalScrollBar()->value(), scrolledDown);
    EXPECT_TRUE(shell.Find<QPushButton>("C_huice_kaishi")->hasFocus());
    EXPECT_TRUE(shell.Messages().messages().empty());
    const BacktestSettings settings = StartupSettings(shell);
    const BacktestResult first = RunDirectly(archived, settings, 4, 7);
    ExpectSameRows(shell.Panel().Rows(), first.rows);
    auto* table = shell.Find<QTableWidget>("L_huice_biao");
    ExpectTableShows(table, first.rows);
    EXPECT_EQ(shell.Find<QProgressBar>("Pic_huice_jd")->value(), 100);
    const QString summary = shell.Find<QLabel>("L_huice_zongjie")->text();
    const auto scopeOf = [&](const BacktestSettings& tested, const std::vector<BacktestRow>& rows) {
        return BacktestScope({"山东", rows.front().date + " " + rows.front().period,
                              rows.back().date + " " + rows.back().period, 4, 1000, 7},
                             tested);
    };
    EXPECT_TRUE(summary.startsWith(JoinedLines(scopeOf(settings, first.rows))))
        << summary.toStdString();
    EXPECT_TRUE(summary.contains(QStringLiteral("期数 4"))) << summary.toStdString();
    EXPECT_TRUE(summary.contains(QStringLiteral("累计 %1").arg(first.summary.total)))
        << summary.toStdString();
    EXPECT_TRUE(
        summary.endsWith(QString::fromStdString(ChanceText(first.chance, first.summary.total))))
        << summary.toStdString();
    auto* lines = shell.Find<QTableWidget>("L_huice_xianlu");
    for (int k = 0; k < 15; ++k) {
        EXPECT_EQ(lines->item(k, 1)->text(), QString::number(first.lines[k].hits));
        EXPECT_EQ(lines->item(k, 4)->text(), QString::number(first.lines[k].currentMissRun));
    }
    auto* omissions = shell.Find<QTableWidget>("L_huice_yilou");
    for (int n = 1; n <= 11; ++n)
        EXPECT_EQ(omissions->item(n - 1, 1)->text(), QString::number(first.omissions[n].current));
    auto* strip = shell.Find<OmissionStrip>("Pic_huice_yilou");
    EXPECT_EQ(strip->Omissions(), first.omissions);

    // A narrower line tolerance and other instances change the plans; the window follows.
    shell.SetText("T_jiankong_rc", "07.08.09.10.11.12.13.14.15");
    shell.SetText("T_jh_dadi_chongfu_cs", "3");
    shell.SetText("T_jh_dadi_chongfu_rc", "02.03");
    shell.SetText("T_zdy_yongyu_0", "稳中");  // the records take the user's words
    shell.Click("C_huice_kaishi");
    ASSERT_TRUE(shell.RunFinished());
    BacktestSettings narrower = settings;
    narrower.resultWords[0] = "稳中";
    narrower.modeOne.selection.lineTolerance = "07.08.09.10.11.12.13.14.15";
    narrower.modeOne.instances = "3";
    narrower.modeOne.instanceTolerance = "02.03";
    const BacktestResult second = RunDirectly(archived, narrower, 4, 7);
    EXPECT_NE(second.rows, first.rows);
    ExpectSameRows(shell.Panel().Rows(), second.rows);
    ExpectTableShows(table, second.rows);

    // Plan mode two with the backup join ticked, as the plan panel would run them.
    shell.Find<QCheckBox>("Check_jh_dadi_fenzu")->click();
    shell.Find<QCheckBox>("Check_beiyong_canyu")->click();
    shell.SetText("T_jh_dadi_fenzu_rc", "02.03");
    shell.Click("C_huice_kaishi");
    ASSERT_TRUE(shell.RunFinished());
    BacktestSettings grouped = narrower;
    grouped.useModeTwo = true;
    grouped.modeTwo.groupTotalTolerance = "02.03";
    grouped.backup.participates = true;
    const BacktestResult third = RunDirectly(archived, grouped, 4, 7);
    ExpectSameRows(shell.Panel().Rows(), third.rows);
    for (const BacktestRow& row : third.rows) EXPECT_LE(row.planSize, 2);  // the backup's two bets
    shell.Find<QCheckBox>("Check_jh_dadi_chongfu")->click();
    shell.Find<QCheckBox>("Check_beiyong_canyu")->click();

    // "多次" shows the spread of the totals over K seeds.
    shell.SetText("T_huice_qishu", "2");
    shell.SetText("T_huice_cishu", "3");
    shell.Click("C_huice_duoci");
    ASSERT_TRUE(shell.RunFinished());
    std::atomic<bool> cancel{false};
    BacktestOptions options;
    options.periods = 2;
    options.seed = 7;
    const SeedsResult spread = *RunBacktestSeeds(archived, narrower, options, 3, cancel);
    const QString shownSpread = shell.Find<QLabel>("L_huice_fenbu")->text();
    EXPECT_TRUE(shownSpread.contains(QStringLiteral("最低 %1").arg(spread.spread.min)) &&
                shownSpread.contains(QStringLiteral("最高 %1").arg(spread.spread.max)) &&
                shownSpread.contains(QStringLiteral("图中曲线是种子7的单次回测")) &&
                shownSpread.endsWith(
                    QString::fromStdString(SeedsChanceText(spread.totals, spread.chances))))
        << shownSpread.toStdString();
    EXPECT_EQ(shell.Find<QTabWidget>("Tab_huice")->currentWidget()->objectName(),
              QStringLiteral("Pic_huice_duoci"));
    ExpectTableShows(table, third.rows);  // the table keeps the last single run

    // Exports: the per-period table, the plan log and the archive, read back from disk. Each
    // proposes a name with the region and the day; a name without an extension gets ".csv".
    const QString tableFile = shell.TempFile("table.csv");
    shell.AnswerFileDialogWith(shell.TempFile("table"));
    shell.Click("C_huice_daochu_biao");
    EXPECT_TRUE(shell.Proposed().endsWith(
        QStringLiteral("/回测表_山东_%1.csv")
            .arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")))))
        << shell.Proposed().toStdString();
    // Each file says first what the run tested.
    const std::vector<std::string> tested = scopeOf(grouped, third.rows);
    const std::string tableText = ReadFile(tableFile);
    EXPECT_EQ(tableText, BacktestTableCsv(third.rows, tested));
    EXPECT_EQ(std::count(tableText.begin(), tableText.end(), '\n'), 9);  // 4 notes, header, 4
    const QString logFile = shell.TempFile("log.csv");
    shell.AnswerFileDialogWith(logFile);
    shell.Click("C_huice_daochu_jilu");
    EXPECT_EQ(ReadFile(logFile), PlanLogCsv(third.rows, tested));
    const QString drawsFile = shell.TempFile("draws.csv");
    shell.AnswerFileDialogWith(drawsFile);
    shell.Click("C_huice_daochu");
    EXPECT_EQ(QFileInfo(shell.Proposed()).path(), QFileInfo(logFile).path());  // the last folder
    const DrawCsv readBack = ParseDrawCsv(ReadFile(drawsFile));
    EXPECT_TRUE(readBack.rejected.empty());
    EXPECT_EQ(readBack.draws, archived);
    EXPECT_EQ(readBack.notes,
              (std::vector<std::string>{SpanNote("山东", PeriodLabel(archived.front()),
                                                 PeriodLabel(archived.back()), archived.size())}));
    EXPECT_TRUE(shell.Messages().messages().empty());

    // A dialog left with "cancel" writes nothing.
    shell.AnswerFileDialogWith(QString());
    QFile::remove(tableFile);
    shell.Click("C_huice_daochu_biao");
    EXPECT_FALSE(QFile::exists(tableFile));
}

// "寻优" through the window: the engine's own run over the same draws and candidates shows in
// the table and the sentence; "应用" puts the newest span's winner into the panels, and a
// back-test of that span then comes to the table's training total.
TEST(OptimiserWindow, RunAppliesTheChosenSettingAndTheBacktestAgrees) {
    ServiceWindow shell;
    ASSERT_TRUE(shell.Fetch());
    shell.Click("C_sst_0_4");
    shell.SetText("T_huice_xiazai_qishu", "200");
    shell.Click("C_huice_xiazai");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shell.Panel().Downloading(); }, kWaitMs));

    shell.Click("C_huice_xunyou");
    Fxunyou* window = shell.Panel().Optimiser();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    // Over the middle of the main window, not at its corner; its title bar stays on the screen
    // (this one's is smaller than the window).
    const QRect frame = window->frameGeometry();
    EXPECT_LE(std::abs(frame.center().x() - shell.Window().frameGeometry().center().x()), 3);
    EXPECT_GE(frame.top(), window->screen()->availableGeometry().top());
    const auto set = [&](const char* name, const char* text) {
        window->findChild<QLineEdit*>(QString::fromLatin1(name))->setText(QString::fromUtf8(text));
    };
    set("T_xunyou_qishu", "60");
    set("T_xunyou_xunlian", "40");
    set("T_xunyou_jianyan", "8");
    set("T_xunyou_shu", "6");
    set("T_xunyou_zhongzi", "7");
    set("T_xunyou_cs", "1 3");
    set("T_xunyou_duizhao", "4");
    window->findChild<QCheckBox*>("Ch_xunyou_cs")->setChecked(true);
    window->findChild<QPushButton*>("C_xunyou_kaishi")->click();
    EXPECT_TRUE(window->Running());
    // The search, then its null runs: "应用" waits for the first only.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->LastResult().has_value(); }, kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Running(); }, kWaitMs));
    EXPECT_TRUE(shell.Messages().messages().empty());

    const BacktestSettings settings = StartupSettings(shell);
    const auto list = [&](const char* name) {
        return window->findChild<QLineEdit*>(QString::fromLatin1(name))->text().toStdString();
    };
    OptimiserSpace space;
    space.lineTolerances = *ParseToleranceChoices(list("T_xunyou_rc"));
    space.lineChoices = *ParseLineChoices(list("T_xunyou_xianlu"));
    space.instanceCounts = {1, 3};
    space.instanceTolerances = *ParseToleranceChoices(list("T_xunyou_zrc"));
    const std::vector<OptimiserCandidate> candidates = *BuildCandidates(settings, space, 6, 7);
    ASSERT_EQ(window->Candidates(), candidates);
    std::atomic<bool> cancel{false};
    const std::vector<DatedDraw> draws = shell.Archive().NewestDraws(1, 180);
    const OptimiserOptions options{60, 40, 8, 3, OptimiserRank::Z, 7, 1};
    const OptimiserResult direct = *RunOptimiser(draws, settings, candidates, options, cancel);
    const std::vector<SearchFigures> null =
        *RunNullSearches(draws, settings, candidates, options, 4, cancel);
    EXPECT_EQ(window->LastResult()->outOfSampleTotals, direct.outOfSampleTotals);
    EXPECT_EQ(window->NullRuns(), null);
    // The verdict names where the search stands among the null runs, and the PBO.
    const SearchFigures real = FiguresOfSearch(direct);
    EXPECT_EQ(window->findChild<QLabel*>("L_xunyou_jielun")->text().toStdString(),
              direct.verdict + "\n" + NullVerdict(real, StandingAmong(real, null)) +
                  "\n过拟合概率 " + FixedText(100 * direct.overfitting->probability, 0) +
                  "%（见“过拟合概率”页）。");
    EXPECT_EQ(window->findChild<QLabel*>("L_xunyou_pbo")
                  ->text()
                  .toStdString()
                  .find(OverfittingText(*direct.overfitting, candidates.size())),
              0u);
    auto* table = window->findChild<QTableWidget*>("L_xunyou_biao");
    ASSERT_EQ(direct.folds.size(), 4u);  // from periods 0, 8 and 16, and the newest 40
    ASSERT_EQ(table->rowCount(), 12);
    for (int r = 0; r < 12; ++r) {
        const FoldPick& pick = direct.folds[r / 3].picks[r % 3];
        EXPECT_EQ(table->item(r, 4)->text(), QString::number(pick.inSample.total)) << r;
        EXPECT_EQ(table->item(r, 7)->text(),
                  pick.outOfSample ? QString::number(pick.outOfSample->total) : QStringLiteral("—"))
            << r;
    }

    // Every z explains its arrow; Esc closes the window.
    EXPECT_NE(table->item(0, 6)->toolTip().indexOf(QStringLiteral("↑ 高于机会范围")), -1);
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());

    // Nothing chosen: "应用" takes the best of the newest span.
    const OptimiserCandidate& best = candidates[direct.folds.back().picks.front().candidate];
    window->findChild<QPushButton*>("C_xunyou_yingyong")->click();
    EXPECT_EQ(shell.Find<QLineEdit>("T_jiankong_rc")->text().toStdString(), best.lineTolerance);
    EXPECT_EQ(shell.Find<QLineEdit>("T_jh_dadi_chongfu_cs")->text().toStdString(), best.instances);
    EXPECT_EQ(shell.Find<QLineEdit>("T_jh_dadi_chongfu_rc")->text().toStdString(),
              best.instanceTolerance);
    for (int k = 0; k < 15; ++k) {
        EXPECT_EQ(
            shell
                .Find<QCheckBox>(QStringLiteral("Ch_jiankong_jj_%1").arg(k).toLatin1().constData())
                ->isChecked(),
            best.checkedLines[k])
            << k;
    }
    shell.SetText("T_huice_qishu", "40");
    shell.SetText("T_huice_zhongzi", "7");
    shell.Click("C_huice_kaishi");
    ASSERT_TRUE(shell.RunFinished());
    ASSERT_EQ(shell.Panel().Rows().size(), 40u);
    EXPECT_EQ(QString::number(shell.Panel().Rows().back().total), table->item(9, 4)->text());

    // The null runs cancelled: the search's own result stays, the verdict says none were made.
    set("T_xunyou_duizhao", "2000");
    window->findChild<QPushButton*>("C_xunyou_kaishi")->click();
    auto* verdict = window->findChild<QLabel*>("L_xunyou_jielun");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return verdict->text().contains(QStringLiteral("随机对照进行中")); }, kWaitMs));
    EXPECT_TRUE(window->Running());
    window->findChild<QPushButton*>("C_xunyou_quxiao")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Running(); }, kWaitMs));
    EXPECT_EQ(window->findChild<QLabel*>("L_xunyou_zhuangtai")->text(),
              QStringLiteral("随机对照已取消"));
    EXPECT_TRUE(window->LastResult().has_value());
    EXPECT_FALSE(window->NullRuns().has_value());
    EXPECT_TRUE(verdict->text().contains(QStringLiteral("随机对照未做完")));
}

// Import with bad lines, a long run cancelled and a window closed during a run, then an
// offline start from the archive with the service stopped.
TEST(BacktestPanel, ImportCancelCloseAndOfflineLoad) {
    ServiceWindow shell;
    shell.Click("C_sst_0_4");

    // 1000 draws of January 2023 with two bad lines; the good ones are stored, the bad ones
    // reported with their line numbers.
    std::string csv = "# 一月的开奖\r\ndate,period,n1,n2,n3,n4,n5\r\n";
    std::vector<DatedDraw> good;
    for (int i = 0; i < 1000; ++i) {
        const std::string date = "2023-01-" + PadNumber(1 + i / 42, 2);
        const std::string period = PadNumber(1 + i % 42, 3);
        std::string numbers = DrawNumbers(i);
        if (i == 3) numbers = "01,02,03,04,12";  // file line 6
        if (i == 7) numbers = "05,05,06,07,08";  // file line 10
        csv += date + "," + period + "," + numbers + "\r\n";
        if (i != 3 && i != 7) good.push_back({date, period, numbers});
    }
    const QString csvFile = shell.TempFile("import.csv");
    WriteFile(csvFile, csv);
    shell.AnswerFileDialogWith(csvFile);
    shell.Click("C_huice_daoru");
    ASSERT_EQ(shell.Messages().messages().size(), 1u);
    const RecordedMessage report = shell.Messages().messages()[0];
    EXPECT_EQ(report.title, QStringLiteral("提示"));
    EXPECT_TRUE(report.text.contains(QStringLiteral("导入998期"))) << report.text.toStdString();
    EXPECT_TRUE(report.text.contains(QStringLiteral("文件说明：\n一月的开奖")));
    EXPECT_TRUE(report.text.contains(QStringLiteral("第6行：号码不对 '12'")));
    EXPECT_TRUE(report.text.contains(QStringLiteral("第10行：5个号码不能重复")));
    EXPECT_EQ(shell.Archive().AllDraws(1), good);
    EXPECT_TRUE(shell.Find<QLabel>("L_huice_cundang")->text().contains("998期"));
    shell.Messages().Clear();

    // A run over every period, cancelled: the table keeps what it showed, the buttons return.
    shell.SetText("T_huice_qishu", "878");
    shell.Click("C_huice_kaishi");
    ASSERT_TRUE(shell.Panel().Running());
    EXPECT_TRUE(shell.Find<QPushButton>("C_huice_quxiao")->isEnabled());
    // The window keeps handling events while the run goes on: the progress bar moves.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return shell.Find<QProgressBar>("Pic_huice_jd")->value() > 0; }, kWaitMs));
    EXPECT_TRUE(shell.Panel().Running());
    shell.Click("C_huice_quxiao");
    ASSERT_TRUE(shell.RunFinished());
    EXPECT_EQ(shell.Find<QLabel>("L_huice_zhuangtai")->text(), QStringLiteral("已取消"));
    EXPECT_EQ(shell.Find<QTableWidget>("L_huice_biao")->rowCount(), 0);
    EXPECT_TRUE(shell.Panel().Rows().empty());
    EXPECT_TRUE(shell.Find<QPushButton>("C_huice_kaishi")->isEnabled());
    EXPECT_FALSE(shell.Find<QPushButton>("C_huice_quxiao")->isEnabled());
    EXPECT_TRUE(shell.Messages().messages().empty());

    // Closing the window in the middle of a run stops and joins the run.
    shell.Click("C_huice_kaishi");
    ASSERT_TRUE(shell.Panel().Running());
    QTest::qWait(50);
    shell.Close();

    // Offline: the service is gone, a fresh start cannot fetch, "载入本地数据" applies the
    // archive's newest 120 draws as a fetch would.
    shell.StopService();
    shell.Open();
    ASSERT_TRUE(shell.Fetch());
    EXPECT_EQ(shell.Find<QLineEdit>("Tnew")->text(),
              QStringLiteral("无法连接：连接被拒绝，服务没有运行"));
    EXPECT_EQ(shell.Window().Tables().UpdateCount(), 0);
    shell.Click("C_huice_zairu");
    EXPECT_EQ(shell.Window().Tables().UpdateCount(), 1);
    EXPECT_EQ(shell.Find<QLineEdit>("Tnew")->text(), QStringLiteral("已经开奖！"));
    EXPECT_EQ(shell.Find<QListWidget>("L_kjh")->count(), 120);
    const DrawTable& history = shell.Window().Tables().DrawHistory();
    for (int r = 1; r <= 120; ++r) {
        const DatedDraw& draw = good[good.size() - static_cast<std::size_t>(r)];
        EXPECT_EQ(history[r].period, draw.period) << "row " << r;
        EXPECT_EQ(history[r].numbers, draw.numbers) << "row " << r;
    }
    // Another region has nothing stored: said so, nothing applied.
    shell.Find<QRadioButton>("Op_lx_2")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shell.Window().FetchInFlight(); }, kWaitMs));
    shell.Click("C_huice_zairu");
    ASSERT_EQ(shell.Messages().messages().size(), 1u);
    EXPECT_EQ(shell.Messages().messages()[0].text,
              QStringLiteral("本地存档广东的开奖数据不足120期"));
    EXPECT_EQ(shell.Window().Tables().UpdateCount(), 0);
    EXPECT_EQ(shell.Find<QListWidget>("L_kjh")->count(), 0);
}

// The archive hook of the feed: rows go to the region the request was made for, and a broken
// archive is reported once without touching the fetch.
TEST(DrawArchiveInWindow, FetchesAreArchivedUnderTheirRegionAndFailuresReportedOnce) {
    Shell shell;
    auto datedFeed = [](int newest) {
        std::vector<std::string> lines = FeedLines(newest, 120);
        for (std::string& line : lines) line.insert(3, " 2024-05-06 ");
        return FeedResponse(lines);
    };
    const std::filesystem::path archiveFile =
        DrawArchivePath(shell.Window().Context().services.dataDir);

    // The region is switched while the answer is on its way: it still counts for 山东, and
    // 重庆's own fetch goes out beside it.
    shell.Server().AnswerRegion(1, 200, datedFeed(130), milliseconds(300));
    shell.Server().AnswerRegion(2, 200, datedFeed(125));
    shell.Window().ManualFetch();
    ASSERT_TRUE(QTest::qWaitFor([&] { return shell.Server().Requests().size() == 1; }, 15000));
    shell.Find<QRadioButton>("Op_lx_1")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return shell.Server().Requests().size() == 2; }, 15000));
    ASSERT_TRUE(shell.WaitForFetch());
    ASSERT_TRUE(QTest::qWaitFor([&] { return shell.Tables().Book(1).HasDraws(); }, 15000));
    {
        const StoredArchive archive(archiveFile);
        EXPECT_EQ(archive.CountDraws(1), 120);
        EXPECT_EQ(archive.NewestDraws(1, 1)[0], (DatedDraw{"2024-05-06", "130", DrawNumbers(130)}));
        EXPECT_EQ(archive.NewestDraws(2, 1)[0], (DatedDraw{"2024-05-06", "125", DrawNumbers(125)}));
    }
    EXPECT_EQ(shell.Tables().DrawHistory()[1].period, "125");

    // A folder where the file should be: the fetch goes through, one message says why.
    std::filesystem::remove(archiveFile);
    std::filesystem::create_directory(archiveFile);
    for (int newest : {131, 132}) {
        shell.Server().Answer(200, datedFeed(newest));
        ASSERT_TRUE(shell.Fetch());
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(shell.Tables().DrawHistory()[1].period, "132");
    ASSERT_EQ(shell.Messages().messages().size(), 1u);
    EXPECT_TRUE(
        shell.Messages().messages()[0].text.startsWith(QStringLiteral("开奖数据未能存入本地存档")));
    EXPECT_EQ(shell.Messages().messages()[0].title, QStringLiteral("提示"));

    // Once it works again, the next fault is news again.
    std::filesystem::remove(archiveFile);
    shell.Server().Answer(200, datedFeed(133));
    ASSERT_TRUE(shell.Fetch());
    EXPECT_EQ(StoredArchive(archiveFile).CountDraws(2), 120);
    std::filesystem::remove(archiveFile);
    std::filesystem::create_directory(archiveFile);
    shell.Server().Answer(200, datedFeed(134));
    ASSERT_TRUE(shell.Fetch());
    QCoreApplication::processEvents();
    EXPECT_EQ(shell.Messages().messages().size(), 2u);
}

}  // namespace
}  // namespace xuan5::ui::test
