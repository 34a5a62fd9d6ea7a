// The monitor table's picture Pic_jiangkong.
#pragma once

#include <QHash>
#include <QStaticText>
#include <QString>
#include <QWidget>

#include "plans/monitor.h"

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

}  // namespace xuan5::ui
