#pragma once

#include <QGroupBox>
#include <QWidget>

namespace xuan5::ui {

// The plan panel: the two plan modes, the banker filter, the plan base with its count, the plan
// log with its hit tally, the result words and the signature, and the plan buttons.
class PlanPanel : public QGroupBox {
    Q_OBJECT
  public:
    explicit PlanPanel(QWidget* parent = nullptr);
};

}  // namespace xuan5::ui
