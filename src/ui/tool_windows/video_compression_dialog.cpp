#include "ui/tool_windows/video_compression_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QVBoxLayout>
#include <algorithm>

namespace vortimax::ui {
namespace {

QString qtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool selectable(VideoCodec codec, VideoContainer container) {
    return videoCodecFitsContainer(codec, container) && videoCodecAvailable(codec);
}

int rowOf(VideoCodec codec) {
    const auto table = videoCodecTable();
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i].codec == codec)
            return static_cast<int>(i);
    return 0;
}

} // namespace

VideoCompressionDialog::VideoCompressionDialog(const VideoSettings& initial, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Video compression"));
    format_ = new QComboBox(this);
    format_->setObjectName(QStringLiteral("Format"));
    format_->addItem(QStringLiteral("AVI"));
    format_->addItem(QStringLiteral("MP4"));
    codec_ = new QComboBox(this);
    codec_->setObjectName(QStringLiteral("Codec"));
    for (const VideoCodecInfo& info : videoCodecTable())
        codec_->addItem(qtText(info.label));
    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("Note"));

    auto* form = new QFormLayout;
    form->addRow(tr("File format:"), format_);
    form->addRow(tr("Compressor:"), codec_);
    form->addRow(QString(), note_);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

    format_->setCurrentIndex(initial.container == VideoContainer::Avi ? 0 : 1);
    codec_->setCurrentIndex(rowOf(initial.codec));
    formatChanged();
    connect(format_, &QComboBox::currentIndexChanged, this, [this] { formatChanged(); });
    connect(codec_, &QComboBox::currentIndexChanged, this, [this] { codecChanged(); });
}

VideoContainer VideoCompressionDialog::container() const {
    return format_->currentIndex() == 1 ? VideoContainer::Mp4 : VideoContainer::Avi;
}

// Enables the codecs the format can take and moves a choice it cannot to its default.
void VideoCompressionDialog::formatChanged() {
    auto* model = static_cast<QStandardItemModel*>(codec_->model());
    const auto table = videoCodecTable();
    for (std::size_t i = 0; i < table.size(); ++i)
        model->item(static_cast<int>(i))->setEnabled(selectable(table[i].codec, container()));
    if (!selectable(settings().codec, container()))
        codec_->setCurrentIndex(rowOf(defaultVideoCodec(container())));
    codecChanged();
}

void VideoCompressionDialog::codecChanged() {
    const VideoSettings chosen = settings();
    const bool usable = selectable(chosen.codec, chosen.container);
    note_->setText(!usable                                 ? tr("Not available in this build")
                   : videoCodecInfo(chosen.codec).lossless ? tr("Lossless: every frame exact")
                                                           : tr("Lossy: smaller files"));
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(usable);
}

VideoSettings VideoCompressionDialog::settings() const {
    const auto table = videoCodecTable();
    const int row = std::clamp(codec_->currentIndex(), 0, static_cast<int>(table.size()) - 1);
    return {container(), table[static_cast<std::size_t>(row)].codec};
}

std::optional<VideoSettings> VideoCompressionDialog::ask(const VideoSettings& initial,
                                                         QWidget* parent) {
    VideoCompressionDialog dialog(initial, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.settings();
}

} // namespace vortimax::ui
