// The "check" command: per-entry lines, the summary and the exit status.

#include "app/temp_dir.h"
#include "cli/check_command.h"
#include "formula/library_load.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace vortimax {
namespace {

namespace fs = std::filesystem;
using test::writeBytes;

struct Outcome {
    int status;
    std::vector<std::string> lines;
    std::string err;
};

Outcome check(const std::vector<std::string>& files) {
    const std::vector<std::string_view> args(files.begin(), files.end());
    std::ostringstream out, err;
    const int status = cli::runCheck(args, out, err);
    Outcome outcome{status, {}, err.str()};
    std::istringstream stream(out.str());
    for (std::string line; std::getline(stream, line);)
        outcome.lines.push_back(line);
    return outcome;
}

class CheckCommand : public ::testing::Test {
protected:
    CheckCommand() {
        writeBytes(dir / "good.frm", "; two formulas\r\nMandel(XAXIS) {\r\nz = pixel:\r\n"
                                     "z = z^2 + pixel\r\n|z| <= 4\r\n}\r\ncomment {\r\nno\r\n}\r\n"
                                     "Cubic {z=pixel:z=z^3+pixel,|z|<=4}\r\n");
        writeBytes(dir / "bad.FRM", "Typo {\nz = pixel:\nz = z^2 + pixl)\n|z| <= 4\n}\n"
                                    "Short {\nz = pixel\n}\n");
        writeBytes(dir / "set.ifs", "Ok {\n.5 0 0 .5 0 0 .5\n}\nOdd {\n.5 0 0 .5 0 $ .5\n}\n");
        writeBytes(dir / "plant.l", "Plant {\nAxiom X\nX=F[+X]\n}\n");
    }

    std::string path(std::string_view name) const { return (dir / name).string(); }

    test::TempDir dir;
};

TEST_F(CheckCommand, GoodFilesPassWithOneLinePerEntry) {
    const Outcome result = check({path("good.frm"), path("plant.l")});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.lines, (std::vector<std::string>{
                                path("good.frm") + ": Mandel: ok", path("good.frm") + ": Cubic: ok",
                                path("plant.l") + ": Plant: ok", "3 compiled, 0 failed"}));
    EXPECT_TRUE(result.err.empty());
}

TEST_F(CheckCommand, FailuresShowTheErrorBoxText) {
    const Outcome result = check({path("bad.FRM"), path("set.ifs")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.lines, (std::vector<std::string>{
                                path("bad.FRM") + ": Typo: failed",
                                "  Error in Itermember:",
                                "  Offending line: z=z^2+pixl)",
                                "            Probably brackets are set wrong",
                                path("bad.FRM") + ": Short: failed",
                                "  Unexpected end of formula. Incomplete formula...",
                                path("set.ifs") + ": Ok: ok",
                                path("set.ifs") + ": Odd: failed",
                                "  Parsing:",
                                "  Offending line: $",
                                "            Illegal character encountered...",
                                "1 compiled, 3 failed",
                            }));
}

TEST_F(CheckCommand, FilesThatCannotBeCheckedGiveStatus2) {
    writeBytes(dir / "notes.txt", "Mandel {z=pixel:z=z*z+pixel,|z|<4}");
    fs::create_directories(dir / "folder.l");
    const struct {
        std::vector<std::string> files;
        std::string message;
    } cases[] = {
        {{path("missing.frm"), path("good.frm")}, "cannot read"},
        {{path("notes.txt")}, "is no .frm, .ifs or .l file"},
        {{path("bad.FRM"), path("folder.l")}, "cannot read"},
        {{}, "usage: vortimax-cli check FILE..."},
    };
    for (const auto& c : cases) {
        const Outcome result = check(c.files);
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
    // The files that could be read are still checked.
    EXPECT_EQ(check({path("missing.frm"), path("good.frm")}).lines.back(), "2 compiled, 0 failed");
}

// A file without a single entry says so, and what an old IFS file looks like.
TEST_F(CheckCommand, FilesWithoutEntriesSaySo) {
    writeBytes(dir / "old.ifs", "0.5 0 0 0.5 0 0 0.5\n0.5 0 0 0.5 1 0 0.5\n");
    writeBytes(dir / "empty.frm", "; nothing here\n");
    const Outcome result = check({path("old.ifs"), path("empty.frm"), path("plant.l")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.lines.back(), "1 compiled, 0 failed");
    EXPECT_EQ(result.err, "vortimax-cli check: No entry found in " + path("old.ifs") +
                              ": an entry is a name followed by { ... } (IFS files of the old "
                              "form, rows of numbers without a name and braces, are not read)\n"
                              "vortimax-cli check: No entry found in " +
                              path("empty.frm") + ": an entry is a name followed by { ... }\n");
}

// The shipped starter files hold only entries that compile.
TEST(CheckStarterFiles, EveryEntryCompiles) {
    const fs::path folder = fs::path(VORTIMAX_DATA_DIR) / "Formulas";
    const Outcome result =
        check({(folder / "Starter.frm").string(), (folder / "Starter.ifs").string(),
               (folder / "Starter.l").string(), (folder / "Classic.frm").string()});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.lines.front(), (folder / "Starter.frm").string() + ": Basic: ok");
    EXPECT_GE(result.lines.size(), 6u);
}

TEST_F(CheckCommand, TheProgramRunsIt) {
    const std::string command =
        std::string(VORTIMAX_CLI_PATH) + " check '" + path("bad.FRM") + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::array<char, 4096> buffer{};
    std::string output;
    while (std::size_t n = fread(buffer.data(), 1, buffer.size(), pipe))
        output.append(buffer.data(), n);
    const int status = pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(output.find(": Typo: failed\n"), std::string::npos) << output;
    EXPECT_NE(output.find("0 compiled, 2 failed\n"), std::string::npos) << output;
}

// Every library file of the corpus: the command's verdicts agree with what loading the
// file keeps, and the summary adds them up.
TEST(CheckCorpus, VerdictsMatchWhatLoadingKeeps) {
    const fs::path corpus(VORTIMAX_CORPUS_DIR);
    if (!fs::is_directory(corpus))
        GTEST_SKIP() << "corpus folder " << corpus << " is absent";
    std::vector<std::string> files;
    for (const auto& item : fs::recursive_directory_iterator(corpus)) {
        if (item.is_regular_file() && libraryKindOfFile(item.path()))
            files.push_back(item.path().string());
    }
    ASSERT_FALSE(files.empty());
    std::size_t allOk = 0;
    for (const std::string& file : files) {
        const Outcome result = check({file});
        std::size_t ok = 0, failed = 0;
        for (std::size_t i = 0; i + 1 < result.lines.size(); ++i) {
            const std::string& line = result.lines[i];
            if (line.ends_with(": ok")) {
                ++ok;
            } else if (line.ends_with(": failed")) {
                ++failed;
                ASSERT_LT(i + 1, result.lines.size() - 1) << line;
                EXPECT_TRUE(result.lines[i + 1].starts_with("  ")) << line;
            }
        }
        EXPECT_EQ(result.lines.back(),
                  std::to_string(ok) + " compiled, " + std::to_string(failed) + " failed");
        EXPECT_EQ(result.status, failed > 0 || ok == 0 ? 1 : 0) << file;
        FormulaLibrary formulas;
        IfsLibrary ifs;
        LSystemLibrary lsystems;
        switch (*libraryKindOfFile(file)) {
        case LibraryKind::Formula:
            EXPECT_EQ(loadFormulaFile(formulas, file).added, ok) << file;
            break;
        case LibraryKind::Ifs:
            EXPECT_EQ(loadIfsFile(ifs, file).added, ok + failed) << file;
            break;
        case LibraryKind::LSystem:
            EXPECT_EQ(loadLSystemFile(lsystems, file).added, ok + failed) << file;
            break;
        }
        allOk += ok;
    }
    EXPECT_GT(allOk, 0u);
}

} // namespace
} // namespace vortimax
