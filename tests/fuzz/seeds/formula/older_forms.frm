Blocks {
  z = pixel, a = 0
  IF (real(pixel) < 0)
    a = 1
  ELSEIF (imag(pixel) < 0)
    a = rand
  ELSE
    srand(posx)
  ENDIF
  :
  if (|z| < a)
    z = cosxx(z) + 2z
  else
    z = sqr(z) + pixel \
        + cabs(z) / 9
  endif
  |z| <= 4
}

OneLine(XAXIS) = { z = pixel: z = z*z + (z = round(z)) * 0.1 }

Older { z = pixel; bailout = 16, pixel = flip(pixel):
   z = z^2 + pixel;
   |z| <= bailout
}
