// "开始计划" as the window runs it (mode one, five instances, the shipped lines, 120 draws, the
// plan panel on screen), beside the engine alone on the same lines and draws, so that the cost
// of the window layer shows: reloading the store, reading the controls, printing the progress,
// processing events between instances and writing the boxes and the log.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QByteArray>
#include <QTemporaryDir>
#include <chrono>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "plans/plan_issue.h"
#include "plans/plan_modes.h"
#include "records/record_book.h"
#include "store/curve_store.h"
#include "support/sample_history.h"
#include "ui/common/app_context.h"
#include "ui/message_recorder.h"
#include "ui/monitor/monitor_panel.h"
#include "ui/plan/plan_panel.h"
#include "ui/shell/feed_controller.h"
#include "ui/shell/fmain.h"

namespace xuan5::ui {
namespace {

// One application for the whole run, on the offscreen platform so no screen is needed. It is
// never destroyed: the widgets of the fixture outlive every benchmark.
void EnsureApplication() {
    static int argc = 1;
    static char name[] = "xuan5-bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    (void)app;
}

// A started window on a copy of the shipped data folder with 120 draws applied through the
// update step and the plan panel showing.
struct WindowFixture {
    QTemporaryDir dir;
    MessageRecorder messages;
    std::unique_ptr<Fmain> window;
    bool ready = false;

    WindowFixture() {
        namespace fs = std::filesystem;
        const fs::path data = fs::path(dir.path().toStdString()) / "data";
        std::error_code error;
        fs::copy(XUAN5_SHIPPED_DATA, data, fs::copy_options::recursive, error);
        if (error) return;
        FmainOptions options;
        options.dataDir = QString::fromStdString(data.string());
        window = std::make_unique<Fmain>(options);
        if (!window->ApplyStartupDefaults()) return;
        window->BuildBets();
        // Every region with its draws, so that a cycle judges a new draw in each.
        for (int region = 1; region <= 3; ++region) {
            window->Tables().IncomingDraws(region) =
                testing::RandomHistory(static_cast<unsigned>(2026 + region), 84);
            window->Feed().ApplyStaged(region);
        }
        window->resize(1366, 768);
        window->show();
        window->ShowPanel(2);
        QCoreApplication::processEvents();
        ready = window->Tables().UpdateCount() == 1 && messages.messages().empty();
    }
};

WindowFixture& Window() {
    EnsureApplication();
    static WindowFixture fixture;
    return fixture;
}

void BM_StartPlan(benchmark::State& bench) {
    WindowFixture& f = Window();
    if (!f.ready) {
        bench.SkipWithError("the window did not start on the shipped data folder");
        return;
    }
    PlanPanel& plan = *f.window->Panels().plan;
    f.window->Context().services.rng.seed(7);
    for (auto _ : bench) plan.StartPlan();
    if (!f.messages.messages().empty() || f.window->Tables().InstanceBases().size() != 6)
        bench.SkipWithError("the plan did not run cleanly");
}
BENCHMARK(BM_StartPlan)->Unit(benchmark::kMicrosecond);

// The engine alone, with the inputs that the window reads from its controls, on the same lines
// and draws.
void BM_StartPlanEngineOnly(benchmark::State& bench) {
    WindowFixture& f = Window();
    if (!f.ready) {
        bench.SkipWithError("the window did not start on the shipped data folder");
        return;
    }
    const PlanModeOneInput input = f.window->Panels().plan->ModeOneInput();
    const Session& session = f.window->Tables();
    const Result<LineTexts> saved = ReadCurveStoreFile(f.window->Context().services.StoreFile());
    if (!saved) {
        bench.SkipWithError("the shipped curve store cannot be read");
        return;
    }
    std::mt19937_64 rng(7);
    for (auto _ : bench)
        benchmark::DoNotOptimize(RunPlanModeOne(input, *saved, session.PlanInputs(), rng));
}
BENCHMARK(BM_StartPlanEngineOnly)->Unit(benchmark::kMicrosecond);

// Stages the next period on top of a region's history, as the feed does every few minutes.
void StageNextDraw(Session& state, int region, std::mt19937_64& draws) {
    const DrawTable& history = state.Book(region).History();
    const int period = std::stoi(history[1].period) % 999 + 1;
    DrawTable next = history;
    for (int r = kHistoryRows; r > 1; --r) next[r] = next[r - 1];
    next[1] = testing::RandomHistory(draws(), period)[1];
    state.IncomingDraws(region) = next;
}

// A new draw as the running window handles it: the staged table judged by the region's book
// (the monitor row, the plan record settled), plan mode one with five instances, the book saved
// in one transaction, the sort list refreshed, and the monitor panel on screen repainted.
void BM_AfterDrawPipeline(benchmark::State& bench) {
    WindowFixture& f = Window();
    if (!f.ready) {
        bench.SkipWithError("the window did not start on the shipped data folder");
        return;
    }
    Fmain& window = *f.window;
    window.Context().services.rng.seed(11);
    window.ShowPanel(1);
    QCoreApplication::processEvents();
    std::mt19937_64 draws(3);
    const int runsBefore = window.PipelineRuns();
    for (auto _ : bench) {
        bench.PauseTiming();
        StageNextDraw(window.Tables(), 1, draws);
        bench.ResumeTiming();
        window.ApplyDraws();
        // The visible panel painted, with whatever else the update changed, as the event loop
        // would paint it.
        window.Panels().monitor->update();
        QCoreApplication::processEvents();
    }
    if (window.PipelineRuns() - runsBefore != static_cast<int>(bench.iterations()) ||
        !f.messages.messages().empty())
        bench.SkipWithError("the pipeline did not run once per draw");
}
BENCHMARK(BM_AfterDrawPipeline)->Unit(benchmark::kMillisecond);

// One countdown cycle with a new draw in each of the three regions: the shown one as above, the
// two others judged, planned and saved in the background without painting.
void BM_WatchCycleThreeRegions(benchmark::State& bench) {
    WindowFixture& f = Window();
    if (!f.ready) {
        bench.SkipWithError("the window did not start on the shipped data folder");
        return;
    }
    Fmain& window = *f.window;
    window.Context().services.rng.seed(13);
    window.ShowPanel(1);
    QCoreApplication::processEvents();
    std::mt19937_64 draws(5);
    const std::size_t rowsBefore = window.Tables().Book(3).State().monitor.size();
    double backgroundSeconds = 0;
    for (auto _ : bench) {
        bench.PauseTiming();
        for (int region = 1; region <= 3; ++region) StageNextDraw(window.Tables(), region, draws);
        bench.ResumeTiming();
        window.Feed().ApplyStaged(1);
        const auto background = std::chrono::steady_clock::now();
        for (int region = 2; region <= 3; ++region) window.Feed().ApplyStaged(region);
        backgroundSeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - background).count();
        window.Panels().monitor->update();
        QCoreApplication::processEvents();
    }
    // What one background region costs, to set beside BM_RegionEngineWork.
    bench.counters["background_region_ms"] =
        benchmark::Counter(backgroundSeconds * 1000 / 2, benchmark::Counter::kAvgIterations);
    const std::size_t rows = window.Tables().Book(3).State().monitor.size();
    if ((rows - rowsBefore != static_cast<std::size_t>(bench.iterations()) &&
         rows != 2 * kHistoryRows) ||
        !f.messages.messages().empty())
        bench.SkipWithError("a background region was not judged once per draw");
}
BENCHMARK(BM_WatchCycleThreeRegions)->Unit(benchmark::kMillisecond);

// The engine's share of one region's new draw, without the window: the book judges the table,
// plan mode one with five instances and the backup join make the next plan, the book saves.
void BM_RegionEngineWork(benchmark::State& bench) {
    WindowFixture& f = Window();
    if (!f.ready) {
        bench.SkipWithError("the window did not start on the shipped data folder");
        return;
    }
    Session& state = f.window->Tables();
    const PlanSettings settings = f.window->Panels().plan->Settings();
    const Result<LineTexts> saved = ReadCurveStoreFile(f.window->Context().services.StoreFile());
    if (!saved) {
        bench.SkipWithError("the shipped curve store cannot be read");
        return;
    }
    std::mt19937_64 rng(17);
    std::mt19937_64 draws(19);
    const TrendLineTable noLine{};
    const ResultWords words = f.window->Panels().plan->ResultWords();
    for (auto _ : bench) {
        bench.PauseTiming();
        StageNextDraw(state, 2, draws);
        bench.ResumeTiming();
        RecordBook& book = state.Book(2);
        book.ApplyTable(state.IncomingDraws(2), words);
        const PlanTables tables{book.History(), book.Keys(), book.Bases().lineBases, noLine,
                                book.Log()};
        Result<IssuedPlan> plan = MakePlan(settings, *saved, tables, rng);
        if (plan) IssueMadePlan(book, *plan, settings);
        benchmark::DoNotOptimize(state.Save(2));
    }
}
BENCHMARK(BM_RegionEngineWork)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace xuan5::ui
