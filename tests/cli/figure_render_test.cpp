// IFS and L-system fractals through "vortimax-cli render": the starter definitions, every
// definition of the corpus libraries and the corpus parameter entries of both types.

#include "app/formula_libraries.h"
#include "app/scripted_frontend.h"
#include "app/temp_dir.h"
#include "cli/cli_test_support.h"
#include "cli/loaded_files.h"
#include "cli/render_command.h"
#include "imagefile/png_loader.h"
#include "model/fractal_record.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iostream>

namespace vortimax {
namespace {

namespace fs = std::filesystem;
using test::Outcome;
using test::TempDir;

const fs::path kCorpus = VORTIMAX_CORPUS_DIR;

// A program directory whose formula path is `formulaDirectories`.
class FigureRender : public ::testing::Test {
protected:
    void useFormulaDirectories(const std::vector<fs::path>& directories) {
        std::string path;
        for (const fs::path& directory : directories)
            path += (path.empty() ? "" : ";") + directory.string();
        fs::create_directories(program / "Palettes");
        test::writeBytes(program / "Vortimax.cfg", "PalettePath " +
                                                       (program / "Palettes").string() +
                                                       "\r\nFormulaPath " + path + "\r\n");
        formulaDirectories = directories;
    }
    Outcome render(std::vector<std::string> args) {
        args.insert(args.end(), {"--dir", program.string(), "--size", "64x48", "-o", png()});
        return test::run(cli::runRender, std::move(args));
    }
    std::string png() const { return (dir / "figure.png").string(); }
    // The names of one library's entries, loaded as the command loads them.
    std::vector<std::string> namesIn(LibraryKind kind) const {
        FormulaLibraries libraries;
        ScriptedFrontend frontend;
        std::atomic<bool> noAbort{false};
        Progress progress(noAbort);
        libraries.loadDirectories(formulaDirectories, progress, frontend);
        return libraries.entryNames(kind);
    }
    // How many of the pixels are not the black background.
    int drawnPixels() const {
        DecodedPng image;
        EXPECT_EQ(loadPng(png(), image), PngLoadResult::Loaded);
        int drawn = 0;
        for (std::size_t i = 0; i + 2 < image.bgrRows.size(); i += 3)
            drawn += image.bgrRows[i] + image.bgrRows[i + 1] + image.bgrRows[i + 2] > 0 ? 1 : 0;
        return drawn;
    }

    TempDir dir;
    fs::path program = dir / "program";
    std::vector<fs::path> formulaDirectories;
};

TEST_F(FigureRender, TheDefaultsDrawTheStarterFernAndKochCurve) {
    useFormulaDirectories({fs::path(VORTIMAX_DATA_DIR) / "Formulas"});
    for (const char* type : {"IFS", "LSystem"}) {
        const Outcome done = render({type, "--depth", "8"});
        ASSERT_EQ(done.status, 0) << type << ": " << done.err;
        EXPECT_GT(drawnPixels(), 40) << type;
    }
    const Outcome named = render({"LSystem", "--set", "Formula=dragon", "--set", "MaxIter=6"});
    EXPECT_EQ(named.status, 0) << named.err;
    const Outcome missing = render({"LSystem", "--set", "Formula=Nope"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("L-system definition \"Nope\" isn't available."), std::string::npos)
        << missing.err;
    EXPECT_EQ(render({"IFS", "--set", "Formula=Nope"}).status, 1);
}

// An L-system that would expand for hours is refused at once with the reason.
TEST_F(FigureRender, AnExpansionBeyondTheBoundIsRefused) {
    useFormulaDirectories({fs::path(VORTIMAX_DATA_DIR) / "Formulas"});
    const Outcome done = render({"LSystem", "--set", "MaxIter=40"});
    EXPECT_EQ(done.status, 1);
    EXPECT_NE(done.err.find("expands to more than 100000000 characters"), std::string::npos)
        << done.err;
    EXPECT_FALSE(fs::exists(png()));
}

// Every definition of the corpus libraries draws at its type's defaults.
TEST_F(FigureRender, EveryCorpusDefinitionRenders) {
    if (!fs::is_directory(kCorpus / "ifs") || !fs::is_directory(kCorpus / "lsys"))
        GTEST_SKIP() << "no corpus at " << kCorpus;
    useFormulaDirectories({kCorpus / "ifs", kCorpus / "ifs" / "legacy", kCorpus / "lsys"});
    const std::pair<LibraryKind, const char*> kinds[] = {{LibraryKind::Ifs, "IFS"},
                                                         {LibraryKind::LSystem, "LSystem"}};
    for (const auto& [kind, type] : kinds) {
        int rendered = 0, refused = 0, blank = 0;
        for (const std::string& name : namesIn(kind)) {
            const Outcome done = render({type, "--set", "Formula=" + name});
            EXPECT_EQ(done.status, 0) << type << " " << name << ": " << done.err;
            if (done.status != 0) {
                ++refused;
                continue;
            }
            ++rendered;
            blank += drawnPixels() == 0 ? 1 : 0;
        }
        std::cout << type << ": " << rendered << " rendered, " << refused << " refused, " << blank
                  << " of them blank at the default area\n";
        EXPECT_GT(rendered, kind == LibraryKind::Ifs ? 30 : 90);
    }
}

// The corpus parameter entries of both types render with the definitions they name.
TEST_F(FigureRender, CorpusParameterEntriesOfBothTypesRender) {
    if (!fs::is_directory(kCorpus / "par") || !fs::is_directory(kCorpus / "ifs"))
        GTEST_SKIP() << "no corpus at " << kCorpus;
    useFormulaDirectories({kCorpus / "ifs", kCorpus / "lsys"});
    int rendered = 0;
    for (const auto& file : fs::directory_iterator(kCorpus / "par")) {
        cli::LoadedFiles files;
        std::ostringstream ignored;
        files.load(file.path(), ignored);
        files.parseAll();
        for (const cli::LoadedEntry& entry : files.entries()) {
            if (!entry.parsed ||
                (entry.record->type != kTypeIfs && entry.record->type != kTypeLSystem))
                continue;
            const Outcome done = render({file.path().string(), entry.record->name});
            EXPECT_EQ(done.status, 0) << file.path() << " " << entry.record->name << done.err;
            EXPECT_GT(drawnPixels(), 0) << entry.record->name;
            ++rendered;
        }
    }
    std::cout << "rendered " << rendered << " corpus IFS and L-system entries\n";
    EXPECT_GE(rendered, 7);
}

} // namespace
} // namespace vortimax
