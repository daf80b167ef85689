#include "model/named_list.h"
#include "model/unique_name.h"

#include <gtest/gtest.h>
#include <ranges>
#include <string>
#include <vector>

using namespace vortimax;

namespace {

struct Item {
    std::string name;
};

using List = NamedList<Item>;
using Names = std::vector<std::string>;

Item& add(List& list, std::string name, bool unique = true) {
    return list.insert(std::make_unique<Item>(Item{std::move(name)}), unique);
}

Names names(const List& list) {
    auto view = list.all() | std::views::transform(&Item::name);
    return {view.begin(), view.end()};
}

} // namespace

TEST(UniqueName, NewNamesAreCutAndGetTheFirstFreeSuffixWhichIsNeverCut) {
    List list;
    for (const char* name : {"Mandel", "Mandel", "mandel", "Juliatyp 1"})
        add(list, name);
    EXPECT_EQ(names(list), (Names{"Juliatyp 1", "Mandel", "Mandel.1", "mandel.2"}));
    // Trailing digits (and dots) go before the suffix is added.
    EXPECT_EQ(add(list, "Juliatyp 1").name, "Juliatyp .1");
    EXPECT_EQ(add(list, "Mandel.1").name, "Mandel.3");

    const std::string longName(70, 'x');
    EXPECT_EQ(add(list, longName).name, std::string(63, 'x'));
    EXPECT_EQ(add(list, longName).name, std::string(61, 'x') + ".1");
    EXPECT_EQ(suffixedName(longName, 10), std::string(60, 'x') + ".10");
    EXPECT_EQ(suffixedName("ab", 17, 3), ".17"); // no room for the stem at all
}

TEST(UniqueName, RenameMayKeepItsOwnNameAndTakesTheFirstFreeSuffix) {
    List list;
    Item& mandel = add(list, "Mandel");
    Item& one = add(list, "Mandel");
    Item& two = add(list, "Mandel");
    // Mandel and Mandel.1 are taken; Mandel.2 is its own name and free for it.
    EXPECT_FALSE(list.rename(two, "Mandel", true));
    EXPECT_EQ(two.name, "Mandel.2");
    list.remove(one);
    EXPECT_TRUE(list.rename(two, "Mandel", true));
    // Only the letter case changes: the item matches only itself.
    EXPECT_TRUE(list.rename(mandel, "MANDEL", true));
    EXPECT_EQ(names(list), (Names{"MANDEL", "Mandel.1"}));
}

TEST(NamedList, KeepsCaseInsensitiveOrderFindsIgnoringCaseAndReleasesItems) {
    List list;
    for (const char* name : {"delta", "Bravo", "alpha", "Charlie", "ECHO", "_x", "b"})
        add(list, name);
    EXPECT_EQ(names(list), (Names{"_x", "alpha", "b", "Bravo", "Charlie", "delta", "ECHO"}));
    EXPECT_EQ(list.find("BRAVO"), &list[3]);
    EXPECT_EQ(list.find("echo"), &list[6]);
    EXPECT_EQ(list.find("brav"), nullptr);
    EXPECT_EQ(list.find("foxtrot"), nullptr);
    Item& alpha = list[1];
    EXPECT_TRUE(list.rename(alpha, "Zulu", true));
    EXPECT_EQ(list.find("zulu"), &list[6]); // moved to its new place

    std::unique_ptr<Item> owned = list.remove(alpha);
    ASSERT_EQ(owned.get(), &alpha);
    EXPECT_EQ(list.remove(alpha), nullptr);
    EXPECT_FALSE(list.rename(alpha, "z", true));
    EXPECT_THROW(list.insertAt(0, std::move(owned), true), std::logic_error);

    // Without the unique rule equal names stay in the order they came in.
    Item& first = add(list, "Same", false);
    Item& second = add(list, "same", false);
    EXPECT_EQ(list.next(first), &second);
    EXPECT_EQ(list.find("SAME"), &first);
}

TEST(NamedList, AListKeptAsInsertedTakesPositionsAndRenamesInPlace) {
    List kept(ListOrder::AsInserted);
    Item& z = add(kept, "z");
    add(kept, "a");
    kept.insertAt(1, std::make_unique<Item>(Item{"Z"}), true);
    kept.rename(z, "b", true);
    EXPECT_EQ(names(kept), (Names{"b", "Z.1", "a"}));
}
