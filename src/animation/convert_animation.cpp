#include "animation/convert_animation.h"

#include "animation/frame_interpolator.h"
#include "animation/frame_names.h"
#include "animation/key_layers.h"
#include "animation/palette_interpolation.h"
#include "base/frontend.h"
#include "model/folder.h"
#include "model/unique_name.h"
#include "model/workspace.h"
#include "palette/palette_list.h"
#include "render/compound/compound_layers.h"

#include <algorithm>
#include <memory>
#include <new>

namespace vortimax {

namespace {

// The frame's palette: one of the list with the same colours, or a new one of the
// frame's name.
void namePalette(FractalRecord& frame, FramePalette framePalette, PaletteList& palettes) {
    const Palette* existing = palettes.findDuplicate(framePalette.palette);
    if (existing == nullptr) {
        auto palette = std::make_unique<Palette>(std::move(framePalette.palette));
        palette->setName(frame.name);
        existing = &palettes.insertUnique(std::move(palette));
    }
    frame.palName = existing->name();
    frame.palOffset = framePalette.offset;
    frame.palNameAnim.clear();
    frame.palOffsetAnim = 0.0;
}

} // namespace

Folder* convertAnimation(Workspace& workspace, const std::filesystem::path& directory,
                         const std::vector<const FractalRecord*>& keys, const AnimData& data,
                         PaletteList& palettes, Frontend& frontend,
                         const RecordCreationContext& context) {
    const auto tell = [&frontend](std::string_view text) {
        frontend.messageBox(kConvertingCaption, text, MessageButtons::Ok, MessageIcon::Error);
    };
    FrameInterpolator interpolator(keys, data);
    const std::int64_t total = interpolator.timeline().totalFrames();
    const std::int64_t last = data.endFrame < 1 ? total : data.endFrame;
    const std::int64_t first = std::max<std::int64_t>(1, data.startFrame);
    LayerFrames layerLists(keys, layersOfKeys(keys), data, context);
    std::vector<std::unique_ptr<FractalRecord>> frames;
    // Each compound frame with its own layer fractals, linked again once the folder has
    // made every name unique.
    std::vector<std::pair<FractalRecord*, std::vector<FractalRecord*>>> compounds;
    try {
        for (std::int64_t f = first; f <= last; ++f) {
            auto frame =
                interpolator.createFrame(f, convertedFrameName(data.name, f, last), context);
            if (!frame)
                break; // beyond the last key
            namePalette(*frame, interpolatePalette(keys, data, f, palettes, false), palettes);
            std::vector<FractalRecord*> layers;
            for (auto& layer : layerLists.createLayers(f, context)) {
                layer->name = cutName(frame->name + " " + layer->name);
                layers.push_back(layer.get());
                frames.push_back(std::move(layer));
            }
            if (!layers.empty())
                compounds.emplace_back(frame.get(), std::move(layers));
            frames.push_back(std::move(frame));
        }
    } catch (const std::bad_alloc&) {
        tell(kNoFractalText);
        return nullptr;
    }
    try {
        Folder& folder = workspace.createFolder(directory, data.name + ".par", FolderKind::Project);
        workspace.addFractals(folder, std::move(frames));
        for (auto& [compound, layers] : compounds)
            linkFrameLayers(*compound, layers);
        resolveFolderLayers(folder);
        return &folder;
    } catch (const std::bad_alloc&) {
        tell(kNoProjectText);
        return nullptr;
    }
}

} // namespace vortimax
