// The strip on the left of the main window: region, countdown, fetching, manual entry, the status
// line, the draw list, the terms and the disclaimer.
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/common/qt_text.h"
#include "ui/shell/fmain.h"
#include "ui/widgets/named_controls.h"
#include "ui/widgets/status_line.h"

namespace xuan5::ui {

namespace {

constexpr int kStripWidth = 300;

constexpr const char* kTermsText =
    "用户使用协议\r\n"
    "1. 本软件是11选5开奖数据的统计与分析工具，只对历史开奖号码做计算和画图，"
    "不预测、也不保证任何开奖结果。\r\n"
    "2. 软件给出的大底、计划和过滤结果只是计算结果，不构成投注建议；"
    "是否投注、投注多少由使用者自行决定，一切后果由使用者自行承担。\r\n"
    "3. 请遵守所在地区的法律法规，理性购彩，未满18周岁不得购彩。\r\n"
    "4. 软件从使用者配置的开奖服务获取数据，数据的准确性以官方公布为准。\r\n"
    "5. 使用本软件即表示同意以上条款。";

template <typename T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace

QLayout* Fmain::BuildStrip() {
    // The strip's controls are direct children of the window, so a search by name from the
    // window finds them before any namesake inside a panel or a dialog.
    // Each region with its newest period and last outcome, and whether it is watched in the
    // background.
    auto* regionRows = new QGridLayout;
    regionRows->setVerticalSpacing(0);
    auto* watchLabel = Named(new QLabel(Q("监控地区"), this), "Label_jiankong_diqu");
    watchLabel->setToolTip(Q("勾选的地区在自动更新时也在后台取号、判断和出计划"));
    regionRows->addWidget(watchLabel, 0, 1);
    for (int i = 0; i < kRegionCount; ++i) {
        auto* region = new QRadioButton(RegionName(i + 1), this);
        region->setObjectName(QStringLiteral("Op_lx_%1").arg(i));
        feedControls_.regions[static_cast<std::size_t>(i)] = region;
        regionRows->addWidget(region, i + 1, 0);
        auto* watched = new QCheckBox(Q("监控"), this);
        watched->setObjectName(QStringLiteral("Ch_jiankong_diqu_%1").arg(i));
        watched->setChecked(true);
        feedControls_.watched[static_cast<std::size_t>(i)] = watched;
        regionRows->addWidget(watched, i + 1, 1);
    }
    regionRows->setColumnStretch(0, 1);

    auto* countdownRow = new QHBoxLayout;
    countdownRow->addWidget(Named(new QLabel(Q("更新倒计时"), this), "Label14"));
    auto* countdown = Named(new QLabel(this), "L_djs");
    countdown->setMinimumWidth(30);
    SetTextColor(countdown, QColor(192, 0, 0));
    QFont bold = countdown->font();
    bold.setBold(true);
    countdown->setFont(bold);
    countdownRow->addWidget(countdown);
    countdownRow->addStretch(1);
    feedControls_.countdown = countdown;

    auto* fetchRow = new QHBoxLayout;
    feedControls_.autoUpdate = Named(new QCheckBox(Q("自动更新"), this), "Cauto");
    feedControls_.fetchNow = Named(new QPushButton(Q("手动更新"), this), "Cshoudong");
    fetchRow->addWidget(feedControls_.autoUpdate);
    fetchRow->addWidget(feedControls_.fetchNow, 1);
    // Its own indicator: the status line keeps its messages while a fetch is out.
    auto* waiting = Named(new QLabel(this), "L_dengdai");
    SetTextColor(waiting, QColor(0, 0, 192));
    waiting->hide();
    fetchRow->addWidget(waiting);
    feedControls_.waiting = waiting;

    auto* entryRow = new QHBoxLayout;
    feedControls_.manualEntry = Named(new QPushButton(Q("录入开奖号"), this), "C_rulu_kjh");
    // Applying the staged table is the feed's own step; the button stays for code to press but is
    // not offered to the user, for whom a table already applied is no update anyway.
    applyStaged_ = Named(new QPushButton(QStringLiteral("Command1"), this), "Command1");
    applyStaged_->hide();
    entryRow->addWidget(feedControls_.manualEntry, 1);
    entryRow->addWidget(applyStaged_, 1);

    auto* status = Named(new StatusLine(Q("信息反馈栏"), this), "Tnew");
    feedControls_.status = status;
    auto* drawList = Named(new QListWidget(this), "L_kjh");
    QFont mono = drawList->font();
    mono.setFamily(QStringLiteral("monospace"));
    mono.setStyleHint(QFont::Monospace);
    drawList->setFont(mono);
    drawList->setMinimumHeight(60);
    feedControls_.drawList = drawList;

    terms_ = Named(new QPushButton(Q("软件协议"), this), "C_xieyi");
    help_ = Named(new QPushButton(Q("帮助"), this), "C_bangzhu");
    help_->setToolTip(Q("打开使用手册（F1）"));
    auto* helpRow = new QHBoxLayout;
    helpRow->addWidget(help_, 1);
    helpRow->addWidget(terms_, 1);
    termsText_ = Named(new QPlainTextEdit(Q(kTermsText), this), "T_xieyi");
    termsText_->setReadOnly(true);
    termsText_->hide();  // its text is shown through C_xieyi

    disclaimer_ = Named(new QGroupBox(Q("免责声明"), this), "Frame6");
    auto* disclaimerLayout = new QVBoxLayout(disclaimer_);
    disclaimerLayout->setContentsMargins(6, 2, 6, 4);
    disclaimerLayout->setSpacing(2);
    const char* disclaimerTexts[] = {"本软件只做历史开奖数据的统计分析，不构成投注建议。",
                                     "彩票有风险，购彩需理性；使用后果由使用者自行承担。"};
    for (int i = 0; i < 2; ++i) {
        auto* label = new QLabel(Q(disclaimerTexts[i]), disclaimer_);
        label->setObjectName(QStringLiteral("Label_mianze_%1").arg(i));
        label->setWordWrap(true);
        disclaimerLayout->addWidget(label);
    }

    for (QWidget* w : {static_cast<QWidget*>(status), static_cast<QWidget*>(drawList),
                       static_cast<QWidget*>(disclaimer_)})
        w->setFixedWidth(kStripWidth);

    auto* strip = new QVBoxLayout;
    strip->setSpacing(4);
    strip->addLayout(regionRows);
    strip->addLayout(countdownRow);
    strip->addLayout(fetchRow);
    strip->addLayout(entryRow);
    strip->addWidget(status);
    strip->addWidget(drawList, 1);
    strip->addLayout(helpRow);
    strip->addWidget(disclaimer_);

    connect(terms_, &QPushButton::clicked, this, &Fmain::ShowTerms);
    connect(help_, &QPushButton::clicked, this, &Fmain::ShowManual);
    return strip;
}

}  // namespace xuan5::ui
