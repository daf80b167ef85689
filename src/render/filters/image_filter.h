#pragma once

#include "render/filters/convolution_kernels.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace vortimax {

class FractalView;

// A true-colour picture: blue, green, red bytes, rows of `rowLength` pixels from the
// bottom.
struct BgrImage {
    std::uint8_t* pixels;
    int width;
    int height;
    int rowLength;
};

// Convolves every channel of every pixel with the kernel, reading a copy of the image and
// writing the image. Neighbours beyond the border are the nearest pixel inside; sums are
// held to 0 ... 255 and truncated. Rows go from the bottom up; `rowDone(row)` is asked
// after each and ends the filter by returning false.
void convolve(BgrImage image, const ConvolutionKernel& kernel,
              const std::function<bool(int row)>& rowDone);

// The anti-aliased half-size picture of `source` into `target` (already of the child's
// size): child pixel (i, j) is the weighted 3 x 3 neighbourhood of source pixel
// (2i + 1, 2j + 1), 0.4 at the centre, 0.1 beside and 0.05 diagonally. Columns whose
// sample would reach the source's last column are left alone, as are rows beyond it.
// `sourceValues` / `targetValues` (strides width + 1) take the sample's value when given.
void antiAliasInto(const BgrImage& source, const BgrImage& target, const float* sourceValues,
                   float* targetValues, const std::function<bool(int row)>& rowDone);

// The size of the anti-aliased copy of a W x H image: (W/2 + 3) down to a multiple of 4
// by H/2.
struct HalfSize {
    int width;
    int height;
};
HalfSize antiAliasSize(int width, int height);

// Applies the view's chosen filter (its record says which) to its true-colour image:
// an image filtered before is coloured afresh from its values first, so "Original"
// restores it without calculating. Anti-aliasing fills the linked copy, when the view
// has one. Matches ViewHooks::applyFilter; the caller holds the view's pixel lock.
void applyImageFilter(FractalView& view);

} // namespace vortimax
