#pragma once

#include <QGroupBox>
#include <QWidget>

namespace xuan5::ui {

// The sort/filter panel: the banker-number sort list with its window length and decomposition
// mode, and the group filter with its input lines, result base and count.
class SortPanel : public QGroupBox {
    Q_OBJECT
  public:
    explicit SortPanel(QWidget* parent = nullptr);
};

}  // namespace xuan5::ui
