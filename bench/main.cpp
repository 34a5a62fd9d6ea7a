// Runs the benchmarks and, after the usual console table, prints the speed-up of every
// BM_<Operation> over its BM_<Operation>_Literal baseline (medians when repetitions are asked
// for, single runs otherwise), and for a benchmark with a `plain_s` counter the seconds the plain
// back-test needs for the same work beside its own. Other formats (--benchmark_format=json, csv)
// are printed as the library prints them, so their output stays machine-readable.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>

namespace {

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if (!median && !single) continue;
            // Pairs are matched on the function and its arguments; fixed iteration or
            // repetition counts of a slow baseline do not count as part of the name.
            std::string name = run.run_name.function_name;
            if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
            const double ns = run.GetAdjustedRealTime() * Multiplier(run.time_unit);
            const auto plain = run.counters.find("plain_s");
            if (plain != run.counters.end()) plain_[name] = {ns / 1e9, plain->second.value};
            const auto literal = name.find("_Literal");
            if (literal != std::string::npos) {
                name.erase(literal, 8);
                literal_[name] = ns;
            } else {
                fast_[name] = ns;
            }
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        // A run that stands for many plain runs prints what those would take beside it.
        for (const auto& [name, seconds] : plain_) {
            std::printf("\n%s: %.3f s; the plain back-test for the same work: %.1f s (%.0fx)\n",
                        name.c_str(), seconds.first, seconds.second,
                        seconds.first > 0 ? seconds.second / seconds.first : 0.0);
        }
        // The program's start beside the bare windows started the same way.
        const auto program = fast_.find("BM_StartupFirstPaint");
        for (const char* bare : {"BM_StartupBareWindow", "BM_StartupBareTextWindow"}) {
            const auto it = fast_.find(bare);
            if (program == fast_.end() || it == fast_.end() || it->second <= 0) continue;
            std::printf("\nfirst paint: %.1f ms, %s %.1f ms: %.2fx\n", program->second / 1e6, bare,
                        it->second / 1e6, program->second / it->second);
        }
        bool header = false;
        for (const auto& [name, fastNs] : fast_) {
            const auto it = literal_.find(name);
            if (it == literal_.end() || fastNs <= 0) continue;
            if (!header) {
                std::printf("\n%-45s %14s %14s %10s\n", "operation", "engine", "literal",
                            "speed-up");
                header = true;
            }
            std::printf("%-45s %12.3f us %12.3f us %9.1fx\n", name.c_str(), fastNs / 1e3,
                        it->second / 1e3, it->second / fastNs);
        }
    }

  private:
    static double Multiplier(benchmark::TimeUnit unit) {
        switch (unit) {
            case benchmark::kSecond:
                return 1e9;
            case benchmark::kMillisecond:
                return 1e6;
            case benchmark::kMicrosecond:
                return 1e3;
            default:
                return 1;
        }
    }
    std::map<std::string, double> fast_;
    std::map<std::string, double> literal_;
    std::map<std::string, std::pair<double, double>> plain_;  // seconds: the run, plain runs
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // The library's own choice for the asked format; it owns that reporter.
    benchmark::BenchmarkReporter* display = benchmark::CreateDefaultDisplayReporter();
    RatioReporter ratios;
    if (dynamic_cast<benchmark::ConsoleReporter*>(display) != nullptr) display = &ratios;
    benchmark::RunSpecifiedBenchmarks(display);
    benchmark::Shutdown();
    return 0;
}
