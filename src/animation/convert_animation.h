#pragma once

#include "animation/anim_data.h"
#include "model/fractal_record.h"

#include <filesystem>
#include <string_view>
#include <vector>

namespace vortimax {

class Folder;
class Frontend;
class PaletteList;
class Workspace;

inline constexpr std::string_view kConvertingCaption = "Converting Animation";
inline constexpr std::string_view kNoProjectText =
    "Unable to create fractal project.\nPerhaps not enough memory?";
inline constexpr std::string_view kNoFractalText =
    "Unable to create fractal.\nPerhaps not enough memory?";

// Turns an animation into a project folder "<name>.par" (saved to `directory`) holding one
// fractal per frame from the start frame to the end frame (the last frame when the end
// frame is below 1), named "<name>-<frame>[<last>]" at the animation's image size and
// dimension. Each frame's palette is added to the palette list under the frame's name
// unless the list already holds the same colours, whose palette the frame then uses; the
// interpolated offset becomes the frame's palette offset. Returns the folder, or null
// (after telling why) when nothing could be made.
Folder* convertAnimation(Workspace& workspace, const std::filesystem::path& directory,
                         const std::vector<const FractalRecord*>& keys, const AnimData& data,
                         PaletteList& palettes, Frontend& frontend,
                         const RecordCreationContext& context);

} // namespace vortimax
