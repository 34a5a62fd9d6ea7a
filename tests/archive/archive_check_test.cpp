#include "archive/archive_check.h"

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

#include "archive/draw_archive.h"
#include "core/text.h"

namespace xuan5 {
namespace {

constexpr const char* kStamp = "20240506-101112";

// `count` valid draws of days of 42 periods from 2020-01-01 on, oldest first.
std::vector<DatedDraw> ManyDraws(int count) {
    std::vector<DatedDraw> draws;
    auto day = *ParseDrawDate("2020-01-01");
    for (int i = 0; i < count; ++i) {
        if (i > 0 && i % 42 == 0) day += std::chrono::days(1);
        std::string numbers;
        for (int k = 0; k < 5; ++k) numbers += (k ? "," : "") + PadNumber((i + 2 * k) % 11 + 1, 2);
        draws.push_back({DrawDateText(day), PadNumber(i % 42 + 1, 3), numbers});
    }
    return draws;
}

std::string Bytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void Write(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

class Folder {
  public:
    Folder() {
        static int made = 0;
        dir_ = std::filesystem::temp_directory_path() /
               ("xuan5-archive-check-" + std::to_string(::getpid()) + "-" + std::to_string(++made));
        std::filesystem::create_directories(dir_);
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    std::filesystem::path File() const { return DrawArchivePath(dir_); }

  private:
    std::filesystem::path dir_;
};

int Count(const std::filesystem::path& file) {
    Result<DrawArchive> archive = DrawArchive::Open(file);
    const Result<int> count = archive ? archive->CountDraws(1) : archive.failure();
    return count ? *count : -1;
}

TEST(ArchiveCheck, DamagedFilesAreKeptAsideAndANewArchiveStarts) {
    const std::vector<DatedDraw> draws = ManyDraws(600);
    struct Damage {
        const char* name;
        std::string (*apply)(std::string);
    };
    const Damage damages[] = {
        {"garbage", [](std::string b) { return std::string(b.size(), '\x5a'); }},
        {"truncated", [](std::string b) { return b.substr(0, b.size() / 2 + 100); }},
        {"pages overwritten",
         [](std::string b) { return b.replace(4096 * 2, 4096, 4096, '\xff'); }},
        {"header only", [](std::string b) { return b.substr(0, 100); }},
    };
    for (const Damage& damage : damages) {
        Folder folder;
        ASSERT_TRUE(DrawArchive::Open(folder.File())->AddDraws(1, draws)) << damage.name;
        const std::string damaged = damage.apply(Bytes(folder.File()));
        Write(folder.File(), damaged);

        const Result<ArchiveCheck> check = CheckDrawArchive(folder.File(), kStamp);
        ASSERT_TRUE(check) << damage.name << ": " << check.messages().front().text;
        const std::filesystem::path aside = folder.File().string() + ".damaged-" + kStamp;
        ASSERT_EQ(check->movedAside, aside) << damage.name;
        // Kept byte for byte; the new archive starts empty and works.
        EXPECT_EQ(Bytes(aside), damaged) << damage.name;
        EXPECT_EQ(Count(folder.File()), 0) << damage.name;
        ASSERT_TRUE(DrawArchive::Open(folder.File())->AddDraws(1, {draws[0]}));
        EXPECT_EQ(Count(folder.File()), 1);
        EXPECT_FALSE(CheckDrawArchive(folder.File(), kStamp)->movedAside) << damage.name;

        // Damaged again within the same second: the first kept file is not overwritten.
        Write(folder.File(), "junk");
        EXPECT_EQ(CheckDrawArchive(folder.File(), kStamp)->movedAside,
                  std::filesystem::path(aside.string() + "-2"));
        EXPECT_EQ(Bytes(aside), damaged);
    }

    // A draw table of another layout cannot be used: kept aside too.
    Folder foreign;
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(foreign.File().string().c_str(), &db), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(db, "CREATE TABLE draws(id INTEGER, line TEXT)", nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(db);
    EXPECT_EQ(CheckDrawArchive(foreign.File(), kStamp)->movedAside,
              std::filesystem::path(foreign.File().string() + ".damaged-" + kStamp));

    // No damage: a missing file, an empty one, a sound archive; each left as it is.
    Folder other;
    EXPECT_FALSE(CheckDrawArchive(other.File(), kStamp)->movedAside);
    EXPECT_FALSE(std::filesystem::exists(other.File()));
    Write(other.File(), "");
    EXPECT_FALSE(CheckDrawArchive(other.File(), kStamp)->movedAside);
    ASSERT_TRUE(DrawArchive::Open(other.File())->AddDraws(2, draws));
    const std::string healthy = Bytes(other.File());
    EXPECT_FALSE(CheckDrawArchive(other.File(), kStamp)->movedAside);
    EXPECT_EQ(Bytes(other.File()), healthy);
}

TEST(ArchiveCheck, AProcessKilledWhileArchivingLosesNoCommittedDraw) {
    constexpr int kBatch = 40;
    const std::vector<DatedDraw> draws = ManyDraws(kBatch * 400);
    std::mt19937 random(20240506);
    Folder folder;
    std::set<int> committed;  // batches the writer reported stored
    for (int round = 0; round < 4; ++round) {
        int pipe_fds[2];
        ASSERT_EQ(::pipe(pipe_fds), 0);
        const pid_t writer = ::fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            // Each batch is one transaction; it is reported only after AddDraws returned.
            ::close(pipe_fds[0]);
            Result<DrawArchive> archive = DrawArchive::Open(folder.File());
            for (int batch = 0; archive && batch * kBatch < static_cast<int>(draws.size());
                 ++batch) {
                const std::vector<DatedDraw> part(draws.begin() + batch * kBatch,
                                                  draws.begin() + (batch + 1) * kBatch);
                // Later rounds rewrite earlier batches with other numbers: changed rows too.
                std::vector<DatedDraw> rows = part;
                if (round % 2) std::swap(rows.front().numbers, rows.back().numbers);
                if (!archive->AddDraws(1, rows)) break;
                if (::write(pipe_fds[1], &batch, sizeof batch) != sizeof batch) break;
            }
            ::_exit(0);
        }
        ::close(pipe_fds[1]);
        const int kill_after = std::uniform_int_distribution<int>(3, 60)(random);
        int reported = 0;
        int batch = 0;
        while (reported < kill_after && ::read(pipe_fds[0], &batch, sizeof batch) == sizeof batch) {
            committed.insert(batch);
            ++reported;
        }
        ::kill(writer, SIGKILL);
        ::waitpid(writer, nullptr, 0);
        while (::read(pipe_fds[0], &batch, sizeof batch) == sizeof batch) committed.insert(batch);
        ::close(pipe_fds[0]);

        // Whatever the kill interrupted is rolled back, not taken for damage.
        const Result<ArchiveCheck> check = CheckDrawArchive(folder.File(), kStamp);
        ASSERT_TRUE(check);
        ASSERT_FALSE(check->movedAside) << "round " << round;
        Result<DrawArchive> archive = DrawArchive::Open(folder.File());
        ASSERT_TRUE(archive);
        const Result<std::vector<DatedDraw>> stored = archive->AllDraws(1);
        ASSERT_TRUE(stored);
        std::set<std::pair<std::string, std::string>> keys;
        for (const DatedDraw& draw : *stored) keys.insert({draw.date, draw.period});
        for (int b : committed) {
            for (int i = b * kBatch; i < (b + 1) * kBatch; ++i) {
                ASSERT_TRUE(keys.count({draws[i].date, draws[i].period}))
                    << "round " << round << ": committed batch " << b << " lost draw " << i;
            }
        }
        // A batch is all there or not at all.
        EXPECT_EQ(stored->size() % kBatch, 0u) << "round " << round;
    }
}

}  // namespace
}  // namespace xuan5
