#include "driver_view.h"
#include "formula/function_table.h"
#include "render/dynamics/bifurcation_kernel.h"

#include <bit>
#include <cmath>
#include <gtest/gtest.h>
#include <map>

namespace vortimax {
namespace {

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

// The plotted cells of one column, row -> value; every other cell must hold -1.0.
std::map<int, float> plotted(const BifurcationParams& p, double r) {
    std::vector<float> cells(static_cast<std::size_t>(p.height), 0.0f);
    EXPECT_TRUE(plotColumn(p, r, ColumnCells{cells.data(), 1, p.height}, nullptr));
    std::map<int, float> result;
    for (int row = 0; row < p.height; ++row)
        if (cells[static_cast<std::size_t>(row)] != -1.0f)
            result[row] = cells[static_cast<std::size_t>(row)];
    return result;
}

int rowOf(const BifurcationParams& p, double x) {
    return static_cast<int>((x - p.bottom) * (p.height - 1) / (p.top - p.bottom));
}

// Each map at a parameter whose orbit settles on a fixed point x*: the first plotted step
// lands within 1e-9 of the settled value, so the column has one pixel, of value 10.
TEST(BifurcationColumn, SettlingOrbitsPlotOnePixelOfValueTen) {
    const struct {
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
    for (const auto& c : cases)
        EXPECT_EQ(plotted(c.p, c.r), (std::map<int, float>{{rowOf(c.p, c.fixedPoint), 10.0f}}))
            << "map " << c.p.map;
}

// r = 3.2 gives the logistic map a cycle of two points: both are plotted, and the orbit
// ends back at the settled point after the second step. Points off the area are not.
TEST(BifurcationColumn, CyclesEndWhereTheySettled) {
    const BifurcationParams p = params(0, kIdent, 0.3, 0, 1);
    const double root = std::sqrt(4.2 * 0.2);
    const std::map<int, float> cells = plotted(p, 3.2);
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells.begin()->first, rowOf(p, (4.2 - root) / 6.4));
    EXPECT_EQ(cells.rbegin()->first, rowOf(p, (4.2 + root) / 6.4));
    EXPECT_EQ(cells.begin()->second + cells.rbegin()->second, 21.0f); // 10 and 11
    EXPECT_TRUE(plotted(params(0, kIdent, 0.3, 0.9, 2), 3.2).empty());
}

// A step applies the function table's entry to (x, 0) and uses the real part; the real
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

class BifurcationDriverTest : public ::testing::Test {
protected:
    BifurcationDriverTest() : record(createRecord(kTypeBifurcation, 0, RecordCreationContext{})) {
        record->displayDepth = 24;
        test::setArea(*record, "2", "4", "0", "1");
    }
    std::unique_ptr<FractalRecord> record;
};

// Column c has r = 2 + 2c / width: the spare column r = 4, where the logistic orbit
// covers [0, 1) (beyond 4 it would run off to infinity).
TEST_F(BifurcationDriverTest, ColumnsSpanTheAreaInWidthSteps) {
    test::set(*record, "Function", "7");
    test::set(*record, "Start", "0.3");
    test::DriverView driver(*record, 64, 48);
    driver.calculate();
    EXPECT_EQ(columnParameter(readBifurcationParams(*record, {64, 48}), 32), 3.0);
    int plottedRows = 0;
    for (int y = 0; y < 48; ++y)
        plottedRows += driver.view->buffers().value(64, y) >= 10.0f ? 1 : 0;
    EXPECT_GE(plottedRows, 47); // all but the top row, which only x = 1 reaches
}

TEST_F(BifurcationDriverTest, EveryThreadCountGivesTheSameImage) {
    for (std::uint32_t subtype = 0; subtype < kBifurcationMapCount; ++subtype) {
        record->subtype = subtype;
        EXPECT_EQ(test::renderImage(*record, 61, 40, 1), test::renderImage(*record, 61, 40, 3));
    }
}

// A stop after the first band of columns leaves the rest uncalculated; the next
// calculation computes every column again, whatever the stopped one left.
TEST_F(BifurcationDriverTest, StoppedCalculationsStartAgain) {
    const auto whole = test::renderImage(*record, 64, 48, 2);
    test::DriverView driver(*record, 64, 48, 1);
    driver.environment.drawingSpeed = 0; // every band coloured at once
    driver.stopAfterRows(48);
    driver.calculate();
    EXPECT_EQ(driver.uncalculated(), (65 - 8) * 48);
    EXPECT_LT(driver.view->progress(), 1.0);
    std::fill(driver.view->buffers().values.begin(), driver.view->buffers().values.end(), 3.0f);
    driver.carryOn();
    driver.calculate();
    EXPECT_EQ(driver.image(), whole);
    EXPECT_EQ(driver.view->progress(), 1.0);
}

} // namespace
} // namespace vortimax
