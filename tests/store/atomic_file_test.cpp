#include "store/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <set>
#include <sstream>

namespace xuan5 {
namespace {

namespace fs = std::filesystem;

class Folder {
  public:
    Folder() {
        std::string pattern = (fs::temp_directory_path() / "xuan5-atomic-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~Folder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    fs::path operator/(const std::string& name) const { return path_ / name; }
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(path_))
            names.insert(entry.path().filename().string());
        return names;
    }

  private:
    fs::path path_;
};

void Write(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// A writer that created and locked a temporary, then stops (killed, or mid-write).
pid_t StartWriterHolding(const fs::path& temp) {
    int ready[2];
    if (::pipe(ready) != 0) return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        const char ok = fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? '1' : '0';
        (void)!::write(ready[1], &ok, 1);
        for (;;) ::pause();
    }
    char ok = '0';
    (void)!::read(ready[0], &ok, 1);
    ::close(ready[0]);
    ::close(ready[1]);
    return ok == '1' ? child : -1;
}

TEST(AtomicFile, StaleTemporariesGoAndLiveOnesStay) {
    Folder dir;
    const fs::path target = dir / "data.mdb";
    Write(target, "old");
    // Left by killed writers: unlocked.
    Write(dir / "data.mdb.tmp-1234567", "half");
    Write(dir / "data.mdb.tmp-89", "");
    // Not ours: another file's temporary, a name without the infix, a folder.
    Write(dir / "service.ini.tmp-1", "x");
    Write(dir / "data.mdb.tmp", "x");
    fs::create_directory(dir / "data.mdb.tmp-folder");

    const pid_t writer = StartWriterHolding(dir / "data.mdb.tmp-live");
    ASSERT_GT(writer, 0);
    EXPECT_EQ(RemoveStaleTemporaries(target), 2);
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"data.mdb", "data.mdb.tmp-live", "data.mdb.tmp",
                                                  "service.ini.tmp-1", "data.mdb.tmp-folder"}));
    EXPECT_EQ(Read(target), "old");

    // Once its writer is killed, the temporary is stale too.
    ::kill(writer, SIGKILL);
    ::waitpid(writer, nullptr, 0);
    EXPECT_EQ(RemoveStaleTemporaries(target), 1);
    EXPECT_FALSE(fs::exists(dir / "data.mdb.tmp-live"));
    EXPECT_EQ(RemoveStaleTemporaries(dir / "missing-folder" / "data.mdb"), 0);
}

TEST(AtomicFile, ReplacesWholeAndLeavesNoTemporary) {
    Folder dir;
    const fs::path target = dir / "data.mdb";
    ASSERT_TRUE(ReplaceFileAtomically(target, "first"));
    ASSERT_TRUE(ReplaceFileAtomically(target, "second"));
    EXPECT_EQ(Read(target), "second");
    EXPECT_EQ(dir.Names(), std::set<std::string>{"data.mdb"});

    // A rename that fails (a folder in the way) keeps the folder and leaves nothing behind.
    const fs::path blocked = dir / "blocked";
    fs::create_directories(blocked / "inside");
    EXPECT_FALSE(ReplaceFileAtomically(blocked, "text"));
    EXPECT_TRUE(fs::exists(blocked / "inside"));
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"data.mdb", "blocked"}));
    EXPECT_FALSE(ReplaceFileAtomically(dir / "no-such-folder" / "x", "text"));

    // A write that fails half-way (the disk fills: here a file size limit in a child) keeps the
    // old content and leaves no temporary.
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(ReplaceFileAtomically(target, std::string(100000, 'x')) ? 1 : 0);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the failed save said it worked";
    EXPECT_EQ(Read(target), "second");
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"data.mdb", "blocked"}));
}

}  // namespace
}  // namespace xuan5
