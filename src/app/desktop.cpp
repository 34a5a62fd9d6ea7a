#include "app/desktop.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QSettings>
#include <QTranslator>

#include "ui/shell/fmain.h"

namespace xuan5::ui {

namespace {

constexpr const char* kGeometryKey = "window/geometry";
constexpr const char* kPanelKey = "window/panel";

}  // namespace

QTranslator* InstallChineseQtTexts(QApplication& app) {
    // The program speaks Chinese whatever the system's language is, so Qt's parts do too.
    auto* translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return nullptr;
    }
    QApplication::installTranslator(translator);
    return translator;
}

void RestoreWindowPlace(Fmain& window, const QSettings& settings, QSize preferred) {
    // A geometry kept from a larger screen is brought back onto this one by restoreGeometry.
    if (!window.restoreGeometry(settings.value(kGeometryKey).toByteArray())) {
        const QRect screen = window.screen()->availableGeometry();
        window.resize(preferred.boundedTo(screen.size()).expandedTo(window.minimumSize()));
    }
    const int panel = settings.value(kPanelKey, 0).toInt();
    if (panel >= 0 && panel < kPanelCount) window.ShowPanel(panel);
}

void SaveWindowPlace(const Fmain& window, QSettings& settings) {
    settings.setValue(kGeometryKey, window.saveGeometry());
    settings.setValue(kPanelKey, window.CurrentPanel());
}

}  // namespace xuan5::ui
