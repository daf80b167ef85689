#include "anim_test_support.h"
#include "animation/frame_interpolator.h"
#include "animation/time_warp.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vortimax {
namespace {

using test::big;
using test::mandelKey;
using test::pointers;

AnimData linearData() {
    AnimData data;
    data.interpolation = 0;
    return data;
}

std::vector<std::unique_ptr<FractalRecord>> bailoutKeys(std::vector<double> bailouts, double gap) {
    std::vector<std::unique_ptr<FractalRecord>> keys;
    for (double bailout : bailouts) {
        keys.push_back(mandelKey(big("0"), big("0"), big("4"), gap));
        keys.back()->params().setReal("Bailout", bailout);
    }
    return keys;
}

double bailoutAt(FrameInterpolator& interpolator, std::int64_t f) {
    auto frame = interpolator.createFrame(f, "frame", {});
    return frame->params().real("Bailout");
}

TEST(KeyTimeline, TwoKeysTenApartMakeElevenFramesWithFrameSixHalfWay) {
    KeyTimeline timeline({10.0, 10.0});
    EXPECT_EQ(timeline.totalFrames(), 11);
    EXPECT_EQ(timeline.frameNumbers(), (std::vector<std::int64_t>{1, 11}));
    EXPECT_DOUBLE_EQ(timeline.segmentOf(6)->fraction, 0.5);
    EXPECT_DOUBLE_EQ(timeline.segmentOf(1)->fraction, 0.0);
    EXPECT_DOUBLE_EQ(timeline.segmentOf(11)->fraction, 1.0);
    EXPECT_FALSE(timeline.segmentOf(0));
    EXPECT_FALSE(timeline.segmentOf(12));
}

TEST(KeyTimeline, FractionalGapsTruncateAtEveryStep) {
    KeyTimeline timeline({2.5, 2.5, 2.5});
    // F: 1, trunc(3.5) = 3, trunc(5.5) = 5; total from trunc(1 - 2.5) = -1: 1, 3, 5.
    EXPECT_EQ(timeline.frameNumbers(), (std::vector<std::int64_t>{1, 3, 5}));
    EXPECT_EQ(timeline.totalFrames(), 5);
    EXPECT_EQ(timeline.positions(), (std::vector<double>{0.0, 2.5, 5.0}));
    EXPECT_EQ(timeline.segmentOf(4)->end, 2u);
}

TEST(KeyTimeline, AGapBelowOneIsFoundAndGivesNoFrames) {
    KeyTimeline timeline({10.0, 0.5, 10.0});
    EXPECT_EQ(timeline.firstShortGap(), 1u);
    // F: 1, 1, 11: the segment of no frames is passed over, none divides by zero.
    EXPECT_EQ(timeline.segmentOf(2)->end, 2u);
    EXPECT_DOUBLE_EQ(timeline.segmentOf(2)->fraction, 0.1);
    EXPECT_FALSE(KeyTimeline({10.0, 1.0}).firstShortGap());
    EXPECT_EQ(KeyTimeline({10.0, 2.0, INFINITY}).firstShortGap(), 2u);
    EXPECT_EQ(KeyTimeline({10.0, NAN}).firstShortGap(), 1u);
    // Frames of keys with such a gap are not made at all.
    auto keys = bailoutKeys({1.0, 2.0, 3.0}, 10.0);
    keys[1]->numFrames = 0.0;
    FrameInterpolator interpolator(pointers(keys), linearData());
    EXPECT_FALSE(interpolator.createFrame(5, "f", {}));
}

TEST(FrameInterpolator, LinearValuesAreHalfWayAtFrameSixAndIntegersTruncate) {
    auto keys = bailoutKeys({4.0, 24.0}, 10.0);
    keys[0]->params().setInteger("MaxIter", 100);
    keys[1]->params().setInteger("MaxIter", 109);
    FrameInterpolator interpolator(pointers(keys), linearData());
    auto frame = interpolator.createFrame(6, "frame", {});
    ASSERT_TRUE(frame);
    EXPECT_DOUBLE_EQ(frame->params().real("Bailout"), 14.0);
    EXPECT_EQ(frame->params().integer("MaxIter"), 104); // 104.5 truncated
    EXPECT_EQ(frame->width, 320);
    EXPECT_FALSE(interpolator.createFrame(12, "frame", {}));
}

TEST(FrameInterpolator, SplinePassesSmoothlyThroughTheMiddleKeyWhereLinearHasACorner) {
    auto keys = bailoutKeys({0.0, 10.0, 30.0}, 10.0);
    FrameInterpolator linear(pointers(keys), linearData());
    const double linearJump = (bailoutAt(linear, 12) - bailoutAt(linear, 11)) -
                              (bailoutAt(linear, 11) - bailoutAt(linear, 10));
    EXPECT_DOUBLE_EQ(linearJump, 1.0);
    FrameInterpolator spline(pointers(keys), AnimData{});
    EXPECT_DOUBLE_EQ(bailoutAt(spline, 11), 10.0);
    const double splineJump = (bailoutAt(spline, 12) - bailoutAt(spline, 11)) -
                              (bailoutAt(spline, 11) - bailoutAt(spline, 10));
    EXPECT_LT(std::fabs(splineJump), 0.2);
    EXPECT_NE(bailoutAt(spline, 6), bailoutAt(linear, 6));
}

TEST(FrameInterpolator, RulesZeroHoldAndMatchFollowTheirKeys) {
    auto keys = bailoutKeys({4.0, 8.0, 12.0}, 4.0);
    keys[0]->params().setInteger("Passes", 1);
    keys[1]->params().setInteger("Passes", 3);
    FrameInterpolator interpolator(pointers(keys), linearData());
    // Passes holds the segment's first key: 1 up to frame 5, 3 after it.
    EXPECT_EQ(interpolator.createFrame(4, "f", {})->params().integer("Passes"), 1);
    EXPECT_EQ(interpolator.createFrame(6, "f", {})->params().integer("Passes"), 3);
}

TEST(FrameInterpolator, ChangeResultTellsRecolourFromRecalculation) {
    auto keys = bailoutKeys({4.0, 4.0}, 10.0);
    keys[1]->params().setReal("ColormodeSpeed", 9.0);
    FrameInterpolator interpolator(pointers(keys), linearData());
    auto frame = interpolator.createFrame(2, "f", {});
    EXPECT_EQ(interpolator.makeFrame(2, *frame), FrameChange::Unchanged);
    EXPECT_EQ(interpolator.makeFrame(3, *frame), FrameChange::Recolour);
    keys[1]->params().setReal("Bailout", 5.0);
    FrameInterpolator moving(pointers(keys), linearData());
    EXPECT_EQ(moving.makeFrame(4, *frame), FrameChange::Recalculate);
    EXPECT_FALSE(moving.makeFrame(0, *frame));
}

TEST(FrameInterpolator, UnusedKnotsComeFromTheOtherKey) {
    auto keys = bailoutKeys({4.0, 4.0}, 10.0);
    keys[0]->settings3D().setReal("Knotx3", -2e9);
    keys[1]->settings3D().setReal("Knotx3", 0.5);
    keys[1]->settings3D().setReal("Knoty3", 0.25);
    keys[0]->settings3D().setReal("Knotx4", 0.75);
    keys[0]->settings3D().setReal("Knoty4", 0.125);
    keys[1]->settings3D().setReal("Knotx4", -2e9);
    FrameInterpolator interpolator(pointers(keys), linearData());
    auto frame = interpolator.createFrame(3, "f", {});
    EXPECT_EQ(frame->settings3D().real("Knotx3"), 0.5);
    EXPECT_EQ(frame->settings3D().real("Knoty3"), 0.25);
    EXPECT_EQ(frame->settings3D().real("Knotx4"), 0.75);
    EXPECT_EQ(frame->settings3D().real("Knoty4"), 0.125);
}

// Logarithmic time reaches both keys, keeps within them and moves slowly first when
// rising, fast first when falling.
TEST(TimeWarp, LogarithmicTimeHitsBothKeysAndStaysInItsStretch) {
    const std::vector<double> xs{0.0, 10.0};
    for (const auto& ys : {std::vector<double>{0.0, 100.0}, std::vector<double>{0.0, 0.5},
                           std::vector<double>{100.0, 0.0}, std::vector<double>{0.3, 0.1}}) {
        EXPECT_NEAR(warpedPosition(0.0, xs, ys), 0.0, 1e-9);
        EXPECT_NEAR(warpedPosition(9.999999, xs, ys), 10.0, 1e-4);
        double previous = 0.0;
        for (double p = 0.5; p < 10.0; p += 0.5) {
            const double warped = warpedPosition(p, xs, ys);
            EXPECT_GT(warped, previous);
            EXPECT_LT(warped, 10.0);
            previous = warped;
        }
    }
    EXPECT_LT(warpedPosition(5.0, xs, {0.0, 100.0}), 5.0);
    EXPECT_GT(warpedPosition(5.0, xs, {100.0, 0.0}), 5.0);
}

TEST(FrameInterpolator, WarpedRowsShowEachKeysOwnValueAtItsFrame) {
    auto keys = bailoutKeys({4.0, 4.0}, 10.0);
    keys[0]->settings3D().setReal("UpDown", 10.0);
    keys[1]->settings3D().setReal("UpDown", 1010.0);
    FrameInterpolator interpolator(pointers(keys), linearData());
    EXPECT_DOUBLE_EQ(interpolator.createFrame(1, "f", {})->settings3D().real("UpDown"), 10.0);
    EXPECT_NEAR(interpolator.createFrame(11, "f", {})->settings3D().real("UpDown"), 1010.0, 1e-9);
    // One frame in: 10 - 1 + 1001^0.1, far below the linear 110.
    EXPECT_NEAR(interpolator.createFrame(2, "f", {})->settings3D().real("UpDown"),
                9.0 + std::pow(1001.0, 0.1), 1e-9);
}

TEST(AreaInterpolation, ZoomOf2To10MovesAtAnEvenPaceOnScreen) {
    std::vector<std::unique_ptr<FractalRecord>> keys;
    keys.push_back(mandelKey(big("-0.5"), big("0"), big("4"), 10.0));
    keys.push_back(mandelKey(big("-0.7431"), big("0.1315"), big("0.00390625"), 10.0));
    FrameInterpolator interpolator(pointers(keys), linearData());
    std::vector<double> widths, centres;
    for (int f = 1; f <= 11; ++f) {
        auto frame = interpolator.createFrame(f, "f", {});
        widths.push_back(test::frameWidth(*frame));
        centres.push_back(test::centreR(*frame));
    }
    EXPECT_DOUBLE_EQ(widths.front(), 4.0);
    EXPECT_DOUBLE_EQ(widths.back(), 0.00390625);
    for (int i = 1; i <= 10; ++i) {
        EXPECT_NEAR(widths[i] / widths[i - 1], 0.5, 1e-12);
        // The centre moves the same fraction of the picture's width every frame.
        EXPECT_NEAR((centres[i] - centres[i - 1]) / widths[i - 1],
                    (centres[1] - centres[0]) / widths[0], 1e-9);
    }
}

TEST(AreaInterpolation, AMoveWithoutZoomIsLinear) {
    std::vector<std::unique_ptr<FractalRecord>> keys;
    keys.push_back(mandelKey(big("0"), big("0"), big("2"), 10.0));
    keys.push_back(mandelKey(big("1"), big("0"), big("2"), 10.0));
    FrameInterpolator interpolator(pointers(keys), AnimData{});
    EXPECT_NEAR(test::centreR(*interpolator.createFrame(6, "f", {})), 0.5, 1e-15);
}

TEST(AreaInterpolation, DeepZoomKeepsItsDigits) {
    std::vector<std::unique_ptr<FractalRecord>> keys;
    const BigFixed cx = big("-0.743643887037158704752191506114774");
    keys.push_back(mandelKey(cx, big("0.1318"), big("3"), 100.0));
    keys.push_back(mandelKey(cx, big("0.1318"), big("0.000000000000000000000000000003"), 100.0));
    FrameInterpolator interpolator(pointers(keys), linearData());
    for (int f : {2, 50, 100, 101}) {
        auto frame = interpolator.createFrame(f, "f", {});
        const double expected = 3.0 * std::pow(1e-30, (f - 1) / 100.0);
        EXPECT_NEAR(test::frameWidth(*frame) / expected, 1.0, 1e-9) << "frame " << f;
        const BigFixed centre = frame->params().bigFixed("TopLeftR") +
                                frame->params().bigFixed("BottomRightR").dividedBy(1);
        EXPECT_NEAR((centre.dividedBy(2) - cx).toDouble() / expected, 0.0, 1e-9);
    }
}

// Three keys on one centre, each 8 times narrower: the spline over all keys would take the
// width below zero and past the last key; those segments move linearly instead.
TEST(AreaInterpolation, SplineAreasNeverTurnInsideOut) {
    std::vector<std::unique_ptr<FractalRecord>> keys;
    keys.push_back(mandelKey(big("-0.75"), big("0.1"), big("4"), 10.0));
    keys.push_back(mandelKey(big("-0.75"), big("0.1"), big("0.5"), 10.0));
    keys.push_back(mandelKey(big("-0.75"), big("0.1"), big("0.0625"), 10.0));
    FrameInterpolator interpolator(pointers(keys), AnimData{});
    EXPECT_FALSE(interpolator.areaFollowsSpline(2));
    double previous = 5.0;
    for (int f = 1; f <= 21; ++f) {
        auto frame = interpolator.createFrame(f, "f", {});
        const double width = test::frameWidth(*frame);
        EXPECT_GT(width, 0.0) << "frame " << f;
        EXPECT_GT(test::frameHeight(*frame), 0.0) << "frame " << f;
        EXPECT_LT(width, previous) << "frame " << f;
        EXPECT_GE(width, 0.0625 * (1 - 1e-12)) << "frame " << f;
        previous = width;
    }
    // Even pace: a factor of 8^(1/10) from frame to frame in the fallen-back segment.
    auto f15 = interpolator.createFrame(15, "f", {});
    auto f16 = interpolator.createFrame(16, "f", {});
    EXPECT_NEAR(test::frameWidth(*f16) / test::frameWidth(*f15), std::pow(0.125, 0.1), 1e-12);
}

// Where the spline keeps the extents between the keys it is kept: a pan along a bend.
TEST(AreaInterpolation, SplineIsKeptWhereItKeepsTheExtents) {
    std::vector<std::unique_ptr<FractalRecord>> keys;
    keys.push_back(mandelKey(big("0"), big("0"), big("1"), 10.0));
    keys.push_back(mandelKey(big("1"), big("1"), big("1"), 10.0));
    keys.push_back(mandelKey(big("2"), big("0"), big("1"), 10.0));
    FrameInterpolator spline(pointers(keys), AnimData{});
    FrameInterpolator linear(pointers(keys), linearData());
    EXPECT_TRUE(spline.areaFollowsSpline(1));
    EXPECT_TRUE(spline.areaFollowsSpline(2));
    auto curved = spline.createFrame(6, "f", {});
    auto straight = linear.createFrame(6, "f", {});
    EXPECT_NEAR(test::frameWidth(*curved), 1.0, 1e-12);
    const double curvedTop = curved->params().bigFixed("TopLeftI").toDouble();
    const double straightTop = straight->params().bigFixed("TopLeftI").toDouble();
    EXPECT_GT(curvedTop, straightTop + 0.01);
}

} // namespace
} // namespace vortimax
