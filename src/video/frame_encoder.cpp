#include "video/frame_encoder.h"

#include "video/video_writer.h"

#include <array>
#include <string>

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

namespace vortimax {
namespace {

// The pixel format each encoder is given. 4:2:0 colour needs even sides, so odd sizes
// take the odd-size format.
struct EncoderFormat {
    VideoCodec codec;
    AVPixelFormat evenSize;
    AVPixelFormat oddSize;
};

constexpr std::array<EncoderFormat, 3> kEncoderFormats{{
    {VideoCodec::Mjpeg, AV_PIX_FMT_YUVJ420P, AV_PIX_FMT_YUVJ420P},
    {VideoCodec::Ffv1, AV_PIX_FMT_0RGB32, AV_PIX_FMT_0RGB32},
    {VideoCodec::H264, AV_PIX_FMT_YUV420P, AV_PIX_FMT_YUV444P},
}};

AVPixelFormat encoderFormat(VideoCodec codec, const VideoShape& shape) {
    const bool even = shape.width % 2 == 0 && shape.height % 2 == 0;
    for (const EncoderFormat& row : kEncoderFormats)
        if (row.codec == codec)
            return even ? row.evenSize : row.oddSize;
    return AV_PIX_FMT_NONE;
}

bool encoderTakes(const AVCodec& encoder, AVPixelFormat format) {
    if (encoder.pix_fmts == nullptr)
        return true;
    for (const AVPixelFormat* f = encoder.pix_fmts; *f != AV_PIX_FMT_NONE; ++f)
        if (*f == format)
            return true;
    return false;
}

FramePtr pictureOf(AVPixelFormat format, int width, int height) {
    FramePtr frame(av_frame_alloc());
    if (!frame)
        return nullptr;
    frame->format = format;
    frame->width = width;
    frame->height = height;
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        return nullptr;
    return frame;
}

// Frames converted by hand: the lossless blue-green-red layouts.
int handFilledBytesPerPixel(AVPixelFormat format) {
    if (format == AV_PIX_FMT_0RGB32)
        return 4;
    if (format == AV_PIX_FMT_BGR24)
        return 3;
    return 0;
}

void describeColours(AVCodecContext& context) {
    const bool fullRange = context.pix_fmt == AV_PIX_FMT_YUVJ420P;
    context.color_range = fullRange ? AVCOL_RANGE_JPEG : AVCOL_RANGE_MPEG;
    if (handFilledBytesPerPixel(context.pix_fmt) != 0)
        return;
    context.colorspace = AVCOL_SPC_SMPTE170M;
    context.color_primaries = AVCOL_PRI_SMPTE170M;
    context.color_trc = AVCOL_TRC_SMPTE170M;
}

} // namespace

std::unique_ptr<FrameEncoder> FrameEncoder::create(VideoCodec codec, const VideoShape& shape,
                                                   bool globalHeader, bool reorder,
                                                   std::string& reason) {
    const std::string name(videoCodecInfo(codec).encoder);
    const AVCodec* encoder = avcodec_find_encoder_by_name(name.c_str());
    const AVPixelFormat format = encoderFormat(codec, shape);
    if (encoder == nullptr || format == AV_PIX_FMT_NONE || !encoderTakes(*encoder, format)) {
        reason = "no usable encoder " + name;
        return nullptr;
    }
    std::unique_ptr<FrameEncoder> self(new FrameEncoder);
    self->context_.reset(avcodec_alloc_context3(encoder));
    if (!self->context_) {
        reason = "out of memory";
        return nullptr;
    }
    AVCodecContext& c = *self->context_;
    c.width = shape.width;
    c.height = shape.height;
    c.pix_fmt = format;
    c.time_base = {1, shape.framesPerSecond};
    c.framerate = {shape.framesPerSecond, 1};
    c.sample_aspect_ratio = {1, 1};
    if (!reorder)
        c.max_b_frames = 0;
    if (globalHeader)
        c.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    describeColours(c);
    if (codec == VideoCodec::Mjpeg) {
        c.flags |= AV_CODEC_FLAG_QSCALE;
        c.global_quality = FF_QP2LAMBDA * 3; // fine quantisation: fractal detail stays sharp
    }
    const int opened = avcodec_open2(&c, encoder, nullptr);
    if (opened < 0) {
        reason = ffmpegErrorText(opened);
        return nullptr;
    }
    if (!self->prepareFrames(reason))
        return nullptr;
    return self;
}

bool FrameEncoder::prepareFrames(std::string& reason) {
    const AVCodecContext& c = *context_;
    picture_ = pictureOf(c.pix_fmt, c.width, c.height);
    packet_.reset(av_packet_alloc());
    if (handFilledBytesPerPixel(c.pix_fmt) == 0) {
        bgr_ = pictureOf(AV_PIX_FMT_BGR24, c.width, c.height);
        scale_.reset(sws_getContext(c.width, c.height, AV_PIX_FMT_BGR24, c.width, c.height,
                                    c.pix_fmt, SWS_BICUBIC | SWS_ACCURATE_RND, nullptr, nullptr,
                                    nullptr));
        if (!bgr_ || !scale_) {
            reason = "no conversion to " + std::string(av_get_pix_fmt_name(c.pix_fmt));
            return false;
        }
    }
    if (!picture_ || !packet_) {
        reason = "out of memory";
        return false;
    }
    return true;
}

int FrameEncoder::convert(const VideoFrame& frame) {
    const int writable = av_frame_make_writable(picture_.get());
    if (writable < 0)
        return writable;
    const int bytesPerPixel = handFilledBytesPerPixel(context_->pix_fmt);
    if (bytesPerPixel != 0) {
        fillBgrTopDown(frame, picture_->data[0], static_cast<std::size_t>(picture_->linesize[0]),
                       bytesPerPixel);
        return 0;
    }
    fillBgrTopDown(frame, bgr_->data[0], static_cast<std::size_t>(bgr_->linesize[0]), 3);
    const int rows = sws_scale(scale_.get(), bgr_->data, bgr_->linesize, 0, frame.height,
                               picture_->data, picture_->linesize);
    return rows == frame.height ? 0 : AVERROR_EXTERNAL;
}

int FrameEncoder::encode(const VideoFrame* frame, std::int64_t index,
                         const std::function<int(AVPacket&)>& sink) {
    if (frame != nullptr) {
        const int converted = convert(*frame);
        if (converted < 0)
            return converted;
        picture_->pts = index;
    }
    const int sent = avcodec_send_frame(context_.get(), frame ? picture_.get() : nullptr);
    if (sent < 0)
        return sent;
    return drain(sink);
}

int FrameEncoder::drain(const std::function<int(AVPacket&)>& sink) {
    for (;;) {
        const int received = avcodec_receive_packet(context_.get(), packet_.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return 0;
        if (received < 0)
            return received;
        // Some encoders leave the duration 0, which loses the last frame's time in MP4.
        packet_->duration = 1;
        const int written = sink(*packet_);
        av_packet_unref(packet_.get());
        if (written < 0)
            return written;
    }
}

} // namespace vortimax
