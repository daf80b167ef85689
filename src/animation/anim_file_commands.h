#pragma once

#include "animation/anim_data.h"
#include "animation/anim_file.h"

#include <filesystem>
#include <optional>
#include <string_view>

namespace vortimax {

class Folder;
class Frontend;
class PaletteList;
class Workspace;

inline constexpr std::string_view kSavingAnimationCaption = "Saving animation data file";

// Asks for the file (proposing the animation's name in `directory`) and writes the
// animation's settings and keys to it. False when the person cancelled or the file could
// not be written (which was shown).
bool saveAnimationFile(const Folder& animation, const AnimData& data,
                       const std::filesystem::path& directory, const PaletteList& palettes,
                       Frontend& frontend);

// Reads the file on a worker under the progress window "Loading Animation data"; the
// window's abort stops it between entries. Nothing when the file could not be read or the
// load was aborted: an animation is only ever taken whole.
std::optional<LoadedAnimation> loadAnimationWithProgress(const std::filesystem::path& path,
                                                         PaletteList& palettes, Frontend& frontend,
                                                         const RecordCreationContext& context = {});

// A new animation folder named after the animation, saved to `file`, holding the keys in
// their order.
Folder& installAnimation(Workspace& workspace, LoadedAnimation loaded,
                         const std::filesystem::path& file);

} // namespace vortimax
