#include "ui/draw/draw_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "core/result.h"
#include "core/text.h"
#include "curves/base_search.h"
#include "curves/chart.h"
#include "curves/profit_curve.h"
#include "curves/trend_line.h"
#include "store/curve_store.h"
#include "ui/common/app_context.h"
#include "ui/common/panel_links.h"
#include "ui/widgets/chart_widget.h"
#include "ui/widgets/clipboard.h"
#include "ui/widgets/kept_settings.h"
#include "ui/widgets/named_controls.h"
#include "ui/widgets/text_boxes.h"

namespace xuan5::ui {

namespace {

QString Two(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

constexpr const char* kHelpText =
    "说明：X轴是最近120期，最右边（绿线处）是最新一期；Y轴是这组号码按1倍投注的盈利。"
    "红色表示中奖，蓝色表示没中。\r\n"
    "用法：点“开始画线”，在绘图区点一下开始，移动鼠标画出希望的走势，再点一下结束；"
    "在“要求注数”填注数，点“寻找大底”得到走势相符的大底，“K”显示大底的盈利曲线，"
    "“复制”把大底放到剪贴板。\r\n"
    "画好的线可以用“保存线”存为1~15号线，用“读取线”读回；"
    "下面的注数框是每条线出小底的注数，不能多于980注。";

}  // namespace

DrawPanel::DrawPanel(Services& services, Session& session, const PanelLinks& links, QWidget* parent)
    : QGroupBox(QStringLiteral("画线"), parent),
      services_(services),
      session_(session),
      links_(links),
      pic_(new ChartWidget(this)),
      startDrawing_(MakeButton(this, QStringLiteral("C_huaxian_ks"), QStringLiteral("开始画线"))),
      search_(MakeButton(this, QStringLiteral("C_dadi_look"), QStringLiteral("寻找大底"))),
      showCurve_(MakeButton(this, QStringLiteral("C_dadi_k"), QStringLiteral("K"))),
      copy_(MakeButton(this, QStringLiteral("C_copy"), QStringLiteral("复制"))),
      undoSave_(MakeButton(this, QStringLiteral("C_gengxin_cx"), QStringLiteral("撤销保存"))),
      base_(new QPlainTextEdit(this)),
      wanted_(new QLineEdit(QStringLiteral("230"), this)),
      actual_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("Frame_ding_0"));
    pic_->setObjectName(QStringLiteral("Pic"));
    base_->setObjectName(QStringLiteral("Tdadi"));
    // Tdadi holds a few hundred bets on one line; laid out unshaped it fills in a fraction of the
    // time, with no difference on screen for digits, commas and spaces.
    UseUnshapedFont(base_);
    wanted_->setObjectName(QStringLiteral("T_dadi_zhushu"));
    actual_->setObjectName(QStringLiteral("T_sj_zhushu"));
    wanted_->setFixedWidth(60);
    actual_->setFixedWidth(60);
    showCurve_->setFixedWidth(40);

    // Left: the chart over the three rows of the fifteen stored lines.
    auto* lines = new QGridLayout;
    lines->setHorizontalSpacing(3);
    lines->setVerticalSpacing(3);
    lines->addWidget(MakeLabel(this, QStringLiteral("Label2"), QStringLiteral("保存线：")), 0, 0);
    lines->addWidget(MakeLabel(this, QStringLiteral("Label6"), QStringLiteral("读取线：")), 1, 0);
    lines->addWidget(
        MakeLabel(this, QStringLiteral("Label_quxian_zhushu"), QStringLiteral("注数：")), 2, 0);
    for (int i = 0; i < kLineCount; ++i) {
        auto* save = MakeButton(this, QStringLiteral("C_gengxin_%1").arg(i), Two(i + 1));
        auto* load = MakeButton(this, QStringLiteral("C_duqu_%1").arg(i), Two(i + 1));
        auto* count = new QLineEdit(QStringLiteral("230"), this);
        count->setObjectName(QStringLiteral("T_quxian_zhushu_%1").arg(i));
        for (QWidget* w : {static_cast<QWidget*>(save), static_cast<QWidget*>(load),
                           static_cast<QWidget*>(count)}) {
            w->setMinimumWidth(30);
            w->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        }
        count->setAlignment(Qt::AlignCenter);
        lines->addWidget(save, 0, i + 1);
        lines->addWidget(load, 1, i + 1);
        lines->addWidget(count, 2, i + 1);
        lineCounts_[i] = count;
        connect(save, &QPushButton::clicked, this, [this, i] { SaveLine(i); });
        connect(load, &QPushButton::clicked, this, [this, i] { LoadLine(i); });
        connect(count, &QLineEdit::textChanged, this, [this, i] { CheckLineBetCount(i); });
    }
    auto* left = new QVBoxLayout;
    left->addWidget(pic_, 1);
    left->addLayout(lines);

    // Right: drawing, the base search and the help text.
    auto* hint = MakeLabel(this, QStringLiteral("Label3"),
                           QStringLiteral("点开始，然后鼠标移动到绘图区。鼠标点一下，开始，"
                                          "再点一下，结束。"));
    hint->setWordWrap(true);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(
        MakeLabel(this, QStringLiteral("Label_dadi_zhushu"), QStringLiteral("要求注数")));
    searchRow->addWidget(wanted_);
    searchRow->addWidget(search_);
    searchRow->addStretch(1);
    auto* resultRow = new QHBoxLayout;
    resultRow->addWidget(
        MakeLabel(this, QStringLiteral("Label_sj_zhushu"), QStringLiteral("实际注数")));
    resultRow->addWidget(actual_);
    resultRow->addWidget(showCurve_);
    resultRow->addWidget(copy_);
    resultRow->addStretch(1);
    base_->setPlaceholderText(QStringLiteral("大底"));
    auto* help = new QPlainTextEdit(QString::fromUtf8(kHelpText), this);
    help->setObjectName(QStringLiteral("Text2"));
    help->setReadOnly(true);
    help->setMinimumHeight(90);
    // The two boxes share what the column has left; their own preferred heights would make the
    // panel ask for more than a 1280 x 720 screen gives it.
    for (QPlainTextEdit* box : {static_cast<QPlainTextEdit*>(base_), help}) {
        box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    }
    base_->setMinimumHeight(80);

    // Beside the start: the save rows take the chart's width, which a sixteenth button would
    // push past the smallest window.
    undoSave_->setToolTip(QStringLiteral("把最后一次保存的线恢复成保存前的样子"));
    auto* drawRow = new QHBoxLayout;
    drawRow->addWidget(startDrawing_, 1);
    drawRow->addWidget(undoSave_, 1);
    auto* right = new QVBoxLayout;
    right->addLayout(drawRow);
    right->addWidget(hint);
    right->addLayout(searchRow);
    right->addLayout(resultRow);
    right->addWidget(base_, 1);
    right->addWidget(help, 1);
    auto* rightBox = new QWidget(this);
    rightBox->setLayout(right);
    right->setContentsMargins(0, 0, 0, 0);
    rightBox->setFixedWidth(300);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->addLayout(left, 1);
    layout->addWidget(rightBox);

    connect(startDrawing_, &QPushButton::clicked, this, &DrawPanel::PrepareCanvas);
    connect(search_, &QPushButton::clicked, this, &DrawPanel::SearchBase);
    connect(showCurve_, &QPushButton::clicked, this, &DrawPanel::ShowBaseCurve);
    connect(copy_, &QPushButton::clicked, this, &DrawPanel::CopyBase);
    connect(undoSave_, &QPushButton::clicked, this, &DrawPanel::UndoSave);
    connect(pic_, &ChartWidget::mouseDown, this, [this] { ChartMouseDown(); });
    connect(pic_, &ChartWidget::mouseMoved, this, &DrawPanel::ChartMouseMove);
}

void DrawPanel::PrepareCanvas() {
    pic_->SetPicture(PrepareTrendCanvas());
}

void DrawPanel::ChartMouseDown() {
    if (TrendMouseDown(session_.Trend)) {
        startDrawing_->click();
        pic_->setCursor(Qt::CrossCursor);
    } else {
        pic_->unsetCursor();
        // The gaps are filled now: the picture shows what a save would keep.
        ShowStoredLine();
    }
}

void DrawPanel::ShowStoredLine() {
    PrepareCanvas();
    pic_->AddLines(SavedLineSegments(SerializeTrendLine(session_.Trend.TrendLine)));
}

void DrawPanel::ChartMouseMove(double x, double y) {
    if (auto segment = DrawTrendSegment(session_.Trend, static_cast<int>(std::floor(x)), y))
        pic_->AddLine(*segment);
}

void DrawPanel::SearchBase() {
    if (!RequireDraws(services_, session_, this)) return;
    search_->setEnabled(false);
    const BaseSearchResult result =
        SearchBaseForLine(wanted_->text().toStdString(), session_.Trend.TrendLine,
                          session_.DrawKeys(), services_.rng);
    session_.ProfitSeries = result.projection;
    base_->setPlainText(QString::fromStdString(RenderBetSet(result.bets, " ")));
    actual_->setText(QString::number(result.actualCount));
    showCurve_->click();
    search_->setEnabled(true);
}

void DrawPanel::ShowBaseCurve() {
    // Without draws every period would count as a miss and the curve would be meaningless.
    if (!RequireDraws(services_, session_, this)) return;
    session_.ProfitSeries =
        ComputeProfitSeries(base_->toPlainText().trimmed().toStdString(), session_.DrawKeys());
    pic_->SetPicture(DrawProfitChart(session_.ProfitSeries));
}

void DrawPanel::CopyBase() {
    CopyToClipboard(this, QString::fromStdString(OnePerLine(base_->toPlainText().toStdString())));
}

void DrawPanel::SaveLine(int index) {
    if (!session_.CurveStoreLines[index].empty() &&
        services_.Show(this, QStringLiteral("%1号线已有曲线，覆盖吗？").arg(Two(index + 1)),
                       QString::fromUtf8(kTitleNotice),
                       MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    // The store keeps the line as its text; the record it replaces stays as its previous version.
    const Result<LineTexts> saved =
        SaveCurveStoreLine(session_.CurveStoreLines, index,
                           SerializeTrendLine(session_.Trend.TrendLine), services_.StoreFile());
    if (!saved) {
        services_.Show(this, saved.messages().front());
        return;
    }
    session_.CurveStoreLines = *saved;
    if (links_.showStatus) links_.showStatus(QStringLiteral("已保存：%1号线").arg(Two(index + 1)));
}

void DrawPanel::UndoSave() {
    const Result<UndoneSave> undone = UndoLastCurveSave(services_.StoreFile());
    if (!undone) {
        services_.Show(this, undone.messages().front());
        return;
    }
    session_.CurveStoreLines = undone->lines;
    if (links_.showStatus)
        links_.showStatus(QStringLiteral("已撤销保存：%1号线").arg(Two(undone->index + 1)));
}

void DrawPanel::LoadLine(int index) {
    if (!ReloadCurveStore(services_, session_)) {
        services_.StoreBroken(this);
        return;
    }
    const std::string& record = session_.CurveStoreLines[index];
    PrepareCanvas();
    const Result<TrendLineTable> line = ParseTrendLine(record, session_.Trend.TrendLine);
    if (!line) {
        services_.Show(this, line.messages().front());
        return;
    }
    session_.Trend.TrendLine = *line;
    pic_->AddLines(SavedLineSegments(record));
}

void DrawPanel::CheckLineBetCount(int index) {
    QLineEdit* box = lineCounts_[index];
    if (!ExceedsLineBetLimit(box->text().toStdString())) return;
    ShowFailure(this, QString::fromUtf8(kMsgTooManyBets), QString::fromUtf8(kTitleWentWrong));
    box->setText(QString::fromUtf8(kTooManyBetsReplacement));
}

LineSizeTexts DrawPanel::LineSizes() const {
    LineSizeTexts sizes;
    for (int i = 0; i < kLineCount; ++i) sizes[i] = lineCounts_[i]->text().toStdString();
    return sizes;
}

void DrawPanel::KeepSettings(QSettings& settings) {
    std::vector<QWidget*> controls{wanted_};
    AppendControls(controls, lineCounts_);
    KeepControls(settings, QStringLiteral("draw"), controls);
}

void DrawPanel::SetLineCountFontSize(int points) {
    for (QLineEdit* box : lineCounts_) {
        QFont font = box->font();
        font.setPointSize(points);
        box->setFont(font);
    }
}

void DrawPanel::ShowBase(const QString& base) {
    base_->setPlainText(base);
    ShowBaseCurve();
}

void DrawPanel::SetLineSize(int index, const QString& text) {
    lineCounts_[index]->setText(text);
}

}  // namespace xuan5::ui
