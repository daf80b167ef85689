#include "animation/anim_file_commands.h"

#include "animation/key_layers.h"
#include "animation/key_list.h"
#include "base/frontend.h"
#include "model/folder.h"
#include "model/workspace.h"

#include <atomic>

namespace vortimax {

bool saveAnimationFile(const Folder& animation, const AnimData& data,
                       const std::filesystem::path& directory, const PaletteList& palettes,
                       Frontend& frontend) {
    const auto chosen = frontend.requestSaveFile(kSaveAnimationPrompt, directory / data.name, {});
    if (!chosen)
        return false;
    if (writeAnimationFile(*chosen, data, constKeys(animationKeys(animation)), &palettes))
        return true;
    frontend.messageBox(kSavingAnimationCaption, "Cannot write \"" + chosen->string() + "\".",
                        MessageButtons::Ok, MessageIcon::Error);
    return false;
}

std::optional<LoadedAnimation> loadAnimationWithProgress(const std::filesystem::path& path,
                                                         PaletteList& palettes, Frontend& frontend,
                                                         const RecordCreationContext& context) {
    std::atomic<bool> abort{false};
    std::optional<LoadedAnimation> loaded;
    std::string refusal;
    frontend.runWithProgress(kLoadingAnimationTitle, abort, [&](Progress& progress) {
        progress.setText("Loading animation data " + path.string());
        loaded = loadAnimationFile(path, palettes, frontend, &progress, context, &refusal);
    });
    if (!loaded) {
        frontend.messageBox(kLoadingAnimationCaption, refusal, MessageButtons::Ok,
                            MessageIcon::Error);
        return std::nullopt;
    }
    if (loaded->aborted)
        return std::nullopt;
    return loaded;
}

Folder& installAnimation(Workspace& workspace, LoadedAnimation loaded,
                         const std::filesystem::path& file) {
    Folder& folder =
        workspace.createFolder(file.parent_path(), loaded.data.name, FolderKind::Animation);
    folder.setFilePath(file);
    std::vector<std::unique_ptr<FractalRecord>> entries;
    for (std::size_t j = 0; j < loaded.keys.size(); ++j) {
        entries.push_back(std::move(loaded.keys[j]));
        if (j < loaded.layers.size())
            for (auto& layer : loaded.layers[j])
                entries.push_back(std::move(layer));
    }
    workspace.addFractals(folder, std::move(entries));
    // A layer may have been renamed to keep the folder's names unique.
    for (FractalRecord* key : animationKeys(folder)) {
        const std::vector<FractalRecord*> layers = keyLayers(*key);
        for (std::size_t k = 0; k < layers.size(); ++k)
            setLayerName(*key, k, layers[k]->name);
    }
    return folder;
}

} // namespace vortimax
