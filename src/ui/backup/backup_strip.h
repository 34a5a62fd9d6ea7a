// The strip along the bottom of the main window: four backup bases, their intersection and its
// part in the plans, the backup copy of the last plan and the progress display.
#pragma once

#include <QString>
#include <QWidget>
#include <array>

#include "plans/tolerance.h"
#include "ui/common/panel_links.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSettings;

namespace xuan5::ui {

class Services;
class Session;
class LinesBox;
class MultiLineBox;
class ProgressPicture;

// The strip along the bottom of the main window: four backup bases, their intersection and
// participation in plans, the intermediate plan base of plan mode one and the progress display.
class BackupStrip : public QWidget {
    Q_OBJECT
  public:
    // The height the strip asks for: four or five lines of bets per box, which leaves the panels
    // above it their room on a 768-pixel-high screen.
    static constexpr int kPreferredHeight = 140;

    // `services`, `session` and `links` outlive the strip.
    BackupStrip(Services& services, const Session& session, const PanelLinks& links,
                QWidget* parent = nullptr);
    ~BackupStrip() override;

    QSize sizeHint() const override;

    // Restores the backup tolerance and "参与计划" from `settings` and keeps them there
    // (KeepControls); `settings` outlives the strip.
    void KeepSettings(QSettings& settings);

    // The progress display Pic_jd: shown ("op") or hidden (anything else).
    // What the plan reaches of the strip, for the panel links.
    BackupLink Link();

    void ShowProgressPanel(bool show);
    void PrintProgressText(const QString& text);

    // What the plans read here.
    bool JoinTicked() const;               // Check_beiyong_canyu
    BackupBasesInput BackupInput() const;  // T_dd_beiyong(0..2), T_beiyong_rc

    // The backup copy of the last plan-mode result, T_jihua_jj_dadi_by and its count.
    QString PlanBackupText() const;
    QString PlanBackupCount() const;
    void SetPlanBackup(const QString& text, const QString& count);

    // Writes a backup intersection into T_dd_beiyong(3), whose change handler normalises it,
    // then its count when the intersection gives one.
    void ShowBackupResult(const BackupBasesOutput& result);

    // Handlers.
    void ShowBoxCurve(int index);  // C_fuzhu_k(index)
    void PasteIntoBox(int index);  // C_fuzhu_tie(index)
    void CopyBox(int index);       // C_fuzhu_copy(index)
    void StartIntersection();      // C_dd_beiyong_jj
    void ClearBox(int index);      // T_dd_beiyong(index) double click
    void NormalizeBox(int index);  // T_dd_beiyong(index) change

  private:
    bool rewriting_ = false;  // a normalised text is being written back into its box

    Services& services_;
    const Session& session_;
    const PanelLinks& links_;

    std::array<MultiLineBox*, 4> boxes_{};     // T_dd_beiyong(0..3)
    std::array<QLineEdit*, 4> counts_{};       // T_dd_beiyong_zhushu(0..3)
    std::array<QPushButton*, 3> showCurve_{};  // C_fuzhu_k(0..2)
    std::array<QPushButton*, 3> paste_{};      // C_fuzhu_tie(0..2)
    std::array<QPushButton*, 4> copy_{};       // C_fuzhu_copy(0..3)
    QLineEdit* tolerance_;                     // T_beiyong_rc
    QPushButton* intersect_;                   // C_dd_beiyong_jj
    QCheckBox* join_;                          // Check_beiyong_canyu
    LinesBox* planBackup_;                     // T_jihua_jj_dadi_by
    QLineEdit* planBackupCount_;               // T_jihua_jj_dadi_zhushu_by
    ProgressPicture* progress_;                // Pic_jd
};

}  // namespace xuan5::ui
