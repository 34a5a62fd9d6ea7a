#include "store/atomic_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string>
#include <system_error>

namespace xuan5 {
namespace {

// A writer holds an exclusive lock on its temporary file from creation to rename. The kernel
// drops the lock when the writer dies, so an unlocked temporary is a stale one.

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::filesystem::path TemporaryBeside(const std::filesystem::path& target, int attempt) {
    // The random part only avoids meeting another writer's name; the attempt number keeps the
    // names apart where the system offers no random source.
    unsigned random = 0;
    try {
        random = std::random_device{}();
    } catch (const std::exception&) {
        random = static_cast<unsigned>(attempt);
    }
    return target.parent_path() / (target.filename().string() + std::string(kTemporaryInfix) +
                                   std::to_string(random) + std::to_string(::getpid()));
}

// Whether `path` still names the file open as `fd`: a cleaner may have unlinked it between our
// open and our lock.
bool StillNames(int fd, const std::filesystem::path& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// A new temporary beside `target`, created, locked and still in place; -1 on failure.
int CreateLockedTemporary(const std::filesystem::path& target, std::filesystem::path& temp) {
    constexpr int kAttempts = 4;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        temp = TemporaryBeside(target, attempt);
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return -1;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && StillNames(fd, temp)) return fd;
        ::close(fd);
    }
    return -1;
}

void SyncFolder(const std::filesystem::path& folder) {
    // Makes the rename itself survive a power cut; the data were synced before it.
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool ReplaceFile(const std::filesystem::path& target, std::string_view content) {
    std::filesystem::path temp;
    const int fd = CreateLockedTemporary(target, temp);
    if (fd < 0) return false;
    bool done = WriteAll(fd, content) && ::fsync(fd) == 0;
    std::error_code ec;
    if (done) {
        // Renamed while still locked, so no cleaner can take it for a stale one.
        std::filesystem::rename(temp, target, ec);
        done = !ec;
    }
    if (!done) std::filesystem::remove(temp, ec);
    // The content was synced before the rename; closing cannot lose it any more.
    ::close(fd);
    if (done) SyncFolder(target.parent_path());
    return done;
}

}  // namespace

Status ReplaceFileAtomically(const std::filesystem::path& target, std::string_view content) {
    bool replaced = false;
    try {
        replaced = ReplaceFile(target, content);
    } catch (const std::exception&) {
        // Only allocation can throw here; the target is untouched until the rename.
    }
    if (replaced) return Ok();
    return Fail({kMsgCannotWriteFile + target.string(), kTitleErrorNotice, Message::Kind::Io});
}

int RemoveStaleTemporaries(const std::filesystem::path& target) {
    const std::string prefix = target.filename().string() + std::string(kTemporaryInfix);
    const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    if (ec) return 0;
    int removed = 0;
    for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        const std::filesystem::path path = it->path();
        if (!path.filename().string().starts_with(prefix)) continue;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat info {};
        const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
        // Unlinked under our lock only if the name still refers to what we locked.
        if (regular && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && StillNames(fd, path) &&
            ::unlink(path.c_str()) == 0)
            ++removed;
        ::close(fd);
    }
    return removed;
}

}  // namespace xuan5
