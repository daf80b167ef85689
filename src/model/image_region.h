#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vortimax {

// A rectangle of a larger image: `width` x `height` pixels whose top-left pixel is pixel
// (x, y) of the whole `fullWidth` x `fullHeight` image, counted from the whole image's
// top-left corner as image programs count. A fractal calculated for a region gives exactly
// the pixels the whole image has there, so tiles rendered apart join into the whole.
struct ImageRegion {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int fullWidth = 0;
    int fullHeight = 0;

    bool operator==(const ImageRegion&) const = default;

    // The region's lowest row in the bottom-up row numbers the calculation uses.
    int firstRowFromBottom() const { return fullHeight - y - height; }
};

// Whether the rectangle lies inside its whole image and neither is empty.
bool isInsideWholeImage(const ImageRegion& region);

// The region as the text a tile's PNG carries: "X,Y,W,H of FWxFH".
std::string regionText(const ImageRegion& region);
// Reads that text back; nothing for any other text or a region outside its image.
std::optional<ImageRegion> parseRegionText(std::string_view text);

// Whether a fractal of the type calculates each pixel by itself, so that a region of its
// image is exactly the same pixels of the whole image. Types whose pixels depend on each
// other (plasma, IFS, L-systems, dynamic systems, bifurcation, compound) do not.
bool typeRendersRegions(std::uint32_t type);

} // namespace vortimax
