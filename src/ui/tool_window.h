#pragma once

#include <QWidget>
#include <functional>
#include <span>
#include <string_view>

namespace vortimax {
class Application;
}

namespace vortimax::ui {

class MainWindow;
class QtFrontend;

// What every window of the desktop program may reach.
struct UiContext {
    Application& app;
    MainWindow& main;
    QtFrontend& frontend;
};

// A tool window: a small window of its own above the main window, opened from the menus,
// placed where it was last (the configuration keeps its position and open flag).
class ToolWindow : public QWidget {
public:
    ToolWindow(UiContext& context, int windowId, QWidget* parent);

    int windowId() const { return windowId_; }
    // The program's state changed (current fractal, its parameters, the folders, the
    // palettes, the messages): show it anew. Must not disturb an edit in progress.
    virtual void refresh() = 0;

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

    UiContext& context_;

private:
    int windowId_;
};

using ToolWindowFactory = std::function<ToolWindow*(UiContext& context, QWidget* parent)>;

// Which window a registry keyword opens.
struct ToolWindowKind {
    std::string_view keyword;
    ToolWindowFactory create;
};

// Every tool window the desktop program has, by registry keyword.
std::span<const ToolWindowKind> toolWindowKinds();

} // namespace vortimax::ui
