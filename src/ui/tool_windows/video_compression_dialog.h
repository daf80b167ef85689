#pragma once

#include "video/video_options.h"

#include <QDialog>
#include <optional>

class QComboBox;
class QDialogButtonBox;
class QLabel;

namespace vortimax::ui {

// Asks how an animation's video is written: the file format and the codec. Codecs the
// format cannot hold, or whose encoder this FFmpeg lacks, are listed but cannot be chosen.
class VideoCompressionDialog final : public QDialog {
public:
    VideoCompressionDialog(const VideoSettings& initial, QWidget* parent);

    VideoSettings settings() const;

    // Shows the dialog; no value when it was cancelled.
    static std::optional<VideoSettings> ask(const VideoSettings& initial, QWidget* parent);

private:
    void formatChanged();
    void codecChanged();
    VideoContainer container() const;

    QComboBox* format_ = nullptr;
    QComboBox* codec_ = nullptr;
    QLabel* note_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

} // namespace vortimax::ui
