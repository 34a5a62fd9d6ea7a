#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>
#include <string>

#include "core/app_state.h"
#include "plans/line_intersection.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace xuan5::ui {

// One text of the monitor table: (x, y) is the top-left corner of the text in table units.
struct MonitorTableText {
    double x = 0;
    double y = 0;
    QString text;
};

// The monitor table: a grid of 17 x 21 table units, x growing to the right from 0, y growing
// upwards from 0 at the bottom to 21 at the top. The grid and its headings are always drawn; the
// period labels and hit marks are data set by the monitor handlers and repainted from that state.
class MonitorTableWidget : public QWidget {
    Q_OBJECT
  public:
    static constexpr double kUnitsWide = 17;
    static constexpr double kUnitsHigh = 21;

    explicit MonitorTableWidget(QWidget* parent = nullptr);

    // Replaces every data text (not the headings) and repaints.
    void SetTexts(QList<MonitorTableText> texts);
    const QList<MonitorTableText>& Texts() const { return texts_; }

    // Pixel position of a point given in table units.
    QPointF ToPixels(double x, double y) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QList<MonitorTableText> texts_;
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
};

}  // namespace xuan5::ui
