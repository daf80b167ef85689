#include "render/relief/relief_renderer.h"

#include "base/frontend.h"
#include "model/fractal_view.h"
#include "render/colour/dither.h"
#include "render/relief/column_profile.h"
#include "render/relief/horizon_strip.h"
#include "render/relief/relief_colour.h"
#include "render/relief/relief_light.h"

#include <bit>
#include <cmath>

namespace vortimax {

namespace {

constexpr double kRadiansPerDegree = 0.017453292519444445;
// The window shows the growing relief after this many pairs of columns.
constexpr int kColumnPairsPerRefresh = 10;

ReliefScene makeScene(const FractalView& view, const ReliefSettings& s) {
    const FractalRecord& record = view.record();
    const ImageBuffers& b = view.buffers();
    HeightField heights = heightsOf(record, b);
    if (s.smooth)
        heights = smoothHeights(heights);
    const double theta = s.observerAngle * kRadiansPerDegree;
    ReliefScene scene{b, std::move(heights), HeightTransfer(record, s, b.height),
                      PaletteMapping(readColourSettings(record)), readOverlay(record, s)};
    scene.overlayFactor1 = s.overlayFactor1;
    scene.overlayFactor2 = s.overlayFactor2;
    scene.rowRise = (2.0 / 3.0) * s.yStretch * std::sin(theta);
    scene.heightRise = std::cos(theta) * b.height / 150.0;
    return scene;
}

// Keeps the heights for reliefs that take this one as their overlay.
void storeHeights(ImageBuffers& b, const HeightField& heights) {
    const std::size_t stride = static_cast<std::size_t>(b.valueStride());
    if (b.heightField.size() < stride * static_cast<std::size_t>(b.height))
        return;
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x)
            b.heightField[static_cast<std::size_t>(y) * stride + x] =
                std::bit_cast<std::uint32_t>(heights.at(x, y));
}

class ReliefJob {
public:
    explicit ReliefJob(FractalView& view)
        : view_(view), b_(view.buffers()), settings_(readReliefSettings(view.record())),
          scene_(makeScene(view, settings_)), light_(settings_),
          colouring_(settings_, view.colours), behind_(seenFromBehind(settings_.observerAngle)) {
        storeHeights(b_, scene_.heights);
        if (!b_.image3D8.empty())
            ditherer_.emplace(ditherStorage_, b_.height);
    }

    void run() {
        const int width = b_.width;
        const int middle = width / 2;
        int done = 0;
        for (int k = 0; middle - k >= 0 || middle + k < width; ++k) {
            if (view_.mustStop())
                break;
            if (k == 0) {
                drawColumn(middle, middle > 0 ? middle - 1 : middle, DitherFlow::Upward);
                ++done;
            } else {
                for (int column : {middle - k, middle + k}) {
                    if (column < 0 || column >= width)
                        continue;
                    const bool left = column < middle;
                    drawColumn(column, left ? column + 1 : column - 1,
                               left ? DitherFlow::Downward : DitherFlow::Upward);
                    ++done;
                }
            }
            view_.setProgress(static_cast<double>(done) / width);
            if (k % kColumnPairsPerRefresh == kColumnPairsPerRefresh - 1)
                refresh(middle - k, middle + k);
        }
        refresh(0, width - 1);
    }

private:
    // Shades of the column's rows against the neighbouring column, the slope across
    // always taken along +x whichever side the neighbour lies on.
    void shadeColumn(int column, int neighbour) {
        columnProfile(scene_, neighbour, neighbourRows_);
        const int count = static_cast<int>(rows_.size());
        shades_.resize(rows_.size());
        const double sign = neighbour > column ? -1.0 : 1.0;
        for (int i = 0; i < count; ++i) {
            const double here = rows_[static_cast<std::size_t>(i)].height;
            const double next = rows_[static_cast<std::size_t>(i + 1 < count ? i + 1 : i)].height;
            const double across =
                neighbour == column
                    ? 0.0
                    : sign * (here - neighbourRows_[static_cast<std::size_t>(i)].height);
            shades_[static_cast<std::size_t>(i)] = light_.shade(across, next - here);
        }
    }

    void drawColumn(int column, int neighbour, DitherFlow flow) {
        columnProfile(scene_, column, rows_);
        shadeColumn(column, neighbour);
        strip_.reset(b_.height);
        drawStrip(rows_, shades_, behind_, strip_);
        columnBgr_.resize(static_cast<std::size_t>(b_.height) * 3);
        for (int y = 0; y < b_.height; ++y) {
            const std::size_t i = static_cast<std::size_t>(y);
            const PackedBgr bgr = colouring_.colour(strip_.shade[i], strip_.position[i]);
            storeBgr(columnBgr_.data() + 3 * i, bgr);
            storeBgr(b_.image3D.data() + (i * b_.rowLength + column) * 3, bgr);
        }
        if (ditherer_)
            ditherColumn(column, flow);
    }

    // The 8-bit copy: each column dithered as a row of the fixed palette, errors flowing
    // outwards from the middle.
    void ditherColumn(int column, DitherFlow flow) {
        indices_.resize(static_cast<std::size_t>(b_.height));
        ditherer_->ditherRow(columnBgr_.data(), indices_.data(), column, flow);
        for (int y = 0; y < b_.height; ++y)
            b_.image3D8[static_cast<std::size_t>(y) * b_.rowLength + column] =
                indices_[static_cast<std::size_t>(y)];
    }

    void refresh(int left, int right) {
        left = std::max(left, 0);
        right = std::min(right, b_.width - 1);
        if (Frontend* frontend = view_.environment().frontend; frontend && right >= left)
            frontend->viewChanged(view_.id(), Rect{left, 0, right - left + 1, b_.height});
    }

    FractalView& view_;
    ImageBuffers& b_;
    ReliefSettings settings_;
    ReliefScene scene_;
    ReliefLight light_;
    ReliefColouring colouring_;
    bool behind_;
    std::vector<std::uint8_t> ditherStorage_;
    std::optional<Ditherer> ditherer_;
    std::vector<ProfileRow> rows_, neighbourRows_;
    std::vector<double> shades_;
    StripColumn strip_;
    std::vector<std::uint8_t> columnBgr_, indices_;
};

} // namespace

void renderRelief(FractalView& view) {
    const ImageBuffers& b = view.buffers();
    if (!b.has3D() || b.width <= 0 || b.height <= 0 || b.values.empty())
        return;
    ReliefJob(view).run();
}

} // namespace vortimax
