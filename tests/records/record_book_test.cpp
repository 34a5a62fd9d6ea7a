// The record book's rules: each draw judged once and in order, records settled with the draw
// that follows their own in the dated stream (across a day's end and through the archive), blank
// marks before any base, corrections judged again with what was in force, typed periods, and the
// store: a book comes back whole, a killed writer leaves whole tables, a damaged file is set aside.
#include "records/record_book.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "core/dated_draw.h"
#include "core/text.h"
#include "records/book_store.h"
#include "support/sample_history.h"

namespace xuan5 {
namespace {

const ResultWords kWords{"中中中", "一会中"};

// Draw `i` of a region drawing `perDay` periods a day from 2026-12-01 001 on.
DrawRecord Nth(int i, int perDay = 42) {
    std::mt19937_64 rng(static_cast<std::uint64_t>(i) * 7919 + 3);
    const auto day =
        std::chrono::sys_days(std::chrono::year(2026) / 12 / 1) + std::chrono::days(i / perDay);
    return {PadNumber(i % perDay + 1, 3), testing::RandomDrawNumbers(rng), DrawDateText(day)};
}

// The feed's table when draw `newest` is the latest.
DrawTable TableUpTo(int newest, int perDay = 42) {
    DrawTable table{};
    for (int r = 1; r <= kHistoryRows; ++r) table[r] = Nth(newest - r + 1, perDay);
    return table;
}

LineTexts Lines(const std::string& first) {
    LineTexts lines{};
    lines[0] = first;
    return lines;
}

// A plan whose plan base and line 1 hold exactly `bets`, issued with a waiting record.
void Plan(RecordBook& book, const std::string& bets) {
    ResultRecordInput input;
    input.plan.text = bets;
    input.plan.count = "1";
    input.instances = "1";
    input.checkedLines.fill(true);
    input.checkedLineCount = "15";
    const LineTexts lines = Lines(bets);
    book.IssuePlan(lines, std::nullopt, {bets, "1", bets, "1"}, PlanLogInput{},
                   MakeRecordBasis(input, lines, {}));
}

std::string KeyText(const DrawRecord& draw) {
    return BetText(DrawKeyOf(draw.numbers));
}

const PlanRecord& Slot(const RecordBook& book, int slot) {
    return book.Log().PlanRecords[static_cast<std::size_t>(slot)];
}

TEST(RecordBook, EveryDrawIsJudgedOnceInOrderAndTheRecordTakesTheNextDraw) {
    RecordBook book(1);
    EXPECT_EQ(book.ApplyTable(TableUpTo(200), kWords).kind, TableOutcome::Kind::FirstLoad);
    EXPECT_TRUE(book.State().monitor.empty());

    // Before any plan a draw is judged against nothing: blank, not a miss.
    TableOutcome out = book.ApplyTable(TableUpTo(201), kWords);
    ASSERT_EQ(out.kind, TableOutcome::Kind::Newer);
    EXPECT_EQ(book.MonitorView()[1][0], kMarkNone);
    EXPECT_EQ(RedrawMonitorTable(book.MonitorView()).texts.size(),
              DrawMonitorGrid().texts.size() + 1);  // only the period label

    // Three draws in one table: three rows oldest first, the record settled with the first.
    Plan(book, KeyText(Nth(202)));
    EXPECT_EQ(Slot(book, 0).text, "035期，开：**************-001注-等待中。。。");
    out = book.ApplyTable(TableUpTo(204), kWords);
    ASSERT_EQ(out.judged.size(), 3u);
    EXPECT_EQ(out.shownRows, 3);
    const MonitorTable view = book.MonitorView();
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(view[2 + k][kMonitorPeriodColumn], (202 + k) % 42 + 1);
        EXPECT_EQ(view[2 + k][0], k == 0 ? 1 : 0);  // line 1 holds only draw 202
        EXPECT_EQ(view[2 + k][1], 0);               // an empty base never holds a draw
    }
    EXPECT_EQ(Slot(book, 0).text, "035期，开：" + Nth(202).numbers + "-001注-中中中");
    EXPECT_EQ(TallyText(book.Log()), "15-1");
    EXPECT_EQ(book.LastOutcome(), 1);

    // The same table again, or an older one, judges nothing.
    EXPECT_EQ(book.ApplyTable(TableUpTo(204), kWords).kind, TableOutcome::Kind::None);
    EXPECT_EQ(book.ApplyTable(TableUpTo(203), kWords).kind, TableOutcome::Kind::None);
    EXPECT_EQ(book.State().monitor.size(), 4u);

    // Twenty rows fill the picture; the twenty-first scrolls the oldest away; clearing empties.
    for (int n = 205; n <= 221; ++n) book.ApplyTable(TableUpTo(n), kWords);
    EXPECT_EQ(book.MonitorView()[20][kMonitorPeriodColumn], 221 % 42 + 1);
    book.ApplyTable(TableUpTo(222), kWords);
    EXPECT_EQ(book.MonitorView()[1][kMonitorPeriodColumn], 203 % 42 + 1);
    EXPECT_EQ(book.MonitorView()[20][kMonitorPeriodColumn], 222 % 42 + 1);
    book.ClearMonitor();
    EXPECT_EQ(book.MonitorView()[1][kMonitorUsedColumn], 0);
}

TEST(RecordBook, ADaysLastPlanIsSettledWithTheNextDaysFirstDrawOrClosedAcrossAGap) {
    // 山东 draws 42 a day: draw 83 is day two's last (042), 84 is day three's first.
    RecordBook book(1);
    book.ApplyTable(TableUpTo(83), kWords);
    Plan(book, KeyText(Nth(84)));
    EXPECT_TRUE(DirectlyFollows(Nth(83), Nth(84), HighestPeriod(book.History())));
    book.ApplyTable(TableUpTo(85), kWords);
    EXPECT_EQ(Slot(book, 0).text, "001期，开：" + Nth(84).numbers + "-001注-中中中");
    EXPECT_EQ(Slot(book, 0).date, "2026-12-03");

    // Away for 200 draws: the table no longer holds the plan's draw. The archive bridges the
    // span, so the record takes the draw after its own and every draw in between is judged.
    Plan(book, KeyText(Nth(86)));
    const std::size_t rows = book.State().monitor.size();
    std::vector<DrawRecord> archived;
    for (int i = 86; i <= 170; ++i) archived.push_back(Nth(i));
    TableOutcome out =
        book.ApplyTable(TableUpTo(285), kWords, [&](const DrawRecord&) { return archived; });
    EXPECT_TRUE(out.settled);
    EXPECT_EQ(Slot(book, 1).text.substr(0, 3), Nth(86).period);
    EXPECT_EQ(book.State().monitor.size(), rows + 80 + 120);  // 166..170 are in the table too

    // Without the archive the plan's draw is in nothing the book can see: closed, counted nowhere.
    Plan(book, KeyText(Nth(286)));
    out = book.ApplyTable(TableUpTo(500), kWords);
    EXPECT_TRUE(out.closed);
    EXPECT_EQ(Slot(book, 2).text, Nth(286).period + "期，开：**************-001注-未开奖，不计");
    EXPECT_EQ(TallyText(book.Log()), "15-1\r\n15-1");
}

TEST(RecordBook, CorrectionsJudgeAgainWithTheBasesAndPlanTheyWereJudgedWith) {
    RecordBook book(2);
    book.ApplyTable(TableUpTo(300, 84), kWords);
    Plan(book, KeyText(Nth(301, 84)));
    book.ApplyTable(TableUpTo(301, 84), kWords);
    Plan(book, "01,02,03,04,05");  // newer bases, which must not judge the old draw
    ASSERT_EQ(book.LastOutcome(), 1);

    // Draw 301 corrected together with a newer period.
    DrawTable table = TableUpTo(302, 84);
    table[2].numbers =
        KeyText(Nth(301, 84)) == "06,07,08,09,10" ? "01,02,03,04,06" : "06,07,08,09,10";
    const TableOutcome out = book.ApplyTable(table, kWords);
    ASSERT_EQ(out.corrected.size(), 1u);
    EXPECT_EQ(out.corrected[0].period, Nth(301, 84).period);
    EXPECT_EQ(Slot(book, 0).text,
              Nth(301, 84).period + "期，开：" + table[2].numbers + "-001注-一会中");
    EXPECT_EQ(book.MonitorView()[1][0], 0);
    EXPECT_EQ(book.History()[2].numbers, table[2].numbers);
}

TEST(RecordBook, TypedPeriodsAskWhenTheySkipAndTakeTheirDay) {
    DrawTable history = TableUpTo(60);  // newest: 2026-12-02 019, the day's last is 042
    EXPECT_EQ(TypedPeriodQuestion(history, "020"), "");
    EXPECT_EQ(TypedPeriodQuestion(history, "024"), "录入的期号跳过了020～023期，确定吗？");
    EXPECT_EQ(TypedPeriodQuestion(history, "021"), "录入的期号跳过了020期，确定吗？");
    EXPECT_EQ(TypedPeriodQuestion(history, "019"), "录入的期号019期不在019期之后，确定吗？");
    EXPECT_EQ(TypedPeriodQuestion(history, "001"), "录入的期号跳过了020～042期，确定吗？");
    EXPECT_EQ(TypedDrawDate(history[1], "020"), "2026-12-02");
    EXPECT_EQ(TypedDrawDate(history[1], "001"), "2026-12-03");
    EXPECT_EQ(TypedPeriodQuestion(TableUpTo(83), "001"), "");
}

class StoreFolder {
  public:
    StoreFolder()
        : dir_(std::filesystem::temp_directory_path() /
               ("books-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++))) {
        std::filesystem::create_directories(dir_);
    }
    ~StoreFolder() { std::filesystem::remove_all(dir_); }
    std::filesystem::path File() const { return dir_ / kRecordsFileName; }

  private:
    static inline int counter_ = 0;
    std::filesystem::path dir_;
};

BookStore Opened(const std::filesystem::path& file) {
    Result<BookStore> store = BookStore::Open(file);
    EXPECT_TRUE(store);
    return std::move(*store);
}

TEST(BookStore, ABookComesBackWholeAndAKilledWriterLeavesWholeTables) {
    StoreFolder folder;
    {
        BookStore store = Opened(folder.File());
        RecordBook book(3);
        book.ApplyTable(TableUpTo(100), kWords);
        Plan(book, KeyText(Nth(101)));
        book.ApplyTable(TableUpTo(102), kWords);
        Plan(book, KeyText(Nth(103)));
        ASSERT_TRUE(store.Save(book, book.TakeChanges()));
        const RecordBook loaded = *Opened(folder.File()).Load(3);
        EXPECT_EQ(loaded.History(), book.History());
        EXPECT_EQ(loaded.State().monitor, book.State().monitor);
        EXPECT_EQ(loaded.Plan(), book.Plan());
        EXPECT_EQ(loaded.Bases().lineBases, book.Bases().lineBases);
        EXPECT_EQ(PlanLogText(loaded.Log(), "签名"), PlanLogText(book.Log(), "签名"));
        EXPECT_EQ(loaded.Log().PlanRecordCount, book.Log().PlanRecordCount);
        // The waiting record is settled after the restart as before it.
        RecordBook again = loaded;
        again.ApplyTable(TableUpTo(104), kWords);
        book.ApplyTable(TableUpTo(104), kWords);
        EXPECT_EQ(PlanLogText(again.Log(), ""), PlanLogText(book.Log(), ""));
        EXPECT_TRUE(Opened(folder.File()).Load(1)->State().monitor.empty());
    }

    // A writer applying one table after another, killed at a random moment, many times over.
    std::mt19937 random(20261208);
    for (int round = 0; round < 4; ++round) {
        const pid_t writer = ::fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            BookStore store = Opened(folder.File());
            RecordBook book = *store.Load(3);
            for (int n = 105 + round * 1000; n < 1105 + round * 1000; ++n) {
                book.ApplyTable(TableUpTo(n), kWords);
                Plan(book, KeyText(Nth(n + 1)));
                if (!store.Save(book, book.TakeChanges())) break;
            }
            ::_exit(0);
        }
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::uniform_int_distribution<int>(50, 400)(random)));
        ::kill(writer, SIGKILL);
        ::waitpid(writer, nullptr, 0);

        // Whole tables only: the newest monitor row is the newest draw, each settled record
        // names the draw after the one it was issued after, and one record waits.
        ASSERT_FALSE(*CheckRecordsFile(folder.File(), "x")) << "round " << round;
        const RecordBook book = *Opened(folder.File()).Load(3);
        ASSERT_FALSE(book.State().monitor.empty());
        EXPECT_EQ(book.State().monitor.back().period, book.History()[1].period);
        EXPECT_EQ(book.State().monitor.back().date, book.History()[1].date);
        const PlanRecord& waiting = Slot(book, book.Log().PlanRecordCount);
        EXPECT_EQ(waiting.state, RecordState::Waiting) << "round " << round;
        EXPECT_EQ(waiting.after, book.History()[1]);
    }
}

TEST(BookStore, ADamagedFileIsSetAsideAndANewBookBegins) {
    StoreFolder folder;
    std::ofstream(folder.File()) << std::string(4096, 'x');
    const auto moved = CheckRecordsFile(folder.File(), "20261208-101112");
    ASSERT_TRUE(moved && *moved);
    EXPECT_EQ((*moved)->filename().string(), "records.db.damaged-20261208-101112");
    EXPECT_FALSE(std::filesystem::exists(folder.File()));
    EXPECT_EQ(RecordsMovedAsideText(**moved),
              "计划记录已损坏，原文件已保留为 records.db.damaged-20261208-101112，已新建计划记录");
    EXPECT_FALSE(Opened(folder.File()).Load(1)->HasDraws());
}

}  // namespace
}  // namespace xuan5
