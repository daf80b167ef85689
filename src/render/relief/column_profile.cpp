#include "render/relief/column_profile.h"

#include "model/image_buffers.h"

#include <algorithm>
#include <cmath>

namespace vortimax {

namespace {

constexpr double kFarRow = 1073741824.0; // 2^30

} // namespace

int screenRow(const ReliefScene& scene, int row, double height) {
    const double y = std::trunc(row * scene.rowRise + height * scene.heightRise);
    if (std::isnan(y))
        return static_cast<int>(-kFarRow);
    return static_cast<int>(std::clamp(y, -kFarRow, kFarRow));
}

bool columnProfile(const ReliefScene& scene, int column, std::vector<ProfileRow>& rows) {
    const int width = scene.heights.width;
    const int height = scene.heights.height;
    if (column < 0 || column >= width)
        return false;
    rows.resize(static_cast<std::size_t>(height));
    for (int i = 0; i < height; ++i) {
        ProfileRow& r = rows[static_cast<std::size_t>(i)];
        r.position = static_cast<float>(scene.mapping.position(scene.buffers.value(column, i)));
        r.height = scene.transfer(scene.heights.at(column, i), i);
        if (scene.overlay)
            r.height = scene.overlayFactor1 * r.height +
                       scene.overlayFactor2 * std::fabs(scene.overlay->at(column, i));
        r.screenRow = screenRow(scene, i, r.height);
    }
    return true;
}

} // namespace vortimax
