#include "app/scripted_frontend.h"
#include "app/temp_dir.h"
#include "model/fractal_view.h"
#include "model/type_registry.h"
#include "model/view_environment.h"
#include "model/workspace.h"
#include "palette/palette_list.h"
#include "parfile/par_loader.h"
#include "parfile/parfile_hooks.h"

#include <gtest/gtest.h>
#include <iostream>
#include <sstream>

using namespace vortimax;
using vortimax::test::writeBytes;

namespace {

std::string joined(std::string_view bytes) {
    std::istringstream in{std::string(bytes)};
    return readParameterText(in);
}

std::vector<std::string> namesOf(std::string_view text) {
    std::vector<std::string> names;
    EntryFinder finder(text);
    while (auto entry = finder.next())
        names.push_back(entry->name);
    return names;
}

TEST(ParameterText, LinesAreTrimmedJoinedAndReadInPieces) {
    EXPECT_EQ(joined("  \t name {\r\n\r\n\n   type=julia\r\n}"), "name {\ntype=julia\n}\n");
    EXPECT_EQ(joined("colors=000\\\r\n    zzz\na\\\n\\\nb"), "colors=000zzz\nab\n");
    // Not joined: a blank after the backslash, or a comment on the line.
    EXPECT_EQ(joined("a\\ \nb ; c\\\nd"), "a\\ \nb ; c\\\nd\n");
    // A long line is taken as several: the brace behind the cut is still found.
    std::string longLine = "name " + std::string(600, 'x') + " {type=mandel}";
    std::string text = joined(longLine);
    EXPECT_EQ(text, longLine.substr(0, kParameterLineLength) + "\n" +
                        longLine.substr(kParameterLineLength) + "\n");
    EXPECT_EQ(namesOf(text), std::vector<std::string>{std::string(31, 'x')});
}

TEST(ParameterText, FolderNames) {
    EXPECT_EQ(parameterFolderName("my_set.par"), "My_Set.Par");
    EXPECT_EQ(parameterFolderName("FRACT2x.PAR"), "Fract2X.Par");
    EXPECT_EQ(parameterFolderName("\xe9t\xe9.par"), "\xe9T\xe9.Par");
}

TEST(EntryFinderTest, NamesBracesAndComments) {
    EXPECT_EQ(namesOf("; {not an entry}\nFirst {\ntype=julia ; } still inside\n}\n"
                      "{ nameless }\nThird{x}{y}\n"),
              (std::vector<std::string>{"First", "No name", "Third", "No name"}));
    // A '{' without a closing brace ends the search.
    EXPECT_EQ(namesOf("A { x }\nB { y\nC { z }\nD { ; }\n"), (std::vector<std::string>{"A", "B"}));
}

class ParLoader : public ::testing::Test {
protected:
    ScriptedFrontend frontend;
    Workspace workspace{frontend};
    vortimax::test::TempDir dir;
};

TEST_F(ParLoader, EveryEntryBecomesAPendingRecordOfANewFolder) {
    writeBytes(dir / "my_set.par",
               "; header {comment}\r\nZeta  {\r\n  Type=Julia\r\n  }\r\n"
               "Beta  { ; Magnet\n  Type=magnet2m\n}\n{ Type=Foo }\nZeta { }\n");
    Folder* folder = loadParameterFile(dir / "my_set.par", workspace);
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->name(), "My_Set.Par");
    EXPECT_EQ(folder->filePath(), dir / "my_set.par"); // saving goes back to that file
    std::vector<FractalRecord*> records;
    for (FractalRecord& record : folder->fractals().all())
        records.push_back(&record);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0]->name, "Beta");
    EXPECT_EQ(records[0]->pendingEntry, "{ ; Magnet\nType=magnet2m\n}");
    EXPECT_EQ(records[0]->subtype, 4u); // the entry's type until it is parsed
    EXPECT_EQ(records[1]->name, "No name");
    EXPECT_EQ(records[2]->type, kTypeJulia);
    EXPECT_EQ(records[3]->name, "Zeta.1");

    // The same file again: a folder of its own that does not save over the first one.
    Folder* again = loadParameterFile(dir / "my_set.par", workspace);
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again->filePath(), folder->filePath());
}

TEST_F(ParLoader, NoEntriesNoFolder) {
    writeBytes(dir / "empty.par", "; nothing { here }\n\n");
    EXPECT_EQ(loadParameterFile(dir / "empty.par", workspace), nullptr);
    EXPECT_EQ(loadParameterFile(dir / "missing.par", workspace), nullptr);
    EXPECT_EQ(loadParameterFile(dir.path(), workspace), nullptr);
    EXPECT_TRUE(workspace.folders().empty());
}

TEST_F(ParLoader, ProgressAbortAndTheCompoundHook) {
    writeBytes(dir / "abc.par", "A { }\nB { }\nC { }\n");
    std::atomic<bool> abort{false};
    Progress progress(abort);
    int resolved = 0;
    ParameterLoadOptions options;
    options.resolveCompoundLayers = [&](Folder&) { ++resolved; };
    Folder* all = loadParameterFile(dir / "abc.par", workspace, &progress, options);
    ASSERT_NE(all, nullptr);
    EXPECT_EQ(all->fractals().size(), 3u);
    EXPECT_DOUBLE_EQ(progress.fraction(), 16.0 / 18.0); // last '}' / text length
    EXPECT_EQ(resolved, 1);

    abort = true; // stops after the first entry; the caller acknowledges
    EXPECT_EQ(loadParameterFile(dir / "abc.par", workspace, &progress)->fractals().size(), 1u);
    EXPECT_TRUE(abort.load());
}

TEST_F(ParLoader, StartUpReadsTheParFilesOfEveryDirectory) {
    std::filesystem::create_directories(dir / "one");
    std::filesystem::create_directories(dir / "two");
    writeBytes(dir / "one" / "b.par", "B { }\n");
    writeBytes(dir / "one" / "a.PAR", "A { }\n");
    writeBytes(dir / "one" / "notes.txt", "N { }\n");
    writeBytes(dir / "two" / "c.par", "C { }\n");
    auto folders = loadParameterDirectories(
        (dir / "one").string() + ";" + (dir / "absent").string() + ";;" + (dir / "two").string(),
        workspace);
    ASSERT_EQ(folders.size(), 3u);
    EXPECT_EQ(folders[0]->name(), "A.Par");
    EXPECT_EQ(folders[2]->name(), "C.Par");
}

TEST_F(ParLoader, OpeningParsesTheEntryOrDeletesTheFractal) {
    writeBytes(dir / "set.par", "Good { Type=Julia maxiter=321 }\nBad { Type=Foo }\n");
    Folder* folder = loadParameterFile(dir / "set.par", workspace);
    ASSERT_NE(folder, nullptr);
    PaletteList palettes;
    ViewEnvironment environment;
    environment.frontend = &frontend;
    installParameterFileHooks(environment.hooks, palettes, workspace, frontend);

    EXPECT_EQ(openView(*folder->fractals().find("Bad"), true, environment), 1);
    EXPECT_EQ(folder->fractals().find("Bad"), nullptr);
    EXPECT_EQ(frontend.messages(),
              (std::vector<std::string>{"Unknown type in entry Bad: Foo  (Fractal not loaded)",
                                        "Fractal Bad has been removed and deleted..."}));
    EXPECT_TRUE(frontend.messageBoxes().empty()); // deleted without asking

    FractalRecord* good = folder->fractals().find("Good");
    ASSERT_TRUE(environment.hooks.parsePendingEntry(*good));
    EXPECT_EQ(good->params().integer("MaxIter"), 321);
}

TEST(ParCorpus, EveryEntryParsesOrIsAnUnknownType) {
    const auto corpus = std::filesystem::path(VORTIMAX_CORPUS_DIR) / "par";
    if (!std::filesystem::is_directory(corpus))
        GTEST_SKIP() << "no corpus of parameter files at " << corpus;
    ScriptedFrontend frontend;
    Workspace workspace(frontend);
    PaletteList palettes;
    int files = 0, parsed = 0, unknown = 0;
    for (const auto& file : std::filesystem::directory_iterator(corpus)) {
        ++files;
        Folder* folder = loadParameterFile(file.path(), workspace);
        if (folder == nullptr)
            continue;
        for (FractalRecord& record : folder->fractals().all()) {
            std::string message;
            if (parseEntry(record, palettes, [&](std::string_view text) { message = text; })) {
                ++parsed;
            } else {
                ++unknown;
                EXPECT_TRUE(message.starts_with("Unknown type in entry " + record.name)) << message;
            }
        }
    }
    ::testing::Test::RecordProperty("parsed", parsed);
    ::testing::Test::RecordProperty("unknown_type", unknown);
    std::cout << "[ corpus   ] " << files << " files: " << parsed << " entries parsed, " << unknown
              << " of unknown type\n";
    EXPECT_GT(parsed, 0);
}

} // namespace
