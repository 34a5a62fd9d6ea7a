// Panel 1 "监控": the monitor table, the line selection the plans use and the user settings.
#pragma once

#include <QGroupBox>
#include <QPointer>
#include <array>
#include <string>
#include <vector>

#include "core/tables.h"
#include "ui/common/panel_links.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSettings;

namespace xuan5::ui {

class Services;
class Session;
class ClickableLabel;
class Fxiaodi;
class MonitorTableWidget;
class UserSettings;

// The monitor panel: the hit/miss table of the fifteen lines, the line selection used by plans,
// the line tolerance, the small-base controls and the user-settings buttons.
class MonitorPanel : public QGroupBox {
    Q_OBJECT
  public:
    // `services`, `session` and `links` outlive the panel.
    MonitorPanel(Services& services, Session& session, const PanelLinks& links,
                 QWidget* parent = nullptr);

    // What the plans read here.
    LineSelection Selection() const;
    LineChecks CheckedLines() const;  // Ch_jiankong_jj(0..14)
    // Sets T_jiankong_rc and ticks Ch_jiankong_jj(0..14), as the user would.
    void ApplyLineSelection(const std::string& tolerance, const LineChecks& checked);

    // Restores this panel's setting boxes and ticks from `settings` and keeps them there
    // (KeepControls); `settings` outlives the panel.
    void KeepSettings(QSettings& settings);

    // Start-up steps.
    void SelectRecomputeEachPeriod();
    void TickAllLines();

    // The table of the last twenty draws the shown region's book judged, the empty grid, and
    // clearing the book's rows.
    void RedrawMonitorTable();
    void DrawMonitorGrid();
    void ClearMonitorRecords();  // C_jiankong_di_cls

    // Handlers.
    void LineBoxClicked();       // Ch_jiankong_jj(i): counts the ticked boxes
    void SelectAllLines();       // Ch_jiankong_jj_all
    void ClearAllLines();        // Ch_jiankong_jj_cls
    void OpenSmallBaseWindow();  // C_jiankong_guankan: Fxiaodi, without blocking this window
    void ExportLineBases();      // Labe_daochu_dadi: the fifteen line bases into txt/

  private:
    Services& services_;
    Session& session_;
    const PanelLinks& links_;
    QPointer<Fxiaodi> smallBases_;  // the open small-base window, if any

    MonitorTableWidget* table_;
    QLineEdit* tolerance_;
    QLineEdit* lineCount_;
    QPushButton* clearRecords_;
    QPushButton* viewBases_;
    QRadioButton* everyPeriod_;
    QRadioButton* keepBases_;
    std::array<QCheckBox*, kLineCount> lines_{};
    QCheckBox* allLines_;
    QCheckBox* noLines_;
    ClickableLabel* exportLink_;
    QPushButton* userSave_;
    QPushButton* userLoad_;
    UserSettings* userSettings_;  // the handlers of C_user_save and C_user_load
};

}  // namespace xuan5::ui
