#pragma once

#include "base/rect.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vortimax {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// The button a box answers with when the person just confirms it: the first of its set.
MessageAnswer defaultAnswer(MessageButtons buttons);
// Whether `answer` is one of the buttons of `buttons`.
bool offersAnswer(MessageButtons buttons, MessageAnswer answer);

// Handed to a worker that runs under a modal progress window. The worker reports a text
// and a fraction (0 ... 1) from its own thread and polls the shared abort flag; the
// window side reads the last report with text() and fraction(). Every report is passed
// to the listener, on the worker's thread.
class Progress {
public:
    using Listener = std::function<void(std::string_view text, double fraction)>;

    explicit Progress(std::atomic<bool>& abortFlag, Listener listener = {});

    void setText(std::string_view text);
    // Values outside 0 ... 1 are clamped; NaN counts as 0.
    void setFraction(double fraction);

    bool abortRequested() const { return abortFlag_.load(); }
    // The flag itself, for workers that acknowledge an abort by clearing it.
    std::atomic<bool>& abortFlag() { return abortFlag_; }

    std::string text() const;
    double fraction() const { return fraction_.load(); }

private:
    void report();

    std::atomic<bool>& abortFlag_;
    Listener listener_;
    mutable std::mutex mutex_;
    std::string text_;
    std::atomic<double> fraction_{0.0};
};

using ProgressWorker = std::function<void(Progress&)>;

// Everything the core shows a person, or asks of one, goes through this interface. The
// desktop program implements it with windows; the command-line program and the tests
// with ScriptedFrontend. Calls may come from any thread.
class Frontend {
public:
    virtual ~Frontend() = default;

    // A modal box; returns the button chosen.
    virtual MessageAnswer messageBox(std::string_view caption, std::string_view text,
                                     MessageButtons buttons, MessageIcon icon) = 0;
    // Appends a line to the message window.
    virtual void addMessage(std::string_view text) = 0;
    // Shows `text` in the status bar for `ticks` runs of the 100 ms timer.
    virtual void setStatus(std::string_view text, int ticks) = 0;
    // Runs `worker` on its own thread while a modal progress window titled `title`
    // shows its reports; aborting the window sets `abortFlag`. Returns when the worker
    // has finished.
    virtual void runWithProgress(std::string_view title, std::atomic<bool>& abortFlag,
                                 const ProgressWorker& worker) = 0;
    // File and directory requesters; nothing when the person cancels. Filters are
    // patterns such as "*.par".
    virtual std::optional<std::filesystem::path>
    requestOpenFile(std::string_view title, const std::filesystem::path& startDirectory,
                    const std::vector<std::string>& filters) = 0;
    virtual std::optional<std::filesystem::path>
    requestSaveFile(std::string_view title, const std::filesystem::path& startDirectory,
                    const std::vector<std::string>& filters) = 0;
    virtual std::optional<std::filesystem::path>
    requestDirectory(std::string_view title, const std::filesystem::path& startDirectory) = 0;
    // The pixels of `area` in view `viewId` have changed and need repainting.
    virtual void viewChanged(int viewId, const Rect& area) = 0;
};

} // namespace vortimax
