// Panel 0 "画线": the chart with trend-line drawing, the base search and the fifteen stored
// lines with their bet counts.
#pragma once

#include <QGroupBox>
#include <array>
#include <string>

#include "core/tables.h"
#include "plans/line_bases.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSettings;

namespace xuan5::ui {

class Services;
class Session;
struct PanelLinks;
class ChartWidget;

class DrawPanel : public QGroupBox {
    Q_OBJECT
  public:
    // `services`, `session` and `links` outlive the panel.
    DrawPanel(Services& services, Session& session, const PanelLinks& links,
              QWidget* parent = nullptr);

    ChartWidget* Chart() const { return pic_; }

    // The wanted sizes of the fifteen stored lines, T_quxian_zhushu(0..14).
    LineSizeTexts LineSizes() const;
    // Box T_quxian_zhushu(index) takes a text as if typed.
    void SetLineSize(int index, const QString& text);
    // Restores this panel's setting boxes and ticks from `settings` and keeps them there
    // (KeepControls); `settings` outlives the panel.
    void KeepSettings(QSettings& settings);
    // Start-up step: the font size of the fifteen size boxes.
    void SetLineCountFontSize(int points);
    // "K" of another panel: the base into Tdadi, then its curve.
    void ShowBase(const QString& base);

    // Click handlers; other panels press these buttons to reuse them.
    void PrepareCanvas();  // C_huaxian_ks
    void SearchBase();     // C_dadi_look
    void ShowBaseCurve();  // C_dadi_k
    void CopyBase();       // C_copy
    // C_gengxin(index); over a line that is not empty, only after a "yes" to the question.
    void SaveLine(int index);
    void UndoSave();                          // C_gengxin_cx: the last save taken back
    void LoadLine(int index);                 // C_duqu(index)
    void CheckLineBetCount(int index);        // T_quxian_zhushu(index) change
    void ChartMouseDown();                    // Pic mouse-down
    void ChartMouseMove(double x, double y);  // Pic mouse-move

  private:
    // The line on the chart drawn again from the values it holds, as it would be saved.
    void ShowStoredLine();

    Services& services_;
    Session& session_;
    const PanelLinks& links_;

    ChartWidget* pic_;
    QPushButton* startDrawing_;
    QPushButton* search_;
    QPushButton* showCurve_;
    QPushButton* copy_;
    QPushButton* undoSave_;
    QPlainTextEdit* base_;
    QLineEdit* wanted_;
    QLineEdit* actual_;
    std::array<QLineEdit*, kLineCount> lineCounts_{};
};

}  // namespace xuan5::ui
