#include "app/temp_dir.h"
#include "base/atomic_file.h"
#include "support/device_nodes.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace vortimax {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::TempDir;
using test::writeBytes;

std::size_t entriesIn(const fs::path& directory) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(directory), fs::directory_iterator()));
}

// Targets that are written in place (or refused) and must still be what they were
// afterwards, with no temporary left beside them.
TEST(FileReplacement, TargetsThatAreNotRegularFilesStayWhatTheyAre) {
    TempDir dir;
    const auto null = testing::testDevice(dir.path(), "null");
    const auto full = testing::testDevice(dir.path(), "full");
    if (!null || !full)
        GTEST_SKIP() << "no null and full devices that are safe to write";
    fs::create_directory(dir / "folder");
    fs::create_symlink(*null, dir / "null-link");
    const struct {
        fs::path target;
        std::errc expected; // std::errc{}: the write succeeds
        fs::file_type type;
    } cases[] = {
        {*null, std::errc{}, fs::file_type::character},
        {*full, std::errc::no_space_on_device, fs::file_type::character},
        {dir / "null-link", std::errc{}, fs::file_type::symlink},
        {dir / "folder", std::errc::is_a_directory, fs::file_type::directory},
    };
    const std::size_t entries = entriesIn(dir.path());
    for (const auto& c : cases) {
        std::error_code error;
        EXPECT_EQ(writeFileAtomically(c.target, "content", &error), c.expected == std::errc{})
            << c.target;
        EXPECT_EQ(error.value(), std::make_error_code(c.expected).value()) << c.target;
        EXPECT_EQ(fs::symlink_status(c.target).type(), c.type) << c.target;
    }
    EXPECT_EQ(entriesIn(dir.path()), entries);
}

TEST(FileReplacement, SymbolicLinkStaysAndItsTargetIsWritten) {
    TempDir dir;
    writeBytes(dir / "real.txt", "old");
    fs::create_symlink("real.txt", dir / "link.txt");
    fs::create_symlink("later.txt", dir / "dangling.txt");
    ASSERT_TRUE(writeFileAtomically(dir / "link.txt", "new"));
    ASSERT_TRUE(writeFileAtomically(dir / "dangling.txt", "created"));
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt") && fs::is_symlink(dir / "dangling.txt"));
    EXPECT_EQ(readBytes(dir / "real.txt"), "new");
    EXPECT_EQ(readBytes(dir / "later.txt"), "created");
}

// More than a pipe holds, so the write must go on while the reader drains it. The test
// keeps a write end of its own until the write returned: the reader sees the end of the
// data only then, and also when the bytes went somewhere else.
TEST(FileReplacement, FifoReceivesTheBytesInPlace) {
    TempDir dir;
    const fs::path fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int keeper = ::open(fifo.c_str(), O_RDWR); // opens at once: it is its own reader
    const int input = ::open(fifo.c_str(), O_RDONLY);
    ASSERT_TRUE(keeper >= 0 && input >= 0);
    std::string received;
    std::thread reader([&] {
        char block[4096];
        for (ssize_t count; (count = ::read(input, block, sizeof block)) > 0;)
            received.append(block, static_cast<std::size_t>(count));
    });
    std::string content(300000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 7);
    const bool written = writeFileAtomically(fifo, content);
    ::close(keeper);
    reader.join();
    ::close(input);
    EXPECT_TRUE(written);
    EXPECT_EQ(fs::symlink_status(fifo).type(), fs::file_type::fifo);
    EXPECT_TRUE(received == content) << received.size() << " bytes received";
}

TEST(FileReplacement, RegularFileIsReplacedWithItsPermissionBits) {
    TempDir dir;
    writeBytes(dir / "kept.txt", "old");
    fs::permissions(dir / "kept.txt", fs::perms(0640));
    ASSERT_TRUE(writeFileAtomically(dir / "kept.txt", "new"));
    ASSERT_TRUE(writeFileAtomically(dir / "fresh.txt", ""));
    EXPECT_EQ(readBytes(dir / "kept.txt"), "new");
    EXPECT_EQ(fs::status(dir / "kept.txt").permissions(), fs::perms(0640));
    EXPECT_EQ(fs::status(dir / "fresh.txt").permissions(), fs::perms(0644));
    EXPECT_EQ(entriesIn(dir.path()), 2u);
}

// A write the file-size limit cuts short fails with EFBIG: the old file is left as it
// was and the temporary goes.
TEST(FileReplacement, FailedWriteLeavesTheOldFileAndNoTemporary) {
    TempDir dir;
    writeBytes(dir / "data.bin", "old");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::error_code error;
    const bool written = writeFileAtomically(dir / "data.bin", std::string(5000, 'x'), &error);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(error, std::errc::file_too_large);
    EXPECT_EQ(readBytes(dir / "data.bin"), "old");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

} // namespace
} // namespace vortimax
