#include "render/compound/layer_source.h"

#include "model/fractal_view.h"

namespace vortimax {

namespace {

// The value buffer a layer's `Buffer` chooses: the Tierazon buffers when the layer keeps
// them, the primary one otherwise.
const std::vector<float>& chosenValues(const ImageBuffers& buffers, int buffer) {
    if (buffer == 1 && buffers.tierazon1.size() == buffers.values.size())
        return buffers.tierazon1;
    if (buffer == 2 && buffers.tierazon2.size() == buffers.values.size())
        return buffers.tierazon2;
    return buffers.values;
}

} // namespace

LayerSource::LayerSource(const CompoundLayer& layer, const FractalView* view)
    : view_(view), layer_(layer) {
    if (view_ == nullptr)
        return;
    const ImageBuffers& buffers = view_->buffers();
    const std::size_t cells = static_cast<std::size_t>(buffers.valueStride()) * buffers.height;
    const std::size_t pixels =
        static_cast<std::size_t>(buffers.rowLength) * buffers.height * buffers.bytesPerPixel;
    if (buffers.values.size() < cells || buffers.pixels.size() < pixels) {
        view_ = nullptr;
        return;
    }
    values_ = chosenValues(buffers, layer.buffer).data();
    width_ = buffers.width;
    height_ = buffers.height;
}

LayerSample LayerSource::sampleAt(int x, int y) const {
    LayerSample sample;
    sample.factor = layer_.factor;
    const long lx = static_cast<long>(x) - layer_.left;
    const long ly = static_cast<long>(y) - layer_.bottom;
    if (view_ == nullptr || lx < 0 || ly < 0 || lx >= width_ || ly >= height_)
        return sample;
    sample.covers = true;
    const ImageBuffers& buffers = view_->buffers();
    const auto row = static_cast<std::size_t>(ly);
    const auto column = static_cast<std::size_t>(lx);
    sample.value = values_[row * static_cast<std::size_t>(buffers.valueStride()) + column];
    const std::uint8_t* pixel =
        buffers.pixels.data() +
        (row * static_cast<std::size_t>(buffers.rowLength) + column) * buffers.bytesPerPixel;
    if (buffers.bytesPerPixel >= 3) {
        sample.colour = {pixel[2], pixel[1], pixel[0]};
    } else {
        const ColourEntry& entry = view_->colours.entries[pixel[0]];
        sample.colour = {entry.red, entry.green, entry.blue};
    }
    return sample;
}

} // namespace vortimax
