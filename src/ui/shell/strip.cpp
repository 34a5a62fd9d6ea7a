// The strip on the left of the main window: region, countdown, fetching, manual entry, the status
// line, the draw list, the terms and the disclaimer.
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

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

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

template <typename T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace

QLayout* Fmain::BuildStrip() {
    // The strip's controls are direct children of the window, so a search by name from the
    // window finds them before any namesake inside a panel or a dialog.
    auto* regionRow = new QHBoxLayout;
    for (int i = 0; i < static_cast<int>(regions_.size()); ++i) {
        regions_[i] = new QRadioButton(RegionName(i + 1), this);
        regions_[i]->setObjectName(QStringLiteral("Op_lx_%1").arg(i));
        regionRow->addWidget(regions_[i]);
        connect(regions_[i], &QRadioButton::clicked, this, [this, i] { SelectRegion(i); });
    }
    regionRow->addStretch(1);

    auto* countdownRow = new QHBoxLayout;
    countdownRow->addWidget(Named(new QLabel(Q("更新倒计时"), this), "Label14"));
    countdown_ = Named(new QLabel(this), "L_djs");
    countdown_->setMinimumWidth(30);
    SetTextColor(countdown_, QColor(192, 0, 0));
    QFont bold = countdown_->font();
    bold.setBold(true);
    countdown_->setFont(bold);
    countdownRow->addWidget(countdown_);
    countdownRow->addStretch(1);

    auto* fetchRow = new QHBoxLayout;
    autoUpdate_ = Named(new QCheckBox(Q("自动更新"), this), "Cauto");
    fetchNow_ = Named(new QPushButton(Q("手动更新"), this), "Cshoudong");
    fetchRow->addWidget(autoUpdate_);
    fetchRow->addWidget(fetchNow_, 1);
    // Its own indicator: the status line keeps its messages while a fetch is out.
    waiting_ = Named(new QLabel(this), "L_dengdai");
    SetTextColor(waiting_, QColor(0, 0, 192));
    waiting_->hide();
    fetchRow->addWidget(waiting_);

    auto* entryRow = new QHBoxLayout;
    manualEntry_ = Named(new QPushButton(Q("录入开奖号"), this), "C_rulu_kjh");
    // Applying the staged table is the feed's own step; the button stays for code to press but is
    // not offered to the user, for whom a table already applied is no update anyway.
    applyStaged_ = Named(new QPushButton(QStringLiteral("Command1"), this), "Command1");
    applyStaged_->hide();
    entryRow->addWidget(manualEntry_, 1);
    entryRow->addWidget(applyStaged_, 1);

    status_ = Named(new StatusLine(Q("信息反馈栏"), this), "Tnew");
    drawList_ = Named(new QListWidget(this), "L_kjh");
    QFont mono = drawList_->font();
    mono.setFamily(QStringLiteral("monospace"));
    mono.setStyleHint(QFont::Monospace);
    drawList_->setFont(mono);
    drawList_->setMinimumHeight(60);

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

    for (QWidget* w : {static_cast<QWidget*>(status_), static_cast<QWidget*>(drawList_),
                       static_cast<QWidget*>(disclaimer_)})
        w->setFixedWidth(kStripWidth);

    auto* strip = new QVBoxLayout;
    strip->setSpacing(4);
    strip->addLayout(regionRow);
    strip->addLayout(countdownRow);
    strip->addLayout(fetchRow);
    strip->addLayout(entryRow);
    strip->addWidget(status_);
    strip->addWidget(drawList_, 1);
    strip->addLayout(helpRow);
    strip->addWidget(disclaimer_);

    connect(fetchNow_, &QPushButton::clicked, this, &Fmain::ManualFetch);
    connect(manualEntry_, &QPushButton::clicked, this, &Fmain::OpenManualEntry);
    connect(applyStaged_, &QPushButton::clicked, this, &Fmain::ApplyDraws);
    connect(terms_, &QPushButton::clicked, this, &Fmain::ShowTerms);
    connect(help_, &QPushButton::clicked, this, &Fmain::ShowManual);
    return strip;
}

}  // namespace xuan5::ui
