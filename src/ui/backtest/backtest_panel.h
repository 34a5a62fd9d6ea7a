// Panel 4 "回测": the walk-forward back-test of the window's plan settings over the draw archive,
// with its table, chart and chance band, summary, per-line records and the omissions of the
// eleven numbers, the archive's own buttons (import, export, download, offline load) and the
// door to the optimiser window "寻优". Its code: backtest_panel.cpp (building, the run),
// backtest_panel_results.cpp (showing results), backtest_panel_archive.cpp (the archive).
#pragma once

#include <QGroupBox>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "backtest/walk_forward.h"
#include "ui/backtest/backtest_runner.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTabWidget;

namespace xuan5::ui {

class Services;
class Session;
class ArchiveService;
class ChartWidget;
class Fxunyou;
class OmissionStrip;
class SeedsPlot;
struct PanelLinks;

inline constexpr int kBacktestPanelIndex = 4;

class BacktestPanel : public QGroupBox {
    Q_OBJECT
  public:
    // `services`, `session`, `links` and `archive` outlive the panel. A run still going when the
    // panel is destroyed is cancelled and waited for.
    BacktestPanel(Services& services, const Session& session, const PanelLinks& links,
                  ArchiveService& archive, QWidget* parent = nullptr);
    ~BacktestPanel() override;

    // How the file buttons ask for a path: (parent, caption, filter, save?, proposed path) -> path,
    // empty when the user cancels. The program uses QFileDialog; tests answer without a dialog.
    using FileChooser = std::function<QString(QWidget*, const QString&, const QString&, bool save,
                                              const QString& proposed)>;
    void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

    bool Running() const;
    bool Downloading() const;
    // The rows of the last completed single run (oldest first).
    const std::vector<BacktestRow>& Rows() const { return rows_; }

    // Handlers.
    void StartRun();         // C_huice_kaishi
    void StartSeedsRun();    // C_huice_duoci
    void CancelRun();        // C_huice_quxiao
    void ImportCsv();        // C_huice_daoru
    void ExportCsv();        // C_huice_daochu
    void DownloadHistory();  // C_huice_xiazai
    void LoadLocalDraws();   // C_huice_zairu
    void ExportTable();      // C_huice_daochu_biao
    void ExportPlanLog();    // C_huice_daochu_jilu
    void OpenOptimiser();    // C_huice_xunyou: the window "寻优"

    // The optimiser window, once opened.
    Fxunyou* Optimiser() const { return optimiser_; }

  signals:
    // A run (single or "多次") has ended, whatever its outcome.
    void runFinished();
    // A "下载历史" answer has been handled.
    void downloadHandled();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void BuildLayout();
    // "下载历史" proposes what a back-test of the periods asked for reads.
    void ProposeDownload();
    std::optional<BacktestRunner::Request> PrepareRun();
    void Launch(BacktestRunner::Request request);
    void FinishRun(const BacktestRunner::Outcome& outcome);
    void ShowResult(const BacktestResult& result);
    void ShowSpread(const SeedsResult& result);
    void ShowOmissions(const OmissionTable& omissions);
    void SetRunning(bool running);
    // The archive's side (backtest_panel_archive.cpp).
    void ConnectArchive();
    void RefreshArchiveInfo();
    void ShowDownload(const QString& status, const QString& error);
    // Asks where to save `content`, proposing "<name>_<region>_<date>.csv", and saves it there
    // with ".csv" added to a name without an extension.
    bool WriteFile(const QString& caption, const QString& name, const std::string& content);
    QString ChooseFile(const QString& caption, const QString& filter, bool save,
                       const QString& proposed = QString());
    void Error(const QString& text);

    Services& services_;
    const Session& session_;
    const PanelLinks& links_;
    ArchiveService& archive_;
    BacktestRunner* runner_;
    FileChooser chooseFile_;
    QString fileFolder_;  // where the last file was chosen

    QLineEdit* periods_;              // T_huice_qishu
    QLineEdit* seed_;                 // T_huice_zhongzi
    QLineEdit* seedCount_;            // T_huice_cishu
    QPushButton* start_;              // C_huice_kaishi
    QPushButton* seedsRun_;           // C_huice_duoci
    QPushButton* cancelButton_;       // C_huice_quxiao
    QPushButton* optimise_;           // C_huice_xunyou
    QProgressBar* progress_;          // Pic_huice_jd
    QLabel* state_;                   // L_huice_zhuangtai
    QPushButton* download_;           // C_huice_xiazai
    QLineEdit* downloadCount_;        // T_huice_xiazai_qishu
    QProgressBar* downloadProgress_;  // Pic_huice_xiazai_jd
    QPushButton* loadLocal_;          // C_huice_zairu
    QPushButton* importCsv_;          // C_huice_daoru
    QPushButton* exportCsv_;          // C_huice_daochu
    QPushButton* exportTable_;        // C_huice_daochu_biao
    QPushButton* exportLog_;          // C_huice_daochu_jilu
    QLabel* archiveInfo_;             // L_huice_cundang
    QLabel* chartCaption_;            // L_huice_tu: which run the chart shows
    ChartWidget* chart_;              // Pic_huice
    QLabel* summary_;                 // L_huice_zongjie
    QLabel* spread_;                  // L_huice_fenbu
    OmissionStrip* heat_;             // Pic_huice_yilou
    QTabWidget* tabs_;                // Tab_huice
    QTableWidget* table_;             // L_huice_biao
    QTableWidget* lineTable_;         // L_huice_xianlu
    QTableWidget* omissionTable_;     // L_huice_yilou
    SeedsPlot* seeds_;                // Pic_huice_duoci

    std::vector<BacktestRow> rows_;
    // What the running or last run was asked for, and what the archive held then.
    int askedPeriods_ = 0;
    int heldDraws_ = 0;
    PlanSettings askedSettings_;
    std::uint64_t askedSeed_ = 1;
    std::string askedRegion_;  // the region's name: the region may change while a run goes on
    // What the last single run tested, for its exports, and the seed of its curve in the chart.
    std::vector<std::string> scope_;
    std::uint64_t chartSeed_ = 0;
    Fxunyou* optimiser_ = nullptr;
};

}  // namespace xuan5::ui
