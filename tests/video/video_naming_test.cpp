#include "video/video_file_name.h"
#include "video/video_options.h"

#include <gtest/gtest.h>

namespace vortimax {
namespace {

TEST(VideoFileName, AddsTheExtensionUnlessPresentInAnyCase) {
    EXPECT_EQ(videoFileName("Zoom", VideoContainer::Avi), "Zoom.AVI");
    EXPECT_EQ(videoFileName("Zoom.avi", VideoContainer::Avi), "Zoom.avi");
    EXPECT_EQ(videoFileName("Zoom.AvI", VideoContainer::Avi), "Zoom.AvI");
    EXPECT_EQ(videoFileName("Zoomavi", VideoContainer::Avi), "Zoomavi.AVI");
    EXPECT_EQ(videoFileName("Zoom.avi.old", VideoContainer::Avi), "Zoom.avi.old.AVI");
    EXPECT_EQ(videoFileName("Zoom.mp4", VideoContainer::Avi), "Zoom.mp4.AVI");
    EXPECT_EQ(videoFileName("Zoom", VideoContainer::Mp4), "Zoom.mp4");
    EXPECT_EQ(videoFileName("Zoom.MP4", VideoContainer::Mp4), "Zoom.MP4");
    EXPECT_EQ(videoFileName("", VideoContainer::Avi), ".AVI");
    // Only the last component counts: a folder named like a video is not the file.
    EXPECT_EQ(videoFilePath("out.avi/Zoom", VideoContainer::Avi), "out.avi/Zoom.AVI");
    EXPECT_EQ(videoFilePath("/tmp/out/Zoom.Avi", VideoContainer::Avi), "/tmp/out/Zoom.Avi");
}

TEST(VideoOptions, FormatAloneTakesItsDefaultCodec) {
    VideoSettings settings;
    std::string error;
    ASSERT_TRUE(videoSettingsFromOptions("AVI", "", settings, error)) << error;
    EXPECT_EQ(settings.container, VideoContainer::Avi);
    EXPECT_EQ(settings.codec, VideoCodec::Dib);
    if (videoCodecAvailable(VideoCodec::H264)) {
        ASSERT_TRUE(videoSettingsFromOptions("mp4", "", settings, error)) << error;
        EXPECT_EQ(settings.container, VideoContainer::Mp4);
        EXPECT_EQ(settings.codec, VideoCodec::H264);
    }
}

TEST(VideoOptions, NamedCodecsInAnyCase) {
    for (const VideoCodecInfo& info : videoCodecTable()) {
        if (!info.inAvi || !videoCodecAvailable(info.codec))
            continue;
        std::string upper(info.name);
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        VideoSettings settings{VideoContainer::Mp4, VideoCodec::H264};
        std::string error;
        ASSERT_TRUE(videoSettingsFromOptions("avi", upper, settings, error)) << error;
        EXPECT_EQ(settings.codec, info.codec);
        EXPECT_EQ(settings.container, VideoContainer::Avi);
    }
}

TEST(VideoOptions, RefusesUnknownNamesAndMisfits) {
    VideoSettings settings{VideoContainer::Avi, VideoCodec::Ffv1};
    std::string error;
    EXPECT_FALSE(videoSettingsFromOptions("png", "", settings, error));
    EXPECT_NE(error.find("png"), std::string::npos);
    EXPECT_FALSE(videoSettingsFromOptions("avi", "divx", settings, error));
    EXPECT_NE(error.find("dib|mjpeg|ffv1|h264"), std::string::npos) << error;
    EXPECT_FALSE(videoSettingsFromOptions("mp4", "dib", settings, error));
    EXPECT_FALSE(videoSettingsFromOptions("mp4", "ffv1", settings, error));
    EXPECT_NE(error.find("MP4"), std::string::npos) << error;
    // A refused request leaves the settings as they were.
    EXPECT_EQ(settings.codec, VideoCodec::Ffv1);
    EXPECT_EQ(settings.container, VideoContainer::Avi);
}

TEST(VideoCodecs, UncompressedAndLosslessChoicesAlwaysExist) {
    EXPECT_TRUE(videoCodecAvailable(VideoCodec::Dib));
    EXPECT_TRUE(videoCodecAvailable(VideoCodec::Ffv1));
    EXPECT_TRUE(videoCodecAvailable(VideoCodec::Mjpeg));
    EXPECT_EQ(videoCodecByName("FfV1"), VideoCodec::Ffv1);
    EXPECT_EQ(videoCodecByName("ffv"), std::nullopt);
}

} // namespace
} // namespace vortimax
