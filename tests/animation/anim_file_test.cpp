#include "../app/temp_dir.h"
#include "anim_test_support.h"
#include "animation/anim_file.h"
#include "animation/anim_file_commands.h"
#include "animation/key_list.h"
#include "app/scripted_frontend.h"
#include "model/folder.h"
#include "model/workspace.h"
#include "palette/palette_list.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace vortimax {
namespace {

using test::big;
using test::mandelKey;

std::vector<std::string> fileLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find("\r\n", pos);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

TEST(AnimationFile, WritesTheSettingsLinesExactly) {
    AnimData data;
    data.name = "Zoom";
    data.comment = "two words";
    const std::vector<std::string> lines = fileLines(animationFileText(data, {}));
    const std::vector<std::string> expected = {
        "AnimDataSpecification { ; AnimData-file created by Vortimax",
        "Width=320  Height=240 AnimName=Zoom",
        "Planes=0  Interpolation=1 Dimension=0",
        "Startframe=1  Endframe=-1",
        "Author=",
        "Address=",
        "Date=",
        "Comment=two words",
        "Copyright=",
        "Suggestion=",
        "Savemode=1 FPS=15",
        "}",
        "",
        "",
        ""};
    EXPECT_EQ(lines, expected);
}

struct Reader {
    ScriptedFrontend frontend;
    PaletteList palettes;
    LoadedAnimation read(std::string_view text) {
        return readAnimationText(text, palettes, frontend);
    }
};

TEST(AnimationFile, ReadsBackSettingsAndKeysWithATwoWordCommentCutToItsFirstWord) {
    AnimData data;
    data.name = "Zoom";
    data.width = 64;
    data.height = 48;
    data.interpolation = 0;
    data.endFrame = 7;
    data.comment = "two words";
    auto first = mandelKey(big("-0.5"), big("0"), big("4"), 1.0, "Start");
    auto second = mandelKey(big("-0.7"), big("0.1"), big("0.5"), 12.0, "End");
    second->params().setReal("Bailout", 9.5);
    Reader reader;
    LoadedAnimation loaded =
        reader.read(animationFileText(data, {first.get(), second.get()}, &reader.palettes));
    ASSERT_TRUE(loaded.hasSettings);
    AnimData expected = data;
    expected.comment = "two";
    EXPECT_EQ(loaded.data, expected);
    ASSERT_EQ(loaded.keys.size(), 2u);
    EXPECT_EQ(loaded.keys[0]->name, "Start");
    EXPECT_EQ(loaded.keys[1]->numFrames, 12.0);
    EXPECT_EQ(loaded.keys[1]->params().real("Bailout"), 9.5);
    EXPECT_EQ(loaded.keys[1]->params().bigFixed("TopLeftR"), big("-0.95"));
}

TEST(AnimationFile, AcceptsLowerCaseKeysAndSkipsAFractalBeforeTheSettings) {
    Reader reader;
    LoadedAnimation loaded = reader.read(
        "Leading { type=mandel maxiter=77 }\n"
        "animdataspecification {\n width=100  height=80 animname=Lower\n fps=25 savemode=0\n}\n"
        "One { type=mandel maxiter=50 numframes=5.000 }\n"
        "Two { type=mandel maxiter=90 numframes=5.000 }\n");
    ASSERT_TRUE(loaded.hasSettings);
    EXPECT_EQ(loaded.data.width, 100);
    EXPECT_EQ(loaded.data.height, 80);
    EXPECT_EQ(loaded.data.name, "Lower");
    EXPECT_EQ(loaded.data.framesPerSecond, 25);
    EXPECT_EQ(loaded.data.saveMode, 0);
    EXPECT_EQ(loaded.data.interpolation, 1); // unnamed settings keep their defaults
    ASSERT_EQ(loaded.keys.size(), 2u);
    EXPECT_EQ(loaded.keys[0]->name, "One");
    EXPECT_EQ(loaded.keys[1]->params().integer("MaxIter"), 90);
}

TEST(AnimationFile, WithoutASettingsEntryNoKeyIsAdded) {
    Reader reader;
    LoadedAnimation loaded = reader.read("One { type=mandel }\nTwo { type=mandel }\n");
    EXPECT_FALSE(loaded.hasSettings);
    EXPECT_TRUE(loaded.keys.empty());
}

TEST(AnimationFile, TokensDropCommentsControlAndHighBytesAndJoinBackslashes) {
    EXPECT_EQ(animationTokenText("a\tb ; comment { }\nc\\\nd \x80\x01x"), "a b cd x");
    // Lines are read in pieces of 510 bytes: a longer run splits into two tokens.
    EXPECT_EQ(animationTokenText(std::string(600, 'z')),
              std::string(510, 'z') + " " + std::string(90, 'z'));
}

TEST(AnimationFile, HostileSettingsAreBoundedAndAHugeEntryWarnsOnce) {
    Reader reader;
    std::string text = "AnimDataSpecification { Width=99999999999999999999 Height=-7x "
                       "AnimName=" +
                       std::string(300, 'n') + "\n Comment=" + std::string(400, 'c') + " }\n";
    for (int i = 0; i < 3; ++i)
        text += "Big { type=mandel " + std::string(6000, ' ') + "maxiter=5 }\n";
    LoadedAnimation loaded = reader.read(text);
    EXPECT_EQ(loaded.data.width, 2147483647);
    EXPECT_EQ(loaded.data.height, -7);
    EXPECT_EQ(loaded.data.name.size(), kAnimNameLength - 1);
    EXPECT_EQ(loaded.data.comment.size(), kAnimCommentLength - 1);
    // The blanks collapse in the token text, so only a truly long entry warns.
    EXPECT_TRUE(reader.frontend.messageBoxes().empty());
    std::string crowded = "AnimDataSpecification { }\n";
    for (int i = 0; i < 3; ++i) {
        crowded += "Big { type=mandel";
        for (int k = 0; k < 1500; ++k)
            crowded += " x=1";
        crowded += " }\n";
    }
    Reader second;
    LoadedAnimation many = second.read(crowded);
    ASSERT_EQ(second.frontend.messageBoxes().size(), 1u);
    EXPECT_EQ(second.frontend.messageBoxes()[0].text, kNotAnimationFileText);
    EXPECT_EQ(many.keys.size(), 3u);
}

TEST(AnimationFile, KeysFailingVerificationOrWithAGapBelowOneAreNotAdded) {
    Reader reader;
    reader.frontend.queueAnswer(MessageAnswer::Ok); // wrong subtype
    reader.frontend.queueAnswer(MessageAnswer::Ok); // gap below 1
    reader.frontend.queueAnswer(MessageAnswer::Ok); // a compound among Mandel keys
    LoadedAnimation loaded = reader.read("AnimDataSpecification { }\n"
                                         "A { type=mandel numframes=3 }\n"
                                         "B { type=mandel subtype=2 numframes=3 }\n"
                                         "C { type=mandel numframes=0.500 }\n"
                                         "L { type=compound numframes=3 }\n"
                                         "D { type=mandel numframes=3 }\n");
    ASSERT_EQ(loaded.keys.size(), 2u);
    EXPECT_EQ(loaded.keys[1]->name, "D");
    const auto boxes = reader.frontend.messageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[2].text, kWrongTypeText); // a compound among Mandel keys
    EXPECT_EQ(boxes[0].text, kWrongTypeText);
    EXPECT_EQ(boxes[1].text, kShortGapText);
}

TEST(AnimationFile, AnAbortStopsBetweenEntriesAndAMissingFileIsRefused) {
    Reader reader;
    std::atomic<bool> abort{true};
    Progress progress(abort);
    LoadedAnimation loaded = readAnimationText("AnimDataSpecification { }\nA { type=mandel }\n",
                                               reader.palettes, reader.frontend, &progress);
    EXPECT_TRUE(loaded.aborted);
    EXPECT_TRUE(loaded.keys.empty());
    std::string refusal;
    EXPECT_FALSE(loadAnimationFile("/nonexistent/anim.txt", reader.palettes, reader.frontend,
                                   nullptr, {}, &refusal));
    EXPECT_NE(refusal.find("not a readable file"), std::string::npos);
}

TEST(AnimationFile, CorpusFilesLoadWithoutHarm) {
    const std::filesystem::path corpus = VORTIMAX_CORPUS_DIR;
    if (!std::filesystem::is_directory(corpus))
        GTEST_SKIP() << "no corpus folder at " << corpus;
    std::size_t read = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
        if (!entry.is_regular_file() || entry.file_size() > (1u << 20))
            continue;
        Reader reader;
        auto loaded = loadAnimationFile(entry.path(), reader.palettes, reader.frontend);
        ASSERT_TRUE(loaded) << entry.path();
        // Files of other kinds hold no settings entry, so nothing of them becomes a key.
        if (!loaded->hasSettings) {
            EXPECT_TRUE(loaded->keys.empty()) << entry.path();
        }
        for (std::size_t k = 1; k < loaded->keys.size(); ++k)
            EXPECT_GE(loaded->keys[k]->numFrames, 1.0);
        if (++read == 200)
            break;
    }
}

// ---- the key list ----

TEST(KeyList, RefusesAnotherSubtypeAndAdjustsOrRefusesMismatchedValues) {
    ScriptedFrontend frontend;
    auto first = mandelKey(big("0"), big("0"), big("2"), 10.0);
    auto other = mandelKey(big("0"), big("0"), big("2"), 10.0);
    other->subtype = 1;
    EXPECT_FALSE(verifyKey(*other, *first, frontend));
    EXPECT_EQ(frontend.messageBoxes().back().caption, kVerifyingKeyCaption);

    // MaxIter is interpolated, so a different one is fine; Inside must match.
    auto candidate = mandelKey(big("0"), big("0"), big("2"), 10.0);
    candidate->params().setInteger("MaxIter", 999);
    candidate->params().setInteger("Inside", 2);
    frontend.clearCalls();
    frontend.queueAnswer(MessageAnswer::Yes);
    EXPECT_TRUE(verifyKey(*candidate, *first, frontend));
    EXPECT_EQ(candidate->params().integer("Inside"), first->params().integer("Inside"));
    EXPECT_EQ(candidate->params().integer("MaxIter"), 999);
    ASSERT_EQ(frontend.messageBoxes().size(), 1u);
    EXPECT_EQ(frontend.messageBoxes()[0].text,
              std::string(kMismatchText) + "Inside\n" + std::string(kAdjustQuestion));
    candidate->params().setInteger("Inside", 3);
    frontend.queueAnswer(MessageAnswer::No);
    EXPECT_FALSE(verifyKey(*candidate, *first, frontend));
}

TEST(KeyList, ATwistedPictureIsSwappedOnYesAndRefusedOnNo) {
    ScriptedFrontend frontend;
    auto first = mandelKey(big("0"), big("0"), big("2"), 10.0);
    auto twisted = mandelKey(big("0"), big("0"), big("2"), 10.0);
    twisted->params().setBigFixed("TopLeftR", big("1"));
    twisted->params().setBigFixed("BottomRightR", big("-1"));
    frontend.queueAnswer(MessageAnswer::No);
    EXPECT_FALSE(verifyKey(*twisted, *first, frontend));
    EXPECT_EQ(frontend.messageBoxes().back().text, kTwistedQuestion);
    frontend.queueAnswer(MessageAnswer::Yes);
    EXPECT_TRUE(verifyKey(*twisted, *first, frontend));
    EXPECT_EQ(twisted->params().bigFixed("TopLeftR"), big("-1"));
    EXPECT_EQ(twisted->params().bigFixed("BottomRightR"), big("1"));
}

TEST(KeyList, AddingNamesTheAnimationSetsItsSizeAndRefusesAShortGap) {
    ScriptedFrontend frontend;
    Folder animation("Anim", FolderKind::Animation, "anim.txt");
    AnimData data;
    auto fractal = mandelKey(big("0"), big("0"), big("2"), 10.0, "Deep");
    fractal->width = 200;
    fractal->height = 100;
    ASSERT_TRUE(addKey(animation, data, *fractal, 0, frontend, {}));
    ASSERT_TRUE(addKey(animation, data, *fractal, 5, frontend, {}));
    EXPECT_EQ(data.name, "Deep");
    EXPECT_EQ(data.width, 200);
    const auto keys = animationKeys(animation);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_NE(keys[0]->name, keys[1]->name);
    fractal->numFrames = 0.5;
    EXPECT_FALSE(addKey(animation, data, *fractal, 1, frontend, {}));
    EXPECT_EQ(frontend.messageBoxes().back().text, kShortGapText);
    EXPECT_EQ(animationKeys(animation).size(), 2u);
}

} // namespace
} // namespace vortimax

namespace vortimax {
namespace {

TEST(AnimationFileCommands, SavedAnimationsLoadBackIntoAnAnimationFolderInKeyOrder) {
    test::TempDir dir;
    ScriptedFrontend frontend;
    PaletteList palettes;
    Workspace workspace(frontend);
    Folder& animation = workspace.createFolder(dir.path(), "Zoom", FolderKind::Animation);
    AnimData data;
    data.name = "Zoom";
    for (const char* name : {"Zeta", "Alpha", "Mid"}) {
        auto key = test::mandelKey(test::big("0"), test::big("0"), test::big("2"), 4.0, name);
        ASSERT_TRUE(addKey(animation, data, *key, 9, frontend, {}));
    }
    frontend.queuePath(dir / "zoom.anim");
    ASSERT_TRUE(saveAnimationFile(animation, data, dir.path(), palettes, frontend));
    EXPECT_EQ(frontend.callsOf(FrontendCallKind::SaveFile)[0].caption, kSaveAnimationPrompt);

    auto loaded = loadAnimationWithProgress(dir / "zoom.anim", palettes, frontend);
    ASSERT_TRUE(loaded);
    const auto runs = frontend.progressRuns();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].caption, kLoadingAnimationTitle);
    EXPECT_EQ(runs[0].progressTexts[0], "Loading animation data " + (dir / "zoom.anim").string());
    EXPECT_DOUBLE_EQ(runs[0].progressFraction, 1.0);
    Folder& folder = installAnimation(workspace, std::move(*loaded), dir / "zoom.anim");
    EXPECT_TRUE(folder.isAnimation());
    const auto keys = animationKeys(folder);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0]->name, "Zeta");
    EXPECT_EQ(keys[2]->name, "Mid");

    // An aborted load gives nothing, not the keys read before the abort.
    frontend.queueAbortAfter(0);
    EXPECT_FALSE(loadAnimationWithProgress(dir / "zoom.anim", palettes, frontend));
}

} // namespace
} // namespace vortimax
