#include "animation/big_curve.h"

#include "base/natural_spline.h"

#include <algorithm>
#include <cmath>

namespace vortimax {

namespace {

double difference(const BigFixed& a, const BigFixed& b) {
    return (a - b).toDouble();
}

// A double as a high-precision number, digit for digit down to the last fraction bit.
BigFixed exactly(double value) {
    if (!std::isfinite(value))
        return BigFixed{};
    return BigFixed::fromInteger(1).multipliedBy(value);
}

} // namespace

BigCurve::BigCurve(std::vector<double> xs, std::vector<BigFixed> ys, Kind kind)
    : xs_(std::move(xs)), ys_(std::move(ys)), kind_(kind) {
    const std::size_t n = std::min(xs_.size(), ys_.size());
    xs_.resize(n);
    ys_.resize(n);
    m_.assign(n, 0.0);
    constant_ = std::all_of(ys_.begin(), ys_.end(), [&](const BigFixed& y) { return y == ys_[0]; });
    if (kind_ == Kind::Cubic && n > 2) {
        // The slopes come from the differences of neighbouring values, which keep their
        // digits however deep the zoom.
        std::vector<double> slopes(n, 0.0);
        for (std::size_t j = 1; j < n; ++j)
            slopes[j] = difference(ys_[j], ys_[j - 1]) / (xs_[j] - xs_[j - 1]);
        m_ = naturalSecondDerivatives(xs_, slopes);
        for (double& m : m_)
            if (!std::isfinite(m))
                m = 0.0;
    }
}

BigFixed BigCurve::operator()(double p) const {
    const std::size_t n = xs_.size();
    if (n == 0)
        return BigFixed{};
    if (n == 1 || constant_)
        return ys_[0];
    const auto fractionIn = [&](std::size_t j) {
        const double h = xs_[j] - xs_[j - 1];
        return std::pair{(p - xs_[j - 1]) / h, (xs_[j] - p) / h};
    };
    if (n == 2) {
        auto [u, rest] = fractionIn(1);
        return inInterval(1, u, rest, true);
    }
    if (!(p >= xs_[0]))
        return ys_[0];
    for (std::size_t j = 1; j < n; ++j)
        if (xs_[j - 1] <= p && p < xs_[j]) {
            auto [u, rest] = fractionIn(j);
            return inInterval(j, u, rest);
        }
    return ys_[n - 1];
}

// y = (1 - u) y0 + u y1 + h^2 / 6 (M0 ((1 - u)^3 - (1 - u)) + M1 (u^3 - u)), the cubic of
// the interval written around its straight line.
BigFixed BigCurve::inInterval(std::size_t j, double u, double rest, bool linear) const {
    if (xs_.size() < 2 || j == 0 || j >= xs_.size())
        return xs_.empty() ? BigFixed{} : ys_.back();
    if (!std::isfinite(u) || !std::isfinite(rest))
        return BigFixed{};
    if (constant_)
        return ys_[0];
    const BigFixed& y0 = ys_[j - 1];
    const BigFixed& y1 = ys_[j];
    const BigFixed step = y1 - y0;
    BigFixed value = u <= 0.5 ? y0 + step.multipliedBy(u) : y1 - step.multipliedBy(rest);
    if (linear || kind_ == Kind::Linear)
        return value;
    const double h = xs_[j] - xs_[j - 1];
    const double bend =
        h * h / 6.0 * (m_[j - 1] * (rest * rest * rest - rest) + m_[j] * (u * u * u - u));
    return value + exactly(bend);
}

} // namespace vortimax
