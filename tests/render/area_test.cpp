#include "model/fractal_record.h"
#include "model/type_registry.h"
#include "render/area.h"

#include <cmath>
#include <gtest/gtest.h>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
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

void setArea(FractalRecord& record, const char* left, const char* top, const char* right,
             const char* bottom) {
    BlockRef p = record.params();
    p.setBigFixed("TopLeftR", big(left));
    p.setBigFixed("TopLeftI", big(top));
    p.setBigFixed("BottomRightR", big(right));
    p.setBigFixed("BottomRightI", big(bottom));
}

void setStretched(FractalRecord& record, const char* topRightRe, const char* topRightIm) {
    record.params().setInteger("Stretch", 1);
    record.params().setBigFixed("TopRightR", big(topRightRe));
    record.params().setBigFixed("TopRightI", big(topRightIm));
}

void setRotation(FractalRecord& record, double angle, double rotateX = 50, double rotateY = 50) {
    record.params().setReal("Angle", angle);
    record.params().setReal("RotateX", rotateX);
    record.params().setReal("RotateY", rotateY);
}

BigFixed param(const FractalRecord& record, const char* key) {
    return record.params().bigFixed(key);
}

void expectNear(const BigPoint& actual, double re, double im, double tolerance) {
    EXPECT_NEAR(actual.re.toDouble(), re, tolerance);
    EXPECT_NEAR(actual.im.toDouble(), im, tolerance);
}

void expectCornersNear(const AreaCorners& actual, const AreaCorners& expected, double tolerance) {
    const auto near = [tolerance](const BigPoint& a, const BigPoint& e) {
        expectNear(a, e.re.toDouble(), e.im.toDouble(), tolerance);
    };
    near(actual.topLeft, expected.topLeft);
    near(actual.topRight, expected.topRight);
    near(actual.bottomRight, expected.bottomRight);
}

TEST(AreaMapping, UnturnedPixelsReachTheEdges) {
    auto record = make(); // -2.1 .. 0.7, 1.35 .. -1.35, Angle 0, centre 50/50
    const PixelMapping m = pixelMapping(*record, RasterSize{800, 600});
    const double left = param(*record, "TopLeftR").toDouble();
    const double top = param(*record, "TopLeftI").toDouble();
    const double bottom = param(*record, "BottomRightI").toDouble();
    EXPECT_EQ(m.pointFor(0, 0), (Complex{left, bottom}));
    EXPECT_DOUBLE_EQ(m.pointFor(799, 0).re, param(*record, "BottomRightR").toDouble());
    EXPECT_EQ(m.pointFor(799, 0).im, bottom);
    EXPECT_EQ(m.pointFor(0, 599).re, left);
    EXPECT_DOUBLE_EQ(m.pointFor(0, 599).im, top - (top - bottom) / 600);

    // With steps that are exact in binary every pixel is exact.
    setArea(*record, "-2", "1.5", "2", "-1.5");
    const PixelMapping exact = pixelMapping(*record, RasterSize{9, 6});
    EXPECT_EQ(exact.pointFor(8, 0), (Complex{2.0, -1.5}));
    EXPECT_EQ(exact.pointFor(0, 5), (Complex{-2.0, 1.0}));
    EXPECT_EQ(exact.pointFor(3, 2), (Complex{-0.5, -0.5}));
}

TEST(AreaMapping, RotationCentreAndQuarterTurn) {
    auto record = make();
    setArea(*record, "-2", "1", "2", "-1");
    // RotateX along the top edge from the left, RotateY up from the bottom.
    setRotation(*record, 0, 25, 75);
    expectNear(rotationCentre(*record, storedCorners(*record)), -1.0, 0.5, 0);

    // A quarter turn clockwise about the middle makes the wide area tall.
    setRotation(*record, 90);
    const AreaCorners turned = computeCorners(*record);
    expectNear(turned.topLeft, 1, 2, 1e-15);
    expectNear(turned.topRight, 1, -2, 1e-15);
    expectNear(turned.bottomRight, -1, -2, 1e-15);
    const PixelMapping m = pixelMapping(*record, RasterSize{5, 4});
    EXPECT_NEAR(m.columnIm, -1.0, 1e-15); // one step down per column
    EXPECT_NEAR(m.rowRe, 0.5, 1e-15);     // one step right per row

    // The corner the centre sits on stays where it is.
    setRotation(*record, 37, 0, 100);
    EXPECT_EQ(computeCorners(*record).topLeft, storedCorners(*record).topLeft);
    setRotation(*record, -120, 100, 0);
    EXPECT_EQ(computeCorners(*record).bottomRight, storedCorners(*record).bottomRight);
}

TEST(AreaMapping, StretchedAreaAndDegenerateSizes) {
    auto record = make();
    setArea(*record, "0", "0", "5", "-2");
    setStretched(*record, "4", "1");
    const PixelMapping m = pixelMapping(*record, RasterSize{5, 3});
    // Bottom left = P0 + P2 - P1; column step (P1 - P0) / 4; row step (P1 - P2) / 3.
    EXPECT_EQ(m.pointFor(0, 0), (Complex{1.0, -3.0}));
    EXPECT_EQ(m.pointFor(4, 3), (Complex{4.0, 1.0}));
    EXPECT_DOUBLE_EQ(m.rowRe, -1.0 / 3);

    // Without Stretch the stored top-right corner is ignored. An image one column wide
    // (or empty) counts as one step across and one step up.
    record->params().setInteger("Stretch", 0);
    for (const RasterSize size : {RasterSize{1, 1}, RasterSize{0, 0}, RasterSize{-5, -3}}) {
        const PixelMapping one = pixelMapping(*record, size);
        EXPECT_EQ(one.pointFor(0, 0), (Complex{0.0, -2.0}));
        EXPECT_EQ(one.pointFor(1, 1), (Complex{5.0, 0.0}));
        expectNear(pixelToPoint(*record, size, 1, 0.5), 5, -1, 0);
    }
}

TEST(AreaMapping, CircleInversionWithALinearRadius) {
    auto record = make(); // radius 1 about 0, switched off
    EXPECT_FALSE(circleInversion(*record).enabled);
    double re = 2, im = 0;
    invert(*record, re, im);
    EXPECT_EQ((Complex{re, im}), (Complex{0.5, 0.0}));
    re = 0, im = 1; // |d| = 1 stays
    invert(*record, re, im);
    EXPECT_EQ((Complex{re, im}), (Complex{0.0, 1.0}));

    const struct {
        CircleInversion inversion;
        Complex point, inverted;
    } cases[] = {
        {{true, 1, 1, 2}, {3, 1}, {2, 1}}, // Q + d * 2 / 4; a squared radius would give 3
        {{true, 0.5, -0.5, 1}, {0.5, -0.5}, {kFar, kFar}}, // the centre itself
        {{true, 0, 0, 1}, {1e-160, 0}, {kFar, kFar}},      // the factor overflows
        {{true, 0.5, -0.5, 0}, {0.5, -0.5}, {kFar, kFar}}, // 0 / 0
    };
    for (const auto& c : cases) {
        re = c.point.re, im = c.point.im;
        c.inversion.apply(re, im);
        EXPECT_EQ((Complex{re, im}), c.inverted) << c.point.re;
    }
}

TEST(Zoom, BoxContentsBecomeTheImage) {
    auto record = make();
    setArea(*record, "-2", "1.5", "2", "-1.5"); // steps of 0.5 on a 9 x 6 image
    // Corners in either order; window rows 1 .. 3 are image rows 4 .. 2.
    const auto message = zoomArea(*record, {9, 6}, {6, 3, 2, 1}, ZoomDirection::In);
    EXPECT_EQ(message, std::optional<std::string>("Zooming in: Test"));
    const AreaCorners stored = storedCorners(*record);
    EXPECT_EQ(stored.topLeft, (BigPoint{big("-1"), big("0.5")}));
    EXPECT_EQ(stored.bottomRight, (BigPoint{big("1"), big("-0.5")}));

    // Turned: the area keeps its angle and the box corners become the turned corners.
    setRotation(*record, 30, 20, 70);
    const RasterSize size{640, 480};
    const AreaCorners box{pixelToPoint(*record, size, 100, 479 - 40),
                          pixelToPoint(*record, size, 300, 479 - 40),
                          pixelToPoint(*record, size, 300, 479 - 200)};
    ASSERT_TRUE(zoomArea(*record, size, {100, 40, 300, 200}, ZoomDirection::In));
    EXPECT_EQ(record->params().real("Angle"), 30.0);
    expectCornersNear(computeCorners(*record), box, 1e-14);
}

TEST(Zoom, OutUndoesInWithTheSameBox) {
    const RasterSize size{800, 600};
    const SelectionBox selection{500, 350, 100, 50};
    for (const auto& [angle, stretched] : {std::pair{0.0, false}, {30.0, false}, {30.0, true}}) {
        SCOPED_TRACE(testing::Message() << angle << " " << stretched);
        auto record = make();
        setRotation(*record, angle, 20, 70);
        if (stretched)
            setStretched(*record, "0.9", "1.6");
        const AreaCorners before = computeCorners(*record);
        ASSERT_TRUE(zoomArea(*record, size, selection, ZoomDirection::In));
        const AreaCorners zoomed = computeCorners(*record);
        EXPECT_NEAR((zoomed.topRight.re - zoomed.topLeft.re).toDouble(),
                    (before.topRight.re - before.topLeft.re).toDouble() * 400 / 799, 1e-12);
        EXPECT_EQ(zoomArea(*record, size, selection, ZoomDirection::Out),
                  std::optional<std::string>("Zooming out: Test"));
        expectCornersNear(computeCorners(*record), before, 3e-12);
    }
}

TEST(Zoom, AreaChangesWithoutBoxAreaOrImageAreIgnored) {
    const RasterSize size{800, 600};
    const SelectionBox good{10, 10, 50, 40};
    const struct {
        std::uint32_t type;
        SelectionBox selection;
        RasterSize size;
        bool onlyZoomFails = false; // move and proportional have no box
    } cases[] = {
        {kTypeMandel, SelectionBox{}, size, true},                    // no box
        {kTypeMandel, {SelectionBox::kNone, 10, 50, 40}, size, true}, // no box
        {kTypeMandel, {30, 10, 30, 40}, size, true},                  // zero width
        {kTypeMandel, {10, 25, 50, 25}, size, true},                  // zero height
        {kTypePlasma, good, size},                                    // no area
        {kTypeCompound, good, size},                                  // no area
        {kTypeMandel, good, {0, 600}},                                // no image
        {kTypeMandel, good, {800, 0}},                                // no image
    };
    for (const auto& c : cases) {
        auto record = make(c.type);
        const ParamBlock before = record->paramBlock;
        EXPECT_FALSE(zoomArea(*record, c.size, c.selection, ZoomDirection::In));
        EXPECT_FALSE(zoomArea(*record, c.size, c.selection, ZoomDirection::Out));
        if (!c.onlyZoomFails) {
            EXPECT_FALSE(moveArea(*record, c.size, 1, 1));
            EXPECT_FALSE(makeProportional(*record, c.size));
        }
        EXPECT_EQ(record->paramBlock, before);
    }
}

TEST(Proportional, RectangleTakesTheImageRatioBelowTheTopEdge) {
    auto record = make();
    setArea(*record, "-2", "1.5", "2", "-3");
    ASSERT_TRUE(makeProportional(*record, {8, 6}));
    const AreaCorners stored = storedCorners(*record);
    EXPECT_EQ(stored.topLeft, (BigPoint{big("-2"), big("1.5")}));
    EXPECT_EQ(stored.bottomRight, (BigPoint{big("2"), big("-1.5")}));

    // Wide areas: width * height would not fit a coordinate.
    setArea(*record, "-5000", "0", "5000", "-1");
    ASSERT_TRUE(makeProportional(*record, {2000, 1000}));
    EXPECT_EQ(param(*record, "BottomRightI"), big("-5000"));

    // Deep zooms keep their height instead of rounding it away.
    setArea(*record, "0.3", "0.1", "0.30000000000000000001", "0");
    ASSERT_TRUE(makeProportional(*record, {4, 3}));
    EXPECT_NEAR((param(*record, "TopLeftI") - param(*record, "BottomRightI")).toDouble(), 7.5e-21,
                1e-33);
}

TEST(Proportional, ParallelogramRescalesItsSide) {
    auto record = make();
    setArea(*record, "0", "0", "4", "-1");
    setStretched(*record, "4", "0");
    ASSERT_TRUE(makeProportional(*record, {4, 3}));
    EXPECT_EQ(storedCorners(*record).bottomRight, (BigPoint{big("4"), big("-3")})); // exactly L

    // Slanted: the real part by 3 / |(1, -1)|, then the imaginary part by
    // 3 / |(3 / sqrt 2, -1)|.
    setArea(*record, "0", "0", "5", "-1");
    ASSERT_TRUE(makeProportional(*record, {4, 3}));
    expectNear(storedCorners(*record).bottomRight, 4 + 3 / std::sqrt(2.0), -3 / std::sqrt(5.5),
               1e-14);

    // A collapsed side cannot be rescaled.
    setArea(*record, "0", "0", "4", "0");
    const ParamBlock before = record->paramBlock;
    EXPECT_FALSE(makeProportional(*record, {4, 3}));
    EXPECT_EQ(record->paramBlock, before);
}

TEST(Move, AreaMovesByWholePixelSteps) {
    auto record = make();
    setArea(*record, "-2", "1.5", "2", "-1.5"); // steps of 0.5 on a 9 x 6 image
    EXPECT_EQ(moveArea(*record, {9, 6}, 3, -2), std::optional<std::string>("Moving fractal"));
    EXPECT_EQ(storedCorners(*record).topLeft, (BigPoint{big("-3.5"), big("2.5")}));
    EXPECT_EQ(storedCorners(*record).bottomRight, (BigPoint{big("0.5"), big("-0.5")}));

    // Steps that are not exact in binary: the shift is the truncated step times dx.
    auto plain = make(); // -2.1 .. 0.7 on 800 columns
    const BigFixed left = param(*plain, "TopLeftR");
    const BigFixed step = (param(*plain, "BottomRightR") - left).dividedBy(799);
    ASSERT_TRUE(moveArea(*plain, {800, 600}, 7, 0));
    EXPECT_EQ(param(*plain, "TopLeftR"), left - step.multipliedBy(7));
}

TEST(Move, TurnedAreaFollowsTheDraggedImage) {
    auto record = make();
    setRotation(*record, 30, 20, 70);
    setStretched(*record, "0.9", "1.6");
    const RasterSize size{640, 480};
    const AreaCorners before = computeCorners(*record);
    const PixelMapping old = pixelMapping(*record, size);
    ASSERT_TRUE(moveArea(*record, size, 25, -40));
    // What pixel (x, y) showed is now shown at (x + 25, y - 40).
    const Complex moved = pixelMapping(*record, size).pointFor(125, 60);
    EXPECT_NEAR(moved.re, old.pointFor(100, 100).re, 1e-14);
    EXPECT_NEAR(moved.im, old.pointFor(100, 100).im, 1e-14);
    ASSERT_TRUE(moveArea(*record, size, -25, 40));
    expectCornersNear(computeCorners(*record), before, 1e-14);
}

TEST(ZoomCountTest, Log2OfTheDefaultWidthOverThePresentOne) {
    auto record = make();
    EXPECT_EQ(zoomCount(*record), 0.0);
    setArea(*record, "-2.1", "1", "-1.75", "0"); // 2.8 / 8
    EXPECT_NEAR(zoomCount(*record), 3.0, 1e-12);
    // Far below what a double conversion of the width would see.
    const BigFixed width = BigFixed::fromWords({0, 0, 0, 1, 0, 0, 0, 0, 0, 0}); // 2^-200
    BlockRef p = record->params();
    p.setBigFixed("BottomRightR", p.bigFixed("TopLeftR") + width.multipliedBy(2.8).dividedBy(64));
    EXPECT_NEAR(zoomCount(*record), 206.0, 1e-9);
    p.setBigFixed("BottomRightR", p.bigFixed("TopLeftR"));
    EXPECT_EQ(zoomCount(*record), 0.0);
    EXPECT_EQ(zoomCount(*make(kTypePlasma)), 0.0);
}

} // namespace
} // namespace vortimax
