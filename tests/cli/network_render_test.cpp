// render --master and slave as the command line runs them, on the loopback interface.

#include "app/temp_dir.h"
#include "cli/render_command.h"
#include "cli/slave_command.h"
#include "cli_test_support.h"
#include "network/master.h"
#include "network/socket.h"
#include "support/view_test_support.h"

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace vortimax {
namespace {

using test::TempDir;
namespace fs = std::filesystem;

// A slave process whose standard error goes to a file.
struct SlaveProcess {
    pid_t pid = -1;
    fs::path log;

    SlaveProcess(std::uint16_t port, const fs::path& dir, const fs::path& logFile) : log(logFile) {
        const std::vector<std::string> args = {VORTIMAX_CLI_PATH, "slave",     "--master",
                                               "127.0.0.1",       "--port",    std::to_string(port),
                                               "--dir",           dir.string()};
        std::vector<char*> argv;
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
    }
    // The exit status, or -1 when it did not exit normally.
    int wait() {
        int status = 0;
        if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
            return -1;
        return WEXITSTATUS(status);
    }
    std::string text() const {
        std::ifstream in(log);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A port that was free a moment ago.
std::uint16_t freePort() {
    std::string step;
    int error = 0;
    net::Socket probe = net::Socket::listenOn(0, "127.0.0.1", 1, step, error);
    return probe.localPort();
}

bool accepting(std::uint16_t port) {
    int error = 0;
    return net::Socket::connectTo(net::Address{127, 0, 0, 1}, port, error).valid();
}

TEST(NetworkRender, MasterWithTwoSlaveProcessesWritesTheLocalImage) {
    TempDir dir;
    const fs::path program = dir.path() / "program";
    const std::uint16_t port = freePort();
    const std::vector<std::string> picture = {"Julia", "--size",         "240x160",
                                              "--dir", program.string(), "--quiet"};
    std::vector<std::string> networked = picture;
    networked.insert(networked.end(), {"--master", "--port", std::to_string(port), "--slaves", "2",
                                       "-o", (dir.path() / "net.png").string()});
    test::Outcome master{};
    std::thread rendering([&] { master = test::run(cli::runRender, networked); });
    ASSERT_TRUE(testing::waitFor([&] { return accepting(port); }));
    SlaveProcess first(port, program, dir.path() / "first.log");
    SlaveProcess second(port, program, dir.path() / "second.log");
    rendering.join();
    EXPECT_EQ(master.status, 0) << master.err;
    EXPECT_NE(master.err.find("master listening on port " + std::to_string(port)),
              std::string::npos);
    EXPECT_NE(master.err.find(" integrated"), std::string::npos) << master.err;
    // Stopping the master lets the slaves go.
    for (SlaveProcess* slave : {&first, &second}) {
        EXPECT_EQ(slave->wait(), 0) << slave->text();
        EXPECT_NE(slave->text().find("Disconnecting network subsystem from master."),
                  std::string::npos);
    }
    std::vector<std::string> local = picture;
    local.insert(local.end(), {"-o", (dir.path() / "local.png").string()});
    ASSERT_EQ(test::run(cli::runRender, local).status, 0);
    const std::string localBytes = fileBytes(dir.path() / "local.png");
    EXPECT_FALSE(localBytes.empty());
    EXPECT_EQ(fileBytes(dir.path() / "net.png"), localBytes);
}

TEST(NetworkRender, CtrlCLeavesTheMasterGracefully) {
    TempDir dir;
    std::mutex linesLock;
    std::vector<std::string> lines;
    net::Master master([&](const std::string& line) {
        std::lock_guard lock(linesLock);
        lines.push_back(line);
    });
    ASSERT_TRUE(master.start(net::MasterOptions{0, "127.0.0.1"}));
    SlaveProcess slave(master.port(), dir.path() / "program", dir.path() / "slave.log");
    ASSERT_TRUE(master.waitForMembers(1, {}));
    kill(slave.pid, SIGINT);
    EXPECT_EQ(slave.wait(), 0) << slave.text();
    EXPECT_NE(slave.text().find("Disconnected..."), std::string::npos);
    ASSERT_TRUE(testing::waitFor([&] { return master.memberCount() == 0; }));
    std::lock_guard lock(linesLock);
    EXPECT_NE(lines.back().find("is no longer available. 0 member(s) remaining"),
              std::string::npos);
}

TEST(NetworkRender, NetworkOptionsAreChecked) {
    TempDir dir;
    const std::string out = (dir.path() / "x.png").string();
    EXPECT_EQ(test::run(cli::runRender, {"Mandel", "--slaves", "2", "-o", out}).status, 2);
    EXPECT_EQ(
        test::run(cli::runRender, {"Mandel", "--master", "--port", "70000", "-o", out}).status, 2);
    EXPECT_EQ(test::run(cli::runRender,
                        {"Mandel", "--master", "--size", "64x64", "--region", "0,0,8,8", "-o", out})
                  .status,
              2);
    const test::Outcome lyapunov =
        test::run(cli::runRender, {"Lyapunov", "--master", "--port", "0", "--dir",
                                   (dir.path() / "program").string(), "-o", out});
    EXPECT_EQ(lyapunov.status, 1);
    EXPECT_NE(lyapunov.err.find("not calculated over the network"), std::string::npos);
    EXPECT_EQ(test::run(cli::runSlave, {}).status, 2);
    EXPECT_EQ(test::run(cli::runSlave, {"--master", "127.0.0.1", "--port", "0"}).status, 2);
    EXPECT_EQ(test::run(cli::runSlave, {"--master", "127.0.0.1", "--bogus"}).status, 2);
}

} // namespace
} // namespace vortimax
