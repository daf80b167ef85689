#include "render/area/area.h"

#include "model/fractal_record.h"
#include "model/type_registry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vortimax {

namespace {

BigPoint operator+(const BigPoint& a, const BigPoint& b) {
    return {a.re + b.re, a.im + b.im};
}

BigPoint operator-(const BigPoint& a, const BigPoint& b) {
    return {a.re - b.re, a.im - b.im};
}

BigPoint scaled(const BigPoint& p, double factor) {
    return {p.re.multipliedBy(factor), p.im.multipliedBy(factor)};
}

BigPoint divided(const BigPoint& p, std::int64_t divisor) {
    return {p.re.dividedBy(divisor), p.im.dividedBy(divisor)};
}

// The top edge spans width - 1 column steps, the side height row steps.
std::int64_t columnDivisor(RasterSize size) {
    return std::max<std::int64_t>(std::int64_t{size.width} - 1, 1);
}

std::int64_t rowDivisor(RasterSize size) {
    return std::max<std::int64_t>(size.height, 1);
}

struct Rotation {
    double sinA;
    double cosA;
};

Rotation rotationFor(double degrees) {
    const double angle = degrees * kAreaPi / 180.0;
    return {std::sin(angle), std::cos(angle)};
}

BigPoint turnedAbout(const BigPoint& point, const BigPoint& centre, Rotation rotation) {
    BigPoint offset = point - centre;
    rotatePoint(offset.re, offset.im, rotation.sinA, rotation.cosA);
    return centre + offset;
}

AreaCorners turnedAbout(const AreaCorners& corners, const BigPoint& centre, Rotation rotation) {
    return {turnedAbout(corners.topLeft, centre, rotation),
            turnedAbout(corners.topRight, centre, rotation),
            turnedAbout(corners.bottomRight, centre, rotation)};
}

double angleOf(const FractalRecord& record) {
    return record.params().real("Angle");
}

bool isStretched(const FractalRecord& record) {
    return record.params().integer("Stretch") == 1;
}

// The area's pixel frame at full precision: bottom-left corner, column and row steps.
struct AreaFrame {
    BigPoint origin;
    BigPoint column;
    BigPoint row;
};

AreaFrame frameOf(const AreaCorners& corners, RasterSize size, std::int64_t columnSteps) {
    return {corners.topLeft + corners.bottomRight - corners.topRight,
            divided(corners.topRight - corners.topLeft, columnSteps),
            divided(corners.topRight - corners.bottomRight, rowDivisor(size))};
}

AreaFrame frameOf(const AreaCorners& corners, RasterSize size) {
    return frameOf(corners, size, columnDivisor(size));
}

PixelMapping mappingOf(const AreaFrame& frame) {
    return {frame.origin.re.toDouble(), frame.origin.im.toDouble(), frame.column.re.toDouble(),
            frame.column.im.toDouble(), frame.row.re.toDouble(),    frame.row.im.toDouble()};
}

BigPoint pointAt(const AreaFrame& frame, double column, double row) {
    return frame.origin + scaled(frame.column, column) + scaled(frame.row, row);
}

// Stores unturned corners; the top-right one only for a parallelogram (Stretch 1).
void storeCorners(FractalRecord& record, const AreaCorners& corners) {
    const bool stretched = isStretched(record);
    BlockRef params = record.params();
    params.setBigFixed("TopLeftR", corners.topLeft.re);
    params.setBigFixed("TopLeftI", corners.topLeft.im);
    params.setBigFixed("BottomRightR", corners.bottomRight.re);
    params.setBigFixed("BottomRightI", corners.bottomRight.im);
    if (stretched) {
        params.setBigFixed("TopRightR", corners.topRight.re);
        params.setBigFixed("TopRightI", corners.topRight.im);
    }
}

// Turns corners back by -Angle about their rotation centre and stores them, so that
// computeCorners gives them back.
void storeTurnedCorners(FractalRecord& record, const AreaCorners& turned) {
    const BigPoint centre = rotationCentre(record, turned);
    storeCorners(record, turnedAbout(turned, centre, rotationFor(-angleOf(record))));
}

bool canChangeArea(const FractalRecord& record, RasterSize size) {
    return hasComplexArea(record) && size.width >= 1 && size.height >= 1;
}

// A selection box in image pixels, rows counted from the bottom (top >= bottom).
struct PixelBox {
    std::int64_t left;
    std::int64_t right;
    std::int64_t bottom;
    std::int64_t top;
};

std::optional<PixelBox> imageBox(const SelectionBox& box, RasterSize size) {
    if (box.x1 == SelectionBox::kNone)
        return std::nullopt;
    const std::int64_t windowTop = std::min(box.y1, box.y2);
    const std::int64_t windowBottom = std::max(box.y1, box.y2);
    const PixelBox result{std::min(box.x1, box.x2), std::max(box.x1, box.x2),
                          size.height - 1 - windowBottom, size.height - 1 - windowTop};
    if (result.left == result.right || result.top == result.bottom)
        return std::nullopt;
    return result;
}

// The box's corners become the new corners.
AreaCorners zoomedIn(const AreaCorners& corners, RasterSize size, const PixelBox& box) {
    const AreaFrame frame = frameOf(corners, size);
    const auto left = static_cast<double>(box.left);
    const auto right = static_cast<double>(box.right);
    return {pointAt(frame, left, static_cast<double>(box.top)),
            pointAt(frame, right, static_cast<double>(box.top)),
            pointAt(frame, right, static_cast<double>(box.bottom))};
}

// The corners move out so that the present area spans the box's columns and rows of the new
// one, measured like the pixel mapping: columns 0 .. width - 1 and rows 0 .. height span the
// area. This undoes zoomedIn with the same box.
AreaCorners zoomedOut(const AreaCorners& corners, RasterSize size, const PixelBox& box) {
    const BigPoint column = divided(corners.topRight - corners.topLeft, box.right - box.left);
    const BigPoint row = divided(corners.topRight - corners.bottomRight, box.top - box.bottom);
    const BigPoint left = scaled(column, static_cast<double>(box.left));
    const BigPoint right = scaled(column, static_cast<double>(size.width - 1 - box.right));
    const BigPoint up = scaled(row, static_cast<double>(size.height - box.top));
    const BigPoint down = scaled(row, static_cast<double>(box.bottom));
    return {corners.topLeft - left + up, corners.topRight + right + up,
            corners.bottomRight + right - down};
}

// value * numerator / denominator. Multiplying first keeps every bit; dividing first avoids
// saturating the product when the value is large.
BigFixed scaledByRatio(const BigFixed& value, std::int64_t numerator, std::int64_t denominator) {
    const auto product = std::fabs(value.toDouble()) * static_cast<double>(numerator);
    if (product < 0x1p22)
        return value.multipliedBy(static_cast<double>(numerator)).dividedBy(denominator);
    return value.dividedBy(denominator).multipliedBy(static_cast<double>(numerator));
}

bool makeRectangleProportional(BlockRef params, RasterSize size) {
    const BigFixed width = params.bigFixed("BottomRightR") - params.bigFixed("TopLeftR");
    if (width.isZero())
        return false;
    const BigFixed height = scaledByRatio(width, size.height, size.width);
    params.setBigFixed("BottomRightI", params.bigFixed("TopLeftI") - height);
    return true;
}

double lengthOf(const BigPoint& p) {
    return std::hypot(p.re.toDouble(), p.im.toDouble());
}

bool usableLength(double length) {
    return std::isfinite(length) && length > 0.0;
}

// Rescales the right side to |top edge| * height / width: first its real part by
// target / |side|, then its imaginary part by target / |side with the new real part|.
bool makeParallelogramProportional(BlockRef params, RasterSize size) {
    const BigPoint topLeft{params.bigFixed("TopLeftR"), params.bigFixed("TopLeftI")};
    const BigPoint topRight{params.bigFixed("TopRightR"), params.bigFixed("TopRightI")};
    const BigPoint bottomRight{params.bigFixed("BottomRightR"), params.bigFixed("BottomRightI")};
    const double topLength = lengthOf(topRight - topLeft);
    BigPoint side = bottomRight - topRight;
    const double sideLength = lengthOf(side);
    if (!usableLength(topLength) || !usableLength(sideLength))
        return false;
    const double target = topLength * size.height / size.width;
    side.re = side.re.multipliedBy(target / sideLength);
    const double newSideLength = lengthOf(side);
    if (!usableLength(newSideLength))
        return false;
    side.im = side.im.multipliedBy(target / newSideLength);
    const BigPoint newBottomRight = topRight + side;
    params.setBigFixed("BottomRightR", newBottomRight.re);
    params.setBigFixed("BottomRightI", newBottomRight.im);
    return true;
}

// log2 of |value|, or NaN for zero. Tiny values are first scaled up by 2^64 steps (exact)
// so that the conversion to double keeps their bits.
double log2Magnitude(BigFixed value) {
    int shift = 0;
    while (!value.isZero() && std::fabs(value.toDouble()) < 0x1p-100) {
        value = value.multipliedBy(0x1p64);
        shift += 64;
    }
    const double magnitude = std::fabs(value.toDouble());
    return magnitude > 0.0 ? std::log2(magnitude) - shift : std::nan("");
}

double log2Width(const FractalRecord& record) {
    const ConstBlockRef params = record.params();
    return log2Magnitude(params.bigFixed("BottomRightR") - params.bigFixed("TopLeftR"));
}

std::string messageLine(std::string_view text, const FractalRecord& record) {
    return std::string(text) + ": " + record.name;
}

} // namespace

bool hasComplexArea(const FractalRecord& record) {
    const FractalTypeInfo* info = fractalType(record.type);
    return info != nullptr && info->hasArea;
}

AreaCorners storedCorners(const FractalRecord& record) {
    const ConstBlockRef params = record.params();
    const BigPoint topLeft{params.bigFixed("TopLeftR"), params.bigFixed("TopLeftI")};
    const BigPoint bottomRight{params.bigFixed("BottomRightR"), params.bigFixed("BottomRightI")};
    const BigPoint topRight =
        isStretched(record) ? BigPoint{params.bigFixed("TopRightR"), params.bigFixed("TopRightI")}
                            : BigPoint{bottomRight.re, topLeft.im};
    return {topLeft, topRight, bottomRight};
}

BigPoint rotationCentre(const FractalRecord& record, const AreaCorners& corners) {
    const ConstBlockRef params = record.params();
    const double along = params.real("RotateX") / 100.0;
    const double down = (100.0 - params.real("RotateY")) / 100.0;
    return corners.topLeft + scaled(corners.topRight - corners.topLeft, along) +
           scaled(corners.bottomRight - corners.topRight, down);
}

void rotatePoint(BigFixed& x, BigFixed& y, double sinA, double cosA) {
    const BigFixed newX = x.multipliedBy(cosA) + y.multipliedBy(sinA);
    const BigFixed newY = y.multipliedBy(cosA) - x.multipliedBy(sinA);
    x = newX;
    y = newY;
}

AreaCorners computeCorners(const FractalRecord& record) {
    const AreaCorners corners = storedCorners(record);
    return turnedAbout(corners, rotationCentre(record, corners), rotationFor(angleOf(record)));
}

namespace {

// The whole image's size, and the region's offsets in the mapping.
RasterSize wholeSize(const FractalRecord& record, RasterSize size) {
    return record.region ? RasterSize{record.region->fullWidth, record.region->fullHeight} : size;
}

PixelMapping withRegionOffsets(PixelMapping mapping, const FractalRecord& record) {
    if (record.region) {
        mapping.columnOffset = record.region->x;
        mapping.rowOffset = record.region->firstRowFromBottom();
    }
    return mapping;
}

} // namespace

PixelMapping pixelMapping(const FractalRecord& record, RasterSize size) {
    const AreaFrame frame = frameOf(computeCorners(record), wholeSize(record, size));
    return withRegionOffsets(mappingOf(frame), record);
}

PixelMapping pixelMappingOverWidth(const FractalRecord& record, RasterSize size) {
    const RasterSize whole = wholeSize(record, size);
    const std::int64_t columnSteps = std::max<std::int64_t>(whole.width, 1);
    return withRegionOffsets(mappingOf(frameOf(computeCorners(record), whole, columnSteps)),
                             record);
}

BigPoint pixelToPoint(const FractalRecord& record, RasterSize size, double column, double row) {
    return pointAt(frameOf(computeCorners(record), size), column, row);
}

CircleInversion circleInversion(const FractalRecord& record) {
    const ConstBlockRef params = record.params();
    return {params.integer("Inversion") == 1, params.bigFixed("InvCenterX").toDouble(),
            params.bigFixed("InvCenterY").toDouble(), params.real("InvRadius")};
}

void invert(const FractalRecord& record, double& re, double& im) {
    circleInversion(record).apply(re, im);
}

std::optional<std::string> zoomArea(FractalRecord& record, RasterSize size, const SelectionBox& box,
                                    ZoomDirection direction) {
    if (!canChangeArea(record, size))
        return std::nullopt;
    const std::optional<PixelBox> pixels = imageBox(box, size);
    if (!pixels)
        return std::nullopt;
    const AreaCorners corners = computeCorners(record);
    const bool in = direction == ZoomDirection::In;
    storeTurnedCorners(record,
                       in ? zoomedIn(corners, size, *pixels) : zoomedOut(corners, size, *pixels));
    return messageLine(in ? kZoomingInText : kZoomingOutText, record);
}

namespace {

// a * b / c rounded to the nearest integer, for non-negative a, b and positive c.
std::int64_t roundedRatio(std::int64_t a, std::int64_t b, std::int64_t c) {
    return (2 * a * b + c) / (2 * c);
}

} // namespace

SelectionBox proportionalBox(RasterSize size, int anchorX, int anchorY, int cursorX, int cursorY) {
    if (size.width < 2 || size.height < 1)
        return {anchorX, anchorY, cursorX, cursorY};
    const std::int64_t columns = size.width - 1;
    const std::int64_t rows = size.height;
    const int x = std::clamp(anchorX, 0, size.width - 1);
    const int y = std::clamp(anchorY, 0, size.height - 1);
    const bool right = cursorX >= x;
    const bool down = cursorY >= y;
    const std::int64_t roomX = right ? size.width - 1 - x : x;
    const std::int64_t roomY = down ? size.height - 1 - y : y;
    const std::int64_t dragX = std::abs(std::int64_t{cursorX} - x);
    const std::int64_t dragY = std::abs(std::int64_t{cursorY} - y);
    const std::int64_t width = std::min(
        {std::max(dragX, roundedRatio(dragY, columns, rows)), roomX, roomY * columns / rows});
    const std::int64_t height = std::min(roundedRatio(width, rows, columns), roomY);
    return {x, y, static_cast<int>(right ? x + width : x - width),
            static_cast<int>(down ? y + height : y - height)};
}

// Turning the corners about their rotation centre commutes with scaling them about a point,
// and the centre itself follows the scaling: so the stored corners scale about the point
// directly, without turning them back and forth.
bool zoomAreaAbout(FractalRecord& record, RasterSize size, double column, double row,
                   double factor) {
    if (!canChangeArea(record, size) || !std::isfinite(factor) || factor <= 0.0)
        return false;
    const BigPoint fixed = pixelToPoint(record, size, column, row);
    const auto scaledAbout = [&](const BigPoint& corner) {
        return fixed + scaled(corner - fixed, factor);
    };
    const AreaCorners corners = storedCorners(record);
    storeCorners(record, {scaledAbout(corners.topLeft), scaledAbout(corners.topRight),
                          scaledAbout(corners.bottomRight)});
    return true;
}

std::optional<std::string> moveArea(FractalRecord& record, RasterSize size, int dx, int dy) {
    if (!canChangeArea(record, size))
        return std::nullopt;
    const AreaCorners corners = computeCorners(record);
    const AreaFrame frame = frameOf(corners, size);
    const BigPoint shift = scaled(frame.column, dx) + scaled(frame.row, dy);
    storeTurnedCorners(
        record, {corners.topLeft - shift, corners.topRight - shift, corners.bottomRight - shift});
    return std::string(kMovingFractalText);
}

bool makeProportional(FractalRecord& record, RasterSize size) {
    if (!canChangeArea(record, size))
        return false;
    const bool stretched = isStretched(record);
    BlockRef params = record.params();
    return stretched ? makeParallelogramProportional(params, size)
                     : makeRectangleProportional(params, size);
}

double zoomCount(const FractalRecord& record) {
    if (!hasComplexArea(record))
        return 0.0;
    const auto fresh = createRecord(record.type, record.subtype, RecordCreationContext{});
    const double count = log2Width(*fresh) - log2Width(record);
    return std::isnan(count) ? 0.0 : count;
}

} // namespace vortimax
