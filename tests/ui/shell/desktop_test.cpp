// The program's set-up around its window: Qt's own texts in Chinese, the window's place kept.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QTranslator>
#include <memory>

#include "app/desktop.h"
#include "ui_test_support.h"

namespace xuan5::ui::test {
namespace {

TEST(Desktop, QtsOwnTextsAreChinese) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    QTranslator* texts = InstallChineseQtTexts(*app);
    ASSERT_NE(texts, nullptr) << "qt6-translations-l10n is not installed";
    QLineEdit box(QStringLiteral("01,02,03,04,05"));
    const std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
    QStringList captions;
    for (const QAction* action : menu->actions()) captions << action->text();
    QApplication::removeTranslator(texts);
    EXPECT_TRUE(captions.join(' ').contains(QStringLiteral("复制")))
        << captions.join(' ').toStdString();
    EXPECT_FALSE(captions.join(' ').contains(QStringLiteral("Copy")));
}

TEST(Desktop, TheWindowComesBackWithItsSizePlaceAndPanel) {
    QTemporaryDir dir;
    QSettings settings(dir.filePath("window.conf"), QSettings::IniFormat);
    {
        Shell shell;
        // Nothing kept yet: a size that fits the screen, never below the window's minimum.
        RestoreWindowPlace(shell.Window(), settings, QSize(1366, 768));
        const QSize screen = shell.Window().screen()->availableGeometry().size();
        EXPECT_EQ(shell.Window().size(),
                  QSize(1366, 768).boundedTo(screen).expandedTo(shell.Window().minimumSize()));
        EXPECT_EQ(shell.Window().CurrentPanel(), 0);
        shell.Window().setGeometry(40, 30, 1100, 640);
        shell.Window().ShowPanel(3);
        SaveWindowPlace(shell.Window(), settings);
    }
    Shell shell;
    RestoreWindowPlace(shell.Window(), settings, QSize(1366, 768));
    EXPECT_EQ(shell.Window().size(), QSize(1100, 640));
    EXPECT_EQ(shell.Window().CurrentPanel(), 3);
}

}  // namespace
}  // namespace xuan5::ui::test
