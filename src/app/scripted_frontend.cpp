#include "app/scripted_frontend.h"

#include <exception>
#include <ostream>
#include <stdexcept>
#include <thread>

namespace vortimax {

void ScriptedFrontend::queueAnswer(MessageAnswer answer) {
    std::lock_guard lock(mutex_);
    answers_.push_back(answer);
}

void ScriptedFrontend::queuePath(std::optional<std::filesystem::path> path) {
    std::lock_guard lock(mutex_);
    paths_.push_back(std::move(path));
}

void ScriptedFrontend::queueAbortAfter(std::optional<std::size_t> steps) {
    std::lock_guard lock(mutex_);
    aborts_.push_back(steps);
}

void ScriptedFrontend::setEcho(std::ostream* out) {
    std::lock_guard lock(mutex_);
    echo_ = out;
}

std::size_t ScriptedFrontend::record(FrontendCall call) {
    calls_.push_back(std::move(call));
    return calls_.size() - 1;
}

MessageAnswer ScriptedFrontend::messageBox(std::string_view caption, std::string_view text,
                                           MessageButtons buttons, MessageIcon icon) {
    std::lock_guard lock(mutex_);
    MessageAnswer answer = defaultAnswer(buttons);
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
        if (!offersAnswer(buttons, answer)) {
            throw std::logic_error("scripted answer is not a button of the message box");
        }
    }
    FrontendCall call{.kind = FrontendCallKind::MessageBox,
                      .caption = std::string(caption),
                      .text = std::string(text),
                      .buttons = buttons,
                      .icon = icon,
                      .answer = answer};
    record(std::move(call));
    if (echo_ != nullptr) {
        *echo_ << caption << ": " << text << '\n';
    }
    return answer;
}

void ScriptedFrontend::addMessage(std::string_view text) {
    std::lock_guard lock(mutex_);
    record({.kind = FrontendCallKind::Message, .text = std::string(text)});
    if (echo_ != nullptr) {
        *echo_ << text << '\n';
    }
}

void ScriptedFrontend::setStatus(std::string_view text, int ticks) {
    std::lock_guard lock(mutex_);
    record({.kind = FrontendCallKind::Status, .text = std::string(text), .ticks = ticks});
}

void ScriptedFrontend::onProgress(std::size_t index, std::optional<std::size_t> abortAfter,
                                  std::atomic<bool>& abortFlag, std::string_view text,
                                  double fraction) {
    std::lock_guard lock(mutex_);
    if (index >= calls_.size()) {
        return; // the record was cleared while the run was going on
    }
    FrontendCall& run = calls_[index];
    ++run.progressSteps;
    run.progressFraction = fraction;
    if (!text.empty() && (run.progressTexts.empty() || run.progressTexts.back() != text)) {
        run.progressTexts.emplace_back(text);
    }
    if (abortAfter && run.progressSteps == *abortAfter) {
        run.aborted = true;
        abortFlag.store(true);
    }
}

void ScriptedFrontend::runWithProgress(std::string_view title, std::atomic<bool>& abortFlag,
                                       const ProgressWorker& worker) {
    std::size_t index = 0;
    std::optional<std::size_t> abortAfter;
    {
        std::lock_guard lock(mutex_);
        index = record({.kind = FrontendCallKind::Progress, .caption = std::string(title)});
        if (!aborts_.empty()) {
            abortAfter = aborts_.front();
            aborts_.pop_front();
        }
        if (abortAfter == 0u) {
            calls_[index].aborted = true;
            abortFlag.store(true);
        }
    }
    Progress progress(abortFlag, [&](std::string_view text, double fraction) {
        onProgress(index, abortAfter, abortFlag, text, fraction);
    });
    // An exception must not escape the worker thread (that would end the program); it
    // is carried over and rethrown here instead.
    std::exception_ptr failure;
    std::thread thread([&] {
        try {
            worker(progress);
        } catch (...) {
            failure = std::current_exception();
        }
    });
    thread.join();
    if (failure) {
        std::rethrow_exception(failure);
    }
}

std::optional<std::filesystem::path> ScriptedFrontend::request(FrontendCall call) {
    std::lock_guard lock(mutex_);
    if (!paths_.empty()) {
        call.chosenPath = std::move(paths_.front());
        paths_.pop_front();
    }
    auto chosen = call.chosenPath;
    record(std::move(call));
    return chosen;
}

std::optional<std::filesystem::path>
ScriptedFrontend::requestOpenFile(std::string_view title,
                                  const std::filesystem::path& startDirectory,
                                  const std::vector<std::string>& filters) {
    return request({.kind = FrontendCallKind::OpenFile,
                    .caption = std::string(title),
                    .startDirectory = startDirectory,
                    .filters = filters});
}

std::optional<std::filesystem::path>
ScriptedFrontend::requestSaveFile(std::string_view title,
                                  const std::filesystem::path& startDirectory,
                                  const std::vector<std::string>& filters) {
    return request({.kind = FrontendCallKind::SaveFile,
                    .caption = std::string(title),
                    .startDirectory = startDirectory,
                    .filters = filters});
}

std::optional<std::filesystem::path>
ScriptedFrontend::requestDirectory(std::string_view title,
                                   const std::filesystem::path& startDirectory) {
    return request({.kind = FrontendCallKind::Directory,
                    .caption = std::string(title),
                    .startDirectory = startDirectory});
}

void ScriptedFrontend::viewChanged(int viewId, const Rect& area) {
    std::lock_guard lock(mutex_);
    record({.kind = FrontendCallKind::ViewChanged, .viewId = viewId, .area = area});
}

std::vector<FrontendCall> ScriptedFrontend::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

std::vector<FrontendCall> ScriptedFrontend::callsOf(FrontendCallKind kind) const {
    std::lock_guard lock(mutex_);
    std::vector<FrontendCall> result;
    for (const FrontendCall& call : calls_) {
        if (call.kind == kind) {
            result.push_back(call);
        }
    }
    return result;
}

std::vector<FrontendCall> ScriptedFrontend::messageBoxes() const {
    return callsOf(FrontendCallKind::MessageBox);
}

std::vector<FrontendCall> ScriptedFrontend::progressRuns() const {
    return callsOf(FrontendCallKind::Progress);
}

std::vector<std::string> ScriptedFrontend::textsOf(FrontendCallKind kind) const {
    std::vector<std::string> result;
    for (const FrontendCall& call : callsOf(kind)) {
        result.push_back(call.text);
    }
    return result;
}

std::vector<std::string> ScriptedFrontend::messages() const {
    return textsOf(FrontendCallKind::Message);
}

std::vector<std::string> ScriptedFrontend::statusTexts() const {
    return textsOf(FrontendCallKind::Status);
}

void ScriptedFrontend::clearCalls() {
    std::lock_guard lock(mutex_);
    calls_.clear();
}

} // namespace vortimax
