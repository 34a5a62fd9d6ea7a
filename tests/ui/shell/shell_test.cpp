// The main window as a whole: start-up state, panels, regions, timers, the close question and
// the layout at the smallest supported screen.
#include <gtest/gtest.h>

#include <iterator>

#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "ui/draw/draw_panel.h"
#include "ui/monitor/monitor_panel.h"
#include "ui_test_support.h"

namespace xuan5::ui::test {
namespace {

const QColor kLightGreen(128, 255, 128);
const QColor kCyan(0, 255, 255);

TEST(Startup, DefaultsOfEveryPanelAndTable) {
    Shell shell;
    ASSERT_TRUE(shell.StartupOk());
    EXPECT_TRUE(shell.Messages().messages().empty());
    Session& state = shell.Tables();

    EXPECT_TRUE(shell.Find<QRadioButton>("Op_lx_0")->isChecked());
    EXPECT_FALSE(shell.Find<QRadioButton>("Op_lx_1")->isChecked());
    EXPECT_EQ(state.RegionCode, 1);
    EXPECT_EQ(state.CountdownSeconds, 30);
    EXPECT_EQ(state.UpdateCount(), 0);
    EXPECT_FALSE(state.HasDraws());
    EXPECT_TRUE(state.DrawHistory()[1].period.empty());
    // The store was read to prove it readable: its records are in memory.
    EXPECT_EQ(state.CurveStoreLines[1], SampleLineText(1));

    for (int i = 0; i < 15; ++i) {
        auto* line = shell.Find<QCheckBox>(QStringLiteral("Ch_jiankong_jj_%1").arg(i));
        ASSERT_NE(line, nullptr) << i;
        EXPECT_TRUE(line->isChecked()) << i;
        auto* count = shell.Find<QLineEdit>(QStringLiteral("T_quxian_zhushu_%1").arg(i));
        ASSERT_NE(count, nullptr) << i;
        EXPECT_EQ(count->text(), "230");
        EXPECT_EQ(count->font().pointSize(), 7);
    }
    // Ticking the fifteen boxes counted them.
    EXPECT_EQ(shell.Find<QLineEdit>("T_jiankong_15di_geshu")->text(), "15");
    // The monitor picture is the empty grid with its headings, and the table is empty.
    const MonitorPicture grid = DrawMonitorGrid();
    const MonitorPicture& shown = shell.Find<MonitorTableWidget>("Pic_jiangkong")->Picture();
    EXPECT_EQ(shown.lines.size(), grid.lines.size());
    EXPECT_EQ(shown.texts.size(), grid.texts.size());
    EXPECT_EQ(state.MonitorRecords(), MonitorTable{});
    EXPECT_TRUE(shell.Find<QRadioButton>("Op_jiankong_zihui")->isChecked());
    EXPECT_FALSE(shell.Find<QRadioButton>("Op_jiankong_shougong")->isChecked());
    EXPECT_TRUE(shell.Find<QCheckBox>("Check_jh_dadi_chongfu")->isChecked());
    EXPECT_TRUE(shell.Find<QCheckBox>("Check_jihua_sx")->isChecked());
    EXPECT_FALSE(shell.Find<QWidget>("T_paixu_yanzheng")->isEnabled());
    EXPECT_EQ(shell.Find<QWidget>("T_jh_dadi_jilu")->font().pointSize(), 9);
    EXPECT_FALSE(shell.Find<QWidget>("Pic_jd")->isVisibleTo(&shell.Window()));

    EXPECT_FALSE(shell.Find<QCheckBox>("Cauto")->isChecked());
    EXPECT_EQ(shell.Find<QLineEdit>("Tnew")->text(), QStringLiteral("信息反馈栏"));
    EXPECT_EQ(shell.Find<QLabel>("L_djs")->text(), QString());
    EXPECT_EQ(shell.Find<QListWidget>("L_kjh")->count(), 0);

    auto* countdown = shell.Find<QTimer>("Timer_gx");
    ASSERT_NE(countdown, nullptr);
    EXPECT_TRUE(countdown->isActive());
    EXPECT_EQ(countdown->interval(), 1000);
    auto* typed = shell.Find<QTimer>("Timer_add_kjh");
    ASSERT_NE(typed, nullptr);
    EXPECT_FALSE(typed->isActive());
    EXPECT_EQ(typed->interval(), 100);
    auto* bets = shell.Find<QTimer>("Timer_fuzhi");
    ASSERT_NE(bets, nullptr);
    EXPECT_EQ(bets->parent(), shell.Find<QGroupBox>("Frame6"));
    EXPECT_EQ(bets->interval(), 200);
    EXPECT_TRUE(bets->isActive());
}

TEST(Startup, BetUniverseArrivesFromTheOneShotTimer) {
    Shell shell;
    EXPECT_TRUE(shell.Tables().AllBets[1].empty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shell.Tables().AllBets[462].empty(); }, 3000));
    EXPECT_EQ(shell.Tables().AllBets[1], "01,02,03,04,05");
    EXPECT_EQ(shell.Tables().AllBets[462], "07,08,09,10,11");
    EXPECT_FALSE(shell.Find<QTimer>("Timer_fuzhi")->isActive());
}

TEST(Startup, UnreadableCurveStoreShowsTwoMessagesAndFails) {
    std::string fourteen;
    for (int k = 0; k < 14; ++k) fourteen += SampleLineText(k) + "\r\n";
    const std::vector<std::string> broken = {"", "   \r\n", fourteen};
    for (const std::string& bytes : broken) {
        DataFolder data;
        data.WriteStore(bytes);
        MessageRecorder messages;
        Fmain window(FmainOptions{data.Path() + "/data", {}, 1000});
        std::vector<int> ends;
        window.SetEndApplication([&](int code) { ends.push_back(code); });
        EXPECT_FALSE(window.ApplyStartupDefaults());
        ASSERT_EQ(messages.messages().size(), 2u);
        EXPECT_EQ(messages.messages()[0].text,
                  QStringLiteral("目录\\data下缺少文件data.mdb，或是该文件遭到破坏,请检查原因"));
        EXPECT_EQ(messages.messages()[0].title, QStringLiteral("提示"));
        EXPECT_EQ(messages.messages()[1].text, QStringLiteral("本软件将关闭"));
        EXPECT_EQ(messages.messages()[1].title, QStringLiteral("提示"));
        // Nothing after the failed read ran: the countdown never started.
        EXPECT_FALSE(window.findChild<QTimer*>("Timer_gx")->isActive());
    }
    // A missing file, and a folder in its place, are the same case.
    for (bool folder : {false, true}) {
        DataFolder data;
        QFile::remove(data.StorePath());
        if (folder) QDir().mkdir(data.StorePath());
        MessageRecorder messages;
        Fmain window(FmainOptions{data.Path() + "/data", {}, 1000});
        EXPECT_FALSE(window.ApplyStartupDefaults());
        EXPECT_EQ(messages.messages().size(), 2u);
    }
}

TEST(Startup, FifteenLinesWithoutEndMarkerAreEnough) {
    DataFolder data;
    std::string bytes;
    for (int k = 0; k < 15; ++k) bytes += SampleLineText(k) + "\r\n";
    data.WriteStore(bytes);
    MessageRecorder messages;
    Fmain window(FmainOptions{data.Path() + "/data", {}, 1000});
    EXPECT_TRUE(window.ApplyStartupDefaults());
    EXPECT_TRUE(messages.messages().empty());
}

TEST(Panels, ButtonsShowOnePanelAndColourTheCurrentOne) {
    Shell shell;
    Fmain& w = shell.Window();
    w.resize(1366, 768);
    w.show();
    const QString captions[] = {"画趋势", "监控表", "出计划", "断组区", "回测"};
    const QString titles[] = {"画线", "监控", "计划", "断组", "回测"};
    static_assert(std::size(captions) == kPanelCount);
    auto check = [&](int current) {
        for (int i = 0; i < kPanelCount; ++i) {
            auto* frame = shell.Find<QGroupBox>(QStringLiteral("Frame_ding_%1").arg(i));
            auto* button = shell.Find<QPushButton>(QStringLiteral("C_sst_0_%1").arg(i));
            ASSERT_NE(frame, nullptr);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->text(), captions[i]);
            EXPECT_EQ(frame->title(), titles[i]);
            EXPECT_EQ(frame->isVisible(), i == current) << "panel " << i;
            EXPECT_EQ(PaintedColorNearCorner(button), i == current ? kCyan : kLightGreen)
                << "button " << i << " with panel " << current << " current";
        }
    };
    check(0);
    shell.Find<QPushButton>("C_sst_0_4")->click();
    check(4);
    shell.Find<QPushButton>("C_sst_0_3")->click();
    check(3);
    shell.Find<QPushButton>("C_sst_0_1")->click();
    check(1);
    shell.Find<QPushButton>("C_sst_0_0")->click();
    check(0);
    // The panels share one place.
    const QRect place = shell.Find<QWidget>("Frame_ding_0")->geometry();
    for (int i = 1; i < kPanelCount; ++i) {
        shell.Find<QPushButton>(QStringLiteral("C_sst_0_%1").arg(i))->click();
        QCoreApplication::processEvents();
        EXPECT_EQ(shell.Find<QWidget>(QStringLiteral("Frame_ding_%1").arg(i))->geometry(), place);
    }
}

// Each region keeps its own draws: switching shows the chosen region's list at once and fetches
// it; switching back shows the first region's draws again without refetching them as new.
TEST(Panels, RegionOptionsSwitchTheShownRegionAndItsDraws) {
    Shell shell;
    ASSERT_TRUE(shell.FetchFeed(150));
    auto* list = shell.Find<QListWidget>("L_kjh");
    auto* status = shell.Find<QLineEdit>("Tnew");
    shell.Server().Answer(200, FeedResponse(FeedLines(90, 120)));
    shell.Find<QRadioButton>("Op_lx_2")->click();
    EXPECT_EQ(shell.Tables().RegionCode, 3);
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(status->text(), QStringLiteral("已切换到广东，正在获取开奖数据（广东尚无开奖数据）"));
    ASSERT_TRUE(shell.WaitForFetch());
    EXPECT_EQ(shell.Tables().UpdateCount(), 1);
    EXPECT_EQ(shell.Tables().DrawHistory()[1].period, "090");
    EXPECT_EQ(list->count(), 120);

    shell.Server().Answer(200, FeedResponse(FeedLines(150, 120)));
    shell.Find<QRadioButton>("Op_lx_0")->click();
    EXPECT_EQ(shell.Tables().RegionCode, 1);
    EXPECT_FALSE(shell.Find<QRadioButton>("Op_lx_2")->isChecked());
    EXPECT_EQ(shell.Tables().DrawHistory()[1].period, "150");
    EXPECT_EQ(list->count(), 120);
    EXPECT_EQ(status->text(),
              QStringLiteral("已切换到山东，正在获取开奖数据（列表为山东上次取得的开奖数据）"));
    ASSERT_TRUE(shell.WaitForFetch());
    EXPECT_EQ(shell.Tables().UpdateCount(), 1);  // the book knows this table already
    EXPECT_EQ(status->text(), QStringLiteral("没有更新！"));
    EXPECT_EQ(shell.Tables().DrawHistory()[1].period, "150");
    EXPECT_EQ(shell.Server().Requests().size(), 3u);
}

TEST(Shell, CloseQuestionNoKeepsTheWindowYesEndsTheProgram) {
    Shell shell;
    Fmain& w = shell.Window();
    w.show();
    shell.Messages().QueueAnswer(MessageAnswer::No);
    EXPECT_FALSE(w.close());
    ASSERT_EQ(shell.Messages().messages().size(), 1u);
    EXPECT_EQ(shell.Messages().messages()[0].text, QStringLiteral("是否要关闭软件？"));
    EXPECT_EQ(shell.Messages().messages()[0].buttons, MessageButtons::YesNo);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(shell.EndCodes().empty());

    shell.Messages().QueueAnswer(MessageAnswer::Yes);
    EXPECT_TRUE(w.close());
    EXPECT_EQ(shell.Messages().messages().size(), 2u);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(shell.EndCodes(), std::vector<int>{0});
}

TEST(Shell, TermsButtonShowsTheTermsText) {
    Shell shell;
    shell.Find<QPushButton>("C_xieyi")->click();
    ASSERT_EQ(shell.Messages().messages().size(), 1u);
    const RecordedMessage& shown = shell.Messages().messages()[0];
    EXPECT_EQ(shown.title, QStringLiteral("用户使用协议"));
    EXPECT_EQ(shown.text, shell.Find<QPlainTextEdit>("T_xieyi")->toPlainText());
    EXPECT_FALSE(shown.text.isEmpty());
}

TEST(Shell, DrawDependentButtonsBeforeDataAnswerNoDrawData) {
    Shell shell;
    for (const char* name : {"C_rulu_kjh", "C_dadi_look", "C_dadi_k"}) {
        shell.Messages().Clear();
        shell.Find<QPushButton>(name)->click();
        ASSERT_EQ(shell.Messages().messages().size(), 1u) << name;
        EXPECT_EQ(shell.Messages().messages()[0].text, QStringLiteral("没有开奖数据")) << name;
        EXPECT_EQ(shell.Messages().messages()[0].title, QStringLiteral("出错提示")) << name;
    }
    // No entry window opened, nothing searched.
    EXPECT_EQ(shell.Window().findChild<QDialog*>("Fadd"), nullptr);
    EXPECT_TRUE(shell.Find<QPlainTextEdit>("Tdadi")->toPlainText().isEmpty());
    EXPECT_TRUE(shell.Find<QLineEdit>("T_sj_zhushu")->text().isEmpty());
}

// Every control of every panel fits at the smallest supported screen: nothing overlaps,
// nothing lies outside the window, no caption is cut.
TEST(Layout, EveryControlVisibleWithoutOverlapAt1366x768) {
    Shell shell;
    Fmain& w = shell.Window();
    w.resize(1366, 768);
    w.show();
    for (int panel = 0; panel < kPanelCount; ++panel) {
        w.ShowPanel(panel);
        QCoreApplication::processEvents();
        ASSERT_LE(w.minimumSizeHint().width(), 1366);
        ASSERT_LE(w.minimumSizeHint().height(), 768);
        const std::vector<QWidget*> controls = VisibleControls(&w);
        ASSERT_GT(controls.size(), 60u);
        std::vector<QRect> rects;
        for (QWidget* c : controls) {
            const QRect r(c->mapTo(&w, QPoint(0, 0)), c->size());
            EXPECT_TRUE(w.rect().contains(r))
                << c->objectName().toStdString() << " outside the window on panel " << panel;
            EXPECT_GT(r.width(), 0);
            EXPECT_GT(r.height(), 0);
            if (auto* label = qobject_cast<QLabel*>(c); label && !label->wordWrap()) {
                EXPECT_GE(r.width(), label->minimumSizeHint().width())
                    << label->text().toStdString() << " is cut";
            }
            if (auto* button = qobject_cast<QAbstractButton*>(c)) {
                EXPECT_GE(r.width(), button->fontMetrics().horizontalAdvance(button->text()))
                    << button->text().toStdString() << " is cut";
            }
            rects.push_back(r);
        }
        for (std::size_t i = 0; i < rects.size(); ++i)
            for (std::size_t j = i + 1; j < rects.size(); ++j)
                EXPECT_FALSE(rects[i].intersects(rects[j]))
                    << controls[i]->objectName().toStdString() << " overlaps "
                    << controls[j]->objectName().toStdString() << " on panel " << panel;
    }
    // The chart is the largest surface of the drawing panel.
    w.ShowPanel(0);
    QCoreApplication::processEvents();
    const QSize chart = shell.Find<QWidget>("Pic")->size();
    EXPECT_GE(chart.width(), 500);
    EXPECT_GE(chart.height(), 300);
}

// Scrolls the least that shows [start, start + length) in a view of `view` pixels, or its start.
void ScrollTo(QScrollBar* bar, int start, int length, int view) {
    if (start + length > bar->value() + view) bar->setValue(start + length - view);
    if (start < bar->value()) bar->setValue(start);
}

// At the smallest window it allows, and on a 1280 x 720 screen, every control of every panel can
// be scrolled into view whole, none is squeezed below its own minimum, no text is cut.
TEST(Layout, EveryControlReachableAtTheMinimumSizeAnd1280x720) {
    Shell shell;
    Fmain& w = shell.Window();
    w.show();
    EXPECT_LE(w.minimumSize().width(), 1280);
    EXPECT_LE(w.minimumSize().height(), 720 - 100);  // a title bar and a taskbar
    EXPECT_EQ(shell.Find<QPushButton>("Command1")->isVisibleTo(&w), false);
    for (const QSize size : {w.minimumSize(), QSize(1280, 720)}) {
        w.resize(size);
        for (int panel = 0; panel < kPanelCount; ++panel) {
            w.ShowPanel(panel);
            QCoreApplication::processEvents();
            ASSERT_EQ(w.size(), size);
            const std::vector<QWidget*> controls = VisibleControls(&w);
            ASSERT_GT(controls.size(), 40u) << panel;
            for (QWidget* c : controls) {
                SCOPED_TRACE(c->objectName().toStdString() + " on panel " + std::to_string(panel) +
                             " at " + std::to_string(size.width()) + "x" +
                             std::to_string(size.height()));
                QRect view = w.rect();
                for (QWidget* p = c->parentWidget(); p && p != &w; p = p->parentWidget()) {
                    if (auto* area = qobject_cast<QScrollArea*>(p)) {
                        const QRect r(c->mapTo(area->widget(), QPoint(0, 0)), c->size());
                        ScrollTo(area->horizontalScrollBar(), r.x(), r.width(),
                                 area->viewport()->width());
                        ScrollTo(area->verticalScrollBar(), r.y(), r.height(),
                                 area->viewport()->height());
                        view = QRect(area->viewport()->mapTo(&w, QPoint(0, 0)),
                                     area->viewport()->size());
                    }
                }
                EXPECT_TRUE(w.rect().contains(view));
                // A surface larger than the view fills it; anything else is seen whole.
                const QRect place(c->mapTo(&w, QPoint(0, 0)), c->size());
                const QRect seen = place.intersected(view);
                EXPECT_EQ(seen.width(), std::min(place.width(), view.width()))
                    << "cannot be brought into view";
                EXPECT_EQ(seen.height(), std::min(place.height(), view.height()))
                    << "cannot be brought into view";
                const QSize least = c->minimumSizeHint();
                auto* label = qobject_cast<QLabel*>(c);
                if (auto* button = qobject_cast<QAbstractButton*>(c)) {
                    // The style's minimum width of a button is looks, not room for its caption.
                    EXPECT_GE(c->width(), button->fontMetrics().horizontalAdvance(button->text()))
                        << "caption cut";
                } else if (label && label->wordWrap()) {
                    EXPECT_GE(c->height(), label->heightForWidth(c->width())) << "text cut";
                } else if (least.isValid()) {
                    EXPECT_GE(c->width(), least.width()) << "squeezed";
                    EXPECT_GE(c->height(), least.height()) << "squeezed";
                }
            }
        }
    }
}

}  // namespace
}  // namespace xuan5::ui::test
