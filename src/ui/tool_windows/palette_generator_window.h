#pragma once

#include "palette/palette_generator.h"
#include "ui/tool_window.h"

#include <array>
#include <cstdint>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QSlider;
class QSpinBox;

namespace vortimax::ui {

// "Make Map Window": fills a palette from formulas. "Generate" makes a new palette named
// "Random" from the current one, "Apply" fills the current palette itself, and with
// "Realtime" set every change of a field fills it at once.
class PaletteGeneratorWindow final : public ToolWindow {
public:
    PaletteGeneratorWindow(UiContext& context, QWidget* parent);
    void refresh() override {}

    const GeneratorSettings& settings() const { return settings_; }

private:
    struct Field {
        QLabel* label;
        QDoubleSpinBox* number;
        QSlider* slider;
    };

    void modeChosen();
    void fieldEdited(std::size_t field, double value);
    void showFields();
    void generate();
    void apply(bool askOnRefusal);
    void showChangedPalette();

    GeneratorSettings settings_;
    std::uint32_t seed_;
    QComboBox* mode_;
    QComboBox* component_;
    std::array<Field, kGeneratorParameters> fields_{};
    QCheckBox* realtime_;
    QSpinBox* entries_;
    QLabel* refusal_;
};

} // namespace vortimax::ui
