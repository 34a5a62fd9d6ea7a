// The controls of the window "寻优" and their layout.
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "backtest/backtest_chart.h"
#include "backtest/candidates.h"
#include "ui/backtest/fxunyou.h"
#include "ui/backtest/number_boxes.h"
#include "ui/backtest/result_tables.h"
#include "ui/backtest/stat_plots.h"
#include "ui/widgets/chart_widget.h"
#include "ui/widgets/named_controls.h"

namespace xuan5::ui {

namespace {

struct ChoiceControls {
    const char* name;  // the pinyin after Ch_xunyou_ / T_xunyou_
    const char* caption;
    const char* list;
    bool ticked;
    const char* tip;
};

// In the order of Fxunyou::Choice.
constexpr ChoiceControls kChoiceControls[] = {
    {"rc", "线路容对", "02-08 03-08 03-10 04-10 04-12 05-12 06-15", true,
     "计划模式一的线路容对候选，空格分隔；03-10 即 03.04.05.06.07.08.09.10"},
    {"xianlu", "参与线路", "01-15 01-10 06-15 01-05.11-15 01-12", true,
     "参与交集的线路候选，空格分隔；01-05.11-15 即第1到5线和第11到15线"},
    {"cs", "多开次数", "1 3 5 7", false, "计划模式一的多开次数X候选（1到50）"},
    {"zrc", "总容对", "02-10 03-10 04-10 05-10", true,
     "计划模式一的总容对候选；对X接不上的组合不试"},
    {"zhushu", "每线注数", "200 230 260", false, "每条线的注数候选，每个候选用于全部15条线"},
    {"fzrc", "分组容对", "01-04 01-03 02-04 02-05 00-04", true,
     "计划模式二三组各自的容对候选，每组单独挑选"},
    {"fzzrc", "分组总容对", "02-03 03", true, "计划模式二的总容对候选"},
};

}  // namespace

void Fxunyou::BuildLayout() {
    periods_ = MakeLine(this, QStringLiteral("T_xunyou_qishu"), QStringLiteral("500"), 5);
    training_ = MakeLine(this, QStringLiteral("T_xunyou_xunlian"), QStringLiteral("300"), 5);
    testing_ = MakeLine(this, QStringLiteral("T_xunyou_jianyan"), QStringLiteral("50"), 5);
    best_ = MakeLine(this, QStringLiteral("T_xunyou_qianji"), QStringLiteral("3"), 3);
    maxCandidates_ = MakeLine(this, QStringLiteral("T_xunyou_shu"), QStringLiteral("300"), 5);
    seed_ = MakeLine(this, QStringLiteral("T_xunyou_zhongzi"), QStringLiteral("1"), 10);
    blocks_ = MakeLine(this, QStringLiteral("T_xunyou_fenkuai"),
                       QString::number(kDefaultOverfittingBlocks), 3);
    nullTick_ = MakeCheck(this, QStringLiteral("Ch_xunyou_duizhao"), QStringLiteral("随机对照"));
    nullTick_->setChecked(true);
    nullRuns_ =
        MakeLine(this, QStringLiteral("T_xunyou_duizhao"), QString::number(kDefaultNullRuns), 5);
    for (QLineEdit* box :
         {periods_, training_, testing_, best_, maxCandidates_, seed_, blocks_, nullRuns_})
        box->setFixedWidth(box->minimumWidth());
    periods_->setToolTip(QStringLiteral("在本地存档最近多少期上寻优（每期要用它之前的120期）"));
    training_->setToolTip(QStringLiteral("每段训练期的期数：在这些期上挑选最佳设置"));
    testing_->setToolTip(QStringLiteral("每段检验期的期数：挑出的设置在其后这些期上检验"));
    best_->setToolTip(QStringLiteral("每段训练期取前几名到检验期"));
    maxCandidates_->setToolTip(
        QStringLiteral("最多试多少个设置（含当前设置）；组合更多时按种子随机抽取"));
    const QString seedTip = QStringLiteral(
        "种子决定计划随机补足的注（每线注数多于趋势线选中的注时随机补上）和候选多时抽取哪些。"
        "同样的数据、设置和种子，结果完全相同；与回测用同一种子，每期的计划也相同。");
    seed_->setToolTip(seedTip);
    blocks_->setToolTip(QStringLiteral(
        "过拟合概率把寻优的各期分成几块（2到20的偶数，默认16）：每种一半训练、一半检验的分法各算"
        "一次，块越多分法越多"));
    const QString nullTip = QStringLiteral(
        "寻优之后，在这么多个纯随机开奖的存档上（同样长、各有种子）重做同样的寻优，看本次结果在"
        "其中排第几：纯随机上没有真正有用的设置，本次若不比它们好，就只是运气");
    nullTick_->setToolTip(nullTip);
    nullRuns_->setToolTip(nullTip);
    rankByZ_ = new QRadioButton(QStringLiteral("按z值"), this);
    rankByZ_->setObjectName(QStringLiteral("Op_xunyou_z"));
    rankByZ_->setToolTip(QStringLiteral("按累计高出机会期望多少个标准差排名"));
    rankByTotal_ = new QRadioButton(QStringLiteral("按累计"), this);
    rankByTotal_->setObjectName(QStringLiteral("Op_xunyou_leiji"));
    rankByZ_->setChecked(true);
    auto* rankGroup = new QButtonGroup(this);
    rankGroup->addButton(rankByZ_);
    rankGroup->addButton(rankByTotal_);

    auto* spans = new QHBoxLayout;
    const std::pair<const char*, QLineEdit*> boxes[] = {
        {"寻优期数", periods_}, {"训练期数", training_},      {"检验期数", testing_},
        {"每段取前", best_},    {"候选上限", maxCandidates_}, {"种子", seed_}};
    for (const auto& [caption, box] : boxes) {
        QLabel* label = MakeLabel(this, QString(), QString::fromUtf8(caption));
        // The caption explains as its box does.
        label->setToolTip(box->toolTip());
        spans->addWidget(label);
        spans->addWidget(box);
    }
    spans->addWidget(MakeLabel(this, QString(), QStringLiteral("排名")));
    spans->addWidget(rankByZ_);
    spans->addWidget(rankByTotal_);
    spans->addStretch(1);

    auto* choices = new QGroupBox(QStringLiteral("可变的设置（其余按当前设置）"), this);
    auto* grid = new QGridLayout(choices);
    for (int i = 0; i < kChoices; ++i) {
        const ChoiceControls& c = kChoiceControls[i];
        vary_[i] = MakeCheck(choices, QStringLiteral("Ch_xunyou_") + QLatin1String(c.name),
                             QString::fromUtf8(c.caption));
        vary_[i]->setChecked(c.ticked);
        lists_[i] = MakeLine(choices, QStringLiteral("T_xunyou_") + QLatin1String(c.name),
                             QString::fromUtf8(c.list));
        lists_[i]->setToolTip(QString::fromUtf8(c.tip));
        // Mode one's five in two columns, then mode two's two.
        const int row = i < 5 ? i / 2 : 3 + (i - 5) / 2;
        const int column = i < 5 ? (i % 2) * 2 : ((i - 5) % 2) * 2;
        grid->addWidget(vary_[i], row, column);
        grid->addWidget(lists_[i], row, column + 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    mode_ = MakeLabel(choices, QStringLiteral("L_xunyou_moshi"), QString());
    grid->addWidget(mode_, 4, 0, 1, 4);

    start_ = MakeButton(this, QStringLiteral("C_xunyou_kaishi"), QStringLiteral("开始寻优"));
    cancel_ = MakeButton(this, QStringLiteral("C_xunyou_quxiao"), QStringLiteral("取消"));
    apply_ = MakeButton(this, QStringLiteral("C_xunyou_yingyong"), QStringLiteral("应用"));
    apply_->setToolTip(QStringLiteral("把表中选中行的设置（未选时为最近一段的最佳）填入计划"));
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("Pic_xunyou_jd"));
    progress_->setRange(0, 100);
    progress_->setValue(0);
    state_ = MakeLabel(this, QStringLiteral("L_xunyou_zhuangtai"), QString());
    state_->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(start_);
    buttons->addWidget(cancel_);
    buttons->addWidget(apply_);
    // The checks of the search, beside the button that runs them.
    QLabel* blocksCaption = MakeLabel(this, QString(), QStringLiteral("过拟合分块"));
    blocksCaption->setToolTip(blocks_->toolTip());
    buttons->addWidget(blocksCaption);
    buttons->addWidget(blocks_);
    buttons->addWidget(nullTick_);
    buttons->addWidget(nullRuns_);
    buttons->addWidget(MakeLabel(this, QString(), QStringLiteral("次")));
    buttons->addWidget(progress_, 1);
    buttons->addWidget(state_, 2);

    // What the run found, a page each at the window's full width, over the verdict and what
    // was tested.
    views_ = new QTabWidget(this);
    views_->setObjectName(QStringLiteral("Tab_xunyou"));
    table_ = MakeResultTable(
        views_, QStringLiteral("L_xunyou_biao"),
        {QStringLiteral("段"), QStringLiteral("期间"), QStringLiteral("名次"),
         QStringLiteral("设置"), QStringLiteral("训练累计"), QStringLiteral("训练命中"),
         QStringLiteral("训练z"), QStringLiteral("检验累计"), QStringLiteral("检验命中"),
         QStringLiteral("检验z")});
    for (int column : {1, 3})
        table_->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    const char* const headerTips[] = {
        "第几段：每段在训练期挑选，在其后的检验期检验；“当前”是截至最新一期的训练期",
        "训练期的第一期至检验期的最后一期（提示中带年份）",
        "在训练期的排名",
        "候选设置；（当前设置）为计划面板里的设置",
        "训练期累计：每期中奖+924，每注-2",
        "训练期中奖的期数占比",
        kZTip,
        "检验期累计：这个设置在训练期之后、没有参与挑选的各期上的累计",
        "检验期中奖的期数占比",
        kZTip};
    for (int column = 0; column < table_->columnCount(); ++column)
        table_->horizontalHeaderItem(column)->setToolTip(Q(headerTips[column]));
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    views_->addTab(table_, QStringLiteral("各段最佳"));

    auto* walk = new QWidget(views_);
    chart_ = new ChartWidget(walk);
    chart_->setObjectName(QStringLiteral("Pic_xunyou"));
    chart_->SetPicture(RunningTotalChart({}));
    auto* walkLayout = new QVBoxLayout(walk);
    walkLayout->addWidget(MakeLabel(
        walk, QString(), QStringLiteral("样本外累计（每段用训练期最佳），灰线为机会范围±2σ")));
    walkLayout->addWidget(chart_, 1);
    views_->addTab(walk, QStringLiteral("样本外累计"));

    auto* overfit = new QWidget(views_);
    logits_ = new HistogramPlot(overfit);
    logits_->setObjectName(QStringLiteral("Pic_xunyou_pbo"));
    decay_ = new ScatterPlot(overfit);
    decay_->setObjectName(QStringLiteral("Pic_xunyou_tuihua"));
    overfitText_ = MakeLabel(overfit, QStringLiteral("L_xunyou_pbo"), QStringLiteral("尚未寻优"));
    auto* nullPage = new QWidget(views_);
    nullTotals_ = new HistogramPlot(nullPage);
    nullTotals_->setObjectName(QStringLiteral("Pic_xunyou_duizhao"));
    nullZ_ = new HistogramPlot(nullPage);
    nullZ_->setObjectName(QStringLiteral("Pic_xunyou_duizhao_z"));
    nullText_ = MakeLabel(nullPage, QStringLiteral("L_xunyou_duizhao"), QStringLiteral("尚未寻优"));
    // Two pictures side by side over their explanation.
    const auto page = [&](QWidget* widget, QWidget* one, QWidget* two, QLabel* text,
                          const QString& caption) {
        text->setWordWrap(true);
        text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        auto* pictures = new QHBoxLayout;
        pictures->addWidget(one);
        pictures->addWidget(two);
        auto* layout = new QVBoxLayout(widget);
        layout->addLayout(pictures, 1);
        layout->addWidget(text);
        views_->addTab(widget, caption);
    };
    page(overfit, logits_, decay_, overfitText_, QStringLiteral("过拟合概率"));
    page(nullPage, nullTotals_, nullZ_, nullText_, QStringLiteral("随机对照"));

    verdict_ = MakeLabel(this, QStringLiteral("L_xunyou_jielun"), QStringLiteral("尚未寻优"));
    verdict_->setWordWrap(true);
    scope_ = MakeLabel(this, QStringLiteral("L_xunyou_fanwei"), QString());
    scope_->setWordWrap(true);
    SetTextColor(scope_, QColor(90, 90, 90));

    auto* root = new QVBoxLayout(this);
    root->addLayout(spans);
    root->addWidget(choices);
    root->addLayout(buttons);
    root->addWidget(views_, 1);
    root->addWidget(verdict_);
    root->addWidget(scope_);
}

}  // namespace xuan5::ui
