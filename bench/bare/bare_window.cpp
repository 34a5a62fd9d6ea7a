// A bare QWidget window with the program's first-paint probe: what any Qt window costs on this
// machine, beside which the program's own start-up is read.
#include <QApplication>
#include <QWidget>
#include <chrono>

#include "app/first_paint.h"

int main(int argc, char** argv) {
    const auto started = std::chrono::steady_clock::now();
    QApplication app(argc, argv);
    QWidget window;
    window.resize(1366, 768);
    xuan5::ui::WatchFirstPaint(window, started);
    window.show();
    return QApplication::exec();
}
