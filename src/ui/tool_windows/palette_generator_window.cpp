#include "ui/tool_windows/palette_generator_window.h"

#include "app/application.h"
#include "palette/generator_commands.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <cmath>

namespace vortimax::ui {

namespace {

constexpr int kPaletteGeneratorWindowId = 800;
constexpr double kFieldRange = 10000.0;
constexpr int kSliderRange = 510; // the slider covers the common values; the number any
constexpr std::string_view kGeneratorCaption = "Palette generator";

// What the thirteen fields mean in each mode; empty: the mode does not use the field.
using FieldNames = std::array<const char*, kGeneratorParameters>;
constexpr FieldNames kFieldNames[] = {
    {"Red start", "Red step", "Green start", "Green step", "Blue start", "Blue step", "", "", "",
     "", "", "", ""},
    {"Offset", "Length 1", "Amplitude 1", "Length 2", "Amplitude 2", "Length 3", "Amplitude 3",
     "Length 4", "Amplitude 4", "Length 5", "Amplitude 5", "Length 6", "Amplitude 6"},
    {"Constant", "Cos 1", "Cos 2", "Cos 3", "Sin 1", "Sin 2", "Sin 3", "Cos 1 freq.", "Cos 2 freq.",
     "Cos 3 freq.", "Sin 1 freq.", "Sin 2 freq.", "Sin 3 freq."},
    {"", "", "", "", "", "", "", "", "", "", "", "", ""},
};

} // namespace

PaletteGeneratorWindow::PaletteGeneratorWindow(UiContext& context, QWidget* parent)
    : ToolWindow(context, kPaletteGeneratorWindowId, parent),
      seed_(static_cast<std::uint32_t>(QDateTime::currentMSecsSinceEpoch())) {
    setWindowTitle(tr("Make Map Window"));
    auto* layout = new QGridLayout(this);
    mode_ = new QComboBox(this);
    mode_->setObjectName(QStringLiteral("Mode"));
    mode_->addItems({tr("Start/Step"), tr("Sine"), tr("Fourier"), tr("Random")});
    component_ = new QComboBox(this);
    component_->setObjectName(QStringLiteral("Component"));
    component_->addItems({tr("Red"), tr("Green"), tr("Blue")});
    layout->addWidget(mode_, 0, 0, 1, 2);
    layout->addWidget(component_, 0, 2);
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        Field& field = fields_[i];
        field.label = new QLabel(this);
        field.number = new QDoubleSpinBox(this);
        field.number->setObjectName(QStringLiteral("P%1").arg(i));
        field.number->setRange(-kFieldRange, kFieldRange);
        field.number->setDecimals(3);
        field.number->setKeyboardTracking(false);
        field.slider = new QSlider(Qt::Horizontal, this);
        field.slider->setRange(-kSliderRange, kSliderRange);
        const int row = static_cast<int>(i) + 1;
        layout->addWidget(field.label, row, 0);
        layout->addWidget(field.number, row, 1);
        layout->addWidget(field.slider, row, 2);
        connect(field.number, &QDoubleSpinBox::valueChanged, this,
                [this, i](double value) { fieldEdited(i, value); });
        connect(field.slider, &QSlider::valueChanged, this,
                [this, i](int value) { fields_[i].number->setValue(value); });
    }
    const int bottom = static_cast<int>(fields_.size()) + 1;
    realtime_ = new QCheckBox(tr("Realtime"), this);
    realtime_->setObjectName(QStringLiteral("Realtime"));
    entries_ = new QSpinBox(this);
    entries_->setObjectName(QStringLiteral("Entries"));
    entries_->setRange(1, kMaxSineSegments);
    layout->addWidget(realtime_, bottom, 0);
    layout->addWidget(new QLabel(tr("Entries"), this), bottom, 1);
    layout->addWidget(entries_, bottom, 2);
    auto* generate = new QPushButton(tr("Generate"), this);
    generate->setObjectName(QStringLiteral("Generate"));
    auto* applyButton = new QPushButton(tr("Apply"), this);
    applyButton->setObjectName(QStringLiteral("Apply"));
    layout->addWidget(generate, bottom + 1, 0);
    layout->addWidget(applyButton, bottom + 1, 2);
    refusal_ = new QLabel(this);
    refusal_->setObjectName(QStringLiteral("Refusal"));
    refusal_->setWordWrap(true);
    layout->addWidget(refusal_, bottom + 2, 0, 1, 3);

    connect(mode_, &QComboBox::currentIndexChanged, this, [this] { modeChosen(); });
    connect(component_, &QComboBox::currentIndexChanged, this, [this](int component) {
        settings_.component = component;
        showFields();
    });
    connect(realtime_, &QCheckBox::toggled, this, [this](bool on) { settings_.realtime = on; });
    connect(entries_, &QSpinBox::valueChanged, this, [this](int entries) {
        settings_.entries = entries;
        if (settings_.realtime)
            apply(false);
    });
    connect(generate, &QPushButton::clicked, this, &PaletteGeneratorWindow::generate);
    connect(applyButton, &QPushButton::clicked, this, [this] { apply(true); });
    showFields();
}

void PaletteGeneratorWindow::modeChosen() {
    settings_.mode = static_cast<GeneratorMode>(mode_->currentIndex());
    showFields();
}

// The fields show the parameters of the channel slot the mode addresses.
void PaletteGeneratorWindow::showFields() {
    const FieldNames& names = kFieldNames[static_cast<std::size_t>(settings_.mode)];
    const auto slot = static_cast<std::size_t>(settings_.fieldSlot());
    component_->setEnabled(settings_.mode != GeneratorMode::StartStep &&
                           settings_.mode != GeneratorMode::Random);
    entries_->setEnabled(settings_.mode == GeneratorMode::Sine);
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        Field& field = fields_[i];
        const bool used = names[i][0] != '\0';
        field.label->setText(used ? tr(names[i]) : QString());
        const QSignalBlocker numberBlock(field.number);
        const QSignalBlocker sliderBlock(field.slider);
        field.number->setValue(settings_.p[i][slot]);
        field.slider->setValue(static_cast<int>(std::lround(
            std::clamp(settings_.p[i][slot], double(-kSliderRange), double(kSliderRange)))));
        field.number->setEnabled(used);
        field.slider->setEnabled(used);
    }
}

void PaletteGeneratorWindow::fieldEdited(std::size_t field, double value) {
    settings_.p[field][static_cast<std::size_t>(settings_.fieldSlot())] = value;
    const QSignalBlocker block(fields_[field].slider);
    fields_[field].slider->setValue(static_cast<int>(
        std::lround(std::clamp(value, double(-kSliderRange), double(kSliderRange)))));
    if (settings_.realtime)
        apply(false);
}

void PaletteGeneratorWindow::generate() {
    Application& app = context_.app;
    auto made = generateNewPalette(app.palettes(), app.workingPalette(), settings_, seed_,
                                   app.currentFractal());
    if (const auto* refusal = std::get_if<std::string>(&made)) {
        refusal_->setText(toQString(*refusal));
        app.frontend().messageBox(kGeneratorCaption, *refusal, MessageButtons::Ok,
                                  MessageIcon::Warning);
        return;
    }
    showChangedPalette();
}

// Realtime changes report a refusal in the window only; the Apply button also asks.
void PaletteGeneratorWindow::apply(bool askOnRefusal) {
    Application& app = context_.app;
    if (auto refusal = generateInPlace(app.workingPalette(), settings_, seed_)) {
        refusal_->setText(toQString(*refusal));
        if (askOnRefusal)
            app.frontend().messageBox(kGeneratorCaption, *refusal, MessageButtons::Ok,
                                      MessageIcon::Warning);
        return;
    }
    showChangedPalette();
}

void PaletteGeneratorWindow::showChangedPalette() {
    refusal_->clear();
    context_.app.showCurrentPalette();
    context_.main.refreshAll();
}

} // namespace vortimax::ui
