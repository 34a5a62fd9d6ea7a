// The manual entry window "手工录入最新": proposes the next period and checks the typed line.
#pragma once

#include <QDialog>
#include <functional>

#include "core/draw_history.h"

class QLineEdit;
class QPushButton;

namespace xuan5::ui {

class Fadd : public QDialog {
    Q_OBJECT
  public:
    // `stage` receives an accepted draw and says whether it took it; the window then closes, or
    // stays open for another try.
    Fadd(const DrawTable& history, std::function<bool(const DrawRecord&)> stage,
         QWidget* parent = nullptr);

    // The confirm button "确认录入".
    void Confirm();

  private:
    QLineEdit* entry_;
    QPushButton* confirm_;
    std::function<bool(const DrawRecord&)> stage_;
};

}  // namespace xuan5::ui
