// A record book as years of use leave it: many settled records and monitor rows, saved once into
// a records.db, for the benchmarks that open books.
#pragma once

#include <filesystem>
#include <string>

#include "core/text.h"
#include "records/book_store.h"
#include "support/sample_history.h"

namespace xuan5::bench {

// Writes `records` settled records and as many monitor rows into region `region` of `file`;
// false when it could not.
inline bool WriteBigBook(const std::filesystem::path& file, int region, int records) {
    Result<BookStore> store = BookStore::Open(file);
    if (!store) return false;
    BookState state;
    state.region = region;
    state.history = testing::RandomHistory(static_cast<unsigned>(region), 500);
    BookChanges changes;
    changes.history = changes.plan = true;
    state.log.PlanRecords.resize(static_cast<std::size_t>(records));
    for (int i = 0; i < records; ++i) {
        PlanRecord& record = state.log.PlanRecords[static_cast<std::size_t>(i)];
        record.period = PadNumber(i % 42 + 1, 3);
        record.text =
            record.period + "期，开：03,07,01,09,11-230注-" + (i % 3 ? "一会中" : "中中中");
        record.state = RecordState::Settled;
        record.hit = i % 3 == 0;
        record.tally = "15-" + std::to_string(i % 16);
        record.date = "2025-01-01";
        record.after = {PadNumber(i % 42, 3), "01,02,03,04,05", "2025-01-01"};
        changes.records.insert(i);
        MonitorRow row;
        row.seq = i + 1;
        row.date = record.date;
        row.period = record.period;
        for (int c = 0; c < 15; ++c) row.marks[static_cast<std::size_t>(c)] = (i + c) % 2;
        state.monitor.push_back(row);
        changes.monitorRows.insert(row.seq);
    }
    state.log.PlanRecordCount = records - 1;
    state.nextMonitorSeq = records + 1;
    const RecordBook book(std::move(state));
    return static_cast<bool>(store->Save(book, changes));
}

}  // namespace xuan5::bench
