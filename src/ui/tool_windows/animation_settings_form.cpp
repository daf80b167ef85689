#include "ui/tool_windows/animation_settings_form.h"

#include "model/image_buffers.h"
#include "ui/qt_text.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <climits>

namespace vortimax::ui {

namespace {

constexpr int kMostFramesPerSecond = 120;

std::string textOf(const QLineEdit* edit, std::size_t length) {
    return fitAnimText(toStdString(edit->text()), length);
}

} // namespace

AnimationSettingsForm::AnimationSettingsForm(std::function<void(const AnimData&)> edited,
                                             QWidget* parent)
    : QWidget(parent), edited_(std::move(edited)) {
    width_ = number("Width", 1, kMaxImageSide);
    height_ = number("Height", 1, kMaxImageSide);
    interpolation_ = choice("Interpolation", {"Linear", "Spline"});
    dimension_ = choice("Dimension", {"2D", "3D"});
    startFrame_ = number("StartFrame", 1, INT_MAX);
    endFrame_ = number("EndFrame", 0, INT_MAX);
    endFrame_->setSpecialValueText(tr("last"));
    saveMode_ = choice("SaveMode", {"PNG files", "AVI video", "MP4 video"});
    framesPerSecond_ = number("FPS", 1, kMostFramesPerSecond);
    name_ = text("Name", kAnimNameLength);
    author_ = text("Author", kAnimAuthorLength);
    address_ = text("Address", kAnimAddressLength);
    date_ = text("Date", kAnimDateLength);
    comment_ = text("Comment", kAnimCommentLength);
    copyright_ = text("Copyright", kAnimCopyrightLength);
    suggestion_ = text("Suggestion", kAnimSuggestionLength);

    auto* layout = new QFormLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addRow(tr("Name"), name_);
    layout->addRow(tr("Width"), width_);
    layout->addRow(tr("Height"), height_);
    layout->addRow(tr("Interpolation"), interpolation_);
    layout->addRow(tr("Dimension"), dimension_);
    layout->addRow(tr("Start frame"), startFrame_);
    layout->addRow(tr("End frame"), endFrame_);
    layout->addRow(tr("Save as"), saveMode_);
    layout->addRow(tr("Frames/s"), framesPerSecond_);
    layout->addRow(tr("Author"), author_);
    layout->addRow(tr("Address"), address_);
    layout->addRow(tr("Date"), date_);
    layout->addRow(tr("Comment"), comment_);
    layout->addRow(tr("Copyright"), copyright_);
    layout->addRow(tr("Suggestion"), suggestion_);
}

QSpinBox* AnimationSettingsForm::number(const char* name, int low, int high) {
    auto* box = new QSpinBox(this);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(low, high);
    box->setKeyboardTracking(false);
    connect(box, &QSpinBox::valueChanged, this, [this] { changed(); });
    return box;
}

QComboBox* AnimationSettingsForm::choice(const char* name,
                                         std::initializer_list<const char*> items) {
    auto* box = new QComboBox(this);
    box->setObjectName(QString::fromLatin1(name));
    for (const char* item : items)
        box->addItem(tr(item));
    connect(box, &QComboBox::currentIndexChanged, this, [this] { changed(); });
    return box;
}

QLineEdit* AnimationSettingsForm::text(const char* name, std::size_t length) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(static_cast<int>(length) - 1);
    connect(edit, &QLineEdit::editingFinished, this, [this] { changed(); });
    return edit;
}

void AnimationSettingsForm::show(const AnimData& data) {
    shown_ = data;
    const QSignalBlocker blockers[] = {
        QSignalBlocker(width_),         QSignalBlocker(height_),
        QSignalBlocker(interpolation_), QSignalBlocker(dimension_),
        QSignalBlocker(startFrame_),    QSignalBlocker(endFrame_),
        QSignalBlocker(saveMode_),      QSignalBlocker(framesPerSecond_),
    };
    width_->setValue(data.width);
    height_->setValue(data.height);
    interpolation_->setCurrentIndex(data.spline() ? 1 : 0);
    dimension_->setCurrentIndex(data.dimension != 0 ? 1 : 0);
    startFrame_->setValue(data.startFrame);
    endFrame_->setValue(std::max(0, data.endFrame));
    saveMode_->setCurrentIndex(std::clamp(data.saveMode, 0, 2));
    framesPerSecond_->setValue(data.framesPerSecond);
    const std::pair<QLineEdit*, const std::string*> texts[] = {
        {name_, &data.name},
        {author_, &data.author},
        {address_, &data.address},
        {date_, &data.date},
        {comment_, &data.comment},
        {copyright_, &data.copyright},
        {suggestion_, &data.suggestion},
    };
    for (const auto& [edit, value] : texts)
        if (toStdString(edit->text()) != *value)
            edit->setText(toQString(*value));
}

AnimData AnimationSettingsForm::data() const {
    AnimData data = shown_;
    data.width = width_->value();
    data.height = height_->value();
    data.interpolation = interpolation_->currentIndex();
    data.dimension = dimension_->currentIndex();
    data.startFrame = startFrame_->value();
    data.endFrame = endFrame_->value() < 1 ? -1 : endFrame_->value();
    data.saveMode = saveMode_->currentIndex();
    data.framesPerSecond = framesPerSecond_->value();
    data.name = textOf(name_, kAnimNameLength);
    data.author = textOf(author_, kAnimAuthorLength);
    data.address = textOf(address_, kAnimAddressLength);
    data.date = textOf(date_, kAnimDateLength);
    data.comment = textOf(comment_, kAnimCommentLength);
    data.copyright = textOf(copyright_, kAnimCopyrightLength);
    data.suggestion = textOf(suggestion_, kAnimSuggestionLength);
    return data;
}

void AnimationSettingsForm::changed() {
    shown_ = data();
    edited_(shown_);
}

} // namespace vortimax::ui
