#include "app/config_file.h"
#include "app/tool_window_registry.h"
#include "app_fixture.h"

#include <algorithm>

namespace vortimax {
namespace {

namespace fs = std::filesystem;
using test::AppFixture;
using test::kNewMandel;
using test::readBytes;
using test::writeBytes;

bool hasBox(const ScriptedFrontend& frontend, std::string_view caption, std::string_view text) {
    for (const FrontendCall& box : frontend.messageBoxes())
        if (box.caption == caption && box.text.find(text) != std::string::npos)
            return true;
    return false;
}

using ApplicationStartTest = AppFixture;

TEST_F(ApplicationStartTest, EmptyProjectDirectoryGivesDefaultFoldersAndTimers) {
    const StartupResult result = start();
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(folderNames(), (std::vector<std::string>{"Animation", "Vortimax.par"}));
    EXPECT_EQ(app->workspace().currentFolder(), app->workspace().defaultFolder());
    EXPECT_EQ(app->workspace().defaultFolder()->name(), "Vortimax.par");
    EXPECT_EQ(app->workspace().defaultFolder()->filePath(), dir / "Fractals" / "Vortimax.par");
    EXPECT_TRUE(app->workspace().animationFolder()->isAnimation());
    for (int id : {TimerManager::kProgressTimer, kMainTimer, ColourCycling::kTimerId})
        EXPECT_TRUE(app->timers().contains(id)) << id;
    EXPECT_EQ(app->timers().interval(kMainTimer), 100);

    const auto runs = frontend.progressRuns();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].caption, "Loading parameter files");
    EXPECT_EQ(runs[0].progressTexts,
              (std::vector<std::string>{"Reading palette maps", "Reading parameter files",
                                        "Reading formula files"}));
    EXPECT_TRUE(frontend.messageBoxes().empty());
}

// The libraries come from the configured paths: palettes, parameter files (one folder per
// file, so no "Vortimax.par") and the formula hook with the formula directories.
TEST_F(ApplicationStartTest, LoadsLibrariesFromConfiguredPaths) {
    fs::create_directories(dir / "pal");
    fs::create_directories(dir / "par");
    fs::copy_file(fs::path(VORTIMAX_DATA_DIR) / "Palettes" / "Fire.map", dir / "pal" / "Hot.MAP");
    writeBytes(dir / "par" / "mine.par", "First {\r\n Type=Mandel\r\n}\r\n");
    writeBytes(dir / "Vortimax.cfg", "PalettePath " + (dir / "pal").string() + "\r\nProjectPath " +
                                         (dir / "par").string() + "\r\nFormulaPath a;b\r\n");
    std::vector<fs::path> formulaDirectories;
    app = std::make_unique<Application>(frontend);
    app->setFormulaDirectoryLoader([&](const std::vector<fs::path>& directories, Progress&) {
        formulaDirectories = directories;
    });
    ASSERT_TRUE(app->start(options()).ok);
    EXPECT_NE(app->palettes().find("Hot"), nullptr);
    EXPECT_EQ(folderNames(), (std::vector<std::string>{"Animation", "Mine.Par"}));
    EXPECT_EQ(app->workspace().currentFolder()->name(), "Mine.Par");
    EXPECT_EQ(formulaDirectories, (std::vector<fs::path>{"a", "b"}));
}

TEST_F(ApplicationStartTest, AbortedLoadingIsReportedAndStartupGoesOn) {
    writeBytes(dir / "Vortimax.cfg",
               "PalettePath " + std::string(VORTIMAX_DATA_DIR) + "/Palettes\r\n");
    frontend.queueAbortAfter(1);
    ASSERT_TRUE(start().ok);
    EXPECT_TRUE(hasBox(frontend, "Aborting", "Load was aborted..."));
    // Nothing after the abort was read, and the default folders exist all the same.
    EXPECT_EQ(folderNames(), (std::vector<std::string>{"Animation", "Vortimax.par"}));
}

TEST_F(ApplicationStartTest, MissingLayoutPreferencesEndStartupWithAReason) {
    // The directory holds something, so it is used as it is and not set up anew.
    fs::remove(dir / "PosPrefs.asc");
    fs::create_directory(dir / "Palettes");
    EXPECT_FALSE(start().ok);
    ASSERT_EQ(frontend.messageBoxes().size(), 1u);
    EXPECT_EQ(frontend.messageBoxes()[0].caption, "Failure");
    EXPECT_NE(frontend.messageBoxes()[0].text.find("PosPrefs"), std::string::npos);
    EXPECT_TRUE(frontend.progressRuns().empty());
    app.reset(); // AutoSave is on, but a failed start writes no configuration
    EXPECT_FALSE(fs::exists(dir / kConfigFileName));
}

TEST_F(ApplicationStartTest, ScreenCheck) {
    struct Case {
        int bits;
        bool palette;
        bool ok;
        std::string_view text;
        int depth;
    };
    const Case cases[] = {
        {4, true, false, "you must have at least 256 colors...", 0},
        {8, false, false, "does not support palette manager functions", 0},
        {8, true, true, "", 8},
        {32, false, true, "", 24},
    };
    for (const Case& c : cases) {
        frontend.clearCalls();
        StartupOptions startup = options();
        startup.screen.bitsPerPixel = c.bits;
        startup.screen.paletteSupport = c.palette;
        EXPECT_EQ(start(startup).ok, c.ok) << c.bits;
        if (c.ok) {
            EXPECT_EQ(app->views().screenDepth, c.depth);
        } else {
            EXPECT_TRUE(hasBox(frontend, "Failure", c.text)) << c.bits;
        }
    }
}

// Start-up from an empty working directory without --dir seeds the per-user directory.
TEST_F(ApplicationStartTest, SeedsThePerUserDirectory) {
    test::TempDir home;
    environment["XDG_CONFIG_HOME"] = home.path().string();
    StartupOptions startup = options();
    startup.directory.dirArgument.reset();
    startup.directory.workingDirectory = home.path();
    const StartupResult result = start(startup);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(app->programDirectory(), home / "vortimax");
    EXPECT_TRUE(fs::exists(home / "vortimax" / "PosPrefs.asc"));
    EXPECT_FALSE(result.seeded.empty());
    // The starter parameter file shipped with the program became a folder.
    EXPECT_NE(app->workspace().folders().find("Starter.Par"), nullptr);
    EXPECT_NE(app->palettes().find("Fire"), nullptr);
}

TEST_F(ApplicationStartTest, OpenToolWindowsAreHandedToTheFrontend) {
    writeBytes(dir / "Vortimax.cfg", "Parm1 10 20 1\r\nOutput 5 5 1\r\nAREA 1 1 0\r\n");
    const StartupResult result = start();
    ASSERT_TRUE(result.ok);
    std::vector<std::string_view> keywords;
    for (std::size_t row : result.toolWindowsToOpen)
        keywords.push_back(ToolWindowRegistry::row(row).keyword);
    EXPECT_EQ(keywords, (std::vector<std::string_view>{"PARM1", "Output"}));
    app->toolWindowClosed(460);
    app->toolWindowClosed(201);
    EXPECT_FALSE(
        app->settings().toolWindows.state(*ToolWindowRegistry::findByKeyword("Output")).open);
    EXPECT_EQ(app->toolbar(1), ToolbarMode::Closed);
}

using ApplicationRunTest = AppFixture;

TEST_F(ApplicationRunTest, QuitAsksOnlyWithProgramTerminationConfirmation) {
    writeBytes(dir / "Vortimax.cfg", "CNF_End 1\r\n");
    ASSERT_TRUE(start().ok);
    frontend.queueAnswer(MessageAnswer::No);
    EXPECT_FALSE(app->confirmQuit());
    EXPECT_TRUE(hasBox(frontend, "Exiting program", "Are you sure you want to exit Vortimax?"));
    EXPECT_FALSE(app->isShutDown());
    frontend.queueAnswer(MessageAnswer::Yes);
    EXPECT_TRUE(app->confirmQuit());
    app->settings().setConfirm(Confirmation::End, false);
    frontend.clearCalls();
    EXPECT_TRUE(app->confirmQuit());
    EXPECT_TRUE(frontend.messageBoxes().empty());
}

// The status text counts down on the 100 ms timer: 50 full ticks shown, gone on the next.
TEST_F(ApplicationRunTest, TimedStatusTextAndProgressTitles) {
    ASSERT_TRUE(start().ok);
    std::map<int, std::string> titles;
    app->views().hooks.setTitle = [&](FractalView& view, const std::string& title) {
        titles[view.id()] = title;
    };
    FractalRecord& record = create(kNewMandel);
    EXPECT_EQ(app->executeCommand(29036), CommandOutcome::Done); // Boxzoom without a box
    const std::string hint = "Define the area to zoom in and choose 'Boxzoom in' again...";
    EXPECT_EQ(app->status().text(), hint);
    for (int tick = 0; tick < 50; ++tick)
        app->onTimer(kMainTimer);
    EXPECT_EQ(app->status().text(), hint);
    app->onTimer(kMainTimer);
    EXPECT_EQ(app->status().text(), "");

    EXPECT_EQ(titles[record.view->id()], record.name + " (100%)");
    EXPECT_EQ(app->statusFields().progress, "100% done");
    EXPECT_EQ(app->statusFields().size, "64x48");
    EXPECT_EQ(app->statusFields().zoom, "Mandel (0.0 zooms)");
    app->onTimer(TimerManager::kProgressTimer);
    EXPECT_EQ(app->statusFields().percent, "100% done");
    // A renamed fractal gets its title written anew.
    ASSERT_TRUE(app->workspace().renameFractal(record, "Other"));
    app->onTimer(kMainTimer);
    EXPECT_EQ(titles[record.view->id()], "Other (100%)");
}

// A calculation that cannot run: the title says so and the reason goes once to the
// message window and the status bar; a calculation that runs again brings the progress
// title back.
TEST_F(ApplicationRunTest, FailedCalculationIsShownOnce) {
    ASSERT_TRUE(start().ok);
    std::map<int, std::string> titles;
    app->views().hooks.setTitle = [&](FractalView& view, const std::string& title) {
        titles[view.id()] = title;
    };
    FractalRecord& record = create(kNewMandel);
    FractalView& view = *record.view;
    const CalculationDriver mandel = app->views().drivers[kTypeMandel];
    app->views().drivers[kTypeMandel] = nullptr;
    recalculateView(view);
    ASSERT_TRUE(testing::waitFor([&] { return view.failure().failed; }));
    app->messages().clear();
    for (int tick = 0; tick < 3; ++tick)
        app->onTimer(kMainTimer);
    const std::string line = "Fractal \"" + record.name +
                             "\" was not calculated: Fractals of type Mandel cannot be "
                             "calculated yet.";
    EXPECT_EQ(titles[view.id()], record.name + " (not calculated)");
    EXPECT_EQ(app->messages().messages(), std::vector<std::string>{line});
    EXPECT_EQ(app->status().text(), line);
    EXPECT_EQ(app->statusFields().progress, "0% done");

    app->views().drivers[kTypeMandel] = mandel;
    recalculateView(view);
    ASSERT_TRUE(testing::settled(record));
    app->onTimer(kMainTimer);
    EXPECT_EQ(titles[view.id()], record.name + " (100%)");
    EXPECT_EQ(app->messages().size(), 1u);
}

TEST_F(ApplicationRunTest, QueuedOpenAndResizeRunOnTheMainTimer) {
    ASSERT_TRUE(start().ok);
    FractalRecord& record = create(kNewMandel);
    ASSERT_EQ(app->executeCommand(29134), CommandOutcome::Done); // Duplicate: no window
    FractalRecord& copy = *app->currentFractal();
    ASSERT_EQ(copy.view, nullptr);
    app->queueSilentOpen(copy);
    app->onTimer(kMainTimer);
    ASSERT_NE(copy.view, nullptr);
    EXPECT_EQ(copy.view->commandWord(), calc::kPaused);

    app->setMouseButtonDown(true);
    app->fractalWindowResized(record, 70, 5);
    app->onTimer(kMainTimer);
    EXPECT_EQ(record.width, 64);
    app->setMouseButtonDown(false);
    app->onTimer(kMainTimer);
    EXPECT_EQ(record.width, 72);
    EXPECT_EQ(record.height, 10);
    EXPECT_EQ(app->views().defaultWidth, 72);
    // Tile and Cascade resize several windows before the timer runs: each takes the last
    // size its own window reported.
    app->fractalWindowResized(record, 81, 40);
    app->fractalWindowResized(copy, 50, 30);
    app->fractalWindowResized(record, 90, 44);
    app->onTimer(kMainTimer);
    EXPECT_EQ(std::pair(record.width, record.height), std::pair(92, 44));
    EXPECT_EQ(std::pair(copy.width, copy.height), std::pair(52, 30));
    // A fractal deleted while its resize waits leaves nothing dangling behind.
    app->fractalWindowResized(copy, 100, 100);
    app->workspace().deleteFractal(copy, false);
    app->onTimer(kMainTimer);
}

class FakeAnimation : public AnimationControl {
public:
    bool isRunning() const override { return running; }
    bool owns(const FractalRecord& record) const override { return &record == frame; }
    void abort() override {
        running = false;
        ++aborts;
    }
    void saveFinishedFrame() override {
        ++frameChecks;
        if (duringStep)
            duringStep();
    }

    bool running = true;
    std::function<void()> duringStep;
    const FractalRecord* frame = nullptr;
    int aborts = 0;
    int frameChecks = 0;
};

TEST_F(ApplicationRunTest, ClosingFractalWindows) {
    ASSERT_TRUE(start().ok);
    FakeAnimation animation;
    app->setAnimationControl(&animation);
    FractalRecord& record = create(kNewMandel);

    frontend.queueAnswer(MessageAnswer::No);
    EXPECT_FALSE(app->closeFractalWindow(record));
    EXPECT_TRUE(hasBox(frontend, "Delete operation", "delete a calculated fractal image"));
    EXPECT_NE(record.view, nullptr);

    animation.frame = &record;
    frontend.clearCalls();
    frontend.queueAnswer(MessageAnswer::No);
    EXPECT_FALSE(app->closeFractalWindow(record));
    EXPECT_TRUE(hasBox(frontend, "Aborting animation", "belongs to the currently running"));
    EXPECT_EQ(animation.aborts, 0);
    frontend.queueAnswer(MessageAnswer::Yes);
    EXPECT_TRUE(app->closeFractalWindow(record));
    EXPECT_EQ(animation.aborts, 1);
    EXPECT_EQ(record.view, nullptr);
    app->onTimer(kMainTimer);
    EXPECT_EQ(animation.frameChecks, 1);
    app.reset(); // before the animation goes
}

// A message box shown by the frame step, or by starting the animation, runs a nested event
// loop in which the main timer fires again: the step skips that tick instead of running
// inside itself or waiting for itself.
TEST_F(ApplicationRunTest, FrameStepSkipsTicksOfNestedEventLoops) {
    ASSERT_TRUE(start().ok);
    FakeAnimation animation;
    animation.duringStep = [&] { app->onTimer(kMainTimer); };
    app->setAnimationControl(&animation);
    app->onTimer(kMainTimer);
    EXPECT_EQ(animation.frameChecks, 1);
    {
        std::lock_guard starting(app->animationLock());
        app->onTimer(kMainTimer);
    }
    EXPECT_EQ(animation.frameChecks, 1);
    app->onTimer(kMainTimer);
    EXPECT_EQ(animation.frameChecks, 2);
    app.reset(); // before the animation goes
}

// Start, create, calculate, save the configuration and end: the configuration is written
// again at the end because AutoSave is on, and every view is gone.
TEST_F(ApplicationRunTest, FullRunWritesTheConfiguration) {
    ASSERT_TRUE(start().ok);
    create(kNewMandel);
    EXPECT_EQ(app->executeCommand(29032), CommandOutcome::Done);
    const std::string saved = readBytes(dir / kConfigFileName);
    EXPECT_NE(saved.find("AutoSave 1\r\n"), std::string::npos);
    app->settings().drawingSpeed = 250;
    app->shutdown();
    EXPECT_TRUE(app->views().openViews.empty());
    EXPECT_TRUE(app->workspace().folders().empty());
    EXPECT_NE(readBytes(dir / kConfigFileName).find("DrawingSpeed 250\r\n"), std::string::npos);
    app->shutdown(); // a second call does nothing
}

TEST_F(ApplicationRunTest, ShutdownWithoutAutoSaveWritesNothing) {
    writeBytes(dir / kConfigFileName, "AutoSave 0\r\n");
    ASSERT_TRUE(start().ok);
    app->settings().drawingSpeed = 250;
    app.reset();
    EXPECT_EQ(readBytes(dir / kConfigFileName), "AutoSave 0\r\n");
}

} // namespace
} // namespace vortimax
