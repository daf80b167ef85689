#include "render/colour/colour_mapping.h"

#include "model/type_registry.h"
#include "render/colour/record_numbers.h"

#include <array>

namespace vortimax {

namespace {

// WhenBlack reads the record's inside rule; AsPlainImage follows the escape-time kernel,
// which takes the black rule when the record has none (the Tierazon types draw inside
// pixels as in the plain image of the same subtype).
enum class InsideRule { Never, Always, WhenBlack, AsPlainImage };

// Which types paint inside points with the reserved colours, by type id.
constexpr std::array<InsideRule, kFractalTypeCount> kInsideRules = {
    InsideRule::WhenBlack,    // Julia24
    InsideRule::WhenBlack,    // Mandel24
    InsideRule::WhenBlack,    // Julia
    InsideRule::WhenBlack,    // Mandel
    InsideRule::Never,        // Formula
    InsideRule::Always,       // Lyapunov
    InsideRule::Never,        // Plasma
    InsideRule::Always,       // Bifurcation
    InsideRule::Never,        // dynamic system
    InsideRule::Never,        // L-system
    InsideRule::Never,        // IFS
    InsideRule::AsPlainImage, // Julia (Tiera)
    InsideRule::AsPlainImage, // Mandel (Tiera)
    InsideRule::Never,        // compound
};

constexpr int kInsideBlack = 0;

} // namespace

ColourParams colourParams(int colourModeType, double speed, double accel) {
    double effective = accel * 0.6;
    if (colourModeType == 1)
        effective = 2000.0 / std::exp(effective / 3.0 + 3.0);
    else if (colourModeType == 2)
        effective = 3000.0 / std::exp(effective - 1.0);
    return {speed, effective};
}

ColourRule colourRuleFor(int colourModeType) {
    constexpr std::array<ColourRule, 4> kRules = {ColourRule::Linear, ColourRule::Log,
                                                  ColourRule::Arctan, ColourRule::Sine};
    const bool known = colourModeType >= 0 && colourModeType < static_cast<int>(kRules.size());
    return known ? kRules[static_cast<std::size_t>(colourModeType)] : ColourRule::Linear;
}

bool insideUsesReservedColour(const FractalRecord& record) {
    if (record.type >= kFractalTypeCount)
        return false;
    switch (kInsideRules[record.type]) {
    case InsideRule::Always:
        return true;
    case InsideRule::WhenBlack:
        return recordNumber(record, "Inside") == kInsideBlack;
    case InsideRule::AsPlainImage:
        return recordNumberOr(record, "Inside", kInsideBlack) == kInsideBlack;
    default:
        return false;
    }
}

ColourSettings readColourSettings(const FractalRecord& record) {
    ColourSettings s;
    s.type = static_cast<int>(recordNumberOr(record, "ColormodeType", s.type));
    s.speed = recordNumberOr(record, "ColormodeSpeed", s.speed);
    s.accel = recordNumberOr(record, "ColormodeAccel", s.accel);
    s.smoothing = recordNumberOr(record, "ColorSmoothing", s.smoothing);
    s.reservedInside = insideUsesReservedColour(record);
    return s;
}

PaletteMapping::PaletteMapping(const ColourSettings& settings)
    : rule_(colourRuleFor(settings.type)), reservedInside_(settings.reservedInside),
      smooth_(settings.smoothing > 0.0) {
    const ColourParams params = colourParams(settings.type, settings.speed, settings.accel);
    invSpeed_ = 1.0 / params.speed;
    invAccel_ = 1.0 / params.accel;
    accelSpeed_ = params.accel * params.speed;
    accel251_ = params.accel * (kCycleColours - 1);
    quantum_ = smooth_ ? settings.smoothing : 1.0;
    invQuantum_ = 1.0 / quantum_;
}

double PaletteMapping::position(double v) const {
    switch (rule_) {
    case ColourRule::Log:
        return position<ColourRule::Log>(v);
    case ColourRule::Arctan:
        return position<ColourRule::Arctan>(v);
    case ColourRule::Sine:
        return position<ColourRule::Sine>(v);
    default:
        return position<ColourRule::Linear>(v);
    }
}

double PaletteMapping::wrapSlowly(double q) {
    if (!std::isfinite(q))
        return kNonFinitePosition;
    double r = std::fmod(q, static_cast<double>(kCycleColours));
    if (r < 0.0)
        r += kCycleColours;
    return r < kCycleColours ? r : kNonFinitePosition;
}

} // namespace vortimax
