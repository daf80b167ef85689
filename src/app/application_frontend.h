#pragma once

#include "app/message_window.h"
#include "app/status_text.h"
#include "base/frontend.h"

namespace vortimax {

// The frontend the core's subsystems talk to. Message-window lines and status texts are
// kept by the program itself (the window and the status bar show them from there);
// everything else goes to the frontend that shows windows.
class ApplicationFrontend final : public Frontend {
public:
    ApplicationFrontend(Frontend& outer, MessageWindow& messages, StatusText& status)
        : outer_(outer), messages_(messages), status_(status) {}

    MessageAnswer messageBox(std::string_view caption, std::string_view text,
                             MessageButtons buttons, MessageIcon icon) override {
        return outer_.messageBox(caption, text, buttons, icon);
    }
    void addMessage(std::string_view text) override { messages_.add(text); }
    void setStatus(std::string_view text, int ticks) override { status_.set(text, ticks); }
    void runWithProgress(std::string_view title, std::atomic<bool>& abortFlag,
                         const ProgressWorker& worker) override {
        outer_.runWithProgress(title, abortFlag, worker);
    }
    std::optional<std::filesystem::path>
    requestOpenFile(std::string_view title, const std::filesystem::path& startDirectory,
                    const std::vector<std::string>& filters) override {
        return outer_.requestOpenFile(title, startDirectory, filters);
    }
    std::optional<std::filesystem::path>
    requestSaveFile(std::string_view title, const std::filesystem::path& startDirectory,
                    const std::vector<std::string>& filters) override {
        return outer_.requestSaveFile(title, startDirectory, filters);
    }
    std::optional<std::filesystem::path>
    requestDirectory(std::string_view title, const std::filesystem::path& startDirectory) override {
        return outer_.requestDirectory(title, startDirectory);
    }
    void viewChanged(int viewId, const Rect& area) override { outer_.viewChanged(viewId, area); }

private:
    Frontend& outer_;
    MessageWindow& messages_;
    StatusText& status_;
};

} // namespace vortimax
