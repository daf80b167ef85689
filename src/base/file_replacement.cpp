#include "base/file_replacement.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vortimax {

namespace {

constexpr mode_t kNewFileMode = 0644;

// A hidden name beside the target; mkstemp replaces the Xs.
std::string temporaryPattern(const std::filesystem::path& target) {
    const std::filesystem::path name = "." + target.filename().string() + ".XXXXXX";
    return (target.has_parent_path() ? target.parent_path() / name : name).string();
}

} // namespace

FileReplacement::FileReplacement(std::filesystem::path target) : target_(std::move(target)) {
    if (target_.empty()) {
        fail(ENOENT);
        return;
    }
    struct stat info {};
    if (::lstat(target_.c_str(), &info) == 0) {
        if (S_ISREG(info.st_mode))
            openTemporary(info.st_mode & 07777);
        else if (S_ISDIR(info.st_mode))
            fail(EISDIR);
        else
            openInPlace();
    } else if (errno == ENOENT) {
        openTemporary(kNewFileMode);
    } else {
        fail(errno);
    }
}

FileReplacement::~FileReplacement() {
    closeDescriptor();
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
}

// Devices and FIFOs ignore O_TRUNC; a dangling symbolic link gets its target created.
void FileReplacement::openInPlace() {
    descriptor_ = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CREAT | O_CLOEXEC, kNewFileMode);
    if (descriptor_ < 0) {
        fail(errno);
        return;
    }
    // fsync fails on devices and pipes (EINVAL), which says nothing about the write.
    struct stat info {};
    syncOnCommit_ = ::fstat(descriptor_, &info) == 0 && S_ISREG(info.st_mode);
}

void FileReplacement::openTemporary(mode_t mode) {
    std::string name = temporaryPattern(target_);
    descriptor_ = ::mkstemp(name.data());
    if (descriptor_ < 0) {
        fail(errno);
        return;
    }
    temporary_ = std::move(name);
    if (::fchmod(descriptor_, mode) != 0)
        fail(errno);
}

bool FileReplacement::write(std::string_view bytes) {
    while (!error_ && !bytes.empty()) {
        const ssize_t written = ::write(descriptor_, bytes.data(), bytes.size());
        if (written > 0)
            bytes.remove_prefix(static_cast<std::size_t>(written));
        else if (written == 0)
            fail(EIO); // a write that takes nothing would never end
        else if (errno != EINTR)
            fail(errno);
    }
    return !error_;
}

bool FileReplacement::commit() {
    if (!isOpen()) {
        fail(EBADF);
        return false;
    }
    if (!error_ && syncOnCommit_ && ::fsync(descriptor_) != 0)
        fail(errno);
    const int closed = ::close(std::exchange(descriptor_, -1));
    if (closed != 0)
        fail(errno);
    if (!error_ && !temporary_.empty()) {
        if (std::rename(temporary_.c_str(), target_.c_str()) != 0)
            fail(errno);
        else
            temporary_.clear();
    }
    return !error_;
}

// The first failure is the one worth telling.
void FileReplacement::fail(int errorNumber) {
    if (!error_)
        error_ = std::error_code(errorNumber, std::generic_category());
}

void FileReplacement::closeDescriptor() {
    if (descriptor_ >= 0)
        ::close(std::exchange(descriptor_, -1));
}

} // namespace vortimax
