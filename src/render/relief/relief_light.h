#pragma once

namespace vortimax {

struct ReliefSettings;

// Directional lighting of the relief: diffuse and specular light seen by an observer
// looking from the front at the vertical angle of the settings.
class ReliefLight {
public:
    explicit ReliefLight(const ReliefSettings& settings);

    // The shade in 0 ... 1 of a surface point whose height rises by `slopeX` to the next
    // column (+x) and by `slopeY` to the next row (towards the back).
    double shade(double slopeX, double slopeY) const;

private:
    double specular(double r) const;

    double observer_[3];
    double light_[3];
    double ambient_, diffuse_, reflection_;
};

} // namespace vortimax
