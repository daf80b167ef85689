#pragma once

namespace vortimax {

class FractalView;

// Turns the values of one row into pixels: the values at columns x0, x0 + b, x0 + 2b, ...
// within `count` columns (clipped to the image width) each paint a b x b block whose
// lower-left pixel is the value's own, clipped to the image. An 8-bit image receives
// palette indices, a true-colour image (DisplayDepth 24) blue, green, red bytes
// interpolated between neighbouring palette entries. A true-colour image shown on an
// 8-bit screen is dithered as its rows are painted. Calls that do not fit the view's
// buffers paint nothing. Matches ViewHooks::colourRow.
void colourRow(FractalView& view, int x0, int row, int count, int blockSize);

} // namespace vortimax
