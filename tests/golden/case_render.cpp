#include "case_render.h"

#include "fnv1a.h"
#include "imagefile/png_loader.h"

#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace vortimax::golden {

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs the program with its output and errors going to `log`; the exit status, or -1
// when it could not be started or did not exit normally.
int runLogged(const std::vector<std::string>& command, const fs::path& log) {
    std::vector<char*> argv;
    for (const std::string& word : command)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::optional<std::uint64_t> hashFile(const fs::path& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error))
        return std::nullopt;
    const std::string bytes = readFile(path);
    Fnv1a hash;
    hash.add({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    return hash.value();
}

// The size and the blue, green, red bytes of every row: what the picture shows,
// whatever compression or filters wrote it.
std::optional<std::uint64_t> hashPixels(const fs::path& path) {
    DecodedPng image;
    if (loadPng(path, image) != PngLoadResult::Loaded)
        return std::nullopt;
    Fnv1a hash;
    hash.addUint32(static_cast<std::uint32_t>(image.width));
    hash.addUint32(static_cast<std::uint32_t>(image.height));
    hash.add(image.bgrRows);
    return hash.value();
}

} // namespace

RenderOutcome renderAndHash(const RenderSetup& setup, const std::string& name,
                            const std::vector<std::string>& args, int threads) {
    const fs::path png = setup.scratch / (name + ".png");
    const fs::path npy = setup.scratch / (name + ".npy");
    const fs::path log = setup.scratch / (name + ".log");
    std::vector<std::string> command = {setup.cli.string(), "render"};
    command.insert(command.end(), args.begin(), args.end());
    command.insert(command.end(),
                   {"--dir", setup.programDir.string(), "--threads", std::to_string(threads),
                    "--values", npy.string(), "-o", png.string()});
    const int status = runLogged(command, log);
    if (status != 0)
        return {std::nullopt,
                "render exited with status " + std::to_string(status) + ":\n" + readFile(log)};
    auto values = hashFile(npy);
    auto pixels = hashPixels(png);
    if (!values || !pixels)
        return {std::nullopt, "render wrote no readable " + std::string(values ? "PNG" : ".npy")};
    return {PictureHashes{*values, *pixels}, {}};
}

} // namespace vortimax::golden
