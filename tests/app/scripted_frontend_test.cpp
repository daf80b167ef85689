#include "app/scripted_frontend.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace vortimax {
namespace {

using Kind = FrontendCallKind;

TEST(ScriptedFrontend, AnswersFromItsQueuesAndRecordsEveryCallInOrder) {
    ScriptedFrontend ui;
    ui.queueAnswer(MessageAnswer::No);
    ui.queueAnswer(MessageAnswer::Cancel);
    ui.queuePath(std::filesystem::path("/tmp/a.par"));
    EXPECT_EQ(
        ui.messageBox("Delete operation", "Sure?", MessageButtons::YesNo, MessageIcon::Question),
        MessageAnswer::No);
    ui.addMessage("Zooming in");
    ui.setStatus("Define the area", 50);
    EXPECT_EQ(ui.messageBox("Exiting program", "Quit?", MessageButtons::YesNoCancel,
                            MessageIcon::Warning),
              MessageAnswer::Cancel);
    EXPECT_EQ(ui.requestOpenFile("Loading...", "/home", {"*.par", "*.zar"}),
              std::filesystem::path("/tmp/a.par"));
    ui.viewChanged(7, Rect{1, 2, 3, 4});

    const auto calls = ui.calls();
    const Kind kinds[] = {Kind::MessageBox, Kind::Message,  Kind::Status,
                          Kind::MessageBox, Kind::OpenFile, Kind::ViewChanged};
    ASSERT_EQ(calls.size(), std::size(kinds));
    for (std::size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].kind, kinds[i]) << i;
    }
    // The fields of boxes, save requesters and view changes are read by most other tests.
    EXPECT_EQ(calls[2].ticks, 50);
    EXPECT_EQ(calls[3].answer, MessageAnswer::Cancel);
    EXPECT_EQ(calls[4].filters, (std::vector<std::string>{"*.par", "*.zar"}));
}

TEST(ScriptedFrontend, EmptyQueuesConfirmEverythingAndCancelRequesters) {
    ScriptedFrontend ui;
    const auto box = [&](MessageButtons buttons) {
        return ui.messageBox("c", "t", buttons, MessageIcon::None);
    };
    EXPECT_EQ(box(MessageButtons::Ok), MessageAnswer::Ok);
    EXPECT_EQ(box(MessageButtons::OkCancel), MessageAnswer::Ok);
    EXPECT_EQ(box(MessageButtons::YesNo), MessageAnswer::Yes);
    EXPECT_EQ(box(MessageButtons::YesNoCancel), MessageAnswer::Yes);
    EXPECT_EQ(ui.requestOpenFile("t", "/", {}), std::nullopt);
    EXPECT_EQ(ui.requestSaveFile("t", "/", {}), std::nullopt);
    EXPECT_EQ(ui.requestDirectory("t", "/"), std::nullopt);
    // An answer the box does not offer is a mistake in the script.
    ui.queueAnswer(MessageAnswer::No);
    EXPECT_THROW(box(MessageButtons::OkCancel), std::logic_error);
}

TEST(ScriptedFrontend, ProgressRunsAreAbortedAfterTheScriptedNumberOfReports) {
    ScriptedFrontend ui;
    ui.queueAbortAfter(3);
    ui.queueAbortAfter(0);
    std::atomic<bool> abortFlag{false};
    // Up to `steps` text reports, then an out-of-range fraction unless aborted.
    const auto run = [&](std::string_view title, int steps) {
        int made = 0;
        abortFlag = false;
        ui.runWithProgress(title, abortFlag, [&](Progress& progress) {
            for (; made < steps && !progress.abortRequested(); ++made) {
                progress.setText(made == 0 ? "Reading palette maps" : "Reading parameter files");
            }
            if (!progress.abortRequested()) {
                progress.setFraction(2.0);
            }
        });
        return made;
    };
    EXPECT_EQ(run("Loading parameter files", 100), 3);
    EXPECT_EQ(run("second", 100), 0);
    EXPECT_EQ(run("third", 5), 5); // queue empty: no abort
    EXPECT_FALSE(abortFlag.load());

    const auto runs = ui.progressRuns();
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].caption, "Loading parameter files");
    EXPECT_TRUE(runs[0].aborted);
    EXPECT_EQ(runs[0].progressSteps, 3u);
    // Repeats of a text are kept once.
    EXPECT_EQ(runs[0].progressTexts,
              (std::vector<std::string>{"Reading palette maps", "Reading parameter files"}));
    EXPECT_TRUE(runs[1].aborted);
    EXPECT_FALSE(runs[2].aborted);
    EXPECT_EQ(runs[2].progressSteps, 6u);
    EXPECT_EQ(runs[2].progressFraction, 1.0); // clamped
}

TEST(ScriptedFrontend, WorkersRunOnTheirOwnThreadAndEchoGoesToTheStream) {
    ScriptedFrontend ui;
    std::ostringstream echo;
    ui.setEcho(&echo);
    std::atomic<bool> abortFlag{false};
    ui.runWithProgress("Loading", abortFlag, [&](Progress&) {
        std::thread helper([&] { ui.addMessage("from helper"); });
        ui.addMessage("from worker");
        helper.join();
    });
    ui.messageBox("Warning...", "Careful", MessageButtons::Ok, MessageIcon::Warning);
    ASSERT_EQ(ui.calls().size(), 4u);
    EXPECT_EQ(ui.calls()[0].kind, Kind::Progress); // the run is recorded before its messages
    auto lines = ui.messages();
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (std::vector<std::string>{"from helper", "from worker"}));
    EXPECT_NE(echo.str().find("from worker\n"), std::string::npos);
    EXPECT_NE(echo.str().find("Warning...: Careful\n"), std::string::npos);
    // An exception must not end the program on the worker thread: it reaches the caller.
    EXPECT_THROW(ui.runWithProgress("t", abortFlag,
                                    [](Progress&) { throw std::runtime_error("disk gone"); }),
                 std::runtime_error);
}

} // namespace
} // namespace vortimax
