// The omission strip Pic_huice_yilou of the back-test panel.
#pragma once

#include <QColor>
#include <QWidget>

#include "backtest/backtest_stats.h"

namespace xuan5::ui {

// The eleven numbers' current omissions as a row of cells, the longer a number has stayed away
// (measured against the longest absence of any number) the redder its cell.
class OmissionStrip : public QWidget {
    Q_OBJECT
  public:
    explicit OmissionStrip(QWidget* parent = nullptr);
    // What the cells show, the first lines of the tool tip.
    static QString Explanation();
    void SetOmissions(const OmissionTable& omissions);
    const OmissionTable& Omissions() const { return omissions_; }
    // The fill of number n's cell (1..11).
    QColor CellColor(int number) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    OmissionTable omissions_{};
};

}  // namespace xuan5::ui
