#pragma once

// The subtype steps of the general vector loop, each operation in the order of its
// scalar form in subtype_steps.cpp so that every lane gets the same bits. They are
// always inlined into the loop: a call would pass the registers through memory. Include it only
// from the file compiled for an instruction set, with that set's vector operations `V`:
// everything here has internal linkage.
//
// A step keeps up to kLaneConstants per-orbit values in registers (see
// GeneralOrbits::constants).

namespace vortimax {
namespace {

// z^2 as complexSqr computes it: (re^2 - im^2, 2 re im).
template <typename V> struct Square {
    typename V::Reg re, im;

    Square(typename V::Reg zr, typename V::Reg zi)
        : re(V::sub(V::mul(zr, zr), V::mul(zi, zi))), im(V::mul(V::mul(V::set(2.0), zr), zi)) {}
};

// a b for complex numbers (a.re b.re - a.im b.im, a.re b.im + a.im b.re).
template <typename V>
[[gnu::always_inline]] inline void multiply(typename V::Reg ar, typename V::Reg ai,
                                            typename V::Reg br, typename V::Reg bi,
                                            typename V::Reg& re, typename V::Reg& im) {
    re = V::sub(V::mul(ar, br), V::mul(ai, bi));
    im = V::add(V::mul(ar, bi), V::mul(ai, br));
}

// z = (n / d)^2 with the division of complex.h: n conj(d) / |d|^2, unscaled.
template <typename V>
[[gnu::always_inline]] inline void squareOfQuotient(typename V::Reg nr, typename V::Reg ni,
                                                    typename V::Reg dr, typename V::Reg di,
                                                    typename V::Reg& zr, typename V::Reg& zi) {
    const typename V::Reg denominator = V::add(V::mul(dr, dr), V::mul(di, di));
    const typename V::Reg qr = V::div(V::add(V::mul(nr, dr), V::mul(ni, di)), denominator);
    const typename V::Reg qi = V::div(V::sub(V::mul(ni, dr), V::mul(nr, di)), denominator);
    const Square<V> q(qr, qi);
    zr = q.re;
    zi = q.im;
}

// z^2 + c.
template <typename V> struct SquarePlusC {
    using R = typename V::Reg;
    static constexpr int kConstants = 2;
    [[gnu::always_inline]] static void apply(R& zr, R& zi, const R* k) {
        const Square<V> s(zr, zi);
        zr = V::add(s.re, k[0]);
        zi = V::add(s.im, k[1]);
    }
};

// z^3 + c, the cube being complexSqr(z) * z.
template <typename V> struct CubePlusC {
    using R = typename V::Reg;
    static constexpr int kConstants = 2;
    [[gnu::always_inline]] static void apply(R& zr, R& zi, const R* k) {
        const Square<V> s(zr, zi);
        R re, im;
        multiply<V>(s.re, s.im, zr, zi, re, im);
        zr = V::add(re, k[0]);
        zi = V::add(im, k[1]);
    }
};

// ((z^2 + c - 1) / (2z + c - 2))^2. The subtractions of a zero imaginary part change
// no bits; they stay to keep the operations of the scalar form one for one.
template <typename V> struct Magnet1 {
    using R = typename V::Reg;
    static constexpr int kConstants = 2;
    [[gnu::always_inline]] static void apply(R& zr, R& zi, const R* k) {
        const R zero = V::set(0.0);
        const Square<V> s(zr, zi);
        const R nr = V::sub(V::add(s.re, k[0]), V::set(1.0));
        const R ni = V::sub(V::add(s.im, k[1]), zero);
        const R two = V::set(2.0);
        const R dr = V::sub(V::add(V::mul(two, zr), k[0]), two);
        const R di = V::sub(V::add(V::mul(two, zi), k[1]), zero);
        squareOfQuotient<V>(nr, ni, dr, di, zr, zi);
    }
};

// ((z^3 + 3(c - 1) z + (c - 1)(c - 2)) / (3 z^2 + 3(c - 2) z + (c - 1)(c - 2) + 1))^2,
// with the constants of magnet2Constants.
template <typename V> struct Magnet2 {
    using R = typename V::Reg;
    static constexpr int kConstants = 6;

    [[gnu::always_inline]] static void apply(R& zr, R& zi, const R* k) {
        const R three = V::set(3.0);
        const R zero = V::set(0.0);
        const Square<V> s(zr, zi);
        R cube[2], az[2], bz[2];
        multiply<V>(s.re, s.im, zr, zi, cube[0], cube[1]);
        multiply<V>(k[0], k[1], zr, zi, az[0], az[1]);
        multiply<V>(k[2], k[3], zr, zi, bz[0], bz[1]);
        const R nr = V::add(V::add(cube[0], az[0]), k[4]);
        const R ni = V::add(V::add(cube[1], az[1]), k[5]);
        // 3 z^2 as the product (3, 0) (z^2).
        const R tr = V::sub(V::mul(three, s.re), V::mul(zero, s.im));
        const R ti = V::add(V::mul(three, s.im), V::mul(zero, s.re));
        const R dr = V::add(V::add(V::add(tr, bz[0]), k[4]), V::set(1.0));
        const R di = V::add(V::add(V::add(ti, bz[1]), k[5]), zero);
        squareOfQuotient<V>(nr, ni, dr, di, zr, zi);
    }
};

} // namespace
} // namespace vortimax
