// The program xuan5: the main window over the engine, or a screenshot of it.
#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <QSettings>
#include <chrono>
#include <cstdio>
#include <optional>

#include "app/desktop.h"
#include "app/first_paint.h"
#include "app/screenshot.h"
#include "ui/common/config.h"
#include "ui/common/message_box.h"
#include "ui/shell/fmain.h"

namespace {

void PrintError(const QString& text) {
    std::fprintf(stderr, "xuan5: %s\n", text.toUtf8().constData());
}

}  // namespace

int main(int argc, char** argv) {
    const auto started = std::chrono::steady_clock::now();
    using namespace xuan5::ui;
    // The name also names the user's data folder (~/.local/share/xuan5).
    QCoreApplication::setApplicationName(QStringLiteral("xuan5"));
    QCoreApplication::setApplicationVersion(QStringLiteral(XUAN5_VERSION));

    // The command line is read before any window system is touched, so --help, --version,
    // --print-config and bad usage work on a machine without a display.
    std::optional<AppConfig> parsed;
    {
        QCoreApplication core(argc, argv);
        const ConfigResult result =
            ParseArguments(core.arguments().mid(1), QCoreApplication::applicationDirPath());
        if (!result.output.isEmpty()) {
            std::fputs(result.output.toUtf8().constData(), stdout);
            return 0;
        }
        if (!result.config) {
            PrintError(result.error + QStringLiteral("\n(xuan5 --help lists the options)"));
            return 2;
        }
        parsed = result.config;
    }
    AppConfig& config = *parsed;
    if (config.printConfig) {
        std::fputs(ConfigText(config, ServiceFor(config)).toUtf8().constData(), stdout);
        return 0;
    }
    if (!config.data.seedFrom.isEmpty()) {
        QString error;
        if (!SeedDataFolder(config.data.dir, config.data.seedFrom, error)) {
            PrintError(error);
            return 1;
        }
    }
    const ServiceSettings service = ServiceFor(config);

    const bool screenshot = !config.screenshotFile.isEmpty();
    // A screenshot needs no display and must look the same with or without one.
    if (screenshot) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallChineseQtTexts(app);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/xuan5/xuan5.svg")));
    QGuiApplication::setDesktopFileName(QStringLiteral("xuan5"));

    StderrMessageSink stderrMessages;
    if (screenshot) InstallMessageSink(&stderrMessages);

    Fmain window({config.data.dir, service, kHttpTimeoutMs, true});
    if (!window.ApplyStartupDefaults()) return 1;
    if (screenshot) {
        const ScreenshotResult result = TakeScreenshot(window, config);
        if (result.exitCode != 0) PrintError(result.error);
        return result.exitCode;
    }

    window.KeepSettings(PanelSettingsFile());
    QSettings place(WindowPlaceFile(), QSettings::IniFormat);
    RestoreWindowPlace(window, place, QSize(kStartWidth, kStartHeight));
    WatchFirstPaint(window, started);
    // The draws of every watched region are fetched as soon as the window is up.
    window.StartFeedWhenShown();
    window.show();
    const int code = QApplication::exec();
    // A measured start says nothing about where the user wants the window.
    if (qEnvironmentVariableIsEmpty(kFirstPaintProbeVariable)) SaveWindowPlace(window, place);
    return code;
}
