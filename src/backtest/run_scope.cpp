#include "backtest/run_scope.h"

#include "protocol/draw_csv.h"

namespace xuan5 {

std::string PlanSettingsText(const PlanSettings& settings) {
    const bool modeTwo = settings.useModeTwo;
    const LineBasesInput& lines = modeTwo ? settings.modeTwo.lines : settings.modeOne.lines;
    std::string text = std::string(modeTwo ? "计划模式二" : "计划模式一") +
                       (lines.searchEveryPeriod ? "（每期算号）：" : "（保持当前底）：") +
                       DescribeCandidate(CurrentCandidate(settings), modeTwo);
    if (modeTwo) {
        const PlanModeTwoInput& two = settings.modeTwo;
        text += " 分组 " + two.group1 + " / " + two.group2 + " / " + two.group3;
    }
    const BankerSettings& banker =
        modeTwo ? settings.modeTwo.banker : settings.modeOne.selection.banker;
    text += banker.enabled ? "，胆码过滤 " + banker.numbers + " 容对" + banker.tolerance
                           : std::string("，胆码过滤关");
    text += settings.backup.participates
                ? "，备用底参与（三底容对" + settings.backup.backup.tolerance + "）"
                : std::string("，备用底不参与");
    return text;
}

std::vector<std::string> BacktestScope(const RunScope& scope, const PlanSettings& settings) {
    const LineBasesInput& lines =
        settings.useModeTwo ? settings.modeTwo.lines : settings.modeOne.lines;
    return {
        SpanNote(scope.region, scope.first, scope.last, static_cast<std::size_t>(scope.periods)) +
            "　本地存档：" + std::to_string(scope.archiveDraws) + "期",
        PlanSettingsText(settings), "每线注数：" + BetCountsText(lines.lineSizes),
        "种子：" + std::to_string(scope.seed)};
}

std::vector<std::string> OptimiserScope(const RunScope& scope, const PlanSettings& settings,
                                        const SearchScope& search) {
    std::vector<std::string> lines = BacktestScope(scope, settings);
    std::string candidates = "候选：" + std::to_string(search.candidates) + "个（含当前设置）";
    for (std::size_t i = 0; i < search.lists.size(); ++i)
        candidates += (i == 0 ? "，可变：" : "；") + search.lists[i];
    lines.push_back(candidates);
    const OptimiserOptions& o = search.options;
    std::string checks = "训练" + std::to_string(o.training) + "期　检验" +
                         std::to_string(o.testing) + "期　每段取前" + std::to_string(o.best) +
                         (o.rank == OptimiserRank::Z ? "　按z值排名" : "　按累计排名");
    if (o.blocks > 0) checks += "　过拟合概率分" + std::to_string(o.blocks) + "块";
    if (search.nullRuns > 0) checks += "　随机对照" + std::to_string(search.nullRuns) + "次";
    lines.push_back(checks);
    return lines;
}

}  // namespace xuan5
