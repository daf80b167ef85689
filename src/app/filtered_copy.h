#pragma once

namespace vortimax {

class Application;
class FractalView;

// Gives the view its linked half-size copy for anti-aliasing: on first use a copy of the
// fractal (no filter, no 3D, true colour) is added to its folder and opened without
// calculating; afterwards the copy takes over the fractal's name, type, parameters and
// palette again and is resized when the size changed. The copy shows the fractal's
// selection box. Returns false, leaving the fractal as it was, when the copy cannot be
// made.
bool linkAntiAliasedCopy(Application& app, FractalView& view);

} // namespace vortimax
