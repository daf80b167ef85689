#include "model/fractal_record.h"
#include "model/type_registry.h"
#include "render/area/area.h"

#include <cmath>
#include <gtest/gtest.h>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

namespace vortimax {
namespace {

constexpr double kFar = CircleInversion::kInvertedFar;

BigFixed big(const char* text) {
    return BigFixed::fromTextOrZero(text, BigFixed::kFileDigitLimit);
}

std::unique_ptr<FractalRecord> make(std::uint32_t type = kTypeMandel) {
    auto record = createRecord(type, 0, RecordCreationContext{});
    record->name = "Test";
    return record;
}

// Corners as decimal text: left, top, right, bottom and, for a parallelogram (Stretch 1),
// the top-right corner's re and im. The stored top right is kept for a rectangle.
void setArea(FractalRecord& record, std::initializer_list<const char*> values) {
    const char* keys[] = {"TopLeftR",     "TopLeftI",  "BottomRightR",
                          "BottomRightI", "TopRightR", "TopRightI"};
    const char** key = keys;
    for (const char* value : values)
        record.params().setBigFixed(*key++, big(value));
    record.params().setInteger("Stretch", values.size() > 4 ? 1 : 0);
}

void setRotation(FractalRecord& record, double angle, double rotateX = 50, double rotateY = 50) {
    record.params().setReal("Angle", angle);
    record.params().setReal("RotateX", rotateX);
    record.params().setReal("RotateY", rotateY);
}

void expectNear(const BigPoint& actual, double re, double im, double tolerance) {
    EXPECT_NEAR(actual.re.toDouble(), re, tolerance);
    EXPECT_NEAR(actual.im.toDouble(), im, tolerance);
}

void expectCornersNear(const AreaCorners& actual, const AreaCorners& e, double tolerance) {
    for (auto c : {&AreaCorners::topLeft, &AreaCorners::topRight, &AreaCorners::bottomRight})
        expectNear(actual.*c, (e.*c).re.toDouble(), (e.*c).im.toDouble(), tolerance);
}

TEST(AreaMapping, PixelsSpanTheEdgesExactly) {
    auto record = make();
    setArea(*record, {"-2", "1.5", "2", "-1.5"}); // binary-exact steps of 0.5 on 9 x 6
    const PixelMapping m = pixelMapping(*record, RasterSize{9, 6});
    EXPECT_EQ(m.pointFor(0, 0), (Complex{-2.0, -1.5}));
    EXPECT_EQ(m.pointFor(8, 0), (Complex{2.0, -1.5})); // right column on the right edge
    EXPECT_EQ(m.pointFor(0, 5), (Complex{-2.0, 1.0})); // top row one step below the top

    setArea(*record, {"0", "0", "5", "-2", "4", "1"});
    const PixelMapping s = pixelMapping(*record, RasterSize{5, 3});
    EXPECT_EQ(s.pointFor(0, 0), (Complex{1.0, -3.0})); // P0 + P2 - P1
    EXPECT_EQ(s.pointFor(4, 3), (Complex{4.0, 1.0}));

    // Stretch 0 ignores the stored top right; sizes below 1 must not divide by zero.
    setArea(*record, {"0", "0", "5", "-2"});
    for (const RasterSize size : {RasterSize{1, 1}, RasterSize{0, 0}, RasterSize{-5, -3}}) {
        const PixelMapping one = pixelMapping(*record, size);
        EXPECT_EQ(one.pointFor(0, 0), (Complex{0.0, -2.0}));
        EXPECT_EQ(one.pointFor(1, 1), (Complex{5.0, 0.0}));
        expectNear(pixelToPoint(*record, size, 1, 0.5), 5, -1, 0);
    }
}

TEST(AreaMapping, RotationCentreAndQuarterTurn) {
    auto record = make();
    setArea(*record, {"-2", "1", "2", "-1"});
    setRotation(*record, 0, 25, 75); // RotateX from the left, RotateY up from the bottom
    expectNear(rotationCentre(*record, storedCorners(*record)), -1.0, 0.5, 0);

    // A quarter turn clockwise about the middle makes the wide area tall: bottom left
    // (-1, 2), one unit down per column, half a unit right per row.
    setRotation(*record, 90);
    const PixelMapping m = pixelMapping(*record, RasterSize{5, 4});
    const double got[] = {m.originRe, m.originIm, m.columnRe, m.columnIm, m.rowRe, m.rowIm};
    const double want[] = {-1, 2, 0, -1, 0.5, 0};
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(got[i], want[i], 1e-15) << i;

    setRotation(*record, -120, 0, 100); // a corner the centre sits on stays put
    EXPECT_EQ(computeCorners(*record).topLeft, storedCorners(*record).topLeft);
}

// The radius enters linearly; the centre, an overflowing factor and 0 / 0 go to the far point.
TEST(AreaMapping, CircleInversion) {
    const CircleInversion fresh = circleInversion(*make()); // radius 1 about 0, off
    EXPECT_FALSE(fresh.enabled);
    const std::tuple<CircleInversion, Complex, Complex> cases[] = {
        {fresh, {2, 0}, {0.5, 0}},
        {{true, 1, 1, 2}, {3, 1}, {2, 1}},
        {{true, 0.5, -0.5, 1}, {0.5, -0.5}, {kFar, kFar}},
        {{true, 0, 0, 1}, {1e-160, 0}, {kFar, kFar}},
        {{true, 0.5, -0.5, 0}, {0.5, -0.5}, {kFar, kFar}}};
    for (auto [inversion, point, inverted] : cases) {
        inversion.apply(point.re, point.im);
        EXPECT_EQ(point, inverted) << inverted.re;
    }
}

TEST(AreaChange, ExactStepsGiveExactCorners) {
    auto record = make();
    const BlockRef p = record->params();
    setArea(*record, {"-2", "1.5", "2", "-1.5"}); // steps of 0.5 on 9 x 6
    EXPECT_EQ(moveArea(*record, {9, 6}, 3, -2), std::optional<std::string>("Moving fractal"));
    EXPECT_EQ(storedCorners(*record).topLeft, (BigPoint{big("-3.5"), big("2.5")}));
    EXPECT_EQ(storedCorners(*record).bottomRight, (BigPoint{big("0.5"), big("-0.5")}));
    // Corners in either order; window rows 1 .. 3 are image rows 4 .. 2.
    EXPECT_EQ(zoomArea(*record, {9, 6}, {6, 3, 2, 1}, ZoomDirection::In),
              std::optional<std::string>("Zooming in: Test"));
    EXPECT_EQ(storedCorners(*record).topLeft, (BigPoint{big("-2.5"), big("1.5")}));
    EXPECT_EQ(storedCorners(*record).bottomRight, (BigPoint{big("-0.5"), big("0.5")}));

    // Inexact steps: the shift is the truncated step times dx, not (width * dx) / 799.
    const BigFixed left = p.bigFixed("TopLeftR");
    const BigFixed step = (p.bigFixed("BottomRightR") - left).dividedBy(799);
    ASSERT_TRUE(moveArea(*record, {800, 600}, 7, 0));
    EXPECT_EQ(p.bigFixed("TopLeftR"), left - step.multipliedBy(7));
}

TEST(AreaChange, ZoomAndMoveFollowTheImagePlainTurnedOrStretched) {
    const RasterSize size{640, 480};
    for (const auto& [angle, stretched] : {std::pair{0.0, false}, {30.0, false}, {30.0, true}}) {
        SCOPED_TRACE(testing::Message() << angle << " " << stretched);
        auto record = make();
        setRotation(*record, angle, 20, 70);
        if (stretched)
            setArea(*record, {"-2.1", "1.35", "0.7", "-1.35", "0.9", "1.6"});
        const AreaCorners before = computeCorners(*record);
        // The box corners become the turned corners; the angle stays.
        const AreaCorners box{pixelToPoint(*record, size, 100, 439),
                              pixelToPoint(*record, size, 300, 439),
                              pixelToPoint(*record, size, 300, 279)};
        ASSERT_TRUE(zoomArea(*record, size, {100, 40, 300, 200}, ZoomDirection::In));
        EXPECT_EQ(record->params().real("Angle"), angle);
        expectCornersNear(computeCorners(*record), box, 1e-14);
        EXPECT_EQ(zoomArea(*record, size, {100, 40, 300, 200}, ZoomDirection::Out),
                  std::optional<std::string>("Zooming out: Test"));
        expectCornersNear(computeCorners(*record), before, 1e-12);

        // What pixel (x, y) showed is now at (x + 25, y - 40).
        const BigPoint old = pixelToPoint(*record, size, 100, 100);
        ASSERT_TRUE(moveArea(*record, size, 25, -40));
        expectNear(pixelToPoint(*record, size, 125, 60), old.re.toDouble(), old.im.toDouble(),
                   1e-14);
    }
}

TEST(AreaChange, RequestsWithoutBoxAreaOrImageChangeNothing) {
    const SelectionBox good{10, 10, 50, 40};
    for (const auto& [type, size] : {std::pair{kTypePlasma, RasterSize{800, 600}},
                                     {kTypeCompound, RasterSize{800, 600}},
                                     {kTypeMandel, RasterSize{0, 600}},
                                     {kTypeMandel, RasterSize{800, 0}}}) {
        auto record = make(type);
        EXPECT_FALSE(zoomArea(*record, size, good, ZoomDirection::In));
        EXPECT_FALSE(moveArea(*record, size, 1, 1));
        EXPECT_FALSE(makeProportional(*record, size));
        EXPECT_EQ(record->paramBlock, make(type)->paramBlock);
    }
    // No box (only x1 marks it), zero width, zero height.
    for (const SelectionBox box :
         {SelectionBox{SelectionBox::kNone, 10, 50, 40}, {30, 10, 30, 40}, {10, 25, 50, 25}}) {
        auto record = make();
        EXPECT_FALSE(zoomArea(*record, {800, 600}, box, ZoomDirection::In));
        EXPECT_FALSE(zoomArea(*record, {800, 600}, box, ZoomDirection::Out));
        EXPECT_EQ(record->paramBlock, make()->paramBlock);
    }
}

// The pixel under the cursor shows the same point after a wheel step, to the precision of
// the area's numbers, whether the area is turned, stretched or deeply zoomed; a step in and
// a step out about the same pixel give the area back.
TEST(AreaChange, ZoomAboutAPixelKeepsItsPoint) {
    const RasterSize size{640, 480};
    struct Case {
        double angle;
        bool stretched;
        bool deep;
        double column, row, factor;
    };
    const Case cases[] = {
        {0, false, false, 100, 300, 0.5},    {0, false, false, 639.5, 0, 2},
        {30, false, false, 17.25, 401, 0.5}, {30, true, false, 320, 240, 0.25},
        {-75, true, true, 5, 470, 0.5},      {0, false, true, 600.75, 12.5, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.angle << " " << c.stretched << " " << c.deep);
        auto record = make();
        setRotation(*record, c.angle, 20, 70);
        if (c.stretched)
            setArea(*record, {"-2.1", "1.35", "0.7", "-1.35", "0.9", "1.6"});
        if (c.deep) {
            ASSERT_TRUE(zoomAreaAbout(*record, size, 200, 200, 1e-40));
        }
        const BigFixed width =
            record->params().bigFixed("BottomRightR") - record->params().bigFixed("TopLeftR");
        const AreaCorners start = computeCorners(*record);
        const BigPoint before = pixelToPoint(*record, size, c.column, c.row);
        ASSERT_TRUE(zoomAreaAbout(*record, size, c.column, c.row, c.factor));
        const BigPoint after = pixelToPoint(*record, size, c.column, c.row);
        // Both differences far below a millionth of a millionth of a pixel step.
        const double tolerance = std::fabs(width.toDouble()) * 1e-25;
        const auto expectSame = [&](const BigPoint& a, const BigPoint& b) {
            EXPECT_LE(std::fabs((a.re - b.re).toDouble()), tolerance);
            EXPECT_LE(std::fabs((a.im - b.im).toDouble()), tolerance);
        };
        expectSame(after, before);
        const BigFixed newWidth =
            record->params().bigFixed("BottomRightR") - record->params().bigFixed("TopLeftR");
        EXPECT_NEAR(newWidth.toDouble() / width.toDouble(), c.factor, 1e-12);
        EXPECT_EQ(record->params().real("Angle"), c.angle);
        ASSERT_TRUE(zoomAreaAbout(*record, size, c.column, c.row, 1 / c.factor));
        const AreaCorners back = computeCorners(*record);
        for (auto k : {&AreaCorners::topLeft, &AreaCorners::topRight, &AreaCorners::bottomRight})
            expectSame(back.*k, start.*k);
    }
    auto record = make();
    for (const double factor : {0.0, -0.5, std::nan(""), HUGE_VAL})
        EXPECT_FALSE(zoomAreaAbout(*record, size, 1, 1, factor));
    EXPECT_FALSE(zoomAreaAbout(*make(kTypePlasma), size, 1, 1, 0.5));
    EXPECT_EQ(record->paramBlock, make()->paramBlock);
}

// The drawn box keeps the image's proportions (its width spans width - 1 columns, its height
// the rows), follows the larger drag distance and stops at the image's edges.
TEST(ZoomBox, KeepsTheImageProportionsInsideTheImage) {
    struct Case {
        RasterSize size;
        int anchorX, anchorY, cursorX, cursorY;
        SelectionBox box;
    };
    const Case cases[] = {
        {{65, 48}, 10, 10, 42, 12, {10, 10, 42, 34}}, // wider drag decides
        {{65, 48}, 10, 10, 12, 34, {10, 10, 42, 34}}, // taller drag decides
        {{65, 48}, 40, 30, 0, 29, {40, 30, 0, 0}},    // up and left, stopped at the top
        {{65, 48}, 60, 5, 64, 47, {60, 5, 64, 8}},    // stopped at the right edge
        {{641, 480}, 0, 479, 99, 478, {0, 479, 99, 405}},
        {{65, 48}, 10, 10, 10, 10, {10, 10, 10, 10}}, // a click is no box
        {{65, 48}, -5, 70, 20, 0, {0, 47, 62, 0}},    // the anchor is taken into the image
        {{1, 48}, 0, 3, 0, 9, {0, 3, 0, 9}},          // too narrow: as drawn
    };
    for (const Case& c : cases) {
        const SelectionBox box =
            proportionalBox(c.size, c.anchorX, c.anchorY, c.cursorX, c.cursorY);
        EXPECT_EQ(std::tie(box.x1, box.y1, box.x2, box.y2),
                  std::tie(c.box.x1, c.box.y1, c.box.x2, c.box.y2))
            << c.anchorX << "," << c.anchorY << " -> " << c.cursorX << "," << c.cursorY;
    }
    // Zooming into a drawn box keeps the pixels' shape, up to the box's whole pixels.
    const RasterSize size{641, 481};
    auto record = make();
    const PixelMapping before = pixelMapping(*record, size);
    ASSERT_TRUE(
        zoomArea(*record, size, proportionalBox(size, 100, 50, 400, 60), ZoomDirection::In));
    const PixelMapping after = pixelMapping(*record, size);
    EXPECT_NEAR((after.columnRe / after.rowIm) / (before.columnRe / before.rowIm), 1.0, 0.003);
}

TEST(Proportional, RectangleKeepsItsTopEdgeParallelogramItsSide) {
    auto record = make();
    const BlockRef p = record->params();
    setArea(*record, {"-2", "1.5", "2", "-3"});
    ASSERT_TRUE(makeProportional(*record, {8, 6}));
    EXPECT_EQ(p.bigFixed("TopLeftI"), big("1.5"));
    EXPECT_EQ(p.bigFixed("BottomRightI"), big("-1.5"));

    setArea(*record, {"-5000", "0", "5000", "-1"}); // width * height would saturate
    ASSERT_TRUE(makeProportional(*record, {2000, 1000}));
    EXPECT_EQ(p.bigFixed("BottomRightI"), big("-5000"));

    setArea(*record, {"0.3", "0.1", "0.30000000000000000001", "0"}); // deep zoom
    ASSERT_TRUE(makeProportional(*record, {4, 3}));
    EXPECT_NEAR((p.bigFixed("TopLeftI") - p.bigFixed("BottomRightI")).toDouble(), 7.5e-21, 1e-33);

    // A parallelogram rescales its right side; slanted: re scaled by 3 / |(1, -1)|, then im by 3 /
    // |(3 / sqrt 2, -1)|.
    setArea(*record, {"0", "0", "5", "-1", "4", "0"});
    ASSERT_TRUE(makeProportional(*record, {4, 3}));
    expectNear(storedCorners(*record).bottomRight, 4 + 3 / std::sqrt(2.0), -3 / std::sqrt(5.5),
               1e-14);

    setArea(*record, {"0", "0", "4", "0", "4", "0"}); // a collapsed side cannot be rescaled
    const ParamBlock before = record->paramBlock;
    EXPECT_FALSE(makeProportional(*record, {4, 3}));
    EXPECT_EQ(record->paramBlock, before);
}

} // namespace
} // namespace vortimax
