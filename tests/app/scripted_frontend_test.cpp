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
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0].kind, Kind::MessageBox);
    EXPECT_EQ(calls[0].caption, "Delete operation");
    EXPECT_EQ(calls[0].text, "Sure?");
    EXPECT_EQ(calls[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(calls[0].icon, MessageIcon::Question);
    EXPECT_EQ(calls[0].answer, MessageAnswer::No);
    EXPECT_EQ(calls[1].kind, Kind::Message);
    EXPECT_EQ(calls[2].kind, Kind::Status);
    EXPECT_EQ(calls[2].ticks, 50);
    EXPECT_EQ(calls[3].answer, MessageAnswer::Cancel);
    EXPECT_EQ(calls[4].kind, Kind::OpenFile);
    EXPECT_EQ(calls[4].startDirectory, std::filesystem::path("/home"));
    EXPECT_EQ(calls[4].filters, (std::vector<std::string>{"*.par", "*.zar"}));
    EXPECT_EQ(calls[5].kind, Kind::ViewChanged);
    EXPECT_EQ(calls[5].viewId, 7);
    EXPECT_EQ(calls[5].area, (Rect{1, 2, 3, 4}));

    EXPECT_EQ(ui.messages(), std::vector<std::string>{"Zooming in"});
    EXPECT_EQ(ui.statusTexts(), std::vector<std::string>{"Define the area"});
    EXPECT_EQ(ui.messageBoxes().size(), 2u);
}

TEST(ScriptedFrontend, EmptyQueuesGiveTheDocumentedDefaults) {
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

// Reports `steps` fractions unless the abort flag stops it; returns the reports made.
int countingWorker(Progress& progress, int steps) {
    int made = 0;
    for (int i = 1; i <= steps && !progress.abortRequested(); ++i) {
        progress.setText(i == 1 ? "Reading palette maps" : "Reading parameter files");
        ++made;
    }
    return made;
}

TEST(ScriptedFrontend, ProgressRunsAreAbortedAfterTheScriptedNumberOfReports) {
    ScriptedFrontend ui;
    ui.queueAbortAfter(3);
    ui.queueAbortAfter(0);
    std::atomic<bool> abortFlag{false};

    int made = 0;
    ui.runWithProgress("Loading parameter files", abortFlag,
                       [&](Progress& progress) { made = countingWorker(progress, 100); });
    EXPECT_EQ(made, 3);
    EXPECT_TRUE(abortFlag.load());

    abortFlag = false;
    ui.runWithProgress("second", abortFlag,
                       [&](Progress& progress) { made = countingWorker(progress, 100); });
    EXPECT_EQ(made, 0);

    abortFlag = false; // queue empty: no abort
    ui.runWithProgress("third", abortFlag, [&](Progress& progress) {
        made = countingWorker(progress, 5);
        progress.setFraction(2.0);
    });
    EXPECT_EQ(made, 5);
    EXPECT_FALSE(abortFlag.load());

    const auto runs = ui.progressRuns();
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].caption, "Loading parameter files");
    EXPECT_TRUE(runs[0].aborted);
    EXPECT_EQ(runs[0].progressSteps, 3u);
    EXPECT_EQ(runs[0].progressTexts,
              (std::vector<std::string>{"Reading palette maps", "Reading parameter files"}));
    EXPECT_TRUE(runs[1].aborted);
    EXPECT_FALSE(runs[2].aborted);
    EXPECT_EQ(runs[2].progressSteps, 6u);
    EXPECT_EQ(runs[2].progressFraction, 1.0); // clamped
}

TEST(ScriptedFrontend, WorkersMayReportFromTheirThreadAndEchoGoesToTheStream) {
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

    const auto calls = ui.calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].kind, Kind::Progress); // the run is recorded before its messages
    auto lines = ui.messages();
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (std::vector<std::string>{"from helper", "from worker"}));
    EXPECT_NE(echo.str().find("from worker\n"), std::string::npos);
    EXPECT_NE(echo.str().find("Warning...: Careful\n"), std::string::npos);
}

TEST(ScriptedFrontend, AnExceptionInTheWorkerReachesTheCaller) {
    ScriptedFrontend ui;
    std::atomic<bool> abortFlag{false};
    EXPECT_THROW(ui.runWithProgress("t", abortFlag,
                                    [](Progress&) { throw std::runtime_error("disk gone"); }),
                 std::runtime_error);
}

} // namespace
} // namespace vortimax
