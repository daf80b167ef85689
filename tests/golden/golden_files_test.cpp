// Reading the golden case list and hash table, and writing the table back.

#include "golden_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vortimax::golden {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(GoldenCases, ReadNamesAndArgumentsSkippingCommentsAndBlankLines) {
    auto parsed = parseCases("# heading\n\nmandel-1  Mandel --subtype 1\r\n"
                             "  julia_2.b\tJulia --set MaxIter=64  \n");
    ASSERT_TRUE(parsed.problems.empty());
    ASSERT_EQ(parsed.value.size(), 2u);
    EXPECT_EQ(parsed.value[0].name, "mandel-1");
    EXPECT_THAT(parsed.value[0].args, ElementsAre("Mandel", "--subtype", "1"));
    EXPECT_EQ(parsed.value[1].name, "julia_2.b");
    EXPECT_THAT(parsed.value[1].args, ElementsAre("Julia", "--set", "MaxIter=64"));
}

TEST(GoldenCases, EveryBadLineIsReportedWithItsNumber) {
    auto parsed = parseCases("ok Mandel\n"
                             "lonely\n"
                             "ok Julia\n"
                             "bad/name Mandel\n"
                             "out Mandel -o x.png\n"
                             "threads Mandel --threads 4\n"
                             "dir Mandel --dir /tmp\n"
                             "values Mandel --values v.npy\n" +
                             std::string(5000, 'x') + " Mandel\n");
    EXPECT_THAT(parsed.problems,
                ElementsAre(HasSubstr("2: "), HasSubstr("3: case \"ok\" appears twice"),
                            HasSubstr("4: \"bad/name\""), HasSubstr("5: -o is set by the runner"),
                            HasSubstr("6: --threads"), HasSubstr("7: --dir"),
                            HasSubstr("8: --values"), HasSubstr("9: line too long")));
    ASSERT_EQ(parsed.value.size(), 1u);
}

TEST(GoldenCases, CorpusPlaceholderIsReplacedWhereverItAppears) {
    GoldenCase golden{"c", {"@CORPUS@/par/a.par", "Entry", "--palette", "@CORPUS@/map/@CORPUS@"}};
    EXPECT_TRUE(usesCorpus(golden));
    EXPECT_THAT(
        expandCorpus(golden, "/x/@CORPUS@"),
        ElementsAre("/x/@CORPUS@/par/a.par", "Entry", "--palette", "/x/@CORPUS@/map//x/@CORPUS@"));
    EXPECT_FALSE(usesCorpus({"d", {"Mandel"}}));
    EXPECT_THAT(expandPlaceholder({"@GOLDEN@/c.par", "E", "@CORPUS@"}, kGoldenPlaceholder, "/g"),
                ElementsAre("/g/c.par", "E", "@CORPUS@"));
}

TEST(GoldenHashes, WrittenTableReadsBackTheSame) {
    HashTable table = {{"b", {0x0123456789abcdefULL, 0}}, {"a", {~0ULL, 42}}};
    auto parsed = parseHashes(formatHashes(table));
    EXPECT_TRUE(parsed.problems.empty());
    EXPECT_EQ(parsed.value, table);
    EXPECT_THAT(formatHashes(table), HasSubstr("a ffffffffffffffff 000000000000002a\n"
                                               "b 0123456789abcdef 0000000000000000\n"));
}

TEST(GoldenHashes, MalformedLinesAreRefused) {
    auto parsed = parseHashes("a 0000000000000001 0000000000000002\n"
                              "a 0000000000000001 0000000000000002\n"
                              "b 000000000000001 0000000000000002\n"
                              "c 000000000000000G 0000000000000002\n"
                              "d 00000000000000AB 0000000000000002\n"
                              "e 0000000000000001\n"
                              "f 0000000000000001 0000000000000002 extra\n");
    EXPECT_EQ(parsed.problems.size(), 6u);
    EXPECT_EQ(parsed.value.size(), 1u);
}

} // namespace
} // namespace vortimax::golden
