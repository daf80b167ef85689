#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace vortimax::cli {

// "animate (FILE | --key PARFILE ENTRY --key PARFILE ENTRY ... [--gap N]) [--frames A-B]
//  [--size WxH] [--format png|avi|mp4] [--codec NAME] [--dir DIR] [--threads N] [--quiet]
//  -o OUT": makes the frames of an animation, from an animation data file or from key frames
// named by parameter-file entries, and writes them as numbered PNG files
// OUT/<name><frame>.png or as the frames of the video file OUT. Every frame is
// interpolated from the keys alone, so frame ranges made by separate runs equal one run.
int runAnimate(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

} // namespace vortimax::cli
