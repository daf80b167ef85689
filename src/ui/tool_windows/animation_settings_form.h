#pragma once

#include "animation/anim_data.h"

#include <QWidget>
#include <functional>

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace vortimax::ui {

// The settings of one animation: frame size, interpolation, dimension, the frames to make,
// where they go (PNG files, AVI or MP4 video) at which pace, its name and descriptive
// texts. Every edit is handed on whole through the `edited` callback.
class AnimationSettingsForm final : public QWidget {
public:
    AnimationSettingsForm(std::function<void(const AnimData&)> edited, QWidget* parent);

    // Shows `data` without reporting it as an edit.
    void show(const AnimData& data);
    AnimData data() const;

private:
    QSpinBox* number(const char* name, int low, int high);
    QComboBox* choice(const char* name, std::initializer_list<const char*> items);
    QLineEdit* text(const char* name, std::size_t length);
    void changed();

    std::function<void(const AnimData&)> edited_;
    AnimData shown_;
    QSpinBox* width_;
    QSpinBox* height_;
    QComboBox* interpolation_;
    QComboBox* dimension_;
    QSpinBox* startFrame_;
    QSpinBox* endFrame_;
    QComboBox* saveMode_;
    QSpinBox* framesPerSecond_;
    QLineEdit* name_;
    QLineEdit* author_;
    QLineEdit* address_;
    QLineEdit* date_;
    QLineEdit* comment_;
    QLineEdit* copyright_;
    QLineEdit* suggestion_;
};

} // namespace vortimax::ui
