// Splitting library file text into entries.

#include "base/frontend.h"
#include "formula/library_reader.h"

#include <atomic>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vortimax {
namespace {

struct Found {
    std::string name;
    std::string body;
    friend bool operator==(const Found&, const Found&) = default;
};

std::vector<Found> entriesOf(std::string_view text) {
    std::vector<Found> found;
    forEachLibraryEntry(text, nullptr, [&](const LibraryTextEntry& entry) {
        found.push_back({entry.name, std::string(entry.body)});
    });
    return found;
}

TEST(LibraryReader, EntryNames) {
    const struct {
        std::string text;
        std::string name; // empty: no entry
    } cases[] = {
        {"Mandel (XAXIS) {z}", "Mandel"},
        {"   \tIndented  {z}", "Indented"},
        {"Tight{z}", "Tight"},
        {"\x80\xff Foreign {z}", "Foreign"},    // leading bytes of 128 and above are blanks
        {"Caf\xe9 {z}", "Caf\xe9"},             // inside a name they stay
        {"; a comment line\nName {z}", "Name"}, // the brace's own line counts
        {"{z}", ""},
        {"   (XAXIS) {z}", ""},
        {std::string(100, 'L') + " {z}", std::string(kMaxLibraryNameLength, 'L')},
    };
    for (const auto& [text, name] : cases) {
        const std::vector<Found> found = entriesOf(text);
        if (name.empty()) {
            EXPECT_TRUE(found.empty()) << text;
        } else {
            ASSERT_EQ(found.size(), 1u) << text;
            EXPECT_EQ(found[0].name, name) << text;
        }
    }
}

TEST(LibraryReader, BodiesRunToTheFirstClosingBrace) {
    EXPECT_EQ(entriesOf("A {one} junk\n B {two { still two} three}"),
              (std::vector<Found>{{"A", "one"}, {"B", "two { still two"}}));
    // A stray closing brace between entries ends nothing, and the name of the next entry
    // is not taken from before it.
    EXPECT_EQ(entriesOf("} Stray\nC {x}"), (std::vector<Found>{{"C", "x"}}));
    EXPECT_EQ(entriesOf("A {x}B {y}"), (std::vector<Found>{{"A", "x"}, {"B", "y"}}));
    // An entry without its closing brace is no entry; nor is a file without braces.
    EXPECT_EQ(entriesOf("A {x}\nB {unfinished"), (std::vector<Found>{{"A", "x"}}));
    EXPECT_TRUE(entriesOf("no entries here").empty());
    EXPECT_TRUE(entriesOf("").empty());
}

TEST(LibraryReader, CommentEntriesAreSkippedInAnyCase) {
    EXPECT_EQ(entriesOf("comment {x}\nCOMMENT {y}\nComMent(1) {z}\nKept {w}"),
              (std::vector<Found>{{"Kept", "w"}}));
}

TEST(LibraryReader, ProgressFollowsTheTextAndAnAbortStopsAfterTheEntry) {
    std::atomic<bool> abort{false};
    std::vector<double> fractions;
    Progress progress(abort,
                      [&](std::string_view, double fraction) { fractions.push_back(fraction); });
    const std::string text = "A {1}\nB {2}\nC {3}\n"; // closing braces at 4, 10 and 16
    int seen = 0;
    const bool aborted = forEachLibraryEntry(text, &progress, [&](const LibraryTextEntry&) {
        if (++seen == 2) {
            abort = true;
        }
    });
    EXPECT_TRUE(aborted);
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(fractions, (std::vector<double>{4.0 / 18.0, 10.0 / 18.0}));
}

} // namespace
} // namespace vortimax
