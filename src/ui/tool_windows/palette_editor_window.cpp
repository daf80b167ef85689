#include "ui/tool_windows/palette_editor_window.h"

#include "app/application.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"
#include "ui/tool_windows/knot_curve_widget.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace vortimax::ui {

namespace {

constexpr int kPaletteEditorWindowId = 240;
constexpr const char* kChannelNames[3] = {"Red", "Green", "Blue"};
const QString kPlaceholder = QStringLiteral("---");

} // namespace

PaletteEditorWindow::PaletteEditorWindow(UiContext& context, QWidget* parent)
    : ToolWindow(context, kPaletteEditorWindowId, parent) {
    setWindowTitle(tr("Palette Editor"));
    editing_.rebuilt = [this] { paletteRebuilt(); };
    auto* layout = new QGridLayout(this);
    auto* readouts = new QHBoxLayout;
    for (std::size_t c = 0; c < 3; ++c) {
        const QString name = QString::fromLatin1(kChannelNames[c]);
        auto* curve = new KnotCurveWidget(editing_, static_cast<Channel>(c), this);
        curve->setObjectName(name);
        curve->hovered = [this](std::optional<double> position) { showReadout(position); };
        curves_[c] = curve;
        layout->addWidget(new QLabel(tr(kChannelNames[c]), this), static_cast<int>(c), 0);
        layout->addWidget(curve, static_cast<int>(c), 1);
        readout_[c] = new QLabel(kPlaceholder, this);
        readout_[c]->setObjectName(QStringLiteral("Value") + name);
        readout_[c]->setMinimumWidth(40);
        readouts->addWidget(new QLabel(name + QLatin1Char(':'), this));
        readouts->addWidget(readout_[c]);
    }
    errorLimit_ = new QDoubleSpinBox(this);
    errorLimit_->setObjectName(QStringLiteral("Error"));
    errorLimit_->setRange(0.0, 255.0);
    errorLimit_->setDecimals(3);
    errorLimit_->setValue(PaletteEditing::kDefaultErrorLimit);
    connect(errorLimit_, &QDoubleSpinBox::valueChanged, this,
            [this](double limit) { editing_.errorLimit = limit; });
    auto* cleanUpButton = new QPushButton(tr("Clean Up"), this);
    cleanUpButton->setObjectName(QStringLiteral("CleanUp"));
    connect(cleanUpButton, &QPushButton::clicked, this, &PaletteEditorWindow::cleanUp);
    readouts->addStretch();
    readouts->addWidget(new QLabel(tr("Error"), this));
    readouts->addWidget(errorLimit_);
    readouts->addWidget(cleanUpButton);
    layout->addLayout(readouts, 3, 0, 1, 2);
}

// The working palette at the active fractal's offset, unless a knot is being dragged or
// Clean Up is under way.
void PaletteEditorWindow::refresh() {
    if (cleaningUp_)
        return;
    for (KnotCurveWidget* curve : curves_)
        if (curve->dragging())
            return;
    Application& app = context_.app;
    editing_.attach(&app.workingPalette(), app.colourCycling().currentOffset(app.currentFractal()));
    setWindowTitle(tr("Palette Editor") + QStringLiteral(" - ") +
                   toQString(editing_.palette()->name()));
    for (KnotCurveWidget* curve : curves_)
        curve->update();
}

void PaletteEditorWindow::showReadout(std::optional<double> position) {
    const std::optional<Rgb> colour = position ? editing_.colourAtScreen(*position) : std::nullopt;
    const int values[3] = {colour ? colour->red : 0, colour ? colour->green : 0,
                           colour ? colour->blue : 0};
    for (std::size_t c = 0; c < 3; ++c)
        readout_[c]->setText(colour ? QString::number(values[c]) : kPlaceholder);
}

void PaletteEditorWindow::paletteRebuilt() {
    context_.app.showCurrentPalette();
    for (KnotCurveWidget* curve : curves_)
        curve->update();
}

void PaletteEditorWindow::cleanUp() {
    cleaningUp_ = true;
    editing_.cleanUp(context_.app.frontend());
    cleaningUp_ = false;
    refresh();
}

} // namespace vortimax::ui
