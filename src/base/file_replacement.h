#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <system_error>

namespace vortimax {

// Writes new content to the file at a path, taking care of what the path names.
//
// A regular file, or a path where nothing exists yet, is replaced all at once: the bytes
// go to a temporary file in the same directory, which commit() flushes to disk and
// renames over the target. Readers (and a crash half-way) see either the old file or the
// complete new one. The new file keeps the permission bits of the file it replaces; a new
// file gets rw-r--r--.
//
// Anything else is written in place and never replaced: a device (/dev/null), a FIFO or
// socket, and the file a symbolic link points to (the link stays). A directory cannot be
// written.
//
// Every failure counts: opening, a write error or short write, flushing, closing and the
// rename. error() keeps the first one's reason. Without a successful commit() the object
// removes its temporary file on destruction, so the target stays as it was.
class FileReplacement {
public:
    explicit FileReplacement(std::filesystem::path target);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // False when the file could not be opened; error() says why.
    bool isOpen() const { return descriptor_ >= 0; }
    // Appends `bytes`. False, and nothing more is written, once any write has failed.
    bool write(std::string_view bytes);
    // Finishes the file: the temporary is synced, closed and renamed over the target; a
    // file written in place is closed (and synced when it is a regular file). False when
    // this or anything before failed.
    bool commit();
    std::error_code error() const { return error_; }

private:
    void openInPlace();
    void openTemporary(mode_t mode);
    void fail(int errorNumber);
    void closeDescriptor();

    std::filesystem::path target_;
    std::string temporary_; // empty when the target is written in place
    int descriptor_ = -1;
    bool syncOnCommit_ = true;
    std::error_code error_;
};

} // namespace vortimax
