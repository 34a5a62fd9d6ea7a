#include "ui/backtest/optimiser_runner.h"

#include <functional>
#include <string>
#include <utility>

namespace xuan5::ui {

namespace {

// The window hears of a job that threw like of any refused run.
template <typename Value>
std::function<std::shared_ptr<const Result<Value>>(const std::string&)> Refused() {
    return [](const std::string& what) {
        return std::make_shared<const Result<Value>>(RunFailed(what));
    };
}

}  // namespace

void OptimiserRunner::Start(Request request) {
    Run(
        [request = std::move(request)](std::atomic<bool>& stop,
                                       const BacktestProgressFn& progress) {
            return std::make_shared<const Result<OptimiserResult>>(
                RunOptimiser(request.archive, request.settings, request.candidates, request.options,
                             stop, progress));
        },
        Refused<OptimiserResult>());
}

void NullRunner::Start(OptimiserRunner::Request request, int runs) {
    Run(
        [request = std::move(request), runs](std::atomic<bool>& stop,
                                             const BacktestProgressFn& progress) {
            return std::make_shared<const Result<std::vector<SearchFigures>>>(
                RunNullSearches(request.archive, request.settings, request.candidates,
                                request.options, runs, stop, progress));
        },
        Refused<std::vector<SearchFigures>>());
}

}  // namespace xuan5::ui
