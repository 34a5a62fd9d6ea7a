// main() to the first paint of the window, one start per repetition (ask for ten with
// --benchmark_repetitions=10 and read the median), beside a bare QWidget window started the same
// way. Each start is a fresh process on a copy of the shipped data folder whose draw archive holds
// 5000 dated draws of every region, as after "下载历史". The processes use the display of the
// environment (DISPLAY, or QT_QPA_PLATFORM=offscreen without one). XUAN5_BENCH_PROGRAM names
// another build of the program to start instead, to compare two builds in one run.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "archive/draw_archive.h"
#include "big_book.h"
#include "core/text.h"
#include "support/sample_history.h"

extern char** environ;

namespace xuan5 {
namespace {

namespace fs = std::filesystem;

// A data folder as a user has it after a deep download and a long use: 5000 archived draws of
// every region and, unless `withoutBooks`, a record book of 20,000 records and monitor rows in
// each region. Made once per run.
fs::path MakeStartupDataFolder(bool withoutBooks);

const fs::path& StartupDataFolder() {
    static const fs::path folder = MakeStartupDataFolder(false);
    return folder;
}

const fs::path& StartupDataFolderWithoutBooks() {
    static const fs::path folder = MakeStartupDataFolder(true);
    return folder;
}

fs::path MakeStartupDataFolder(bool withoutBooks) {
    {
        const fs::path dir =
            fs::temp_directory_path() /
            ("xuan5-bench-start-" + std::to_string(getpid()) + (withoutBooks ? "-nobooks" : ""));
        fs::remove_all(dir);
        fs::create_directories(dir);
        fs::copy(XUAN5_SHIPPED_DATA, dir / "data", fs::copy_options::recursive);
        Result<DrawArchive> archive = DrawArchive::Open(DrawArchivePath(dir / "data"));
        if (!archive) return fs::path();
        for (int region = 1; region <= 3; ++region) {
            std::vector<DatedDraw> draws;
            for (int i = 0; i < 5000; ++i) {
                const int day = i / 42;
                const DrawTable row =
                    testing::RandomHistory(static_cast<unsigned>(region * 7919 + i), 1 + i % 42);
                draws.push_back(
                    {"2025-" + PadNumber(1 + day / 28 % 12, 2) + "-" + PadNumber(1 + day % 28, 2),
                     row[1].period, row[1].numbers});
            }
            if (!archive->AddDraws(region, draws)) return fs::path();
            if (!withoutBooks && !bench::WriteBigBook(RecordsPath(dir / "data"), region, 20000)) {
                return fs::path();
            }
        }
        return dir / "data";
    }
}

// Runs `program` with the probe asked for and reads the milliseconds it prints; -1 on failure.
double FirstPaintMs(const std::vector<std::string>& args) {
    int out[2];
    if (pipe(out) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    setenv("XUAN5_FIRST_PAINT_PROBE", "1", 1);
    if (!std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    close(out[0]);
    if (spawned != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    double ms = -1;
    if (std::sscanf(text.c_str(), "first paint: %lf ms", &ms) != 1) return -1;
    return ms;
}

void Measure(benchmark::State& bench, const std::vector<std::string>& args) {
    for (auto _ : bench) {
        const double ms = FirstPaintMs(args);
        if (ms < 0) {
            bench.SkipWithError("the window did not report its first paint");
            return;
        }
        bench.SetIterationTime(ms / 1000.0);
    }
}

// The program (or XUAN5_BENCH_PROGRAM) started on `data`.
void MeasureProgram(benchmark::State& bench, const fs::path& data) {
    if (data.empty()) {
        bench.SkipWithError("the data folder could not be made");
        return;
    }
    const char* other = std::getenv("XUAN5_BENCH_PROGRAM");
    Measure(bench, {other ? other : XUAN5_PROGRAM_FILE, "--data", data.string()});
}

void BM_StartupFirstPaint(benchmark::State& bench) {
    MeasureProgram(bench, StartupDataFolder());
}
BENCHMARK(BM_StartupFirstPaint)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// The same start with no record book on disk: the difference is what restoring the shown
// region's book costs before the first paint.
void BM_StartupFirstPaintWithoutBooks(benchmark::State& bench) {
    MeasureProgram(bench, StartupDataFolderWithoutBooks());
}
BENCHMARK(BM_StartupFirstPaintWithoutBooks)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_StartupBareWindow(benchmark::State& bench) {
    Measure(bench, {XUAN5_BARE_WINDOW_FILE});
}
BENCHMARK(BM_StartupBareWindow)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// The bare window with one line of Chinese text: the fonts any window of text must load first.
void BM_StartupBareTextWindow(benchmark::State& bench) {
    Measure(bench, {XUAN5_BARE_WINDOW_FILE, "--text"});
}
BENCHMARK(BM_StartupBareTextWindow)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace xuan5
