#pragma once

#include <QWidget>

namespace xuan5::ui {

class AppContext;
struct PanelLinks;

// The small-base window: the fifteen line bases side by side with their labels and "K" buttons.
// It carries its fill timer (objectName "Timer1", 500 ms, single shot); whoever opens the window
// starts it, so the boxes fill half a second after the window appears.
class Fxiaodi : public QWidget {
    Q_OBJECT
  public:
    // `ctx` and `links` outlive the window.
    Fxiaodi(AppContext& ctx, const PanelLinks& links, QWidget* parent = nullptr);

  private:
    AppContext& ctx_;
    const PanelLinks& links_;
};

}  // namespace xuan5::ui
