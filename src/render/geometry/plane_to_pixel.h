#pragma once

#include "render/area/area.h"

#include <optional>

namespace vortimax {

// A pixel of the image: column from the left, row from the bottom.
struct PixelPosition {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPosition&) const = default;
};

// Where a point of the area lands in the image: the inverse of the pixel mapping, so the
// point of pixel (x, y) lands exactly on (x, y) up to rounding. The figure types (IFS,
// L-systems) place what they draw with it.
class PlaneToPixel {
public:
    explicit PlaneToPixel(const PixelMapping& mapping);

    // False when the area has no extent (its steps span no parallelogram): nothing lands.
    bool valid() const { return valid_; }
    // The point's place in fractional pixels; not finite when the area is not valid.
    void locate(double re, double im, double& column, double& row) const {
        const double dRe = re - originRe_;
        const double dIm = im - originIm_;
        column = dRe * inverse_[0] + dIm * inverse_[1];
        row = dRe * inverse_[2] + dIm * inverse_[3];
    }

private:
    double originRe_ = 0.0;
    double originIm_ = 0.0;
    double inverse_[4] = {};
    bool valid_ = false;
};

// The pixel nearest to a fractional place: the one whose own point is closest, so
// coordinates are rounded half up (floor(v + 0.5)). Nothing when that pixel lies outside
// a width x height image or the place is not finite.
std::optional<PixelPosition> nearestPixel(double column, double row, int width, int height);

} // namespace vortimax
