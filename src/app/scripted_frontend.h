#pragma once

#include "base/frontend.h"

#include <cstddef>
#include <deque>
#include <iosfwd>
#include <mutex>

namespace vortimax {

enum class FrontendCallKind {
    MessageBox,
    Message,
    Status,
    Progress,
    OpenFile,
    SaveFile,
    Directory,
    ViewChanged
};

// One recorded call with all its arguments and the answer given. Fields a kind does not
// use keep their defaults.
struct FrontendCall {
    FrontendCallKind kind = FrontendCallKind::Message;
    std::string caption{}; // message-box caption; progress and requester title
    std::string text{};    // message-box text, message line or status text
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    MessageAnswer answer = MessageAnswer::Ok;
    int ticks = 0;
    std::filesystem::path startDirectory{};
    std::vector<std::string> filters{};
    std::optional<std::filesystem::path> chosenPath{};
    // Progress runs: the texts reported (repeats of the same text kept once), the last
    // fraction, the number of reports and whether the script aborted the run.
    std::vector<std::string> progressTexts{};
    double progressFraction = 0.0;
    std::size_t progressSteps = 0;
    bool aborted = false;
    int viewId = 0;
    Rect area{};
};

// The frontend of the tests and the command-line program: it records every call in order
// and answers from queues filled beforehand. With a queue empty it answers like a person
// who just confirms everything: a message box with its first button (Ok or Yes), a
// requester with nothing (cancelled), a progress run without an abort. Progress workers
// run on their own thread, but the call joins it before returning, so results are
// deterministic. Calls may come from several threads at once.
class ScriptedFrontend final : public Frontend {
public:
    // Script. Answers must be among the buttons of the box they answer, otherwise the
    // box throws std::logic_error (a mistake in the script).
    void queueAnswer(MessageAnswer answer);
    // Paths answer the three requesters in order of the calls; nullopt is a cancel.
    void queuePath(std::optional<std::filesystem::path> path);
    // For the next progress run: set the abort flag once the worker has made `steps`
    // reports (0 = before it starts); nullopt = no abort.
    void queueAbortAfter(std::optional<std::size_t> steps);
    // Copies message boxes and message lines to `out` (nullptr: no echo).
    void setEcho(std::ostream* out);

    MessageAnswer messageBox(std::string_view caption, std::string_view text,
                             MessageButtons buttons, MessageIcon icon) override;
    void addMessage(std::string_view text) override;
    void setStatus(std::string_view text, int ticks) override;
    void runWithProgress(std::string_view title, std::atomic<bool>& abortFlag,
                         const ProgressWorker& worker) override;
    std::optional<std::filesystem::path>
    requestOpenFile(std::string_view title, const std::filesystem::path& startDirectory,
                    const std::vector<std::string>& filters) override;
    std::optional<std::filesystem::path>
    requestSaveFile(std::string_view title, const std::filesystem::path& startDirectory,
                    const std::vector<std::string>& filters) override;
    std::optional<std::filesystem::path>
    requestDirectory(std::string_view title, const std::filesystem::path& startDirectory) override;
    void viewChanged(int viewId, const Rect& area) override;

    // Record, as copies taken under the lock.
    std::vector<FrontendCall> calls() const;
    std::vector<FrontendCall> callsOf(FrontendCallKind kind) const;
    std::vector<FrontendCall> messageBoxes() const;
    std::vector<FrontendCall> progressRuns() const;
    std::vector<std::string> messages() const;
    std::vector<std::string> statusTexts() const;
    void clearCalls();

private:
    std::size_t record(FrontendCall call);
    std::optional<std::filesystem::path> request(FrontendCall call);
    void onProgress(std::size_t index, std::optional<std::size_t> abortAfter,
                    std::atomic<bool>& abortFlag, std::string_view text, double fraction);
    std::vector<std::string> textsOf(FrontendCallKind kind) const;

    mutable std::mutex mutex_;
    std::vector<FrontendCall> calls_;
    std::deque<MessageAnswer> answers_;
    std::deque<std::optional<std::filesystem::path>> paths_;
    std::deque<std::optional<std::size_t>> aborts_;
    std::ostream* echo_ = nullptr;
};

} // namespace vortimax
