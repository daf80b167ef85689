#pragma once

#include "app/application.h"
#include "ui/tool_window.h"

#include <QMainWindow>
#include <QPointer>
#include <filesystem>
#include <map>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QMdiArea;
class QToolBar;

namespace vortimax::ui {

class FractalWindow;
class QtFrontend;
class QtTimerHost;

// The main window "Vortimax": the fractal windows inside, the menus of every command,
// four toolbars, the status bar and the tool windows. A thin layer over the application:
// commands go to it, and what it reports changes the windows.
class MainWindow final : public QMainWindow {
public:
    MainWindow(Application& app, QtFrontend& frontend, QtTimerHost& timers);
    ~MainWindow() override;

    Application& app() { return app_; }
    UiContext& context() { return context_; }

    // After a successful start: interface font and placement from the configuration (the
    // window kept on the screen), the tool windows that were open, and the menus brought
    // up to date.
    void showStarted(const StartupResult& started);

    // Loads files as the Load command would, each on its own so that files of different
    // kinds may be mixed: those named on the command line and those dropped on the window.
    void openFiles(const std::vector<std::filesystem::path>& files);

    // Runs a menu command as if chosen (Ctrl from the keyboard state).
    void runCommand(int id);
    void runToolbarButton(int id);
    QAction* action(int id) const;

    // Opens (or raises) the tool window a registry row describes.
    ToolWindow* openToolWindow(std::size_t registryRow);
    ToolWindow* openToolWindowForCommand(int menuCommand);
    ToolWindow* findToolWindow(std::string_view keyword) const;

    FractalWindow* fractalWindow(const FractalRecord& record) const;
    FractalWindow* activeFractalWindow() const;
    QMdiArea& mdiArea() { return *mdi_; }

    // Everything shown is brought up to date with the application's state.
    void refreshAll();
    void refreshMenus();
    void refreshStatusBar();
    void refreshToolWindows();

    // Opens the help window at a context number (800 for the menus).
    void showHelp(int context);
    // Tile or Cascade: the windows are arranged, and the images take their new sizes.
    void arrange(bool tile);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenus();
    void buildToolbars();
    void buildStatusBar();
    void installViewHooks();
    void onChange(ApplicationChange change);
    void onTimer(int id);
    void applyToolbarModes();
    void fitFractalWindows();
    void rememberPlacement();
    void runWidgetCommand(int id);
    void fillRecentFiles(QMenu& menu);
    void runWidgetToolbarButton(int id);
    void placeToolWindow(ToolWindow& window, const ToolWindowState& state);
    // The screen area windows may use, and where the active fractal window is on it.
    QRect availableArea() const;
    QRect activeFractalArea() const;
    void repaintView(int viewId, const Rect& area);
    int activeHelpContext() const;

    Application& app_;
    QtFrontend& frontend_;
    QtTimerHost& timers_;
    UiContext context_;
    QMdiArea* mdi_;
    std::map<int, QAction*> actions_;
    std::map<int, QAction*> toolbarActions_;
    struct ToolbarPair {
        QToolBar* docked;
        QToolBar* floating;
    };
    std::vector<ToolbarPair> toolbars_;
    std::map<int, FractalWindow*> fractalWindows_; // by view id
    std::map<std::size_t, QPointer<ToolWindow>> toolWindows_;
    QLabel* statusText_;
    QLabel* statusProgress_;
    QProgressBar* statusBar_;
    QLabel* statusElapsed_;
    QLabel* statusZoom_;
    QLabel* statusSize_;
    bool closing_ = false;
};

} // namespace vortimax::ui
