#include "app/scripted_frontend.h"
#include "app/temp_dir.h"
#include "base/text_io.h"
#include "imagefile/entry_text_shape.h"
#include "imagefile/image_commands.h"
#include "model/type_registry.h"
#include "model/workspace.h"
#include "palette/palette_list.h"
#include "parfile/entry_writer.h"
#include "png_test_support.h"
#include "support/hand_made_png.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>

namespace vortimax {
namespace {

using test::readBytes;
using test::TempDir;

class ImageCommands : public ::testing::Test {
protected:
    ImageCommands() {
        record = createRecord(kTypeMandel, 0, {});
        record->name = "my fractal";
        record->comment = "round trip";
        record->width = 21;
        record->height = 9;
        record->params().setInteger("MaxIter", 777); // differs from the defaults
        buffers = test::patternBuffers(21, 9, 1);
        for (std::size_t i = 0; i < 256; ++i)
            colours.entries[i] = {static_cast<std::uint8_t>(i), 3, static_cast<std::uint8_t>(~i),
                                  1};
    }

    LoadImageContext loadContext() {
        return {workspace, palettes, frontend, {}, 1024, 768, dir.path(), dir.path()};
    }
    ImageCommandResult save() {
        return saveImage(*record, buffers, colours, frontend, dir.path(), imageDir);
    }

    TempDir dir;
    ScriptedFrontend frontend;
    Workspace workspace{frontend};
    PaletteList palettes;
    std::unique_ptr<FractalRecord> record;
    ImageBuffers buffers;
    ColourTable colours;
    std::filesystem::path imageDir = dir.path();
};

TEST_F(ImageCommands, SaveThenLoadGivesSamePixelsAndParameters) {
    frontend.queuePath(dir / "my fractal.png");
    ASSERT_EQ(save(), ImageCommandResult::Done);
    EXPECT_EQ(frontend.callsOf(FrontendCallKind::SaveFile).at(0).startDirectory,
              dir / "my fractal.png");
    EXPECT_TRUE(frontend.messageBoxes().empty());
    ASSERT_EQ(frontend.progressRuns().size(), 1u);
    EXPECT_EQ(
        std::pair(frontend.progressRuns()[0].caption, frontend.progressRuns()[0].progressFraction),
        std::pair(std::string("Saving fractal image"), 1.0));
    EXPECT_FALSE(std::filesystem::exists(dir / "~tmp0091.bac"));

    auto context = loadContext();
    auto loaded = loadImage(dir / "my fractal.png", context);
    ASSERT_TRUE(loaded.has_value());
    const FractalRecord& back = *loaded->record;
    EXPECT_EQ(loaded->image.parameterTexts,
              std::vector<std::string>{withCrLf(parameterEntryText(*record))});
    EXPECT_EQ(std::tuple(back.name, back.folder->name(), back.type, back.comment),
              std::tuple("My Fractal", "Unnamed", record->type, "round trip"));
    EXPECT_EQ((std::array{back.params().integer("MaxIter"), back.width, back.height,
                          back.displayDepth, back.staticImage}),
              (std::array{777, 21, 9, 24, 1}));
    // The palette made from the image shows the saved colours unrotated.
    const Palette* palette = palettes.find(back.palName);
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(back.palOffset, 0.0);
    EXPECT_EQ(palette->colour(7), (Rgb{248, 3, 7}));

    auto target = test::patternBuffers(21, 9, 3);
    ASSERT_TRUE(copyIntoBuffers(loaded->image, target));
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 21; ++x) {
            const auto& e = colours.entries[buffers.pixelRow(y)[x]];
            const std::uint8_t* p = target.pixelRow(y) + x * 3;
            ASSERT_EQ((std::array{p[0], p[1], p[2]}), (std::array{e.blue, e.green, e.red}));
        }
    EXPECT_FALSE(copyIntoBuffers(loaded->image, buffers)); // 8-bit buffer: refused
}

TEST_F(ImageCommands, ThreeDQuestionDecidesTheImage) {
    record->dims = 1;
    buffers.image3D.assign(static_cast<std::size_t>(buffers.rowLength) * 9 * 3, 77);
    frontend.queueAnswer(MessageAnswer::Cancel);
    EXPECT_EQ(save(), ImageCommandResult::Cancelled);
    EXPECT_TRUE(frontend.callsOf(FrontendCallKind::SaveFile).empty());
    ASSERT_EQ(frontend.messageBoxes().size(), 1u);
    EXPECT_EQ(frontend.messageBoxes()[0].buttons, MessageButtons::YesNoCancel);

    frontend.queueAnswer(MessageAnswer::Yes);
    frontend.queuePath(dir / "three.png");
    ASSERT_EQ(save(), ImageCommandResult::Done);
    frontend.queueAnswer(MessageAnswer::No);
    frontend.queuePath(dir / "two.png");
    ASSERT_EQ(save(), ImageCommandResult::Done);
    EXPECT_EQ(test::chunkTypes(readBytes(dir / "three.png"))[1], "IDAT"); // RGB: no palette
    EXPECT_EQ(test::chunkTypes(readBytes(dir / "two.png"))[1], "PLTE");
}

TEST_F(ImageCommands, SaveFailuresAndAbortAreReportedWithoutFiles) {
    frontend.queuePath(dir / "missing" / "x.png");
    EXPECT_EQ(save(), ImageCommandResult::Failed);
    ASSERT_EQ(frontend.messageBoxes().size(), 1u);
    EXPECT_EQ(frontend.messageBoxes()[0].caption, "Animation system");
    EXPECT_EQ(frontend.messageBoxes()[0].text,
              "Unable to save animation frame.\nCould not open file for writing\nFilename: " +
                  (dir / "missing" / "x.png").string());

    frontend.clearCalls();
    frontend.queuePath(dir / "aborted.png");
    frontend.queueAbortAfter(2);
    EXPECT_EQ(save(), ImageCommandResult::Failed);
    ASSERT_EQ(frontend.messageBoxes().size(), 1u);
    EXPECT_EQ(frontend.messageBoxes()[0].caption, "Aborting");
    EXPECT_EQ(frontend.messageBoxes()[0].text, "Save was aborted...");
    EXPECT_FALSE(std::filesystem::exists(dir / "aborted.png"));
}

TEST_F(ImageCommands, ForeignPngLoadsAsStaticPictureWithItsPalette) {
    ASSERT_TRUE(test::writeForeignPng(dir / "sunset_sky.png", 59, 49, PNG_COLOR_TYPE_PALETTE));
    auto context = loadContext();
    context.screenWidth = 100;
    context.screenHeight = 100;
    const auto first = loadImage(dir / "sunset_sky.png", context);
    ASSERT_TRUE(first.has_value());
    const FractalRecord& fractal = *first->record;
    // Scrollbars off: 59 < 100 - 40 and 49 < 100 - 50.
    EXPECT_EQ(std::tuple(fractal.name, fractal.palName, fractal.staticImage, fractal.scrollbar),
              std::tuple("Sunset_Sky", "Sunset_Sky", 1, 0));
    EXPECT_EQ(palettes.find("Sunset_Sky")->colour(3), (Rgb{200, 210, 220}));
    EXPECT_EQ(workspace.folders().find("Unnamed")->currentFractal(), first->record);

    context.screenHeight = 99; // 49 is no longer below 99 - 50
    const auto second = loadImage(dir / "sunset_sky.png", context);
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->record->scrollbar, 1);
    EXPECT_NE(second->record->palName, "Sunset_Sky");
    ASSERT_EQ(workspace.folders().size(), 1u);
    EXPECT_EQ(workspace.folders().find("Unnamed")->fractals().size(), 2u);

    // A "Parameter" text that is no entry describes nothing: the picture as it is.
    test::writeBytes(dir / "notes.png", test::handMadePng(3, 2, {}, "type=julia maxiter=9"));
    const auto notes = loadImage(dir / "notes.png", context);
    ASSERT_TRUE(notes.has_value());
    EXPECT_EQ(std::tuple(notes->record->type, notes->record->name, notes->record->staticImage),
              std::tuple(kTypeMandel, "Notes", 1));

    ASSERT_TRUE(test::writeForeignPng(dir / "photo.png", 3, 2, PNG_COLOR_TYPE_RGB));
    const auto rgb = loadImage(dir / "photo.png", context);
    ASSERT_TRUE(rgb.has_value());
    EXPECT_EQ(rgb->record->palName, ""); // true colour: no palette made
}

TEST_F(ImageCommands, BadFilesAreRefusedBeforeAnythingIsCreated) {
    auto context = loadContext();
    const std::size_t paletteCount = palettes.size();
    test::writeBytes(dir / "fake.png", "\x89PNG\r\n\x1a\x0b not really");
    EXPECT_FALSE(loadImage(dir / "fake.png", context).has_value());
    ASSERT_EQ(frontend.messageBoxes().size(), 1u);
    EXPECT_EQ(frontend.messageBoxes()[0].caption, "Dialog Subsystem");
    EXPECT_EQ(frontend.messageBoxes()[0].text,
              "The file " + (dir / "fake.png").string() +
                  " is not a valid PNG file.\nPNG signature not correct...");

    ASSERT_TRUE(test::writeForeignPng(dir / "cut.png", 30, 30, PNG_COLOR_TYPE_PALETTE));
    const std::string bytes = readBytes(dir / "cut.png");
    test::writeBytes(dir / "cut.png", bytes.substr(0, bytes.size() / 2));
    EXPECT_FALSE(loadImage(dir / "cut.png", context).has_value());
    EXPECT_EQ(frontend.messageBoxes().back().text,
              "Unable to load image.\nCould not read data from file.");

    test::writeBytes(dir / "huge.png", test::handMadePng(40000, 2, std::string(10, '\0')));
    EXPECT_FALSE(loadImage(dir / "huge.png", context).has_value());
    EXPECT_EQ(frontend.messageBoxes().back().text,
              "Unable to load image " + (dir / "huge.png").string() +
                  ":\nit declares 40000 x 2 pixels; images are at most 32768 x 32768.");
    ASSERT_EQ(::mkfifo((dir / "pipe.png").c_str(), 0600), 0);
    EXPECT_FALSE(loadImage(dir / "pipe.png", context).has_value());
    EXPECT_EQ(frontend.messageBoxes().back().text, "Unable to load image " +
                                                       (dir / "pipe.png").string() +
                                                       ":\nit is not a regular file.");

    EXPECT_FALSE(loadImage(dir / "gone.png", context).has_value());
    EXPECT_EQ(frontend.messageBoxes().back().text,
              "Unable to open file\nFilename: " + (dir / "gone.png").string());

    EXPECT_TRUE(workspace.folders().all().empty());
    EXPECT_EQ(palettes.size(), paletteCount);
}

TEST(EntryTextShape, OneNamedBracedEntryAndNothingElse) {
    const struct {
        std::string_view text;
        bool entry;
    } cases[] = {
        {"Mine  {\r\n  Type=Mandel\r\n}", true},
        {"\r\n Mine (a note) {type=julia}\r\n\r\n", true},
        {"Mine{}", true},
        {"Mine { ; a comment with } a brace\n maxiter=9 }", true},
        {"", false},
        {"   \r\n", false},
        {"this is not an entry at all", false},
        {"type=mandel maxiter=99", false},
        {"{ type=mandel }", false},    // no name
        {"Mine { type=mandel", false}, // never closed
        {"Mine { ; closed only in a comment }", false},
        {"Mine (note { type=mandel }", false}, // note never closed
        {"Mine { type=mandel } trailing", false},
        {"One { } Two { }", false},
        {"Mine } type=mandel {", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isSingleEntryText(c.text), c.entry) << c.text;
}

} // namespace
} // namespace vortimax
