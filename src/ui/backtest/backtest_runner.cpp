#include "ui/backtest/backtest_runner.h"

#include <string>
#include <utility>

namespace xuan5::ui {

void BacktestRunner::Start(Request request) {
    Run(
        [request = std::move(request)](std::atomic<bool>& stop,
                                       const BacktestProgressFn& progress) {
            Outcome outcome;
            if (request.seedCount > 0) {
                outcome.seeds = std::make_shared<const Result<SeedsResult>>(
                    RunBacktestSeeds(request.archive, request.settings, request.options,
                                     request.seedCount, stop, progress));
            } else {
                outcome.single = std::make_shared<const Result<BacktestResult>>(RunBacktest(
                    request.archive, request.settings, request.options, stop, progress));
            }
            return outcome;
        },
        [](const std::string& what) {
            // The window hears of it like any refused run.
            Outcome outcome;
            outcome.single = std::make_shared<const Result<BacktestResult>>(RunFailed(what));
            return outcome;
        });
}

}  // namespace xuan5::ui
