#pragma once

#include "video/ffmpeg_handles.h"
#include "video/video_codecs.h"
#include "video/video_frame.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vortimax {

struct VideoShape;

// Turns frames into compressed packets with one FFmpeg encoder, converting each frame to
// the encoder's pixel format first.
class FrameEncoder {
public:
    // Null, with FFmpeg's reason, when the encoder is missing or refuses the shape.
    // `globalHeader`: the container wants the codec's headers once, not in the stream.
    // `reorder`: the container can hold frames stored out of display order.
    static std::unique_ptr<FrameEncoder> create(VideoCodec codec, const VideoShape& shape,
                                                bool globalHeader, bool reorder,
                                                std::string& reason);

    const AVCodecContext& context() const { return *context_; }

    // Encodes the frame shown at `index` / frames per second and hands every packet that
    // is ready to `sink` (time stamps in the encoder's time base). A null frame flushes
    // the encoder. Returns 0 or the first FFmpeg error.
    int encode(const VideoFrame* frame, std::int64_t index,
               const std::function<int(AVPacket&)>& sink);

private:
    FrameEncoder() = default;
    bool prepareFrames(std::string& reason);
    int convert(const VideoFrame& frame);
    int drain(const std::function<int(AVPacket&)>& sink);

    CodecContextPtr context_;
    FramePtr picture_; // in the encoder's pixel format
    FramePtr bgr_;     // blue-green-red staging picture when a conversion follows
    ScalePtr scale_;
    PacketPtr packet_;
};

} // namespace vortimax
