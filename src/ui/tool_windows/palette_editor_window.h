#pragma once

#include "palette/palette_editing.h"
#include "ui/tool_window.h"

#include <array>
#include <optional>

class QDoubleSpinBox;
class QLabel;

namespace vortimax::ui {

class KnotCurveWidget;

// "Palette Editor": the current palette as three channel curves following the active
// fractal's palette offset. Every edit of a curve is applied to the active fractal at
// once. "Clean Up" removes the knots the curves do not need, within the error limit
// ("Error") silently, beyond it after a question per knot.
class PaletteEditorWindow final : public ToolWindow {
public:
    PaletteEditorWindow(UiContext& context, QWidget* parent);
    void refresh() override;

    PaletteEditing& editing() { return editing_; }
    KnotCurveWidget& curve(Channel channel) { return *curves_[static_cast<std::size_t>(channel)]; }

private:
    void showReadout(std::optional<double> position);
    void paletteRebuilt();
    void cleanUp();

    PaletteEditing editing_;
    std::array<KnotCurveWidget*, 3> curves_{};
    std::array<QLabel*, 3> readout_{};
    QDoubleSpinBox* errorLimit_;
    // While Clean Up waits for an answer the curves must stay as they are: the knot it
    // asks about is known by its index.
    bool cleaningUp_ = false;
};

} // namespace vortimax::ui
