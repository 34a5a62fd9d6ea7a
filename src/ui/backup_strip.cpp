#include "ui/backup_strip.h"

#include "ui/app_context.h"
#include "ui/named_controls.h"
#include "ui/panel_links.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace xuan5::ui {

namespace {

QLineEdit* MakeFixedLine(QWidget* parent, const QString& name, const QString& text, int chars) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(name);
    // Room for the expected content plus the frame, so short values never scroll out of sight.
    const QFontMetrics fm(box->font());
    box->setFixedWidth(fm.horizontalAdvance(QLatin1Char('0')) * chars + 14);
    return box;
}

// The style's 80 px minimum for push buttons would not leave room for four backup bases side by
// side, so buttons here are as wide as their caption needs.
QPushButton* MakeCompactButton(QWidget* parent, const QString& name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    const QFontMetrics fm(button->font());
    button->setFixedWidth(fm.horizontalAdvance(text) + 18);
    return button;
}

}  // namespace

MultiLineBox::MultiLineBox(QWidget* parent) : QPlainTextEdit(parent) {}

void MultiLineBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

ProgressPicture::ProgressPicture(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    // The strip must not jump when the display is hidden between plan runs.
    QSizePolicy policy = sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    setSizePolicy(policy);
}

void ProgressPicture::SetText(const QString& text) {
    text_ = text;
    update();
}

QSize ProgressPicture::sizeHint() const {
    QFont big = font();
    big.setPointSize(kPointSize);
    const QFontMetrics fm(big);
    // Wide enough for the longest progress text, "100.0%", after the fixed left offset.
    const int width =
        static_cast<int>(kTextLeft) + fm.horizontalAdvance(QStringLiteral("100.0%")) + 8;
    const int height = static_cast<int>(kTextTop) + fm.height() + 4;
    return {width, height};
}

QSize ProgressPicture::minimumSizeHint() const {
    return sizeHint();
}

void ProgressPicture::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (text_.isEmpty()) return;
    QFont big = font();
    big.setPointSize(kPointSize);
    painter.setFont(big);
    painter.setPen(palette().color(QPalette::Text));
    const QFontMetrics fm(big);
    painter.drawText(QPointF(kTextLeft, kTextTop + fm.ascent()), text_);
}

QSize BackupStrip::sizeHint() const {
    const QSize natural = QWidget::sizeHint();
    return {natural.width(), std::max(kPreferredHeight, minimumSizeHint().height())};
}

BackupStrip::BackupStrip(AppContext& ctx, const PanelLinks& links, QWidget* parent)
    : QWidget(parent), ctx_(ctx), links_(links) {
    setObjectName(QStringLiteral("BackupStrip"));
    auto* root = new QHBoxLayout(this);
    root->setContentsMargins(4, 4, 4, 4);
    root->setSpacing(6);

    const QStringList defaults = {QStringLiteral("01,02,03,04,05\n05,06,07,08,09\n"), QString(),
                                  QString(), QString()};
    const QStringList counts = {QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("0"),
                                QStringLiteral("0")};
    for (int i = 0; i < 4; ++i) {
        auto* column = new QVBoxLayout;
        column->setSpacing(3);
        boxes_[i] = MakeBox(this, QStringLiteral("T_dd_beiyong_%1").arg(i), defaults[i]);
        column->addWidget(boxes_[i], 1);
        auto* buttons = new QHBoxLayout;
        buttons->setSpacing(3);
        counts_[i] =
            MakeFixedLine(this, QStringLiteral("T_dd_beiyong_zhushu_%1").arg(i), counts[i], 4);
        buttons->addWidget(counts_[i]);
        if (i < 3) {
            showCurve_[i] =
                MakeCompactButton(this, QStringLiteral("C_fuzhu_k_%1").arg(i), QStringLiteral("K"));
            paste_[i] = MakeCompactButton(this, QStringLiteral("C_fuzhu_tie_%1").arg(i),
                                          QStringLiteral("粘贴"));
            copy_[i] = MakeCompactButton(this, QStringLiteral("C_fuzhu_copy_%1").arg(i),
                                         QStringLiteral("复制"));
            buttons->addWidget(showCurve_[i]);
            buttons->addWidget(paste_[i]);
            buttons->addWidget(copy_[i]);
        } else {
            copy_[i] = MakeCompactButton(this, QStringLiteral("C_fuzhu_copy_3"),
                                         QStringLiteral("复制交集底"));
            buttons->addWidget(copy_[i]);
        }
        buttons->addStretch(1);
        column->addLayout(buttons);
        root->addLayout(column, 1);
    }

    auto* controls = new QVBoxLayout;
    controls->setSpacing(3);
    auto* note = new QLabel(QStringLiteral("备注：插入的底格式是逗号隔开，一行一注"), this);
    controls->addWidget(note);
    auto* rcRow = new QHBoxLayout;
    rcRow->addWidget(new QLabel(QStringLiteral("三底容对："), this));
    tolerance_ = MakeFixedLine(this, QStringLiteral("T_beiyong_rc"), QStringLiteral("123"), 6);
    rcRow->addWidget(tolerance_);
    intersect_ =
        MakeCompactButton(this, QStringLiteral("C_dd_beiyong_jj"), QStringLiteral("开始交集"));
    rcRow->addWidget(intersect_);
    rcRow->addStretch(1);
    controls->addLayout(rcRow);
    auto* joinRow = new QHBoxLayout;
    join_ = new QCheckBox(QStringLiteral("参与计划"), this);
    join_->setObjectName(QStringLiteral("Check_beiyong_canyu"));
    joinRow->addWidget(join_);
    auto* joinHelp = new QVBoxLayout;
    joinHelp->setSpacing(0);
    joinHelp->addWidget(new QLabel(QStringLiteral("勾选，将交集底和上"), this));
    joinHelp->addWidget(new QLabel(QStringLiteral("面计划交集后出号"), this));
    joinRow->addLayout(joinHelp);
    joinRow->addStretch(1);
    controls->addLayout(joinRow);
    controls->addStretch(1);
    root->addLayout(controls);

    auto* intermediate = new QVBoxLayout;
    intermediate->setSpacing(3);
    planBackup_ = MakeBox(this, QStringLiteral("T_jihua_jj_dadi_by"), QString());
    intermediate->addWidget(planBackup_, 1);
    auto* byCount = new QHBoxLayout;
    planBackupCount_ =
        MakeFixedLine(this, QStringLiteral("T_jihua_jj_dadi_zhushu_by"), QStringLiteral("0"), 4);
    byCount->addWidget(planBackupCount_);
    byCount->addStretch(1);
    intermediate->addLayout(byCount);
    root->addLayout(intermediate, 1);

    progress_ = new ProgressPicture(this);
    progress_->setObjectName(QStringLiteral("Pic_jd"));
    root->addWidget(progress_, 0, Qt::AlignTop);
}

void BackupStrip::ShowProgressPanel(bool show) {
    progress_->setVisible(show);
}

void BackupStrip::PrintProgressText(const QString& text) {
    progress_->SetText(text);
}

}  // namespace xuan5::ui
