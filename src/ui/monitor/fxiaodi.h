// The small-base window "15个小底数据显示".
#pragma once

#include <QWidget>
#include <array>

#include "core/tables.h"

class QLineEdit;
class QPushButton;
class QTimer;

namespace xuan5::ui {

class Services;
class Session;
struct PanelLinks;

// The small-base window: the fifteen line bases side by side with their labels and "K" buttons.
// Its fill timer (objectName "Timer1", 500 ms, single shot) starts when the window is shown, so
// the boxes fill half a second after the window appears; they keep that snapshot until
// "刷新号码" or the next opening.
class Fxiaodi : public QWidget {
    Q_OBJECT
  public:
    // `services`, `session` and `links` outlive the window.
    Fxiaodi(Services& services, const Session& session, const PanelLinks& links,
            QWidget* parent = nullptr);

    // Handlers.
    void FillSmallBaseWindow();          // Timer1, C_xiaodi_shuaxin
    void ShowSmallBaseCurve(int index);  // C_xiaodi_k(index)

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    Services& services_;
    const Session& session_;
    const PanelLinks& links_;

    std::array<QLineEdit*, kLineCount> boxes_{};     // T_jihua_jj_dadi(0..14) of this window
    std::array<QPushButton*, kLineCount> curves_{};  // C_xiaodi_k(0..14)
    QPushButton* refresh_;                           // C_xiaodi_shuaxin
    QTimer* timer_;                                  // Timer1
    bool opened_ = false;
};

}  // namespace xuan5::ui
