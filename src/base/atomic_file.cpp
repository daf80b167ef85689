#include "base/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace vortimax {

namespace {

bool writeAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The new file keeps the permission bits of the file it replaces; a new file gets
// the usual rw-r--r--.
mode_t modeFor(const std::string& target) {
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        return info.st_mode & 07777;
    }
    return 0644;
}

bool fillTemporary(int fd, std::string_view content, mode_t mode) {
    return ::fchmod(fd, mode) == 0 && writeAll(fd, content) && ::fsync(fd) == 0;
}

} // namespace

bool writeFileAtomically(const std::filesystem::path& path, std::string_view content) {
    const std::string target = path.string();
    if (target.empty()) {
        return false;
    }
    std::string temporary = target + ".tmpXXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return false;
    }
    const bool filled = fillTemporary(fd, content, modeFor(target));
    const bool closed = ::close(fd) == 0;
    if (filled && closed && std::rename(temporary.c_str(), target.c_str()) == 0) {
        return true;
    }
    ::unlink(temporary.c_str());
    return false;
}

} // namespace vortimax
