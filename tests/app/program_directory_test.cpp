#include "app/program_directory.h"
#include "temp_dir.h"

#include <gtest/gtest.h>
#include <map>

namespace vortimax {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::TempDir;
using test::writeBytes;

// A fake process: its own working directory, environment, home and shipped data.
class ProgramDirectoryTest : public ::testing::Test {
protected:
    ProgramDirectoryTest() {
        for (const char* folder :
             {"cwd", "home", "data/Palettes", "data/Fractals", "data/Formulas"})
            fs::create_directories(root / folder);
        writeBytes(root / "data/PosPrefs.asc", "// prefs\r\n");
        writeBytes(root / "data/Palettes/Fire.map", "0 0 0 ; key=7\r\n");
        writeBytes(root / "data/Fractals/Starter.par", "A {\r\n}\r\n");
        writeBytes(root / "data/Formulas/Classic.frm", "ClassicA {\r\n}\r\n");
        env["HOME"] = (root / "home").string();
    }

    ProgramDirectoryInputs inputs() const {
        ProgramDirectoryInputs in;
        in.workingDirectory = root / "cwd";
        in.environment = [this](std::string_view name) -> std::optional<std::string> {
            const auto it = env.find(std::string(name));
            return it == env.end() ? std::nullopt : std::optional<std::string>(it->second);
        };
        in.builtInDataDir = root / "data";
        return in;
    }

    TempDir root;
    std::map<std::string, std::string> env;
};

TEST_F(ProgramDirectoryTest, DirArgumentWinsAndIsUsedAsItIs) {
    writeBytes(root / "cwd/Vortimax.cfg", "");
    fs::create_directories(root / "cwd/mine");
    writeBytes(root / "cwd/mine/Vortimax.cfg", "mine");
    ProgramDirectoryInputs in = inputs();
    in.dirArgument = "mine";
    const ProgramDirectoryResult result = chooseProgramDirectory(in);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.directory, root / "cwd/mine");
    EXPECT_EQ(result.source, ProgramDirectorySource::Argument);
    EXPECT_TRUE(result.seeded.empty());
    EXPECT_FALSE(fs::exists(root / "cwd/mine/PosPrefs.asc"));
}

// A new or empty --dir is set up like the per-user directory; a file is refused.
TEST_F(ProgramDirectoryTest, NewOrEmptyDirArgumentIsCreatedAndSeeded) {
    fs::create_directories(root / "empty");
    for (const char* name : {"empty", "new/deeper"}) {
        ProgramDirectoryInputs in = inputs();
        in.dirArgument = root / name;
        const ProgramDirectoryResult result = chooseProgramDirectory(in);
        ASSERT_TRUE(result.ok()) << name << result.error;
        EXPECT_EQ(result.directory, root / name);
        EXPECT_EQ(result.source, ProgramDirectorySource::Argument);
        EXPECT_EQ(result.seeded.size(), 1 + kSeedFolders.size()) << name;
        for (const char* file : {"PosPrefs.asc", "Palettes/Fire.map", "Fractals/Starter.par"})
            EXPECT_EQ(readBytes(root / name / file), readBytes(root / "data" / file)) << file;
        EXPECT_EQ(chooseProgramDirectory(in).seeded.size(), 0u) << "seeded once";
    }
    EXPECT_FALSE(fs::exists(root / "home/.config")) << "home left untouched";
    writeBytes(root / "plain", "a file");
    ProgramDirectoryInputs in = inputs();
    in.dirArgument = root / "plain";
    const ProgramDirectoryResult refused = chooseProgramDirectory(in);
    EXPECT_NE(refused.error.find("--dir"), std::string::npos);
    EXPECT_TRUE(refused.directory.empty());
    EXPECT_EQ(readBytes(root / "plain"), "a file");
}

TEST_F(ProgramDirectoryTest, WorkingDirectoryWithMarkerIsPortableInstall) {
    for (const std::string_view marker : kPortableMarkers) {
        TempDir cwd;
        writeBytes(cwd / marker, "");
        ProgramDirectoryInputs in = inputs();
        in.workingDirectory = cwd.path();
        const ProgramDirectoryResult result = chooseProgramDirectory(in);
        EXPECT_EQ(result.directory, cwd.path()) << marker << result.error;
        EXPECT_EQ(result.source, ProgramDirectorySource::WorkingDirectory);
    }
    EXPECT_FALSE(fs::exists(root / "home/.config")) << "home left untouched";
    writeBytes(root / "cwd/vortimax.CFG", ""); // marker names must match exactly
    EXPECT_EQ(chooseProgramDirectory(inputs()).source, ProgramDirectorySource::UserDirectory);
}

TEST_F(ProgramDirectoryTest, UserDirectoryIsSeededOnceAndUserChangesSurvive) {
    env["XDG_CONFIG_HOME"] = (root / "xdg").string();
    const ProgramDirectoryResult first = chooseProgramDirectory(inputs());
    const fs::path dir = root / "xdg/vortimax";
    EXPECT_EQ(first.directory, dir) << first.error;
    EXPECT_EQ(first.seeded.size(), 1 + kSeedFolders.size());
    for (const char* file : {"PosPrefs.asc", "Palettes/Fire.map", "Fractals/Starter.par"})
        EXPECT_EQ(readBytes(dir / file), readBytes(root / "data" / file)) << file;
    for (const std::string_view folder : kSeedFolders)
        EXPECT_TRUE(fs::is_directory(dir / folder)) << folder;
    // The next start overwrites nothing, gives back a removed folder, leaves no temporaries.
    writeBytes(dir / "PosPrefs.asc", "changed");
    writeBytes(dir / "Palettes/Fire.map", "mine");
    fs::remove(dir / "Pictures");
    EXPECT_EQ(chooseProgramDirectory(inputs()).seeded, std::vector<std::string>{"Pictures"});
    EXPECT_EQ(readBytes(dir / "PosPrefs.asc"), "changed");
    EXPECT_EQ(readBytes(dir / "Palettes/Fire.map"), "mine");
    EXPECT_TRUE(fs::is_directory(dir / "Pictures"));
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_NE(entry.path().filename().string().rfind(".seeding-", 0), 0u) << "leftover";
}

// A directory set up before a program file was shipped (or whose copy was removed) gets
// it at the next start, into its folder of that name only; a user's copy stays.
TEST_F(ProgramDirectoryTest, MissingProgramFilesAreRestored) {
    env["XDG_CONFIG_HOME"] = (root / "xdg").string();
    const fs::path dir = root / "xdg/vortimax";
    ASSERT_TRUE(chooseProgramDirectory(inputs()).ok());
    ASSERT_TRUE(fs::remove(dir / "Formulas/Classic.frm"));
    EXPECT_EQ(chooseProgramDirectory(inputs()).seeded,
              std::vector<std::string>{"Formulas/Classic.frm"});
    EXPECT_EQ(readBytes(dir / "Formulas/Classic.frm"),
              readBytes(root / "data/Formulas/Classic.frm"));
    writeBytes(dir / "Formulas/Classic.frm", "mine");
    EXPECT_TRUE(chooseProgramDirectory(inputs()).seeded.empty());
    EXPECT_EQ(readBytes(dir / "Formulas/Classic.frm"), "mine");

    fs::create_directories(root / "cwd/bare");
    writeBytes(root / "cwd/bare/Vortimax.cfg", "");
    ProgramDirectoryInputs in = inputs();
    in.dirArgument = "bare";
    EXPECT_TRUE(chooseProgramDirectory(in).seeded.empty());
    EXPECT_FALSE(fs::exists(root / "cwd/bare/Formulas"));
}

TEST_F(ProgramDirectoryTest, HomeIsUsedWhenXdgIsEmptyOrRelative) {
    for (const std::string xdg : {"", "relative/config"}) {
        env["XDG_CONFIG_HOME"] = xdg;
        EXPECT_EQ(chooseProgramDirectory(inputs()).directory, root / "home/.config/vortimax");
    }
    env.clear();
    EXPECT_NE(chooseProgramDirectory(inputs()).error.find("HOME"), std::string::npos);
}

TEST_F(ProgramDirectoryTest, DataDirectoryLookupOrder) {
    ProgramDirectoryInputs in = inputs();
    in.builtInDataDir.clear();
    // Installed layout: <prefix>/bin/vortimax with <prefix>/share/vortimax.
    fs::create_directories(root / "prefix/share");
    fs::rename(root / "data", root / "prefix/share/vortimax");
    in.executable = root / "prefix/bin/vortimax";
    EXPECT_EQ(findDataDirectory(in).directory, root / "prefix/share/vortimax");
    // The installed data comes before the data of the build, which is used only when the
    // executable has nothing installed beside it (as in the build tree).
    fs::create_directories(root / "build");
    writeBytes(root / "build/PosPrefs.asc", "");
    in.builtInDataDir = root / "build";
    EXPECT_EQ(findDataDirectory(in).directory, root / "prefix/share/vortimax");
    in.executable = root / "build/src/ui/vortimax";
    EXPECT_EQ(findDataDirectory(in).directory, root / "build");
    in.executable = root / "prefix/bin/vortimax";
    // The variable wins, and a wrong value is an error rather than a silent fallback.
    env[std::string(kDataDirVariable)] = (root / "prefix/share/vortimax").string();
    EXPECT_EQ(findDataDirectory(inputs()).directory, root / "prefix/share/vortimax");
    env[std::string(kDataDirVariable)] = (root / "nowhere").string();
    const DataDirectoryResult wrong = findDataDirectory(in);
    EXPECT_TRUE(wrong.directory.empty());
    EXPECT_NE(wrong.error.find("VORTIMAX_DATA_DIR"), std::string::npos);
}

TEST_F(ProgramDirectoryTest, FailuresAreReportedAndCreateNothing) {
    ProgramDirectoryInputs in = inputs();
    in.builtInDataDir = root / "nowhere";
    in.executable = "bin/vortimax";
    const ProgramDirectoryResult noData = chooseProgramDirectory(in);
    EXPECT_NE(noData.error.find("PosPrefs.asc"), std::string::npos);
    EXPECT_NE(noData.error.find((root / "nowhere").string()), std::string::npos);
    EXPECT_FALSE(fs::exists(root / "home/.config/vortimax"));
    // A file where the user directory belongs is left alone.
    fs::create_directories(root / "home/.config");
    writeBytes(root / "home/.config/vortimax", "not a folder");
    EXPECT_NE(chooseProgramDirectory(inputs()).error.find("Cannot create"), std::string::npos);
    EXPECT_EQ(readBytes(root / "home/.config/vortimax"), "not a folder");
}

} // namespace
} // namespace vortimax
