#include "app/temp_dir.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using vortimax::test::TempDir;

// Starts `vortimax-cli render` on an image that takes minutes, waits until its first
// progress line says the calculation runs, sends `signal` and returns how it ended and
// what it printed on stderr.
struct Ended {
    int status = -1;
    std::string err;
};

Ended interruptedRender(const std::filesystem::path& dir, int signal) {
    std::vector<std::string> args = {VORTIMAX_CLI_PATH, "render", "Mandel", "--size", "640x480"};
    std::istringstream sets("MaxIter=100000000 TopLeftR=-0.75 BottomRightR=-0.74 "
                            "TopLeftI=0.005 BottomRightI=-0.005");
    for (std::string set; sets >> set;)
        args.insert(args.end(), {"--set", set});
    args.insert(args.end(), {"--dir", (dir / "program").string(), "-o", (dir / "out.png").string(),
                             "--values", (dir / "out.npy").string()});
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    pid_t child = -1;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    Ended ended;
    if (spawned != 0) {
        close(pipeEnds[0]);
        return ended;
    }
    char buffer[256];
    bool signalled = false;
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        ended.err.append(buffer, static_cast<std::size_t>(n));
        if (!signalled && ended.err.find("render: ") != std::string::npos) {
            kill(child, signal);
            signalled = true;
        }
    }
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ended.status = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    return ended;
}

// Ctrl-C or a kill ends a long render at once with the shell's status for the signal,
// says so, and leaves no image or value file behind.
TEST(RenderInterruption, StopsCleanlyWithoutOutput) {
    for (int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        TempDir dir;
        const Ended ended = interruptedRender(dir.path(), signal);
        EXPECT_EQ(ended.status, 128 + signal) << ended.err;
        EXPECT_NE(ended.err.find("vortimax-cli render: interrupted; nothing written"),
                  std::string::npos)
            << ended.err;
        EXPECT_FALSE(std::filesystem::exists(dir.path() / "out.png"));
        EXPECT_FALSE(std::filesystem::exists(dir.path() / "out.npy"));
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            EXPECT_EQ(entry.path().filename(), "program") << "left behind: " << entry.path();
    }
}

} // namespace
