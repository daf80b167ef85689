#include "palette/palette_list.h"
#include "palette_test_support.h"

#include <gtest/gtest.h>

using namespace vortimax;
using namespace vortimax::test;

namespace {

TEST(PaletteList, UniqueNames) {
    PaletteList list;
    EXPECT_EQ(list.current(), &list.defaultPalette());
    EXPECT_EQ(list.remove(list.defaultPalette()), nullptr); // the default palette always stays
    Palette& first = addRamp(list, "Name", 0);
    EXPECT_EQ(addRamp(list, "name", 1).name(), "name.1");
    Palette& third = addRamp(list, "Other", 2);
    // Renaming a third palette to Name.1 while Name and Name.1 exist gives Name.2; its
    // own name is no conflict.
    EXPECT_TRUE(list.rename(third, "Name.1"));
    EXPECT_EQ(third.name(), "Name.2");
    EXPECT_FALSE(list.rename(third, "Name.2") || list.rename(third, ""));
    list.remove(first); // the base comes first when it is free
    EXPECT_EQ(addRamp(list, "Name.1", 3).name(), "Name");
    EXPECT_EQ(addRamp(list, "", 4).name(), "Unnamed");
    // 79 characters at most, the number never cut.
    EXPECT_EQ(addRamp(list, std::string(100, 'x'), 5).name(), std::string(79, 'x'));
    EXPECT_EQ(addRamp(list, std::string(100, 'x'), 6).name(), std::string(77, 'x') + ".1");
}

TEST(PaletteList, FreedNamesAreHandedOutAgainBaseFirst) {
    PaletteList list;
    Palette& base = addRamp(list, "Fire", 0);
    addRamp(list, "Fire", 1);
    Palette& two = addRamp(list, "Fire", 2);
    addRamp(list, "Fire", 3);
    list.remove(two);
    EXPECT_EQ(addRamp(list, "fire", 4).name(), "fire.2");
    EXPECT_EQ(addRamp(list, "Fire.9", 5).name(), "Fire.9");
    EXPECT_EQ(addRamp(list, "Fire.9", 6).name(), "Fire.4");
    list.remove(base);
    EXPECT_EQ(addRamp(list, "Fire.3", 7).name(), "Fire");
    EXPECT_EQ(addRamp(list, "Fire.3", 8).name(), "Fire.5");
}

TEST(PaletteList, DuplicatesNeedTheSameColours) {
    PaletteList list;
    Palette& grey = addRamp(list, "Grey");
    // Same colours: a duplicate whatever the name, knots and fixed entries 252..255 say.
    Palette same = greyRamp("Ramp");
    same.setKnotKey(5, 0);
    same.setColour(253, {9, 9, 9});
    EXPECT_EQ(list.findDuplicate(same), &grey);
    EXPECT_EQ(list.findDuplicate(Palette(defaultPaletteColours())), &list.defaultPalette());
    // Same name, other colours: both stay. Equal channel sums are not enough either.
    Palette changed = greyRamp("Grey");
    changed.setColour(251, {1, 2, 3});
    EXPECT_EQ(list.findDuplicate(changed), nullptr);
    EXPECT_EQ(list.insertUnique(std::make_unique<Palette>(changed)).name(), "Grey.1");
    EXPECT_EQ(list.findDuplicate(greyRamp("Reversed", 251, -1)), nullptr);
}

} // namespace
