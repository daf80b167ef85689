#include "app/layout_indices.h"
#include "app/layout_prefs.h"
#include "app/tool_window_registry.h"
#include "temp_dir.h"

#include <algorithm>
#include <climits>
#include <gtest/gtest.h>
#include <sstream>

namespace vortimax {
namespace {

using test::readBytes;
using test::writeBytes;

std::vector<std::int32_t> parse(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::int32_t> table;
    EXPECT_TRUE(parseLayoutText(in, table).ok()) << text;
    return table;
}

class LayoutPrefsTest : public ::testing::Test {
protected:
    std::filesystem::path text() const { return dir_ / kLayoutTextFileName; }
    std::filesystem::path binary() const { return dir_ / kLayoutBinaryFileName; }

    test::TempDir dir_;
};

TEST(LayoutText, LineRules) {
    // At most ten plain values and ten placed values after the index, read up to the first
    // non-integer; a placed index below the current end appends without fill; only the first
    // 2000 characters of a line count.
    const std::pair<std::string, std::vector<std::int32_t>> cases[] = {
        {"5 6 // 7 8\n", {5, 6}},
        {"1 2 3\np 1 9 9\n", {1, 2, 3, 9, 9}},
        {"1 2 3 4 5 6 7 8 9 10 11\n", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"P 0 1 2 3 4 5 6 7 8 9 10 11\n", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {"-4 +5 x 6\n  P 2 3\n", {-4, 5}},
        {"// only a comment\n\nP\nno numbers\n", {}},
        {"P 3\n7", {0, 0, 0, 7}},
        {"1 2\nP 5 9\n3", {1, 2, 0, 0, 0, 9, 3}},
        {std::string(1998, ' ') + "1 2 3 4\n5", {1, 5}},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(parse(text), expected) << text.substr(0, 40);
    }
}

TEST_F(LayoutPrefsTest, CompiledFileIsLittleEndianAndAnAbsurdIndexChangesNothing) {
    writeBytes(text(), "P 2 1 -2\r\n");
    ASSERT_TRUE(compilePosPrefs(text(), binary()).ok());
    const std::string compiled("\0\0\0\0\0\0\0\0\x01\0\0\0\xFE\xFF\xFF\xFF", 16);
    EXPECT_EQ(readBytes(binary()), compiled);
    writeBytes(text(), "1 2\nP 2000000000 1\n");
    EXPECT_EQ(compilePosPrefs(text(), binary()).error,
              "PosPrefs.asc line 2: the table would grow beyond its limit");
    EXPECT_EQ(readBytes(binary()), compiled);
}

TEST_F(LayoutPrefsTest, RecompilesOnlyWhenTheTextIsNewer) {
    writeBytes(text(), "1 2\n");
    LayoutPrefs prefs;
    ASSERT_TRUE(prefs.load(dir_.path()).ok()); // only the text: compiled
    ASSERT_TRUE(std::filesystem::exists(binary()));
    EXPECT_EQ(prefs.value(0), 1);

    const auto binaryTime = std::filesystem::last_write_time(binary());
    writeBytes(text(), "3 4\n");
    std::filesystem::last_write_time(text(), binaryTime - std::chrono::seconds(10));
    ASSERT_TRUE(prefs.load(dir_.path()).ok());
    EXPECT_EQ(prefs.value(0), 1); // text older: the binary is used as it is

    std::filesystem::last_write_time(text(), binaryTime + std::chrono::seconds(10));
    ASSERT_TRUE(prefs.load(dir_.path()).ok());
    EXPECT_EQ(prefs.value(0), 3);
    EXPECT_EQ(readBytes(binary()), std::string("\x03\0\0\0\x04\0\0\0", 8));
}

TEST_F(LayoutPrefsTest, LoadFailuresKeepTheTableAndSayWhy) {
    LayoutPrefs prefs;
    const LayoutStatus none = prefs.load(dir_.path());
    EXPECT_EQ(none.error, "Neither PosPrefs.asc nor PosPrefs.bin found in " + dir_.path().string());

    writeBytes(binary(), std::string("\x05\0\0\0", 4));
    ASSERT_TRUE(prefs.load(dir_.path()).ok()); // only the binary
    writeBytes(binary(), std::string("\x05\0\0\0\x01", 5));
    EXPECT_FALSE(prefs.load(dir_.path()).ok());
    EXPECT_EQ(prefs.size(), 1u);
    EXPECT_EQ(prefs.value(0), 5);
}

TEST_F(LayoutPrefsTest, RectanglesTruncateTowardZeroAndOutOfRangeReadsZero) {
    writeBytes(text(), "10 -150 5 -250 0 333 -7 99\n2147483647 100 -2147483648 -100\n");
    LayoutPrefs prefs;
    ASSERT_TRUE(prefs.load(dir_.path()).ok());
    // x = 10 + trunc(-10.5), y = 5 + trunc(-37.5), w = trunc(23.31), h = -7 + trunc(14.85)
    EXPECT_EQ(prefs.rectangle(0, 7, 15), (Rect{0, -32, 23, 7}));
    // Sums beyond int saturate; the missing tail of the table counts as 0.
    EXPECT_EQ(prefs.rectangle(8, 100, 100), (Rect{INT_MAX, INT_MIN, 0, 0}));
    EXPECT_EQ(prefs.value(-1), 0);
    EXPECT_EQ(prefs.value(12), 0);
    EXPECT_EQ(prefs.value(LLONG_MAX), 0);
    EXPECT_EQ(prefs.rectangle(LLONG_MAX - 3, 7, 15), (Rect{}));
}

// Every block lies in its own 100 integers, every control inside its window at two font
// sizes, and every tool window with its own placement has a block.
TEST_F(LayoutPrefsTest, ShippedLayoutCoversEveryToolWindow) {
    std::filesystem::copy_file(std::filesystem::path(VORTIMAX_DATA_DIR) / kLayoutTextFileName,
                               text());
    LayoutPrefs prefs;
    ASSERT_TRUE(prefs.load(dir_.path()).ok());
    for (const auto& layout : layout::kWindowLayouts) {
        SCOPED_TRACE(std::string(layout.keyword));
        EXPECT_EQ(layout.window % layout::kBlockSize, 0);
        const int end = layout.window + layout::kRectSize * (layout.controlCount + 1);
        EXPECT_LE(end, layout.window + layout::kBlockSize);
        ASSERT_LE(static_cast<std::size_t>(end), prefs.size());
        for (const auto& [c, l] : {std::pair{6, 13}, std::pair{9, 20}}) {
            const Rect w = prefs.rectangle(layout.window, c, l);
            EXPECT_TRUE(w.width > 0 && w.height > 0);
            for (int i = 1; i <= layout.controlCount; ++i) {
                const Rect r = prefs.rectangle(layout.window + layout::kRectSize * i, c, l);
                const bool rowStep = r.width == 0 && r.height == 0;
                EXPECT_TRUE(rowStep || (r.x >= 0 && r.y >= 0 && r.x + r.width <= w.width &&
                                        r.y + r.height <= w.height))
                    << "control " << i;
            }
        }
    }
    for (const ToolWindowRow& row : ToolWindowRegistry::rows()) {
        const bool found = std::ranges::any_of(layout::kWindowLayouts, [&](const auto& layout) {
            return layout.keyword == row.keyword;
        });
        EXPECT_TRUE(row.isChild() || found) << row.keyword;
    }
}

} // namespace
} // namespace vortimax
