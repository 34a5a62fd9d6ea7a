// The optimiser's workers: run "寻优", and its search on fair archives, off the window's thread.
#pragma once

#include <memory>
#include <vector>

#include "backtest/null_search.h"
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

// "随机对照": the run's search again on fair archives.
class NullRunner
    : public OffThreadRunner<std::shared_ptr<const Result<std::vector<SearchFigures>>>> {
  public:
    using Outcome = std::shared_ptr<const Result<std::vector<SearchFigures>>>;
    using OffThreadRunner::OffThreadRunner;

    // `runs` fair archives of the request's; ignored while a run is going.
    void Start(OptimiserRunner::Request request, int runs);
};

}  // namespace xuan5::ui
