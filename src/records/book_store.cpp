#include "records/book_store.h"

#include <algorithm>
#include <cstring>

#include "core/bets.h"
#include "core/text.h"
#include "protocol/endpoints.h"
#include "protocol/regions.h"

namespace xuan5 {
namespace {

// Every table keeps to the regions' numbers.
const std::string kSchema =
    "CREATE TABLE IF NOT EXISTS books("
    " region INTEGER PRIMARY KEY " +
    RegionCheckSql("region") +
    ","
    " history TEXT NOT NULL,"
    " bases_id INTEGER NOT NULL,"
    " bases_after TEXT NOT NULL,"
    " line_bases BLOB NOT NULL,"
    " instance_bases BLOB NOT NULL,"
    " plan TEXT NOT NULL,"
    " record_count INTEGER NOT NULL,"
    " next_monitor_seq INTEGER NOT NULL);"
    "CREATE TABLE IF NOT EXISTS records("
    " region INTEGER NOT NULL " +
    RegionCheckSql("region") +
    ","
    " slot INTEGER NOT NULL,"
    " text TEXT NOT NULL,"
    " state INTEGER NOT NULL,"
    " period TEXT NOT NULL,"
    " date TEXT NOT NULL,"
    " tally TEXT NOT NULL,"
    " hit INTEGER NOT NULL,"
    " after TEXT NOT NULL,"
    " basis BLOB,"
    " PRIMARY KEY(region, slot)) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS monitor("
    " region INTEGER NOT NULL " +
    RegionCheckSql("region") +
    ","
    " seq INTEGER NOT NULL,"
    " date TEXT NOT NULL,"
    " period TEXT NOT NULL,"
    " marks TEXT NOT NULL,"
    " bases_id INTEGER NOT NULL,"
    " PRIMARY KEY(region, seq)) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS bases("
    " region INTEGER NOT NULL " +
    RegionCheckSql("region") +
    ","
    " id INTEGER NOT NULL,"
    " line_bases BLOB NOT NULL,"
    " PRIMARY KEY(region, id)) WITHOUT ROWID;";

// The columns the program reads, for the start-up check.
const std::vector<std::string> kProbes = {
    "SELECT region, history, bases_id, bases_after, line_bases, instance_bases, plan, "
    "record_count, next_monitor_seq FROM books LIMIT 0",
    "SELECT region, slot, text, state, period, date, tally, hit, after, basis FROM records LIMIT 0",
    "SELECT region, seq, date, period, marks, bases_id FROM monitor LIMIT 0",
    "SELECT region, id, line_bases FROM bases LIMIT 0",
};

// Records older than this many slots behind the newest keep their texts but no longer what they
// were judged with: a correction only reaches the feed's table.
constexpr int kBasisKeptSlots = 2 * kHistoryRows;

// Fields joined by a unit separator, which no draw, date or plan text holds.
constexpr std::string_view kField = "\x1f";
constexpr std::string_view kRow = "\x1e";

std::string DrawText(const DrawRecord& draw) {
    return JoinText({draw.period, draw.numbers, draw.date}, kField);
}

DrawRecord DrawFromText(std::string_view text) {
    // Read for every record of a long log: fields are cut out in place.
    DrawRecord draw;
    std::string* fields[] = {&draw.period, &draw.numbers, &draw.date};
    for (std::string* field : fields) {
        const std::size_t end = std::min(text.find(kField), text.size());
        field->assign(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return draw;
}

std::string HistoryText(const DrawTable& history) {
    std::vector<std::string> rows;
    for (int r = 1; r <= kHistoryRows; ++r) rows.push_back(DrawText(history[r]));
    return JoinText(rows, kRow);
}

DrawTable HistoryFromText(const std::string& text) {
    DrawTable history{};
    const std::vector<std::string_view> rows = SplitText(text, kRow);
    for (int r = 1; r <= kHistoryRows && static_cast<std::size_t>(r) <= rows.size(); ++r)
        history[r] = DrawFromText(rows[static_cast<std::size_t>(r - 1)]);
    return history;
}

// Bases as bet sets, 64 bytes each: a fraction of their texts, which render back exactly.
void AppendSet(std::string& bytes, const BetSet& set) {
    for (std::uint64_t word : set.words) {
        for (int b = 0; b < 8; ++b) bytes.push_back(static_cast<char>((word >> (8 * b)) & 0xFF));
    }
}

BetSet SetAt(const std::string& bytes, std::size_t index) {
    BetSet set;
    for (std::size_t w = 0; w < set.words.size(); ++w) {
        std::uint64_t word = 0;
        for (int b = 0; b < 8; ++b) {
            const std::size_t at = index * 64 + w * 8 + static_cast<std::size_t>(b);
            if (at < bytes.size())
                word |= std::uint64_t{static_cast<unsigned char>(bytes[at])} << (8 * b);
        }
        set.words[w] = word;
    }
    return set;
}

std::size_t SetCount(const std::string& bytes) {
    return bytes.size() / 64;
}

std::string TextsBlob(const std::vector<std::string>& texts) {
    std::string bytes;
    for (const std::string& text : texts) AppendSet(bytes, BetSetFromText(text));
    return bytes;
}

std::string LinesBlob(const LineTexts& lines) {
    return TextsBlob(std::vector<std::string>(lines.begin(), lines.end()));
}

LineTexts LinesFromBlob(const std::string& bytes) {
    LineTexts lines{};
    for (int i = 0; i < kLineCount && static_cast<std::size_t>(i) < SetCount(bytes); ++i)
        lines[i] = RenderBetSet(SetAt(bytes, static_cast<std::size_t>(i)), " ");
    return lines;
}

std::vector<std::string> InstancesFromBlob(const std::string& bytes) {
    std::vector<std::string> instances;
    for (std::size_t i = 0; i < SetCount(bytes); ++i) {
        // Element 0 stands empty, as plan mode one leaves it.
        instances.push_back(i == 0 ? std::string() : RenderBetSet(SetAt(bytes, i), kCrLf));
    }
    return instances;
}

// A record's basis: its size, mode and tally count as text, then the plan and the tallied bases
// as sets.
std::string BasisBlob(const RecordBasis& basis) {
    std::string head = JoinText({basis.size, basis.modeTwo ? "1" : "0", basis.tallyCount}, kField);
    std::string bytes = std::to_string(head.size()) + std::string(kField) + head;
    AppendSet(bytes, basis.plan);
    for (const std::string& base : basis.tallied) AppendSet(bytes, BetSetFromText(base));
    return bytes;
}

std::shared_ptr<const RecordBasis> BasisFromBlob(const std::string& bytes) {
    const std::size_t mark = bytes.find(kField);
    if (mark == std::string::npos || !AllDigits(std::string_view(bytes).substr(0, mark)))
        return nullptr;
    const std::size_t length = static_cast<std::size_t>(DigitsValue(bytes.substr(0, mark)));
    if (mark + 1 + length > bytes.size()) return nullptr;
    const std::string headText = bytes.substr(mark + 1, length);
    const std::vector<std::string_view> head = SplitText(headText, kField);
    if (head.size() != 3) return nullptr;
    const std::string sets = bytes.substr(mark + 1 + length);
    if (SetCount(sets) == 0) return nullptr;
    auto basis = std::make_shared<RecordBasis>();
    basis->size = std::string(head[0]);
    basis->modeTwo = head[1] == "1";
    basis->tallyCount = std::string(head[2]);
    basis->plan = SetAt(sets, 0);
    for (std::size_t i = 1; i < SetCount(sets); ++i)
        basis->tallied.push_back(RenderBetSet(SetAt(sets, i), " "));
    return basis;
}

std::string MarksText(const std::array<std::int8_t, kLineCount>& marks) {
    std::string text;
    for (std::int8_t mark : marks) text.push_back(mark == kMarkNone ? '-' : mark ? '1' : '0');
    return text;
}

std::array<std::int8_t, kLineCount> MarksFromText(const std::string& text) {
    std::array<std::int8_t, kLineCount> marks{};
    for (int c = 0; c < kLineCount; ++c) {
        const char mark = static_cast<std::size_t>(c) < text.size() ? text[c] : '-';
        marks[c] = mark == '-' ? kMarkNone : mark == '1' ? 1 : 0;
    }
    return marks;
}

std::string PlanText(const ShownPlan& plan) {
    return JoinText({plan.base, plan.count, plan.backupBase, plan.backupCount}, kField);
}

ShownPlan PlanFromText(const std::string& text) {
    const std::vector<std::string_view> f = SplitText(text, kField);
    ShownPlan plan;
    if (f.size() == 4)
        plan = {std::string(f[0]), std::string(f[1]), std::string(f[2]), std::string(f[3])};
    return plan;
}

}  // namespace

std::filesystem::path RecordsPath(const std::filesystem::path& dataDir) {
    return dataDir / kRecordsFileName;
}

Result<BookStore> BookStore::Open(const std::filesystem::path& file) {
    Result<SqliteDb> db = SqliteDb::OpenWithSchema(file, kSchema.c_str());
    Status ready = db ? Status(Ok()) : Status(Failure{db.messages()});
    // A write-ahead log commits a table without waiting for the disk: a killed process still
    // loses no committed table and never leaves half of one.
    if (ready) ready = db->Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL");
    if (ready) return BookStore(file, std::move(*db));
    const std::string why = ready.messages().front().text;
    return Fail({"计划记录无法打开：" + file.string() + "（" + why + "）", kTitleErrorNotice,
                 Message::Kind::Io});
}

Failure BookStore::Fault(const std::string& what) const {
    return Fail({what + "：" + file_.string() + "（" + db_.Error() + "）", kTitleErrorNotice,
                 Message::Kind::Io});
}

Result<RecordBook> BookStore::Load(int region) const {
    BookState state;
    state.region = region;
    SqliteStatement book(db_,
                         "SELECT history, bases_id, bases_after, line_bases, instance_bases, plan, "
                         "record_count, next_monitor_seq FROM books WHERE region = ?1");
    if (!book) return Fault("计划记录无法读取");
    book.Bind(1, std::int64_t{region});
    if (!book.Step()) {
        if (!book.Done()) return Fault("计划记录无法读取");
        return RecordBook(region);
    }
    state.history = HistoryFromText(book.Text(0));
    state.bases.id = book.Int(1);
    state.bases.after = DrawFromText(book.Text(2));
    state.bases.lineBases = LinesFromBlob(book.Blob(3));
    state.bases.instanceBases = InstancesFromBlob(book.Blob(4));
    state.plan = PlanFromText(book.Text(5));
    // The newest records come into memory; the older ones stay in the file.
    const auto count = static_cast<std::int32_t>(book.Int(6));
    state.logOffset = std::max(0, count - (kLogKeptInMemory - 1));
    state.log.PlanRecordCount = count - state.logOffset;
    state.nextMonitorSeq = book.Int(7);

    SqliteStatement records(db_,
                            "SELECT slot, text, state, period, date, tally, hit, after, basis "
                            "FROM records WHERE region = ?1 AND slot >= ?2 ORDER BY slot");
    if (!records) return Fault("计划记录无法读取");
    records.Bind(1, std::int64_t{region});
    records.Bind(2, std::int64_t{state.logOffset});
    std::vector<PlanRecord>& log = state.log.PlanRecords;
    while (records.Step()) {
        const auto slot = static_cast<std::size_t>(records.Int(0) - state.logOffset);
        if (slot >= log.size()) log.resize(slot + 1);
        PlanRecord& record = log[slot];
        record.text = records.Text(1);
        record.state = static_cast<RecordState>(std::clamp<std::int64_t>(records.Int(2), 0, 2));
        record.period = records.Text(3);
        record.date = records.Text(4);
        record.tally = records.Text(5);
        record.hit = records.Int(6) != 0;
        record.after = DrawFromText(records.View(7));
        record.region = region;
        if (!records.IsNull(8)) record.basis = BasisFromBlob(records.Blob(8));
    }
    if (!records.Done()) return Fault("计划记录无法读取");

    // The newest rows of the monitor; the store keeps the rest.
    SqliteStatement monitor(db_,
                            "SELECT seq, date, period, marks, bases_id FROM monitor "
                            "WHERE region = ?1 ORDER BY seq DESC LIMIT ?2");
    if (!monitor) return Fault("计划记录无法读取");
    monitor.Bind(1, std::int64_t{region});
    monitor.Bind(2, static_cast<std::int64_t>(kMonitorKept));
    while (monitor.Step()) {
        state.monitor.push_back({monitor.Int(0), monitor.Text(1), monitor.Text(2),
                                 MarksFromText(monitor.Text(3)), monitor.Int(4)});
    }
    if (!monitor.Done()) return Fault("计划记录无法读取");
    std::reverse(state.monitor.begin(), state.monitor.end());

    std::int64_t oldest = state.bases.id;
    for (const MonitorRow& row : state.monitor)
        if (row.basesId != 0) oldest = std::min(oldest, row.basesId);
    SqliteStatement bases(db_, "SELECT id, line_bases FROM bases WHERE region = ?1 AND id >= ?2");
    if (!bases) return Fault("计划记录无法读取");
    bases.Bind(1, std::int64_t{region});
    bases.Bind(2, oldest);
    while (bases.Step()) state.recentBases[bases.Int(0)] = LinesFromBlob(bases.Blob(1));
    if (!bases.Done()) return Fault("计划记录无法读取");
    return RecordBook(std::move(state));
}

Status BookStore::Save(const RecordBook& book, const BookChanges& changes) {
    if (!changes.Any()) return Ok();
    const BookState& s = book.State();
    const auto region = std::int64_t{s.region};
    SqliteTransaction transaction(db_);
    if (!transaction.Begun()) return Fault("计划记录无法保存");
    bool ok = true;
    // A statement of a loop is prepared once and run for each of its rows.
    auto prepare = [&](const char* sql) {
        SqliteStatement statement(db_, sql);
        ok = ok && statement;
        return statement;
    };
    auto runOn = [&](SqliteStatement& statement, auto&& bind) {
        if (!ok) return;
        statement.Reset();
        statement.Bind(1, region);
        bind(statement);
        ok = static_cast<bool>(statement.Run());
    };
    auto run = [&](const char* sql, auto&& bind) {
        if (!ok) return;
        SqliteStatement statement = prepare(sql);
        runOn(statement, bind);
    };
    auto none = [](SqliteStatement&) {};
    if (changes.logCleared) run("DELETE FROM records WHERE region = ?1", none);
    if (changes.monitorCleared) run("DELETE FROM monitor WHERE region = ?1", none);
    run("INSERT OR REPLACE INTO books(region, history, bases_id, bases_after, line_bases, "
        "instance_bases, plan, record_count, next_monitor_seq) "
        "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)",
        [&](SqliteStatement& st) {
            st.Bind(2, HistoryText(s.history));
            st.Bind(3, s.bases.id);
            st.Bind(4, DrawText(s.bases.after));
            const std::string lines = LinesBlob(s.bases.lineBases);
            st.BindBlob(5, lines.data(), lines.size());
            const std::string instances = TextsBlob(s.bases.instanceBases);
            st.BindBlob(6, instances.data(), instances.size());
            st.Bind(7, PlanText(s.plan));
            st.Bind(8, std::int64_t{s.logOffset + s.log.PlanRecordCount});
            st.Bind(9, s.nextMonitorSeq);
        });
    SqliteStatement putRecord;
    if (!changes.records.empty())
        putRecord = prepare(
            "INSERT OR REPLACE INTO records(region, slot, text, state, period, date, tally, hit, "
            "after, basis) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)");
    for (int slot : changes.records) {
        if (slot < 0 || static_cast<std::size_t>(slot) >= s.log.PlanRecords.size()) continue;
        const PlanRecord& record = s.log.PlanRecords[static_cast<std::size_t>(slot)];
        runOn(putRecord, [&](SqliteStatement& st) {
            st.Bind(2, std::int64_t{s.logOffset + slot});
            st.Bind(3, record.text);
            st.Bind(4, std::int64_t{static_cast<int>(record.state)});
            st.Bind(5, record.period);
            st.Bind(6, record.date);
            st.Bind(7, record.tally);
            st.Bind(8, std::int64_t{record.hit ? 1 : 0});
            st.Bind(9, DrawText(record.after));
            if (record.basis) {
                const std::string basis = BasisBlob(*record.basis);
                st.BindBlob(10, basis.data(), basis.size());
            } else {
                st.BindNull(10);
            }
        });
    }
    SqliteStatement putRow;
    if (!changes.monitorRows.empty())
        putRow = prepare(
            "INSERT OR REPLACE INTO monitor(region, seq, date, period, marks, bases_id) "
            "VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
    for (const MonitorRow& row : s.monitor) {
        if (!changes.monitorRows.count(row.seq)) continue;
        runOn(putRow, [&](SqliteStatement& st) {
            st.Bind(2, row.seq);
            st.Bind(3, row.date);
            st.Bind(4, row.period);
            st.Bind(5, MarksText(row.marks));
            st.Bind(6, row.basesId);
        });
    }
    SqliteStatement putBases;
    if (!changes.newBases.empty())
        putBases =
            prepare("INSERT OR REPLACE INTO bases(region, id, line_bases) VALUES(?1, ?2, ?3)");
    for (std::int64_t id : changes.newBases) {
        const auto bases = s.recentBases.find(id);
        if (bases == s.recentBases.end()) continue;
        runOn(putBases, [&](SqliteStatement& st) {
            st.Bind(2, id);
            const std::string lines = LinesBlob(bases->second);
            st.BindBlob(3, lines.data(), lines.size());
        });
    }
    if (changes.oldestKeptBases > 0) {
        run("DELETE FROM bases WHERE region = ?1 AND id < ?2",
            [&](SqliteStatement& st) { st.Bind(2, changes.oldestKeptBases); });
    }
    // The bases of old records are let go as new records come.
    if (!changes.records.empty()) {
        run("UPDATE records SET basis = NULL WHERE region = ?1 AND slot < ?2 AND basis IS NOT NULL",
            [&](SqliteStatement& st) {
                st.Bind(2, std::int64_t{s.logOffset + s.log.PlanRecordCount - kBasisKeptSlots});
            });
    }
    if (!ok) return Fault("计划记录无法保存");
    if (!transaction.Commit()) return Fault("计划记录无法保存");
    return Ok();
}

Result<std::optional<std::filesystem::path>> CheckRecordsFile(const std::filesystem::path& file,
                                                              const std::string& stamp,
                                                              bool wholeFile) {
    Result<std::optional<std::filesystem::path>> aside =
        SetAsideIfDamaged(file, kProbes, stamp, wholeFile);
    if (aside) return aside;
    return Fail({"计划记录无法检查：" + file.string() + "（" + aside.messages().front().text + "）",
                 kTitleErrorNotice, Message::Kind::Io});
}

BookChanges EverythingOf(const RecordBook& book) {
    const BookState& s = book.State();
    BookChanges all;
    all.history = all.plan = true;
    for (std::size_t slot = 0; slot < s.log.PlanRecords.size(); ++slot) {
        if (!s.log.PlanRecords[slot].text.empty()) all.records.insert(static_cast<int>(slot));
    }
    for (const MonitorRow& row : s.monitor) all.monitorRows.insert(row.seq);
    for (const auto& [id, lines] : s.recentBases) all.newBases.insert(id);
    return all;
}

std::string RecordsMovedAsideText(const std::filesystem::path& movedAside) {
    return "计划记录已损坏，原文件已保留为 " + movedAside.filename().string() + "，已新建计划记录";
}

}  // namespace xuan5
