#include "ui/monitor/monitor_panel.h"

#include "plans/monitor.h"
#include "records/record_book.h"
#include "store/line_export.h"
#include "ui/common/app_context.h"
#include "ui/monitor/fxiaodi.h"
#include "ui/monitor/monitor_table_widget.h"
#include "ui/monitor/user_settings.h"
#include "ui/widgets/clickable_label.h"
#include "ui/widgets/kept_settings.h"
#include "ui/widgets/named_controls.h"

#include <QAbstractTextDocumentLayout>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <utility>

namespace xuan5::ui {

MonitorPanel::MonitorPanel(Services& services, Session& session, const PanelLinks& links,
                           QWidget* parent)
    : QGroupBox(QStringLiteral("监控"), parent),
      services_(services),
      session_(session),
      links_(links) {
    setObjectName(QStringLiteral("Frame_ding_1"));
    auto* root = new QHBoxLayout(this);
    root->setSpacing(10);

    auto* left = new QVBoxLayout;
    table_ = new MonitorTableWidget(this);
    table_->setObjectName(QStringLiteral("Pic_jiangkong"));
    left->addWidget(table_, 1);
    left->addWidget(
        new QLabel(QStringLiteral("以上显示15条线的近期中-挂记录，方便判断进入点"), this));
    root->addLayout(left, 1);

    auto* right = new QVBoxLayout;
    right->setSpacing(4);

    auto* settings = new QGridLayout;
    settings->setVerticalSpacing(4);
    settings->addWidget(new QLabel(QStringLiteral("容对(注意格式，必须2位)"), this), 0, 0);
    tolerance_ =
        MakeLine(this, QStringLiteral("T_jiankong_rc"), QStringLiteral("03.04.05.06.07.08.09.10"));
    settings->addWidget(tolerance_, 0, 1);
    settings->addWidget(new QLabel(QStringLiteral("选择大底数"), this), 1, 0);
    auto* countRow = new QHBoxLayout;
    lineCount_ = MakeLine(this, QStringLiteral("T_jiankong_15di_geshu"), QStringLiteral("0"));
    lineCount_->setMaximumWidth(48);
    countRow->addWidget(lineCount_);
    clearRecords_ =
        MakeButton(this, QStringLiteral("C_jiankong_di_cls"), QStringLiteral("清空监控记录"));
    countRow->addWidget(clearRecords_);
    viewBases_ =
        MakeButton(this, QStringLiteral("C_jiankong_guankan"), QStringLiteral("观看15个底号码"));
    countRow->addWidget(viewBases_);
    countRow->addStretch(1);
    settings->addLayout(countRow, 1, 1);
    right->addLayout(settings);

    auto* choice = new QGroupBox(QStringLiteral("自绘趋势线出底"), this);
    choice->setObjectName(QStringLiteral("Frame2"));
    auto* choiceRow = new QHBoxLayout(choice);
    choiceRow->setContentsMargins(8, 2, 8, 2);
    everyPeriod_ = new QRadioButton(QStringLiteral("每期算号"), choice);
    everyPeriod_->setObjectName(QStringLiteral("Op_jiankong_zihui"));
    keepBases_ = new QRadioButton(QStringLiteral("保持当前底"), choice);
    keepBases_->setObjectName(QStringLiteral("Op_jiankong_shougong"));
    choiceRow->addWidget(everyPeriod_);
    choiceRow->addWidget(keepBases_);
    choiceRow->addStretch(1);
    right->addWidget(choice);

    auto* lines = new QGridLayout;
    lines->setVerticalSpacing(2);
    for (int i = 0; i < kLineCount; ++i) {
        lines_[i] = MakeCheck(this, QStringLiteral("Ch_jiankong_jj_%1").arg(i),
                              QStringLiteral("%1线").arg(i + 1));
        lines->addWidget(lines_[i], i / 5, i % 5);
        // A tick set from code counts as a click too, as "小底全选" and the start-up expect.
        connect(lines_[i], &QCheckBox::toggled, this, &MonitorPanel::LineBoxClicked);
    }
    allLines_ = MakeCheck(this, QStringLiteral("Ch_jiankong_jj_all"), QStringLiteral("小底全选"));
    lines->addWidget(allLines_, 3, 0, 1, 2);
    noLines_ = MakeCheck(this, QStringLiteral("Ch_jiankong_jj_cls"), QStringLiteral("小底全清"));
    lines->addWidget(noLines_, 3, 2, 1, 2);
    connect(allLines_, &QCheckBox::clicked, this, &MonitorPanel::SelectAllLines);
    connect(clearRecords_, &QPushButton::clicked, this, &MonitorPanel::ClearMonitorRecords);
    connect(noLines_, &QCheckBox::clicked, this, &MonitorPanel::ClearAllLines);
    right->addLayout(lines);

    auto* help = new QVBoxLayout;
    help->setSpacing(0);
    for (const QString& line : {
             QStringLiteral("01，表示前面选择的几个线路，对了1条；"),
             QStringLiteral("01.02.03；表示前面选择的，对了1条，或者2条，"),
             QStringLiteral("或者3条；01.05.08；表示1条，或者5条，或者8条。"),
             QStringLiteral("以上1-15，一共15个选项，对应的是15个线路，也对应的是15个K线底。"),
             QStringLiteral("勾选哪个就表示选用哪个，可以单选，也可以多选，按需求选择。"),
             QStringLiteral("例如我只勾选第一条线路，那么后面软件只会自动调用第一条K线来做"),
             QStringLiteral("计划。勾选多个，软件会自动调用多条线来做计划。"),
         }) {
        help->addWidget(new QLabel(line, this));
    }
    right->addLayout(help);
    right->addStretch(1);

    auto* user = new QHBoxLayout;
    auto* userButtons = new QVBoxLayout;
    exportLink_ = new ClickableLabel(QStringLiteral("<点此=导出大底到文本>"), this);
    exportLink_->setObjectName(QStringLiteral("Labe_daochu_dadi"));
    userButtons->addWidget(exportLink_);
    userSave_ = MakeButton(this, QStringLiteral("C_user_save"), QStringLiteral("保存用户设置"));
    userButtons->addWidget(userSave_);
    userLoad_ = MakeButton(this, QStringLiteral("C_user_load"), QStringLiteral("读取用户设置"));
    userButtons->addWidget(userLoad_);
    userSettings_ = new UserSettings(services_, links_, userSave_, userLoad_, this);
    connect(userSave_, &QPushButton::clicked, userSettings_, &UserSettings::SaveUserSettings);
    connect(userLoad_, &QPushButton::clicked, userSettings_, &UserSettings::LoadUserSettings);
    userButtons->addStretch(1);
    user->addLayout(userButtons);

    auto* noteFrame = new QGroupBox(QStringLiteral("用户配置选项说明"), this);
    noteFrame->setObjectName(QStringLiteral("Frame11"));
    auto* noteLayout = new QVBoxLayout(noteFrame);
    noteLayout->setContentsMargins(4, 2, 4, 4);
    auto* note = new QPlainTextEdit(noteFrame);
    note->setObjectName(QStringLiteral("Text9"));
    note->setPlainText(QStringLiteral(
        "用户配置包括监控\n界面设置，计划界\n面参数设置，可以\n点击保存。\n（云数据保存）\n"));
    note->setReadOnly(true);
    note->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Measured from the laid-out text rather than the primary font: the Chinese glyphs come from
    // a fallback font with a taller line, and the whole note should show without a scroll bar.
    QSizeF textSize;
    for (QTextBlock block = note->document()->begin(); block.isValid(); block = block.next()) {
        const QRectF bounds = note->document()->documentLayout()->blockBoundingRect(block);
        textSize.setHeight(textSize.height() + bounds.height());
        textSize.setWidth(std::max(textSize.width(), bounds.width()));
    }
    const int margins =
        static_cast<int>(note->document()->documentMargin() * 2) + note->frameWidth() * 2;
    note->setFixedHeight(static_cast<int>(std::ceil(textSize.height())) + margins + 2);
    note->setMinimumWidth(static_cast<int>(std::ceil(textSize.width())) + margins + 2);
    noteLayout->addWidget(note);
    user->addWidget(noteFrame, 1);
    right->addLayout(user);

    root->addLayout(right);

    connect(viewBases_, &QPushButton::clicked, this, &MonitorPanel::OpenSmallBaseWindow);
    connect(exportLink_, &ClickableLabel::clicked, this, &MonitorPanel::ExportLineBases);
}

LineSelection MonitorPanel::Selection() const {
    return {everyPeriod_->isChecked(), CheckedLines(), tolerance_->text().toStdString(),
            lineCount_->text().toStdString()};
}

LineChecks MonitorPanel::CheckedLines() const {
    LineChecks checked{};
    for (int i = 0; i < kLineCount; ++i) checked[i] = lines_[i]->isChecked();
    return checked;
}

void MonitorPanel::ApplyLineSelection(const std::string& tolerance, const LineChecks& checked) {
    tolerance_->setText(QString::fromStdString(tolerance));
    for (int i = 0; i < kLineCount; ++i) lines_[i]->setChecked(checked[i]);
}

void MonitorPanel::KeepSettings(QSettings& settings) {
    // The count of selected lines follows the ticks; "小底全选" and "小底全清" are commands.
    std::vector<QWidget*> controls{tolerance_, everyPeriod_, keepBases_};
    AppendControls(controls, lines_);
    KeepControls(settings, QStringLiteral("monitor"), controls);
}

void MonitorPanel::SelectRecomputeEachPeriod() {
    everyPeriod_->setChecked(true);
}

void MonitorPanel::TickAllLines() {
    SelectAllLines();
}

void MonitorPanel::RedrawMonitorTable() {
    table_->SetPicture(xuan5::RedrawMonitorTable(session_.Shown().MonitorView()));
}

void MonitorPanel::DrawMonitorGrid() {
    table_->SetPicture(xuan5::DrawMonitorGrid());
}

void MonitorPanel::ClearMonitorRecords() {
    session_.Shown().ClearMonitor();
    SaveBook(services_, session_, this, session_.RegionCode);
    DrawMonitorGrid();
}

void MonitorPanel::LineBoxClicked() {
    lineCount_->setText(QString::fromStdString(CountSelectedLines(CheckedLines())));
}

void MonitorPanel::SelectAllLines() {
    for (QCheckBox* box : lines_) box->setChecked(true);
}

void MonitorPanel::ClearAllLines() {
    for (QCheckBox* box : lines_) box->setChecked(false);
}

void MonitorPanel::OpenSmallBaseWindow() {
    // One window at a time: a second press brings the open one forward. Closing it unloads it,
    // so the next press opens a fresh one that fills itself again.
    if (!smallBases_) {
        smallBases_ = new Fxiaodi(services_, session_, links_, this);
        smallBases_->setAttribute(Qt::WA_DeleteOnClose);
    }
    smallBases_->show();
    smallBases_->raise();
    smallBases_->activateWindow();
}

void MonitorPanel::ExportLineBases() {
    const Result<Message> exported =
        xuan5::ExportLineBases(session_.LineBases(), services_.dataDir);
    if (exported)
        services_.Show(this, *exported);
    else
        services_.Show(this, exported.messages().front());
}

}  // namespace xuan5::ui
