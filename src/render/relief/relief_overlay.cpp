#include "render/relief/relief_overlay.h"

#include "model/fractal_view.h"
#include "render/relief/relief_heights.h"
#include "render/relief/relief_settings.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <mutex>
#include <shared_mutex>
#include <thread>

namespace vortimax {

namespace {

// How long the relief waits for an overlay whose worker is running a command that may
// write its values or pixels.
constexpr int kLockAttempts = 50;
constexpr auto kLockPause = std::chrono::milliseconds(10);

bool usesPixels(int overlayType) {
    return overlayType == 2 || overlayType == 3;
}

bool usesTransfer(int overlayType) {
    return overlayType == 1 || overlayType == 3;
}

// Brightness of a pixel: the largest of its three channels.
double brightness(const ImageBuffers& b, const ColourTable& colours, int x, int y) {
    if (b.bytesPerPixel == 3) {
        const std::uint8_t* p =
            b.pixels.data() + (static_cast<std::size_t>(y) * b.rowLength + x) * 3;
        return std::max({p[0], p[1], p[2]});
    }
    const ColourEntry& e = colours.entries[b.pixels[static_cast<std::size_t>(y) * b.rowLength + x]];
    return std::max({e.red, e.green, e.blue});
}

// The relief heights of the overlay: its stored 3D heights when it has made a relief,
// else the heights of its values.
std::vector<double> reliefHeights(FractalView& view) {
    const ImageBuffers& b = view.buffers();
    std::vector<double> cells;
    cells.reserve(static_cast<std::size_t>(b.width) * b.height);
    if (b.has3D() && view.done3D() && !b.heightField.empty()) {
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x)
                cells.push_back(std::bit_cast<float>(
                    b.heightField[static_cast<std::size_t>(y) * b.valueStride() + x]));
        return cells;
    }
    const HeightField field = heightsOf(view.record(), b);
    cells.assign(field.cells.begin(), field.cells.end());
    return cells;
}

} // namespace

OverlayHeights::OverlayHeights(int width, int height, std::vector<double> cells)
    : width_(width), height_(height), cells_(std::move(cells)) {}

// c' = c mod (2 side - 2), mirrored back when it passes the last pixel.
int OverlayHeights::reflect(int coordinate, int side) {
    if (side <= 1)
        return 0;
    const int period = 2 * side - 2;
    int c = coordinate % period;
    if (c < 0)
        c += period;
    return c >= side ? period - c : c;
}

double OverlayHeights::at(int x, int y) const {
    if (width_ <= 0 || height_ <= 0)
        return 0.0;
    const int ox = reflect(x, width_), oy = reflect(y, height_);
    return cells_[static_cast<std::size_t>(oy) * width_ + ox];
}

OverlayHeights overlayHeightsOf(FractalView& overlay, int overlayType) {
    const ImageBuffers& b = overlay.buffers();
    std::vector<double> cells;
    if (usesPixels(overlayType)) {
        cells.reserve(static_cast<std::size_t>(b.width) * b.height);
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x)
                cells.push_back(brightness(b, overlay.colours, x, y));
    } else {
        cells = reliefHeights(overlay);
    }
    if (usesTransfer(overlayType)) {
        const FractalRecord& record = overlay.record();
        const ReliefSettings own = readReliefSettings(record);
        const HeightTransfer transfer(record, own, b.height);
        const HeightRule rule = heightRuleFor(record);
        for (int y = 0; y < b.height; ++y) {
            for (int x = 0; x < b.width; ++x) {
                double& h = cells[static_cast<std::size_t>(y) * b.width + x];
                if (rule.trueColour && h < 0.0)
                    h = rule.maxIter;
                h = transfer(h, y);
            }
        }
    }
    return OverlayHeights(b.width, b.height, std::move(cells));
}

std::optional<OverlayHeights> readOverlay(const FractalRecord& record,
                                          const ReliefSettings& settings) {
    if (!settings.overlay || record.overlayView == nullptr)
        return std::nullopt;
    FractalView& overlay = *record.overlayView;
    if (&overlay == record.view)
        return overlayHeightsOf(overlay, settings.overlayType); // our own lock is held
    // The overlay's view cannot go, nor its buffers change, meanwhile: closing, resizing
    // or writing it first pauses this relief. Its worker holds its image lock while it
    // writes, and two reliefs may overlay each other: never wait for it for long.
    std::shared_lock lock(overlay.imageLock(), std::defer_lock);
    for (int attempt = 0; attempt < kLockAttempts && !lock.try_lock(); ++attempt) {
        if (record.view->mustStop()) // a pause waits for this worker
            return std::nullopt;
        std::this_thread::sleep_for(kLockPause);
    }
    if (!lock.owns_lock())
        return std::nullopt;
    return overlayHeightsOf(overlay, settings.overlayType);
}

} // namespace vortimax
