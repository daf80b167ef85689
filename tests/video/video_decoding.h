#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vortimax::test {

// One decoded picture, top row first, as red-green-blue triples.
struct DecodedFrame {
    int width = 0;
    int height = 0;
    std::string pixelFormat; // the decoder's own format, e.g. "pal8", "bgr24"
    std::vector<std::uint8_t> rgb;
};

struct DecodedVideo {
    std::string error; // empty when the whole file was read
    std::string codec;
    int frameRateNum = 0;
    int frameRateDen = 0;
    std::vector<DecodedFrame> frames;
};

// Reads every frame of the file's first video stream with FFmpeg's demuxers and decoders.
DecodedVideo decodeVideo(const std::filesystem::path& path);

// The payload of the first chunk with the four-character `tag` in a RIFF file (empty when
// there is none).
std::vector<std::uint8_t> riffChunk(const std::filesystem::path& path, const char* tag);

} // namespace vortimax::test
