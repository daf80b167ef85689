#pragma once

// Owning handles for the FFmpeg objects a video writer holds.

#include <memory>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

namespace vortimax {

struct CodecContextFree {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFree {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct ScaleFree {
    void operator()(SwsContext* s) const { sws_freeContext(s); }
};
// An output context whose file, when open, is closed with it.
struct OutputFree {
    void operator()(AVFormatContext* f) const {
        if (f->pb != nullptr && !(f->oformat->flags & AVFMT_NOFILE))
            avio_closep(&f->pb);
        avformat_free_context(f);
    }
};

using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFree>;
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;
using ScalePtr = std::unique_ptr<SwsContext, ScaleFree>;
using OutputPtr = std::unique_ptr<AVFormatContext, OutputFree>;

// FFmpeg's text for an error code.
inline std::string ffmpegErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

} // namespace vortimax
