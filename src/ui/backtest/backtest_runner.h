// The back-test's worker: runs a back-test off the window's thread and hands its progress and
// its result back on the window's thread.
#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "backtest/walk_forward.h"

namespace xuan5::ui {

class BacktestRunner : public QObject {
    Q_OBJECT
  public:
    struct Request {
        std::vector<DatedDraw> archive;
        BacktestSettings settings;
        BacktestOptions options;
        int seedCount = 0;  // "多次" with this many seeds; 0 for a single run
    };
    // How a run ended: exactly one of the two is set.
    struct Outcome {
        std::shared_ptr<const Result<BacktestResult>> single;
        std::shared_ptr<const Result<SeedsResult>> seeds;
    };

    // `progressed` gets the percentage done, once per step; `finished` the outcome. Both are
    // called on the thread that owns the runner.
    BacktestRunner(std::function<void(int percent)> progressed,
                   std::function<void(const Outcome&)> finished, QObject* parent = nullptr);
    // A run still going is cancelled and waited for.
    ~BacktestRunner() override;

    bool Running() const { return worker_.joinable(); }
    // Ignored while a run is going.
    void Start(Request request);
    void Cancel() { stop_ = true; }

  private:
    void Post(int done, int total);
    void Finish(const Outcome& outcome);

    std::function<void(int)> progressed_;
    std::function<void(const Outcome&)> finished_;
    std::thread worker_;
    std::atomic<bool> stop_{false};
    // The last percentage posted, so the window gets one update per step.
    std::atomic<int> postedPercent_{-1};
};

}  // namespace xuan5::ui
