// Comparing rendered hashes with stored ones, and the table an update writes.

#include "golden_diff.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vortimax::golden {
namespace {

using ::testing::ElementsAre;

const HashTable kStored = {
    {"same", {1, 2}}, {"values", {3, 4}}, {"pixels", {5, 6}},
    {"both", {7, 8}}, {"gone", {9, 10}},  {"skipped", {11, 12}},
};
const HashTable kRendered = {
    {"same", {1, 2}},   {"values", {30, 4}}, {"pixels", {5, 60}},
    {"both", {70, 80}}, {"new", {13, 14}},
};

TEST(GoldenDiff, NamesEveryChangeAndWhichHashChanged) {
    GoldenDiff diff = compareHashes(kStored, kRendered, {"skipped"});
    ASSERT_EQ(diff.changed.size(), 3u);
    EXPECT_EQ(diff.changed[0].name, "both");
    EXPECT_TRUE(diff.changed[0].values && diff.changed[0].pixels);
    EXPECT_EQ(diff.changed[1].name, "pixels");
    EXPECT_TRUE(!diff.changed[1].values && diff.changed[1].pixels);
    EXPECT_EQ(diff.changed[2].name, "values");
    EXPECT_TRUE(diff.changed[2].values && !diff.changed[2].pixels);
    EXPECT_THAT(diff.added, ElementsAre("new"));
    EXPECT_THAT(diff.removed, ElementsAre("gone"));
    EXPECT_EQ(describe(diff), "changed both: values, pixels\n"
                              "changed pixels: pixels\n"
                              "changed values: values\n"
                              "added   new\n"
                              "removed gone\n");
}

TEST(GoldenDiff, SkippedCaseWithoutRenderingIsNoDifference) {
    EXPECT_TRUE(isEmpty(compareHashes({{"a", {1, 2}}}, {}, {"a"})));
    EXPECT_FALSE(isEmpty(compareHashes({{"a", {1, 2}}}, {}, {})));
}

TEST(GoldenDiff, UpdateKeepsSkippedHashesAndDropsRemovedOnes) {
    HashTable table = updatedTable(kStored, kRendered, {"skipped"});
    HashTable expected = kRendered;
    expected["skipped"] = {11, 12};
    EXPECT_EQ(table, expected);
}

} // namespace
} // namespace vortimax::golden
