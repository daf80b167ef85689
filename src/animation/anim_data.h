#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace vortimax {

// Stored lengths of the text fields, terminator included: a text keeps at most one byte
// less.
constexpr std::size_t kAnimNameLength = 64;
constexpr std::size_t kAnimAuthorLength = 40;
constexpr std::size_t kAnimAddressLength = 80;
constexpr std::size_t kAnimDateLength = 40;
constexpr std::size_t kAnimCommentLength = 200;
constexpr std::size_t kAnimCopyrightLength = 40;
constexpr std::size_t kAnimSuggestionLength = 200;

// The settings of one animation: image size, interpolation, the frames to make and where
// they go, and the descriptive texts.
struct AnimData {
    std::string name = "Animation";
    std::int32_t width = 320;
    std::int32_t height = 240;
    std::int32_t planes = 0;        // kept, written and read; nothing else uses it
    std::int32_t interpolation = 1; // 0 linear, otherwise natural cubic spline
    std::int32_t currentFrame = 0;  // run time only
    std::int32_t dimension = 0;     // 0 flat images, otherwise through the 3D transformation
    std::int32_t startFrame = 1;
    std::int32_t endFrame = -1;   // below 1: the last frame
    std::int32_t totalFrames = 0; // computed when the animation starts
    std::int32_t saveMode = 1;    // 0 PNG files, otherwise video
    std::int32_t framesPerSecond = 15;
    std::string author;
    std::string address;
    std::string date;
    std::string comment;
    std::string copyright;
    std::string suggestion;
    std::filesystem::path outputDirectory;

    bool spline() const { return interpolation != 0; }
    bool operator==(const AnimData&) const = default;
};

// `text` cut to fit a field of `length` bytes (terminator included).
std::string fitAnimText(std::string_view text, std::size_t length);

} // namespace vortimax
