// The plan-base box used as a text box: caret, selection by keys and mouse, copy, cut, paste,
// typing and deleting across line ends, its context menu.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <memory>

#include "ui/widgets/lines_box.h"

namespace xuan5::ui::test {
namespace {

using Place = LinesBox::Place;

TEST(LinesBox, WorksAsATextBoxOverHundredsOfLines) {
    LinesBox box;
    box.resize(200, 150);
    box.show();
    QString text;
    for (int i = 0; i < 300; ++i)
        text += QStringLiteral("01,02,03,04,%1\r\n").arg(i % 100, 2, 10, QLatin1Char('0'));
    box.SetText(text);
    EXPECT_EQ(box.Text(), QString(text).remove('\r'));  // CR LF in, LF out
    box.setFocus();

    // Keys: the caret crosses line ends, Shift selects, End and Ctrl+End go where they say.
    QTest::keyClick(&box, Qt::Key_End);
    QTest::keyClick(&box, Qt::Key_Right);
    EXPECT_EQ(box.Caret(), (Place{1, 0}));
    QTest::keyClick(&box, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&box, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(box.SelectedText(), "01");
    QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "01");
    QTest::keyClick(&box, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(box.Caret(), (Place{300, 0}));           // after the last line break
    EXPECT_GT(box.verticalScrollBar()->value(), 250);  // scrolled into view

    // Typing, a line break and Backspace across it; Cut and Paste move text.
    QTest::keyClicks(&box, "07");
    QTest::keyClick(&box, Qt::Key_Return);
    QTest::keyClick(&box, Qt::Key_Backspace);
    QTest::keyClick(&box, Qt::Key_Backspace);
    EXPECT_TRUE(box.Text().endsWith("01,02,03,04,99\n0"));
    box.Select({0, 0}, {1, 0});
    QTest::keyClick(&box, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "01,02,03,04,00\n");
    EXPECT_TRUE(box.Text().startsWith("01,02,03,04,01\n"));
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box.Text().left(29), "01,02,03,04,00\n01,02,03,04,01");

    // The mouse: a click puts the caret, a drag selects, a double click takes a word.
    box.verticalScrollBar()->setValue(0);
    const int line = box.fontMetrics().lineSpacing();
    const QPoint second(3, line + line / 2 + 2);
    QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(box.Caret(), (Place{1, 0}));
    QTest::mouseDClick(box.viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(box.SelectedText(), "01");

    // Select all and the context menu, in Chinese; read-only boxes offer no editing.
    QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(box.SelectedText(), box.Text());
    box.SetReadOnly(true);
    const std::unique_ptr<QMenu> menu(box.CreateContextMenu());
    QStringList enabled;
    for (const QAction* action : menu->actions())
        if (action->isEnabled() && !action->isSeparator()) enabled << action->text();
    EXPECT_EQ(enabled, (QStringList{"复制", "全选"}));
    QTest::keyClicks(&box, "x");
    EXPECT_EQ(box.SelectedText(), box.Text());
}

}  // namespace
}  // namespace xuan5::ui::test
