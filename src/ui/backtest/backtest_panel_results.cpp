// The back-test panel's results: the end of a run, the table, chart and summary of a single
// run with its chance band, the spread of "多次", and the omissions.
#include <QLabel>
#include <QProgressBar>
#include <QTableWidget>

#include "backtest/backtest_chart.h"
#include "backtest/backtest_csv.h"
#include "backtest/chance.h"
#include "backtest/run_scope.h"
#include "ui/backtest/backtest_panel.h"
#include "ui/backtest/number_boxes.h"
#include "ui/backtest/omission_strip.h"
#include "ui/backtest/result_tables.h"
#include "ui/backtest/stat_plots.h"
#include "ui/common/app_context.h"
#include "ui/widgets/chart_widget.h"

namespace xuan5::ui {

void BacktestPanel::FinishRun(const BacktestRunner::Outcome& outcome) {
    SetRunning(false);
    const bool ok = outcome.single ? outcome.single->ok() : outcome.seeds->ok();
    const bool cancelled =
        outcome.single ? outcome.single->Cancelled() : outcome.seeds->Cancelled();
    std::vector<Message> messages;
    if (ok) {
        progress_->setValue(100);
        state_->setText(QStringLiteral("完成"));
        if (outcome.single) {
            ShowResult(**outcome.single);
            const int tested = static_cast<int>((*outcome.single)->rows.size());
            if (tested < askedPeriods_)
                state_->setText(QStringLiteral("完成：只回测了%1期").arg(tested));
            messages = (*outcome.single)->notices;
        } else {
            ShowSpread(**outcome.seeds);
            messages = (*outcome.seeds)->notices;
        }
    } else {
        progress_->setValue(0);
        state_->setText(cancelled ? QStringLiteral("已取消") : QStringLiteral("未完成"));
        messages = outcome.single ? outcome.single->messages() : outcome.seeds->messages();
    }
    // What the plan mode reported (a damaged saved line, bad input) or why nothing ran.
    for (const Message& message : messages) services_.Show(this, message);
    emit runFinished();
}

void BacktestPanel::ShowResult(const BacktestResult& result) {
    rows_ = result.rows;
    table_->setUpdatesEnabled(false);
    table_->setRowCount(static_cast<int>(rows_.size()));
    std::vector<long long> totals;
    totals.reserve(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const BacktestRow& row = rows_[i];
        const int r = static_cast<int>(i);
        SetResultCell(table_, r, 0, Q(row.date));
        SetResultCell(table_, r, 1, Q(row.period));
        SetResultCell(table_, r, 2, QString::number(row.planSize));
        SetResultCell(table_, r, 3, Q(row.numbers));
        SetResultCell(table_, r, 4, Q(row.hit ? kBacktestHitWord : kBacktestMissWord));
        SetResultCell(table_, r, 5, QString::number(row.profit));
        SetResultCell(table_, r, 6, QString::number(row.total));
        if (row.hit) table_->item(r, 4)->setForeground(QColor(255, 0, 0));
        totals.push_back(row.total);
    }
    table_->setUpdatesEnabled(true);
    if (!rows_.empty()) table_->scrollToBottom();
    chart_->SetPicture(RunningTotalChart(totals, result.band));

    scope_.clear();
    if (!rows_.empty()) {
        const RunScope scope{askedRegion_,
                             rows_.front().date + " " + rows_.front().period,
                             rows_.back().date + " " + rows_.back().period,
                             static_cast<int>(rows_.size()),
                             heldDraws_,
                             askedSeed_};
        scope_ = BacktestScope(scope, askedSettings_);
        chartSeed_ = askedSeed_;
        chartCaption_->setText(QStringLiteral("累计曲线：种子%1，%2 至 %3，灰线为机会范围±2σ")
                                   .arg(askedSeed_)
                                   .arg(Q(scope.first), Q(scope.last)));
    }

    const BacktestSummary& s = result.summary;
    QString summary = JoinedLines(scope_) + QLatin1Char('\n') +
                      QStringLiteral(
                          "期数 %1　命中 %2（%3）　累计 %4\n"
                          "最大回撤 %5　最长连挂 %6　平均注数 %7\n")
                          .arg(s.periods)
                          .arg(s.hits)
                          .arg(Percent(s.hitRate))
                          .arg(s.total)
                          .arg(s.largestDrawdown)
                          .arg(s.longestMissRun)
                          .arg(QString::number(s.averagePlanSize, 'f', 1)) +
                      Q(ChanceText(result.chance, s.total));
    // Said whenever the archive held fewer periods than asked, so a short run is never
    // mistaken for the one the user wanted.
    const std::string shortRun = ShortRunNote(askedPeriods_, s.periods, heldDraws_);
    if (!shortRun.empty()) summary += QLatin1Char('\n') + Q(shortRun);
    summary_->setText(summary);
    for (int k = 0; k < kLineCount; ++k) {
        const LineRecord& line = result.lines[static_cast<std::size_t>(k)];
        SetResultCell(lineTable_, k, 1, QString::number(line.hits));
        SetResultCell(lineTable_, k, 2, Percent(line.hitRate));
        SetResultCell(lineTable_, k, 3, QString::number(line.longestMissRun));
        SetResultCell(lineTable_, k, 4, QString::number(line.currentMissRun));
    }
    ShowOmissions(result.omissions);
}

void BacktestPanel::ShowSpread(const SeedsResult& result) {
    const TotalsSpread& s = result.spread;
    const std::uint64_t first = result.seeds.empty() ? 0 : result.seeds.front();
    // The chart stays with the last single run: said, so its curve is not taken for these.
    const QString chart = rows_.empty()
                              ? QStringLiteral("图中还没有单次回测的曲线")
                              : QStringLiteral("图中曲线是种子%1的单次回测").arg(chartSeed_);
    spread_->setText(
        QStringLiteral("多次：%1个种子（%2起）累计 最低 %3　最高 %4　平均 %5　中位 %6（%7）")
            .arg(result.seeds.size())
            .arg(first)
            .arg(s.min)
            .arg(s.max)
            .arg(QString::number(s.mean, 'f', 1))
            .arg(QString::number(s.median, 'f', 1))
            .arg(chart) +
        QLatin1Char('\n') + Q(SeedsChanceText(result.totals, result.chances)));
    seeds_->SetSeeds(result.totals, result.chances, first);
    tabs_->setCurrentWidget(seeds_);
}

void BacktestPanel::ShowOmissions(const OmissionTable& omissions) {
    for (int n = 1; n <= 11; ++n) {
        SetResultCell(omissionTable_, n - 1, 1, QString::number(omissions[n].current));
        SetResultCell(omissionTable_, n - 1, 2, QString::number(omissions[n].largest));
        SetResultCell(omissionTable_, n - 1, 3, QString::number(omissions[n].frequency));
    }
    heat_->SetOmissions(omissions);
}

}  // namespace xuan5::ui
