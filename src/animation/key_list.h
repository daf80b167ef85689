#pragma once

#include "animation/anim_data.h"
#include "model/fractal_record.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace vortimax {

class Folder;
class Frontend;
class Workspace;

// Captions and texts of adding and deleting key frames.
inline constexpr std::string_view kVerifyingKeyCaption = "Verifying keyframe";
inline constexpr std::string_view kCheckingKeyCaption = "Checking AnimKey...";
inline constexpr std::string_view kWrongTypeText =
    "The keyframe does not fit to the others already in the list.\n"
    "The fractal is of different type or subtype.";
inline constexpr std::string_view kMismatchText = "The following parameter does not match:\n";
inline constexpr std::string_view kAdjustQuestion =
    "Should the new picture be adjusted to the old?";
inline constexpr std::string_view kTwistedQuestion =
    "Picture is twisted...\nRight-Left or Top-Bottom is negativ.\nShould I exchange the values?";
inline constexpr std::string_view kShortGapText =
    "Number of frames between two AnimKeys is less than 1.\n"
    "This is not allowed. Please correct it by increasing the time\n"
    "gap between these AnimKeys...";
inline constexpr std::string_view kCompoundKeyText =
    "This compound fractal cannot be a key frame:\n"
    "a layer name finds no fractal in its folder, or a layer is itself a compound.";
inline constexpr std::string_view kDeleteKeyText =
    "You are about to delete an animation key.\nAre you sure you want to delete it?";

// The key frames of an animation folder in order; layer entries of compound keys
// (entry kind 10) are not keys.
std::vector<FractalRecord*> animationKeys(const Folder& animation);
std::vector<const FractalRecord*> constKeys(const std::vector<FractalRecord*>& keys);

// Checks a new key against `reference`: the same type and subtype, equal values where
// every key must agree (asking whether to adopt the reference's value), and an untwisted
// area for both (asking whether to swap the corners). False when the key is refused;
// the candidate may have been adjusted either way.
bool verifyKey(FractalRecord& candidate, FractalRecord& reference, Frontend& frontend);

// Whether the fractal can be a key frame: a compound fractal needs every layer name to
// find a fractal of its folder that is no compound itself; else kCompoundKeyText.
bool animatableKey(const FractalRecord& key, Frontend& frontend);

// A frame gap below 1 would give a segment without frames, an infinite one a key no frame
// reaches: both are refused with kShortGapText.
bool acceptableGap(double gap);

// Adds a copy of `fractal` as key number `position` (0-based among the keys, clamped to
// their count) after verifying it against the first key, or the key it follows. The
// first key names the animation; every key sets the animation's image size. A compound's
// layer fractals (found by name in its folder) are copied behind it as its layer entries.
// Returns the new key, or null when it was refused.
FractalRecord* addKey(Folder& animation, AnimData& data, const FractalRecord& fractal,
                      std::size_t position, Frontend& frontend,
                      const RecordCreationContext& context);

// Adds a key as addKey() does, with `layers` as its layer fractals: they must be as many
// as the reference key's, each of the type and subtype of the reference's layer.
FractalRecord* addKeyWithLayers(Folder& animation, AnimData& data, const FractalRecord& fractal,
                                const std::vector<const FractalRecord*>& layers,
                                std::size_t position, Frontend& frontend,
                                const RecordCreationContext& context);

// Deletes a key and the layer entries that follow it, asking first when `ask` is on.
// Returns whether it was deleted.
bool deleteKey(Workspace& workspace, FractalRecord& key, bool ask, Frontend& frontend);

} // namespace vortimax
