#include "ui/tool_windows/video_compression_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTimer>
#include <gtest/gtest.h>

namespace vortimax {
namespace {

using ui::VideoCompressionDialog;

QComboBox* combo(const QDialog& dialog, const char* name) {
    return dialog.findChild<QComboBox*>(QString::fromLatin1(name));
}

bool rowEnabled(QComboBox* box, VideoCodec codec) {
    const auto table = videoCodecTable();
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i].codec == codec)
            return static_cast<QStandardItemModel*>(box->model())
                ->item(static_cast<int>(i))
                ->isEnabled();
    return false;
}

TEST(VideoCompressionDialog, ListsEveryCodecAndEnablesWhatTheFormatTakes) {
    VideoCompressionDialog dialog({VideoContainer::Avi, VideoCodec::Ffv1}, nullptr);
    QComboBox* format = combo(dialog, "Format");
    QComboBox* codec = combo(dialog, "Codec");
    ASSERT_NE(format, nullptr);
    ASSERT_NE(codec, nullptr);
    ASSERT_EQ(codec->count(), static_cast<int>(videoCodecTable().size()));
    EXPECT_EQ(codec->itemText(0).toStdString(), videoCodecTable()[0].label);
    EXPECT_EQ(dialog.settings().codec, VideoCodec::Ffv1);
    for (const VideoCodec c : {VideoCodec::Dib, VideoCodec::Mjpeg, VideoCodec::Ffv1})
        EXPECT_TRUE(rowEnabled(codec, c));
    EXPECT_EQ(rowEnabled(codec, VideoCodec::H264), videoCodecAvailable(VideoCodec::H264));

    // MP4 holds H.264 only: the lossless choice gives way to it.
    format->setCurrentIndex(1);
    EXPECT_EQ(dialog.settings().container, VideoContainer::Mp4);
    EXPECT_EQ(dialog.settings().codec, VideoCodec::H264);
    for (const VideoCodec c : {VideoCodec::Dib, VideoCodec::Mjpeg, VideoCodec::Ffv1})
        EXPECT_FALSE(rowEnabled(codec, c));
    QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    EXPECT_EQ(ok->isEnabled(), videoCodecAvailable(VideoCodec::H264));

    // Back to AVI: H.264 stays chosen (it fits), the others come back.
    format->setCurrentIndex(0);
    EXPECT_TRUE(rowEnabled(codec, VideoCodec::Dib));
    EXPECT_EQ(dialog.settings().container, VideoContainer::Avi);
}

TEST(VideoCompressionDialog, StartsFromTheGivenSettingsAndTellsLossless) {
    VideoCompressionDialog dialog({VideoContainer::Avi, VideoCodec::Mjpeg}, nullptr);
    EXPECT_EQ(combo(dialog, "Codec")->currentText().toStdString(),
              videoCodecInfo(VideoCodec::Mjpeg).label);
    QLabel* note = dialog.findChild<QLabel*>(QStringLiteral("Note"));
    ASSERT_NE(note, nullptr);
    const QString lossy = note->text();
    combo(dialog, "Codec")->setCurrentIndex(0); // uncompressed
    EXPECT_NE(note->text(), lossy);
    EXPECT_EQ(dialog.settings().codec, VideoCodec::Dib);
}

// Cancelling gives no settings (the animation then stops without a message); OK gives
// the choice.
TEST(VideoCompressionDialog, AskAnswersWithTheChoiceOrNothing) {
    const auto answer = [](bool accept) {
        QTimer::singleShot(0, [accept] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* dialog = dynamic_cast<VideoCompressionDialog*>(w);
                if (dialog == nullptr || !dialog->isVisible())
                    continue;
                combo(*dialog, "Codec")->setCurrentIndex(2);
                accept ? dialog->accept() : dialog->reject();
            }
        });
        return VideoCompressionDialog::ask({VideoContainer::Avi, VideoCodec::Dib}, nullptr);
    };
    EXPECT_EQ(answer(false), std::nullopt);
    const std::optional<VideoSettings> chosen = answer(true);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->codec, videoCodecTable()[2].codec);
    EXPECT_EQ(chosen->container, VideoContainer::Avi);
}

} // namespace
} // namespace vortimax
