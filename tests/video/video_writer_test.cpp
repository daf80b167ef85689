#include "video/video_writer.h"
#include "video_decoding.h"
#include "video_test_images.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace vortimax {
namespace {

namespace fs = std::filesystem;
using test::DecodedVideo;
using test::decodeVideo;
using test::testPicture;
using test::TestPicture;

constexpr int kFrames = 10;

class VideoWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("vortimax-video-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

struct Case {
    const char* name;
    VideoContainer container;
    VideoCodec codec;
    int bits;
    bool use3D;
    int width;
    int height;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

std::string caseName(const ::testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

// Writes kFrames different frames; returns the writer's failure, if any.
std::optional<VideoFailure> writeFrames(const fs::path& path, const Case& c) {
    const VideoShape shape{c.width, c.height, 12, c.use3D ? 24 : c.bits};
    VideoWriter::Opened opened = VideoWriter::open(path, {c.container, c.codec}, shape);
    if (!opened.writer)
        return opened.failure;
    for (int frame = 0; frame < kFrames; ++frame) {
        const TestPicture p = testPicture(c.width, c.height, c.bits, c.use3D, frame);
        if (auto failure = opened.writer->write(videoFrameOf(p.buffers, p.colours, c.use3D)))
            return failure;
    }
    EXPECT_EQ(opened.writer->framesWritten(), kFrames);
    return opened.writer->finish();
}

class LosslessVideo : public VideoWriterTest, public ::testing::WithParamInterface<Case> {};

// Every frame, with its own palette, comes back exactly as it was, odd widths included.
TEST_P(LosslessVideo, DecodesBackBitExact) {
    const Case& c = GetParam();
    const fs::path path = dir_ / "Zoom.AVI";
    ASSERT_EQ(writeFrames(path, c), std::nullopt);
    const DecodedVideo video = decodeVideo(path);
    ASSERT_EQ(video.error, "");
    EXPECT_EQ(video.frameRateNum, 12);
    EXPECT_EQ(video.frameRateDen, 1);
    ASSERT_EQ(video.frames.size(), static_cast<std::size_t>(kFrames));
    for (int frame = 0; frame < kFrames; ++frame) {
        const TestPicture p = testPicture(c.width, c.height, c.bits, c.use3D, frame);
        const test::DecodedFrame& got = video.frames[static_cast<std::size_t>(frame)];
        ASSERT_EQ(got.width, c.width);
        ASSERT_EQ(got.height, c.height);
        ASSERT_EQ(got.rgb, test::expectedRgb(p, c.use3D)) << "frame " << frame;
    }
    if (c.codec == VideoCodec::Dib) {
        EXPECT_EQ(video.frames[0].pixelFormat, c.bits == 8 && !c.use3D ? "pal8" : "bgr24");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Choices, LosslessVideo,
    ::testing::Values(Case{"Dib8", VideoContainer::Avi, VideoCodec::Dib, 8, false, 64, 40},
                      Case{"Dib8OddWidth", VideoContainer::Avi, VideoCodec::Dib, 8, false, 37, 23},
                      Case{"Dib24", VideoContainer::Avi, VideoCodec::Dib, 24, false, 64, 40},
                      Case{"Dib24OddWidth", VideoContainer::Avi, VideoCodec::Dib, 24, false, 37,
                           23},
                      Case{"Dib3D", VideoContainer::Avi, VideoCodec::Dib, 8, true, 33, 20},
                      Case{"Ffv1From8", VideoContainer::Avi, VideoCodec::Ffv1, 8, false, 37, 23},
                      Case{"Ffv1From24", VideoContainer::Avi, VideoCodec::Ffv1, 24, false, 64, 40},
                      Case{"Ffv1From3D", VideoContainer::Avi, VideoCodec::Ffv1, 24, true, 33, 20}),
    caseName);

class LossyVideo : public VideoWriterTest, public ::testing::WithParamInterface<Case> {};

double meanDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        sum += std::abs(a[i] - b[i]);
    return sum / static_cast<double>(a.size());
}

// Lossy codecs keep the frame count and size, and colours close to the source (a swapped
// channel or a flipped picture would be far off).
TEST_P(LossyVideo, DecodesBackWithEveryFrame) {
    const Case& c = GetParam();
    if (!videoCodecAvailable(c.codec))
        GTEST_SKIP() << "no encoder for " << videoCodecInfo(c.codec).name;
    const fs::path path = dir_ / (c.container == VideoContainer::Avi ? "v.AVI" : "v.mp4");
    ASSERT_EQ(writeFrames(path, c), std::nullopt);
    const DecodedVideo video = decodeVideo(path);
    ASSERT_EQ(video.error, "");
    ASSERT_EQ(video.frames.size(), static_cast<std::size_t>(kFrames));
    for (int frame = 0; frame < kFrames; ++frame) {
        const test::DecodedFrame& got = video.frames[static_cast<std::size_t>(frame)];
        ASSERT_EQ(got.width, c.width);
        ASSERT_EQ(got.height, c.height);
        const TestPicture p = testPicture(c.width, c.height, c.bits, c.use3D, frame);
        EXPECT_LT(meanDifference(got.rgb, test::expectedRgb(p, c.use3D)), 6.0) << "frame " << frame;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Choices, LossyVideo,
    ::testing::Values(
        Case{"Mjpeg", VideoContainer::Avi, VideoCodec::Mjpeg, 24, false, 64, 48},
        Case{"MjpegOddSize", VideoContainer::Avi, VideoCodec::Mjpeg, 24, false, 37, 23},
        Case{"H264Avi", VideoContainer::Avi, VideoCodec::H264, 24, false, 64, 48},
        Case{"H264Mp4", VideoContainer::Mp4, VideoCodec::H264, 24, false, 64, 48},
        Case{"H264Mp4OddSize", VideoContainer::Mp4, VideoCodec::H264, 24, false, 37, 23},
        Case{"H264Mp4From3D", VideoContainer::Mp4, VideoCodec::H264, 24, true, 64, 48}),
    caseName);

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// An 8-bit stream's format is the 40-byte bitmap header followed by 256 blue-green-red-0
// entries of the first frame's palette; a 24-bit stream's is the header alone. Both
// declare bottom-up rows (a positive height).
TEST_F(VideoWriterTest, BitmapStreamFormatHoldsHeaderAndPalette) {
    for (const int bits : {8, 24}) {
        const fs::path path = dir_ / ("f" + std::to_string(bits) + ".AVI");
        ASSERT_EQ(
            writeFrames(path, {"", VideoContainer::Avi, VideoCodec::Dib, bits, false, 37, 23}),
            std::nullopt);
        const std::vector<std::uint8_t> format = test::riffChunk(path, "strf");
        ASSERT_EQ(format.size(), bits == 8 ? 40u + 1024u : 40u);
        EXPECT_EQ(le32(format, 0), 40u);
        EXPECT_EQ(le32(format, 4), 37u);
        EXPECT_EQ(le32(format, 8), 23u);
        EXPECT_EQ(format[12] | format[13] << 8, 1);
        EXPECT_EQ(format[14] | format[15] << 8, bits);
        EXPECT_EQ(le32(format, 16), 0u); // no compression
        EXPECT_EQ(le32(format, 32), bits == 8 ? 256u : 0u);
        if (bits != 8)
            continue;
        const ColourTable first = test::testPalette(0);
        for (std::size_t i = 0; i < 256; ++i) {
            const ColourEntry& e = first.entries[i];
            ASSERT_EQ(format[40 + 4 * i], e.blue) << i;
            ASSERT_EQ(format[41 + 4 * i], e.green) << i;
            ASSERT_EQ(format[42 + 4 * i], e.red) << i;
            ASSERT_EQ(format[43 + 4 * i], 0) << i;
        }
    }
}

TEST_F(VideoWriterTest, OpeningFailuresNameTheirStep) {
    const VideoShape shape{32, 16, 15, 8};
    const VideoSettings avi{VideoContainer::Avi, VideoCodec::Dib};
    // A folder that does not exist, and a folder in place of the file.
    for (const fs::path& path : {dir_ / "missing" / "Zoom.AVI", dir_}) {
        const VideoWriter::Opened opened = VideoWriter::open(path, avi, shape);
        EXPECT_EQ(opened.writer, nullptr);
        EXPECT_EQ(opened.failure, VideoFailure::Opening) << path;
    }
    // Uncompressed bitmaps have no place in MP4: a file of that name stays as it was.
    const fs::path path = dir_ / "a.mp4";
    std::ofstream(path) << "keep";
    const VideoWriter::Opened mp4 =
        VideoWriter::open(path, {VideoContainer::Mp4, VideoCodec::Dib}, shape);
    EXPECT_EQ(mp4.failure, VideoFailure::Compression);
    EXPECT_EQ(fs::file_size(path), 4u);
    for (const VideoShape bad :
         {VideoShape{0, 16, 15, 8}, VideoShape{32, 16, 0, 8}, VideoShape{32, 16, 15, 16}}) {
        const VideoWriter::Opened opened = VideoWriter::open(dir_ / "b.AVI", avi, bad);
        EXPECT_EQ(opened.failure, VideoFailure::StreamCreation);
        EXPECT_FALSE(fs::exists(dir_ / "b.AVI"));
    }
}

// A frame of the wrong size or depth ends the stream; the file still closes as a video of
// the frames before it.
TEST_F(VideoWriterTest, MismatchedFrameEndsTheStreamButKeepsEarlierFrames) {
    const fs::path path = dir_ / "Zoom.AVI";
    VideoWriter::Opened opened =
        VideoWriter::open(path, {VideoContainer::Avi, VideoCodec::Ffv1}, {20, 10, 15, 24});
    ASSERT_NE(opened.writer, nullptr);
    VideoWriter& writer = *opened.writer;
    const TestPicture good = testPicture(20, 10, 24, false, 0);
    const TestPicture wide = testPicture(21, 10, 24, false, 1);
    const TestPicture palette = testPicture(20, 10, 8, false, 2);
    EXPECT_EQ(writer.write(videoFrameOf(good.buffers, good.colours, false)), std::nullopt);
    EXPECT_EQ(writer.write(videoFrameOf(good.buffers, good.colours, false)), std::nullopt);
    EXPECT_EQ(writer.write(videoFrameOf(wide.buffers, wide.colours, false)),
              VideoFailure::StreamWrite);
    EXPECT_EQ(writer.write(videoFrameOf(good.buffers, good.colours, false)),
              VideoFailure::StreamWrite);
    EXPECT_EQ(writer.finish(), std::nullopt);
    EXPECT_EQ(writer.finish(), std::nullopt);
    EXPECT_EQ(decodeVideo(path).frames.size(), 2u);

    VideoWriter::Opened second =
        VideoWriter::open(dir_ / "p.AVI", {VideoContainer::Avi, VideoCodec::Dib}, {20, 10, 15, 24});
    ASSERT_NE(second.writer, nullptr);
    EXPECT_EQ(second.writer->write(videoFrameOf(palette.buffers, palette.colours, false)),
              VideoFailure::StreamWrite);
}

// Whatever ends an animation, the writer going away leaves a playable file.
TEST_F(VideoWriterTest, DroppedWriterFinishesTheFile) {
    for (const VideoCodec codec : {VideoCodec::Dib, VideoCodec::Mjpeg}) {
        const fs::path path = dir_ / (std::string(videoCodecInfo(codec).name) + ".AVI");
        {
            VideoWriter::Opened opened =
                VideoWriter::open(path, {VideoContainer::Avi, codec}, {16, 16, 15, 24});
            ASSERT_NE(opened.writer, nullptr);
            for (int frame = 0; frame < 3; ++frame) {
                const TestPicture p = testPicture(16, 16, 24, false, frame);
                ASSERT_EQ(opened.writer->write(videoFrameOf(p.buffers, p.colours, false)),
                          std::nullopt);
            }
        }
        const DecodedVideo video = decodeVideo(path);
        EXPECT_EQ(video.error, "");
        EXPECT_EQ(video.frames.size(), 3u) << videoCodecInfo(codec).name;
    }
}

// The messages a person sees for each step, as the animation system shows them.
TEST(VideoFailureMessages, NameTheFailedStep) {
    EXPECT_EQ(videoFailureMessage(VideoFailure::Opening).text,
              "Sorry, unable to open specified AVI file.\nPerhaps file is currently in use...");
    EXPECT_EQ(videoFailureMessage(VideoFailure::Opening).caption, "Opening AVI File");
    EXPECT_EQ(videoFailureMessage(VideoFailure::StreamCreation).caption, "Creating AVI Stream");
    EXPECT_EQ(videoFailureMessage(VideoFailure::Compression).text,
              "Sorry, an error occurred during AVIMakeCompressedStream.\nPerhaps there is too "
              "few memory available.");
    EXPECT_EQ(videoFailureMessage(VideoFailure::SetFormat).text, "Fehler bei setFormat");
    EXPECT_EQ(videoFailureMessage(VideoFailure::StreamWrite).text, "Fehler bei StreamWrite");
}

} // namespace
} // namespace vortimax
