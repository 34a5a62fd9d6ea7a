#include "archive/draw_archive.h"

#include <algorithm>
#include <utility>

#include "protocol/draw_csv.h"
#include "protocol/endpoints.h"

namespace xuan5 {
namespace {

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS draws("
    " region INTEGER NOT NULL,"
    " date TEXT NOT NULL,"
    " period TEXT NOT NULL,"
    " numbers TEXT NOT NULL,"
    " PRIMARY KEY(region, date, period)) WITHOUT ROWID";

bool IsArchivable(const DatedDraw& draw) {
    const auto day = ParseDrawDate(draw.date);
    return day && DrawDateText(*day) == draw.date && IsValidPeriod(draw.period) &&
           IsValidDrawNumbers(draw.numbers);
}

}  // namespace

std::filesystem::path DrawArchivePath(const std::filesystem::path& dataDir) {
    return dataDir / kArchiveFileName;
}

Result<DrawArchive> DrawArchive::Open(const std::filesystem::path& file) {
    Result<SqliteDb> db = SqliteDb::OpenWithSchema(file, kSchema);
    if (db) return DrawArchive(file, std::move(*db));
    const std::string why = db.messages().front().text;
    return Fail({"开奖存档无法打开：" + file.string() + "（" + why + "）", kTitleErrorNotice,
                 Message::Kind::Io});
}

Failure DrawArchive::Fault(const std::string& what) const {
    return {{{what + "：" + file_.string() + "（" + db_.Error() + "）", kTitleErrorNotice,
              Message::Kind::Io}}};
}

Result<int> DrawArchive::AddDraws(int region, const std::vector<DatedDraw>& draws) {
    if (!IsRegion(region)) {
        return Fail({"开奖存档：地区编号有误 " + std::to_string(region), kTitleErrorNotice});
    }
    for (const DatedDraw& draw : draws) {
        if (!IsArchivable(draw)) {
            return Fail(
                {"开奖存档：开奖数据有误 " + draw.date + " " + draw.period + " " + draw.numbers,
                 kTitleErrorNotice, Message::Kind::Damaged});
        }
    }
    SqliteTransaction transaction(db_);
    if (!transaction.Begun()) return Fault("开奖存档无法写入");
    int changed = 0;
    bool ok = true;
    {
        SqliteStatement insert(
            db_,
            "INSERT INTO draws(region, date, period, numbers) VALUES(?1, ?2, ?3, ?4) "
            "ON CONFLICT(region, date, period) DO UPDATE SET numbers = excluded.numbers "
            "WHERE numbers <> excluded.numbers");
        ok = static_cast<bool>(insert);
        for (std::size_t i = 0; ok && i < draws.size(); ++i) {
            insert.Reset();
            insert.Bind(1, std::int64_t{region});
            insert.Bind(2, draws[i].date);
            insert.Bind(3, draws[i].period);
            insert.Bind(4, draws[i].numbers);
            ok = static_cast<bool>(insert.Run());
            if (ok) changed += db_.Changes();
        }
    }
    // The reason is read before the rollback clears it.
    if (!ok || !transaction.Commit()) return Fault("开奖存档无法写入");
    return changed;
}

Result<int> DrawArchive::CountDraws(int region) const {
    SqliteStatement count(db_, "SELECT COUNT(*) FROM draws WHERE region = ?1");
    if (!count) return Fault("开奖存档无法读取");
    count.Bind(1, std::int64_t{region});
    if (!count.Step()) return Fault("开奖存档无法读取");
    return static_cast<int>(count.Int(0));
}

Result<std::vector<DatedDraw>> DrawArchive::Select(int region, int limit, bool newestFirst) const {
    SqliteStatement select(db_, newestFirst
                                    ? "SELECT date, period, numbers FROM draws WHERE region = ?1 "
                                      "ORDER BY date DESC, period DESC LIMIT ?2"
                                    : "SELECT date, period, numbers FROM draws WHERE region = ?1 "
                                      "ORDER BY date, period LIMIT ?2");
    if (!select) return Fault("开奖存档无法读取");
    select.Bind(1, std::int64_t{region});
    select.Bind(2, std::int64_t{limit});
    std::vector<DatedDraw> draws;
    while (select.Step()) draws.push_back({select.Text(0), select.Text(1), select.Text(2)});
    if (!select.Done()) return Fault("开奖存档无法读取");
    return draws;
}

Result<std::vector<DatedDraw>> DrawArchive::DrawsAfter(int region, const std::string& date,
                                                       const std::string& period, int limit) const {
    SqliteStatement select(db_,
                           "SELECT date, period, numbers FROM draws WHERE region = ?1 AND "
                           "(date > ?2 OR (date = ?2 AND period > ?3)) ORDER BY date, period "
                           "LIMIT ?4");
    if (!select) return Fault("开奖存档无法读取");
    select.Bind(1, std::int64_t{region});
    select.Bind(2, date);
    select.Bind(3, period);
    select.Bind(4, std::int64_t{limit});
    std::vector<DatedDraw> draws;
    while (select.Step()) draws.push_back({select.Text(0), select.Text(1), select.Text(2)});
    if (!select.Done()) return Fault("开奖存档无法读取");
    return draws;
}

Result<std::vector<DatedDraw>> DrawArchive::NewestDraws(int region, int count) const {
    if (count <= 0) return std::vector<DatedDraw>{};
    Result<std::vector<DatedDraw>> draws = Select(region, count, true);
    if (draws) std::reverse(draws->begin(), draws->end());
    return draws;
}

Result<std::vector<DatedDraw>> DrawArchive::AllDraws(int region) const {
    return Select(region, -1, false);
}

Result<std::optional<DrawTable>> DrawArchive::StagedTable(int region) const {
    const Result<std::vector<DatedDraw>> newest = Select(region, kHistoryRows, true);
    if (!newest) return newest.failure();
    if (newest->size() < static_cast<std::size_t>(kHistoryRows)) {
        return std::optional<DrawTable>();
    }
    DrawTable table{};
    for (int r = 1; r <= kHistoryRows; ++r) {
        const DatedDraw& draw = (*newest)[static_cast<std::size_t>(r - 1)];
        table[r] = {draw.period, draw.numbers, draw.date};
    }
    return std::optional<DrawTable>(table);
}

Result<std::string> DrawArchive::ExportCsv(int region, std::string_view regionName) const {
    const Result<std::vector<DatedDraw>> draws = AllDraws(region);
    if (!draws) return draws.failure();
    std::vector<std::string> notes;
    if (!regionName.empty() && !draws->empty()) {
        notes.push_back(SpanNote(regionName, PeriodLabel(draws->front()),
                                 PeriodLabel(draws->back()), draws->size()));
    }
    return DrawCsvText(*draws, notes);
}

}  // namespace xuan5
