#pragma once

#include "formula/complex.h"
#include "model/big_fixed.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vortimax {

class FractalRecord;

// The area of a fractal is the region of the complex plane its image shows: a rectangle
// (Stretch 0: top-left and bottom-right corners) or a parallelogram (Stretch 1: top-left,
// top-right and bottom-right corners), turned by Angle degrees about a rotation centre that
// RotateX / RotateY (percent) place inside it. The stored corners are the unturned ones.
// Pixel rows count from the bottom of the image: row 0 is the bottom row.

// Image size in pixels. Sizes below 1 never divide by zero: a column step uses
// max(width - 1, 1) and a row step max(height, 1).
struct RasterSize {
    int width = 0;
    int height = 0;
};

// A complex-plane point at full precision.
struct BigPoint {
    BigFixed re;
    BigFixed im;

    bool operator==(const BigPoint&) const = default;
};

// The three corners that define an area.
struct AreaCorners {
    BigPoint topLeft;     // P0
    BigPoint topRight;    // P1
    BigPoint bottomRight; // P2
};

// The rotation is computed with this value of pi.
inline constexpr double kAreaPi = 3.141592653589793;

// True for the types that show a complex-plane area (all but Plasma and Compound).
bool hasComplexArea(const FractalRecord& record);

// The corners as stored; the top-right corner is (BottomRightR, TopLeftI) unless Stretch is 1.
AreaCorners storedCorners(const FractalRecord& record);

// The point RotateX percent along the top edge from the left and RotateY percent up from
// the bottom. Turning the corners about this point leaves it where it is, so it is the same
// for the stored and for the turned corners.
BigPoint rotationCentre(const FractalRecord& record, const AreaCorners& corners);

// Turns the offset (x, y) from a centre: (x c + y s, y c - x s). With s = sin a and c = cos a
// this turns clockwise by a (the imaginary axis points up).
void rotatePoint(BigFixed& x, BigFixed& y, double sinA, double cosA);

// The stored corners turned by Angle about the rotation centre.
AreaCorners computeCorners(const FractalRecord& record);

// Per-pixel stepping in doubles: the bottom-left corner and the steps one column to the
// right and one row up. The column step spans the top edge in width - 1 steps, so the right
// column lies on the right edge; the row step spans the side in height steps, so the top
// row lies one step below the top edge.
struct PixelMapping {
    double originRe = 0.0;
    double originIm = 0.0;
    double columnRe = 0.0;
    double columnIm = 0.0;
    double rowRe = 0.0;
    double rowIm = 0.0;
    // A region of a larger image maps with the whole image's origin and steps: its pixel
    // (x, y) is the whole image's pixel (x + columnOffset, y + rowOffset). Adding whole
    // numbers is exact, so every pixel gets the bits the whole image gives it.
    int columnOffset = 0;
    int rowOffset = 0;

    // The point of pixel (x, y); the sums are evaluated in exactly this order so that every
    // kernel produces the same bits.
    Complex pointFor(double x, double y) const {
        const double column = x + columnOffset;
        const double row = y + rowOffset;
        return {row * rowRe + column * columnRe + originRe,
                column * columnIm + row * rowIm + originIm};
    }
};

// Computed once per calculation from the turned corners. For a record that calculates a
// region (FractalRecord::region) the mapping is the whole image's, with the region's offsets.
PixelMapping pixelMapping(const FractalRecord& record, RasterSize size);
// The same, but the column step spans the top edge in `width` steps (at least 1), so the
// right edge lies one step beyond the last image column: the Lyapunov space's mapping.
PixelMapping pixelMappingOverWidth(const FractalRecord& record, RasterSize size);

// The point of pixel (column, row) at full precision; fractional pixels are allowed.
BigPoint pixelToPoint(const FractalRecord& record, RasterSize size, double column, double row);

// Circle inversion: p becomes Q + (p - Q) * (radius / |p - Q|^2). The radius enters linearly.
// The centre itself (and any point so close that the factor overflows) goes to the far
// point (kInvertedFar, kInvertedFar) instead of infinities or NaN, so every escape test
// sends it out at once.
struct CircleInversion {
    static constexpr double kInvertedFar = 1e300;

    bool enabled = false; // the record's Inversion flag; apply() ignores it
    double centreRe = 0.0;
    double centreIm = 0.0;
    double radius = 1.0;

    void apply(double& re, double& im) const {
        const double dRe = re - centreRe;
        const double dIm = im - centreIm;
        const double factor = radius / (dRe * dRe + dIm * dIm);
        if (!std::isfinite(factor)) {
            re = kInvertedFar;
            im = kInvertedFar;
            return;
        }
        re = centreRe + dRe * factor;
        im = centreIm + dIm * factor;
    }
};

// Read once per calculation.
CircleInversion circleInversion(const FractalRecord& record);
// Inverts one point with the record's centre and radius (whether or not Inversion is on).
void invert(const FractalRecord& record, double& re, double& im);

// A selection box as two corners in window pixels (rows counted from the top). A first
// x coordinate of kNone means there is no box.
struct SelectionBox {
    static constexpr int kNone = -10000;

    int x1 = kNone;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
};

// The selection box drawn from `anchorX, anchorY` towards the cursor, in window pixels. It
// keeps the image's proportions (its width spans width - 1 columns to the height's rows, as
// the pixel mapping does), so zooming into it neither stretches nor squeezes the picture:
// it reaches as far towards the cursor as the larger of the two drag distances asks, but
// no further than the image's edges. An image narrower than 2 pixels takes the box as drawn.
SelectionBox proportionalBox(RasterSize size, int anchorX, int anchorY, int cursorX, int cursorY);

inline constexpr std::string_view kZoomingInText = "Zooming in";
inline constexpr std::string_view kZoomingOutText = "Zooming out";
inline constexpr std::string_view kMovingFractalText = "Moving fractal";

enum class ZoomDirection { In, Out };

// Replaces the area from the selection box. Zooming in makes the box's contents the new
// image; zooming out shrinks the present image into the box (the exact inverse of zooming
// in with the same box). The area keeps its angle and the stored corners stay unturned.
// Returns the message-window line ("Zooming in: <name>" / "Zooming out: <name>"), or
// nothing when the request is ignored: no box, a box of zero width or height, a type
// without an area, or an empty image.
std::optional<std::string> zoomArea(FractalRecord& record, RasterSize size, const SelectionBox& box,
                                    ZoomDirection direction);

// One zoom step of the mouse wheel: the area's width and height shrink (zooming in) or grow
// by this factor.
inline constexpr double kWheelZoomFactor = 2.0;

// Scales the area by `factor` (below 1 zooms in) about the point of pixel (column, row),
// rows counted from the bottom, so that this pixel shows the same point afterwards; the
// area keeps its angle and the stored corners stay unturned. False (area unchanged) for a
// type without an area, an empty image or a factor that is not positive and finite.
bool zoomAreaAbout(FractalRecord& record, RasterSize size, double column, double row,
                   double factor);

// The area part of dragging the image by dx columns to the right and dy rows up: the area
// moves the opposite way by whole pixel steps. Returns kMovingFractalText, or nothing for a
// type without an area or an empty image (the area is then unchanged).
std::optional<std::string> moveArea(FractalRecord& record, RasterSize size, int dx, int dy);

// Makes the area's height-to-width ratio equal to height / width, keeping the top edge.
// A rectangle's new height is computed at full precision, so deep zooms keep it. Stretch 1 rescales
// the side one component at a time, so a slanted side ends up close to, but not exactly at, the
// target length. Returns false (area unchanged) for a type without an area, an empty image or a
// degenerate area.
bool makeProportional(FractalRecord& record, RasterSize size);

// How far the area is zoomed: log2 of the width of a fresh record of the same type and
// subtype divided by the present width, both measured as |BottomRightR - TopLeftR|.
// 0 for a type without an area or when either width is zero.
double zoomCount(const FractalRecord& record);

} // namespace vortimax
