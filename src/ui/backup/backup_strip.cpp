#include "ui/backup/backup_strip.h"

#include "ui/common/qt_text.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/text.h"
#include "plans/backup_base.h"
#include "ui/common/app_context.h"
#include "ui/common/panel_links.h"
#include "ui/widgets/clipboard.h"
#include "ui/widgets/kept_settings.h"
#include "ui/widgets/progress_picture.h"
#include "ui/widgets/text_boxes.h"

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

QSize BackupStrip::sizeHint() const {
    const QSize natural = QWidget::sizeHint();
    return {natural.width(), std::max(kPreferredHeight, minimumSizeHint().height())};
}

BackupStrip::BackupStrip(Services& services, const Session& session, const PanelLinks& links,
                         QWidget* parent)
    : QWidget(parent), services_(services), session_(session), links_(links) {
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
        UseUnshapedFont(boxes_[i]);
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
    planBackup_ = MakeLinesBox(this, QStringLiteral("T_jihua_jj_dadi_by"));
    UseUnshapedFont(planBackup_);
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

    for (int i = 0; i < 4; ++i) {
        connect(boxes_[i], &QPlainTextEdit::textChanged, this, [this, i] { NormalizeBox(i); });
        connect(boxes_[i], &MultiLineBox::editingFinished, this, [this, i] { NormalizeBox(i); });
        connect(boxes_[i], &MultiLineBox::doubleClicked, this, [this, i] { ClearBox(i); });
        connect(copy_[i], &QPushButton::clicked, this, [this, i] { CopyBox(i); });
    }
    for (int i = 0; i < 3; ++i) {
        connect(showCurve_[i], &QPushButton::clicked, this, [this, i] { ShowBoxCurve(i); });
        connect(paste_[i], &QPushButton::clicked, this, [this, i] { PasteIntoBox(i); });
    }
    connect(intersect_, &QPushButton::clicked, this, &BackupStrip::StartIntersection);
}

BackupStrip::~BackupStrip() {
    // A box that is torn down with the strip reports one last change, which must not reach the
    // strip's handlers once the strip itself is gone.
    for (MultiLineBox* box : boxes_) box->disconnect(this);
}

void BackupStrip::KeepSettings(QSettings& settings) {
    KeepControls(settings, QStringLiteral("backup"), {tolerance_, join_});
}

void BackupStrip::ShowProgressPanel(bool show) {
    progress_->setVisible(show);
}

void BackupStrip::PrintProgressText(const QString& text) {
    progress_->SetText(text);
}

bool BackupStrip::JoinTicked() const {
    return join_->isChecked();
}

BackupBasesInput BackupStrip::BackupInput() const {
    BackupBasesInput input;
    for (int i = 0; i < 3; ++i) input.boxes[i] = BoxText(boxes_[i]);
    input.tolerance = tolerance_->text().toStdString();
    return input;
}

QString BackupStrip::PlanBackupText() const {
    return planBackup_->Text();
}

QString BackupStrip::PlanBackupCount() const {
    return planBackupCount_->text();
}

void BackupStrip::SetPlanBackup(const QString& text, const QString& count) {
    SetBoxText(planBackup_, text.toStdString());
    planBackupCount_->setText(count);
}

void BackupStrip::ShowBackupResult(const BackupBasesOutput& result) {
    SetBoxText(boxes_[3], result.bets);
    if (result.count) counts_[3]->setText(QString::fromStdString(*result.count));
}

void BackupStrip::ShowBoxCurve(int index) {
    if (!RequireDraws(services_, session_, this)) return;
    links_.showBase(boxes_[index]->toPlainText().trimmed());
}

void BackupStrip::PasteIntoBox(int index) {
    // An empty text when the clipboard holds none; the change handler then normalises the box.
    // X11 and Wayland hand over the clipboard without a "busy" state, so there is nothing to
    // wait for here.
    SetBoxText(boxes_[index], QApplication::clipboard()->text().toStdString());
}

void BackupStrip::CopyBox(int index) {
    CopyToClipboard(this,
                    QString::fromStdString(OnePerLine(boxes_[index]->toPlainText().toStdString())));
}

void BackupStrip::StartIntersection() {
    ShowBackupResult(IntersectBackupBases(BackupInput()));
    // The plan follows the new result.
    if (links_.followBackupIntersection) links_.followBackupIntersection();
}

void BackupStrip::ClearBox(int index) {
    boxes_[index]->clear();
}

void BackupStrip::NormalizeBox(int index) {
    // Writing the normalised text back changes the box again; NormalizeBackupBase has already
    // included that second pass.
    if (rewriting_) return;
    MultiLineBox* box = boxes_[index];
    const BackupBaseResult result = NormalizeBackupBase(BoxText(box));
    counts_[index]->setText(QString::fromStdString(result.count));
    // While the user types, the count follows at once and the text is rewritten when the box
    // loses the focus.
    if (!result.textChanged || box->Typing()) return;
    rewriting_ = true;
    SetBoxText(box, result.text);
    rewriting_ = false;
}

BackupLink BackupStrip::Link() {
    BackupLink link;
    link.joinTicked = [this] { return JoinTicked(); };
    link.input = [this] { return BackupInput(); };
    link.showResult = [this](const BackupBasesOutput& result) { ShowBackupResult(result); };
    link.planCopy = [this] {
        return PlanBaseText{Utf8(PlanBackupText()), Utf8(PlanBackupCount())};
    };
    link.setPlanCopy = [this](const QString& text, const QString& count) {
        SetPlanBackup(text, count);
    };
    link.showProgress = [this](bool show) { ShowProgressPanel(show); };
    link.printProgress = [this](const QString& text) { PrintProgressText(text); };
    return link;
}

}  // namespace xuan5::ui
