#pragma once

namespace vortimax {

// How a point of the IFS space is seen on the plane of the area: the space is turned by
// Alpha degrees about its vertical (y) axis, then tilted by Beta degrees about its
// horizontal (x) axis, and looked at along z (a parallel projection, no perspective):
//   x1 = x cos(Alpha) + z sin(Alpha),   z1 = z cos(Alpha) - x sin(Alpha),
//   re = x1,                            im = y cos(Beta) - z1 sin(Beta).
// With both angles 0 a plane definition (z = 0) is drawn as written: re = x, im = y.
class IfsProjection {
public:
    // Angles in degrees, turned into radians with pi as 3.1415926535.
    IfsProjection(double alphaDegrees, double betaDegrees);

    void project(double x, double y, double z, double& re, double& im) const {
        const double x1 = x * cosAlpha_ + z * sinAlpha_;
        const double z1 = z * cosAlpha_ - x * sinAlpha_;
        re = x1;
        im = y * cosBeta_ - z1 * sinBeta_;
    }

private:
    double sinAlpha_, cosAlpha_, sinBeta_, cosBeta_;
};

} // namespace vortimax
