// The window "寻优": a walk-forward optimiser over the plan settings. The user picks what may
// vary and the spans; every candidate is back-tested over the archive's newest periods off the
// window's thread, ranked on each training span and judged on the test span after it. Shown:
// the best few of every span in and out of sample against their chance bands, the running total
// of "always take the in-sample best" out of sample with its band, the probability that the
// search only fitted the past (过拟合概率), and, from the same search run on fair archives right
// after (随机对照), where the result stands among searches over pure chance. The verdict names
// that standing; a scope line says what was tested. "应用" puts a chosen setting into the plan
// panels.
#pragma once

#include <QWidget>
#include <array>
#include <optional>
#include <vector>

#include "backtest/optimiser.h"
#include "ui/backtest/optimiser_runner.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QTabWidget;

namespace xuan5::ui {

class Services;
class Session;
class ArchiveService;
class ChartWidget;
class HistogramPlot;
class ScatterPlot;
struct PanelLinks;

// The "z" columns and their arrows, explained where they are read.
inline constexpr const char* kZTip =
    "z：累计比机会期望高出几个标准差（机会即随机选同样多的注）。\n"
    "↑ 高于机会范围（z > 2），单凭运气少见；↓ 低于机会范围（z < -2）。\n"
    "从许多设置里挑出来的，即使有↑，也可能只是运气：请看“随机对照”。";

class Fxunyou : public QWidget {
    Q_OBJECT
  public:
    // `services`, `session`, `links` and `archive` outlive the window. A run still going when the
    // window is destroyed is cancelled and waited for.
    Fxunyou(Services& services, const Session& session, const PanelLinks& links,
            ArchiveService& archive, QWidget* parent = nullptr);
    ~Fxunyou() override;

    // A search or its null runs are going.
    bool Running() const { return runner_->Running() || nullRunner_->Running(); }
    // The last completed run: its candidates, the settings they vary, and what it found.
    const std::vector<OptimiserCandidate>& Candidates() const { return candidates_; }
    const std::optional<OptimiserResult>& LastResult() const { return result_; }
    // Its search on fair archives, once they have all run.
    const std::optional<std::vector<SearchFigures>>& NullRuns() const { return null_; }

    // Shows the window centred on `main` when it is not shown yet, and brings it to the front.
    void ShowOver(QWidget* main);

    // Handlers.
    void StartRun();   // C_xunyou_kaishi
    void CancelRun();  // C_xunyou_quxiao: the search, or the null runs after it
    void Apply();      // C_xunyou_yingyong: the selected row's setting, else the newest best

  signals:
    // A run has ended, whatever its outcome.
    void runFinished();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // The controls and their layout (fxunyou_layout.cpp).
    void BuildLayout();
    // The plan mode in force decides which settings a run varies.
    void ShowMode(bool modeTwo);
    std::optional<OptimiserSpace> ReadSpace(bool modeTwo);
    std::optional<OptimiserRunner::Request> PrepareRun();
    void FinishRun(const OptimiserRunner::Outcome& outcome);
    void FinishNull(const NullRunner::Outcome& outcome);
    void ShowResult(const OptimiserResult& result);
    void ShowOverfitting(const Overfitting& overfitting);
    void ShowNull();
    // The sentence on the out-of-sample total, then where it stands among the null runs.
    void ShowVerdict(const QString& nullState);
    void SetRunning(bool running);
    void Error(const QString& text);

    Services& services_;
    const Session& session_;
    const PanelLinks& links_;
    ArchiveService& archive_;
    OptimiserRunner* runner_;
    NullRunner* nullRunner_;

    // What may vary: each a check box with its list.
    enum Choice { kLineTolerance, kLines, kInstances, kTotal, kBetCounts, kGroups, kGroupTotal };
    static constexpr int kChoices = 7;
    static bool Used(int choice, bool modeTwo) {
        return choice == kBetCounts || (modeTwo == (choice == kGroups || choice == kGroupTotal));
    }
    std::array<QCheckBox*, kChoices> vary_{};   // Ch_xunyou_rc, _xianlu, _cs, _zrc, _zhushu, ...
    std::array<QLineEdit*, kChoices> lists_{};  // T_xunyou_rc, _xianlu, _cs, _zrc, _zhushu, ...

    QLineEdit* periods_;         // T_xunyou_qishu
    QLineEdit* training_;        // T_xunyou_xunlian
    QLineEdit* testing_;         // T_xunyou_jianyan
    QLineEdit* best_;            // T_xunyou_qianji
    QLineEdit* maxCandidates_;   // T_xunyou_shu
    QLineEdit* seed_;            // T_xunyou_zhongzi
    QLineEdit* blocks_;          // T_xunyou_fenkuai: S of the probability of overfitting
    QCheckBox* nullTick_;        // Ch_xunyou_duizhao
    QLineEdit* nullRuns_;        // T_xunyou_duizhao
    QRadioButton* rankByZ_;      // Op_xunyou_z
    QRadioButton* rankByTotal_;  // Op_xunyou_leiji
    QLabel* mode_;               // L_xunyou_moshi
    QPushButton* start_;         // C_xunyou_kaishi
    QPushButton* cancel_;        // C_xunyou_quxiao
    QPushButton* apply_;         // C_xunyou_yingyong
    QProgressBar* progress_;     // Pic_xunyou_jd
    QLabel* state_;              // L_xunyou_zhuangtai
    QTabWidget* views_;          // Tab_xunyou
    ChartWidget* chart_;         // Pic_xunyou
    HistogramPlot* logits_;      // Pic_xunyou_pbo
    ScatterPlot* decay_;         // Pic_xunyou_tuihua
    QLabel* overfitText_;        // L_xunyou_pbo
    HistogramPlot* nullTotals_;  // Pic_xunyou_duizhao
    HistogramPlot* nullZ_;       // Pic_xunyou_duizhao_z
    QLabel* nullText_;           // L_xunyou_duizhao
    QLabel* verdict_;            // L_xunyou_jielun
    QLabel* scope_;              // L_xunyou_fanwei
    QTableWidget* table_;        // L_xunyou_biao

    // The run being made: its request kept for the null runs that follow it, and the lists
    // and archive size its scope names.
    OptimiserRunner::Request pending_;
    int pendingNullRuns_ = 0;
    std::vector<std::string> pendingLists_;
    int pendingHeld_ = 0;
    std::string pendingRegion_;  // its name: the region may change while the run goes on
    // The last one completed.
    PlanSettings runSettings_;
    std::vector<OptimiserCandidate> candidates_;
    std::optional<OptimiserResult> result_;
    std::optional<std::vector<SearchFigures>> null_;
    std::vector<std::size_t> rowCandidates_;
};

}  // namespace xuan5::ui
