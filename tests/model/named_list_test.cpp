#include "model/named_list.h"
#include "model/unique_name.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vortimax;

namespace {

struct Item {
    std::string name;
};

using List = NamedList<Item>;

Item& add(List& list, std::string name, bool unique = true) {
    return list.insert(std::make_unique<Item>(Item{std::move(name)}), unique);
}

std::vector<std::string> names(const List& list) {
    std::vector<std::string> result;
    for (const Item& item : list.all())
        result.push_back(item.name);
    return result;
}

using Names = std::vector<std::string>;

} // namespace

TEST(UniqueName, SecondAndThirdOfANameGetNumberedSuffixes) {
    List list;
    add(list, "Mandel");
    add(list, "Mandel");
    add(list, "mandel");
    EXPECT_EQ(names(list), (Names{"Mandel", "Mandel.1", "mandel.2"}));
    // Trailing digits (and dots) go before the suffix is added.
    add(list, "Juliatyp 1");
    EXPECT_EQ(add(list, "Juliatyp 1").name, "Juliatyp .1");
    EXPECT_EQ(add(list, "Mandel.1").name, "Mandel.3");
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
    EXPECT_EQ(two.name, "Mandel.1");
    // Only the letter case changes: the item matches only itself.
    EXPECT_TRUE(list.rename(mandel, "MANDEL", true));
    EXPECT_EQ(names(list), (Names{"MANDEL", "Mandel.1"}));
}

TEST(UniqueName, LongNamesAreCutAndTheSuffixIsNeverCut) {
    const std::string longName(70, 'x');
    List list;
    EXPECT_EQ(add(list, longName).name, std::string(63, 'x'));
    EXPECT_EQ(add(list, longName).name, std::string(61, 'x') + ".1");
    for (int i = 2; i < 10; ++i)
        add(list, longName);
    EXPECT_EQ(add(list, longName).name, std::string(60, 'x') + ".10");
    EXPECT_EQ(suffixedName("ab", 17, 3), ".17"); // no room for the stem at all
}

TEST(NamedList, KeepsCaseInsensitiveOrderAndFindsIgnoringCase) {
    List list;
    for (const char* name : {"delta", "Bravo", "alpha", "Charlie", "ECHO", "_x", "b"})
        add(list, name);
    EXPECT_EQ(names(list), (Names{"_x", "alpha", "b", "Bravo", "Charlie", "delta", "ECHO"}));
    EXPECT_EQ(list.find("BRAVO"), &list[3]);
    EXPECT_EQ(list.find("echo")->name, "ECHO");
    EXPECT_EQ(list.find("foxtrot"), nullptr);
    EXPECT_EQ(list.find("brav"), nullptr);
    EXPECT_EQ(list.insertPosition("c"), 4u);
    EXPECT_EQ(list.insertPosition("zulu"), list.size());

    // Without the unique rule equal names stay in the order they came in.
    Item& first = add(list, "Same", false);
    Item& second = add(list, "same", false);
    EXPECT_EQ(list.next(first), &second);
    EXPECT_EQ(list.find("SAME"), &first);
}

TEST(NamedList, RemoveRenameNeighboursAndInsertionOrder) {
    List list;
    Item& a = add(list, "a");
    Item& b = add(list, "b");
    EXPECT_EQ(list.next(a), &b);
    EXPECT_EQ(list.previous(a), nullptr);
    EXPECT_TRUE(list.rename(a, "c", true)); // moves to its new place
    EXPECT_EQ(names(list), (Names{"b", "c"}));
    std::unique_ptr<Item> owned = list.remove(b);
    ASSERT_EQ(owned.get(), &b);
    EXPECT_EQ(list.remove(b), nullptr);
    EXPECT_FALSE(list.rename(b, "z", true));
    EXPECT_THROW(list.insertAt(0, std::move(owned), true), std::logic_error);

    List kept(ListOrder::AsInserted);
    Item& z = add(kept, "z");
    add(kept, "a");
    kept.insertAt(1, std::make_unique<Item>(Item{"Z"}), true);
    EXPECT_EQ(names(kept), (Names{"z", "Z.1", "a"}));
    kept.rename(z, "b", true); // stays where it is
    EXPECT_EQ(names(kept), (Names{"b", "Z.1", "a"}));
}
