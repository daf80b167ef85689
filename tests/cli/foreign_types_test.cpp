// Other programs' fractal types through "vortimax-cli render": every mapping of the
// foreign-type table draws at its presets, and the corpus parameter files load and render
// in the numbers the table promises.

#include "app/formula_libraries.h"
#include "app/scripted_frontend.h"
#include "app/temp_dir.h"
#include "cli/cli_test_support.h"
#include "cli/loaded_files.h"
#include "cli/render_command.h"
#include "imagefile/png_loader.h"
#include "model/descriptor_tables.h"
#include "model/fractal_record.h"
#include "model/param_text.h"
#include "parfile/entry_parser.h"
#include "parfile/foreign_types.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <set>

namespace vortimax {
namespace {

namespace fs = std::filesystem;
using test::Outcome;
using test::TempDir;

const fs::path kCorpus = VORTIMAX_CORPUS_DIR;
const fs::path kFormulas = fs::path(VORTIMAX_DATA_DIR) / "Formulas";

// A program directory whose formula path is `directories`.
class ForeignTypes : public ::testing::Test {
protected:
    void useFormulaDirectories(const std::vector<fs::path>& directories) {
        std::string path;
        for (const fs::path& directory : directories)
            path += (path.empty() ? "" : ";") + directory.string();
        fs::create_directories(program / "Palettes");
        test::writeBytes(program / "Vortimax.cfg", "PalettePath " +
                                                       (program / "Palettes").string() +
                                                       "\r\nFormulaPath " + path + "\r\n");
    }
    Outcome render(const fs::path& file, const std::string& entry) {
        return test::run(cli::runRender, {file.string(), entry, "--dir", program.string(), "--size",
                                          "40x30", "--quiet", "-o", png()});
    }
    std::string png() const { return (dir / "entry.png").string(); }
    // The colours of the written image.
    std::set<std::uint32_t> colours() const {
        DecodedPng image;
        EXPECT_EQ(loadPng(png(), image), PngLoadResult::Loaded);
        std::set<std::uint32_t> seen;
        for (std::size_t i = 0; i + 2 < image.bgrRows.size(); i += 3)
            seen.insert(image.bgrRows[i] | image.bgrRows[i + 1] << 8 | image.bgrRows[i + 2] << 16);
        return seen;
    }

    TempDir dir;
    fs::path program = dir / "program";
};

bool isNewTarget(const ForeignType& row) {
    return row.type == kTypeFormula || row.type == kTypeDynamicSystem;
}

// Every preset and parameter row a mapping names is a row of its type, and every formula
// it names is in the shipped classic formulas.
TEST(ForeignTable, MappingsNameRowsAndFormulasThatExist) {
    FormulaLibraries libraries;
    ScriptedFrontend frontend;
    std::atomic<bool> noAbort{false};
    Progress progress(noAbort);
    libraries.loadDirectories({kFormulas}, progress, frontend);
    const std::vector<std::string> formulas = libraries.entryNames(LibraryKind::Formula);
    for (const ForeignType& row : foreignTypes()) {
        auto record = createRecord(row.type, row.subtype, RecordCreationContext{});
        EXPECT_EQ(record->subtype, row.subtype) << row.name;
        for (std::string_view word : entryWords(row.presets)) {
            const std::string_view key = word.substr(0, word.find('='));
            const std::string_view value = word.substr(word.find('=') + 1);
            EXPECT_TRUE(setByKey(record->params(), key, value)) << row.name << ": " << word;
            if (key == "FormulaName") {
                EXPECT_NE(std::find(formulas.begin(), formulas.end(), value), formulas.end())
                    << row.name << ": " << value;
            }
        }
        if (row.type == kTypeFormula) {
            EXPECT_NE(row.presets.find("FormulaName="), std::string_view::npos) << row.name;
        }
        std::string_view keys = row.paramRows;
        while (!keys.empty()) {
            const std::string_view key = keys.substr(0, keys.find('/'));
            keys.remove_prefix(std::min(keys.size(), key.size() + 1));
            EXPECT_TRUE(key == "-" || descriptorTable(row.type)->find(key)) << row.name << key;
        }
    }
}

// Each foreign type mapped onto a formula or a dynamic system draws a picture at its
// presets alone: a formula more than one colour, so that one giving up at once does not
// pass; a dynamic system something on its black background (the clouds of orbits cover a
// small image whole), so that an orbit outside the area does not pass.
TEST_F(ForeignTypes, EveryMappedTypeDrawsAtItsPresets) {
    useFormulaDirectories({kFormulas});
    const fs::path file = dir / "foreign.par";
    std::string text;
    for (const ForeignType& row : foreignTypes())
        if (isNewTarget(row))
            text += "E" + std::to_string(text.size()) + " { type=" + std::string(row.name) + " }\n";
    test::writeBytes(file, text);
    cli::LoadedFiles files;
    std::ostringstream ignored;
    ASSERT_TRUE(files.load(file, ignored));
    int drawn = 0;
    for (const cli::LoadedEntry& entry : files.entries()) {
        const std::string text = entry.record->pendingEntry.value_or("");
        const Outcome done = render(file, entry.record->name);
        ASSERT_EQ(done.status, 0) << text << done.err;
        const std::set<std::uint32_t> seen = colours();
        if (entry.record->type == kTypeFormula)
            EXPECT_GT(seen.size(), 1u) << text;
        else
            EXPECT_TRUE(seen.size() > 1 || !seen.contains(0)) << text;
        ++drawn;
    }
    EXPECT_GE(drawn, 40);
}

// The corpus parameter files: how many entries load and render, and why the others do
// not. Every entry whose type cannot be read says so once, with a reason; no type name of
// the corpus is left unknown.
TEST_F(ForeignTypes, CorpusEntriesLoadAndRender) {
    if (!fs::is_directory(kCorpus / "par"))
        GTEST_SKIP() << "no corpus at " << kCorpus;
    useFormulaDirectories({kFormulas, kCorpus / "frm", kCorpus / "frm" / "legacy",
                           kCorpus / "frm" / "crlf", kCorpus / "ifs", kCorpus / "ifs" / "legacy",
                           kCorpus / "lsys"});
    int entries = 0, rendered = 0;
    std::map<std::string, int> refused, failed;
    for (const auto& item : fs::directory_iterator(kCorpus / "par")) {
        cli::LoadedFiles files;
        std::ostringstream ignored;
        files.load(item.path(), ignored);
        files.parseAll();
        for (const cli::LoadedEntry& entry : files.entries()) {
            ++entries;
            if (!entry.parsed) {
                ASSERT_EQ(entry.problems.size(), 1u) << entry.record->name;
                const std::string& problem = entry.problems.front();
                EXPECT_NE(problem.find(" cannot be read: "), std::string::npos) << problem;
                ++refused[problem.substr(0, problem.find(' ', 5))];
                continue;
            }
            const Outcome done = render(item.path(), entry.record->name);
            if (done.status == 0)
                ++rendered;
            else
                ++failed[std::string(registryName(entry.record->type))];
        }
    }
    for (const auto& [type, count] : refused)
        std::cout << "refused: " << type << " " << count << "\n";
    for (const auto& [type, count] : failed)
        std::cout << "not rendered: " << type << " " << count << "\n";
    std::cout << rendered << " of " << entries << " corpus entries load and render\n";
    ::testing::Test::RecordProperty("rendered", rendered);
    EXPECT_GE(entries, 311);
    EXPECT_GE(rendered, 250);
}

} // namespace
} // namespace vortimax
