#include "render/compound/compound_driver.h"

#include "base/frontend.h"
#include "model/fractal_view.h"
#include "model/pass_scheme.h"
#include "render/compound/compound_layers.h"
#include "render/compound/layer_source.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <vector>

namespace vortimax {

namespace {

// Pixels merged between two looks at the command word.
constexpr int kPixelsPerLook = 64;

void showStatus(FractalView& view, std::string_view text) {
    if (Frontend* frontend = view.environment().frontend)
        frontend->setStatus(text, kCompoundStatusTicks);
}

// Shared holds of the layers' image locks, kept while the merge reads the layers.
using LayerHolds = std::vector<std::shared_lock<std::shared_mutex>>;

// Holds the layer's image lock (once per layer view, however many layers name it). False
// when the layer's worker is running a command that may write its image.
bool holdLayer(FractalView& layer, LayerHolds& holds) {
    for (const auto& hold : holds)
        if (hold.mutex() == &layer.imageLock())
            return true;
    std::shared_lock hold(layer.imageLock(), std::try_to_lock);
    if (!hold.owns_lock())
        return false;
    holds.push_back(std::move(hold));
    return true;
}

// The open views of the layers, or nothing after reporting why the compound cannot be
// calculated. A layer whose view exists but is unfinished, or is being written by its
// worker, makes `pending` true.
std::optional<std::vector<LayerSource>>
layerSources(FractalView& view, const CompoundParams& params, LayerHolds& holds, bool& pending) {
    const FractalRecord& record = view.record();
    std::vector<LayerSource> sources;
    for (std::size_t k = 0; k < params.layers.size(); ++k) {
        const FractalRecord* layer = record.layers[k];
        if (layer == nullptr) {
            view.reportFailure(brokenLayerText(k, params.layers[k].name));
            return std::nullopt;
        }
        FractalView* layerView = layer->view;
        if (layerView != nullptr && (!holdLayer(*layerView, holds) || !layerView->finished()))
            pending = true;
        sources.emplace_back(params.layers[k], layerView);
    }
    return sources;
}

// The compiled formulas the merge type needs, or nothing after reporting the failure.
std::optional<MergeFormulas> compiledFormulas(FractalView& view, const CompoundParams& params) {
    MergeFormulas formulas;
    if (auto problem =
            compileMergeFormulas(params.formulas, formulasUsedBy(params.mergeType), formulas)) {
        view.reportFailure(mergeFormulaProblemText(
            *problem,
            params.formulas[std::min<std::size_t>(problem->channel, kMergeChannels - 1)]));
        return std::nullopt;
    }
    return formulas;
}

// Merges one row; false when a command stopped it part way.
bool mergeRow(FractalView& view, const MergeType& merge, const MergeInput& shared,
              const std::vector<LayerSource>& sources, const PassRect& rect, int row) {
    ImageBuffers& buffers = view.buffers();
    std::vector<LayerSample> samples(sources.size());
    MergeInput input = shared;
    input.layers = samples;
    std::uint8_t* pixels = buffers.bytesPerPixel >= 3 ? buffers.pixelRow(row) : nullptr;
    for (int x = rect.x0; x <= rect.x1; ++x) {
        if ((x - rect.x0) % kPixelsPerLook == 0 && view.mustStop())
            return false;
        for (std::size_t k = 0; k < sources.size(); ++k)
            samples[k] = sources[k].sampleAt(x, row);
        if (!merge.mergesColours()) {
            buffers.value(x, row) = static_cast<float>(merge.buffer(input));
        } else if (pixels != nullptr && x < buffers.rowLength) {
            const Rgb c = merge.rgb(input);
            std::uint8_t* p = pixels + static_cast<std::size_t>(x) * 3;
            p[0] = static_cast<std::uint8_t>(clampedChannel(c.blue));
            p[1] = static_cast<std::uint8_t>(clampedChannel(c.green));
            p[2] = static_cast<std::uint8_t>(clampedChannel(c.red));
        }
    }
    return true;
}

} // namespace

void calculateCompound(FractalView& view, int x0, int y0, int x1, int y1) {
    const CompoundParams params = readCompoundParams(view.record());
    const MergeType* merge = mergeType(params.mergeType);
    if (merge == nullptr) {
        view.reportFailure("MergeType " + std::to_string(params.mergeType) +
                           " is no merge type (0 ... " + std::to_string(kMergeTypeCount - 1) + ")");
        return;
    }
    if (merge->mergesColours() && view.buffers().bytesPerPixel < 3) {
        view.reportFailure("the merge type \"" + std::string(merge->label) +
                           "\" needs a true-colour image (DisplayDepth 24)");
        return;
    }
    bool pending = false;
    LayerHolds holds;
    const auto sources = layerSources(view, params, holds, pending);
    if (!sources)
        return;
    if (pending) {
        showStatus(view, kLayersPendingStatus);
        return;
    }
    const auto formulas = compiledFormulas(view, params);
    if (!formulas)
        return;
    ImageBuffers& buffers = view.buffers();
    const PassRect rect{x0, y0, std::min(x1, buffers.width), std::min(y1, buffers.height - 1)};
    EvalContext context;
    const MergeInput shared{{}, &*formulas, &context};
    PassProgress progress(view, rect, 1);
    const std::vector<int> rows = passRowOrder(rect, 1);
    std::size_t done = 0;
    for (int row : rows) {
        if (merge->mergesColours()) {
            // The colours go straight into the bitmap, which painting reads meanwhile.
            std::unique_lock pixels(view.pixelLock());
            if (!mergeRow(view, *merge, shared, *sources, rect, row))
                return;
            pixels.unlock();
            progress.rowWritten(row, 1);
        } else {
            if (!mergeRow(view, *merge, shared, *sources, rect, row))
                return;
            progress.rowDone(row, 1);
        }
        view.setProgress(static_cast<double>(++done) / static_cast<double>(rows.size()));
    }
    progress.passDone();
    showStatus(view, kCompoundDoneStatus);
}

} // namespace vortimax
