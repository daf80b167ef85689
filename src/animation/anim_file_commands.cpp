#include "animation/anim_file_commands.h"

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
    workspace.addFractals(folder, std::move(loaded.keys));
    return folder;
}

} // namespace vortimax
