#include "app/screenshot.h"

#include <QEventLoop>
#include <QTimer>

#include "ui/shell/fmain.h"

namespace xuan5::ui {

namespace {

void ProcessEventsFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

ScreenshotResult TakeScreenshot(Fmain& window, const AppConfig& config, int fetchWaitMs) {
    ScreenshotResult result;
    window.resize(config.screenshotSize.expandedTo(window.minimumSize()));
    window.show();
    ProcessEventsFor(50);
    if (config.fetch) {
        bool handled = false;
        QEventLoop loop;
        const auto connection = QObject::connect(&window, &Fmain::fetchHandled, &loop, [&] {
            handled = true;
            loop.quit();
        });
        QTimer::singleShot(fetchWaitMs, &loop, &QEventLoop::quit);
        window.ManualFetch();
        if (window.FetchInFlight()) loop.exec();
        QObject::disconnect(connection);
        // A fetch the window did not even start (one already out) counts as not handled too.
        if (!handled) {
            result.exitCode = 1;
            result.error =
                QStringLiteral("the fetch was not answered within %1 s").arg(fetchWaitMs / 1000.0);
        }
    }
    window.ShowPanel(config.panel);
    // Let the countdown show its first value and the layout settle before the picture.
    ProcessEventsFor(1100);
    if (!window.grab().save(config.screenshotFile, "PNG")) {
        result.exitCode = 1;
        result.error = QStringLiteral("cannot write %1").arg(config.screenshotFile);
    }
    return result;
}

}  // namespace xuan5::ui
