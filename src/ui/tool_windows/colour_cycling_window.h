#pragma once

#include "ui/tool_window.h"

class QCheckBox;
class QDoubleSpinBox;
class QSlider;

namespace vortimax::ui {

// "Colorcycle": switches colour cycling on and off and sets its direction, speed (steps
// per second) and step (palette positions per step); the slider shows and sets the
// palette offset of the active fractal. The settings are those of the active fractal
// (see ColourCycling).
class ColourCyclingWindow final : public ToolWindow {
public:
    ColourCyclingWindow(UiContext& context, QWidget* parent);
    void refresh() override;

private:
    void settingsEdited();
    void offsetMoved(int offset);

    QCheckBox* cycle_;
    QCheckBox* upwards_;
    QDoubleSpinBox* speed_;
    QDoubleSpinBox* step_;
    QSlider* offset_;
};

} // namespace vortimax::ui
