#pragma once

#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace vortimax::testing {

// A character device such as "null" or "full" for tests of writers. Where the process
// may create device nodes (as root), it gets a node of its own in `directory`: a writer
// that wrongly replaced its target would otherwise replace the system's /dev node. Without
// that right it gets the system's node, which it cannot replace either. Nothing when the
// system has no such device or only the system's node could be used, but may be replaced.
inline std::optional<std::filesystem::path> testDevice(const std::filesystem::path& directory,
                                                       const std::string& name) {
    const std::filesystem::path system = "/dev/" + name;
    struct stat info {};
    if (::stat(system.c_str(), &info) != 0 || !S_ISCHR(info.st_mode))
        return std::nullopt;
    const std::filesystem::path own = directory / name;
    if (::mknod(own.c_str(), S_IFCHR | 0666, info.st_rdev) == 0) {
        const int fd = ::open(own.c_str(), O_WRONLY);
        if (fd >= 0) {
            ::close(fd);
            return own;
        }
        ::unlink(own.c_str());
    }
    if (::access("/dev", W_OK) != 0)
        return system;
    return std::nullopt;
}

} // namespace vortimax::testing
