#pragma once

#include "model/big_fixed.h"

#include <cstddef>
#include <vector>

namespace vortimax {

// The curve through high-precision values (x_j, y_j) at increasing real positions:
// piecewise linear or a natural cubic spline, evaluated as NaturalSpline does. Values are
// added up in the high-precision type from the nearer key of the interval, so a deep zoom
// keeps its digits; only the spline's bend (second derivatives from the differences of
// neighbouring values) is worked out in doubles.
class BigCurve {
public:
    enum class Kind { Linear, Cubic };

    BigCurve(std::vector<double> xs, std::vector<BigFixed> ys, Kind kind);

    std::size_t size() const { return xs_.size(); }
    Kind kind() const { return kind_; }

    // The value at position p.
    BigFixed operator()(double p) const;
    // The value in interval j (from key j - 1 to key j, 1 <= j < size) at the fraction u
    // of the interval; `rest` is 1 - u, passed separately because near the end key it
    // carries digits that 1 - u in doubles would lose. `linear` evaluates the straight
    // line whatever the kind. Curves of fewer than two points give their only value (or
    // zero).
    BigFixed inInterval(std::size_t j, double u, double rest, bool linear = false) const;

private:
    std::vector<double> xs_;
    std::vector<BigFixed> ys_;
    std::vector<double> m_; // second derivatives at the points
    Kind kind_;
    bool constant_ = false;
};

} // namespace vortimax
