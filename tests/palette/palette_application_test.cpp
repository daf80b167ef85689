#include "palette/palette_application.h"

#include <gtest/gtest.h>

using namespace vortimax;

namespace {

TEST(PaletteApplication, ViewGetsTheNamedPaletteOrTheDefaultAtItsOffset) {
    PaletteList palettes;
    auto red = std::make_unique<Palette>();
    red->setName("Red");
    red->setColour(0, Rgb{200, 0, 0});
    palettes.insertUnique(std::move(red));

    ViewEnvironment environment;
    auto record = createRecord(kTypeMandel, 0, RecordCreationContext{});
    FractalView view(*record, environment);

    record->palName = "red";
    record->palOffset = 3.4;
    applyPaletteToView(view, palettes);
    EXPECT_EQ(view.colours.entries[3], (ColourEntry{0, 0, 200, 1}));
    EXPECT_EQ(view.colours.entries[252], (ColourEntry{0, 0, 0, 0}));

    record->palName = "No such palette";
    record->palOffset = 0.0;
    installPaletteApplication(environment.hooks, palettes);
    environment.hooks.applyPalette(view);
    Rgb first = palettes.defaultPalette().colour(0);
    EXPECT_EQ(view.colours.entries[0].red, first.red);
    EXPECT_EQ(view.colours.entries[0].blue, first.blue);
}

} // namespace
