// The program's three libraries: start-up loading from the formula directories and the Load
// commands, on their own and installed on the application.

#include "app/app_fixture.h"
#include "app/formula_libraries.h"
#include "app/generic_load.h"
#include "formula/library_reader.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vortimax {
namespace {

namespace fs = std::filesystem;
using test::writeBytes;

constexpr std::string_view kFormula = "{\r\nz = pixel:\r\nz = z^2 + pixel\r\n|z| <= 4\r\n}\r\n";

template <class Library> std::vector<std::string> namesOf(const Library& library) {
    std::vector<std::string> names;
    for (const auto& entry : library.all()) {
        names.push_back(entry.name);
    }
    return names;
}

class FormulaLibrariesTest : public ::testing::Test {
protected:
    FormulaLibrariesTest() {
        fs::create_directories(one / "folder.frm");
        writeBytes(one / "b.FRM", "Basic " + std::string(kFormula));
        writeBytes(one / "a.frm", "Zed " + std::string(kFormula) + "Broken {z}\r\n");
        writeBytes(one / "c.Ifs", "Fern {\r\n0 0 0 .16 0 0 .01\r\n}\r\n");
        writeBytes(one / "d.L", "Koch {\r\nAngle 6\r\nAxiom F\r\nF=F+F--F+F\r\n}\r\n");
        writeBytes(one / "e.txt", "Text " + std::string(kFormula));
        writeBytes(one / "empty.frm", "");
        fs::create_directories(two);
        writeBytes(two / "x.frm", "basic " + std::string(kFormula));
    }

    std::vector<std::string> loadAtStartup(bool abort = false) {
        std::atomic<bool> flag{abort};
        std::vector<std::string> texts;
        Progress progress(flag, [&](std::string_view text, double) {
            if (texts.empty() || texts.back() != text) {
                texts.emplace_back(text);
            }
        });
        libraries.loadDirectories({one.path(), dir / "missing", two}, progress, frontend);
        return texts;
    }

    test::TempDir dir;
    test::TempDir one;
    fs::path two = dir / "two";
    ScriptedFrontend frontend;
    FormulaLibraries libraries;
};

TEST_F(FormulaLibrariesTest, StartupReadsEveryLibraryFileOfEachDirectory) {
    const std::vector<std::string> texts = loadAtStartup();
    EXPECT_EQ(texts,
              (std::vector<std::string>{
                  "Loading formula a.frm", "Loading file a.frm", "Loading formula b.FRM",
                  "Loading file b.FRM", "Loading formula empty.frm", "Loading file empty.frm",
                  "Loading IFS formula c.Ifs", "Loading file c.Ifs", "Loading LSystem formula d.L",
                  "Loading file d.L", "Loading formula x.frm", "Loading file x.frm"}));
    EXPECT_EQ(namesOf(libraries.formulas()), (std::vector<std::string>{"Basic", "basic.1", "Zed"}));
    EXPECT_EQ(namesOf(libraries.ifs()), (std::vector<std::string>{"Fern"}));
    EXPECT_EQ(namesOf(libraries.lsystems()), (std::vector<std::string>{"Koch"}));
    // Only the file without an entry gets a line in the message window.
    EXPECT_EQ(frontend.messages(),
              (std::vector<std::string>{"No entry found in " + (one.path() / "empty.frm").string() +
                                        ": an entry is a name followed by { ... }"}));
}

TEST_F(FormulaLibrariesTest, AnAbortedStartupReadsNothingMore) {
    EXPECT_TRUE(loadAtStartup(true).empty());
    EXPECT_TRUE(libraries.formulas().empty());
}

TEST_F(FormulaLibrariesTest, LoadCommandsChooseTheLibraryByTheFirstExtension) {
    std::vector<LibraryKind> changed;
    libraries.setChangeListener([&](LibraryKind kind) { changed.push_back(kind); });
    const struct {
        std::vector<fs::path> files;
        bool known;
        std::string title;
    } cases[] = {
        {{one / "c.Ifs"}, true, "Loading IFS formulas"},
        {{one / "d.L"}, true, "Loading LSystem formulas"},
        {{one / "b.FRM", one / "c.Ifs"}, true, "Loading formulas"}, // c.Ifs read as formulas
        {{one / "e.txt", one / "a.frm"}, false, ""},
        {{}, false, ""},
    };
    for (const auto& c : cases) {
        frontend.clearCalls();
        EXPECT_EQ(libraries.loadFiles(c.files, frontend), c.known);
        const auto runs = frontend.progressRuns();
        ASSERT_EQ(runs.size(), c.known ? 1u : 0u);
        if (c.known) {
            EXPECT_EQ(runs[0].caption, c.title);
        }
    }
    EXPECT_EQ(changed, (std::vector<LibraryKind>{LibraryKind::Ifs, LibraryKind::LSystem,
                                                 LibraryKind::Formula}));
    EXPECT_EQ(namesOf(libraries.formulas()), (std::vector<std::string>{"Basic"}));
    EXPECT_EQ(libraries.ifs().size(), 1u);
    EXPECT_EQ(libraries.lsystems().size(), 1u);
}

TEST_F(FormulaLibrariesTest, ACancelledLoadIsToldAndStops) {
    frontend.queueAbortAfter(0);
    EXPECT_TRUE(libraries.loadFiles({one / "a.frm", one / "b.FRM"}, frontend));
    EXPECT_TRUE(libraries.formulas().empty());
    const auto boxes = frontend.messageBoxes();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes[0].caption, "Aborting");
    EXPECT_EQ(boxes[0].text, "Load was aborted...");
}

class InstalledLibraries : public test::AppFixture {
protected:
    test::TempDir formulas;
    FormulaLibraries libraries;
};

// Which files are read is checked above; here only that both paths reach the libraries.
TEST_F(InstalledLibraries, StartupAndGenericLoadFillTheLibraries) {
    writeBytes(formulas / "start.frm", "Basic " + std::string(kFormula));
    writeBytes(dir / "Vortimax.cfg", "FormulaPath " + formulas.path().string() + "\r\n");
    app = std::make_unique<Application>(frontend);
    libraries.install(*app);
    ASSERT_TRUE(app->start(options()).ok);
    EXPECT_EQ(namesOf(libraries.formulas()), (std::vector<std::string>{"Basic"}));
    writeBytes(dir / "plant.l", "Plant {\r\nAxiom X\r\n}\r\n");
    loadFiles(*app, {dir / "plant.l"});
    EXPECT_EQ(namesOf(libraries.lsystems()), (std::vector<std::string>{"Plant"}));
}

} // namespace
} // namespace vortimax
