// What the program sets up around its window on a desktop: Qt's own texts in Chinese, and the
// window's size, place and shown panel kept from one run to the next.
#pragma once

#include <QSize>

class QApplication;
class QSettings;
class QTranslator;

namespace xuan5::ui {

class Fmain;

// Loads Qt's Chinese translations (dialogs, context menus, message-box buttons) into the
// application and returns them (owned by `app`); null when they are not installed, and the
// program runs with Qt's English.
QTranslator* InstallChineseQtTexts(QApplication& app);

// Gives the window the size, place and panel it had when it was last closed, when those still
// fit a screen; otherwise a size that fits the screen it opens on (at most `preferred`).
void RestoreWindowPlace(Fmain& window, const QSettings& settings, QSize preferred);
void SaveWindowPlace(const Fmain& window, QSettings& settings);

}  // namespace xuan5::ui
