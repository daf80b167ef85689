#pragma once

#include "animation/anim_data.h"
#include "model/fractal_record.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vortimax {

class Frontend;
class PaletteList;
class Progress;

inline constexpr std::string_view kAnimSettingsEntryName = "AnimDataSpecification";
inline constexpr std::string_view kLoadingAnimationTitle = "Loading Animation data";
inline constexpr std::string_view kLoadingAnimationCaption = "Loading Animation data file";
inline constexpr std::string_view kNotAnimationFileText =
    "Are you sure this file is a valid animation data file?";
inline constexpr std::string_view kSaveAnimationPrompt =
    "Please specify a name for the animation data file...";
// Characters an entry's braces may enclose before the loader doubts the file.
constexpr std::size_t kLargeAnimEntry = 5000;
// Lines and tokens are read in pieces of at most this many bytes.
constexpr std::size_t kAnimLineLength = 510;
// Bytes and key frames read from one file at most; a larger file is refused as a whole.
constexpr std::size_t kMaxAnimFileBytes = 64u << 20;
constexpr std::size_t kMaxAnimKeys = 100000;

// The key that makes a parameter entry a layer entry of the compound key it names.
inline constexpr std::string_view kLayerParentKey = "AnimLayerOf";

// The name a key's entry is read back with (its last word), which its layer entries name.
std::string layerParentName(const FractalRecord& key);

// The settings entry as the file holds it, lines ended by "\n".
std::string animSettingsText(const AnimData& data);

// The whole file: the settings entry, then every key frame as a parameter entry, a
// compound key followed by its layers as layer entries, each followed by three line ends. Lines end
// with CR LF.
std::string animationFileText(const AnimData& data, const std::vector<const FractalRecord*>& keys,
                              const PaletteList* palettes = nullptr);

// Writes the file in one step (an existing file is replaced only when all was written).
bool writeAnimationFile(const std::filesystem::path& path, const AnimData& data,
                        const std::vector<const FractalRecord*>& keys,
                        const PaletteList* palettes = nullptr);

// The file's text as the loader sees it: tokens (runs of bytes from 33 to 127, at most
// kAnimLineLength each) joined by one blank, a token ending in a backslash joined to the
// next without one, everything from a token starting with ";" to the line end dropped.
std::string animationTokenText(std::string_view fileText);

struct LoadedAnimation {
    AnimData data;
    bool hasSettings = false;
    std::vector<std::unique_ptr<FractalRecord>> keys; // parsed and verified, in order
    // layers[j]: the layer fractals of key j (entry kind 10), named by its layer links.
    std::vector<std::vector<std::unique_ptr<FractalRecord>>> layers;
    bool aborted = false;
    std::vector<std::string> problems; // what the parameter reader said of the entries
};

// Reads an animation from the file's text: entries are tried as the settings entry until
// one is; every later entry becomes the next key frame if it passes the key
// verification (questions go to `frontend`) and has a gap of at least 1. `progress` (may
// be null) hears the position after every entry and is asked for an abort between them.
LoadedAnimation readAnimationText(std::string_view fileText, PaletteList& palettes,
                                  Frontend& frontend, Progress* progress = nullptr,
                                  const RecordCreationContext& context = {});

// The file read and handed to readAnimationText. Nothing, with the reason in `refusal`,
// for a file that cannot be opened, is not a regular file or is larger than
// kMaxAnimFileBytes.
std::optional<LoadedAnimation> loadAnimationFile(const std::filesystem::path& path,
                                                 PaletteList& palettes, Frontend& frontend,
                                                 Progress* progress = nullptr,
                                                 const RecordCreationContext& context = {},
                                                 std::string* refusal = nullptr);

} // namespace vortimax
