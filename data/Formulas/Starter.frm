; Starter formulas. Each entry is a name, an opening brace, the formula and a
; closing brace. A formula has its start statements, a line with a colon, the
; statements run in every iteration and, last, the condition under which the
; iteration goes on. Lines starting with a semicolon are comments.

Basic  {
z = pixel:
z = z^2 + pixel
|z| <= 4
}

Cubic  {
z = pixel:
z = z^3 + pixel
|z| <= 4
}

JuliaP1  {  ; the Julia set of the constant p1
z = pixel:
z = z^2 + p1
|z| <= 4
}

Newton3  {  ; Newton's method for z^3 = 1
z = pixel:
z = z - (z^3 - 1) / (3*z^2)
|z^3 - 1| >= 0.000001
}

SineMandel  {
z = pixel:
z = sin(z) * pixel
abs(imag(z)) <= 50
}

BasicBanded  {  ; Basic with its own colours: inside, then outside
z = pixel:
z = z^2 + pixel
|z| <= 4
:
real(z) * 40
iter * 3
}
