#include "base/natural_spline.h"

#include <algorithm>
#include <cmath>

namespace vortimax {

NaturalSpline::NaturalSpline(std::vector<double> xs, std::vector<double> ys, Kind kind)
    : xs_(std::move(xs)), ys_(std::move(ys)), kind_(kind) {
    const std::size_t n = std::min(xs_.size(), ys_.size());
    xs_.resize(n);
    ys_.resize(n);
    m_.assign(n, 0.0);
    constant_ = std::all_of(ys_.begin(), ys_.end(), [&](double y) { return y == ys_.front(); });
    if (kind_ == Kind::Cubic && n > 2) {
        std::vector<double> slopes(n, 0.0);
        for (std::size_t j = 1; j < n; ++j)
            slopes[j] = (ys_[j] - ys_[j - 1]) / (xs_[j] - xs_[j - 1]);
        m_ = naturalSecondDerivatives(xs_, slopes);
    }
}

std::vector<double> naturalSecondDerivatives(const std::vector<double>& xs,
                                             const std::vector<double>& slopes) {
    const std::size_t n = std::min(xs.size(), slopes.size());
    std::vector<double> m(n, 0.0);
    if (n < 3)
        return m;
    std::vector<double> diagonal(n, 1.0), right(n, 0.0);
    auto h = [&](std::size_t j) { return xs[j] - xs[j - 1]; };
    for (std::size_t j = 1; j + 1 < n; ++j) {
        diagonal[j] = 2.0 * (h(j) + h(j + 1));
        right[j] = 6.0 * (slopes[j + 1] - slopes[j]);
        if (j > 1) {
            const double factor = h(j) / diagonal[j - 1];
            diagonal[j] -= factor * h(j);
            right[j] -= factor * right[j - 1];
        }
    }
    for (std::size_t j = n - 2; j >= 1; --j)
        m[j] = (right[j] - h(j + 1) * m[j + 1]) / diagonal[j];
    return m;
}

double NaturalSpline::operator()(double p) const {
    const double v = evaluate(p);
    return std::isnan(v) ? 0.0 : v;
}

double NaturalSpline::evaluate(double p) const {
    const std::size_t n = xs_.size();
    if (n == 0)
        return 0.0;
    if (n == 1 || constant_)
        return ys_[0];
    if (n == 2)
        return ys_[0] + (ys_[1] - ys_[0]) * (p - xs_[0]) / (xs_[1] - xs_[0]);
    if (!(p >= xs_[0]))
        return ys_[0];
    for (std::size_t j = 1; j < n; ++j)
        if (xs_[j - 1] <= p && p < xs_[j])
            return segment(j, p);
    return ys_[n - 1];
}

double NaturalSpline::segment(std::size_t j, double p) const {
    const double x0 = xs_[j - 1], x1 = xs_[j];
    const double y0 = ys_[j - 1], y1 = ys_[j];
    const double h = x1 - x0;
    if (kind_ == Kind::Linear)
        return y0 + (y1 - y0) * (p - x0) / h;
    const double a = x1 - p, b = p - x0;
    const double m0 = m_[j - 1], m1 = m_[j];
    return m0 * a * a * a / (6.0 * h) + m1 * b * b * b / (6.0 * h) + (y0 / h - m0 * h / 6.0) * a +
           (y1 / h - m1 * h / 6.0) * b;
}

} // namespace vortimax
