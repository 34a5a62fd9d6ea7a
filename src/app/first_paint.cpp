#include "app/first_paint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace xuan5::ui {

namespace {

class FirstPaintWatch : public QObject {
  public:
    FirstPaintWatch(QWidget& window, std::chrono::steady_clock::time_point started)
        : QObject(&window), started_(started) {
        window.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            watched->removeEventFilter(this);
            // Measured once the paint has been handled and the frame handed to the screen.
            QTimer::singleShot(0, this, [this] {
                const auto ms = std::chrono::duration<double, std::milli>(
                                    std::chrono::steady_clock::now() - started_)
                                    .count();
                std::printf("first paint: %.1f ms\n", ms);
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

  private:
    std::chrono::steady_clock::time_point started_;
    bool seen_ = false;
};

}  // namespace

void WatchFirstPaint(QWidget& window, std::chrono::steady_clock::time_point started) {
    if (qEnvironmentVariableIsEmpty(kFirstPaintProbeVariable)) return;
    new FirstPaintWatch(window, started);
}

}  // namespace xuan5::ui
