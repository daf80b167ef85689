#include "video/video_frame.h"
#include "video_test_images.h"

#include <gtest/gtest.h>

namespace vortimax {
namespace {

TEST(DibRows, PadToFourBytes) {
    EXPECT_EQ(dibRowBytes(320, 8), 320u);
    EXPECT_EQ(dibRowBytes(321, 8), 324u);
    EXPECT_EQ(dibRowBytes(5, 24), 16u);
    EXPECT_EQ(dibRowBytes(4, 24), 12u);
    EXPECT_EQ(dibRowBytes(1, 8), 4u);
}

// Rows keep their bottom-first order, colour triples come out blue first whatever order
// the buffer holds, and the padding is zero rather than the buffer's gap bytes.
TEST(DibRows, PackedBottomFirstWithZeroPadding) {
    for (const bool use3D : {false, true}) {
        const test::TestPicture p = test::testPicture(5, 3, 24, use3D, 1);
        const VideoFrame frame = videoFrameOf(p.buffers, p.colours, use3D);
        std::vector<std::uint8_t> rows(dibImageBytes(frame), 0xAA);
        packDibRows(frame, rows.data());
        ASSERT_EQ(rows.size(), 16u * 3);
        const std::vector<std::uint8_t> rgb = test::expectedRgb(p, use3D); // top row first
        for (int y = 0; y < 3; ++y) {
            const std::uint8_t* row = rows.data() + 16 * y;
            for (int x = 0; x < 5; ++x) {
                const std::uint8_t* want = rgb.data() + ((2 - y) * 5 + x) * 3;
                EXPECT_EQ(row[3 * x], want[2]) << use3D << " " << x << "," << y;
                EXPECT_EQ(row[3 * x + 1], want[1]);
                EXPECT_EQ(row[3 * x + 2], want[0]);
            }
            EXPECT_EQ(row[15], 0);
        }
    }
    const test::TestPicture p8 = test::testPicture(5, 2, 8, false, 0);
    const VideoFrame palette = videoFrameOf(p8.buffers, p8.colours, false);
    std::vector<std::uint8_t> rows(dibImageBytes(palette), 0xAA);
    packDibRows(palette, rows.data());
    ASSERT_EQ(rows.size(), 16u);
    EXPECT_EQ(
        std::vector<std::uint8_t>(rows.begin() + 8, rows.begin() + 13),
        std::vector<std::uint8_t>(p8.buffers.pixels.begin() + 8, p8.buffers.pixels.begin() + 13));
    EXPECT_EQ(rows[13] | rows[14] | rows[15], 0);
}

TEST(VideoFrames, TakeTheDepthAndBufferOfTheImage) {
    const test::TestPicture p8 = test::testPicture(6, 4, 8, false, 0);
    const VideoFrame palette = videoFrameOf(p8.buffers, p8.colours, false);
    EXPECT_EQ(palette.bitsPerPixel, 8);
    EXPECT_EQ(palette.stride, 8u);
    EXPECT_TRUE(videoFrameIsComplete(palette));

    const test::TestPicture p3 = test::testPicture(6, 4, 8, true, 0);
    const VideoFrame relief = videoFrameOf(p3.buffers, p3.colours, true);
    EXPECT_EQ(relief.bitsPerPixel, 24);
    EXPECT_EQ(relief.stride, 24u);
    EXPECT_FALSE(relief.blueFirst);
    EXPECT_EQ(relief.rows, p3.buffers.image3D.data());

    // A buffer short of its last row gives no frame to write.
    test::TestPicture cut = test::testPicture(6, 4, 24, false, 0);
    cut.buffers.pixels.resize(cut.buffers.pixels.size() - 1);
    EXPECT_FALSE(videoFrameIsComplete(videoFrameOf(cut.buffers, cut.colours, false)));
    EXPECT_FALSE(videoFrameIsComplete(videoFrameOf(p8.buffers, p8.colours, true)));
}

TEST(VideoFrames, PaletteTurnsIntoOpaqueRgbWords) {
    ColourTable table;
    table.entries[3] = {0x10, 0x20, 0x30, 0x99};
    const std::vector<std::uint32_t> packed = packedPalette(table);
    ASSERT_EQ(packed.size(), 256u);
    EXPECT_EQ(packed[3], 0xFF302010u);
    EXPECT_EQ(packed[0], 0xFF000000u);
}

} // namespace
} // namespace vortimax
