#pragma once

#include "model/param_descriptor.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

namespace vortimax::ui {

// Which rows of a table a page of a parameter window shows, for a fractal of `type`.
using RowFilter =
    std::function<bool(std::uint32_t type, std::size_t index, const ParamDescriptor& row)>;

// The rows every type shares are split between two windows of their own: the area window
// (corners, stretch, rotation and the circle inversion) and the colour-mapping window.
bool isAreaRow(std::string_view key);
bool isColourMappingRow(std::string_view key);

// The type's own rows. Types with a second parameter window show the rows that colour
// the image there (inside and outside rules, decomposition, biomorphs, analysis,
// the Tierazon colouring); the first window keeps the iteration (functions, constants,
// maximum iterations, bailout and stop tests). Other types show all their own rows in
// the first window.
bool isFirstWindowRow(std::uint32_t type, std::string_view key);
bool isSecondWindowRow(std::uint32_t type, std::string_view key);

// The pages of the 3D parameter window, in the order of the 3D table: each runs from its
// first key to the next page's first key.
struct Page3D {
    std::string_view title;
    std::string_view firstKey;
};
std::span<const Page3D> pages3D();
RowFilter page3DFilter(std::size_t page);

} // namespace vortimax::ui
