// The program xuan5: the main window over the engine, or a screenshot of it.
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "ui/config.h"
#include "ui/fmain.h"
#include "ui/message_box.h"

namespace {

constexpr int kWindowWidth = 1366;
constexpr int kWindowHeight = 768;
// Longer than the request time-out, so a fetch always ends before the wait does.
constexpr int kFetchWaitMs = xuan5::ui::kHttpTimeoutMs + 5000;

void ProcessEventsFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

int TakeScreenshot(xuan5::ui::Fmain& window, const xuan5::ui::AppConfig& config) {
    window.resize(kWindowWidth, kWindowHeight);
    window.show();
    ProcessEventsFor(50);
    if (config.fetch) {
        QEventLoop loop;
        QObject::connect(&window, &xuan5::ui::Fmain::fetchHandled, &loop, &QEventLoop::quit);
        QTimer::singleShot(kFetchWaitMs, &loop, &QEventLoop::quit);
        window.ManualFetch();
        if (window.FetchInFlight()) loop.exec();
    }
    window.ShowPanel(config.panel);
    // Let the countdown show its first value and the layout settle before the picture.
    ProcessEventsFor(1100);
    if (!window.grab().save(config.screenshotFile, "PNG")) {
        std::fprintf(stderr, "xuan5: cannot write %s\n",
                     config.screenshotFile.toUtf8().constData());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool screenshot = xuan5::ui::WantsScreenshot(argc, argv);
    // A screenshot needs no display and must look the same with or without one.
    if (screenshot) qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QStringList args = QApplication::arguments();
    args.removeFirst();
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        std::fputs(xuan5::ui::UsageText().toUtf8().constData(), stdout);
        return 0;
    }
    const xuan5::ui::ConfigResult parsed =
        xuan5::ui::ParseArguments(args, QApplication::applicationDirPath());
    if (!parsed.config) {
        std::fprintf(stderr, "xuan5: %s\n%s", parsed.error.toUtf8().constData(),
                     xuan5::ui::UsageText().toUtf8().constData());
        return 2;
    }
    const xuan5::ui::AppConfig& config = *parsed.config;

    xuan5::ui::StderrMessageSink stderrMessages;
    if (screenshot) xuan5::ui::InstallMessageSink(&stderrMessages);

    xuan5::ui::Fmain window({config.dataDir, config.service, xuan5::ui::kHttpTimeoutMs});
    if (!window.ApplyStartupDefaults()) return 1;
    if (screenshot) return TakeScreenshot(window, config);

    // The window fits the smallest supported screen, 1366 x 768, and no more than the screen.
    const QRect screen = window.screen()->availableGeometry();
    window.resize(std::min(kWindowWidth, screen.width()), std::min(kWindowHeight, screen.height()));
    window.show();
    return QApplication::exec();
}
