#include "app/scripted_frontend.h"
#include "model/fractal_view.h"
#include "model/pass_scheme.h"
#include "support/view_test_support.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

using namespace vortimax;
using vortimax::testing::waitFor;
using namespace std::chrono_literals;

namespace {

// A driver for tests: every pixel's value comes from its coordinates, and every call of
// the kernel is counted per pixel, in order.
struct TestDriver {
    std::mutex mutex;
    std::vector<int> calls; // per cell of the value buffer
    std::vector<int> rowsInOrder;
    int stride = 0;
    std::atomic<int> total{0};
    // When set, the kernel holds at this call until a command arrives.
    std::atomic<int> holdAtCall{-1};
    std::atomic<bool> holding{false};
    FractalView* view = nullptr;

    void reset(int width, int height) {
        std::lock_guard lock(mutex);
        stride = width + 1;
        calls.assign(static_cast<std::size_t>(stride) * height, 0);
        rowsInOrder.clear();
        total = 0;
        holdAtCall = -1;
        holding = false;
    }
};

TestDriver driver;

float kernel(int x, int y) {
    int call = driver.total.fetch_add(1);
    {
        std::lock_guard lock(driver.mutex);
        ++driver.calls[static_cast<std::size_t>(y) * driver.stride + x];
        if (driver.rowsInOrder.empty() || driver.rowsInOrder.back() != y)
            driver.rowsInOrder.push_back(y);
    }
    if (call == driver.holdAtCall.load()) {
        driver.holding = true;
        while (driver.view->commandWord() == calc::kIdle)
            std::this_thread::sleep_for(1ms);
    }
    return 1.0f + static_cast<float>(x) + 1000.0f * static_cast<float>(y);
}

void testDriver(FractalView& view, int x0, int y0, int x1, int y1) {
    int passes =
        passCount(view.record().params().integer("Passes"), view.lastJob(), view.passLimit());
    runPasses(view, PassRect{x0, y0, x1, y1}, passes, kernel);
}

class FractalViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        environment.frontend = &frontend;
        environment.drivers[kTypeMandel] = testDriver;
        environment.drivers[kTypeFormula] = testDriver;
        record = createRecord(kTypeMandel, 0, RecordCreationContext{});
        driver.reset(320, 256);
    }
    void TearDown() override {
        if (record->view != nullptr)
            closeView(*record, false, environment);
    }

    FractalView& openSilently() {
        EXPECT_EQ(openView(*record, true, environment), 0);
        driver.view = record->view;
        return *record->view;
    }
    bool finished() {
        return record->view->finished() && record->view->commandWord() == calc::kIdle;
    }
    int cellsCalledOtherThanOnce() {
        std::lock_guard lock(driver.mutex);
        int wrong = 0;
        for (int c : driver.calls)
            wrong += c != 1;
        return wrong;
    }

    ScriptedFrontend frontend;
    ViewEnvironment environment;
    std::unique_ptr<FractalRecord> record;
};

TEST(PassScheme, RowsFromTheMiddleOutward) {
    const PassRect image{0, 0, 320, 255};
    std::vector<int> coarse = passRowOrder(image, 8);
    ASSERT_EQ(coarse.size(), 32u);
    EXPECT_EQ(std::vector<int>(coarse.begin(), coarse.begin() + 5),
              (std::vector<int>{120, 128, 112, 136, 104}));
    EXPECT_EQ(coarse.back(), 248);
    std::vector<int> fine = passRowOrder(image, 1);
    std::sort(fine.begin(), fine.end());
    ASSERT_EQ(fine.size(), 256u);
    for (int row = 0; row < 256; ++row)
        EXPECT_EQ(fine[row], row);
    // An odd band of rows, as the network hands out.
    EXPECT_EQ(passRowOrder({0, 10, 5, 12}, 1), (std::vector<int>{10, 11, 12}));
    EXPECT_EQ(passCount(3, calc::kCalculate, 1), 4);
    EXPECT_EQ(passCount(3, calc::kResume, 1000), 4);
    EXPECT_EQ(passCount(3, calc::kResume, 2), 2);
    EXPECT_EQ(passCount(0, calc::kResume, 0), 1);
}

// The nice values of this process's threads, from /proc.
std::vector<int> threadNiceValues() {
    std::vector<int> values;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream stat(task.path() / "stat");
        std::string text((std::istreambuf_iterator<char>(stat)), {});
        // The fields after the command name (which ends with the last ')'); nice is the
        // 19th field of the line, the 17th after the name.
        std::istringstream fields(text.substr(text.rfind(')') + 2));
        std::string field;
        for (int i = 0; i < 17 && fields >> field; ++i) {
        }
        values.push_back(std::stoi(field));
    }
    return values;
}

// The calculation thread takes the environment's nice value: none for the command line,
// a mild one for the desktop program.
TEST_F(FractalViewTest, WorkerRunsAtTheEnvironmentsNiceValue) {
    environment.workerNice = 7;
    openSilently();
    const std::vector<int> nice = threadNiceValues();
    EXPECT_EQ(std::count(nice.begin(), nice.end(), 7), 1);
    closeView(*record, false, environment);
    environment.workerNice = 0;
    openSilently();
    const std::vector<int> plain = threadNiceValues();
    EXPECT_EQ(std::count(plain.begin(), plain.end(), 7), 0);
}

TEST_F(FractalViewTest, FullCalculationVisitsEveryPixelOnceCoarseRowsFirst) {
    FractalView& view = openSilently();
    EXPECT_EQ(view.commandWord(), calc::kPaused);
    EXPECT_EQ(record->width, 320);
    EXPECT_EQ(record->height, 256);
    recalculateView(view);
    ASSERT_TRUE(waitFor([&] { return finished(); }));
    EXPECT_EQ(cellsCalledOtherThanOnce(), 0);
    EXPECT_EQ(std::vector<int>(driver.rowsInOrder.begin(), driver.rowsInOrder.begin() + 5),
              (std::vector<int>{120, 128, 112, 136, 104}));
    EXPECT_EQ(view.progress(), 1.0);
    EXPECT_EQ(view.buffers().value(7, 3), 1.0f + 7 + 3000);
    // Every band painted lies inside the image.
    auto bands = frontend.callsOf(FrontendCallKind::ViewChanged);
    EXPECT_FALSE(bands.empty());
    for (const FrontendCall& band : bands) {
        EXPECT_EQ(band.viewId, view.id());
        EXPECT_GE(band.area.y, 0);
        EXPECT_LE(band.area.y + band.area.height, 256);
        EXPECT_LE(band.area.x + band.area.width, 320);
    }

    // A second calculation without clearing finds nothing left to do.
    int before = driver.total.load();
    resumeView(view);
    ASSERT_TRUE(waitFor([&] { return finished(); }));
    EXPECT_EQ(driver.total.load(), before);
}

TEST_F(FractalViewTest, PauseInTheSecondPassThenResumeComputesNoPixelTwice) {
    FractalView& view = openSilently();
    const int firstPass = 41 * 32; // 321 columns step 8, 32 rows
    driver.holdAtCall = firstPass + 100;
    recalculateView(view);
    ASSERT_TRUE(waitFor([&] { return driver.holding.load(); }));
    pauseView(view);
    EXPECT_EQ(view.commandWord(), calc::kPaused);
    EXPECT_FALSE(view.finished());
    // Other threads went on while one was held; once paused, every thread has stopped.
    const int done = driver.total.load();
    EXPECT_GE(done, firstPass + 101);
    EXPECT_LT(done, 321 * 256);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(driver.total.load(), done);
    resumeView(view);
    ASSERT_TRUE(waitFor([&] { return finished(); }));
    EXPECT_EQ(cellsCalledOtherThanOnce(), 0);
    EXPECT_EQ(driver.total.load(), 321 * 256);
}

TEST_F(FractalViewTest, RedrawOfAnUnfinishedImageCalculates) {
    FractalView& view = openSilently();
    redrawView(view);
    ASSERT_TRUE(waitFor([&] { return finished(); }));
    EXPECT_EQ(driver.total.load(), 321 * 256);
    // A redraw of a finished image only recolours.
    int rowsColoured = 0;
    environment.hooks.colourRow = [&](FractalView&, int, int, int, int) { ++rowsColoured; };
    pauseView(view);
    redrawView(view);
    ASSERT_TRUE(waitFor([&] { return finished(); }));
    EXPECT_EQ(driver.total.load(), 321 * 256);
    EXPECT_EQ(rowsColoured, 256);
}

TEST_F(FractalViewTest, CloseWhileCalculatingWaitsForTheWorker) {
    FractalView& view = openSilently();
    driver.holdAtCall = 10;
    recalculateView(view);
    ASSERT_TRUE(waitFor([&] { return driver.holding.load(); }));
    EXPECT_TRUE(closeView(*record, false, environment));
    const int calls = driver.total.load();
    EXPECT_EQ(record->view, nullptr);
    EXPECT_EQ(record->windowOpen, 0);
    EXPECT_TRUE(environment.openViews.empty());
    EXPECT_EQ(driver.total.load(), calls); // the worker is gone, not still calculating
}

TEST_F(FractalViewTest, CloseAsksWhenTheConfirmationIsOn) {
    openSilently();
    frontend.queueAnswer(MessageAnswer::No);
    EXPECT_FALSE(closeView(*record, true, environment));
    EXPECT_NE(record->view, nullptr);
    ASSERT_EQ(frontend.messageBoxes().size(), 1u);
    EXPECT_EQ(frontend.messageBoxes()[0].caption, "Delete operation");
    EXPECT_EQ(frontend.messageBoxes()[0].text, kDeleteCalculatedText);
    environment.confirmDeleteCalculated = false;
    EXPECT_TRUE(closeView(*record, true, environment));
    EXPECT_EQ(frontend.messageBoxes().size(), 1u);
}

TEST_F(FractalViewTest, ResizeReallocatesRecalculatesAndSetsTheDefault) {
    FractalView& view = openSilently();
    EXPECT_EQ(resizeView(*record, 64, 40, false, environment), 0);
    ASSERT_TRUE(waitFor([&] { return finished(); }));
    EXPECT_EQ(view.buffers().valueStride(), 65);
    EXPECT_EQ(view.buffers().rowLength, 68);
    EXPECT_EQ(environment.defaultWidth, 64);
    EXPECT_EQ(environment.defaultHeight, 40);
    EXPECT_EQ(windowSizeRule(30, 5), (ImageSize{32, 10}));
    EXPECT_EQ(windowSizeRule(201, 99), (ImageSize{204, 99}));
    EXPECT_EQ(windowSizeRule(320, 256), (ImageSize{320, 256}));
    // A size no memory can hold closes the view with the advice text.
    EXPECT_EQ(resizeView(*record, 1 << 20, 40, true, environment), 1);
    EXPECT_EQ(record->view, nullptr);
    EXPECT_EQ(frontend.messageBoxes().back().caption, "Resizing fractal image");
    EXPECT_EQ(frontend.messageBoxes().back().text, kNotEnoughMemoryText);
}

// A calculation that cannot run says why, is not finished and claims no progress; the
// next calculation starts without the old failure.
TEST_F(FractalViewTest, CalculationThatCannotRunReportsWhy) {
    record = createRecord(kTypeLyapunov, 0, RecordCreationContext{});
    FractalView& view = openSilently();
    const CalculationDriver refusing = [](FractalView& v, int, int, int, int) {
        v.reportFailure("The data is missing.");
    };
    struct Step {
        CalculationDriver driver;
        std::string reason; // empty: the image is calculated
    };
    const Step steps[] = {
        {testDriver, ""},
        {nullptr, "Fractals of type Lyapunov cannot be calculated yet."},
        {refusing, "The data is missing."},
        {testDriver, ""},
    };
    for (const Step& step : steps) {
        environment.drivers[kTypeLyapunov] = step.driver;
        driver.reset(320, 256);
        recalculateView(view);
        if (step.reason.empty()) {
            EXPECT_FALSE(view.failure().failed); // cleared before the command was taken
            ASSERT_TRUE(waitFor([&] { return finished(); }));
            EXPECT_EQ(view.progress(), 1.0);
        } else {
            ASSERT_TRUE(waitFor([&] { return view.failure().failed; })) << step.reason;
            EXPECT_EQ(view.failure().reason, step.reason);
            EXPECT_FALSE(view.finished()) << step.reason;
            EXPECT_EQ(view.progress(), 0.0) << step.reason;
        }
    }
    EXPECT_EQ(view.failure().serial, 4u); // two failures, each cleared again
}

TEST_F(FractalViewTest, OpeningChecksFormulaIterationsAndPendingEntries) {
    auto formula = createRecord(kTypeFormula, 0, RecordCreationContext{});
    formula->params().setText("FormulaName", "");
    EXPECT_EQ(openView(*formula, true, environment), 1);
    EXPECT_EQ(formula->view, nullptr);
    EXPECT_EQ(frontend.messageBoxes().back().caption, "Creating subtask");
    EXPECT_EQ(frontend.messageBoxes().back().text,
              "Fractal \"Formula\" has no formula selected,\nso no calculation routine is "
              "selected...");
    formula->params().setText("FormulaName", "Missing");
    environment.hooks.checkFormula = [](const FractalRecord&) {
        return FormulaCheck::FormulaNotAvailable;
    };
    EXPECT_EQ(openView(*formula, true, environment), 1);
    EXPECT_EQ(frontend.messageBoxes().back().text,
              "Fractal \"Formula\" uses formula \"Missing\",\nbut this formula isn't "
              "available.\nUnable to calculate this fractal...");

    record->params().setInteger("MaxIter", 100001);
    frontend.queueAnswer(MessageAnswer::No);
    EXPECT_EQ(openView(*record, false, environment), 1);
    EXPECT_EQ(frontend.messageBoxes().back().caption, "Warning...");
    EXPECT_EQ(record->view, nullptr);
    EXPECT_EQ(openView(*record, true, environment), 0); // silent opening does not ask

    auto broken = createRecord(kTypeMandel, 0, RecordCreationContext{});
    broken->name = "Broken";
    broken->pendingEntry = "{ nonsense }";
    FractalRecord* deleted = nullptr;
    environment.hooks.parsePendingEntry = [](FractalRecord&) { return false; };
    environment.hooks.deleteRecord = [&](FractalRecord& r) { deleted = &r; };
    EXPECT_EQ(openView(*broken, true, environment), 1);
    EXPECT_EQ(deleted, broken.get());
    EXPECT_EQ(frontend.messages().back(), "Fractal Broken has been removed and deleted...");
}

TEST_F(FractalViewTest, ProgressTexts) {
    EXPECT_EQ(progressTitle("Mandel", 42), "Mandel (42%)");
    EXPECT_EQ(animationProgressTitle("Flight", 3, 25, 7), "Flight 3/25 (7%)");
    EXPECT_EQ(progressStatus(100), "100% done");
    EXPECT_EQ(zoomStatus("Mandel", 3.25), "Mandel (3.2 zooms)");
    EXPECT_EQ(sizeStatus(320, 256), "320x256");
}

} // namespace

// A compound reads its layers' views: opening, closing, resizing or writing a layer
// pauses every open compound that uses it first, and only those.
TEST(CompoundLayerViews, ChangesToALayersViewPauseTheCompoundsReadingIt) {
    ScriptedFrontend frontend;
    ViewEnvironment environment;
    environment.frontend = &frontend;
    environment.defaultWidth = 16;
    environment.defaultHeight = 8;
    environment.drivers[kTypeCompound] = [](FractalView&, int, int, int, int) {};
    auto layer = createRecord(kTypeMandel, 0, RecordCreationContext{});
    auto other = createRecord(kTypeMandel, 0, RecordCreationContext{});
    auto compound = createRecord(kTypeCompound, 0, RecordCreationContext{});
    compound->layers[0] = layer.get();
    ASSERT_EQ(openView(*compound, false, environment), 0);
    ASSERT_TRUE(vortimax::testing::settled(*compound));
    auto compoundWord = [&] { return compound->view->commandWord(); };

    ASSERT_EQ(openView(*other, true, environment), 0);
    EXPECT_EQ(compoundWord(), calc::kIdle);
    ASSERT_EQ(openView(*layer, true, environment), 0);
    EXPECT_EQ(compoundWord(), calc::kPaused);

    recalculateView(*compound->view);
    ASSERT_TRUE(vortimax::testing::settled(*compound));
    EXPECT_EQ(resizeView(*layer, 24, 8, true, environment), 0);
    EXPECT_EQ(compoundWord(), calc::kPaused);

    // Every command that lets the layer's worker write its image pauses the compound
    // before the worker takes it.
    for (auto command : {recalculateView, resumeView, continueView, redrawView, filterView}) {
        recalculateView(*compound->view);
        ASSERT_TRUE(vortimax::testing::settled(*compound));
        command(*layer->view);
        EXPECT_EQ(compoundWord(), calc::kPaused);
    }

    recalculateView(*compound->view);
    ASSERT_TRUE(vortimax::testing::settled(*compound));
    closeView(*other, false, environment);
    EXPECT_EQ(compoundWord(), calc::kIdle);
    closeView(*layer, false, environment);
    EXPECT_EQ(compoundWord(), calc::kPaused);
    closeView(*compound, false, environment);
}
