#include "palette/palette_application.h"
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

} // namespace
