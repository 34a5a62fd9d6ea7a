// The window "寻优": a walk-forward optimiser over the plan settings. The user picks what may
// vary and the spans; every candidate is back-tested over the archive's newest periods off the
// window's thread, ranked on each training span and judged on the test span after it. Shown:
// the best few of every span in and out of sample against their chance bands, the running total
// of "always take the in-sample best" out of sample with its band, and one sentence on whether
// that beat chance. "应用" puts a chosen setting into the plan panels.
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

namespace xuan5::ui {

class AppContext;
class ArchiveService;
class ChartWidget;
struct PanelLinks;

class Fxunyou : public QWidget {
    Q_OBJECT
  public:
    // `ctx`, `links` and `archive` outlive the window. A run still going when the window is
    // destroyed is cancelled and waited for.
    Fxunyou(AppContext& ctx, const PanelLinks& links, ArchiveService& archive,
            QWidget* parent = nullptr);
    ~Fxunyou() override;

    bool Running() const { return runner_->Running(); }
    // The last completed run: its candidates, the settings they vary, and what it found.
    const std::vector<OptimiserCandidate>& Candidates() const { return candidates_; }
    const std::optional<OptimiserResult>& LastResult() const { return result_; }

    // Handlers.
    void StartRun();   // C_xunyou_kaishi
    void CancelRun();  // C_xunyou_quxiao
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
    void ShowResult(const OptimiserResult& result);
    void SetRunning(bool running);
    void Error(const QString& text);

    AppContext& ctx_;
    const PanelLinks& links_;
    ArchiveService& archive_;
    OptimiserRunner* runner_;

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
    QRadioButton* rankByZ_;      // Op_xunyou_z
    QRadioButton* rankByTotal_;  // Op_xunyou_leiji
    QLabel* mode_;               // L_xunyou_moshi
    QPushButton* start_;         // C_xunyou_kaishi
    QPushButton* cancel_;        // C_xunyou_quxiao
    QPushButton* apply_;         // C_xunyou_yingyong
    QProgressBar* progress_;     // Pic_xunyou_jd
    QLabel* state_;              // L_xunyou_zhuangtai
    ChartWidget* chart_;         // Pic_xunyou
    QLabel* verdict_;            // L_xunyou_jielun
    QTableWidget* table_;        // L_xunyou_biao

    // The run being made, and the last one completed.
    PlanSettings pendingSettings_;
    std::vector<OptimiserCandidate> pending_;
    PlanSettings runSettings_;
    std::vector<OptimiserCandidate> candidates_;
    std::optional<OptimiserResult> result_;
    std::vector<std::size_t> rowCandidates_;
};

}  // namespace xuan5::ui
