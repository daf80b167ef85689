#pragma once

#include "model/pass_scheme.h"

#include <bit>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace vortimax::test {

// Runs a row kernel over columns 0 ... width - 1 of `row` with a command word that says
// stop at the third look. Checks that the kernel stopped there and that every pixel it
// finished holds exactly the bits of expected(column); the others must stay 0.0.
// Returns the number of finished pixels, for the caller's bounds.
template <typename Kernel, typename Expected>
int finishedInStoppedRow(Kernel& kernel, int row, int width, Expected&& expected) {
    std::vector<int> columns(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x)
        columns[static_cast<std::size_t>(x)] = x;
    std::vector<float> values(columns.size(), 0.0f);
    int asked = 0;
    PixelRow pixels{row, columns, values, [&] { return ++asked == 3; }};
    kernel(pixels);
    EXPECT_TRUE(pixels.stopped);
    EXPECT_EQ(asked, 3);
    int finished = 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (values[i] == 0.0f)
            continue;
        ++finished;
        EXPECT_EQ(std::bit_cast<std::uint32_t>(values[i]),
                  std::bit_cast<std::uint32_t>(static_cast<float>(expected(columns[i]))))
            << "column " << columns[i];
    }
    return finished;
}

} // namespace vortimax::test
