// Panel 4 "回测": the walk-forward back-test of the window's plan settings over the draw archive,
// with its table, chart, summary, per-line records and the omissions of the eleven numbers, and
// the archive's own buttons (import, export, download, offline load).
#pragma once

#include <QGroupBox>
#include <QString>
#include <QWidget>
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "backtest/walk_forward.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTabWidget;

namespace xuan5::ui {

class AppContext;
class ChartWidget;
struct PanelLinks;

inline constexpr int kBacktestPanelIndex = 4;

// The plan settings as the plan panel would use them now: the active mode and its inputs, the
// backup join, the fifteen saved lines freshly read from the curve store and the small bases in
// force. nullopt when the curve store cannot be read (its message has been shown).
std::optional<BacktestSettings> CollectBacktestSettings(AppContext& ctx, const PanelLinks& links);

// The eleven numbers' current omissions as a row of cells, the longer a number has stayed away
// (measured against the longest absence of any number) the redder its cell.
class OmissionStrip : public QWidget {
    Q_OBJECT
  public:
    explicit OmissionStrip(QWidget* parent = nullptr);
    void SetOmissions(const OmissionTable& omissions);
    const OmissionTable& Omissions() const { return omissions_; }
    // The fill of number n's cell (1..11).
    QColor CellColor(int number) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    OmissionTable omissions_{};
};

class BacktestPanel : public QGroupBox {
    Q_OBJECT
  public:
    // `ctx` and `links` outlive the panel. A run still going when the panel is destroyed is
    // cancelled and waited for.
    BacktestPanel(AppContext& ctx, const PanelLinks& links, QWidget* parent = nullptr);
    ~BacktestPanel() override;

    // How the file buttons ask for a path: (parent, caption, filter, save?) -> path, empty when
    // the user cancels. The program uses QFileDialog; tests answer without a dialog.
    using FileChooser = std::function<QString(QWidget*, const QString&, const QString&, bool save)>;
    void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

    bool Running() const { return worker_.joinable(); }
    bool Downloading() const { return downloading_; }
    // The rows of the last completed single run (oldest first).
    const std::vector<BacktestRow>& Rows() const { return rows_; }

    // The rows of a fetch's answer that carry dates go into the archive under `region`, the
    // region the request was made for. A failure never touches the fetch: it is reported once
    // until the archive works again.
    void ArchiveFetch(int region, std::string_view response);

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

  signals:
    // A run (single or "多次") has ended, whatever its outcome.
    void runFinished();
    // A "下载历史" answer has been handled.
    void downloadHandled();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    struct RunRequest;
    std::optional<RunRequest> PrepareRun();
    void Launch(RunRequest request, int seedCount);
    void PostProgress(int done, int total);
    void FinishRun(const std::shared_ptr<BacktestResult>& single,
                   const std::shared_ptr<SeedsResult>& seeds);
    void ShowResult(const BacktestResult& result);
    void ShowSpread(const SeedsResult& result);
    void ShowOmissions(const OmissionTable& omissions);
    void SetRunning(bool running);
    void RefreshArchiveInfo();
    void HandleDownload(int region, const std::string& body);
    bool WriteFile(const QString& caption, const QString& filter, const std::string& content);
    QString ChooseFile(const QString& caption, const QString& filter, bool save);
    void ReportArchiveFailure(const QString& what);
    void Error(const QString& text);

    AppContext& ctx_;
    const PanelLinks& links_;
    FileChooser chooseFile_;

    QLineEdit* periods_;           // T_huice_qishu
    QLineEdit* seed_;              // T_huice_zhongzi
    QLineEdit* seedCount_;         // T_huice_cishu
    QPushButton* start_;           // C_huice_kaishi
    QPushButton* seedsRun_;        // C_huice_duoci
    QPushButton* cancelButton_;    // C_huice_quxiao
    QProgressBar* progress_;       // Pic_huice_jd
    QLabel* state_;                // L_huice_zhuangtai
    QPushButton* download_;        // C_huice_xiazai
    QLineEdit* downloadCount_;     // T_huice_xiazai_qishu
    QPushButton* loadLocal_;       // C_huice_zairu
    QPushButton* importCsv_;       // C_huice_daoru
    QPushButton* exportCsv_;       // C_huice_daochu
    QPushButton* exportTable_;     // C_huice_daochu_biao
    QPushButton* exportLog_;       // C_huice_daochu_jilu
    QLabel* archiveInfo_;          // L_huice_cundang
    ChartWidget* chart_;           // Pic_huice
    QLabel* summary_;              // L_huice_zongjie
    QLabel* spread_;               // L_huice_fenbu
    OmissionStrip* heat_;          // Pic_huice_yilou
    QTabWidget* tabs_;             // Tab_huice
    QTableWidget* table_;          // L_huice_biao
    QTableWidget* lineTable_;      // L_huice_xianlu
    QTableWidget* omissionTable_;  // L_huice_yilou

    std::vector<BacktestRow> rows_;
    std::thread worker_;
    std::atomic<bool> stop_{false};
    // The last progress percentage posted, so the window gets one update per step.
    std::atomic<int> postedPercent_{-1};
    bool downloading_ = false;
    bool archiveFailureShown_ = false;
};

}  // namespace xuan5::ui
