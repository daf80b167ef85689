#pragma once

#include <vector>

namespace vortimax {

class FractalRecord;
struct ImageBuffers;

// The heights of a relief, one per pixel (row stride = width), rows from the front
// (bottom) row.
struct HeightField {
    int width = 0;
    int height = 0;
    std::vector<float> cells;
    float at(int x, int y) const { return cells[static_cast<std::size_t>(y) * width + x]; }
};

// How a fractal's values become heights: inside points (negative values) and values at
// or above the maximum iteration count stand for the top of the relief.
struct HeightRule {
    bool plasma = false;     // heights are the values themselves
    bool trueColour = false; // Julia24, Mandel24: every negative height is MaxIter
    bool reservedInside = false;
    double maxIter = 0.0; // 0: the type has no maximum
    double height(double value) const;
};
HeightRule heightRuleFor(const FractalRecord& record);

// The heights of the record's value buffer (the spare column left out).
HeightField heightsOf(const FractalRecord& record, const ImageBuffers& buffers);

// Every height becomes the mean of the 11 x 11 neighbourhood weighted by
// 1 / (|dx| + |dy| + 1), counting only samples inside the field.
HeightField smoothHeights(const HeightField& field);

} // namespace vortimax
