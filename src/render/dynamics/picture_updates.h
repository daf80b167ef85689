#pragma once

#include <chrono>

namespace vortimax {

class FractalView;

// Tells the frontend that a view's whole picture changed, at most every DrawingSpeed
// milliseconds while it is being made, and once more when it is done. For the drivers
// that draw or colour the whole picture at once rather than row by row.
class PictureUpdates {
public:
    explicit PictureUpdates(FractalView& view);

    // Reports the picture when DrawingSpeed milliseconds have passed since the last report.
    void whenDue();
    // Reduces a true-colour picture to the palette for an 8-bit screen, then reports it.
    void finish();

private:
    void report();

    FractalView& view_;
    std::chrono::steady_clock::time_point last_;
};

} // namespace vortimax
