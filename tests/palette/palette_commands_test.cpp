#include "app/scripted_frontend.h"
#include "model/folder.h"
#include "palette/map_file.h"
#include "palette/palette_commands.h"
#include "palette_test_support.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

using namespace vortimax;
using vortimax::test::greyRamp;
using vortimax::test::PaletteTempDir;
using vortimax::test::readBytes;

namespace {

using Names = std::vector<std::string>;
using Paths = std::vector<std::filesystem::path>;

constexpr const char* kDeleteQuestion =
    "You are about to delete a color palette.\nAre you sure you want to delete it?";

class PaletteCommands : public ::testing::Test {
protected:
    // A map file whose colours depend on `shift`.
    std::filesystem::path map(std::string_view name, int shift,
                              const std::filesystem::path& in = {}) {
        const std::filesystem::path folder = in.empty() ? dir.path() : in;
        return PaletteTempDir::writeTo(folder / name, mapText(greyRamp("x", shift)));
    }

    Palette& add(std::string_view name, int shift) {
        return list.insertUnique(std::make_unique<Palette>(greyRamp(name, shift)));
    }

    Names names() const { return vortimax::test::names(list); }

    // Every box since the last check shows `caption` and `text`; returns how many.
    std::size_t boxes(std::string_view caption, std::string_view text, MessageButtons buttons,
                      MessageIcon icon) {
        const auto shown = frontend.messageBoxes();
        for (const FrontendCall& box : shown)
            EXPECT_EQ(std::tie(box.caption, box.text, box.buttons, box.icon),
                      std::make_tuple(std::string(caption), std::string(text), buttons, icon));
        frontend.clearCalls();
        return shown.size();
    }

    ScriptedFrontend frontend;
    PaletteList list;
    PaletteTempDir dir;
    FractalRecord active;
};

TEST_F(PaletteCommands, LoadAddsAppliesAndReportsDuplicates) {
    const auto myFire = map("my_fire.map", 1);
    PaletteLoadResult result =
        loadPalettes(list, frontend, Paths{dir / "missing.map", dir.path(), myFire}, &active);
    ASSERT_NE(result.applied, nullptr);
    EXPECT_EQ(result.applied->name(), "My_Fire");
    EXPECT_EQ(result.added, 1u);
    EXPECT_EQ(active.palName, "My_Fire");
    EXPECT_EQ(list.current(), result.applied);
    const auto runs = frontend.progressRuns();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].caption, "Loading palettes");
    EXPECT_EQ(runs[0].progressFraction, 1.0);
    EXPECT_EQ(frontend.calls().size(), 1u); // unreadable files are passed over silently

    // The same file again, and its colours under another name: nothing added or applied.
    active.palName = "Palette";
    frontend.clearCalls();
    result = loadPalettes(list, frontend, Paths{myFire, map("copy.map", 1)}, &active);
    EXPECT_EQ(std::tie(result.added, result.duplicates), std::make_tuple(0u, 2u));
    EXPECT_EQ(active.palName, "Palette");
    EXPECT_EQ(frontend.messages(), (Names{"Duplicate palette: My_Fire loaded as My_Fire",
                                          "Duplicate palette: Copy loaded as My_Fire"}));

    // The same name with other colours: both stay.
    PaletteTempDir other;
    loadPalettes(list, frontend, Paths{map("my_fire.map", 2, other.path())}, &active);
    EXPECT_EQ(names(), (Names{"My_Fire", "My_Fire.1", "Palette"}));
    EXPECT_EQ(active.palName, "My_Fire.1");
}

TEST_F(PaletteCommands, LoadThroughTheFileRequester) {
    frontend.queuePath(map("fire.map", 1));
    EXPECT_EQ(loadPalettes(list, frontend, dir.path(), nullptr).added, 1u);
    EXPECT_EQ(loadPalettes(list, frontend, dir.path(), nullptr).added, 0u); // cancelled
    const auto requests = frontend.callsOf(FrontendCallKind::OpenFile);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(std::tie(requests[0].caption, requests[0].startDirectory, requests[0].filters),
              std::make_tuple("Load palette", dir.path(), Names{"*.map"}));
    EXPECT_EQ(frontend.progressRuns().size(), 1u);
}

TEST_F(PaletteCommands, AbortStopsBeforeTheNextFileAndSaysSo) {
    const Paths files{map("a.map", 1), map("b.map", 2), map("c.map", 3)};
    frontend.queueAbortAfter(1);
    PaletteLoadResult result = loadPalettes(list, frontend, files, &active);
    EXPECT_TRUE(result.aborted);
    EXPECT_EQ(names(), (Names{"A", "Palette"}));
    EXPECT_EQ(active.palName, "A");
    EXPECT_GE(
        boxes("Aborting", "Load was aborted...", MessageButtons::Ok, MessageIcon::Information), 1u);
    frontend.queueAbortAfter(0);
    EXPECT_EQ(loadPalettes(list, frontend, files, &active).added, 0u);
    EXPECT_GE(
        boxes("Aborting", "Load was aborted...", MessageButtons::Ok, MessageIcon::Information), 1u);
    // A load that runs to its end says nothing of the kind.
    result = loadPalettes(list, frontend, files, &active);
    EXPECT_FALSE(result.aborted);
    EXPECT_EQ(result.added, 2u);
    EXPECT_TRUE(frontend.messageBoxes().empty());
}

TEST_F(PaletteCommands, StartUpLoadsEveryMapFileOfTheDirectories) {
    PaletteTempDir other;
    map("b.MAP", 2);
    map("a.map", 1);
    map("same.map", 1);
    PaletteTempDir::writeTo(dir / "notes.txt", "1 2 3\n");
    std::filesystem::create_directory(dir / "folder.map");
    map("c.map", 3, other.path());
    const Paths directories{dir.path(), dir / "missing", other.path()};
    EXPECT_EQ(loadPaletteDirectories(list, frontend, directories), 3u);
    EXPECT_EQ(names(), (Names{"A", "B", "C", "Palette"}));
    EXPECT_EQ(frontend.messages(),
              (Names{"Loading palettes from directory " + dir.path().string(),
                     "Duplicate palette: Same loaded as A",
                     "Loading palettes from directory " + (dir / "missing").string(),
                     "Loading palettes from directory " + other.path().string()}));
    EXPECT_EQ(list.lastAdded()->name(), "C");

    // An abort stops before the next file.
    PaletteList fresh;
    std::atomic<bool> abortFlag{true};
    Progress progress(abortFlag);
    EXPECT_EQ(loadPaletteDirectories(fresh, frontend, directories, &progress), 0u);
    EXPECT_EQ(fresh.size(), 1u);
}

TEST_F(PaletteCommands, SaveAndSaveAll) {
    Palette& fire = add("Fire", 1);
    add("Red/Blue", 2);
    add("Red_Blue", 3);
    frontend.queuePath(dir / "chosen.map");
    EXPECT_TRUE(savePalette(fire, frontend, dir.path()));
    const auto requests = frontend.callsOf(FrontendCallKind::SaveFile);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(std::tie(requests[0].caption, requests[0].startDirectory, requests[0].filters),
              std::make_tuple("Save palette", dir / "Fire.map", Names{"*.map"}));
    EXPECT_EQ(readBytes(dir / "chosen.map"), mapText(fire));
    EXPECT_FALSE(savePalette(fire, frontend, dir.path())); // cancelled

    // Save all: every palette, the default one included, named after the palette.
    PaletteTempDir all;
    frontend.queuePath(all.path());
    EXPECT_EQ(saveAllPalettes(list, frontend, "/start"), 4u);
    const auto directories = frontend.callsOf(FrontendCallKind::Directory);
    ASSERT_EQ(directories.size(), 1u);
    EXPECT_EQ(directories[0].caption, "Please select a directory to save all palettes in...");
    EXPECT_TRUE(readMapFile(all / "Palette.map")->sameColours(list.defaultPalette()));
    EXPECT_EQ(readBytes(all / "Fire.map"), mapText(fire));
    EXPECT_EQ(readBytes(all / "Red_Blue.map"), mapText(*list.find("Red/Blue")));
    EXPECT_EQ(readBytes(all / "Red_Blue.1.map"), mapText(*list.find("Red_Blue")));
    EXPECT_TRUE(frontend.messageBoxes().empty());

    // Failures are reported, not passed over.
    const auto missing = dir / "missing";
    frontend.queuePath(missing / "fire.map");
    EXPECT_FALSE(savePalette(fire, frontend, dir.path()));
    EXPECT_EQ(boxes("Error", "The palette could not be saved to " + (missing / "fire.map").string(),
                    MessageButtons::Ok, MessageIcon::Error),
              1u);
    frontend.queuePath(missing);
    EXPECT_EQ(saveAllPalettes(list, frontend, "/start"), 0u);
    EXPECT_EQ(boxes("Error", "4 palettes could not be saved to " + missing.string(),
                    MessageButtons::Ok, MessageIcon::Error),
              1u);
}

TEST_F(PaletteCommands, DeleteAsksAndMovesTheActiveFractalToTheNeighbour) {
    EXPECT_EQ(deletePalette(list, list.defaultPalette(), frontend, true, &active),
              PaletteDeleteResult::DefaultPalette);
    EXPECT_EQ(boxes("Information", "The default palette cannot be deleted...", MessageButtons::Ok,
                    MessageIcon::Information),
              1u);

    Palette& alpha = add("Alpha", 1);
    Palette& beta = add("Beta", 2);
    active.palName = "BETA";
    for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Cancel}) {
        frontend.queueAnswer(answer);
        EXPECT_EQ(deletePalette(list, beta, frontend, true, &active),
                  PaletteDeleteResult::Declined);
        EXPECT_EQ(boxes("Delete operation", kDeleteQuestion, MessageButtons::YesNoCancel,
                        MessageIcon::Question),
                  1u);
    }
    EXPECT_EQ(list.size(), 3u);

    list.setCurrent(&beta);
    EXPECT_EQ(deletePalette(list, beta, frontend, true, &active), PaletteDeleteResult::Deleted);
    EXPECT_EQ(active.palName, "Alpha"); // the previous palette
    EXPECT_EQ(list.current(), &alpha);

    // Without the confirmation switch nobody is asked; the first palette's neighbour is
    // the next one.
    frontend.clearCalls();
    add("Gamma", 3);
    EXPECT_EQ(deletePalette(list, alpha, frontend, false, &active), PaletteDeleteResult::Deleted);
    EXPECT_EQ(active.palName, "Gamma");
    EXPECT_TRUE(frontend.messageBoxes().empty());
    EXPECT_EQ(deletePalette(list, alpha, frontend, false, &active), PaletteDeleteResult::NotMember);
}

TEST_F(PaletteCommands, RenameReachesEveryFractalOfEveryFolder) {
    NamedList<Folder> folders;
    Folder& project = folders.insert(
        std::make_unique<Folder>("Project", FolderKind::Project, dir / "p.par"), false);
    Folder& animation = folders.insert(
        std::make_unique<Folder>("Anim", FolderKind::Animation, dir / "a.anm"), false);
    auto record = [](Folder& folder, std::string name, std::string pal, std::string anim) {
        auto owned = std::make_unique<FractalRecord>();
        owned->name = std::move(name);
        owned->palName = std::move(pal);
        owned->palNameAnim = std::move(anim);
        return &folder.add(std::move(owned));
    };
    FractalRecord* a = record(project, "a", "fire", "FIRE");
    FractalRecord* b = record(project, "b", "Blue", "Fire");
    FractalRecord* c = record(animation, "c", "Fire", "");
    std::string newFractals = "FIRE";
    Palette& fire = add("Fire", 1);
    add("Blue", 2);

    // The typed name is taken: the palette and the fractals get its unique form.
    EXPECT_TRUE(renamePalette(list, fire, "blue", folders, &newFractals));
    EXPECT_EQ(fire.name(), "blue.1");
    EXPECT_EQ(std::tie(a->palName, a->palNameAnim), std::make_tuple("blue.1", "blue.1"));
    EXPECT_EQ(std::tie(b->palName, b->palNameAnim), std::make_tuple("Blue", "blue.1"));
    EXPECT_EQ(std::tie(c->palName, c->palNameAnim), std::make_tuple("blue.1", ""));
    EXPECT_EQ(newFractals, "blue.1");
    EXPECT_EQ(names(), (Names{"Blue", "blue.1", "Palette"}));

    EXPECT_FALSE(renamePalette(list, fire, "", folders, &newFractals));
    EXPECT_FALSE(renamePalette(list, fire, "blue.1", folders, nullptr));
    EXPECT_TRUE(renamePalette(list, fire, "Embers", folders, nullptr));
    EXPECT_EQ(a->palName, "Embers");
    EXPECT_EQ(newFractals, "blue.1");
}

TEST_F(PaletteCommands, DuplicateInsertsACopyAndAppliesIt) {
    Palette& fire = add("Fire", 1);
    active.palOffset = 33.0;
    Palette& copy = duplicatePalette(list, fire, &active);
    EXPECT_EQ(std::tie(copy.name(), active.palName), std::make_tuple("Fire.1", "Fire.1"));
    EXPECT_TRUE(copy.sameColours(fire));
    EXPECT_EQ(active.palOffset, 33.0);
    EXPECT_EQ(list.current(), &copy);
    EXPECT_EQ(duplicatePalette(list, fire, nullptr).name(), "Fire.2");
    EXPECT_EQ(duplicatePalette(list, list.defaultPalette(), nullptr).name(), "Palette.1");
}

TEST_F(PaletteCommands, CorpusMapsAlikeOnlyBySumsAllLoad) {
    const std::filesystem::path maps = std::filesystem::path(VORTIMAX_CORPUS_DIR) / "map";
    if (!std::filesystem::is_directory(maps))
        GTEST_SKIP() << "no map files in " << maps;
    EXPECT_EQ(loadPaletteDirectories(list, frontend, {maps, maps / "crlf"}), 31u); // of 32
    // Morgen3 is a byte-for-byte copy of Morgan3. Firestrm, Gamma2 and Grey differ from
    // Altern, Froth616 and Paintjet from Froth316 by less than 1500 in every channel sum,
    // yet look nothing alike: they are palettes of their own.
    EXPECT_EQ(frontend.messages(),
              (Names{"Loading palettes from directory " + maps.string(),
                     "Loading palettes from directory " + (maps / "crlf").string(),
                     "Duplicate palette: Morgen3 loaded as Morgan3"}));
    for (const char* name : {"Firestrm", "Gamma2", "Grey", "Altern", "Froth616", "Paintjet"})
        EXPECT_NE(list.find(name), nullptr) << name;
}

} // namespace
