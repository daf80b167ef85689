#include "formula/complex_functions.h"

#include <cmath>

namespace vortimax {

namespace {

// cosh t and sinh t from one exponential: e^t is computed once and 1/e^t from it.
struct CoshSinh {
    double cosh;
    double sinh;
};

inline CoshSinh coshSinh(double t) {
    const double e = std::exp(t);
    const double inverse = 1.0 / e;
    return {(e + inverse) / 2.0, (e - inverse) / 2.0};
}

// Component-wise products with constants (see the header): -i*w, (i/2)*w, (1/2)*w.
inline Complex timesMinusI(Complex w) {
    return {w.im, -w.re};
}
inline Complex timesHalfI(Complex w) {
    return {-0.5 * w.im, 0.5 * w.re};
}
inline Complex timesHalf(Complex w) {
    return {0.5 * w.re, 0.5 * w.im};
}

} // namespace

Complex complexSin(Complex z) {
    const CoshSinh h = coshSinh(z.im);
    return {std::sin(z.re) * h.cosh, std::cos(z.re) * h.sinh};
}

Complex complexCos(Complex z) {
    const CoshSinh h = coshSinh(z.im);
    return {std::cos(z.re) * h.cosh, -(std::sin(z.re) * h.sinh)};
}

Complex complexCosxx(Complex z) {
    const CoshSinh h = coshSinh(z.im);
    return {std::cos(z.re) * h.cosh, std::sin(z.re) * h.sinh};
}

Complex complexTan(Complex z) {
    const double x2 = 2.0 * z.re;
    const CoshSinh h = coshSinh(2.0 * z.im);
    const double denominator = std::cos(x2) + h.cosh;
    return {std::sin(x2) / denominator, h.sinh / denominator};
}

Complex complexCotan(Complex z) {
    const double x2 = 2.0 * z.re;
    const CoshSinh h = coshSinh(2.0 * z.im);
    const double denominator = h.cosh - std::cos(x2);
    return {std::sin(x2) / denominator, -h.sinh / denominator};
}

Complex complexSinh(Complex z) {
    const CoshSinh h = coshSinh(z.re);
    return {h.sinh * std::cos(z.im), h.cosh * std::sin(z.im)};
}

Complex complexCosh(Complex z) {
    const CoshSinh h = coshSinh(z.re);
    return {h.cosh * std::cos(z.im), h.sinh * std::sin(z.im)};
}

Complex complexTanh(Complex z) {
    const CoshSinh h = coshSinh(z.re);
    const double cosY = std::cos(z.im);
    const double sinY = std::sin(z.im);
    const Complex sinhZ{h.sinh * cosY, h.cosh * sinY};
    const Complex coshZ{h.cosh * cosY, h.sinh * sinY};
    return sinhZ / coshZ;
}

Complex complexCotanh(Complex z) {
    const CoshSinh h = coshSinh(2.0 * z.re);
    const double y2 = 2.0 * z.im;
    const double denominator = h.cosh - std::cos(y2);
    return {h.sinh / denominator, -std::sin(y2) / denominator};
}

Complex complexExp(Complex z) {
    const double e = std::exp(z.re);
    return {e * std::cos(z.im), e * std::sin(z.im)};
}

Complex complexLog(Complex z) {
    return {0.5 * std::log(z.re * z.re + z.im * z.im), complexArgAngle(z.re, z.im)};
}

Complex complexSqrt(Complex z) {
    const double x = z.re;
    const double y = z.im;
    if (y == 0.0) {
        // A negative real gives zero, not i*sqrt(-x). (x < 0 tested so that NaN stays NaN.)
        return x < 0.0 ? Complex{0.0, 0.0} : Complex{std::sqrt(x), 0.0};
    }
    const double r = std::sqrt(x * x + y * y);
    double radicandRe = (r + x) / 2.0;
    double radicandIm = (r - x) / 2.0;
    if (radicandRe < 0.0) {
        radicandRe = 0.0;
    }
    if (radicandIm < 0.0) {
        radicandIm = 0.0;
    }
    const double im = std::sqrt(radicandIm);
    return {std::sqrt(radicandRe), y < 0.0 ? -im : im};
}

Complex complexAsin(Complex z) {
    // -i ln(i z + sqrt(1 - z^2))
    const Complex square = complexSqr(z);
    const Complex root = complexSqrt({1.0 - square.re, -square.im});
    const Complex iz{-z.im, z.re};
    return timesMinusI(complexLog(iz + root));
}

Complex complexAcos(Complex z) {
    // -i ln(z + sqrt(z^2 - 1))
    const Complex square = complexSqr(z);
    const Complex root = complexSqrt({square.re - 1.0, square.im});
    return timesMinusI(complexLog(z + root));
}

Complex complexAtan(Complex z) {
    // (i/2) ln((i + z) / (i - z))
    const Complex numerator{z.re, 1.0 + z.im};
    const Complex denominator{-z.re, 1.0 - z.im};
    return timesHalfI(complexLog(numerator / denominator));
}

Complex complexAcot(Complex z) {
    // (i/2) ln((z - i) / (z + i))
    const Complex numerator{z.re, z.im - 1.0};
    const Complex denominator{z.re, z.im + 1.0};
    return timesHalfI(complexLog(numerator / denominator));
}

Complex complexAsinh(Complex z) {
    // ln(z + sqrt(z^2 + 1))
    const Complex square = complexSqr(z);
    const Complex root = complexSqrt({square.re + 1.0, square.im});
    return complexLog(z + root);
}

Complex complexAcosh(Complex z) {
    // ln(z + sqrt(z^2 - 1))
    const Complex square = complexSqr(z);
    const Complex root = complexSqrt({square.re - 1.0, square.im});
    return complexLog(z + root);
}

Complex complexAtanh(Complex z) {
    // 1/2 ln((1 + z) / (1 - z))
    const Complex numerator{1.0 + z.re, z.im};
    const Complex denominator{1.0 - z.re, -z.im};
    return timesHalf(complexLog(numerator / denominator));
}

Complex complexAcoth(Complex z) {
    // 1/2 ln((z + 1) / (z - 1))
    const Complex numerator{z.re + 1.0, z.im};
    const Complex denominator{z.re - 1.0, z.im};
    return timesHalf(complexLog(numerator / denominator));
}

} // namespace vortimax
