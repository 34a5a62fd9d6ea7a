#include "util/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string>
#include <system_error>

namespace xuan5 {
namespace {

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

std::filesystem::path TemporaryBeside(const std::filesystem::path& target) {
    std::random_device seed;
    return target.parent_path() / (target.filename().string() + std::string(kTemporaryInfix) +
                                   std::to_string(seed()) + std::to_string(::getpid()));
}

}  // namespace

bool ReplaceFileAtomically(const std::filesystem::path& target, std::string_view content) {
    const std::filesystem::path temp = TemporaryBeside(target);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool written = WriteAll(fd, content) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    std::error_code ec;
    if (written && closed) {
        std::filesystem::rename(temp, target, ec);
        if (!ec) return true;
    }
    std::filesystem::remove(temp, ec);
    return false;
}

}  // namespace xuan5
