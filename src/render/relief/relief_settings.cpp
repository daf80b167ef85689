#include "render/relief/relief_settings.h"

#include "model/fractal_record.h"

#include <algorithm>
#include <vector>

namespace vortimax {

namespace {

int channel(const ConstBlockRef& block, std::string_view key) {
    return std::clamp(block.integer(key), 0, 255);
}

NaturalSpline knotCurve(const FractalRecord& record) {
    const ConstBlockRef block = record.settings3D();
    std::vector<double> xs, ys;
    for (int k = 1; k <= 20; ++k) {
        const double x = block.real("Knotx" + std::to_string(k));
        if (!(x >= kUnusedKnot))
            break;
        xs.push_back(x);
        ys.push_back(block.real("Knoty" + std::to_string(k)));
    }
    return NaturalSpline(std::move(xs), std::move(ys));
}

} // namespace

ReliefSettings readReliefSettings(const FractalRecord& record) {
    const ConstBlockRef b = record.settings3D();
    ReliefSettings s;
    s.observerAngle = b.real("ObserverVAngle");
    s.yStretch = b.real("YStretch");
    s.upDown = b.real("UpDown");
    s.frontMult = b.real("FrontMult");
    s.backMult = b.real("BackMult");
    s.background[0] = channel(b, "Backgroundred");
    s.background[1] = channel(b, "Backgroundgreen");
    s.background[2] = channel(b, "Backgroundblue");
    s.lightHAngle = b.real("LightHAngle");
    s.lightVAngle = b.real("LightVAngle");
    s.diffuse = b.real("Diffuse");
    s.ambient = b.real("Ambient");
    s.reflection = b.real("Reflection");
    s.fixedColour = b.integer("Drawmode") != 0;
    s.smooth = b.integer("Smooth") != 0;
    s.base[0] = channel(b, "ColorRed");
    s.base[1] = channel(b, "ColorGreen");
    s.base[2] = channel(b, "ColorBlue");
    s.saturation = b.real("Saturation");
    s.value = b.real("Value");
    s.intensity = b.real("Intensity");
    s.overlay = b.integer("Overlay") != 0;
    s.overlayType = b.integer("OvlType");
    s.overlayName = b.text("OvlName");
    s.overlayFactor1 = b.real("OvlFactor1");
    s.overlayFactor2 = b.real("OvlFactor2");
    return s;
}

HeightCurve::HeightCurve(const FractalRecord& record)
    : spline_(knotCurve(record)), identity_(spline_.size() == 0) {}

HeightTransfer::HeightTransfer(const FractalRecord& record, const ReliefSettings& settings,
                               int rows)
    : curve_(record), front_(settings.frontMult), back_(settings.backMult),
      upDown_(settings.upDown), lastRow_(rows - 1) {}

double HeightTransfer::operator()(double height, int row) const {
    const double t = lastRow_ > 0 ? static_cast<double>(row) / lastRow_ : 0.0;
    return ((1.0 - t) * front_ + t * back_) * (curve_(height) + upDown_);
}

} // namespace vortimax
