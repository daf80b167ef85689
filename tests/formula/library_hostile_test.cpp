// Library files treated as hostile input: random structure, huge and odd bytes. Reading must
// never crash, must stay bounded, and what it keeps must survive being written back.

#include "formula/library_load.h"
#include "formula/library_writer.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

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

} // namespace
} // namespace vortimax
