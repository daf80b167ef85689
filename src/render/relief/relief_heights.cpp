#include "render/relief/relief_heights.h"

#include "model/fractal_record.h"
#include "model/image_buffers.h"
#include "model/type_registry.h"
#include "render/colour/colour_mapping.h"
#include "render/colour/record_numbers.h"

#include <array>
#include <cstdlib>

namespace vortimax {

namespace {

// The height of the relief's top where the fractal has no maximum to offer.
constexpr double kTopHeight = 10000000.0;
constexpr int kSmoothReach = 5;

} // namespace

double HeightRule::height(double value) const {
    if (plasma)
        return value;
    const double top = reservedInside && maxIter > 0.0 ? maxIter : kTopHeight;
    if (value < 0.0)
        return trueColour && maxIter > 0.0 ? maxIter : top;
    if (maxIter > 0.0 && value >= maxIter)
        return top;
    return value;
}

HeightRule heightRuleFor(const FractalRecord& record) {
    HeightRule rule;
    rule.plasma = record.type == kTypePlasma;
    rule.trueColour = record.type == kTypeJulia24 || record.type == kTypeMandel24;
    rule.reservedInside = insideUsesReservedColour(record);
    rule.maxIter = recordNumberOr(record, "MaxIter", 0.0);
    return rule;
}

HeightField heightsOf(const FractalRecord& record, const ImageBuffers& buffers) {
    const HeightRule rule = heightRuleFor(record);
    HeightField field{buffers.width, buffers.height, {}};
    field.cells.reserve(static_cast<std::size_t>(field.width) * field.height);
    for (int y = 0; y < field.height; ++y)
        for (int x = 0; x < field.width; ++x)
            field.cells.push_back(static_cast<float>(rule.height(buffers.value(x, y))));
    return field;
}

HeightField smoothHeights(const HeightField& field) {
    constexpr int kSide = 2 * kSmoothReach + 1;
    std::array<double, kSide * kSide> weights{};
    for (int dy = -kSmoothReach; dy <= kSmoothReach; ++dy)
        for (int dx = -kSmoothReach; dx <= kSmoothReach; ++dx)
            weights[static_cast<std::size_t>((dy + kSmoothReach) * kSide + dx + kSmoothReach)] =
                1.0 / (std::abs(dx) + std::abs(dy) + 1);
    HeightField out{field.width, field.height, field.cells};
    for (int y = 0; y < field.height; ++y) {
        for (int x = 0; x < field.width; ++x) {
            double sum = 0.0, total = 0.0;
            for (int dy = -kSmoothReach; dy <= kSmoothReach; ++dy) {
                const int sy = y + dy;
                if (sy < 0 || sy >= field.height)
                    continue;
                for (int dx = -kSmoothReach; dx <= kSmoothReach; ++dx) {
                    const int sx = x + dx;
                    if (sx < 0 || sx >= field.width)
                        continue;
                    const double w = weights[static_cast<std::size_t>((dy + kSmoothReach) * kSide +
                                                                      dx + kSmoothReach)];
                    sum += w * field.at(sx, sy);
                    total += w;
                }
            }
            out.cells[static_cast<std::size_t>(y) * field.width + x] =
                static_cast<float>(sum / total);
        }
    }
    return out;
}

} // namespace vortimax
