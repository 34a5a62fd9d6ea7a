#include "ui/sortfilter/sort_panel.h"

#include "sortfilter/banker_sort.h"
#include "sortfilter/group_filter.h"
#include "ui/common/app_context.h"
#include "ui/widgets/clipboard.h"
#include "ui/widgets/kept_settings.h"
#include "ui/widgets/named_controls.h"
#include "ui/widgets/text_boxes.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

namespace xuan5::ui {

namespace {

// Short boxes for numbers keep their width, so the rows do not stretch them across the panel.
QLineEdit* MakeNumber(QWidget* parent, const QString& name, const QString& text) {
    auto* box = MakeLine(parent, name, text, 3);
    box->setMaximumWidth(box->minimumWidth());
    return box;
}

// "-" and "+" need no more room than their sign.
QPushButton* MakeSignButton(QWidget* parent, const QString& name, const QString& text) {
    auto* button = MakeButton(parent, name, text);
    button->setFixedWidth(button->fontMetrics().height() + 14);
    return button;
}

std::string LineText(const QLineEdit* box) {
    return box->text().toStdString();
}

}  // namespace

SortPanel::SortPanel(Services& services, const Session& session, QWidget* parent)
    : QGroupBox(QStringLiteral("断组"), parent), services_(services), session_(session) {
    setObjectName(QStringLiteral("Frame_ding_3"));
    auto* root = new QHBoxLayout(this);
    root->setSpacing(10);

    auto* sort = new QVBoxLayout;
    auto* window = new QHBoxLayout;
    window->addWidget(
        MakeLabel(this, QStringLiteral("Label20"), QStringLiteral("排序期数/验证期数")));
    window_ = MakeNumber(this, QStringLiteral("T_paixu_qishu"), QStringLiteral("10"));
    verified_ = MakeNumber(this, QStringLiteral("T_paixu_yanzheng"), QStringLiteral("20"));
    shorter_ = MakeSignButton(this, QStringLiteral("C_paixu_qishu_jian"), QStringLiteral("-"));
    longer_ = MakeSignButton(this, QStringLiteral("C_paixu_qishu_jia"), QStringLiteral("+"));
    refresh_ = MakeButton(this, QStringLiteral("C_paixu_shuaxin"), QStringLiteral("刷新排序"));
    for (QWidget* w : {static_cast<QWidget*>(window_), static_cast<QWidget*>(verified_),
                       static_cast<QWidget*>(shorter_), static_cast<QWidget*>(longer_),
                       static_cast<QWidget*>(refresh_)})
        window->addWidget(w);
    window->addStretch(1);
    sort->addLayout(window);
    auto* mode = new QHBoxLayout;
    mode->addWidget(MakeLabel(this, QStringLiteral("Label28"), QStringLiteral("分解模式：")));
    mode_ = MakeLine(this, QStringLiteral("T_paixu_fenjiemoshi"), QStringLiteral("3-3-5"), 10);
    mode_->setMaximumWidth(mode_->minimumWidth());
    mode->addWidget(mode_);
    mode->addStretch(1);
    sort->addLayout(mode);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("List01"));
    sort->addWidget(list_, 1);
    root->addLayout(sort, 3);

    auto* filter = new QGroupBox(QStringLiteral("过滤功能(分解模式，用“-”号分开）"), this);
    filter->setObjectName(QStringLiteral("Frame12"));
    auto* column = new QVBoxLayout(filter);
    column->setContentsMargins(6, 4, 6, 6);
    auto* candidate = new QHBoxLayout;
    candidate_ = MakeLine(filter, QStringLiteral("T_paixu_fenjie_houbei"), QString(), 20);
    candidate->addWidget(candidate_, 1);
    candidateCounts_ =
        MakeNumber(filter, QStringLiteral("T_paixu_fenjie_houbei_cs"), QStringLiteral("12"));
    candidate->addWidget(candidateCounts_);
    add_ = MakeButton(filter, QStringLiteral("C_paixu_add"), QStringLiteral("加入过滤框"));
    candidate->addWidget(add_);
    column->addLayout(candidate);
    // Default lines are held with "\n"; the filter splits the text into lines either way.
    input_ = MakeBox(filter, QStringLiteral("T_paixu_input"),
                     QStringLiteral("01 02 03*04 05*07 08=12\n03 04 05*06 07 08*10 11=12\n"));
    column->addWidget(input_, 2);
    auto* run = new QHBoxLayout;
    run->addWidget(
        MakeLabel(filter, QStringLiteral("Label27"), QStringLiteral("双击清空；容对：")));
    inputCounts_ = MakeNumber(filter, QStringLiteral("T_paixu_input_rc"), QStringLiteral("12"));
    run->addWidget(inputCounts_);
    run_ = MakeButton(filter, QStringLiteral("C_paixu_go"), QStringLiteral("开始过滤"));
    run->addWidget(run_);
    run->addStretch(1);
    column->addLayout(run);
    result_ = MakeBox(filter, QStringLiteral("T_paixu_dadi"));
    column->addWidget(result_, 3);
    auto* result = new QHBoxLayout;
    result->addWidget(MakeLabel(filter, QStringLiteral("Label26"), QStringLiteral("注数：")));
    resultCount_ = MakeLabel(filter, QStringLiteral("Label_paixu_zhushu"), QStringLiteral("0"));
    result->addWidget(resultCount_);
    result->addStretch(1);
    copy_ = MakeButton(filter, QStringLiteral("C_paixu_copy"), QStringLiteral("复制号码"));
    result->addWidget(copy_);
    column->addLayout(result);
    root->addWidget(filter, 2);

    connect(refresh_, &QPushButton::clicked, this, &SortPanel::RefreshSort);
    connect(shorter_, &QPushButton::clicked, this, &SortPanel::ShortenWindow);
    connect(longer_, &QPushButton::clicked, this, &SortPanel::LengthenWindow);
    // A click on a line, and moving the selection with the keyboard, both take its grouping.
    // (Only a selection counts: tabbing into the list makes a line current without choosing it.)
    connect(list_, &QListWidget::itemClicked, this, &SortPanel::TakeLineGrouping);
    connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
        if (!refilling_) TakeLineGrouping();
    });
    connect(add_, &QPushButton::clicked, this, &SortPanel::AddCandidate);
    connect(run_, &QPushButton::clicked, this, &SortPanel::RunFilter);
    connect(copy_, &QPushButton::clicked, this, &SortPanel::CopyResult);
    connect(input_, &MultiLineBox::doubleClicked, this, &SortPanel::ClearInput);
}

void SortPanel::KeepSettings(QSettings& settings) {
    // The sort's window and mode and the filter's lines; the list and the result are made anew.
    KeepControls(settings, QStringLiteral("sort"),
                 {window_, mode_, candidateCounts_, input_, inputCounts_});
}

void SortPanel::DisableVerificationBox() {
    verified_->setEnabled(false);
}

void SortPanel::RefreshSort() {
    const BankerSortResult result =
        RefreshBankerSort(session_.DrawHistory(), LineText(window_), LineText(mode_));
    if (!result) {
        services_.Show(this, result.messages().front());
        return;
    }
    refilling_ = true;
    list_->clear();
    for (const std::string& line : result->value) list_->addItem(QString::fromStdString(line));
    refilling_ = false;
    // A failure part-way keeps the lines built before it, and they are on screen behind the box.
    for (const Message& notice : result->notices) services_.Show(this, notice);
}

void SortPanel::ShortenWindow() {
    StepWindow(-1);
}

void SortPanel::LengthenWindow() {
    StepWindow(+1);
}

void SortPanel::StepWindow(int step) {
    const std::optional<std::string> length = StepWindowLength(LineText(window_), step);
    if (!length) return;
    window_->setText(QString::fromStdString(*length));
    RefreshSort();
}

void SortPanel::TakeLineGrouping() {
    const QListWidgetItem* item = list_->currentItem();
    if (item == nullptr || !item->isSelected()) return;
    if (const std::optional<std::string> grouping =
            GroupingFromSortLine(item->text().toStdString()))
        candidate_->setText(QString::fromStdString(*grouping));
}

void SortPanel::AddCandidate() {
    const AddFilterLineResult added =
        AddFilterLine(BoxText(input_), LineText(candidate_), LineText(candidateCounts_));
    if (!added.notices.empty()) {
        services_.Show(this, added.notices.front());
        return;
    }
    SetBoxText(input_, added.value.filterText);
    candidate_->setText(QString::fromStdString(added.value.candidate));
    RunFilter();
}

void SortPanel::RunFilter() {
    const GroupFilterResult result = RunGroupFilter(BoxText(input_), LineText(inputCounts_));
    SetBoxText(input_, result.value.filterText);
    input_->moveCursor(QTextCursor::End);
    if (result.value.kept) {
        SetBoxText(result_, result.value.kept->text);
        resultCount_->setText(QString::fromStdString(result.value.kept->count));
    }
    for (const Message& notice : result.notices) services_.Show(this, notice);
}

void SortPanel::CopyResult() {
    CopyToClipboard(this, result_->toPlainText());
}

void SortPanel::ClearInput() {
    input_->clear();
}

}  // namespace xuan5::ui
