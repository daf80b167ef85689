// The library lists: order and unique names.

#include "formula/library_list.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace vortimax {
namespace {

std::unique_ptr<LSystemEntry> named(std::string name) {
    auto entry = std::make_unique<LSystemEntry>();
    entry->name = std::move(name);
    return entry;
}

std::vector<std::string> namesOf(const LSystemLibrary& library) {
    std::vector<std::string> names;
    for (const LSystemEntry& entry : library.all()) {
        names.push_back(entry.name);
    }
    return names;
}

TEST(LibraryList, SortedWithoutRegardToCaseAndNamesMadeUnique) {
    LSystemLibrary library;
    for (const char* name : {"koch", "Dragon", "Koch", "KOCH", "Koch.7", "abc", "Koch7"}) {
        library.insert(named(name));
    }
    EXPECT_EQ(namesOf(library), (std::vector<std::string>{"abc", "Dragon", "koch", "Koch.1",
                                                          "KOCH.2", "Koch.7", "Koch7"}));
    // The stem of "Koch.7" and "Koch7" is "Koch": the next free number is taken.
    EXPECT_EQ(library.insert(named("Koch.7"))->name, "Koch.3");
    EXPECT_EQ(library.insert(named("Koch7"))->name, "Koch.4");
}

TEST(LibraryList, RemovedNamesAreFreeAgain) {
    LSystemLibrary library;
    for (int i = 0; i < 4; ++i) {
        library.insert(named("Plant"));
    }
    library.remove(*library.find("Plant.1"));
    EXPECT_EQ(library.insert(named("Plant"))->name, "Plant.1");
    EXPECT_EQ(library.insert(named("Plant"))->name, "Plant.4");
}

} // namespace
} // namespace vortimax
