// The back-test's worker: runs a back-test, or "多次" over several seeds, off the window's thread.
#pragma once

#include <memory>
#include <vector>

#include "backtest/walk_forward.h"
#include "ui/backtest/off_thread_runner.h"

namespace xuan5::ui {

// How a back-test ended: exactly one of the two is set.
struct BacktestOutcome {
    std::shared_ptr<const Result<BacktestResult>> single;
    std::shared_ptr<const Result<SeedsResult>> seeds;
};

class BacktestRunner : public OffThreadRunner<BacktestOutcome> {
  public:
    struct Request {
        std::vector<DatedDraw> archive;
        BacktestSettings settings;
        BacktestOptions options;
        int seedCount = 0;  // "多次" with this many seeds; 0 for a single run
    };
    using Outcome = BacktestOutcome;
    using OffThreadRunner::OffThreadRunner;

    // Ignored while a run is going.
    void Start(Request request);
};

}  // namespace xuan5::ui
