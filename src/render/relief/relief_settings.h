#pragma once

#include "base/natural_spline.h"

#include <string>

namespace vortimax {

class FractalRecord;

// The 3D settings of a fractal, read once per rendering. Colour channels are held to
// 0 ... 255 (the parameter tables allow 256).
struct ReliefSettings {
    double observerAngle = 30.0; // degrees
    double yStretch = 1.6;
    double upDown = 0.0;
    double frontMult = 1.2;
    double backMult = 1.2;
    int background[3] = {0, 0, 0}; // red, green, blue
    double lightHAngle = 10.0;
    double lightVAngle = 45.0;
    double diffuse = 0.8;
    double ambient = 0.2;
    double reflection = 2.0;
    bool fixedColour = true; // Drawmode 1
    bool smooth = false;
    int base[3] = {255, 255, 255};
    double saturation = 0.0;
    double value = 100.0;
    double intensity = 1.0;
    bool overlay = false;
    int overlayType = 0;
    std::string overlayName;
    double overlayFactor1 = 1.0;
    double overlayFactor2 = 0.0;
};
ReliefSettings readReliefSettings(const FractalRecord& record);

// Knots whose x lies below this mark are unused.
constexpr double kUnusedKnot = -1000000000.0;

// The height transfer curve through the leading used knots. With no used knot the
// transfer is the identity.
class HeightCurve {
public:
    explicit HeightCurve(const FractalRecord& record);
    double operator()(double height) const { return identity_ ? height : spline_(height); }

private:
    NaturalSpline spline_;
    bool identity_;
};

// Height transfer of one fractal: the curve, then the depth-dependent factor running
// from FrontMult at the front row (0) to BackMult at the back row, applied to the curve
// value plus UpDown.
class HeightTransfer {
public:
    HeightTransfer(const FractalRecord& record, const ReliefSettings& settings, int rows);
    double operator()(double height, int row) const;

private:
    HeightCurve curve_;
    double front_, back_, upDown_;
    int lastRow_; // a single row is the front row
};

} // namespace vortimax
