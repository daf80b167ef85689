// IFS and L-system fractals through "vortimax-cli render": the starter definitions, every
// definition of the corpus libraries and the corpus parameter entries of both types.

#include "app/formula_libraries.h"
#include "app/scripted_frontend.h"
#include "app/temp_dir.h"
#include "cli/cli_test_support.h"
#include "cli/corpus_entries.h"
#include "cli/render_command.h"
#include "imagefile/png_loader.h"
#include "model/fractal_record.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iostream>
#include <map>

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
    // An L-system that would expand for hours is refused at once with the reason.
    const Outcome endless = render({"LSystem", "--set", "MaxIter=40"});
    EXPECT_EQ(endless.status, 1);
    EXPECT_NE(endless.err.find("expands to more than 100000000 characters"), std::string::npos)
        << endless.err;
}

// Every definition of the corpus libraries draws at its type's defaults, and every
// corpus parameter entry of both types with the definition it names.
TEST_F(FigureRender, EveryCorpusDefinitionAndEntryRenders) {
    if (!fs::is_directory(kCorpus / "ifs") || !fs::is_directory(kCorpus / "lsys"))
        GTEST_SKIP() << "no corpus at " << kCorpus;
    useFormulaDirectories({kCorpus / "ifs", kCorpus / "ifs" / "legacy", kCorpus / "lsys"});
    std::vector<std::pair<std::string, std::vector<std::string>>> sources;
    for (auto [kind, type] :
         {std::pair{LibraryKind::Ifs, "IFS"}, {LibraryKind::LSystem, "LSystem"}})
        for (const std::string& name : namesIn(kind))
            sources.push_back({type, {type, "--set", "Formula=" + name}});
    for (const test::CorpusEntry& entry :
         test::corpusEntries(kCorpus / "par", [](std::uint32_t type) {
             return type == kTypeIfs || type == kTypeLSystem;
         }))
        sources.push_back({"par", {entry.file.string(), entry.name}});
    std::map<std::string, int> rendered, refused;
    for (const auto& [group, args] : sources) {
        const Outcome done = render(args);
        EXPECT_EQ(done.status, 0) << args[0] << " " << args.back() << ": " << done.err;
        ++(done.status == 0 ? rendered : refused)[group];
        if (group == "par") {
            EXPECT_GT(drawnPixels(), 0) << args.back();
        }
    }
    for (const char* group : {"IFS", "LSystem", "par"})
        std::cout << group << ": " << rendered[group] << " rendered, " << refused[group]
                  << " refused\n";
    EXPECT_GE(rendered["IFS"], 38);
    EXPECT_GE(rendered["LSystem"], 97);
    EXPECT_GE(rendered["par"], 7);
}

} // namespace
} // namespace vortimax
