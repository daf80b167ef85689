#include "palette/palette_list.h"
#include "palette_test_support.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vortimax;
using vortimax::test::greyRamp;
using vortimax::test::names;

namespace {

using Names = std::vector<std::string>;

Palette& add(PaletteList& list, Palette palette) {
    return list.insertUnique(std::make_unique<Palette>(std::move(palette)));
}

TEST(PaletteList, SortedWithTheDefaultPaletteAsFallback) {
    PaletteList list;
    Palette& fallback = list.defaultPalette();
    EXPECT_EQ(list.current(), &fallback);
    EXPECT_EQ(list.remove(fallback), nullptr);
    for (const char* name : {"gamma", "Alpha", "zeta", "PALE"})
        add(list, greyRamp(name, static_cast<int>(list.size())));
    EXPECT_EQ(names(list), (Names{"Alpha", "gamma", "PALE", "Palette", "zeta"}));
    EXPECT_EQ(&list.findByName("pALETTE"), &fallback);
    EXPECT_EQ(&list.findByName("gone"), &fallback);
    EXPECT_EQ(&list.findByName(""), &fallback);
    EXPECT_EQ(list.findByName("ZETA").name(), "zeta");
}

TEST(PaletteList, UniqueNames) {
    PaletteList list;
    Palette& first = add(list, greyRamp("Name", 0));
    EXPECT_EQ(add(list, greyRamp("name", 1)).name(), "name.1");
    Palette& third = add(list, greyRamp("Other", 2));
    // Renaming a third palette to Name.1 while Name and Name.1 exist gives Name.2.
    EXPECT_TRUE(list.rename(third, "Name.1"));
    EXPECT_EQ(third.name(), "Name.2");
    EXPECT_FALSE(list.rename(third, "Name.2")); // its own name is no conflict
    EXPECT_FALSE(list.rename(third, ""));
    // The base comes first when it is free.
    list.remove(first);
    EXPECT_EQ(add(list, greyRamp("Name.1", 3)).name(), "Name");
    EXPECT_EQ(add(list, greyRamp("", 4)).name(), "Unnamed");
    // 79 characters at most, the number never cut.
    const std::string longName(100, 'x');
    EXPECT_EQ(add(list, greyRamp(longName, 5)).name(), std::string(79, 'x'));
    EXPECT_EQ(add(list, greyRamp(longName, 6)).name(), std::string(77, 'x') + ".1");
}

TEST(PaletteList, DuplicatesNeedTheSameColours) {
    PaletteList list;
    add(list, greyRamp("Grey"));
    // Same name and colours: a duplicate, whatever the knots and the fixed entries say.
    Palette same = greyRamp("GREY");
    same.setKnotKey(5, 0);
    same.setColour(253, {9, 9, 9});
    EXPECT_EQ(list.findDuplicate(same), list.find("Grey"));
    // Same name, other colours: both stay, the second as Grey.1.
    Palette changed = greyRamp("Grey");
    changed.setColour(251, {1, 2, 3});
    EXPECT_EQ(list.findDuplicate(changed), nullptr);
    add(list, changed);
    EXPECT_EQ(names(list), (Names{"Grey", "Grey.1", "Palette"}));
    // Another name counts only with the same colours; equal channel sums are not enough.
    EXPECT_EQ(list.findDuplicate(greyRamp("Ramp")), list.find("Grey"));
    EXPECT_EQ(list.findDuplicate(Palette(defaultPaletteColours())), &list.defaultPalette());
    EXPECT_EQ(list.findDuplicate(greyRamp("Reversed", 251, true)), nullptr);
}

} // namespace
