#pragma once

#include "animation/frame_sink.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace vortimax {

class Frontend;

inline constexpr std::string_view kAnimationSystemCaption = "Animation system";
inline constexpr std::string_view kSavingFrameTitle = "Saving animation frame";

// The message for a failed PNG frame by the writer's result code (1, 2, 3); empty for
// others.
std::string pngFrameFailureText(int resultCode, const std::filesystem::path& path);

// Frames as numbered PNG files "<directory>/<name><frame>.png": palette images with the
// frame's interpolated palette or true-colour images, each carrying the frame's
// parameters. A frame that cannot be written is reported ("Animation system") and skipped.
class PngFrameSink : public FrameSink {
public:
    PngFrameSink(std::filesystem::path directory, std::string name, Frontend& frontend);

    bool open(const AnimData& data) override;
    FrameWriteResult write(const FrameImage& image, std::int64_t frame) override;
    void close() override {}

private:
    std::filesystem::path directory_;
    std::string name_;
    Frontend& frontend_;
};

} // namespace vortimax
