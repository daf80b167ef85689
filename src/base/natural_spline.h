#pragma once

#include <vector>

namespace vortimax {

// The second derivatives M_j at the points of the natural cubic spline through points at
// increasing `xs` whose intervals rise by slopes[j] = (y_j - y_(j-1)) / (x_j - x_(j-1))
// (slopes[0] unused): h_j M_(j-1) + 2 (h_j + h_(j+1)) M_j + h_(j+1) M_(j+1) =
// 6 (s_(j+1) - s_j) for the inner points, M 0 at both ends, solved by forward elimination
// and back substitution. Taking slopes rather than values lets curves of other number
// types share it.
std::vector<double> naturalSecondDerivatives(const std::vector<double>& xs,
                                             const std::vector<double>& slopes);

// A curve through points (x_j, y_j) with increasing x: piecewise linear, or a natural
// cubic spline (second derivative zero at both ends). Used for the relief's height
// transfer and for values moving between key frames.
//
// Evaluation at p: one point gives its value, equal values give that value, two points
// the straight line through them (also outside their range). Otherwise p below the first
// x gives the first value and p at or beyond the last x the last value; inside, the
// first interval x_(j-1) <= p < x_j is evaluated. A result that is not a number is 0.
class NaturalSpline {
public:
    enum class Kind { Linear, Cubic };

    // `xs` and `ys` of equal length; an empty curve evaluates to 0.
    NaturalSpline(std::vector<double> xs, std::vector<double> ys, Kind kind = Kind::Cubic);

    double operator()(double p) const;
    std::size_t size() const { return xs_.size(); }

private:
    double evaluate(double p) const;
    double segment(std::size_t j, double p) const;

    std::vector<double> xs_;
    std::vector<double> ys_;
    std::vector<double> m_; // second derivatives at the points
    Kind kind_;
    bool constant_ = false;
};

} // namespace vortimax
