// A bare QWidget window with the program's first-paint probe: what any Qt window costs on this
// machine, beside which the program's own start-up is read. With --text it shows one line of
// Chinese text, which adds what the first text costs: finding and loading the fonts.
#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>
#include <chrono>
#include <cstring>

#include "app/first_paint.h"

int main(int argc, char** argv) {
    const auto started = std::chrono::steady_clock::now();
    QApplication app(argc, argv);
    QWidget window;
    if (argc > 1 && std::strcmp(argv[1], "--text") == 0) {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(new QLabel(QStringLiteral("11选5 画线分析：开奖数据正在获取"), &window));
    }
    window.resize(1366, 768);
    xuan5::ui::WatchFirstPaint(window, started);
    window.show();
    return QApplication::exec();
}
