#include "video/video_writer.h"

#include "model/image_buffers.h"
#include "video/ffmpeg_handles.h"
#include "video/frame_encoder.h"

#include <climits>
#include <cstring>
#include <mutex>
#include <system_error>

namespace vortimax {

struct VideoWriter::State {
    std::filesystem::path path;
    VideoSettings settings;
    VideoShape shape;
    OutputPtr output;
    AVStream* stream = nullptr;
    std::unique_ptr<FrameEncoder> encoder; // null: uncompressed bitmaps
    PacketPtr packet;
    int frames = 0;
    bool failed = false;
    bool finished = false;
    std::string reason;
};

namespace {

using State = VideoWriter::State;

// FFmpeg's chatter (deprecation notes and the like) would clutter the command line;
// failures reach the caller as results.
void quietenFfmpeg() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_ERROR); });
}

// Sizes a view can have, paces up to 1000 frames per second, and frames whose bitmap
// fits one FFmpeg packet.
bool shapeIsValid(const VideoShape& shape) {
    if (shape.width <= 0 || shape.height <= 0 || shape.width > kMaxImageSide ||
        shape.height > kMaxImageSide || shape.framesPerSecond <= 0 ||
        shape.framesPerSecond > 1000 || (shape.bitsPerPixel != 8 && shape.bitsPerPixel != 24))
        return false;
    const std::size_t bytes =
        dibRowBytes(shape.width, shape.bitsPerPixel) * static_cast<std::size_t>(shape.height);
    return bytes <= static_cast<std::size_t>(INT_MAX) - AV_INPUT_BUFFER_PADDING_SIZE;
}

const char* muxerName(VideoContainer container) {
    return container == VideoContainer::Avi ? "avi" : "mp4";
}

bool createContext(State& s) {
    AVFormatContext* context = nullptr;
    if (avformat_alloc_output_context2(&context, nullptr, muxerName(s.settings.container),
                                       s.path.string().c_str()) < 0)
        return false;
    s.output.reset(context);
    return true;
}

bool openFile(State& s) {
    const int opened = avio_open(&s.output->pb, s.path.string().c_str(), AVIO_FLAG_WRITE);
    if (opened < 0) {
        s.reason = ffmpegErrorText(opened);
        return false;
    }
    return true;
}

void describeBitmapStream(State& s) {
    AVCodecParameters& p = *s.stream->codecpar;
    p.codec_type = AVMEDIA_TYPE_VIDEO;
    p.codec_id = AV_CODEC_ID_RAWVIDEO;
    p.codec_tag = 0;
    p.width = s.shape.width;
    p.height = s.shape.height;
    p.format = s.shape.bitsPerPixel == 8 ? AV_PIX_FMT_PAL8 : AV_PIX_FMT_BGR24;
    p.bits_per_coded_sample = s.shape.bitsPerPixel;
}

std::optional<VideoFailure> setUpCompression(State& s) {
    if (!videoCodecFitsContainer(s.settings.codec, s.settings.container)) {
        s.reason = "the container cannot hold the codec";
        return VideoFailure::Compression;
    }
    s.packet.reset(av_packet_alloc());
    if (!s.packet)
        return VideoFailure::Compression;
    if (s.settings.codec == VideoCodec::Dib) {
        describeBitmapStream(s);
        return std::nullopt;
    }
    const bool globalHeader = (s.output->oformat->flags & AVFMT_GLOBALHEADER) != 0;
    const bool reorder = s.settings.container == VideoContainer::Mp4;
    s.encoder = FrameEncoder::create(s.settings.codec, s.shape, globalHeader, reorder, s.reason);
    if (!s.encoder)
        return VideoFailure::Compression;
    if (avcodec_parameters_from_context(s.stream->codecpar, &s.encoder->context()) < 0)
        return VideoFailure::Compression;
    return std::nullopt;
}

// Uncompressed bitmaps are stored bottom row first, as the image buffers hold them.
std::optional<VideoFailure> writeHeader(State& s) {
    AVDictionary* options = nullptr;
    if (s.settings.codec == VideoCodec::Dib)
        av_dict_set(&options, "flipped_raw_rgb", "1", 0);
    const int written = avformat_write_header(s.output.get(), &options);
    av_dict_free(&options);
    if (written < 0) {
        s.reason = ffmpegErrorText(written);
        return VideoFailure::SetFormat;
    }
    return std::nullopt;
}

// The stream and its encoder are set up before the file is created, so a codec that
// cannot be used leaves an existing file of that name alone.
std::optional<VideoFailure> openStream(State& s) {
    if (!shapeIsValid(s.shape) || !createContext(s))
        return VideoFailure::StreamCreation;
    s.stream = avformat_new_stream(s.output.get(), nullptr);
    if (s.stream == nullptr)
        return VideoFailure::StreamCreation;
    s.stream->time_base = {1, s.shape.framesPerSecond};
    s.stream->avg_frame_rate = {s.shape.framesPerSecond, 1};
    if (std::optional<VideoFailure> failure = setUpCompression(s))
        return failure;
    if (!openFile(s))
        return VideoFailure::Opening;
    return writeHeader(s);
}

// Hands a packet stamped in frames to the file.
int mux(State& s, AVPacket& packet) {
    packet.stream_index = s.stream->index;
    av_packet_rescale_ts(&packet, {1, s.shape.framesPerSecond}, s.stream->time_base);
    return av_interleaved_write_frame(s.output.get(), &packet);
}

int writeBitmap(State& s, const VideoFrame& frame) {
    AVPacket& packet = *s.packet;
    int result = av_new_packet(&packet, static_cast<int>(dibImageBytes(frame)));
    if (result < 0)
        return result;
    packDibRows(frame, packet.data);
    if (frame.bitsPerPixel == 8) {
        const std::vector<std::uint32_t> palette = packedPalette(*frame.colours);
        std::uint8_t* side = av_packet_new_side_data(&packet, AV_PKT_DATA_PALETTE, AVPALETTE_SIZE);
        if (side == nullptr) {
            av_packet_unref(&packet);
            return AVERROR(ENOMEM);
        }
        std::memcpy(side, palette.data(), AVPALETTE_SIZE);
    }
    packet.pts = packet.dts = s.frames;
    packet.duration = 1;
    packet.flags |= AV_PKT_FLAG_KEY;
    result = mux(s, packet);
    av_packet_unref(&packet);
    return result;
}

bool frameFits(const State& s, const VideoFrame& frame) {
    return videoFrameIsComplete(frame) && frame.width == s.shape.width &&
           frame.height == s.shape.height && frame.bitsPerPixel == s.shape.bitsPerPixel;
}

int flushEncoder(State& s) {
    if (!s.encoder || s.failed)
        return 0;
    return s.encoder->encode(nullptr, s.frames, [&s](AVPacket& p) { return mux(s, p); });
}

} // namespace

VideoWriter::VideoWriter(std::unique_ptr<State> state) : state_(std::move(state)) {}

VideoWriter::~VideoWriter() {
    finish();
}

VideoWriter::Opened VideoWriter::open(const std::filesystem::path& path,
                                      const VideoSettings& settings, const VideoShape& shape) {
    quietenFfmpeg();
    auto state = std::make_unique<State>();
    state->path = path;
    state->settings = settings;
    state->shape = shape;
    if (std::optional<VideoFailure> failure = openStream(*state)) {
        const bool created = state->output && state->output->pb != nullptr;
        std::string reason = std::move(state->reason);
        state.reset();
        if (created) {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
        }
        return {nullptr, failure, std::move(reason)};
    }
    return {std::unique_ptr<VideoWriter>(new VideoWriter(std::move(state))), std::nullopt, {}};
}

std::optional<VideoFailure> VideoWriter::write(const VideoFrame& frame) {
    State& s = *state_;
    if (s.failed || s.finished || !frameFits(s, frame)) {
        s.failed = true;
        return VideoFailure::StreamWrite;
    }
    const int result =
        s.encoder ? s.encoder->encode(&frame, s.frames, [&s](AVPacket& p) { return mux(s, p); })
                  : writeBitmap(s, frame);
    if (result < 0) {
        s.failed = true;
        s.reason = ffmpegErrorText(result);
        return VideoFailure::StreamWrite;
    }
    ++s.frames;
    return std::nullopt;
}

std::optional<VideoFailure> VideoWriter::finish() {
    State& s = *state_;
    if (s.finished)
        return std::nullopt;
    s.finished = true;
    int result = flushEncoder(s);
    const int trailer = av_write_trailer(s.output.get());
    if (result >= 0)
        result = trailer;
    const int closed = avio_closep(&s.output->pb);
    if (result >= 0)
        result = closed;
    if (result < 0) {
        s.reason = ffmpegErrorText(result);
        return VideoFailure::StreamWrite;
    }
    return std::nullopt;
}

int VideoWriter::framesWritten() const {
    return state_->frames;
}

const std::string& VideoWriter::lastReason() const {
    return state_->reason;
}

} // namespace vortimax
