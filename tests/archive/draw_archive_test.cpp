#include "archive/draw_archive.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "archive/archive_check.h"
#include "core/text.h"
#include "feed/feed_parser.h"
#include "oracle/literal_state.h"
#include "protocol/draw_csv.h"

namespace xuan5 {
namespace {

// `count` draws of region-like days of 42 periods from `firstDay` on, oldest first.
std::vector<DatedDraw> Draws(int count, const char* firstDay, int seed = 0) {
    std::vector<DatedDraw> draws;
    auto day = *ParseDrawDate(firstDay);
    for (int i = 0; i < count; ++i) {
        const int period = i % 42 + 1;
        if (i > 0 && period == 1) day += std::chrono::days(1);
        std::string numbers;
        for (int k = 0; k < 5; ++k) {
            numbers += (k ? "," : "") + PadNumber((i + seed + 2 * k) % 11 + 1, 2);
        }
        draws.push_back({DrawDateText(day), PadNumber(period, 3), numbers});
    }
    return draws;
}

class ArchiveFolder {
  public:
    ArchiveFolder() {
        static int made = 0;
        dir_ = std::filesystem::temp_directory_path() /
               ("xuan5-archive-" + std::to_string(::getpid()) + "-" + std::to_string(++made));
        std::filesystem::create_directories(dir_);
    }
    ~ArchiveFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    std::filesystem::path File() const { return DrawArchivePath(dir_); }

  private:
    std::filesystem::path dir_;
};

// The archive of a folder, opened or the test stops.
DrawArchive Opened(const std::filesystem::path& file) {
    Result<DrawArchive> archive = DrawArchive::Open(file);
    if (!archive) throw std::runtime_error(archive.messages().front().text);
    return std::move(*archive);
}

TEST(DrawArchive, StoresEachDrawOnceKeepsRegionsApartAndSurvivesReopening) {
    ArchiveFolder folder;
    EXPECT_EQ(folder.File().filename(), "archive.db");
    const auto draws = Draws(130, "2026-11-30");
    {
        DrawArchive archive = Opened(folder.File());
        EXPECT_EQ(*archive.AddDraws(1, draws), 130);
        // A fetch repeats most of what is stored: those rows stay single.
        EXPECT_EQ(*archive.AddDraws(1, std::vector<DatedDraw>(draws.begin() + 10, draws.end())), 0);
        EXPECT_EQ(*archive.AddDraws(2, {draws[0]}), 1);
        auto corrected = draws[5];
        corrected.numbers = "11,10,09,08,07";
        EXPECT_EQ(*archive.AddDraws(1, {corrected}), 1);
    }
    DrawArchive archive = Opened(folder.File());
    EXPECT_EQ(*archive.CountDraws(1), 130);
    EXPECT_EQ(*archive.CountDraws(2), 1);
    EXPECT_EQ(*archive.CountDraws(3), 0);
    const auto all = *archive.AllDraws(1);
    ASSERT_EQ(all.size(), 130u);
    EXPECT_EQ(all[5].numbers, "11,10,09,08,07");
    EXPECT_EQ(all[129], draws[129]);
    EXPECT_EQ(*archive.AllDraws(2), (std::vector<DatedDraw>{draws[0]}));
}

TEST(DrawArchive, NewestDrawsOldestFirstAndTheStagedTableNewestOnRowOne) {
    ArchiveFolder folder;
    DrawArchive archive = Opened(folder.File());
    // Added out of order, across days: order is by date, then period.
    auto draws = Draws(119, "2026-12-30");  // runs into 2027
    std::vector<DatedDraw> shuffled(draws.rbegin(), draws.rend());
    ASSERT_TRUE(archive.AddDraws(3, shuffled));
    EXPECT_FALSE(*archive.StagedTable(3));
    EXPECT_EQ(*archive.NewestDraws(3, 3), std::vector<DatedDraw>(draws.end() - 3, draws.end()));
    EXPECT_EQ(*archive.NewestDraws(3, 500), draws);
    EXPECT_TRUE(archive.NewestDraws(3, 0)->empty());

    const auto newer = Draws(121, "2026-12-30", 3);  // the same periods and two more
    ASSERT_TRUE(archive.AddDraws(3, {newer[119], newer[120]}));
    const auto table = *archive.StagedTable(3);
    ASSERT_TRUE(table);
    EXPECT_EQ((*table)[1].period, newer[120].period);
    EXPECT_EQ((*table)[1].numbers, newer[120].numbers);
    EXPECT_EQ((*table)[120].numbers, draws[1].numbers);

    // Staged as a fetch would stage it, the table applies like one.
    LiteralState state;
    state.IncomingDraws = *table;
    ASSERT_TRUE(HasNewDraws(state.IncomingDraws, state.DrawHistory));
    ApplyStaged(state);
    EXPECT_EQ(state.UpdateCount, 1);
    EXPECT_EQ(state.DrawHistory[1].period, newer[120].period);
    EXPECT_NE(state.DrawKeys[kHistoryRows], 0);
}

TEST(DrawArchive, ExportReadsBackAndBadInputStoresNothing) {
    ArchiveFolder folder;
    DrawArchive archive = Opened(folder.File());
    const auto draws = Draws(50, "2026-12-07");
    ASSERT_TRUE(archive.AddDraws(2, draws));
    const std::string csv = *archive.ExportCsv(2);
    EXPECT_EQ(csv.substr(0, 28), "date,period,n1,n2,n3,n4,n5\r\n");
    const DrawCsv back = ParseDrawCsv(csv);
    EXPECT_TRUE(back.rejected.empty());
    EXPECT_EQ(back.draws, draws);
    EXPECT_EQ(*archive.ExportCsv(1), "date,period,n1,n2,n3,n4,n5\r\n");

    // One bad row refuses the whole batch before anything is written.
    auto batch = Draws(5, "2027-01-05");
    for (const auto& bad :
         {DatedDraw{"2027-02-30", "001", "01,02,03,04,05"},
          DatedDraw{"2027/01/05", "001", "01,02,03,04,05"},
          DatedDraw{"2027-01-05", "1", "01,02,03,04,05"},
          DatedDraw{"2027-01-05", "001", "01,02,03,04,04"}, DatedDraw{"2027-01-05", "001", ""}}) {
        batch.back() = bad;
        EXPECT_FALSE(archive.AddDraws(2, batch)) << bad.date << bad.numbers;
    }
    EXPECT_FALSE(archive.AddDraws(4, Draws(1, "2027-01-05")));
    EXPECT_FALSE(archive.AddDraws(0, Draws(1, "2027-01-05")));
    EXPECT_EQ(*archive.CountDraws(2), 50);

    // A file that is no database is reported, not overwritten.
    const auto other = folder.File().parent_path() / "notes.db";
    std::ofstream(other) << "these are my notes, not a database\n";
    const Result<DrawArchive> broken = DrawArchive::Open(other);
    ASSERT_FALSE(broken) << "opened a text file as the archive";
    EXPECT_NE(broken.messages().front().text.find("开奖存档无法打开"), std::string::npos);
    std::ifstream notes(other);
    std::string line;
    std::getline(notes, line);
    EXPECT_EQ(line, "these are my notes, not a database");
}

std::string Bytes(const std::filesystem::path& file) {
    std::ostringstream bytes;
    bytes << std::ifstream(file, std::ios::binary).rdbuf();
    return bytes.str();
}

TEST(ArchiveCheck, DamagedFilesAreKeptAsideAndANewArchiveStarts) {
    const char* stamp = "20240506-101112";
    const auto draws = Draws(600, "2026-01-01");
    const std::vector<std::pair<const char*, std::string (*)(std::string)>> damages = {
        {"garbage", [](std::string b) { return std::string(b.size(), 'Z'); }},
        {"truncated", [](std::string b) { return b.substr(0, b.size() / 2 + 100); }},
        {"pages overwritten", [](std::string b) { return b.replace(8192, 4096, 4096, '\xff'); }},
        {"header only", [](std::string b) { return b.substr(0, 100); }}};
    for (const auto& [name, damage] : damages) {
        ArchiveFolder folder;
        ASSERT_TRUE(Opened(folder.File()).AddDraws(1, draws)) << name;
        const std::string damaged = damage(Bytes(folder.File()));
        std::ofstream(folder.File(), std::ios::binary | std::ios::trunc) << damaged;

        const auto aside = folder.File().string() + ".damaged-" + stamp;
        EXPECT_EQ(CheckDrawArchive(folder.File(), stamp)->movedAside, aside) << name;
        EXPECT_EQ(Bytes(aside), damaged) << name << ": kept byte for byte";
        ASSERT_TRUE(Opened(folder.File()).AddDraws(1, {draws[0]})) << name;
        EXPECT_EQ(*Opened(folder.File()).CountDraws(1), 1) << name;
        EXPECT_FALSE(CheckDrawArchive(folder.File(), stamp)->movedAside) << name;
        // Damaged again within the same second: the first kept file stays as it was.
        std::ofstream(folder.File(), std::ios::trunc) << "junk";
        EXPECT_EQ(CheckDrawArchive(folder.File(), stamp)->movedAside, aside + "-2");
        EXPECT_EQ(Bytes(aside), damaged) << name;
    }
    ArchiveFolder foreign;
    sqlite3* db = nullptr;
    sqlite3_open(foreign.File().string().c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE draws(id INTEGER)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    EXPECT_TRUE(CheckDrawArchive(foreign.File(), stamp)->movedAside) << "foreign layout";

    // No damage: a missing file, an empty one, a sound archive; each left as it is.
    ArchiveFolder folder;
    EXPECT_FALSE(CheckDrawArchive(folder.File(), stamp)->movedAside);
    EXPECT_FALSE(std::filesystem::exists(folder.File()));
    std::ofstream(folder.File()).close();
    EXPECT_FALSE(CheckDrawArchive(folder.File(), stamp)->movedAside);
    ASSERT_TRUE(Opened(folder.File()).AddDraws(2, draws));
    const std::string sound = Bytes(folder.File());
    EXPECT_FALSE(CheckDrawArchive(folder.File(), stamp)->movedAside);
    EXPECT_EQ(Bytes(folder.File()), sound);
}

TEST(ArchiveCheck, AProcessKilledWhileArchivingLosesNoCommittedDraw) {
    constexpr int kBatch = 40;
    const auto draws = Draws(kBatch * 400, "2020-01-01");
    std::mt19937 random(20240506);
    ArchiveFolder folder;
    std::set<int> stored;  // batches the writer reported stored
    for (int round = 0; round < 4; ++round) {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const pid_t writer = ::fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            // One transaction per batch, reported only once AddDraws has returned. Odd rounds
            // change stored rows instead of adding them.
            Result<DrawArchive> archive = DrawArchive::Open(folder.File());
            for (int b = 0; archive && b < 400; ++b) {
                std::vector<DatedDraw> rows(draws.begin() + b * kBatch,
                                            draws.begin() + (b + 1) * kBatch);
                if (round % 2) std::swap(rows.front().numbers, rows.back().numbers);
                if (!archive->AddDraws(1, rows) || ::write(fds[1], &b, sizeof b) != sizeof b) break;
            }
            ::_exit(0);
        }
        ::close(fds[1]);
        const int killAfter = std::uniform_int_distribution<int>(3, 60)(random);
        int batch = 0;
        for (int n = 0; n < killAfter && ::read(fds[0], &batch, sizeof batch) == sizeof batch; ++n)
            stored.insert(batch);
        // Somewhere inside a later batch, mostly.
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution<int>(0, 20000)(random)));
        ::kill(writer, SIGKILL);
        ::waitpid(writer, nullptr, 0);
        while (::read(fds[0], &batch, sizeof batch) == sizeof batch) stored.insert(batch);
        ::close(fds[0]);

        // What the kill interrupted is rolled back, not taken for damage.
        ASSERT_FALSE(CheckDrawArchive(folder.File(), "x")->movedAside) << "round " << round;
        const auto all = *Opened(folder.File()).AllDraws(1);
        std::set<std::pair<std::string, std::string>> keys;
        for (const DatedDraw& draw : all) keys.insert({draw.date, draw.period});
        for (int b : stored)
            for (int i = b * kBatch; i < (b + 1) * kBatch; ++i)
                ASSERT_TRUE(keys.count({draws[i].date, draws[i].period})) << "lost draw " << i;
        EXPECT_EQ(all.size() % kBatch, 0u) << "round " << round << ": half a batch stored";
    }
}

}  // namespace
}  // namespace xuan5
