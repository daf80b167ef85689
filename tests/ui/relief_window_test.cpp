#include "ui/fractal_canvas.h"
#include "ui/fractal_window.h"
#include "ui_fixture.h"

#include <QAction>

namespace vortimax::test {
namespace {

constexpr int kNewMandel = 29018;
constexpr int k3DTransformation = 29140;
constexpr int kEdgeDetection = 29151;
constexpr int kOriginal = 29150;
constexpr int kAntiAlias = 29156;
constexpr int kDisconnect = 29175;
constexpr int kInterpolated = 29182;

using ReliefWindowTest = UiFixture;

bool idle(const FractalRecord& record) {
    return record.view != nullptr && record.view->finished() &&
           record.view->commandWord() == calc::kIdle;
}

// Switching 3D on shows the relief (the sky above it in the background colour), not a
// black picture; switching it off shows the flat image again.
TEST_F(ReliefWindowTest, ThreeDTogglesBetweenReliefAndFlatImage) {
    FractalRecord& record = createFromMenu(kNewMandel);
    ui::FractalWindow* window = main->fractalWindow(record);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(processUntil([&] { return idle(record); }));
    const QImage flat = window->canvas().currentImage();
    record.settings3D().setInteger("Backgroundred", 200);

    main->action(k3DTransformation)->trigger();
    EXPECT_EQ(record.dims, 1);
    EXPECT_TRUE(main->action(k3DTransformation)->isChecked());
    ASSERT_TRUE(processUntil([&] {
        return idle(record) && record.view->done3D() &&
               window->canvas().currentImage().pixel(0, 0) == qRgb(200, 0, 0);
    }));
    const QImage relief = window->canvas().currentImage();
    EXPECT_EQ(relief.size(), flat.size());
    int frontPixels = 0; // where the front edge lies low, the bottom row shows it
    for (int x = 0; x < relief.width(); ++x)
        frontPixels += relief.pixel(x, relief.height() - 1) != qRgb(200, 0, 0) ? 1 : 0;
    EXPECT_GT(frontPixels, 0);

    main->action(k3DTransformation)->trigger();
    EXPECT_EQ(record.dims, 0);
    ASSERT_TRUE(
        processUntil([&] { return idle(record) && window->canvas().currentImage() == flat; }));
}

// The filters need a true-colour image; "Original" gives back the unfiltered picture and
// "Anti Alias" opens the linked half-size copy, which "Disconnect" lets go.
TEST_F(ReliefWindowTest, FiltersAndTheAntiAliasedCopy) {
    FractalRecord& record = createFromMenu(kNewMandel);
    EXPECT_FALSE(main->action(kEdgeDetection)->isEnabled());
    main->action(kInterpolated)->trigger();
    ASSERT_EQ(record.displayDepth, 24);
    ASSERT_TRUE(processUntil([&] { return idle(record); }));
    ui::FractalWindow* window = main->fractalWindow(record);
    const QImage original = window->canvas().currentImage();
    ASSERT_TRUE(main->action(kEdgeDetection)->isEnabled());
    EXPECT_FALSE(main->action(kDisconnect)->isEnabled());

    main->action(kEdgeDetection)->trigger();
    ASSERT_TRUE(
        processUntil([&] { return idle(record) && window->canvas().currentImage() != original; }));
    main->action(kOriginal)->trigger();
    ASSERT_TRUE(
        processUntil([&] { return idle(record) && window->canvas().currentImage() == original; }));

    main->action(kAntiAlias)->trigger();
    ASSERT_NE(record.view->filteredCopy, nullptr);
    FractalView& copy = *record.view->filteredCopy;
    EXPECT_EQ(copy.record().width, 32); // (64/2 + 3) down to a multiple of 4
    EXPECT_EQ(copy.record().height, 24);
    EXPECT_TRUE(processUntil([&] { return copy.finished(); }));
    app->selectFractal(record);
    EXPECT_TRUE(main->action(kDisconnect)->isEnabled());
    main->action(kDisconnect)->trigger();
    EXPECT_EQ(record.view->filteredCopy, nullptr);
    EXPECT_EQ(copy.filterSource, nullptr);
}

} // namespace
} // namespace vortimax::test
