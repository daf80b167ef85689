#include "ui/tool_windows/colour_cycling_window.h"

#include "app/application.h"
#include "palette/knot_curve.h"
#include "ui/main_window.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QSignalBlocker>
#include <QSlider>

namespace vortimax::ui {

namespace {

constexpr int kColourCyclingWindowId = 660;
constexpr double kMaxSpeed = 1000.0;
constexpr double kMaxStep = 251.0;

QDoubleSpinBox* numberField(QWidget* parent, const char* name, double low, double high) {
    auto* field = new QDoubleSpinBox(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setRange(low, high);
    field->setDecimals(2);
    field->setKeyboardTracking(false);
    return field;
}

} // namespace

ColourCyclingWindow::ColourCyclingWindow(UiContext& context, QWidget* parent)
    : ToolWindow(context, kColourCyclingWindowId, parent) {
    setWindowTitle(tr("Colorcycling"));
    cycle_ = new QCheckBox(tr("Cycle colors"), this);
    cycle_->setObjectName(QStringLiteral("Cycle"));
    upwards_ = new QCheckBox(tr("Cycle upwards"), this);
    upwards_->setObjectName(QStringLiteral("Upwards"));
    speed_ = numberField(this, "Speed", 0.01, kMaxSpeed);
    step_ = numberField(this, "Step", 0.0, kMaxStep);
    offset_ = new QSlider(Qt::Horizontal, this);
    offset_->setObjectName(QStringLiteral("Offset"));
    offset_->setRange(0, static_cast<int>(kPaletteColours) - 1);

    auto* layout = new QFormLayout(this);
    layout->addRow(cycle_);
    layout->addRow(upwards_);
    layout->addRow(tr("Speed"), speed_);
    layout->addRow(tr("Step"), step_);
    layout->addRow(tr("Offset"), offset_);

    connect(cycle_, &QCheckBox::toggled, this, [this] { settingsEdited(); });
    connect(upwards_, &QCheckBox::toggled, this, [this] { settingsEdited(); });
    connect(speed_, &QDoubleSpinBox::valueChanged, this, [this] { settingsEdited(); });
    connect(step_, &QDoubleSpinBox::valueChanged, this, [this] { settingsEdited(); });
    connect(offset_, &QSlider::valueChanged, this, &ColourCyclingWindow::offsetMoved);
}

void ColourCyclingWindow::refresh() {
    Application& app = context_.app;
    app.followColourCycling();
    const ColourCyclingSettings& settings = app.colourCycling().settings;
    const QSignalBlocker blockers[] = {QSignalBlocker(cycle_), QSignalBlocker(upwards_),
                                       QSignalBlocker(speed_), QSignalBlocker(step_),
                                       QSignalBlocker(offset_)};
    cycle_->setChecked(settings.on);
    upwards_->setChecked(settings.upwards);
    speed_->setValue(settings.speed);
    step_->setValue(settings.step);
    offset_->setValue(
        roundedPaletteOffset(app.colourCycling().currentOffset(app.currentFractal())));
}

void ColourCyclingWindow::settingsEdited() {
    ColourCyclingSettings settings;
    settings.on = cycle_->isChecked();
    settings.upwards = upwards_->isChecked();
    settings.speed = speed_->value();
    settings.step = step_->value();
    context_.app.changeColourCycling(settings);
}

void ColourCyclingWindow::offsetMoved(int offset) {
    Application& app = context_.app;
    app.colourCycling().setOffset(app.currentFractal(), offset);
    app.showCurrentPalette();
    if (ToolWindow* editor = context_.main.findToolWindow("PALEDIT"))
        editor->refresh();
}

} // namespace vortimax::ui
