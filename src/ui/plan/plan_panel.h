// Panel 2 "计划": the two plan modes, the banker filter, the plan base with its count, the plan
// log with its hit tally, the result words and the signature, and the plan buttons.
#pragma once

#include <QElapsedTimer>
#include <QGroupBox>
#include <QString>
#include <array>
#include <string>
#include <vector>

#include "plans/plan_modes.h"
#include "plans/plan_settings.h"
#include "plans/plan_settlement.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSettings;

namespace xuan5 {
class RecordBook;
struct ShownPlan;
}  // namespace xuan5

namespace xuan5::ui {

class Services;
class Session;
class LinesBox;
class MultiLineBox;
struct PanelLinks;

class PlanPanel : public QGroupBox {
    Q_OBJECT
  public:
    // `services`, `session` and `links` outlive the panel; the plans join the backup strip and
    // print their progress on it through `links.backup`.
    PlanPanel(Services& services, Session& session, const PanelLinks& links,
              QWidget* parent = nullptr);

    // The plan-mode texts of the user settings, in record order: T_jh_dadi_chongfu_cs,
    // T_jh_dadi_chongfu_rc, then T_jh_dadi_fenzu_01, _01_rc, _02, _02_rc, _03, _03_rc and
    // T_jh_dadi_fenzu_rc; and writing one of them as if typed.
    static constexpr int kSettingsTexts = 9;
    std::array<std::string, kSettingsTexts> SettingsTexts() const;
    void SetSettingsText(int index, const QString& text);

    // Restores this panel's setting boxes and ticks from `settings` and keeps them there
    // (KeepControls); `settings` outlives the panel.
    void KeepSettings(QSettings& settings);

    // Start-up steps.
    void SelectModeOne();  // ticks Check_jh_dadi_chongfu
    void TickAutoPlan();   // ticks Check_jihua_sx
    void SetLogFontSize(int points);

    // "开始计划". Returns at once while a plan runs: the after-draw pipeline calls it directly,
    // and plan mode one processes events between its instances.
    void StartPlan();
    bool PlanRunning() const { return running_; }
    // Ends a running plan before its next instance; the cut-off run writes nothing.
    void StopPlan();
    bool AutoPlanTicked() const;   // Check_jihua_sx
    bool ModeTwoSelected() const;  // Check_jh_dadi_fenzu
    // The plan log and the tally of the shown region's book; with `withPlan` also the plan it
    // issued last (after a switch of region or a start), which otherwise stays as the boxes hold
    // it.
    void ShowRecords(bool withPlan);
    // The plan of a region not shown, made with the settings in force here and issued into its
    // book without touching the boxes. False when it was stopped.
    bool PlanForRegion(RecordBook& book);
    // The inputs of the plan modes, read from this panel and through the links.
    PlanModeOneInput ModeOneInput() const;
    PlanModeTwoInput ModeTwoInput() const;
    // Every plan setting as one value: the active mode, both modes, the backup join and the
    // result words.
    PlanSettings Settings() const;
    // Puts what of `settings` this panel holds into its controls, as if typed and ticked: the
    // mode, X and its total, the groups with their tolerances and total, the banker filter.
    void ApplySettings(const PlanSettings& settings);
    // T_zdy_yongyu(0..1): the words of a settled record for a hit and for a miss.
    std::array<std::string, 2> ResultWords() const;

    // The backup strip's side of the plan.
    void JoinBackupIntoPlan();  // cuts the plan base down to the backup result when joined
    void SetPlanBase(const QString& text, const QString& count);
    void WritePendingRecord();  // the pending record with the current plan size
    // After "开始交集": the plan joins the new backup result, or goes back to the last plan-mode
    // result when the backup does not take part; then the pending record follows the plan size.
    void FollowBackupIntersection();

    // Handlers.
    void ModeOneClicked();      // Check_jh_dadi_chongfu
    void ModeTwoClicked();      // Check_jh_dadi_fenzu
    void CleanInstanceCount();  // T_jh_dadi_chongfu_cs change
    void ClearPlan();           // C_jihua_cls
    void CopyPlanBase();        // C_jihua_jj_copy
    void CopyPlan();            // C_copy_1
    void PreviewCurve();        // C_jh_dd_k

  signals:
    // A run of "开始计划" has ended, whichever way (also after an input error or a stop); not
    // emitted when the press is refused before a run starts.
    void planFinished();

  private:
    // The controls and their layout (plan_panel_layout.cpp).
    void BuildLayout();
    QGroupBox* BuildModeOne();
    QGroupBox* BuildModeTwo();
    void Connect();

    // Each returns false when the rest of the run must not follow (stopped, or no store).
    bool RunModeOne();
    bool RunModeTwo();
    bool ReportProgress(const std::string& text);
    // Lets the window's events in once a frame's time has passed; false once a stop was asked.
    bool LetEventsIn();
    // Shows a run's messages and results and keeps the tables it leaves; false when it was
    // stopped.
    bool ShowRun(const Result<PlanRunOutput>& run);
    // The plan the boxes show goes into the shown region's book, with `run`'s bases when given
    // and, while planning automatically, a waiting record judged with them; the log follows.
    void IssueIntoBook(const PlanRunOutput* run);
    ShownPlan BoxPlan() const;
    ResultRecordInput RecordInput() const;
    PlanLogInput LogInput() const;
    BankerSettings Banker() const;
    LineBasesInput Lines() const;
    QLineEdit* SettingsBox(int index) const;

    Services& services_;
    Session& session_;
    const PanelLinks& links_;
    bool running_ = false;
    bool stopRequested_ = false;
    // When the running plan last let the window's events in.
    QElapsedTimer eventsLetIn_;
    static constexpr int kProgressFrameMs = 16;

    LinesBox* planBase_;                           // T_jihua_jj_dadi
    QLineEdit* planCount_;                         // T_jihua_jj_dadi_zhushu
    QPushButton* copyBase_;                        // C_jihua_jj_copy
    LinesBox* log_;                                // T_jh_dadi_jilu
    LinesBox* tally_;                              // T_jh_rc
    std::array<QLineEdit*, 2> words_{};            // T_zdy_yongyu(0..1)
    MultiLineBox* signature_;                      // T_jihua_qianming
    QCheckBox* modeOne_;                           // Check_jh_dadi_chongfu
    QLineEdit* instances_;                         // T_jh_dadi_chongfu_cs
    QLineEdit* instanceTolerance_;                 // T_jh_dadi_chongfu_rc
    QCheckBox* modeTwo_;                           // Check_jh_dadi_fenzu
    std::array<QLineEdit*, 3> groups_{};           // T_jh_dadi_fenzu_01..03
    std::array<QLineEdit*, 3> groupTolerances_{};  // T_jh_dadi_fenzu_01_rc..03_rc
    QLineEdit* totalTolerance_;                    // T_jh_dadi_fenzu_rc
    QCheckBox* banker_;                            // Check_danma_jiaoji
    QLineEdit* bankerNumbers_;                     // T_jiaoji_danma
    QLineEdit* bankerCounts_;                      // T_jiaoji_danma_rc
    QPushButton* start_;                           // C_jihua_ks
    QPushButton* clear_;                           // C_jihua_cls
    QPushButton* copyPlan_;                        // C_copy_1
    QPushButton* preview_;                         // C_jh_dd_k
    QCheckBox* autoPlan_;                          // Check_jihua_sx
    QCheckBox* withBets_;                          // Check_jihua_jilu_haoma
    QCheckBox* noCommas_;                          // Check_qu_douhao
};

}  // namespace xuan5::ui
