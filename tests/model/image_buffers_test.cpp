#include "model/image_buffers.h"

#include <gtest/gtest.h>

namespace vortimax {
namespace {

template <typename T> std::size_t bytesOf(const std::vector<T>& buffer) {
    return buffer.size() * sizeof(T);
}

// The memory check before a large render trusts bufferBytes: it must be what the
// allocation takes, for every kind of layout.
TEST(ImageBuffers, BufferBytesIsWhatTheAllocationTakes) {
    const BufferLayout layouts[] = {
        {64, 48, 8, false, false, false, 24}, {65, 47, 24, false, false, false, 24},
        {65, 47, 24, true, false, false, 8},  {33, 21, 8, false, true, false, 24},
        {33, 21, 24, false, false, true, 8},  {1, 1, 24, true, true, true, 8},
    };
    for (const BufferLayout& layout : layouts) {
        SCOPED_TRACE(std::to_string(layout.width) + "x" + std::to_string(layout.height));
        ImageBuffers b;
        ASSERT_TRUE(allocateBuffers(layout, b));
        const std::size_t taken = bytesOf(b.values) + bytesOf(b.tierazon1) + bytesOf(b.tierazon2) +
                                  bytesOf(b.heightField) + bytesOf(b.pixels) + bytesOf(b.screen) +
                                  bytesOf(b.image3D) + bytesOf(b.image3D8) +
                                  bytesOf(b.rowWorkSmall) + bytesOf(b.rowWorkLarge) +
                                  bytesOf(b.ditherRows);
        EXPECT_EQ(bufferBytes(layout), taken);
    }
}

} // namespace
} // namespace vortimax
