// Opening a record book that years of use have filled: 100,000 settled records and 100,000
// monitor rows, read as the window reads the shown region's book before its first paint (the
// newest records and rows; the file keeps the rest).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "big_book.h"

namespace xuan5 {
namespace {

void BM_OpenRecordBook(benchmark::State& bench) {
    namespace fs = std::filesystem;
    const fs::path dir =
        fs::temp_directory_path() / ("xuan5-bench-book-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path file = dir / kRecordsFileName;
    if (!bench::WriteBigBook(file, 1, 100000)) {
        bench.SkipWithError("the book could not be written");
        return;
    }
    int records = 0;
    for (auto _ : bench) {
        Result<BookStore> store = BookStore::Open(file);
        Result<RecordBook> book = store ? store->Load(1) : Result<RecordBook>(store.failure());
        if (!book) {
            bench.SkipWithError("the book could not be read");
            break;
        }
        records = book->State().logOffset + book->Log().PlanRecordCount + 1;
        benchmark::DoNotOptimize(book->MonitorView());
    }
    if (records != 100000) bench.SkipWithError("the book did not come back whole");
    fs::remove_all(dir);
}
BENCHMARK(BM_OpenRecordBook)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace xuan5
