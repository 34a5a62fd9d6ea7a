#include "ui/backtest/optimiser_runner.h"

#include <string>
#include <utility>

namespace xuan5::ui {

void OptimiserRunner::Start(Request request) {
    Run(
        [request = std::move(request)](std::atomic<bool>& stop,
                                       const BacktestProgressFn& progress) {
            return std::make_shared<const Result<OptimiserResult>>(
                RunOptimiser(request.archive, request.settings, request.candidates, request.options,
                             stop, progress));
        },
        [](const std::string& what) {
            // The window hears of it like any refused run.
            return std::make_shared<const Result<OptimiserResult>>(
                Fail({std::string(kMsgBacktestFailed) + what, kTitleBacktest}));
        });
}

}  // namespace xuan5::ui
