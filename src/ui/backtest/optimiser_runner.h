// The optimiser's worker: runs "寻优" off the window's thread and hands its progress and its
// result back on the window's thread.
#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "backtest/optimiser.h"

namespace xuan5::ui {

class OptimiserRunner : public QObject {
    Q_OBJECT
  public:
    struct Request {
        std::vector<DatedDraw> archive;
        BacktestSettings settings;
        std::vector<OptimiserCandidate> candidates;
        OptimiserOptions options;
    };
    using Outcome = std::shared_ptr<const Result<OptimiserResult>>;

    // `progressed` gets the percentage done, once per step; `finished` the outcome. Both are
    // called on the thread that owns the runner.
    OptimiserRunner(std::function<void(int percent)> progressed,
                    std::function<void(const Outcome&)> finished, QObject* parent = nullptr);
    // A run still going is cancelled and waited for.
    ~OptimiserRunner() override;

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
    std::atomic<int> postedPercent_{-1};
};

}  // namespace xuan5::ui
