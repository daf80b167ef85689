#include "../app/temp_dir.h"
#include "../video/video_decoding.h"
#include "../video/video_test_images.h"
#include "anim_test_support.h"
#include "animation/video_frame_sink.h"
#include "app/scripted_frontend.h"
#include "video/video_failures.h"

#include <gtest/gtest.h>

namespace vortimax {
namespace {

constexpr int kWidth = 13; // rows of 13 bytes need padding in a bitmap
constexpr int kHeight = 7;

AnimData videoData() {
    AnimData data;
    data.width = kWidth;
    data.height = kHeight;
    data.framesPerSecond = 9;
    return data;
}

// Writes test pictures of `bits` as frames 1..count; the results in order.
std::vector<FrameWriteResult> writePictures(VideoFrameSink& sink, const FractalRecord& record,
                                            std::initializer_list<int> bitsPerFrame) {
    std::vector<FrameWriteResult> results;
    int frame = 0;
    for (int bits : bitsPerFrame) {
        const test::TestPicture p = test::testPicture(kWidth, kHeight, bits, false, frame);
        const FrameImage image{record, p.buffers, p.colours, false, {}};
        results.push_back(sink.write(image, ++frame));
    }
    return results;
}

TEST(VideoFrameSink, WritesEveryFrameInOrderAtTheAnimationsPace) {
    test::TempDir dir;
    ScriptedFrontend frontend;
    auto record = test::mandelKey(test::big("0"), test::big("0"), test::big("2"), 10.0);
    VideoFrameSink sink(dir / "Zoom.AVI", {VideoContainer::Avi, VideoCodec::Dib}, frontend);
    ASSERT_TRUE(sink.open(videoData()));
    for (FrameWriteResult r : writePictures(sink, *record, {8, 8, 8, 8}))
        EXPECT_EQ(r, FrameWriteResult::Written);
    sink.close();
    EXPECT_TRUE(frontend.messageBoxes().empty());

    const test::DecodedVideo video = test::decodeVideo(dir / "Zoom.AVI");
    ASSERT_EQ(video.error, "");
    EXPECT_EQ(video.frameRateNum, 9);
    ASSERT_EQ(video.frames.size(), 4u);
    for (int f = 0; f < 4; ++f) {
        const test::TestPicture p = test::testPicture(kWidth, kHeight, 8, false, f);
        EXPECT_EQ(video.frames[f].rgb, test::expectedRgb(p, false)) << f;
    }
}

TEST(VideoFrameSink, AFailedFrameEndsTheAnimationWithItsMessageAndKeepsTheFramesBefore) {
    test::TempDir dir;
    ScriptedFrontend frontend;
    auto record = test::mandelKey(test::big("0"), test::big("0"), test::big("2"), 10.0);
    VideoFrameSink sink(dir / "Zoom.avi", {VideoContainer::Avi, VideoCodec::Ffv1}, frontend);
    ASSERT_TRUE(sink.open(videoData()));
    // A colour frame in a palette video cannot be written; nothing after it is either.
    const auto results = writePictures(sink, *record, {8, 8, 24, 8});
    EXPECT_EQ(results[1], FrameWriteResult::Written);
    EXPECT_EQ(results[2], FrameWriteResult::Stopped);
    EXPECT_EQ(results[3], FrameWriteResult::Stopped);
    sink.close();
    ASSERT_EQ(frontend.messageBoxes().size(), 1u);
    const VideoFailureMessage& message = videoFailureMessage(VideoFailure::StreamWrite);
    EXPECT_EQ(frontend.messageBoxes()[0].caption, message.caption);
    EXPECT_EQ(frontend.messageBoxes()[0].text, message.text);
    EXPECT_EQ(test::decodeVideo(dir / "Zoom.avi").frames.size(), 2u);
}

TEST(VideoFrameSink, RefusesToStartWithoutTheFolderOrWhenTheFileCannotBeMade) {
    test::TempDir dir;
    ScriptedFrontend frontend;
    VideoFrameSink missing(dir / "no" / "Zoom.AVI", {}, frontend);
    EXPECT_FALSE(missing.open(videoData()));
    ASSERT_EQ(frontend.messageBoxes().size(), 1u);
    EXPECT_EQ(frontend.messageBoxes()[0].caption,
              videoFailureMessage(VideoFailure::Opening).caption);

    // A folder where the file should be: the first frame finds it cannot be created.
    std::filesystem::create_directories(dir / "Taken.AVI");
    auto record = test::mandelKey(test::big("0"), test::big("0"), test::big("2"), 10.0);
    VideoFrameSink taken(dir / "Taken.AVI", {}, frontend);
    ASSERT_TRUE(taken.open(videoData()));
    EXPECT_EQ(writePictures(taken, *record, {8})[0], FrameWriteResult::Stopped);
    EXPECT_EQ(frontend.messageBoxes().size(), 2u);
    EXPECT_EQ(taken.framesWritten(), 0);
}

} // namespace
} // namespace vortimax
