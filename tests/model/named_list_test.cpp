#include "model/named_list.h"
#include "model/unique_name.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
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

namespace {

// What the names of a list must be: every new name found by trying the candidate, then
// stem.1, stem.2, ... against every name in turn, with nothing remembered.
struct ReferenceNames {
    std::size_t maxLength;
    Names names;

    bool taken(std::string_view name, const std::string* self) const {
        for (const std::string& other : names)
            if (&other != self && equalsIgnoreCase(other, name))
                return true;
        return false;
    }
    std::string unique(std::string_view candidate, const std::string* self = nullptr) const {
        return makeUniqueName(
            candidate, [&](std::string_view name) { return taken(name, self); }, maxLength);
    }
};

Names sortedIgnoringCase(Names names) {
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return compareIgnoreCase(a, b) < 0;
    });
    return names;
}

} // namespace

// Adds, renames and removals in random order over names that collide on purpose: equal
// but for letter case, already numbered, and long enough that the number cuts the stem
// (with 7 bytes, "abcdefX" and "abcdefY" both number as "abcd.1").
TEST(UniqueName, RandomEditsGiveTheNamesOfTryingEveryNumberInTurn) {
    const std::vector<std::string> pool = {
        "a",       "A",      "a.1",     "A.2",  "a.10",   "a1", "a.", "b",   "B.3",  "abcdefX",
        "abcdefY", "ABCD.1", "abcd.10", "abcd", "abcd.2", ".1", "",   "x.0", "x.01", "x"};
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 random(seed);
        auto pick = [&](std::size_t n) {
            return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
        };
        List list(ListOrder::ByName, 7);
        ReferenceNames reference{7, {}};
        std::vector<Item*> items; // in the order of `reference.names`
        for (int step = 0; step < 400; ++step) {
            const std::string& candidate = pool[pick(pool.size())];
            const std::size_t action = items.empty() ? 0 : pick(10);
            if (action < 6) {
                reference.names.push_back(reference.unique(candidate));
                items.push_back(&add(list, candidate));
                ASSERT_EQ(items.back()->name, reference.names.back()) << seed << ':' << step;
            } else if (action < 8) {
                const std::size_t i = pick(items.size());
                reference.names[i] = reference.unique(candidate, &reference.names[i]);
                list.rename(*items[i], candidate, true);
                ASSERT_EQ(items[i]->name, reference.names[i]) << seed << ':' << step;
            } else {
                const std::size_t i = pick(items.size());
                list.remove(*items[i]);
                items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
                reference.names.erase(reference.names.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
        EXPECT_EQ(names(list), sortedIgnoringCase(reference.names)) << seed;
    }
}

TEST(UniqueName, RemovedAndRenamedNumbersAreHandedOutAgainLowestFirst) {
    List list;
    std::vector<Item*> same;
    for (int i = 0; i < 6; ++i)
        same.push_back(&add(list, "Same"));
    EXPECT_EQ(same[5]->name, "Same.5");
    list.remove(*same[4]);
    list.remove(*same[2]);
    list.rename(*same[1], "Other", true);
    EXPECT_EQ(add(list, "same").name, "same.1");
    EXPECT_EQ(add(list, "SAME.3").name, "SAME.2");
    EXPECT_EQ(add(list, "Same").name, "Same.4");
    EXPECT_EQ(add(list, "Same").name, "Same.6");
    // A number freed from a cut stem is free again for every stem that cuts to the same.
    List cut(ListOrder::ByName, 7);
    for (const char* name : {"abcdefX", "abcdefX", "abcdefX", "abcdefY", "abcdefY"})
        add(cut, name);
    EXPECT_EQ(names(cut), (Names{"abcde.1", "abcde.2", "abcde.3", "abcdefX", "abcdefY"}));
    cut.remove(*cut.find("abcde.1"));
    EXPECT_EQ(add(cut, "abcdefY").name, "abcde.1");
    EXPECT_EQ(add(cut, "abcdefX").name, "abcde.4");
}

TEST(NamedList, InsertingAllAtOnceEqualsInsertingOneAfterTheOther) {
    const Names incoming = {"Same", "same", "b", "Same", "A", "b.1", "SAME", "a", "c"};
    for (const bool unique : {true, false}) {
        for (const ListOrder order : {ListOrder::ByName, ListOrder::AsInserted}) {
            List oneByOne(order), atOnce(order);
            for (List* list : {&oneByOne, &atOnce})
                for (const char* name : {"b", "Same"})
                    add(*list, name, unique);
            std::vector<std::unique_ptr<Item>> items;
            for (const std::string& name : incoming) {
                add(oneByOne, name, unique);
                items.push_back(std::make_unique<Item>(Item{name}));
            }
            atOnce.insertAll(std::move(items), unique);
            EXPECT_EQ(names(atOnce), names(oneByOne));
            // The index knows every name that came in either way.
            EXPECT_EQ(add(atOnce, "same", true).name, add(oneByOne, "same", true).name);
        }
    }
}
