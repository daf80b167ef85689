#include "render/colour/colour_row.h"

#include "model/fractal_view.h"
#include "model/type_registry.h"
#include "render/colour/colour_mapping.h"
#include "render/colour/dither.h"
#include "render/colour/record_numbers.h"
#include "render/colour/true_colour_table.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <string>

namespace vortimax {

namespace {

// The part of the image one call paints: value columns first ... end - 1 (every
// `block`-th), rows row ... rowEnd - 1.
struct RowSpan {
    int first = 0;
    int end = 0;
    int row = 0;
    int rowEnd = 0;
    int block = 1;
};

// Per-channel colouring of the Tierazon types: for each of the three buffers, the mask of
// the packed colour's channel it supplies and, with the generated ramps instead of the
// palette, that channel's ramp start and step.
struct ChannelSource {
    std::array<std::uint32_t, 3> masks{};
    bool ramps = false;
    std::array<double, 3> start{};
    std::array<double, 3> step{};
};

struct RowJob {
    ImageBuffers& buffers;
    const ColourTable& colours;
    PaletteMapping mapping;
    RowSpan span;
    const float* cells;
    // The second and third value buffers of the Tierazon types, null otherwise.
    const float* cells2;
    const float* cells3;
    const ChannelSource& channels;
};

struct SingleValue {
    double operator()(const RowJob& job, int x) const { return job.cells[x]; }
};

// The Tierazon types keep three channel values per pixel; without per-channel colouring
// their sum is mapped like a single value.
struct SummedValue {
    double operator()(const RowJob& job, int x) const {
        return static_cast<double>(job.cells[x]) + job.cells2[x] + job.cells3[x];
    }
};

// Remembers the colour of the last value seen: runs of equal values (iteration counts,
// inside areas) are mapped once. Equal bits give an equal result, so this is exact.
template <typename Colour, typename Map> class RunCache {
public:
    RunCache(double first, Map map)
        : map_(map), bits_(std::bit_cast<std::uint64_t>(first)), colour_(map(first)) {}
    Colour operator()(double value) {
        const auto bits = std::bit_cast<std::uint64_t>(value);
        if (bits != bits_) {
            colour_ = map_(value);
            bits_ = bits;
        }
        return colour_;
    }

private:
    Map map_;
    std::uint64_t bits_;
    Colour colour_;
};

// Each painter fills the value's block in the first row and returns the column after
// the last pixel painted; the other rows of the blocks are copies of the first.
template <ColourRule R, typename Value> int paintIndices(const RowJob& job) {
    std::uint8_t* pixels = job.buffers.pixelRow(job.span.row);
    const int width = job.buffers.width;
    const PaletteMapping& mapping = job.mapping;
    auto index = [&mapping](double v) { return static_cast<std::uint8_t>(mapping.position<R>(v)); };
    RunCache<std::uint8_t, decltype(index)> cache(Value{}(job, job.span.first), index);
    if (job.span.block == 1) { // the last pass and recolouring
        for (int x = job.span.first; x < job.span.end; ++x)
            pixels[x] = cache(Value{}(job, x));
        return job.span.end;
    }
    int end = job.span.first;
    for (int x = job.span.first; x < job.span.end; x += job.span.block) {
        end = std::min(x + job.span.block, width);
        std::fill(pixels + x, pixels + end, cache(Value{}(job, x)));
    }
    return end;
}

template <ColourRule R, typename Value> int paintColours(const RowJob& job) {
    std::uint8_t* pixels = job.buffers.pixelRow(job.span.row);
    const int width = job.buffers.width;
    const PaletteMapping& mapping = job.mapping;
    const TrueColourTable table(job.colours);
    auto colour = [&](double v) { return table.colour(mapping.position<R>(v)); };
    RunCache<PackedBgr, decltype(colour)> cache(Value{}(job, job.span.first), colour);
    int end = job.span.first;
    for (int x = job.span.first; x < job.span.end; x += job.span.block) {
        const PackedBgr bgr = cache(Value{}(job, x));
        end = std::min(x + job.span.block, width);
        for (int column = x; column < end; ++column)
            storeBgr(pixels + 3 * column, bgr);
    }
    return end;
}

// Per-channel colouring of the Tierazon types: each buffer is mapped to its own palette
// position and gives only its channel (with the order "RGB": red from the first, green
// from the second, blue from the third; `Colorseparation` picks another order). An inside pixel
// (negative first value) keeps the colour of the first value alone, as in the plain image.
// The channel byte start + step * position of a generated ramp, wrapped to 0 ... 255,
// placed in the buffer's channel.
PackedBgr rampColour(const ChannelSource& c, std::size_t buffer, double position) {
    double byte = std::fmod(c.start[buffer] + c.step[buffer] * position, 256.0);
    if (byte < 0.0)
        byte += 256.0;
    if (!(byte >= 0.0 && byte < 256.0)) // not a finite number
        byte = 0.0;
    return (static_cast<PackedBgr>(byte) * 0x010101u) & c.masks[buffer];
}

template <ColourRule R> int paintChannels(const RowJob& job) {
    std::uint8_t* pixels = job.buffers.pixelRow(job.span.row);
    const int width = job.buffers.width;
    const PaletteMapping& mapping = job.mapping;
    const ChannelSource& source = job.channels;
    const TrueColourTable table(job.colours);
    auto channel = [&](std::size_t buffer, double v) {
        const double q = mapping.position<R>(v);
        return source.ramps ? rampColour(source, buffer, q)
                            : table.colour(q) & source.masks[buffer];
    };
    int end = job.span.first;
    for (int x = job.span.first; x < job.span.end; x += job.span.block) {
        const PackedBgr bgr =
            job.cells[x] < 0.0f
                ? table.colour(mapping.position<R>(job.cells[x]))
                : channel(0, job.cells[x]) | channel(1, job.cells2[x]) | channel(2, job.cells3[x]);
        end = std::min(x + job.span.block, width);
        for (int column = x; column < end; ++column)
            storeBgr(pixels + 3 * column, bgr);
    }
    return end;
}

using Painter = int (*)(const RowJob&);

template <typename Value> Painter painterFor(ColourRule rule, bool trueColour) {
    using enum ColourRule;
    static constexpr std::array<Painter, 4> kIndices = {
        paintIndices<Linear, Value>, paintIndices<Log, Value>, paintIndices<Arctan, Value>,
        paintIndices<Sine, Value>};
    static constexpr std::array<Painter, 4> kColours = {
        paintColours<Linear, Value>, paintColours<Log, Value>, paintColours<Arctan, Value>,
        paintColours<Sine, Value>};
    return (trueColour ? kColours : kIndices)[static_cast<std::size_t>(rule)];
}

// `Colorseparation`: which channel the first, second and third buffer colour. 0 ("None")
// and numbers beyond the list keep the order "RGB".
constexpr std::uint32_t kRed = 0xff0000u, kGreen = 0x00ff00u, kBlue = 0x0000ffu;
constexpr std::array<std::array<std::uint32_t, 3>, 7> kSeparations{{
    {kRed, kGreen, kBlue}, // None
    {kRed, kGreen, kBlue}, // RGB
    {kRed, kBlue, kGreen}, // RBG
    {kGreen, kRed, kBlue}, // GRB
    {kGreen, kBlue, kRed}, // GBR
    {kBlue, kRed, kGreen}, // BRG
    {kBlue, kGreen, kRed}, // BGR
}};

// `Colorsource` 1 takes each channel from the palette, 0 from the generated ramps
// `PalStart*` + `PalStep*` times the palette position.
ChannelSource channelSource(const FractalRecord& record) {
    const double separation = recordNumberOr(record, "Colorseparation", 0.0);
    const bool listed = separation >= 0.0 && separation < static_cast<double>(kSeparations.size());
    ChannelSource c;
    c.masks = kSeparations[listed ? static_cast<std::size_t>(separation) : 0];
    c.ramps = recordNumberOr(record, "Colorsource", 1.0) == 0.0;
    for (std::size_t i = 0; i < 3; ++i) {
        const char* name = c.masks[i] == kRed ? "Red" : c.masks[i] == kGreen ? "Green" : "Blue";
        c.start[i] = recordNumberOr(record, std::string("PalStart") + name, 0.0);
        c.step[i] = recordNumberOr(record, std::string("PalStep") + name, 1.0);
    }
    return c;
}

Painter channelPainterFor(ColourRule rule) {
    using enum ColourRule;
    static constexpr std::array<Painter, 4> kChannels = {
        paintChannels<Linear>, paintChannels<Log>, paintChannels<Arctan>, paintChannels<Sine>};
    return kChannels[static_cast<std::size_t>(rule)];
}

std::size_t valueCells(const ImageBuffers& b) {
    return static_cast<std::size_t>(b.valueStride()) * static_cast<std::size_t>(b.height);
}

// The buffers hold the image they claim to, in the pixel format the record asks for.
bool buffersFit(const ImageBuffers& b, bool trueColour) {
    if (b.width <= 0 || b.height <= 0 || b.rowLength < b.width)
        return false;
    const std::size_t pixelBytes = static_cast<std::size_t>(b.rowLength) *
                                   static_cast<std::size_t>(b.height) * b.bytesPerPixel;
    return b.bytesPerPixel == (trueColour ? 3 : 1) && b.values.size() >= valueCells(b) &&
           b.pixels.size() >= pixelBytes;
}

bool clipSpan(const ImageBuffers& b, int x0, int row, int count, int blockSize, RowSpan& span) {
    if (x0 < 0 || x0 >= b.width || row < 0 || row >= b.height || count <= 0)
        return false;
    span.block = std::clamp(blockSize, 1, kMaxImageSide);
    span.first = x0;
    span.end = x0 + std::min(count, b.width - x0);
    span.row = row;
    span.rowEnd = row + std::min(span.block, b.height - row);
    return true;
}

bool threeBufferTierazon(const FractalRecord& record, const ImageBuffers& b) {
    const bool tierazon = record.type == kTypeTieraJulia || record.type == kTypeTieraMandel;
    return tierazon && b.tierazon1.size() >= valueCells(b) && b.tierazon2.size() >= valueCells(b);
}

// A Tierazon `Colormode` other than 0 colours each buffer into its own channel; that needs
// true colour, so 8-bit images map the sum.
bool perChannel(const FractalRecord& record, bool trueColour) {
    return trueColour && recordNumberOr(record, "Colormode", 0.0) != 0.0;
}

Painter selectPainter(const FractalRecord& record, const PaletteMapping& mapping, bool threeBuffers,
                      bool trueColour) {
    if (!threeBuffers)
        return painterFor<SingleValue>(mapping.rule(), trueColour);
    if (perChannel(record, trueColour))
        return channelPainterFor(mapping.rule());
    return painterFor<SummedValue>(mapping.rule(), trueColour);
}

void copyBlockRows(ImageBuffers& b, const RowSpan& span, int paintedEnd) {
    const std::size_t offset = static_cast<std::size_t>(span.first) * b.bytesPerPixel;
    const std::size_t bytes = static_cast<std::size_t>(paintedEnd - span.first) * b.bytesPerPixel;
    const std::uint8_t* source = b.pixelRow(span.row) + offset;
    for (int row = span.row + 1; row < span.rowEnd; ++row)
        std::memcpy(b.pixelRow(row) + offset, source, bytes);
}

} // namespace

void colourRow(FractalView& view, int x0, int row, int count, int blockSize) {
    const FractalRecord& record = view.record();
    ImageBuffers& buffers = view.buffers();
    const bool trueColour = record.displayDepth == 24;
    RowSpan span;
    if (!buffersFit(buffers, trueColour) || !clipSpan(buffers, x0, row, count, blockSize, span))
        return;
    const std::size_t rowStart = static_cast<std::size_t>(row) * buffers.valueStride();
    const bool threeBuffers = threeBufferTierazon(record, buffers);
    const ChannelSource channels = threeBuffers ? channelSource(record) : ChannelSource{};
    const RowJob job{buffers,
                     view.colours,
                     PaletteMapping(readColourSettings(record)),
                     span,
                     buffers.values.data() + rowStart,
                     threeBuffers ? buffers.tierazon1.data() + rowStart : nullptr,
                     threeBuffers ? buffers.tierazon2.data() + rowStart : nullptr,
                     channels};
    copyBlockRows(buffers, span, selectPainter(record, job.mapping, threeBuffers, trueColour)(job));
    if (trueColour && record.trueColourOn8Bit)
        ditherRows(view, span.row, span.rowEnd);
}

} // namespace vortimax
