#include "video_decoding.h"

#include <cstring>
#include <fstream>
#include <iterator>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace vortimax::test {
namespace {

DecodedFrame toRgb(const AVFrame& frame) {
    DecodedFrame out;
    out.width = frame.width;
    out.height = frame.height;
    const auto format = static_cast<AVPixelFormat>(frame.format);
    out.pixelFormat = av_get_pix_fmt_name(format);
    out.rgb.resize(static_cast<std::size_t>(frame.width) * frame.height * 3);
    SwsContext* scale = sws_getContext(frame.width, frame.height, format, frame.width, frame.height,
                                       AV_PIX_FMT_RGB24, SWS_POINT, nullptr, nullptr, nullptr);
    std::uint8_t* dest[4] = {out.rgb.data(), nullptr, nullptr, nullptr};
    int destStride[4] = {frame.width * 3, 0, 0, 0};
    sws_scale(scale, frame.data, frame.linesize, 0, frame.height, dest, destStride);
    sws_freeContext(scale);
    return out;
}

struct Decoder {
    AVFormatContext* input = nullptr;
    AVCodecContext* codec = nullptr;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    ~Decoder() {
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        avformat_close_input(&input);
    }
};

void receiveAll(Decoder& d, DecodedVideo& video) {
    while (avcodec_receive_frame(d.codec, d.frame) == 0) {
        video.frames.push_back(toRgb(*d.frame));
        av_frame_unref(d.frame);
    }
}

} // namespace

DecodedVideo decodeVideo(const std::filesystem::path& path) {
    DecodedVideo video;
    Decoder d;
    if (avformat_open_input(&d.input, path.c_str(), nullptr, nullptr) < 0 ||
        avformat_find_stream_info(d.input, nullptr) < 0) {
        video.error = "cannot open";
        return video;
    }
    const int index = av_find_best_stream(d.input, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (index < 0) {
        video.error = "no video stream";
        return video;
    }
    const AVStream* stream = d.input->streams[index];
    const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
    d.codec = avcodec_alloc_context3(decoder);
    avcodec_parameters_to_context(d.codec, stream->codecpar);
    if (avcodec_open2(d.codec, decoder, nullptr) < 0) {
        video.error = "no decoder";
        return video;
    }
    video.codec = decoder->name;
    video.frameRateNum = stream->avg_frame_rate.num;
    video.frameRateDen = stream->avg_frame_rate.den;
    while (av_read_frame(d.input, d.packet) >= 0) {
        if (d.packet->stream_index == index && avcodec_send_packet(d.codec, d.packet) < 0)
            video.error = "bad packet";
        av_packet_unref(d.packet);
        receiveAll(d, video);
    }
    avcodec_send_packet(d.codec, nullptr);
    receiveAll(d, video);
    return video;
}

std::vector<std::uint8_t> riffChunk(const std::filesystem::path& path, const char* tag) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    for (std::size_t i = 0; i + 8 <= bytes.size(); ++i) {
        if (std::memcmp(bytes.data() + i, tag, 4) != 0)
            continue;
        const std::size_t size = bytes[i + 4] | bytes[i + 5] << 8 | bytes[i + 6] << 16 |
                                 static_cast<std::size_t>(bytes[i + 7]) << 24;
        if (i + 8 + size > bytes.size())
            return {};
        return {bytes.begin() + static_cast<std::ptrdiff_t>(i + 8),
                bytes.begin() + static_cast<std::ptrdiff_t>(i + 8 + size)};
    }
    return {};
}

} // namespace vortimax::test
