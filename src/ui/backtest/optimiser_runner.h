// The optimiser's worker: runs "寻优" off the window's thread.
#pragma once

#include <memory>
#include <vector>

#include "backtest/optimiser.h"
#include "ui/backtest/off_thread_runner.h"

namespace xuan5::ui {

class OptimiserRunner : public OffThreadRunner<std::shared_ptr<const Result<OptimiserResult>>> {
  public:
    struct Request {
        std::vector<DatedDraw> archive;
        BacktestSettings settings;
        std::vector<OptimiserCandidate> candidates;
        OptimiserOptions options;
    };
    using Outcome = std::shared_ptr<const Result<OptimiserResult>>;
    using OffThreadRunner::OffThreadRunner;

    // Ignored while a run is going.
    void Start(Request request);
};

}  // namespace xuan5::ui
