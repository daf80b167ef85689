#include "app/scripted_frontend.h"
#include "palette/palette_application.h"
#include "palette/screen_colours.h"
#include "palette_test_support.h"

#include <gtest/gtest.h>

using namespace vortimax;

namespace {

TEST(PaletteApplication, ViewGetsTheNamedPaletteOrTheDefaultAtItsOffset) {
    PaletteList palettes;
    const Palette& ramp = test::addRamp(palettes, "Ramp");
    ViewEnvironment environment;
    installPaletteApplication(environment.hooks, palettes);
    auto record = createRecord(kTypeMandel, 0, RecordCreationContext{});
    FractalView view(*record, environment);
    record->palOffset = 3.4;
    for (const char* name : {"RAMP", "No such palette"}) {
        record->palName = name;
        environment.hooks.applyPalette(view);
        const Palette& expected = name[0] == 'R' ? ramp : palettes.defaultPalette();
        EXPECT_EQ(view.colours.entries, displayForm(expected, 3.0).entries) << name;
    }
}

// An 8-bit image is a picture of palette indices: a new offset changes only its colour
// table (in place on an 8-bit screen) and asks for a repaint; the same colours again
// change nothing.
TEST(PaletteApplication, IndexImagesOnlyChangeTheirColourTable) {
    PaletteList palettes;
    test::addRamp(palettes, "Ramp", 1);
    ScriptedFrontend frontend;
    ViewEnvironment environment;
    environment.frontend = &frontend;
    auto record = createRecord(kTypeMandel, 0, RecordCreationContext{});
    record->palName = "Ramp";
    record->displayDepth = 8;
    FractalView view(*record, environment);
    ASSERT_TRUE(allocateBuffers(BufferLayout{8, 4, 8}, view.buffers()));
    ASSERT_TRUE(showsIndexImage(view));
    view.colours.entries[255] = {1, 2, 3, 0}; // never written by the display form

    record->palOffset = 251.6; // rounds to 252, which is no rotation
    EXPECT_EQ(showPalette(view, palettes), PaletteShown::Repainted);
    EXPECT_EQ(view.colours.entries[0].red, 1);
    EXPECT_EQ(view.colours.entries[255], (ColourEntry{1, 2, 3, 0}));
    EXPECT_EQ(frontend.callsOf(FrontendCallKind::ViewChanged).size(), 1u);
    EXPECT_EQ(showPalette(view, palettes), PaletteShown::Unchanged);
    EXPECT_EQ(frontend.callsOf(FrontendCallKind::ViewChanged).size(), 1u);

    environment.screenDepth = 8;
    record->palOffset = 10.0;
    EXPECT_EQ(showPalette(view, palettes), PaletteShown::Animated);
    EXPECT_EQ(view.colours.entries[10].red, 1);
    EXPECT_EQ(view.colours.entries[9].red, 252);

    record->dims = 1; // a 3D picture is true colour: it must be coloured anew
    EXPECT_FALSE(showsIndexImage(view));
}

TEST(PaletteApplication, IndexImageTurnsIntoScreenColoursTopDown) {
    ImageBuffers buffers;
    ASSERT_TRUE(allocateBuffers(BufferLayout{3, 2, 8}, buffers));
    buffers.pixelRow(0)[0] = 1; // bottom row
    buffers.pixelRow(1)[2] = 2; // top row
    ColourTable colours;
    colours.entries[1] = {0x30, 0x20, 0x10, 1};
    colours.entries[2] = {0x03, 0x02, 0x01, 1};
    colours.entries[252] = {0, 0, 0, 0};
    std::vector<std::uint32_t> out(6);
    indexImageToRgb32(buffers, colours, out.data());
    EXPECT_EQ(out, (std::vector<std::uint32_t>{0xFF000000u, 0xFF000000u, 0xFF010203u, 0xFF102030u,
                                               0xFF000000u, 0xFF000000u}));
}

} // namespace
