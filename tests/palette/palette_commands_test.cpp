#include "app/scripted_frontend.h"
#include "model/folder.h"
#include "palette/map_file.h"
#include "palette/palette_commands.h"
#include "palette_test_support.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace vortimax;
using namespace vortimax::test;

namespace {

using Paths = std::vector<std::filesystem::path>;
using Box = std::tuple<std::string, std::string, MessageButtons, MessageIcon>;
using Boxes = std::vector<Box>;

class PaletteCommands : public ::testing::Test {
protected:
    // Writes a map file whose colours depend on `shift`.
    static std::filesystem::path map(const std::filesystem::path& path, int shift) {
        writeBytes(path, mapText(greyRamp("x", shift)));
        return path;
    }
    // The message boxes shown since the last call.
    Boxes boxes() {
        Boxes shown;
        for (const FrontendCall& box : frontend.messageBoxes())
            shown.emplace_back(box.caption, box.text, box.buttons, box.icon);
        frontend.clearCalls();
        return shown;
    }

    ScriptedFrontend frontend;
    PaletteList list;
    TempDir dir;
    FractalRecord active;
};

TEST_F(PaletteCommands, LoadAddsAppliesAndReportsDuplicates) {
    const auto fire = map(dir / "my_fire.map", 1);
    // Unreadable files are passed over silently: the progress run is the only call.
    PaletteLoadResult result =
        loadPalettes(list, frontend, Paths{dir / "missing.map", dir.path(), fire}, &active);
    ASSERT_EQ(result.added, 1u);
    EXPECT_EQ(active.palName, "My_Fire");
    EXPECT_EQ(list.current(), result.applied);
    ASSERT_EQ(frontend.calls().size(), 1u);
    EXPECT_EQ(frontend.calls()[0].caption, "Loading palettes");
    // Its colours again under either name: reported, nothing added or applied.
    active.palName = "Palette";
    frontend.clearCalls();
    result = loadPalettes(list, frontend, Paths{fire, map(dir / "copy.map", 1)}, &active);
    EXPECT_EQ(std::tie(result.added, result.duplicates), std::make_tuple(0u, 2u));
    EXPECT_EQ(active.palName, "Palette");
    EXPECT_EQ(frontend.messages(), (Names{"Duplicate palette: My_Fire loaded as My_Fire",
                                          "Duplicate palette: Copy loaded as My_Fire"}));
    // Through the requester: a file of the same name with other colours joins as well.
    TempDir other;
    frontend.queuePath(map(other / "my_fire.map", 2));
    EXPECT_EQ(loadPalettes(list, frontend, dir.path(), &active).added, 1u);
    EXPECT_EQ(active.palName, "My_Fire.1");
    EXPECT_EQ(loadPalettes(list, frontend, dir.path(), nullptr).added, 0u); // cancelled
    const FrontendCall request = frontend.callsOf(FrontendCallKind::OpenFile).at(1);
    EXPECT_EQ(std::tie(request.caption, request.startDirectory, request.filters),
              std::make_tuple("Load palette", dir.path(), Names{"*.map"}));
}

TEST_F(PaletteCommands, AbortStopsBeforeTheNextFileAndSaysSo) {
    const Paths files{map(dir / "a.map", 1), map(dir / "b.map", 2), map(dir / "c.map", 3)};
    frontend.queueAbortAfter(1);
    EXPECT_TRUE(loadPalettes(list, frontend, files, &active).aborted);
    EXPECT_EQ(names(list), (Names{"A", "Palette"}));
    EXPECT_EQ(active.palName, "A");
    const Boxes shown = boxes(); // repeated until the worker has stopped
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown, Boxes(shown.size(), {"Aborting", "Load was aborted...", MessageButtons::Ok,
                                          MessageIcon::Information}));
    EXPECT_EQ(loadPalettes(list, frontend, files, &active).added, 2u);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(PaletteCommands, StartUpLoadsEveryMapFileOfTheDirectories) {
    TempDir other;
    int shift = 0;
    for (const auto& path : {dir / "a.map", dir / "b.MAP", dir / "notes.txt", other / "c.map"})
        map(path, ++shift);
    std::filesystem::copy_file(dir / "a.map", dir / "same.map");
    std::filesystem::create_directory(dir / "folder.map");
    const Paths directories{dir.path(), dir / "missing", other.path()};
    EXPECT_EQ(loadPaletteDirectories(list, frontend, directories), 3u);
    EXPECT_EQ(names(list), (Names{"A", "B", "C", "Palette"}));
    const std::string log = "Loading palettes from directory ";
    EXPECT_EQ(frontend.messages(),
              (Names{log + dir.path().string(), "Duplicate palette: Same loaded as A",
                     log + (dir / "missing").string(), log + other.path().string()}));
    PaletteList fresh; // an abort stops before the next file
    std::atomic<bool> abortFlag{true};
    Progress progress(abortFlag);
    EXPECT_EQ(loadPaletteDirectories(fresh, frontend, directories, &progress), 0u);
}

TEST_F(PaletteCommands, SaveAndSaveAll) {
    Palette& fire = addRamp(list, "Fire", 1);
    addRamp(list, "Red/Blue", 2);
    addRamp(list, "Red_Blue", 3);
    frontend.queuePath(dir / "chosen.map");
    EXPECT_TRUE(savePalette(fire, frontend, dir.path()));
    EXPECT_FALSE(savePalette(fire, frontend, dir.path())); // cancelled
    const FrontendCall request = frontend.callsOf(FrontendCallKind::SaveFile).at(0);
    EXPECT_EQ(std::tie(request.caption, request.startDirectory, request.filters),
              std::make_tuple("Save palette", dir / "Fire.map", Names{"*.map"}));
    EXPECT_EQ(readBytes(dir / "chosen.map"), mapText(fire));
    // Every palette, the default one included; a second "Red_Blue.map" gets a number.
    TempDir all;
    frontend.queuePath(all.path());
    EXPECT_EQ(saveAllPalettes(list, frontend, "/start"), 4u);
    EXPECT_EQ(frontend.callsOf(FrontendCallKind::Directory).at(0).caption,
              "Please select a directory to save all palettes in...");
    EXPECT_EQ(readBytes(all / "Red_Blue.map"), mapText(*list.find("Red/Blue")));
    EXPECT_EQ(readBytes(all / "Red_Blue.1.map"), mapText(*list.find("Red_Blue")));
    const auto missing = dir / "missing"; // failures are reported
    frontend.queuePath(missing / "fire.map");
    frontend.queuePath(missing);
    EXPECT_FALSE(savePalette(fire, frontend, dir.path()));
    EXPECT_EQ(saveAllPalettes(list, frontend, "/start"), 0u);
    const std::string saveFailed = "The palette could not be saved to ";
    EXPECT_EQ(boxes(), (Boxes{{"Error", saveFailed + (missing / "fire.map").string(),
                               MessageButtons::Ok, MessageIcon::Error},
                              {"Error", "4 palettes could not be saved to " + missing.string(),
                               MessageButtons::Ok, MessageIcon::Error}}));
}

TEST_F(PaletteCommands, DeleteAsksAndMovesTheActiveFractalToTheNeighbour) {
    EXPECT_EQ(deletePalette(list, list.defaultPalette(), frontend, false, &active),
              PaletteDeleteResult::DefaultPalette);
    Palette& alpha = addRamp(list, "Alpha", 1);
    Palette& beta = addRamp(list, "Beta", 2);
    active.palName = "BETA";
    list.setCurrent(&beta);
    // Unconfirmed: nobody is asked; the neighbour is the previous palette, else the next.
    EXPECT_EQ(deletePalette(list, beta, frontend, false, &active), PaletteDeleteResult::Deleted);
    EXPECT_EQ(active.palName, "Alpha");
    EXPECT_EQ(list.current(), &alpha);
    addRamp(list, "Gamma", 3);
    frontend.queueAnswer(MessageAnswer::No);
    EXPECT_EQ(deletePalette(list, alpha, frontend, true, &active), PaletteDeleteResult::Declined);
    EXPECT_EQ(deletePalette(list, alpha, frontend, true, &active), PaletteDeleteResult::Deleted);
    EXPECT_EQ(active.palName, "Gamma");
    const Box question{
        "Delete operation",
        "You are about to delete a color palette.\nAre you sure you want to delete it?",
        MessageButtons::YesNoCancel, MessageIcon::Question};
    EXPECT_EQ(boxes(), (Boxes{{"Information", "The default palette cannot be deleted...",
                               MessageButtons::Ok, MessageIcon::Information},
                              question,
                              question}));
}

TEST_F(PaletteCommands, RenameReachesEveryFractalOfEveryFolder) {
    NamedList<Folder> folders;
    std::vector<FractalRecord*> records;
    for (FolderKind kind : {FolderKind::Project, FolderKind::Animation}) {
        auto record = std::make_unique<FractalRecord>();
        record->palName = record->palNameAnim = "fire";
        Folder& folder = folders.insert(
            std::make_unique<Folder>(std::to_string(records.size()), kind, dir / "f.par"), false);
        records.push_back(&folder.add(std::move(record)));
    }
    records[0]->palName = "Blue";
    std::string newFractals = "FIRE";
    Palette& fire = addRamp(list, "Fire", 1);
    addRamp(list, "Blue", 2);
    // The typed name is taken: the palette and the fractals get its unique form.
    EXPECT_TRUE(renamePalette(list, fire, "blue", folders, &newFractals));
    EXPECT_EQ(names(list), (Names{"Blue", "blue.1", "Palette"}));
    EXPECT_EQ(std::tie(records[0]->palName, records[0]->palNameAnim, records[1]->palName,
                       records[1]->palNameAnim, newFractals),
              std::make_tuple("Blue", "blue.1", "blue.1", "blue.1", "blue.1"));
    EXPECT_FALSE(renamePalette(list, fire, "", folders, &newFractals));
    EXPECT_FALSE(renamePalette(list, fire, "blue.1", folders, nullptr));
}

TEST_F(PaletteCommands, DuplicateInsertsACopyAndAppliesIt) {
    Palette& fire = addRamp(list, "Fire", 1);
    active.palOffset = 33.0;
    Palette& copy = duplicatePalette(list, fire, &active);
    EXPECT_EQ(std::tie(copy.name(), active.palName, active.palOffset),
              std::make_tuple("Fire.1", "Fire.1", 33.0));
    EXPECT_TRUE(copy.sameColours(fire) && list.current() == &copy);
}

TEST_F(PaletteCommands, CorpusMapsAlikeOnlyBySumsAllLoad) {
    const std::filesystem::path maps = std::filesystem::path(VORTIMAX_CORPUS_DIR) / "map";
    if (!std::filesystem::is_directory(maps))
        GTEST_SKIP() << "no map files in " << maps;
    EXPECT_EQ(loadPaletteDirectories(list, frontend, {maps, maps / "crlf"}), 31u); // of 32
    // Morgen3 is a byte-for-byte copy of Morgan3. Firestrm, Gamma2 and Grey differ from
    // Altern, Froth616 and Paintjet from Froth316 by less than 1500 in every channel sum,
    // yet look nothing alike: they are palettes of their own.
    EXPECT_EQ(frontend.messages().back(), "Duplicate palette: Morgen3 loaded as Morgan3");
    EXPECT_EQ(frontend.messages().size(), 3u);
    for (const char* name : {"Firestrm", "Gamma2", "Grey", "Altern", "Froth616", "Paintjet"})
        EXPECT_NE(list.find(name), nullptr) << name;
}

} // namespace
