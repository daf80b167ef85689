#include "model/folder.h"
#include "palette/hsv.h"
#include "relief_fixture.h"
#include "render/colour/dither.h"
#include "render/relief/horizon_strip.h"
#include "render/relief/relief_colour.h"
#include "render/relief/relief_heights.h"
#include "render/relief/relief_light.h"
#include "render/relief/relief_overlay.h"
#include "render/relief/relief_renderer.h"
#include "render/relief/relief_settings.h"

#include <cmath>
#include <gtest/gtest.h>
#include <set>

namespace vortimax {
namespace {

using test::ReliefView;

constexpr double kDegree = 0.017453292519444445;

// Screen row i for data row i: YStretch a hair above 1.5 at 90 degrees, 3 at 30.
void rowPerRow(ReliefView& v, double angle) {
    v.set3D("ObserverVAngle", angle);
    v.set3D("YStretch", (angle == 90.0 ? 1.5 : 3.0) * 1.0000001);
}

void identityTransfer(ReliefView& v) {
    v.set3D("Knotx1", -1e10);
    v.set3D("FrontMult", 1.0);
    v.set3D("BackMult", 1.0);
}

void whiteSurface(ReliefView& v) {
    v.set3D("Drawmode", 1);
    for (auto key : {"ColorRed", "ColorGreen", "ColorBlue"})
        v.set3D(key, 255);
}

TEST(HeightCurve, UsesOnlyTheLeadingKnots) {
    auto record = createRecord(kTypeMandel, 0, RecordCreationContext{});
    const BlockRef block = record->settings3D();
    EXPECT_NEAR(HeightCurve(*record)(11.0), 46.4, 1e-12); // the default knots
    block.setReal("Knotx3", -1e10); // knots 3 and 4 drop out: the line through 1 and 2
    EXPECT_NEAR(HeightCurve(*record)(19.0), 92.8, 1e-9);
    block.setReal("Knotx1", -1e10); // none left: heights pass unchanged
    EXPECT_EQ(HeightCurve(*record)(1234.5), 1234.5);
}

TEST(HeightTransfer, BlendsFrontToBackAndSurvivesOneRow) {
    auto record = createRecord(kTypeMandel, 0, RecordCreationContext{});
    record->settings3D().setReal("Knotx1", -1e10);
    ReliefSettings s;
    s.frontMult = 2.0;
    s.backMult = 4.0;
    s.upDown = 1.0;
    const HeightTransfer five(*record, s, 5);
    EXPECT_DOUBLE_EQ(five(9.0, 0), 20.0);
    EXPECT_DOUBLE_EQ(five(9.0, 2), 30.0);
    EXPECT_DOUBLE_EQ(five(9.0, 4), 40.0);
    EXPECT_DOUBLE_EQ(HeightTransfer(*record, s, 1)(9.0, 0), 20.0);
}

TEST(HeightRule, InsideAndTopValues) {
    HeightRule rule;
    rule.maxIter = 100;
    EXPECT_EQ(rule.height(-1.0), 10000000.0);
    EXPECT_EQ(rule.height(150.0), 10000000.0);
    EXPECT_EQ(rule.height(42.5), 42.5);
    rule.reservedInside = true;
    EXPECT_EQ(rule.height(-1.0), 100.0);
    EXPECT_EQ(rule.height(100.0), 100.0);
    rule.reservedInside = false;
    rule.trueColour = true;
    EXPECT_EQ(rule.height(-7.0), 100.0);
    rule.plasma = true;
    EXPECT_EQ(rule.height(-7.0), -7.0);
}

TEST(SmoothHeights, WeighsByDistanceAndCountsOnlyInsideSamples) {
    HeightField uniform{7, 5, std::vector<float>(35, 3.0f)};
    for (float h : smoothHeights(uniform).cells)
        EXPECT_FLOAT_EQ(h, 3.0f);

    auto weightSum = [](int low, int high) {
        double s = 0;
        for (int dy = low; dy <= high; ++dy)
            for (int dx = low; dx <= high; ++dx)
                s += 1.0 / (std::abs(dx) + std::abs(dy) + 1);
        return s;
    };
    HeightField spike{21, 21, std::vector<float>(441, 0.0f)};
    spike.cells[10 * 21 + 10] = 1.0f;
    const HeightField middle = smoothHeights(spike);
    EXPECT_FLOAT_EQ(middle.at(10, 10), static_cast<float>(1.0 / weightSum(-5, 5)));
    EXPECT_FLOAT_EQ(middle.at(12, 10), static_cast<float>(1.0 / 3.0 / weightSum(-5, 5)));
    EXPECT_EQ(middle.at(16, 10), 0.0f);
    spike.cells.assign(441, 0.0f);
    spike.cells[0] = 1.0f;
    EXPECT_FLOAT_EQ(smoothHeights(spike).at(0, 0), static_cast<float>(1.0 / weightSum(0, 5)));
}

TEST(ReliefLight, FlatFieldUnderOverheadLight) {
    ReliefSettings s;
    s.observerAngle = 30.0;
    s.lightVAngle = 90.0;
    const double r = std::pow(std::sin(30.0 * kDegree), s.reflection);
    const double expected = (1 - s.ambient) * (r * (1 - s.diffuse) + s.diffuse) + s.ambient;
    EXPECT_NEAR(ReliefLight(s).shade(0.0, 0.0), expected, 1e-9);
    s.reflection = 2.5; // through the logarithm
    EXPECT_NEAR(ReliefLight(s).shade(0.0, 0.0),
                (1 - s.ambient) * (std::pow(0.5 + 1e-7, 2.5) * (1 - s.diffuse) + s.diffuse) +
                    s.ambient,
                1e-9);
    s.ambient = 1.0;
    EXPECT_EQ(ReliefLight(s).shade(3.0, -2.0), 1.0);
}

TEST(HorizonStrip, PaintsTheFrontRowBlendsGapsAndClipsToTheStrip) {
    StripColumn strip;
    strip.reset(10);
    // Front row at 2, then up to 5 (rows 3 and 4 blended), a hidden row, then below.
    std::vector<ProfileRow> rows = {{0, 0.0f, 2}, {0, 30.0f, 5}, {0, 0.0f, 4}, {0, 8.0f, 0}};
    drawStrip(rows, {0.1, 0.4, 0.9, 0.7}, false, strip);
    EXPECT_FLOAT_EQ(strip.shade[2], 0.1f);
    EXPECT_FLOAT_EQ(strip.shade[3], 0.2f);
    EXPECT_FLOAT_EQ(strip.position[4], 20.0f);
    EXPECT_FLOAT_EQ(strip.shade[5], 0.4f);
    EXPECT_FLOAT_EQ(strip.shade[0], 0.7f); // below the lower horizon, blended from row 4
    EXPECT_FLOAT_EQ(strip.shade[1], 0.75f);
    EXPECT_EQ(strip.shade[6], kNoSurface);
    // Rows far outside the strip: nothing drawn, nothing written out of bounds.
    strip.reset(10);
    drawStrip({{0, 0, -50}, {0, 0, 400}, {0, 0, 1 << 30}}, {0.5, 0.5, 0.5}, false, strip);
    for (int y = 0; y < 10; ++y)
        EXPECT_FLOAT_EQ(strip.shade[static_cast<std::size_t>(y)], 0.5f);
    strip.reset(10);
    drawStrip({{0, 0, 20}, {0, 0, 30}}, {0.5, 0.5}, false, strip);
    EXPECT_EQ(std::set<float>(strip.shade.begin(), strip.shade.end()), std::set{kNoSurface});
    // From behind the back row comes first and hides the front.
    strip.reset(10);
    drawStrip({{0, 0, 3}, {0, 0, 3}}, {0.25, 0.75}, true, strip);
    EXPECT_FLOAT_EQ(strip.shade[3], 0.75f);
}

TEST(HorizonStrip, SeenFromBehindBeyondNinetyDegreesEitherWay) {
    EXPECT_FALSE(seenFromBehind(30));
    EXPECT_FALSE(seenFromBehind(90));
    EXPECT_TRUE(seenFromBehind(91));
    EXPECT_TRUE(seenFromBehind(-100));
    EXPECT_TRUE(seenFromBehind(200));  // -160
    EXPECT_FALSE(seenFromBehind(420)); // 60
}

TEST(ReliefColouring, ValueAndSaturationZeroKeepThePaletteColour) {
    ColourTable colours{};
    colours.hsv[10] = {40, 200, 180};
    colours.hsv[11] = {40, 200, 180};
    ReliefSettings s;
    s.fixedColour = false;
    s.saturation = 0.0;
    s.value = 0.0;
    s.intensity = 0.5;
    const ReliefColouring colouring(s, colours);
    const Rgb rgb = hsvToRgb(40, 200, 90);
    const PackedBgr expected = static_cast<PackedBgr>(rgb.blue | rgb.green << 8 | rgb.red << 16);
    EXPECT_EQ(colouring.colour(0.0f, 10.5f), expected);
    EXPECT_EQ(colouring.colour(1.0f, 10.5f), expected);
}

TEST(ReliefColouring, ChannelsOf256AreHeldTo255) {
    auto record = createRecord(kTypeMandel, 0, RecordCreationContext{});
    const BlockRef block = record->settings3D();
    block.setInteger("Backgroundred", 256);
    block.setInteger("ColorGreen", 256);
    block.setInteger("Drawmode", 1);
    const ReliefSettings s = readReliefSettings(*record);
    EXPECT_EQ(s.background[0], 255);
    EXPECT_EQ(s.base[1], 255);
    ColourTable colours{};
    EXPECT_EQ(ReliefColouring(s, colours).colour(kNoSurface, 0.0f), 0xff0000u);
}

TEST(OverlayHeights, TilesByMirrorReflection) {
    std::vector<double> cells(12);
    for (std::size_t i = 0; i < cells.size(); ++i)
        cells[i] = static_cast<double>(i);
    const OverlayHeights overlay(4, 3, cells);
    const double columns[] = {0, 1, 2, 3, 2, 1, 0, 1};
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(overlay.at(x, 0), columns[x]) << x;
    const double rows[] = {0, 4, 8, 4, 0, 4};
    for (int y = 0; y < 6; ++y)
        EXPECT_EQ(overlay.at(0, y), rows[y]) << y;
}

// A flat field under an overhead light: every pixel, the front row included, has the
// one shade; with ambient light 1 it is white.
TEST(ReliefRendering, FlatFieldHasOneShadeFromTheFrontRowUp) {
    ReliefView v(16, 12);
    v.setValues([](int, int) { return 7.0; });
    rowPerRow(v, 30.0);
    v.set3D("FrontMult", 0.0);
    v.set3D("BackMult", 0.0);
    v.set3D("LightVAngle", 90.0);
    whiteSurface(v);
    renderRelief(*v.view);
    const double r = std::pow(std::sin(30.0 * kDegree), 2.0);
    const int grey = static_cast<int>(255.0 * ((1 - 0.2) * (r * 0.2 + 0.8) + 0.2));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(v.pixel3D(x, y), (std::array{grey, grey, grey})) << x << ',' << y;
    v.set3D("Ambient", 1.0);
    renderRelief(*v.view);
    EXPECT_EQ(v.pixel3D(5, 0), (std::array{255, 255, 255}));
}

// At 0 degrees the rows stack by height alone: a constant height shows as one line.
TEST(ReliefRendering, ObserverAtZeroDegreesSeesOnlyHeights) {
    ReliefView v(8, 30);
    v.setValues([](int, int) { return 50.0; });
    v.set3D("ObserverVAngle", 0.0);
    identityTransfer(v);
    whiteSurface(v);
    v.set3D("Backgroundblue", 99);
    renderRelief(*v.view);
    for (int y = 0; y < 30; ++y)
        EXPECT_EQ(v.pixel3D(3, y)[0] == 99, y != 10) << y; // trunc(50 * 30 / 150)
}

// At 90 degrees the screen rows follow the data rows whatever the heights: with
// Saturation and Value 0 each pixel is its own value's palette colour.
TEST(ReliefRendering, ObserverAtNinetyDegreesSeesTheFlatImage) {
    ReliefView v(10, 14);
    v.setValues([](int x, int y) { return 1.0 + (x * 37 + y * 11) % 90; });
    rowPerRow(v, 90.0);
    v.set3D("Drawmode", 0);
    v.set3D("Saturation", 0.0);
    v.set3D("Value", 0.0);
    renderRelief(*v.view);
    const ReliefSettings settings = readReliefSettings(*v.record);
    const ReliefColouring colouring(settings, v.view->colours);
    const PaletteMapping mapping(readColourSettings(*v.record));
    for (int y = 0; y < 14; ++y) {
        for (int x = 0; x < 10; ++x) {
            const PackedBgr bgr = colouring.colour(
                0.5f, static_cast<float>(mapping.position(v.buffers().value(x, y))));
            ASSERT_EQ(v.pixel3D(x, y),
                      (std::array{static_cast<int>(bgr & 255), static_cast<int>(bgr >> 8 & 255),
                                  static_cast<int>(bgr >> 16)}))
                << x << ',' << y;
        }
    }
}

// A plane rising evenly along +x is one shade on both halves of the image, and light
// from the two sides gives it two different shades.
TEST(ReliefRendering, TiltedPlaneHasOneShadeOnBothHalves) {
    auto render = [](double lightAngle) {
        ReliefView v(32, 10);
        v.setValues([](int x, int) { return 2.0 * x + 10.0; }); // below MaxIter
        rowPerRow(v, 90.0);
        identityTransfer(v);
        whiteSurface(v);
        v.set3D("LightHAngle", lightAngle);
        v.set3D("LightVAngle", 30.0);
        renderRelief(*v.view);
        std::set<std::array<int, 3>> colours;
        for (int x = 0; x < 32; ++x)
            colours.insert(v.pixel3D(x, 4));
        EXPECT_EQ(colours.size(), 1u) << lightAngle;

        return *colours.begin();
    };
    EXPECT_NE(render(90.0), render(-90.0));
}

TEST(ReliefRendering, HeightsBeyondTheScreenLeaveTheBackground) {
    ReliefView v(8, 8);
    v.setValues([](int, int) { return 5.0; });
    v.set3D("Backgroundgreen", 40);
    for (double upDown : {1e7, -1e7}) {
        v.set3D("UpDown", upDown);
        renderRelief(*v.view);
        for (int y = 0; y < 8; ++y)
            EXPECT_EQ(v.pixel3D(2, y), (std::array{0, 40, 0})) << upDown;
    }
}

// On an 8-bit screen the relief's copy holds the fixed palette's entries.
TEST(ReliefRendering, EightBitCopyOfAPaletteColour) {
    ReliefView v(12, 6, true, 8);
    ASSERT_FALSE(v.buffers().image3D8.empty());
    v.setValues([](int, int) { return 5.0; });
    rowPerRow(v, 30.0);
    v.set3D("FrontMult", 0.0);
    v.set3D("BackMult", 0.0);
    v.set3D("Ambient", 1.0);
    v.set3D("Drawmode", 1);
    v.set3D("ColorRed", 255);
    v.set3D("ColorGreen", 0);
    v.set3D("ColorBlue", 0);
    renderRelief(*v.view);
    EXPECT_EQ(v.pixel3D(4, 2), (std::array{0, 0, 255}));
    const std::uint8_t red = nearestColour(255, 0, 0);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(v.buffers().image3D8[static_cast<std::size_t>(y) * v.buffers().rowLength + x],
                      red);
}

TEST(ReliefRendering, AStopRequestEndsTheRendering) {
    ReliefView v(8, 8);
    v.setValues([](int, int) { return 5.0; });
    v.set3D("Backgroundred", 10);
    v.view->post(calc::kPause, calc::kPause);
    renderRelief(*v.view);
    EXPECT_EQ(v.pixel3D(4, 4), (std::array{0, 0, 0})); // untouched
}

} // namespace
} // namespace vortimax

namespace vortimax {
namespace {

// A main relief and an overlay fractal in one folder, both with views (no workers).
struct OverlayScene {
    Folder folder{"Overlays", FolderKind::Project, {}};
    ViewEnvironment environment;
    std::vector<std::unique_ptr<FractalView>> views;
    FractalRecord& main = add("Main", 8, 30);
    FractalRecord& bumps = add("Bumps", 3, 2);

    FractalRecord& add(std::string name, int width, int height) {
        auto record = createRecord(kTypeMandel, 0, RecordCreationContext{});
        record->name = std::move(name);
        record->displayDepth = 24;
        record->dims = 1;
        record->width = width;
        record->height = height;
        FractalRecord& added = folder.add(std::move(record));
        views.push_back(std::make_unique<FractalView>(added, environment));
        EXPECT_TRUE(
            allocateBuffers({width, height, 24, false, false, true, 24}, views.back()->buffers()));
        added.view = views.back().get();
        return added;
    }
    ~OverlayScene() {
        main.view = nullptr;
        bumps.view = nullptr;
    }
};

// Seen at 0 degrees a constant main height shows as one line per column; the overlay's
// heights, mirrored across the wider image, lift that line column by column.
TEST(ReliefRendering, OverlayHeightsTileByMirrorReflection) {
    OverlayScene s;
    ImageBuffers& main = s.main.view->buffers();
    ImageBuffers& bumps = s.bumps.view->buffers();
    std::fill(main.values.begin(), main.values.end(), 40.0f);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x <= 3; ++x)
            bumps.value(x, y) = 25.0f * (x + 1);
    const BlockRef settings = s.main.settings3D();
    settings.setReal("ObserverVAngle", 0.0);
    settings.setReal("Knotx1", -1e10);
    settings.setReal("FrontMult", 1.0);
    settings.setReal("BackMult", 1.0);
    settings.setInteger("Overlay", 1);
    settings.setText("OvlName", "Bumps");
    settings.setReal("OvlFactor1", 0.0);
    settings.setReal("OvlFactor2", 1.0);
    settings.setInteger("Backgroundblue", 99);
    s.main.overlayView = s.bumps.view; // as the view's commands link it
    auto paintedRow = [&](int x) {
        int found = -1;
        for (int y = 0; y < 30; ++y)
            if (main.image3D[(static_cast<std::size_t>(y) * main.rowLength + x) * 3] != 99)
                found = found < 0 ? y : 1000;
        return found;
    };
    renderRelief(*s.main.view);
    const int columns[] = {0, 1, 2, 1, 0, 1, 2, 1}; // overlay column under each
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(paintedRow(x), 5 * (columns[x] + 1)) << x; // trunc(h * 30 / 150)

    // Type 2: the brightness of the overlay's pixels instead.
    std::fill(bumps.pixels.begin(), bumps.pixels.end(), 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            bumps.pixels[(static_cast<std::size_t>(y) * bumps.rowLength + x) * 3 + 1] = 50;
    settings.setInteger("OvlType", 2);
    renderRelief(*s.main.view);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(paintedRow(x), 10) << x;

    // No overlay linked (no open fractal of that name): the relief goes without it.
    s.main.overlayView = nullptr;
    settings.setReal("OvlFactor1", 1.0);
    renderRelief(*s.main.view);
    EXPECT_EQ(paintedRow(3), 8);
}

} // namespace
} // namespace vortimax
