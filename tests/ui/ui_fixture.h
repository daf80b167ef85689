#pragma once

#include "../app/temp_dir.h"
#include "app/application.h"
#include "app/scripted_frontend.h"
#include "model/fractal_view.h"
#include "ui/main_window.h"
#include "ui/qt_frontend.h"
#include "ui/qt_timer_host.h"

#include <QApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <memory>
#include <string_view>

namespace vortimax::test {

// Runs the event loop until `predicate` holds, for at most 20 seconds.
template <typename Predicate> bool processUntil(Predicate predicate) {
    QElapsedTimer clock;
    clock.start();
    while (!predicate()) {
        if (clock.elapsed() > 20000)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// The desktop program on a temporary program directory holding the shipped layout
// preferences and, when given, a configuration file. Questions go to a scripted frontend
// (no box pops up); the Qt frontend only repaints the windows.
class UiFixture : public ::testing::Test {
protected:
    explicit UiFixture(std::string_view configuration = {}) {
        std::filesystem::copy_file(std::filesystem::path(VORTIMAX_DATA_DIR) / "PosPrefs.asc",
                                   dir / "PosPrefs.asc");
        if (!configuration.empty())
            writeBytes(dir / "Vortimax.cfg", configuration);
        app = std::make_unique<Application>(scripted, &timers);
        main = std::make_unique<ui::MainWindow>(*app, qtFrontend, timers);
        StartupOptions options;
        options.directory.dirArgument = dir.path();
        options.directory.workingDirectory = dir.path();
        options.directory.environment = [](std::string_view) { return std::nullopt; };
        options.directory.builtInDataDir = VORTIMAX_DATA_DIR;
        started = app->start(options);
        app->views().defaultWidth = 64;
        app->views().defaultHeight = 48;
        main->showStarted(started);
    }
    ~UiFixture() override {
        saveScreenshot();
        main->close();
        main.reset();
        app.reset();
    }

    // Creates a fractal from its menu item and waits until it is calculated.
    FractalRecord& createFromMenu(int commandId) {
        main->action(commandId)->trigger();
        FractalRecord* record = app->currentFractal();
        EXPECT_NE(record, nullptr);
        EXPECT_TRUE(processUntil([&] {
            return record->view != nullptr && record->view->finished() &&
                   record->view->commandWord() == calc::kIdle;
        }));
        return *record;
    }

    // With VORTIMAX_UI_SHOTS set, the main window as the test left it is saved there as
    // TESTNAME.png, for looking at the windows by eye.
    void saveScreenshot() {
        const QString shots = qEnvironmentVariable("VORTIMAX_UI_SHOTS");
        if (shots.isEmpty())
            return;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        QApplication::processEvents();
        main->grab().save(shots + QLatin1Char('/') + QString::fromLatin1(info->name()) +
                          QStringLiteral(".png"));
    }

    TempDir dir;
    ScriptedFrontend scripted;
    ui::QtFrontend qtFrontend;
    ui::QtTimerHost timers;
    std::unique_ptr<Application> app;
    std::unique_ptr<ui::MainWindow> main;
    StartupResult started;
};

} // namespace vortimax::test
