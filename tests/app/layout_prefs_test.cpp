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

TEST_F(LayoutPrefsTest, PlacedLineAloneIsZeroFilledInTheBinaryFile) {
    writeBytes(text(), "P 100 1 2\r\n");
    ASSERT_TRUE(compilePosPrefs(text(), binary()).ok());
    std::string expected(400, '\0');
    expected += std::string("\x01\0\0\0\x02\0\0\0", 8);
    EXPECT_EQ(readBytes(binary()), expected);
}

TEST(LayoutText, LineRules) {
    EXPECT_EQ(parse("5 6 // 7 8\n"), (std::vector<std::int32_t>{5, 6}));
    // Placed index below the current end: appended without fill; lower-case 'p' too.
    EXPECT_EQ(parse("1 2 3\np 1 9 9\n"), (std::vector<std::int32_t>{1, 2, 3, 9, 9}));
    // At most ten plain values, ten placed values after the index; reading stops at
    // the first thing that is not an integer.
    EXPECT_EQ(parse("1 2 3 4 5 6 7 8 9 10 11\n").size(), 10u);
    EXPECT_EQ(parse("P 0 1 2 3 4 5 6 7 8 9 10 11\n").size(), 10u);
    EXPECT_EQ(parse("-4 +5 x 6\n  P 2 3\n"), (std::vector<std::int32_t>{-4, 5}));
    EXPECT_EQ(parse("// only a comment\n\nP\nno numbers\n"), std::vector<std::int32_t>{});
    // Placed line with an index but no values still fills up to the index.
    EXPECT_EQ(parse("P 3\n7").size(), 4u);
    // Everything past 2000 characters of a line is ignored.
    EXPECT_EQ(parse(std::string(1998, ' ') + "1 2 3 4\n5"), (std::vector<std::int32_t>{1, 5}));
}

TEST(LayoutText, PlacedLineInTheMiddleOfALongFile) {
    std::string text;
    for (int i = 0; i < 128; ++i) {
        text += std::to_string(i) + "\n";
    }
    text += "P 1000 -1 -2 // placed\n";
    for (int i = 0; i < 127; ++i) {
        text += "7 8\n";
    }
    const auto table = parse(text);
    ASSERT_EQ(table.size(), 1002u + 254u);
    EXPECT_EQ(table[127], 127);
    EXPECT_EQ(table[128], 0);
    EXPECT_EQ(table[999], 0);
    EXPECT_EQ(table[1000], -1);
    EXPECT_EQ(table[1001], -2);
    EXPECT_EQ(table[1002], 7);
    EXPECT_EQ(table.back(), 8);
}

TEST_F(LayoutPrefsTest, AbsurdIndexIsRefusedWithoutWritingAnything) {
    writeBytes(text(), "1 2\nP 2000000000 1\n");
    const LayoutStatus status = compilePosPrefs(text(), binary());
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.error.find("line 2"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(binary()));
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
    ASSERT_FALSE(none.ok());
    EXPECT_NE(none.error.find("PosPrefs.asc"), std::string::npos);
    EXPECT_NE(none.error.find("PosPrefs.bin"), std::string::npos);

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

bool inside(const Rect& control, const Rect& window) {
    return control.x >= 0 && control.y >= 0 && control.x + control.width <= window.width &&
           control.y + control.height <= window.height;
}

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
            const Rect window = prefs.rectangle(layout.window, c, l);
            EXPECT_GT(window.width, 0);
            EXPECT_GT(window.height, 0);
            for (int i = 1; i <= layout.controlCount; ++i) {
                const Rect control = prefs.rectangle(layout.window + layout::kRectSize * i, c, l);
                if (control.width != 0 || control.height != 0) { // not a row step
                    EXPECT_TRUE(inside(control, window)) << "control " << i;
                }
            }
        }
    }
    // Every tool window that carries its own placement has a layout.
    for (const ToolWindowRow& row : ToolWindowRegistry::rows()) {
        if (!row.isChild()) {
            const bool found =
                std::any_of(layout::kWindowLayouts.begin(), layout::kWindowLayouts.end(),
                            [&](const auto& layout) { return layout.keyword == row.keyword; });
            EXPECT_TRUE(found) << row.keyword;
        }
    }
}

} // namespace
} // namespace vortimax
