#include "video/video_codecs.h"

#include "base/text_utils.h"

#include <array>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace vortimax {
namespace {

constexpr std::array<VideoCodecInfo, 4> kCodecs{{
    {VideoCodec::Dib, "dib", "Uncompressed (full frames)", "", true, true, false},
    {VideoCodec::Mjpeg, "mjpeg", "Motion JPEG", "mjpeg", false, true, false},
    {VideoCodec::Ffv1, "ffv1", "FFV1 (lossless)", "ffv1", true, true, false},
    {VideoCodec::H264, "h264", "H.264", "libx264", false, true, true},
}};

} // namespace

std::span<const VideoCodecInfo> videoCodecTable() {
    return kCodecs;
}

const VideoCodecInfo& videoCodecInfo(VideoCodec codec) {
    for (const VideoCodecInfo& info : kCodecs)
        if (info.codec == codec)
            return info;
    return kCodecs.front();
}

std::optional<VideoCodec> videoCodecByName(std::string_view name) {
    for (const VideoCodecInfo& info : kCodecs)
        if (equalsIgnoreCase(info.name, name))
            return info.codec;
    return std::nullopt;
}

bool videoCodecAvailable(VideoCodec codec) {
    const VideoCodecInfo& info = videoCodecInfo(codec);
    if (info.encoder.empty())
        return true;
    return avcodec_find_encoder_by_name(std::string(info.encoder).c_str()) != nullptr;
}

bool videoCodecFitsContainer(VideoCodec codec, VideoContainer container) {
    const VideoCodecInfo& info = videoCodecInfo(codec);
    return container == VideoContainer::Avi ? info.inAvi : info.inMp4;
}

VideoCodec defaultVideoCodec(VideoContainer container) {
    return container == VideoContainer::Avi ? VideoCodec::Dib : VideoCodec::H264;
}

} // namespace vortimax
