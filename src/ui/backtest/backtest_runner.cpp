#include "ui/backtest/backtest_runner.h"

namespace xuan5::ui {

BacktestRunner::BacktestRunner(std::function<void(int)> progressed,
                               std::function<void(const Outcome&)> finished, QObject* parent)
    : QObject(parent), progressed_(std::move(progressed)), finished_(std::move(finished)) {}

BacktestRunner::~BacktestRunner() {
    // The worker reads nothing of the window but posts to this object; once it has been joined,
    // the answers it posted die with the object.
    stop_ = true;
    if (worker_.joinable()) worker_.join();
}

void BacktestRunner::Start(Request request) {
    if (Running()) return;
    stop_ = false;
    postedPercent_ = -1;
    // The worker owns its copy of the draws and the settings and reports through queued calls.
    worker_ = std::thread([this, request = std::move(request)] {
        const BacktestProgressFn progress = [this](int done, int total) { Post(done, total); };
        Outcome outcome;
        try {
            if (request.seedCount > 0) {
                outcome.seeds = std::make_shared<const Result<SeedsResult>>(
                    RunBacktestSeeds(request.archive, request.settings, request.options,
                                     request.seedCount, stop_, progress));
            } else {
                outcome.single = std::make_shared<const Result<BacktestResult>>(RunBacktest(
                    request.archive, request.settings, request.options, stop_, progress));
            }
        } catch (const std::exception& e) {
            // Out of memory on the way: the window hears of it like any refused run.
            outcome.seeds.reset();
            outcome.single = std::make_shared<const Result<BacktestResult>>(
                Fail({std::string(kMsgBacktestFailed) + e.what(), kTitleBacktest}));
        }
        QMetaObject::invokeMethod(
            this, [this, outcome] { Finish(outcome); }, Qt::QueuedConnection);
    });
}

void BacktestRunner::Post(int done, int total) {
    const int percent = total > 0 ? static_cast<int>(100LL * done / total) : 100;
    if (postedPercent_.exchange(percent) == percent) return;
    QMetaObject::invokeMethod(
        this, [this, percent] { progressed_(percent); }, Qt::QueuedConnection);
}

void BacktestRunner::Finish(const Outcome& outcome) {
    if (worker_.joinable()) worker_.join();
    finished_(outcome);
}

}  // namespace xuan5::ui
