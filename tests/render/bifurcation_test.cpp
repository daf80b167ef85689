#include "driver_view.h"
#include "formula/function_table.h"
#include "render/dynamics/bifurcation_kernel.h"

#include <bit>
#include <cmath>
#include <gtest/gtest.h>
#include <map>

namespace vortimax {
namespace {

using test::DriverView;
using test::renderImage;
using test::set;

constexpr double kPi = 3.141592653589793;
constexpr int kSin = 0, kIdent = 7;

BifurcationParams params(int map, int function, double start, double bottom, double top) {
    BifurcationParams p;
    p.map = map;
    p.function = function;
    p.start = start;
    p.settle = 1000;
    p.maxIter = 500;
    p.bottom = bottom;
    p.top = top;
    p.height = 48;
    return p;
}

// The plotted cells of one column (row -> value); every other cell must hold -1.0.
std::map<int, float> plotted(const BifurcationParams& p, double r) {
    std::vector<float> cells(static_cast<std::size_t>(p.height), 0.0f);
    EXPECT_TRUE(plotColumn(p, r, ColumnCells{cells.data(), 1, p.height}, nullptr));
    std::map<int, float> result;
    for (int row = 0; row < p.height; ++row) {
        const float v = cells[static_cast<std::size_t>(row)];
        if (v != -1.0f)
            result[row] = v;
    }
    return result;
}

int rowOf(const BifurcationParams& p, double x) {
    return static_cast<int>((x - p.bottom) * (p.height - 1) / (p.top - p.bottom));
}

// Each map at a parameter whose orbit settles on a fixed point x*: the first plotted step
// lands within 1e-9 of the settled value, so the column has one pixel, of value 10.
TEST(BifurcationColumn, SettlingOrbitsPlotOnePixelOfValueTen) {
    struct Case {
        BifurcationParams p;
        double r, fixedPoint;
    } cases[] = {
        {params(0, kIdent, 0.3, 0, 2), 2.5, 0.6},                   // r t (1 - t)
        {params(1, kIdent, 0.5, 0, 2), 0.5, 1.0},                   // x + r t (1 - t)
        {params(2, kSin, 0.9, 0, 2), 0.5 / kPi, 1.0},               // x + r sin(pi x)
        {params(3, kSin, 0.3, 0, 2), 0.5, 0.5},                     // r sin(pi x)
        {params(4, kIdent, 0.0, -1, 1), 0.5, 1.0 - std::sqrt(3.0)}, // r t^2 - 1
        {params(5, kSin, 0.5, 0, 2), 4.0, 1.0},                     // r x / (1 + x)^2
    };
    for (const Case& c : cases) {
        const std::map<int, float> cells = plotted(c.p, c.r);
        EXPECT_EQ(cells, (std::map<int, float>{{rowOf(c.p, c.fixedPoint), 10.0f}}))
            << "map " << c.p.map;
    }
}

// r = 3.2 gives the logistic map a cycle of two points: both are plotted, and the orbit
// ends when it is back at the settled point after the second step.
TEST(BifurcationColumn, CyclesArePlottedToTheLastStep) {
    const BifurcationParams p = params(0, kIdent, 0.3, 0, 1);
    const double root = std::sqrt(4.2 * 0.2);
    const std::map<int, float> cells = plotted(p, 3.2);
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_TRUE(cells.contains(rowOf(p, (4.2 - root) / 6.4)));
    EXPECT_TRUE(cells.contains(rowOf(p, (4.2 + root) / 6.4)));
    float low = 1e9f, high = 0.0f;
    for (const auto& [row, value] : cells) {
        low = std::min(low, value);
        high = std::max(high, value);
    }
    EXPECT_EQ(low, 10.0f);
    EXPECT_EQ(high, 11.0f);
}

// Orbits outside the area, and the NaN a flat area makes of every row, plot nothing.
TEST(BifurcationColumn, RowsOutsideTheImageAreNotPlotted) {
    EXPECT_TRUE(plotted(params(0, kIdent, 0.3, 1, 2), 2.5).empty());
    EXPECT_TRUE(plotted(params(0, kIdent, 0.3, -2, -1), 2.5).empty());
    EXPECT_TRUE(plotted(params(0, kIdent, 0.3, 1, 1), 2.5).empty());
    EXPECT_TRUE(plotted(params(0, kIdent, 0.3, 0, 2), 5.0).empty()); // runs off to -inf
}

TEST(BifurcationColumn, LongOrbitsAskWhetherToStop) {
    BifurcationParams p = params(0, kIdent, 0.3, 0, 1);
    p.settle = 4 * kBifurcationStepsPerLook;
    std::vector<float> cells(48, 0.0f);
    int asked = 0;
    EXPECT_FALSE(
        plotColumn(p, 3.9, ColumnCells{cells.data(), 1, 48}, [&] { return ++asked == 2; }));
    EXPECT_EQ(asked, 2);
}

// The step applies the function table's entry to (x, 0) and uses the real part; the real
// shortcuts of "sin" and "ident" give the same bits.
TEST(BifurcationColumn, RealFunctionsAreTheTablesOnTheRealAxis) {
    for (int index = 0; index < kFunctionCount; ++index) {
        for (double t : {-7.25, -1.0, -0.3, 0.0, 0.4, 1.0, 2.5, 31.0}) {
            const double table = applyFunction(index, Complex{t, 0.0}).re;
            const double real = realFunction(index, t);
            EXPECT_TRUE(std::bit_cast<std::uint64_t>(table) == std::bit_cast<std::uint64_t>(real) ||
                        (std::isnan(table) && std::isnan(real)))
                << functionName(index) << "(" << t << ")";
        }
    }
}

TEST(BifurcationColumn, ColumnsSpanTheWidthInWidthSteps) {
    BifurcationParams p;
    p.left = 2.0;
    p.right = 4.0;
    p.width = 64;
    EXPECT_EQ(columnParameter(p, 0), 2.0);
    EXPECT_EQ(columnParameter(p, 32), 3.0);
    EXPECT_EQ(columnParameter(p, 64), 4.0); // the spare column
}

class BifurcationDriverTest : public ::testing::Test {
protected:
    BifurcationDriverTest() : record(createRecord(kTypeBifurcation, 0, RecordCreationContext{})) {
        record->displayDepth = 24;
        set(*record, "Function", "7");
        set(*record, "BottomRightI", "0");
        set(*record, "TopLeftI", "1");
    }
    std::unique_ptr<FractalRecord> record;
};

// The driver fills every column of the image and the spare one with the column's orbit.
TEST_F(BifurcationDriverTest, EveryColumnHoldsItsOrbit) {
    DriverView driver(*record, 64, 48);
    driver.calculate();
    const BifurcationParams p = readBifurcationParams(*record, RasterSize{64, 48});
    for (int x = 0; x <= 64; ++x) {
        std::vector<float> cells(48);
        plotColumn(p, columnParameter(p, x), ColumnCells{cells.data(), 1, 48}, nullptr);
        for (int y = 0; y < 48; ++y)
            ASSERT_EQ(driver.value(x, y), cells[static_cast<std::size_t>(y)]) << x << ", " << y;
    }
}

TEST_F(BifurcationDriverTest, EveryThreadCountGivesTheSameImage) {
    set(*record, "Function", "0");
    for (std::uint32_t subtype = 0; subtype < kBifurcationMapCount; ++subtype) {
        record->subtype = subtype;
        const test::Image one = renderImage(*record, 61, 40, 1);
        EXPECT_EQ(std::count(one.values.begin(), one.values.end(), 0.0f), 0);
        EXPECT_TRUE(one == renderImage(*record, 61, 40, 3)) << subtype;
    }
}

// A stop leaves the columns computed so far; the next calculation computes every column
// again, whatever the stopped one left.
TEST_F(BifurcationDriverTest, StoppedCalculationsStartAgain) {
    const test::Image whole = renderImage(*record, 64, 48, 2);
    const test::PoolThreads pool(1); // so that the stop comes after the first band
    DriverView driver(*record, 64, 48);
    const auto colour = driver.environment.hooks.colourRow;
    int rows = 0;
    driver.environment.hooks.colourRow = [&](FractalView& v, int x, int row, int count, int b) {
        colour(v, x, row, count, b);
        if (++rows == 48) // the first band of columns
            driver.pause();
    };
    driver.calculate();
    const auto untouched = std::count(driver.values().begin(), driver.values().end(), 0.0f);
    EXPECT_EQ(untouched, (65 - 8) * 48);
    EXPECT_LT(driver.view->progress(), 1.0);
    std::fill(driver.view->buffers().values.begin(), driver.view->buffers().values.end(), 3.0f);
    driver.release();
    rows = -1000000; // no second stop
    driver.calculate();
    EXPECT_TRUE((test::Image{driver.values(), driver.pixels()} == whole));
    EXPECT_EQ(driver.view->progress(), 1.0);
}

} // namespace
} // namespace vortimax
