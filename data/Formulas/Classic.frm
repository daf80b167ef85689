; Classic escape-time fractals written as formulas. Parameter files of other
; fractal programs that name these types by their own type names are read as
; Formula fractals over the entries below; each comment says what p1, p2, p3
; and fn1 stand for. |z| is the squared modulus, so a bailout of 4 is a
; radius of 2.

ClassicLambdaFn  {  ; z -> p1 * fn1(z), the Julia form: p1 is lambda
z = pixel:
z = p1 * fn1(z)
|z| <= bailout
}

ClassicMandelFn  {  ; z -> c * fn1(z), c the pixel. The orbit starts at c,
                    ; the first point of the orbit of sin's and cos's
                    ; critical point (and of exp's asymptotic value 0).
c = pixel, z = pixel:
z = c * fn1(z)
|z| <= bailout
}

; The phoenix maps: z -> z^d + p + q*y, y -> the z before. The power is taken
; through the logarithm, so d need not be whole; a degree of 0 stands for 2,
; and a z near 0 gives 0 instead of the logarithm's pole.

ClassicPhoenix  {  ; p = real(p1), q = imag(p1), d = real(p2)
k = real(p2), d = k + 2*(k == 0), z = pixel, y = 0:
f = (|z| == 0), w = exp(d*log(z + f))*(1 - f)
t = z, z = w + real(p1) + imag(p1)*y, y = t
|z| <= bailout
}

ClassicPhoenixComplex  {  ; p = p1, q = p2, d = real(p3)
k = real(p3), d = k + 2*(k == 0), z = pixel, y = 0:
f = (|z| == 0), w = exp(d*log(z + f))*(1 - f)
t = z, z = w + p1 + p2*y, y = t
|z| <= bailout
}

ClassicMandPhoenix  {  ; p = real(pixel), q = imag(pixel); z starts at p1,
                       ; d = real(p2)
k = real(p2), d = k + 2*(k == 0), z = p1, y = 0:
f = (|z| == 0), w = exp(d*log(z + f))*(1 - f)
t = z, z = w + real(pixel) + imag(pixel)*y, y = t
|z| <= bailout
}

ClassicMandPhoenixComplex  {  ; p = pixel, q = p2; z starts at p1,
                              ; d = real(p3)
k = real(p3), d = k + 2*(k == 0), z = p1, y = 0:
f = (|z| == 0), w = exp(d*log(z + f))*(1 - f)
t = z, z = w + pixel + p2*y, y = t
|z| <= bailout
}

ClassicNewton  {  ; Newton's method for z^n = 1, n = real(p1)
n = real(p1), z = pixel:
w = exp((n - 1)*log(z)), f = w*z - 1, z = z - f/(n*w)
|f| >= 0.00000001
}

ClassicNewtonBasin  {  ; the same, each root's basin in its own colours
n = real(p1), z = pixel, r = exp(i*pi/(2*n)):
w = exp((n - 1)*log(z)), f = w*z - 1, z = z - f/(n*w)
|f| >= 0.00000001
:
-1
iter + 40*(n*arg(z*r)/(2*pi) + n)
}

ClassicComplexNewton  {  ; Newton's method for z^a = b, a = p1, b = p2
a = p1, b = p2, z = pixel:
w = exp((a - 1)*log(z)), f = w*z - b, z = z - f/(a*w)
|f| >= 0.00000001
}

ClassicComplexBasin  {  ; the same, coloured by where the orbit ends
a = p1, b = p2, z = pixel:
w = exp((a - 1)*log(z)), f = w*z - b, z = z - f/(a*w)
|f| >= 0.00000001
:
-1
iter + 20*(arg(z) + pi)
}

ClassicHalley  {  ; Halley's method for z^n = 1: n = real(p1), the step
                  ; scaled by imag(p1) (0 means 1), tolerance real(p2)
n = real(p1), r = imag(p1) + (imag(p1) == 0), z = pixel
tol = real(p2) + 0.0001*(real(p2) == 0):
w = exp((n - 2)*log(z)), f = w*z*z - 1, g = n*w*z, h = n*(n - 1)*w
z = z - r*2*f*g/(2*g*g - f*h)
|f| >= tol
}

ClassicFrothyBasin  {  ; z -> z^2 - (1 + a*i)*conj(z), a = real(p1): the
                       ; riddled basins of the three attractors, the points
                       ; that stay coloured by the direction they end in
a = 1 + real(p1)*i, z = pixel:
z = sqr(z) - a*conj(z)
|z| <= bailout
:
40*(arg(z) + pi)
-1
}

ClassicTetrate  {  ; z -> c^z, c the pixel: the tower c^c^c...
c = pixel, z = pixel, lc = log(c):
z = exp(z*lc)
|z| <= bailout
}

ClassicSpider  {  ; z -> z^2 + c, then c -> c/2 + z
z = pixel, c = pixel:
z = sqr(z) + c, c = c/2 + z
|z| <= bailout
}

ClassicPopcorn  {  ; x -> x - h sin(y + tan 3y), y -> y - h sin(x + tan 3x),
                   ; h = real(p1), started at the pixel
z = pixel, h = real(p1):
x = real(z), y = imag(z)
z = x - h*sin(y + tan(3*y)) + i*(y - h*sin(x + tan(3*x)))
|z| <= bailout
}

ClassicUnity  {  ; z -> (2 - m) * flip(z), m the modulus of z: the modulus
                 ; goes to 1 as Newton's method for 1/m takes it there,
                 ; the parts swapping sides at every step
z = pixel:
m = sqrt(|z|), z = (2 - m)*flip(z)
(m <= 2) && (abs(m - 1) >= 0.000001)
}

ClassicSierpinski  {  ; z -> 2z - i above 1/2, else 2z - 1 right of 1/2,
                      ; else 2z: escape time of the Sierpinski triangle
z = pixel:
z = 2*z - i*(imag(z) > 0.5) - (real(z) > 0.5)*(imag(z) <= 0.5)
|z| <= bailout
}

ClassicMandel4  {  ; z -> z^4 + c, c the pixel, z starting at p1
z = p1, c = pixel:
z = sqr(sqr(z)) + c
|z| <= bailout
}

ClassicJulia4  {  ; z -> z^4 + p1
z = pixel:
z = sqr(sqr(z)) + p1
|z| <= bailout
}

; Quaternions a + bi + cj + dk held as u = a + bi and v = c + di: the square
; is (u^2 - |v|, 2a v).

ClassicQuaternionJulia  {  ; q -> q^2 + C, C = (p1, p2), q starting at the pixel
u = pixel, v = 0:
t = sqr(u) - |v| + p1, v = 2*real(u)*v + p2, u = t, z = u
|u| + |v| <= bailout
}

ClassicQuaternion  {  ; q -> q^2 + C, C = (pixel, p2), q starting at p1
u = p1, v = 0:
t = sqr(u) - |v| + pixel, v = 2*real(u)*v + p2, u = t, z = u
|u| + |v| <= bailout
}

; Commutative hypercomplex numbers a + bi + cj + dk (ij = k, k^2 = 1) split
; into two complex numbers, u = (a - d) + (b + c)i and w = (a + d) + (b - c)i,
; on which fn1 acts one by one: h -> fn1(h) + C.

ClassicHypercomplexJulia  {  ; C = (p1, p2), h starting at the pixel
cu = real(p1) - imag(p2) + i*(imag(p1) + real(p2))
cw = real(p1) + imag(p2) + i*(imag(p1) - real(p2))
u = pixel, w = pixel:
u = fn1(u) + cu, w = fn1(w) + cw, z = (u + w)/2
(|u| + |w|)/2 <= bailout
}

ClassicHypercomplex  {  ; C = (pixel, p2), h starting at p1
cu = real(pixel) - imag(p2) + i*(imag(pixel) + real(p2))
cw = real(pixel) + imag(p2) + i*(imag(pixel) - real(p2))
u = p1, w = p1:
u = fn1(u) + cu, w = fn1(w) + cw, z = (u + w)/2
(|u| + |w|)/2 <= bailout
}

ClassicCircle  {  ; no iteration: the colour is |pixel| * real(p1), rings
                  ; whose moire shows the pixel grid
z = pixel:
z = z
0
:
-1
|pixel|*real(p1)
}
