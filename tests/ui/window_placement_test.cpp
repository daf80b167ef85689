#include "ui/window_placement.h"

#include <gtest/gtest.h>

namespace vortimax {
namespace {

struct PlacementCase {
    const char* what;
    QRect available;
    QRect wanted;
    QRect avoid;
    QRect placed;
};

const QRect kScreen(0, 0, 1600, 1000);
const QRect kFractal(200, 150, 640, 480); // right edge 839, bottom edge 629

const PlacementCase kCases[] = {
    {"inside and clear stays", kScreen, {100, 700, 300, 200}, kFractal, {100, 700, 300, 200}},
    {"far outside is pulled in", kScreen, {5000, -300, 300, 200}, {}, {1300, 0, 300, 200}},
    {"standing out at the right", kScreen, {1540, 40, 300, 400}, {}, {1300, 40, 300, 400}},
    {"larger than the screen is shrunk", kScreen, {-50, -50, 2000, 1200}, {}, kScreen},
    {"second screen", {1600, 0, 1280, 1024}, {10, 10, 200, 100}, {}, {1600, 10, 200, 100}},
    {"over the fractal goes right of it",
     kScreen,
     {300, 200, 300, 200},
     kFractal,
     {848, 200, 300, 200}},
    {"no room at the right goes left",
     kScreen,
     {1200, 100, 300, 200},
     {700, 0, 900, 1000},
     {392, 100, 300, 200}},
    {"no room at the sides goes below",
     kScreen,
     {100, 100, 300, 200},
     {0, 0, 1600, 500},
     {100, 508, 300, 200}},
    {"nowhere clear stays pulled in",
     kScreen,
     {1500, 900, 300, 200},
     kScreen,
     {1300, 800, 300, 200}},
};

TEST(WindowPlacementTest, WindowsEndInsideTheScreenAndBesideTheFractal) {
    for (const PlacementCase& c : kCases) {
        const QRect placed = ui::placeWindow(c.available, c.wanted, c.avoid);
        EXPECT_EQ(placed, c.placed) << c.what;
        EXPECT_TRUE(c.available.contains(placed)) << c.what;
    }
}

} // namespace
} // namespace vortimax
