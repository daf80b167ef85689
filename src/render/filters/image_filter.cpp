#include "render/filters/image_filter.h"

#include "base/frontend.h"
#include "model/fractal_view.h"
#include "render/colour/colour_row.h"
#include "render/colour/dither.h"

#include <algorithm>
#include <chrono>

namespace vortimax {

namespace {

std::uint8_t* pixelAt(const BgrImage& image, int x, int y) {
    return image.pixels + (static_cast<std::size_t>(y) * image.rowLength + x) * 3;
}

// Anti-aliasing weights in twentieths: 0.4 centre, 0.1 beside, 0.05 diagonal.
constexpr std::array<std::array<int, 3>, 3> kAntiAliasWeights = {{{1, 2, 1}, {2, 8, 2}, {1, 2, 1}}};
constexpr int kAntiAliasDivisor = 20;

// Progress, stop requests and window refreshes of a filter running over a view's rows.
class FilterRows {
public:
    FilterRows(FractalView& view, FractalView& shown, int rows)
        : view_(view), shown_(shown), rows_(rows), lastPaint_(std::chrono::steady_clock::now()) {}

    bool operator()(int row) {
        view_.setProgress(static_cast<double>(row + 1) / rows_);
        const auto interval = std::chrono::milliseconds(view_.environment().drawingSpeed.load());
        if (std::chrono::steady_clock::now() - lastPaint_ >= interval)
            paint(row);
        return !view_.mustStop();
    }
    void paint(int row) {
        lastPaint_ = std::chrono::steady_clock::now();
        if (Frontend* frontend = view_.environment().frontend; frontend && row >= low_) {
            frontend->viewChanged(shown_.id(),
                                  Rect{0, low_, shown_.buffers().width, row - low_ + 1});
            low_ = row + 1;
        }
    }

private:
    FractalView& view_;
    FractalView& shown_;
    int rows_;
    int low_ = 0;
    std::chrono::steady_clock::time_point lastPaint_;
};

BgrImage imageOf(ImageBuffers& b) {
    return {b.pixels.data(), b.width, b.height, b.rowLength};
}

// Colours the image afresh from its values (rows from the bottom).
void recolour(FractalView& view) {
    const int width = view.buffers().width;
    for (int row = 0; row < view.buffers().height; ++row)
        colourRow(view, 0, row, width, 1);
}

void convolveView(FractalView& view, const ConvolutionKernel& kernel) {
    ImageBuffers& b = view.buffers();
    FilterRows rows(view, view, b.height);
    const bool dither = !b.screen.empty();
    convolve(imageOf(b), kernel, [&](int row) {
        if (dither)
            ditherRow(view, row, DitherFlow::Upward);
        return rows(row);
    });
    rows.paint(b.height - 1);
}

void antiAliasView(FractalView& view) {
    FractalView* child = view.filteredCopy;
    if (child == nullptr || child->buffers().bytesPerPixel != 3)
        return;
    ImageBuffers& source = view.buffers();
    ImageBuffers& target = child->buffers();
    // The child's worker stays away from its pixels while they are written.
    std::lock_guard childPixels(child->pixelLock());
    FilterRows rows(view, *child, target.height);
    bool complete = true;
    antiAliasInto(imageOf(source), imageOf(target), source.values.data(),
                  target.values.empty() ? nullptr : target.values.data(), [&](int row) {
                      complete = rows(row);
                      return complete;
                  });
    rows.paint(target.height - 1);
    if (complete)
        child->markFinished();
}

} // namespace

void convolve(BgrImage image, const ConvolutionKernel& kernel,
              const std::function<bool(int row)>& rowDone) {
    const std::size_t bytes = static_cast<std::size_t>(image.rowLength) * image.height * 3;
    const std::vector<std::uint8_t> copy(image.pixels, image.pixels + bytes);
    const BgrImage original{const_cast<std::uint8_t*>(copy.data()), image.width, image.height,
                            image.rowLength};
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            int sums[3] = {0, 0, 0};
            for (int dr = -1; dr <= 1; ++dr) {
                const int sy = std::clamp(y + dr, 0, image.height - 1);
                for (int dc = -1; dc <= 1; ++dc) {
                    const int w = kernel.weights[static_cast<std::size_t>(dr + 1)]
                                                [static_cast<std::size_t>(dc + 1)];
                    const std::uint8_t* p =
                        pixelAt(original, std::clamp(x + dc, 0, image.width - 1), sy);
                    for (int c = 0; c < 3; ++c)
                        sums[c] += w * p[c];
                }
            }
            std::uint8_t* out = pixelAt(image, x, y);
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<std::uint8_t>(std::clamp(sums[c], 0, 255 * kernel.divisor) /
                                                   kernel.divisor);
        }
        if (rowDone && !rowDone(y))
            return;
    }
}

void antiAliasInto(const BgrImage& source, const BgrImage& target, const float* sourceValues,
                   float* targetValues, const std::function<bool(int row)>& rowDone) {
    const int rows = std::min(target.height, source.height / 2);
    for (int j = 0; j < rows; ++j) {
        const int sy = std::max(std::min(2 * j + 1, source.height - 2), 0);
        for (int i = 0; i < target.width && 2 * i + 1 < source.width - 1; ++i) {
            const int sx = 2 * i + 1;
            int sums[3] = {0, 0, 0};
            for (int dr = -1; dr <= 1; ++dr) {
                const int y = std::clamp(sy + dr, 0, source.height - 1);
                for (int dc = -1; dc <= 1; ++dc) {
                    const int w = kAntiAliasWeights[static_cast<std::size_t>(dr + 1)]
                                                   [static_cast<std::size_t>(dc + 1)];
                    const std::uint8_t* p = pixelAt(source, sx + dc, y);
                    for (int c = 0; c < 3; ++c)
                        sums[c] += w * p[c];
                }
            }
            std::uint8_t* out = pixelAt(target, i, j);
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<std::uint8_t>(sums[c] / kAntiAliasDivisor);
            if (sourceValues != nullptr && targetValues != nullptr)
                targetValues[static_cast<std::size_t>(j) * (target.width + 1) + i] =
                    sourceValues[static_cast<std::size_t>(sy) * (source.width + 1) + sx];
        }
        if (rowDone && !rowDone(j))
            return;
    }
}

HalfSize antiAliasSize(int width, int height) {
    return {(width / 2 + 3) / 4 * 4, height / 2};
}

void applyImageFilter(FractalView& view) {
    ImageBuffers& b = view.buffers();
    if (b.bytesPerPixel != 3 || b.values.empty() || b.width <= 0 || b.height <= 0)
        return;
    const int filter = view.record().imageFilter;
    if (view.appliedFilter != kFilterOriginal && view.appliedFilter != kFilterAntiAlias)
        recolour(view);
    view.appliedFilter = kFilterOriginal;
    if (const std::optional<ConvolutionKernel> kernel = convolutionKernel(filter)) {
        convolveView(view, *kernel);
        view.appliedFilter = filter;
    } else if (filter == kFilterAntiAlias) {
        antiAliasView(view);
        view.appliedFilter = filter;
    }
}

} // namespace vortimax
