#pragma once

// A realistic image for the colouring and image-file benchmarks: the default Mandel area
// at 1024 x 768 calculated with the escape kernel (MaxIter 150), its values as the
// calculation leaves them, and a smooth 252-colour palette with its HSV triples.

#include "model/fractal_view.h"
#include "palette/hsv.h"
#include "render/escape/escape_kernel.h"
#include "render/escape/escape_params.h"

#include <map>
#include <memory>
#include <vector>

namespace vortimax::bench {

constexpr int kImageWidth = 1024;
constexpr int kImageHeight = 768;

// The values of the image (value stride width + 1) for an outside measure: 0 gives
// iteration counts, 8 ("Real2") fractional values. Calculated once per process.
inline const std::vector<float>& mandelValues(int outside) {
    static std::map<int, std::vector<float>> cache;
    auto [slot, fresh] = cache.try_emplace(outside);
    if (!fresh)
        return slot->second;
    auto record = createRecord(kTypeMandel, 0, RecordCreationContext{});
    record->params().setInteger("Outside", outside);
    const EscapeParams params = readEscapeParams(*record);
    const int stride = kImageWidth + 1;
    slot->second.assign(static_cast<std::size_t>(stride) * kImageHeight, 0.0f);
    for (int y = 0; y < kImageHeight; ++y)
        for (int x = 0; x <= kImageWidth; ++x)
            slot->second[static_cast<std::size_t>(y * stride + x)] =
                pixelValue(params, -2.1 + 2.8 * x / kImageWidth, -1.35 + 2.7 * y / kImageHeight);
    return slot->second;
}

// A palette running through red, yellow, green, cyan, blue and magenta.
inline void fillSmoothPalette(ColourTable& colours) {
    for (int i = 0; i < 256; ++i) {
        const int t = i * 6 * 256 / 252;
        const int ramp = t % 256, sector = t / 256;
        const int rising = ramp, falling = 255 - ramp;
        const int rgb[6][3] = {{255, rising, 0},  {falling, 255, 0}, {0, 255, rising},
                               {0, falling, 255}, {rising, 0, 255},  {255, 0, falling}};
        const int* c = i < 252 ? rgb[sector % 6] : rgb[0];
        colours.entries[i] = {static_cast<std::uint8_t>(c[2]), static_cast<std::uint8_t>(c[1]),
                              static_cast<std::uint8_t>(c[0]), 0};
        colours.hsv[i] = rgbToHsv(c[0], c[1], c[2]);
    }
}

// A view of the image at the given depth, its values filled and its palette set.
struct ImageView {
    ViewEnvironment environment;
    std::unique_ptr<FractalRecord> record;
    std::unique_ptr<FractalView> view;

    ImageView(int depth, bool trueColourOn8Bit, int colourModeType, int outside)
        : record(createRecord(kTypeMandel, 0, RecordCreationContext{})) {
        record->width = kImageWidth;
        record->height = kImageHeight;
        record->displayDepth = depth;
        record->trueColourOn8Bit = trueColourOn8Bit ? 1 : 0;
        record->params().setInteger("ColormodeType", colourModeType);
        record->params().setReal("ColormodeAccel", 5.0);
        view = std::make_unique<FractalView>(*record, environment);
        allocateBuffers(
            BufferLayout{kImageWidth, kImageHeight, depth, trueColourOn8Bit, false, false, 24},
            view->buffers());
        fillSmoothPalette(view->colours);
        const std::vector<float>& values = mandelValues(outside);
        std::copy(values.begin(), values.end(), view->buffers().values.begin());
    }
};

} // namespace vortimax::bench
