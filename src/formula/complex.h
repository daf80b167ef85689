#pragma once

// Complex value of the formula language and the complex function library: two doubles, real part
// then imaginary part. All arithmetic is plain IEEE double arithmetic; floating-point exceptions
// stay masked, so division by zero and overflow give infinities or not-a-number values and never
// stop a calculation.
//
// std::complex is deliberately not used: its multiplication and division follow C Annex G
// (infinity recovery, scaled division), which gives different values than the simple rules
// this library uses.

namespace vortimax {

struct Complex {
    double re;
    double im;

    friend constexpr bool operator==(const Complex& a, const Complex& b) = default;
};

constexpr Complex operator+(Complex a, Complex b) {
    return {a.re + b.re, a.im + b.im};
}

constexpr Complex operator-(Complex a, Complex b) {
    return {a.re - b.re, a.im - b.im};
}

constexpr Complex operator-(Complex a) {
    return {-a.re, -a.im};
}

// (a.re + i a.im)(b.re + i b.im), no fused multiply-add (the build uses -ffp-contract=off).
constexpr Complex operator*(Complex a, Complex b) {
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

// a / b = a * conj(b) / (b.re^2 + b.im^2), exactly so: no scaling, no
// special cases. b = 0 gives infinities or NaN.
constexpr Complex operator/(Complex a, Complex b) {
    const double denominator = b.re * b.re + b.im * b.im;
    const double numeratorRe = a.re * b.re + a.im * b.im; // re of a * conj(b)
    const double numeratorIm = a.im * b.re - a.re * b.im; // im of a * conj(b)
    return {numeratorRe / denominator, numeratorIm / denominator};
}

constexpr Complex& operator+=(Complex& a, Complex b) {
    return a = a + b;
}
constexpr Complex& operator-=(Complex& a, Complex b) {
    return a = a - b;
}
constexpr Complex& operator*=(Complex& a, Complex b) {
    return a = a * b;
}
constexpr Complex& operator/=(Complex& a, Complex b) {
    return a = a / b;
}

} // namespace vortimax
