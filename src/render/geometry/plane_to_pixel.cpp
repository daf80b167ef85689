#include "render/geometry/plane_to_pixel.h"

#include <cmath>
#include <limits>

namespace vortimax {

PlaneToPixel::PlaneToPixel(const PixelMapping& mapping)
    : originRe_(mapping.originRe), originIm_(mapping.originIm) {
    // (re, im) - origin = column * columnStep + row * rowStep; solved by the inverse of
    // the 2 x 2 matrix whose columns are the two steps.
    const double det = mapping.columnRe * mapping.rowIm - mapping.rowRe * mapping.columnIm;
    valid_ = std::isfinite(det) && det != 0.0;
    const double scale = valid_ ? 1.0 / det : std::numeric_limits<double>::quiet_NaN();
    inverse_[0] = mapping.rowIm * scale;
    inverse_[1] = -mapping.rowRe * scale;
    inverse_[2] = -mapping.columnIm * scale;
    inverse_[3] = mapping.columnRe * scale;
}

std::optional<PixelPosition> nearestPixel(double column, double row, int width, int height) {
    // floor(v + 0.5) lies in 0 ... n - 1 exactly when v + 0.5 lies in [0, n), and there
    // truncation is the floor. Written so that NaN fails every test.
    const double x = column + 0.5;
    const double y = row + 0.5;
    if (!(x >= 0.0 && x < width && y >= 0.0 && y < height))
        return std::nullopt;
    return PixelPosition{static_cast<int>(x), static_cast<int>(y)};
}

} // namespace vortimax
