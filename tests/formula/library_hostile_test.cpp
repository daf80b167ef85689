// Splitting library file text into entries, and library files treated as hostile input:
// random structure, huge and odd bytes. Reading must never crash, must stay bounded, and
// what it keeps must survive being written back.

#include "base/frontend.h"
#include "formula/library_load.h"
#include "formula/library_reader.h"
#include "formula/library_writer.h"

#include <atomic>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace vortimax {
namespace {

using namespace std::string_literals;

// Text drawn mostly from the bytes that shape a library file.
std::string randomText(std::mt19937& random) {
    static const std::string shapes = "{}{}()\n\n\n ;;=:,|F+-.0123456789abzZ\t\r";
    std::uniform_int_distribution<std::size_t> length(0, 600);
    std::uniform_int_distribution<int> coin(0, 9);
    std::uniform_int_distribution<std::size_t> pick(0, shapes.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string text;
    for (std::size_t n = length(random); n > 0; --n) {
        const int kind = coin(random);
        if (kind == 0) {
            text.push_back(static_cast<char>(byte(random)));
        } else if (kind == 1 && n % 8 == 0) {
            text += "\nM(x) {z=pixel:z=z*z+pixel,|z|<4}"; // a formula that compiles
        } else {
            text.push_back(shapes[pick(random)]);
        }
    }
    return text;
}

// Loading the written library again gives the same library text.
template <class Library> std::size_t expectStableRoundTrip(const std::string& input) {
    Library library;
    loadLibraryText(library, input);
    const std::string written = libraryText(library);
    Library again;
    loadLibraryText(again, written);
    EXPECT_EQ(again.size(), library.size()) << input;
    EXPECT_EQ(libraryText(again), written) << input;
    return library.size();
}

TEST(HostileLibraryText, RandomTextLoadsAndWritesBackStably) {
    std::mt19937 random(20240611);
    std::size_t formulas = 0, others = 0;
    for (int round = 0; round < 400; ++round) {
        const std::string text = randomText(random);
        formulas += expectStableRoundTrip<FormulaLibrary>(text);
        others += expectStableRoundTrip<IfsLibrary>(text);
        others += expectStableRoundTrip<LSystemLibrary>(text);
    }
    // The texts do make entries.
    EXPECT_GT(formulas, 100u);
    EXPECT_GT(others, 1000u);
}

TEST(HostileLibraryText, ExtremeInputsStayBounded) {
    std::string sameName;
    for (std::size_t i = 0; i < kMaxLibraryEntries + 1000; ++i) {
        sameName += "A{}";
    }
    IfsLibrary crowded;
    const LibraryLoadResult result = loadLibraryText(crowded, sameName);
    EXPECT_EQ(result.added, kMaxLibraryEntries);
    EXPECT_EQ(result.dropped, 1000u);

    std::string fields; // 13 fields that each fit, on one long line
    for (int i = 0; i < 13; ++i) {
        fields += std::string(499, '(') + " ";
    }
    const struct {
        std::string text;
        std::size_t formulas, ifs, lsystems;
    } cases[] = {
        {std::string(1 << 20, 'n') + "{z=0:z=z+1,1}", 1, 1, 1}, // names are cut
        {"N\0ul {\0z=0:z=z\0+1,1\0}"s, 1, 1, 1},
        {"Deep {z=0:z=" + std::string(20000, '(') + "1" + std::string(20000, ')') + ",1}", 0, 1, 1},
        {"Bars {z=0:z=" + std::string(5000, '|') + ",1}", 0, 1, 1},
        {"Wide {" + std::string(13 * 500, '(') + "}", 0, 1, 1},
        {"Long {\n" + fields + "\nAxiom " + std::string(100000, 'F') + "\n}", 0, 1, 1},
        {std::string(100000, '{'), 0, 0, 0},
        {std::string(100000, '}'), 0, 0, 0},
    };
    for (const auto& c : cases) {
        FormulaLibrary formulas;
        IfsLibrary ifs;
        LSystemLibrary lsystems;
        EXPECT_EQ(loadLibraryText(formulas, c.text).added, c.formulas) << c.text.substr(0, 40);
        EXPECT_EQ(loadLibraryText(ifs, c.text).added, c.ifs) << c.text.substr(0, 40);
        EXPECT_EQ(loadLibraryText(lsystems, c.text).added, c.lsystems) << c.text.substr(0, 40);
        for (const LSystemEntry& entry : lsystems.all()) {
            EXPECT_LE(entry.axiom.size(), kMaxLSystemFieldLength);
            EXPECT_LE(entry.name.size(), libraryKindInfo(LibraryKind::LSystem).maxNameLength);
        }
    }
}

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
