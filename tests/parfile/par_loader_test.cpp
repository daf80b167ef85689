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
#include <set>
#include <sstream>
#include <sys/stat.h>

using namespace vortimax;
using vortimax::test::writeBytes;
using vortimax::test::writeSparse;
using Names = std::vector<std::string>;

namespace {

std::string joined(std::string_view bytes) {
    std::istringstream in{std::string(bytes)};
    return readParameterText(in);
}

// One empty entry more than a file may hold.
std::string tooManyEntries() {
    std::string text;
    for (std::size_t i = 0; i <= kMaxParameterEntries; ++i)
        text += "E{}";
    return text;
}

Names namesOf(std::string_view text) {
    Names names;
    EntryFinder finder(text);
    while (auto entry = finder.next())
        names.push_back(entry->name);
    return names;
}

TEST(ParameterText, JoinedLinesEntryNamesAndFolderNames) {
    EXPECT_EQ(joined("  \t name {\r\n\r\n\n   type=julia\r\n}"), "name {\ntype=julia\n}\n");
    EXPECT_EQ(joined("colors=000\\\r\n    zzz\na\\\n\\\nb"), "colors=000zzz\nab\n");
    // Not joined: a blank after the backslash, or a comment on the line.
    EXPECT_EQ(joined("a\\ \nb ; c\\\nd"), "a\\ \nb ; c\\\nd\n");
    // A long line is taken as several: the brace behind the cut is still found.
    std::string longLine = "name " + std::string(600, 'x') + " {type=mandel}";
    std::string text = joined(longLine);
    EXPECT_EQ(text, longLine.substr(0, kParameterLineLength) + "\n" +
                        longLine.substr(kParameterLineLength) + "\n");
    EXPECT_EQ(namesOf(text), Names{std::string(31, 'x')});

    EXPECT_EQ(namesOf("; {not an entry}\nFirst {\ntype=julia ; } still inside\n}\n"
                      "{ nameless }\nThird{x}{y}\n"),
              (Names{"First", "No name", "Third", "No name"}));
    // A '{' without a closing brace ends the search.
    EXPECT_EQ(namesOf("A { x }\nB { y\nC { z }\nD { ; }\n"), (Names{"A", "B"}));

    for (const auto& [file, folder] :
         {std::pair("FRACT2x.PAR", "Fract2X.Par"), {"\xe9t\xe9.par", "\xe9T\xe9.Par"}})
        EXPECT_EQ(parameterFolderName(file), folder);
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
    Names names;
    for (FractalRecord& record : folder->fractals().all())
        names.push_back(record.name);
    EXPECT_EQ(names, (Names{"Beta", "No name", "Zeta", "Zeta.1"}));
    const FractalRecord& beta = *folder->fractals().find("Beta");
    EXPECT_EQ(beta.pendingEntry, "{ ; Magnet\nType=magnet2m\n}");
    EXPECT_EQ(beta.subtype, 4u); // the entry's type until it is parsed
    EXPECT_EQ(folder->fractals().find("Zeta")->type, kTypeJulia);
    // The same file again: a folder of its own that does not save over the first one.
    Folder* again = loadParameterFile(dir / "my_set.par", workspace);
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again->filePath(), folder->filePath());

    // No entries, no file, or a directory: no folder.
    writeBytes(dir / "empty.par", "; nothing { here }\n\n");
    for (const char* name : {"empty.par", "missing.par", "."})
        EXPECT_EQ(loadParameterFile(dir / name, workspace), nullptr) << name;
    EXPECT_EQ(workspace.folders().size(), 2u);
}

TEST_F(ParLoader, ProgressAbortCompoundHookAndStartUpDirectories) {
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

    // Every "*.par" of each listed directory in name order; absent ones are passed over.
    std::filesystem::create_directories(dir / "one");
    std::filesystem::create_directories(dir / "two");
    for (const char* file : {"one/b.par", "one/a.PAR", "one/notes.txt", "two/c.par"})
        writeBytes(dir / file, "N { }\n");
    // A refused file is told, and the others load.
    writeBytes(dir / "two/many.par", tooManyEntries());
    std::vector<std::string> refusals;
    auto folders = loadParameterDirectories(
        (dir / "one").string() + ";" + (dir / "absent").string() + ";;" + (dir / "two").string(),
        workspace, nullptr, {}, [&](const std::string& refusal) { refusals.push_back(refusal); });
    ASSERT_EQ(folders.size(), 3u);
    EXPECT_EQ(folders[0]->name(), "A.Par");
    EXPECT_EQ(folders[2]->name(), "C.Par");
    ASSERT_EQ(refusals.size(), 1u);
    EXPECT_TRUE(refusals[0].starts_with("\"" + (dir / "two/many.par").string() + "\" "))
        << refusals[0];
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
    EXPECT_EQ(frontend.messages(), (Names{"Unknown type in entry Bad: Foo  (Fractal not loaded)",
                                          "Fractal Bad has been removed and deleted..."}));
    EXPECT_TRUE(frontend.messageBoxes().empty()); // deleted without asking
    FractalRecord* good = folder->fractals().find("Good");
    ASSERT_TRUE(environment.hooks.parsePendingEntry(*good));
    EXPECT_EQ(good->params().integer("MaxIter"), 321);
}

TEST_F(ParLoader, TwentyThousandEntriesOfOneNameEachGetTheirOwnNumber) {
    constexpr int kCount = 20000;
    std::string text;
    for (int i = 0; i < kCount; ++i)
        text += "Same { type=mandel }\n";
    writeBytes(dir / "same.par", text);
    Folder* folder = loadParameterFile(dir / "same.par", workspace);
    ASSERT_NE(folder, nullptr);
    std::set<std::string> expected{"Same"};
    for (int i = 1; i < kCount; ++i)
        expected.insert("Same." + std::to_string(i));
    std::set<std::string> names;
    for (FractalRecord& record : folder->fractals().all())
        names.insert(record.name);
    EXPECT_EQ(folder->fractals().size(), static_cast<std::size_t>(kCount));
    EXPECT_EQ(names, expected);
    EXPECT_EQ(folder->fractals()[2].name, "Same.10"); // sorted by name
}

// A pipe would block the reader; a file beyond the size limit would be cut, and the
// folder saved back would lose the rest. Neither gives a folder, and both say why.
TEST_F(ParLoader, RefusesPipesAndFilesBeyondTheLimits) {
    const std::filesystem::path pipe = dir / "pipe.par";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::string refusal;
    EXPECT_EQ(loadParameterFile(pipe, workspace, nullptr, {}, &refusal), nullptr);
    EXPECT_EQ(refusal, "\"" + pipe.string() +
                           "\" is not a regular file (a pipe, device or socket is not read)");

    constexpr std::uintmax_t kLimit = kMaxParameterFileBytes;
    const std::string tooLarge = "\" is larger than the 64 MiB a parameter file may hold: ";
    const std::string head = "Before { type=mandel }\n";
    const struct {
        const char* name;
        std::string head;
        std::uintmax_t size;
        std::string reason; // empty: loads
    } cases[] = {
        {"cut.par", head + "Big {\n type=julia\n", kLimit + 2,
         "entry \"Big\" does not end within them"},
        {"between.par", head, kLimit + 10, "nothing after entry \"Before\" was read"},
        {"full.par", head, kLimit, ""},
    };
    for (const auto& c : cases) {
        writeSparse(dir / c.name, c.head, c.size, "After { }\n");
        refusal.clear();
        Folder* folder = loadParameterFile(dir / c.name, workspace, nullptr, {}, &refusal);
        if (c.reason.empty()) {
            ASSERT_NE(folder, nullptr) << refusal;
            EXPECT_EQ(folder->fractals().size(), 2u);
        } else {
            EXPECT_EQ(folder, nullptr);
            EXPECT_EQ(refusal, "\"" + (dir / c.name).string() + tooLarge + c.reason +
                                   "; the file was not loaded");
        }
        std::filesystem::remove(dir / c.name);
    }
    EXPECT_EQ(workspace.folders().size(), 1u);

    // An empty entry costs three bytes of file and about three kilobytes of record.
    writeBytes(dir / "many.par", tooManyEntries());
    refusal.clear();
    EXPECT_EQ(loadParameterFile(dir / "many.par", workspace, nullptr, {}, &refusal), nullptr);
    EXPECT_EQ(refusal, "\"" + (dir / "many.par").string() +
                           "\" holds more than 250000 entries; the file was not loaded");
    EXPECT_EQ(workspace.folders().size(), 1u);
}

// A last entry without its closing brace: the entries before it load unless the caller
// asks for the whole file or nothing (a command that would list or convert only part).
TEST_F(ParLoader, UnclosedLastEntryIsRefusedWhenAsked) {
    const std::filesystem::path file = dir / "open.par";
    writeBytes(file, "Good { type=mandel }\nBroken {\n type=julia\n maxiter=100\n");
    ParameterLoadOptions strict;
    strict.refuseUnclosedEntry = true;
    const std::size_t folders = workspace.folders().size();
    std::string refusal;
    EXPECT_EQ(loadParameterFile(file, workspace, nullptr, strict, &refusal), nullptr);
    EXPECT_EQ(refusal, "\"" + file.string() +
                           "\": entry \"Broken\" has no closing \"}\"; the file was not loaded");
    EXPECT_EQ(workspace.folders().size(), folders);

    refusal.clear();
    Folder* folder = loadParameterFile(file, workspace, nullptr, {}, &refusal);
    ASSERT_NE(folder, nullptr);
    EXPECT_TRUE(refusal.empty());
    EXPECT_EQ(folder->fractals().size(), 1u);
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
                EXPECT_TRUE(message.starts_with("Unknown type in entry " + record.name) ||
                            message.find(" of entry " + record.name + " cannot be read: ") !=
                                std::string::npos)
                    << message;
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
