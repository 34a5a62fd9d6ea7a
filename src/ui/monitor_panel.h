#pragma once

#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QList>
#include <QPointer>
#include <QStaticText>
#include <QString>
#include <QWidget>
#include <array>
#include <string>

#include "core/app_state.h"
#include "plans/line_intersection.h"
#include "plans/monitor.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace xuan5::ui {

// The monitor table picture Pic_jiangkong: 17 x 21 table units, x growing to the right from 0,
// y growing upwards from 0 at the bottom to 21 at the top. It paints the picture it was last
// given (grid lines and texts placed by their top-left corner), so resizing or uncovering the
// window keeps what the monitor handlers drew.
class MonitorTableWidget : public QWidget {
    Q_OBJECT
  public:
    static constexpr double kUnitsWide = 17;
    static constexpr double kUnitsHigh = 21;

    // Starts with the empty grid and its headings.
    explicit MonitorTableWidget(QWidget* parent = nullptr);

    // Replaces the whole picture and repaints.
    void SetPicture(MonitorPicture picture);
    const MonitorPicture& Picture() const { return picture_; }

    // Pixel position of a point given in table units.
    QPointF ToPixels(double x, double y) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    MonitorPicture picture_;
    // The table repeats a handful of texts ("中", "*", periods) hundreds of times; each is laid
    // out once per font size instead of on every paint.
    QHash<QString, QStaticText> laidOut_;
    int laidOutPixelSize_ = 0;
};

// A label that acts as a link: it reports a click (press and release over it).
class ClickableLabel : public QLabel {
    Q_OBJECT
  public:
    explicit ClickableLabel(const QString& text, QWidget* parent = nullptr);

  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool pressed_ = false;
};

class AppContext;
class UserSettings;
class Fxiaodi;
struct PanelLinks;

// The monitor panel: the hit/miss table of the fifteen lines, the line selection used by plans,
// the line tolerance, the small-base controls and the user-settings buttons.
class MonitorPanel : public QGroupBox {
    Q_OBJECT
  public:
    // `ctx` and `links` outlive the panel.
    MonitorPanel(AppContext& ctx, const PanelLinks& links, QWidget* parent = nullptr);

    // What the plans read here.
    bool RecomputeEachPeriod() const;      // "每期算号" selected, else "保持当前底"
    LineChecks CheckedLines() const;       // Ch_jiankong_jj(0..14)
    std::string LineTolerance() const;     // T_jiankong_rc
    std::string CheckedLineCount() const;  // T_jiankong_15di_geshu

    // Start-up steps.
    void SelectRecomputeEachPeriod();
    void TickAllLines();

    // The table of the last twenty draws: the newest draw judged against the line bases in
    // force, the picture redrawn from the stored table, the empty grid, and clearing.
    void RecordMonitorRow();
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
    AppContext& ctx_;
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
