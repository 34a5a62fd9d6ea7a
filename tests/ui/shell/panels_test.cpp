// Layout checks of the panels, the backup strip and the small-base window: the handlers and the
// user find controls by name, so every name, caption and default text is pinned here, and every
// panel must show all of its controls without overlap or clipped text at the size the main
// window gives it.

#include "message_recorder.h"
#include "plans/monitor.h"
#include "ui/backup/backup_strip.h"
#include "ui/common/app_context.h"
#include "ui/common/panel_links.h"
#include "ui/monitor/fxiaodi.h"
#include "ui/monitor/monitor_panel.h"
#include "ui/monitor/monitor_table_widget.h"
#include "ui/plan/plan_panel.h"
#include "ui/sortfilter/sort_panel.h"
#include "ui/widgets/clickable_label.h"
#include "ui/widgets/progress_picture.h"
#include "ui/widgets/text_boxes.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

namespace xuan5::ui {
namespace {

enum class Kind { Line, Multi, Button, Check, Option, Label, Frame, List };

struct Expected {
    QString name;
    Kind kind;
    QString text;
};

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// The text a control shows, read the way its kind holds it.
QString ShownText(QWidget* w, Kind kind) {
    switch (kind) {
        case Kind::Line:
            return qobject_cast<QLineEdit*>(w)->text();
        case Kind::Multi:
            if (auto* lines = qobject_cast<LinesBox*>(w)) return lines->Text();
            return qobject_cast<QPlainTextEdit*>(w)->toPlainText();
        case Kind::Button:
        case Kind::Check:
        case Kind::Option:
            return qobject_cast<QAbstractButton*>(w)->text();
        case Kind::Label:
            return qobject_cast<QLabel*>(w)->text();
        case Kind::Frame:
            return qobject_cast<QGroupBox*>(w)->title();
        case Kind::List:
            return QString::number(qobject_cast<QListWidget*>(w)->count());
    }
    return {};
}

bool IsKind(QWidget* w, Kind kind) {
    switch (kind) {
        case Kind::Line:
            return qobject_cast<QLineEdit*>(w) != nullptr;
        case Kind::Multi:
            return qobject_cast<QPlainTextEdit*>(w) != nullptr || qobject_cast<LinesBox*>(w);
        case Kind::Button:
            return qobject_cast<QPushButton*>(w) != nullptr;
        case Kind::Check:
            return qobject_cast<QCheckBox*>(w) != nullptr;
        case Kind::Option:
            return qobject_cast<QRadioButton*>(w) != nullptr;
        case Kind::Label:
            return qobject_cast<QLabel*>(w) != nullptr;
        case Kind::Frame:
            return qobject_cast<QGroupBox*>(w) != nullptr;
        case Kind::List:
            return qobject_cast<QListWidget*>(w) != nullptr;
    }
    return false;
}

void ExpectControls(QWidget* root, const std::vector<Expected>& controls) {
    for (const Expected& e : controls) {
        SCOPED_TRACE(e.name.toStdString());
        const QList<QWidget*> found = root->findChildren<QWidget*>(e.name);
        ASSERT_EQ(found.size(), 1) << "a control name must exist exactly once";
        QWidget* w = found.front();
        ASSERT_TRUE(IsKind(w, e.kind));
        EXPECT_EQ(ShownText(w, e.kind), e.text);
    }
}

bool HasLabel(QWidget* root, const QString& text) {
    for (QLabel* label : root->findChildren<QLabel*>()) {
        if (label->text() == text) return true;
    }
    return false;
}

std::vector<Expected> MonitorControls() {
    std::vector<Expected> c = {
        {"T_jiankong_rc", Kind::Line, "03.04.05.06.07.08.09.10"},
        {"T_jiankong_15di_geshu", Kind::Line, "0"},
        {"Frame2", Kind::Frame, U("自绘趋势线出底")},
        {"Op_jiankong_zihui", Kind::Option, U("每期算号")},
        {"Op_jiankong_shougong", Kind::Option, U("保持当前底")},
        {"C_jiankong_di_cls", Kind::Button, U("清空监控记录")},
        {"C_jiankong_guankan", Kind::Button, U("观看15个底号码")},
        {"Ch_jiankong_jj_all", Kind::Check, U("小底全选")},
        {"Ch_jiankong_jj_cls", Kind::Check, U("小底全清")},
        {"Labe_daochu_dadi", Kind::Label, U("<点此=导出大底到文本>")},
        {"C_user_save", Kind::Button, U("保存用户设置")},
        {"C_user_load", Kind::Button, U("读取用户设置")},
        {"Frame11", Kind::Frame, U("用户配置选项说明")},
        {"Text9", Kind::Multi,
         U("用户配置包括监控\n界面设置，计划界\n面参数设置，可以\n点击保存。\n（云数据保存）\n")},
    };
    for (int i = 0; i < 15; ++i) {
        c.push_back({QStringLiteral("Ch_jiankong_jj_%1").arg(i), Kind::Check,
                     QString::number(i + 1) + U("线")});
    }
    return c;
}

std::vector<Expected> PlanControls() {
    std::vector<Expected> c = {
        {"T_jihua_qianming", Kind::Multi,
         U("---------------\nTavren祝福大家中中\n---------------\n")},
        {"T_zdy_yongyu_0", Kind::Line, U("中中中")},
        {"T_zdy_yongyu_1", Kind::Line, U("一会中")},
        {"C_jihua_ks", Kind::Button, U("开始计划")},
        {"C_jihua_cls", Kind::Button, U("清空计划")},
        {"C_copy_1", Kind::Button, U("复制计划")},
        {"C_jh_dd_k", Kind::Button, U("曲线预览")},
        {"Check_jihua_sx", Kind::Check, U("自动计划")},
        {"Check_danma_jiaoji", Kind::Check, U("交集胆码")},
        {"T_jiaoji_danma", Kind::Line, "02.04.06.08.10"},
        {"T_jiaoji_danma_rc", Kind::Line, "1.2.3"},
        {"Frame9", Kind::Frame, U("计划模式：线路分拆多组后交集")},
        {"Check_jh_dadi_fenzu", Kind::Check, U("生效")},
        {"T_jh_dadi_fenzu_01", Kind::Line, "01.02.03.04.05"},
        {"T_jh_dadi_fenzu_02", Kind::Line, "06.07.08.09.10"},
        {"T_jh_dadi_fenzu_03", Kind::Line, "11.12.13.14.15"},
        {"T_jh_dadi_fenzu_01_rc", Kind::Line, "01.02.03.04"},
        {"T_jh_dadi_fenzu_02_rc", Kind::Line, "01.02.03.04"},
        {"T_jh_dadi_fenzu_03_rc", Kind::Line, "01.02.03.04"},
        {"T_jh_dadi_fenzu_rc", Kind::Line, "03"},
        {"Frame10", Kind::Frame, U("计划模式：15线多次出号后交集")},
        {"Check_jh_dadi_chongfu", Kind::Check, U("生效")},
        {"T_jh_dadi_chongfu_cs", Kind::Line, "5"},
        {"T_jh_dadi_chongfu_rc", Kind::Line, "05"},
        {"T_jihua_jj_dadi", Kind::Multi, ""},
        {"T_jihua_jj_dadi_zhushu", Kind::Line, "0"},
        {"C_jihua_jj_copy", Kind::Button, U("复制大底")},
        {"T_jh_dadi_jilu", Kind::Multi, ""},
        {"T_jh_rc", Kind::Multi, ""},
        {"Check_jihua_jilu_haoma", Kind::Check, U("记录+号码")},
        {"Check_qu_douhao", Kind::Check, U("去逗号")},
    };
    return c;
}

std::vector<Expected> SortControls() {
    return {
        {"List01", Kind::List, "0"},
        {"T_paixu_qishu", Kind::Line, "10"},
        {"T_paixu_yanzheng", Kind::Line, "20"},
        {"Label20", Kind::Label, U("排序期数/验证期数")},
        {"C_paixu_qishu_jian", Kind::Button, "-"},
        {"C_paixu_qishu_jia", Kind::Button, "+"},
        {"C_paixu_shuaxin", Kind::Button, U("刷新排序")},
        {"T_paixu_fenjiemoshi", Kind::Line, "3-3-5"},
        {"Label28", Kind::Label, U("分解模式：")},
        {"T_paixu_fenjie_houbei", Kind::Line, ""},
        {"T_paixu_fenjie_houbei_cs", Kind::Line, "12"},
        {"C_paixu_add", Kind::Button, U("加入过滤框")},
        {"Frame12", Kind::Frame, U("过滤功能(分解模式，用“-”号分开）")},
        {"T_paixu_input", Kind::Multi, "01 02 03*04 05*07 08=12\n03 04 05*06 07 08*10 11=12\n"},
        {"Label27", Kind::Label, U("双击清空；容对：")},
        {"T_paixu_input_rc", Kind::Line, "12"},
        {"C_paixu_go", Kind::Button, U("开始过滤")},
        {"T_paixu_dadi", Kind::Multi, ""},
        {"Label26", Kind::Label, U("注数：")},
        {"Label_paixu_zhushu", Kind::Label, "0"},
        {"C_paixu_copy", Kind::Button, U("复制号码")},
    };
}

std::vector<Expected> BackupControls() {
    std::vector<Expected> c = {
        {"T_dd_beiyong_0", Kind::Multi, "01,02,03,04,05\n05,06,07,08,09\n"},
        {"T_dd_beiyong_1", Kind::Multi, ""},
        {"T_dd_beiyong_2", Kind::Multi, ""},
        {"T_dd_beiyong_3", Kind::Multi, ""},
        {"T_dd_beiyong_zhushu_0", Kind::Line, "2"},
        {"T_dd_beiyong_zhushu_1", Kind::Line, "0"},
        {"T_dd_beiyong_zhushu_2", Kind::Line, "0"},
        {"T_dd_beiyong_zhushu_3", Kind::Line, "0"},
        {"C_fuzhu_copy_3", Kind::Button, U("复制交集底")},
        {"T_beiyong_rc", Kind::Line, "123"},
        {"C_dd_beiyong_jj", Kind::Button, U("开始交集")},
        {"Check_beiyong_canyu", Kind::Check, U("参与计划")},
        {"T_jihua_jj_dadi_by", Kind::Multi, ""},
        {"T_jihua_jj_dadi_zhushu_by", Kind::Line, "0"},
    };
    for (int i = 0; i < 3; ++i) {
        c.push_back({QStringLiteral("C_fuzhu_k_%1").arg(i), Kind::Button, "K"});
        c.push_back({QStringLiteral("C_fuzhu_tie_%1").arg(i), Kind::Button, U("粘贴")});
        c.push_back({QStringLiteral("C_fuzhu_copy_%1").arg(i), Kind::Button, U("复制")});
    }
    return c;
}

std::vector<Expected> SmallBaseControls() {
    std::vector<Expected> c = {{"C_xiaodi_shuaxin", Kind::Button, U("刷新号码")}};
    for (int i = 0; i < 15; ++i) {
        c.push_back({QStringLiteral("T_jihua_jj_dadi_%1").arg(i), Kind::Line, ""});
        c.push_back({QStringLiteral("C_xiaodi_k_%1").arg(i), Kind::Button, "K"});
    }
    return c;
}

TEST(PanelControls, MonitorPanelHasEveryNamedControlWithItsCaption) {
    AppContext ctx;
    PanelLinks links;
    MonitorPanel panel(ctx.services, ctx.session, links);
    EXPECT_EQ(panel.objectName(), "Frame_ding_1");
    EXPECT_EQ(panel.title(), U("监控"));
    ExpectControls(&panel, MonitorControls());
    EXPECT_NE(panel.findChild<MonitorTableWidget*>("Pic_jiangkong"), nullptr);
    for (const char* line : {
             "01，表示前面选择的几个线路，对了1条；",
             "01.02.03；表示前面选择的，对了1条，或者2条，",
             "或者3条；01.05.08；表示1条，或者5条，或者8条。",
             "以上1-15，一共15个选项，对应的是15个线路，也对应的是15个K线底。",
             "勾选哪个就表示选用哪个，可以单选，也可以多选，按需求选择。",
             "例如我只勾选第一条线路，那么后面软件只会自动调用第一条K线来做",
             "计划。勾选多个，软件会自动调用多条线来做计划。",
             "以上显示15条线的近期中-挂记录，方便判断进入点",
             "容对(注意格式，必须2位)",
             "选择大底数",
         }) {
        EXPECT_TRUE(HasLabel(&panel, U(line))) << line;
    }
    // The two choices of how line bases are kept must exclude each other.
    auto* every = panel.findChild<QRadioButton*>("Op_jiankong_zihui");
    auto* keep = panel.findChild<QRadioButton*>("Op_jiankong_shougong");
    every->setChecked(true);
    keep->setChecked(true);
    EXPECT_FALSE(every->isChecked());
}

TEST(PanelControls, PlanPanelHasEveryNamedControlWithItsCaption) {
    AppContext ctx;
    PanelLinks links;
    BackupStrip strip(ctx.services, ctx.session, links);
    links.backup = strip.Link();
    PlanPanel panel(ctx.services, ctx.session, links);
    EXPECT_EQ(panel.objectName(), "Frame_ding_2");
    EXPECT_EQ(panel.title(), U("计划"));
    ExpectControls(&panel, PlanControls());
    for (const char* line :
         {"计划签名设置", "输入格式=线路序号：容对设置", "总容对：", "软件模拟多开次数为：",
          "总容对为：", "计划模式一：", "第一行数字X，表示", "同时打开X个软件", "每个软件单独计算",
          "单独出计划，最后", "所有计划交集容对", "第二行为容对值", "计划模式二：",
          "将15个线路按自己", "喜欢分开多段，每", "段单独控制，最后", "再次来一次总容对",
          "总容对，表示容许", "上面的条件对几个"}) {
        EXPECT_TRUE(HasLabel(&panel, U(line))) << line;
    }
    // Each mode's controls sit in its own frame, so the frame captions describe them.
    auto* modeOne = panel.findChild<QGroupBox*>("Frame10");
    auto* modeTwo = panel.findChild<QGroupBox*>("Frame9");
    EXPECT_NE(modeOne->findChild<QCheckBox*>("Check_jh_dadi_chongfu"), nullptr);
    EXPECT_NE(modeOne->findChild<QLineEdit*>("T_jh_dadi_chongfu_cs"), nullptr);
    EXPECT_NE(modeTwo->findChild<QCheckBox*>("Check_jh_dadi_fenzu"), nullptr);
    EXPECT_NE(modeTwo->findChild<QLineEdit*>("T_jh_dadi_fenzu_03_rc"), nullptr);
    EXPECT_EQ(modeOne->findChild<QCheckBox*>("Check_jh_dadi_fenzu"), nullptr);
}

TEST(PanelControls, SortPanelHasEveryNamedControlWithItsCaption) {
    AppContext ctx;
    SortPanel panel(ctx.services, ctx.session);
    EXPECT_EQ(panel.objectName(), "Frame_ding_3");
    EXPECT_EQ(panel.title(), U("断组"));
    ExpectControls(&panel, SortControls());
    auto* filter = panel.findChild<QGroupBox*>("Frame12");
    for (const char* name : {"T_paixu_fenjie_houbei", "T_paixu_input", "T_paixu_input_rc",
                             "C_paixu_go", "T_paixu_dadi", "Label_paixu_zhushu", "C_paixu_copy"}) {
        EXPECT_NE(filter->findChild<QWidget*>(name), nullptr) << name;
    }
    // The filter box empties itself on a double click, so it needs the reporting box.
    EXPECT_NE(qobject_cast<MultiLineBox*>(panel.findChild<QWidget*>("T_paixu_input")), nullptr);
}

TEST(PanelControls, BackupStripHasEveryNamedControlWithItsCaption) {
    AppContext ctx;
    PanelLinks links;
    BackupStrip strip(ctx.services, ctx.session, links);
    EXPECT_EQ(strip.objectName(), "BackupStrip");
    ExpectControls(&strip, BackupControls());
    for (const char* line : {"备注：插入的底格式是逗号隔开，一行一注", "三底容对：",
                             "勾选，将交集底和上", "面计划交集后出号"}) {
        EXPECT_TRUE(HasLabel(&strip, U(line))) << line;
    }
    for (int i = 0; i < 4; ++i) {
        EXPECT_NE(qobject_cast<MultiLineBox*>(
                      strip.findChild<QWidget*>(QStringLiteral("T_dd_beiyong_%1").arg(i))),
                  nullptr);
    }
    // The result box has a copy button only.
    EXPECT_EQ(strip.findChild<QWidget*>("C_fuzhu_k_3"), nullptr);
    EXPECT_EQ(strip.findChild<QWidget*>("C_fuzhu_tie_3"), nullptr);
    EXPECT_NE(strip.findChild<ProgressPicture*>("Pic_jd"), nullptr);
}

TEST(PanelControls, SmallBaseWindowHasBoxesButtonsAndAnIdleFillTimer) {
    AppContext ctx;
    PanelLinks links;
    Fxiaodi window(ctx.services, ctx.session, links);
    EXPECT_TRUE(window.isWindow());
    EXPECT_EQ(window.windowTitle(), U("15个小底数据显示"));
    ExpectControls(&window, SmallBaseControls());
    for (int n = 1; n <= 15; ++n) EXPECT_TRUE(HasLabel(&window, QString::number(n))) << n;
    EXPECT_TRUE(
        HasLabel(&window, U("上面对应15条线的小底号码；点击K按钮可以在画图界面看到此底K线")));
    auto* timer = window.findChild<QTimer*>("Timer1");
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 500);
    EXPECT_TRUE(timer->isSingleShot());
    EXPECT_FALSE(timer->isActive());
}

// Widgets a user sees as one control; the inner parts of text boxes and lists are left out.
std::vector<QWidget*> VisibleControls(QWidget* root) {
    std::vector<QWidget*> out;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) ||
                             qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractScrollArea*>(w) ||
                             qobject_cast<QGroupBox*>(w) || qobject_cast<MonitorTableWidget*>(w) ||
                             qobject_cast<ProgressPicture*>(w);
        if (!control) continue;
        bool inner = false;
        for (QWidget* p = w->parentWidget(); p && p != root; p = p->parentWidget()) {
            if (qobject_cast<QAbstractScrollArea*>(p) || qobject_cast<QLineEdit*>(p)) inner = true;
        }
        if (!inner && w->isVisibleTo(root)) out.push_back(w);
    }
    return out;
}

QString Describe(QWidget* w) {
    if (!w->objectName().isEmpty()) return w->objectName();
    if (auto* label = qobject_cast<QLabel*>(w))
        return QStringLiteral("label '%1'").arg(label->text());
    return QString::fromLatin1(w->metaObject()->className());
}

bool IsAncestor(QWidget* ancestor, QWidget* w) {
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
        if (p == ancestor) return true;
    }
    return false;
}

// Shows the widget at the given size and checks that every control lies inside it, that no two
// controls overlap (a frame may hold its own controls) and that no caption or default text is cut.
void ExpectCleanLayout(QWidget* root, QSize size) {
    root->resize(size);
    root->show();
    QApplication::processEvents();
    ASSERT_EQ(root->size(), size);
    const std::vector<QWidget*> controls = VisibleControls(root);
    ASSERT_GT(controls.size(), 10u);
    const QRect area = root->rect();
    std::vector<QRect> rects;
    for (QWidget* w : controls) {
        const QRect r(w->mapTo(root, QPoint(0, 0)), w->size());
        rects.push_back(r);
        SCOPED_TRACE(Describe(w).toStdString());
        EXPECT_TRUE(area.contains(r)) << "outside the visible area";
        const QFontMetrics fm(w->font());
        if (auto* label = qobject_cast<QLabel*>(w)) {
            EXPECT_GE(w->width(), label->sizeHint().width()) << "caption cut";
            EXPECT_GE(w->height(), label->sizeHint().height()) << "caption cut";
        } else if (auto* button = qobject_cast<QPushButton*>(w)) {
            EXPECT_GE(w->width(), fm.horizontalAdvance(button->text()) + 8) << "caption cut";
        } else if (qobject_cast<QAbstractButton*>(w)) {
            EXPECT_GE(w->width(), w->sizeHint().width()) << "caption cut";
        } else if (auto* line = qobject_cast<QLineEdit*>(w)) {
            EXPECT_GE(w->width(), fm.horizontalAdvance(line->text()) + 8) << "default text cut";
        } else if (auto* frame = qobject_cast<QGroupBox*>(w)) {
            EXPECT_GE(w->width(), fm.horizontalAdvance(frame->title()) + 8) << "title cut";
        } else {
            EXPECT_GE(w->width(), 40) << "too small to use";
            EXPECT_GE(w->height(), 20) << "too small to use";
        }
    }
    for (size_t i = 0; i < controls.size(); ++i) {
        for (size_t j = i + 1; j < controls.size(); ++j) {
            if (IsAncestor(controls[i], controls[j]) || IsAncestor(controls[j], controls[i]))
                continue;
            EXPECT_FALSE(rects[i].intersects(rects[j]))
                << Describe(controls[i]).toStdString() << " overlaps "
                << Describe(controls[j]).toStdString();
        }
    }
}

TEST(PanelLayout, EveryPanelFitsTheMainWindowAreaWithoutOverlap) {
    // The panel area of the main window at 1366 x 768, less the left strip and the bottom strip.
    const QSize panelArea(1000, 560);
    {
        SCOPED_TRACE("monitor");
        AppContext ctx;
        PanelLinks links;
        MonitorPanel panel(ctx.services, ctx.session, links);
        ExpectCleanLayout(&panel, panelArea);
    }
    {
        SCOPED_TRACE("plan");
        AppContext ctx;
        PanelLinks links;
        BackupStrip strip(ctx.services, ctx.session, links);
        links.backup = strip.Link();
        PlanPanel panel(ctx.services, ctx.session, links);
        ExpectCleanLayout(&panel, panelArea);
    }
    {
        SCOPED_TRACE("sort");
        AppContext ctx;
        SortPanel panel(ctx.services, ctx.session);
        ExpectCleanLayout(&panel, panelArea);
    }
    {
        SCOPED_TRACE("backup strip");
        AppContext ctx;
        PanelLinks links;
        BackupStrip strip(ctx.services, ctx.session, links);
        ExpectCleanLayout(&strip, QSize(1340, 170));
    }
    {
        SCOPED_TRACE("small-base window");
        AppContext ctx;
        PanelLinks links;
        Fxiaodi window(ctx.services, ctx.session, links);
        ExpectCleanLayout(&window, window.sizeHint());
    }
}

TEST(PanelLayout, BackupStripAsksForLittleHeightAndStaysPutWhenProgressHides) {
    AppContext ctx;
    PanelLinks links;
    BackupStrip strip(ctx.services, ctx.session, links);
    // The main window fixes the strip at the height it asks for; more would squeeze the panels.
    EXPECT_LE(strip.sizeHint().height(), 170);
    EXPECT_GE(strip.sizeHint().height(), strip.minimumSizeHint().height());
    strip.resize(1340, 170);
    strip.show();
    QApplication::processEvents();
    auto* progress = strip.findChild<ProgressPicture*>("Pic_jd");
    auto* intermediate = strip.findChild<QWidget*>("T_jihua_jj_dadi_by");
    const QRect before = intermediate->geometry();
    progress->hide();
    QApplication::processEvents();
    EXPECT_EQ(intermediate->geometry(), before);
}

bool IsBlue(QRgb p) {
    return qBlue(p) > 200 && qRed(p) < 80 && qGreen(p) < 80;
}
bool IsInk(QRgb p) {
    return qGray(p) < 140 && !IsBlue(p);
}

// Counts text pixels inside a rectangle of the image.
int InkIn(const QImage& image, QRect r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) n += IsInk(image.pixel(x, y)) ? 1 : 0;
    }
    return n;
}

TEST(MonitorTable, GridHeadingsAndCellTextsSitAtTheirTableUnits) {
    MonitorTableWidget table;
    // 20 pixels per unit: x = 20 * units, y = 20 * (21 - units).
    table.resize(17 * 20 + 1, 21 * 20 + 1);
    EXPECT_EQ(table.ToPixels(0, 21), QPointF(0, 0));
    EXPECT_EQ(table.ToPixels(17, 0), QPointF(340, 420));
    EXPECT_EQ(table.ToPixels(3.5, 15), QPointF(70, 120));

    QImage empty = table.grab().toImage();
    // Horizontal lines at every unit, vertical lines from x = 2 on; the period band has none at 1.
    EXPECT_TRUE(IsBlue(empty.pixel(10, 0)));
    EXPECT_TRUE(IsBlue(empty.pixel(10, 420)));
    EXPECT_TRUE(IsBlue(empty.pixel(10, 200)));
    EXPECT_TRUE(IsBlue(empty.pixel(40, 310)));
    EXPECT_TRUE(IsBlue(empty.pixel(340, 310)));
    EXPECT_FALSE(IsBlue(empty.pixel(20, 310)));
    EXPECT_FALSE(IsBlue(empty.pixel(50, 310)));
    // "开奖期数" and the headings stand in the top band, nothing below it yet.
    EXPECT_GT(InkIn(empty, QRect(1, 1, 38, 18)), 0);
    EXPECT_GT(InkIn(empty, QRect(41, 1, 18, 18)), 0);
    EXPECT_GT(InkIn(empty, QRect(321, 1, 18, 18)), 0);
    EXPECT_EQ(InkIn(empty, QRect(1, 21, 339, 398)), 0);

    // A hit mark for line 2 in record row 5 (band y 16..15) and a period label for that row.
    MonitorPicture picture = xuan5::DrawMonitorGrid();
    picture.texts.push_back({3.4, 15.8, "中"});
    picture.texts.push_back({0.8, 15.8, "045"});
    table.SetPicture(picture);
    const QImage marked = table.grab().toImage();
    EXPECT_GT(InkIn(marked, QRect(61, 101, 18, 18)), 0);  // line 2, row 5
    EXPECT_GT(InkIn(marked, QRect(1, 101, 38, 18)), 0);   // period label of row 5
    EXPECT_EQ(InkIn(marked, QRect(41, 101, 18, 18)), 0);  // line 1, row 5
    EXPECT_EQ(InkIn(marked, QRect(61, 81, 18, 18)), 0);   // line 2, row 4
    EXPECT_EQ(InkIn(marked, QRect(61, 121, 18, 18)), 0);  // line 2, row 6

    // The picture is replaced, not accumulated: the empty grid leaves the bare grid.
    table.SetPicture(xuan5::DrawMonitorGrid());
    EXPECT_EQ(InkIn(table.grab().toImage(), QRect(1, 21, 339, 398)), 0);
}

TEST(ProgressDisplay, PaintsItsTextAtTheFixedSpotAndNothingWhenEmpty) {
    ProgressPicture picture;
    picture.resize(picture.sizeHint());
    const QRect inside = picture.rect().adjusted(1, 1, -2, -2);
    EXPECT_EQ(InkIn(picture.grab().toImage(), inside), 0);

    picture.SetText("20.0%");
    EXPECT_EQ(picture.Text(), "20.0%");
    const QImage shown = picture.grab().toImage();
    const int left = static_cast<int>(ProgressPicture::kTextLeft);
    const int top = static_cast<int>(ProgressPicture::kTextTop);
    EXPECT_GT(InkIn(shown, QRect(left, top, inside.right() - left, inside.bottom() - top)), 50);
    EXPECT_EQ(InkIn(shown, QRect(1, 1, left - 2, inside.bottom())), 0);
    EXPECT_EQ(InkIn(shown, QRect(1, 1, inside.right(), top - 2)), 0);

    picture.SetText(QString());
    EXPECT_EQ(InkIn(picture.grab().toImage(), inside), 0);
}

void SendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button) {
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

TEST(ClickSignals, BoxesReportDoubleClicksAndTheExportLinkReportsClicks) {
    // The link is connected to the export, which writes into the data folder and reports.
    MessageRecorder messages;
    QTemporaryDir data;
    AppContext ctx(data.path().toStdString());
    PanelLinks links;
    BackupStrip strip(ctx.services, ctx.session, links);
    strip.resize(1340, 170);
    strip.show();
    auto* box = qobject_cast<MultiLineBox*>(strip.findChild<QWidget*>("T_dd_beiyong_1"));
    ASSERT_NE(box, nullptr);
    int doubles = 0;
    QObject::connect(box, &MultiLineBox::doubleClicked, [&] { ++doubles; });
    const QPoint spot(10, 10);
    SendMouse(box->viewport(), QEvent::MouseButtonPress, spot, Qt::LeftButton);
    SendMouse(box->viewport(), QEvent::MouseButtonRelease, spot, Qt::LeftButton);
    EXPECT_EQ(doubles, 0);
    SendMouse(box->viewport(), QEvent::MouseButtonDblClick, spot, Qt::LeftButton);
    EXPECT_EQ(doubles, 1);

    MonitorPanel panel(ctx.services, ctx.session, links);
    panel.resize(1000, 560);
    panel.show();
    auto* link = panel.findChild<ClickableLabel*>("Labe_daochu_dadi");
    ASSERT_NE(link, nullptr);
    int clicks = 0;
    QObject::connect(link, &ClickableLabel::clicked, [&] { ++clicks; });
    const QPoint middle = link->rect().center();
    SendMouse(link, QEvent::MouseButtonPress, middle, Qt::LeftButton);
    SendMouse(link, QEvent::MouseButtonRelease, middle, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    // Letting go outside the label cancels the click, as with a button.
    SendMouse(link, QEvent::MouseButtonPress, middle, Qt::LeftButton);
    SendMouse(link, QEvent::MouseButtonRelease, QPoint(-5, -5), Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    SendMouse(link, QEvent::MouseButtonPress, middle, Qt::RightButton);
    SendMouse(link, QEvent::MouseButtonRelease, middle, Qt::RightButton);
    EXPECT_EQ(clicks, 1);
    // A release without a press on the label is no click either.
    SendMouse(link, QEvent::MouseButtonRelease, middle, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace xuan5::ui
