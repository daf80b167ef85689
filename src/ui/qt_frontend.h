#pragma once

#include "base/frontend.h"

#include <QFont>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

namespace vortimax::ui {

// The desktop program's side of the Frontend: message boxes, modal progress windows and
// file requesters as Qt dialogs. Calls may come from any thread; they are carried out on
// the interface thread (a worker waits for the answer). Message lines and status texts
// are kept by the application itself, which shows them in the "Output" window and the
// status bar, so they never arrive here.
class QtFrontend final : public Frontend {
public:
    // Repaints part of a fractal window; called on the interface thread.
    using RepaintView = std::function<void(int viewId, const Rect& area)>;
    // Asks for a font, starting from `current`; nothing when the person cancels.
    using FontRequester = std::function<std::optional<QFont>(const QFont& current)>;

    explicit QtFrontend(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    void setRepaintView(RepaintView repaint) { repaintView_ = std::move(repaint); }
    // Replaces the font dialog (the tests answer with a font of their own).
    void setFontRequester(FontRequester requester) { fontRequester_ = std::move(requester); }

    // The font dialog, or the requester set in its place.
    std::optional<QFont> requestFont(const QFont& current);

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

private:
    QPointer<QWidget> parent_;
    RepaintView repaintView_;
    FontRequester fontRequester_;
};

// Runs `work` on the interface thread and waits for it (at once when called there).
void runOnInterfaceThread(const std::function<void()>& work);

} // namespace vortimax::ui
