#include "render/colour/dither.h"

#include "model/fractal_view.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vortimax {

namespace {

constexpr std::array<std::uint8_t, 6> kCubeLevels = {0, 51, 102, 153, 204, 255};
constexpr std::array<std::uint8_t, 5> kShadeLevels = {25, 76, 127, 178, 229};

constexpr std::array<DitherColour, 256> makeDitherPalette() {
    std::array<DitherColour, 256> palette{}; // entries after the shades stay black
    std::size_t i = 0;
    for (std::uint8_t red : kCubeLevels)
        for (std::uint8_t green : kCubeLevels)
            for (std::uint8_t blue : kCubeLevels)
                palette[i++] = {red, green, blue};
    for (std::uint8_t s : kShadeLevels)
        palette[i++] = {s, s, s};
    for (std::uint8_t s : kShadeLevels)
        palette[i++] = {0, s, 0};
    for (std::uint8_t s : kShadeLevels)
        palette[i++] = {s, 0, 0};
    for (std::uint8_t s : kShadeLevels)
        palette[i++] = {0, 0, s};
    return palette;
}

constexpr std::array<DitherColour, 256> kDitherPalette = makeDitherPalette();

double squaredDistance(const DitherColour& c, double red, double green, double blue) {
    const double dr = c.red - red, dg = c.green - green, db = c.blue - blue;
    return dr * dr + dg * dg + db * db;
}

std::uint8_t nearestEntry(double red, double green, double blue) {
    std::size_t best = 0;
    double bestDistance = squaredDistance(kDitherPalette[0], red, green, blue);
    for (std::size_t i = 1; i < kDitherPalette.size(); ++i) {
        const double distance = squaredDistance(kDitherPalette[i], red, green, blue);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return static_cast<std::uint8_t>(best);
}

std::array<std::uint8_t, 4096> makeNearestTable() {
    std::array<std::uint8_t, 4096> table{};
    auto centre = [](int cell) { return cell * 16 + 7.5; };
    for (int cell = 0; cell < 4096; ++cell)
        table[static_cast<std::size_t>(cell)] =
            nearestEntry(centre(cell >> 8), centre((cell >> 4) & 15), centre(cell & 15));
    return table;
}

// The nearest-colour table with each entry's colour beside its index (index | red << 8 |
// green << 16 | blue << 24), so that the choice and its colour come from one load.
std::array<std::uint32_t, 4096> makeChoiceTable() {
    std::array<std::uint32_t, 4096> choices{};
    for (std::size_t cell = 0; cell < choices.size(); ++cell) {
        const std::uint8_t index = nearestColourTable()[cell];
        const DitherColour& c = kDitherPalette[index];
        choices[cell] = index | static_cast<std::uint32_t>(c.red) << 8 |
                        static_cast<std::uint32_t>(c.green) << 16 |
                        static_cast<std::uint32_t>(c.blue) << 24;
    }
    return choices;
}

constexpr std::int32_t kNoRow = -2;
constexpr std::size_t kStateBytes = 2 * sizeof(std::int32_t);
constexpr std::size_t kHeaderBytes = 2 * kStateBytes;
constexpr int kChannels = 3;

} // namespace

const std::array<DitherColour, 256>& ditherPalette() {
    return kDitherPalette;
}

const std::array<std::uint8_t, 4096>& nearestColourTable() {
    static const std::array<std::uint8_t, 4096> table = makeNearestTable();
    return table;
}

DitherFlow flowForRow(int row, int height) {
    return row < height / 2 ? DitherFlow::Downward : DitherFlow::Upward;
}

// --- Ditherer ---------------------------------------------------------------------------
// Storage layout: the state of the downward and the upward set, then per set two halves
// of one row per channel (red, green, blue), W floats each. The halves take turns as the
// current and the next row. Floats are copied in and out byte-wise: the storage is a
// byte buffer.

std::size_t Ditherer::storageBytes(int width) {
    return kHeaderBytes + 2 * 2 * kChannels * static_cast<std::size_t>(width) * sizeof(float);
}

Ditherer::Ditherer(std::vector<std::uint8_t>& storage, int width)
    : storage_(storage), width_(std::max(width, 0)) {
    if (storage_.size() != storageBytes(width_)) {
        storage_.assign(storageBytes(width_), 0);
        clear();
    }
}

void Ditherer::clear() {
    clearSet(DitherFlow::Downward);
    clearSet(DitherFlow::Upward);
}

Ditherer::SetState Ditherer::state(DitherFlow flow) const {
    SetState s;
    std::memcpy(&s.lastRow, storage_.data() + static_cast<int>(flow) * kStateBytes, 4);
    std::memcpy(&s.currentHalf, storage_.data() + static_cast<int>(flow) * kStateBytes + 4, 4);
    s.currentHalf &= 1;
    return s;
}

void Ditherer::setState(DitherFlow flow, const SetState& s) {
    std::memcpy(storage_.data() + static_cast<int>(flow) * kStateBytes, &s.lastRow, 4);
    std::memcpy(storage_.data() + static_cast<int>(flow) * kStateBytes + 4, &s.currentHalf, 4);
}

std::size_t Ditherer::rowOffset(DitherFlow flow, const SetState& s, bool next, int channel) const {
    const int half = next ? 1 - s.currentHalf : s.currentHalf;
    const std::size_t row = (static_cast<std::size_t>(flow) * 2 + half) * kChannels + channel;
    return kHeaderBytes + row * static_cast<std::size_t>(width_) * sizeof(float);
}

void Ditherer::clearSet(DitherFlow flow) {
    const std::size_t rowBytes = static_cast<std::size_t>(width_) * sizeof(float);
    const std::size_t first =
        kHeaderBytes + static_cast<std::size_t>(flow) * 2 * kChannels * rowBytes;
    std::fill_n(storage_.begin() + first, 2 * kChannels * rowBytes, 0);
    setState(flow, SetState{kNoRow, 0});
}

void Ditherer::zeroRow(std::size_t offset) {
    std::fill_n(storage_.begin() + offset, static_cast<std::size_t>(width_) * sizeof(float), 0);
}

// The errors travel in registers: `carry` is the current row's error at x with 7/16 of
// the left neighbour's added, `lowerLeft` and `below` the next row's cells x - 1 and x
// with what has reached them so far. Every cell receives its additions in the same order
// as adding them in place would, so the results are the same to the last bit.
void Ditherer::ditherRow(const std::uint8_t* bgr, std::uint8_t* indices, int row, DitherFlow flow) {
    SetState s = state(flow);
    const std::int32_t follows = flow == DitherFlow::Downward ? s.lastRow - 1 : s.lastRow + 1;
    if (row != follows) {
        clearSet(flow);
        s = state(flow);
    }
    std::uint8_t* const base = storage_.data();
    auto cell = [base](std::size_t offset, int x) {
        return base + offset + static_cast<std::size_t>(x) * sizeof(float);
    };
    auto load = [&](std::size_t offset, int x) {
        float value;
        std::memcpy(&value, cell(offset, x), sizeof value);
        return value;
    };
    std::size_t current[kChannels], next[kChannels];
    float carry[kChannels], lowerLeft[kChannels], below[kChannels];
    for (int c = 0; c < kChannels; ++c) {
        current[c] = rowOffset(flow, s, false, c);
        next[c] = rowOffset(flow, s, true, c);
        carry[c] = width_ > 0 ? load(current[c], 0) : 0.0f;
        below[c] = width_ > 0 ? load(next[c], 0) : 0.0f;
        lowerLeft[c] = 0.0f;
    }
    static const std::array<std::uint32_t, 4096> choices = makeChoiceTable();
    for (int x = 0; x < width_; ++x) {
        float value[kChannels];
        int level[kChannels];
        for (int c = 0; c < kChannels; ++c) {
            const int pixel = bgr[3 * x + 2 - c]; // bytes are blue, green, red
            value[c] = std::clamp(pixel + carry[c], 0.0f, 255.0f);
            level[c] = static_cast<int>(value[c] - 0.5f);
        }
        const std::uint32_t choice = choices[static_cast<std::size_t>(
            256 * ((level[0] >> 4) & 15) + 16 * ((level[1] >> 4) & 15) + ((level[2] >> 4) & 15))];
        indices[x] = static_cast<std::uint8_t>(choice);
        const int palette[kChannels] = {static_cast<int>(choice >> 8 & 255),
                                        static_cast<int>(choice >> 16 & 255),
                                        static_cast<int>(choice >> 24)};
        const bool right = x + 1 < width_;
        for (int c = 0; c < kChannels; ++c) {
            const float error = (value[c] - palette[c]) / 16.0f;
            if (right)
                carry[c] = load(current[c], x + 1) + 7.0f * error;
            if (x > 0) {
                const float finished = lowerLeft[c] + 3.0f * error;
                std::memcpy(cell(next[c], x - 1), &finished, sizeof finished);
            }
            lowerLeft[c] = below[c] + 5.0f * error;
            if (right)
                below[c] = load(next[c], x + 1) + error;
        }
    }
    for (int c = 0; c < kChannels; ++c) {
        if (width_ > 0)
            std::memcpy(cell(next[c], width_ - 1), &lowerLeft[c], sizeof(float));
        zeroRow(current[c]);
    }
    setState(flow, SetState{row, 1 - s.currentHalf});
}

// --- Views ------------------------------------------------------------------------------

namespace {

// A true-colour image with an 8-bit screen copy of the same size.
bool hasScreenCopy(const ImageBuffers& b) {
    if (b.width <= 0 || b.height <= 0 || b.bytesPerPixel != 3 || b.rowLength < b.width)
        return false;
    const std::size_t cells = static_cast<std::size_t>(b.rowLength) * b.height;
    return b.screen.size() >= cells && b.pixels.size() >= 3 * cells;
}

std::uint8_t* screenRow(ImageBuffers& b, int row) {
    return b.screen.data() + static_cast<std::size_t>(row) * b.rowLength;
}

// Runs `work` with the view's ditherer; skips it when the error rows cannot be had.
template <typename Work> void withDitherer(ImageBuffers& b, Work work) {
    if (!hasScreenCopy(b))
        return;
    try {
        Ditherer ditherer(b.ditherRows, b.width);
        work(ditherer);
    } catch (const std::bad_alloc&) {
        // The screen copy keeps its previous indices.
    }
}

} // namespace

void ditherRow(FractalView& view, int row, DitherFlow flow) {
    ImageBuffers& b = view.buffers();
    if (row < 0 || row >= b.height)
        return;
    withDitherer(b,
                 [&](Ditherer& d) { d.ditherRow(b.pixelRow(row), screenRow(b, row), row, flow); });
}

void ditherRows(FractalView& view, int row, int rowEnd) {
    ImageBuffers& b = view.buffers();
    row = std::max(row, 0);
    rowEnd = std::min(rowEnd, b.height);
    const DitherFlow flow = flowForRow(row, b.height);
    withDitherer(b, [&](Ditherer& d) {
        if (flow == DitherFlow::Downward) {
            for (int r = rowEnd - 1; r >= row; --r)
                d.ditherRow(b.pixelRow(r), screenRow(b, r), r, flow);
        } else {
            for (int r = row; r < rowEnd; ++r)
                d.ditherRow(b.pixelRow(r), screenRow(b, r), r, flow);
        }
    });
}

void ditherImage(FractalView& view) {
    ImageBuffers& b = view.buffers();
    withDitherer(b, [&](Ditherer& d) {
        d.clear();
        for (int r = b.height - 1; r >= 0; --r)
            d.ditherRow(b.pixelRow(r), screenRow(b, r), r, DitherFlow::Downward);
        d.clear();
    });
}

} // namespace vortimax
