// Compiles the formulas of real formula files (written for other programs, so many use
// words this language lacks) and runs every one that compiles over a few pixels.

#include "app/scripted_frontend.h"
#include "formula/formula_entry.h"
#include "formula/formula_iteration.h"
#include "formula/library_reader.h"
#include "formula_bodies.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace vortimax {
namespace {

namespace fs = std::filesystem;

TEST(FormulaCorpus, RealFormulasCompileOrFailWithOneMessage) {
    const fs::path folder = fs::path(VORTIMAX_CORPUS_DIR) / "frm";
    if (!fs::is_directory(folder)) {
        GTEST_SKIP() << "corpus folder " << folder << " is absent";
    }
    std::size_t compiled = 0;
    for (const std::string& body : test::formulaBodies(folder, false)) {
        ScriptedFrontend silent;
        FormulaEntry entry;
        const int result = compileFormula(entry, "corpus", body, {.silent = true}, &silent);
        EXPECT_TRUE(silent.messageBoxes().empty()) << body;
        ScriptedFrontend loud;
        FormulaEntry checked;
        EXPECT_EQ(compileFormula(checked, "corpus", body, {.checkOnly = true}, &loud), result);
        EXPECT_EQ(loud.messageBoxes().size(), result == 0 ? 0u : 1u) << body;
        if (result != 0) {
            continue;
        }
        ++compiled;
        FormulaSettings settings;
        settings.maxIter = 25;
        settings.p = {Complex{0.3, 0.1}, Complex{4.0, 0.0}, Complex{}, Complex{}};
        FormulaIterator iterator(entry.code, settings);
        for (int pixel = 0; pixel < 9; ++pixel) {
            const Complex point{-1.5 + pixel % 3, -1.0 + pixel / 3};
            const FormulaPixelResult result = iterator.iteratePixel({point, pixel % 3, pixel / 3});
            EXPECT_GE(result.iterations, 1) << body;
            EXPECT_LE(result.iterations, settings.maxIter) << body;
            EXPECT_TRUE(!result.inside || result.iterations == settings.maxIter) << body;
        }
    }
    EXPECT_GT(compiled, 0u);
}

// The formulas of the corpus files as the library reads them: every named entry but those
// whose "name" is a comment or colon line that happens to hold a brace.
TEST(FormulaCorpus, AlmostAllRealFormulasCompile) {
    const fs::path folder = fs::path(VORTIMAX_CORPUS_DIR) / "frm";
    if (!fs::is_directory(folder)) {
        GTEST_SKIP() << "corpus folder " << folder << " is absent";
    }
    std::size_t formulas = 0;
    std::size_t compiled = 0;
    std::vector<std::string> failing;
    for (const auto& file : fs::recursive_directory_iterator(folder)) {
        const std::optional<std::string> text =
            file.is_regular_file() ? readLibraryText(file.path()) : std::nullopt;
        if (!text) {
            continue;
        }
        forEachLibraryEntry(*text, nullptr, [&](const LibraryTextEntry& entry) {
            if (entry.name[0] == ';' || entry.name[0] == ':') {
                return;
            }
            ++formulas;
            FormulaEntry compiledEntry;
            if (compileFormula(compiledEntry, entry.name, entry.body, {.silent = true}, nullptr) ==
                0) {
                ++compiled;
            } else {
                failing.push_back(entry.name);
            }
        });
    }
    // 816 formulas; the four that fail are a deliberately broken example, two entries of
    // plain text and one whose comment starts with a colon.
    EXPECT_EQ(formulas, 816u);
    EXPECT_GE(compiled, 812u) << ::testing::PrintToString(failing);
}

} // namespace
} // namespace vortimax
