Mandel3 (XAXIS) { ; cubic
  z = pixel, c = p1:
  z = z*z*z + c
  |z| <= 4
}
Colours {
  z = 0, k = 0:
  z = sqr(z) + pixel, k = k + 1
  if (|z| > 100 && k < 3)
    z = fn1(z)
  elseif (real(z) < 0 || imag(z) > 1)
    z = fn2(z) ^ 2.5
  else
    z = conj(z)
  endif
  |z| <= p2 + 4
  :
  real(z) + iter
  k * lastsqr
}
