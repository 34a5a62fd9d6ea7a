#include "ui/backtest/optimiser_runner.h"

namespace xuan5::ui {

OptimiserRunner::OptimiserRunner(std::function<void(int)> progressed,
                                 std::function<void(const Outcome&)> finished, QObject* parent)
    : QObject(parent), progressed_(std::move(progressed)), finished_(std::move(finished)) {}

OptimiserRunner::~OptimiserRunner() {
    // Once the worker has been joined, the answers it posted die with this object.
    stop_ = true;
    if (worker_.joinable()) worker_.join();
}

void OptimiserRunner::Start(Request request) {
    if (Running()) return;
    stop_ = false;
    postedPercent_ = -1;
    // The worker owns its copy of the draws, the settings and the candidates.
    worker_ = std::thread([this, request = std::move(request)] {
        Outcome outcome;
        try {
            outcome = std::make_shared<const Result<OptimiserResult>>(
                RunOptimiser(request.archive, request.settings, request.candidates, request.options,
                             stop_, [this](int done, int total) { Post(done, total); }));
        } catch (const std::exception& e) {
            // Out of memory on the way: the window hears of it like any refused run.
            outcome = std::make_shared<const Result<OptimiserResult>>(
                Fail({std::string(kMsgBacktestFailed) + e.what(), kTitleBacktest}));
        }
        QMetaObject::invokeMethod(
            this, [this, outcome] { Finish(outcome); }, Qt::QueuedConnection);
    });
}

void OptimiserRunner::Post(int done, int total) {
    const int percent = total > 0 ? static_cast<int>(100LL * done / total) : 100;
    if (postedPercent_.exchange(percent) == percent) return;
    QMetaObject::invokeMethod(
        this, [this, percent] { progressed_(percent); }, Qt::QueuedConnection);
}

void OptimiserRunner::Finish(const Outcome& outcome) {
    if (worker_.joinable()) worker_.join();
    finished_(outcome);
}

}  // namespace xuan5::ui
