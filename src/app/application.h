#pragma once

#include "app/animation_gate.h"
#include "app/application_frontend.h"
#include "app/compound_updates.h"
#include "app/layout_prefs.h"
#include "app/message_window.h"
#include "app/program_directory.h"
#include "app/settings.h"
#include "app/status_text.h"
#include "app/timer_manager.h"
#include "model/view_environment.h"
#include "model/workspace.h"
#include "palette/colour_cycling.h"
#include "palette/palette_list.h"

#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vortimax {

class FractalRecord;
class FormulaLibraries;

inline constexpr std::string_view kMainWindowTitle = "Vortimax";
inline constexpr int kMainTimer = 1000;
// The nice value of the calculation threads in the desktop program: below the interface,
// never so low that a busy machine starves them.
inline constexpr int kDesktopWorkerNice = 5;
inline constexpr int kMainTimerIntervalMs = 100;

// The running animation, as far as the frame needs it. The animation subsystem installs
// one; without it no animation ever runs.
class AnimationControl {
public:
    virtual ~AnimationControl() = default;
    virtual bool isRunning() const = 0;
    // Whether the fractal is a frame of the running animation.
    virtual bool owns(const FractalRecord& record) const = 0;
    virtual void abort() = 0;
    // Timer duty: saves the frame when the animation's fractal has finished. Called under
    // the animation lock (app/animation_gate.h), never from within itself.
    virtual void saveFinishedFrame() = 0;
    // The window title of the frame fractal while `percent` of the frame is done; nothing
    // keeps the ordinary progress title.
    virtual std::optional<std::string> frameTitle(int /*percent*/) const { return std::nullopt; }
};

// The master/slave network, as far as the menu commands need it. The network subsystem
// installs one; without it the network commands are unavailable.
struct NetworkSummary;

class NetworkControl {
public:
    virtual ~NetworkControl() = default;
    virtual bool isMaster() const = 0;
    virtual bool isConnectedToMaster() const = 0;
    // What the network window shows (see app/network_summary.h).
    virtual NetworkSummary summary() const = 0;
    virtual void startMaster() = 0;
    // Whether the connect dialog may be asked; false, the reason shown, while acting as
    // master or already connected.
    virtual bool readyToConnect() = 0;
    // Connects to the master at "a.b.c.d:port" as typed by the person.
    virtual void connectToMaster(const std::string& address) = 0;
    virtual void stopMaster() = 0;
    virtual void disconnectFromMaster() = 0;
    virtual void restart() = 0;
    // Run by the 100 ms timer: notices that the connection to the master ended without a
    // command (the master said goodbye or went away; the latter is shown in a box). True
    // when the program's role changed, so that the menus follow.
    virtual bool followConnection() = 0;
};

// Reads the formula, IFS and L-system files of the given directories at start-up (the
// formula subsystem installs it). Runs on the loader thread; stops early on an abort.
using FormulaDirectoryLoader =
    std::function<void(const std::vector<std::filesystem::path>& directories, Progress& progress)>;

// What the frontend hears about, so it can bring its windows up to date.
enum class ApplicationChange {
    Menus,         // check marks, greying or the Undo/Redo labels may differ
    Toolbars,      // a toolbar was docked, floated or closed
    FractalWindow, // a fractal window's settings (scroll bars) changed
    Status,        // the status bar texts changed
};

enum class ToolbarMode { Docked, Window, Closed };
inline constexpr std::size_t kToolbarCount = 4;

// The facts about the display that start-up checks.
struct ScreenInfo {
    int bitsPerPixel = 24;
    bool paletteSupport = true; // palette functions available at 8 bits per pixel
    int width = 1024;
    int height = 768;
};

struct StartupOptions {
    ProgramDirectoryInputs directory;
    ScreenInfo screen;
};

struct StartupResult {
    bool ok = false;
    // Registry rows of the tool windows to open (open flag set in the configuration).
    std::vector<std::size_t> toolWindowsToOpen;
    // Names the per-user directory received from the shipped data on this start.
    std::vector<std::string> seeded;
};

// How a command was carried out.
enum class CommandOutcome {
    Done,
    NotAvailable, // greyed: nothing to work on, or the subsystem is missing
    ForFrontend,  // needs a window or dialog of the frontend
    NoAction,     // the item exists but does nothing
    Unknown,      // not a command
};

struct CommandModifiers {
    bool control = false; // Ctrl held: Boxzoom into a new fractal
};

// The status-bar fields the timers keep up to date.
struct StatusFields {
    std::string progress; // "NN% done" of the current fractal
    std::string zoom;     // "Mandel (3.0 zooms)"
    std::string size;     // "640x480"
    std::string elapsed;  // timer 9999: "MM mins  SS secs"
    std::string percent;  // timer 9999: "NN% done" or "unknown"
};

// The program: owns the settings, layout preferences, palettes, folders, open views,
// message window, status text and timers; runs start-up and shutdown, carries out the
// menu and toolbar commands and the timer duties. Everything it shows or asks goes to
// the frontend given. Used from the interface thread only (the views' workers and the
// start-up loader report through the frontend).
class Application {
public:
    // `timerHost` runs the timers; without one they are polled with runDueTimers.
    explicit Application(Frontend& frontend, TimerHost* timerHost = nullptr);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // --- Subsystems the program is built with, installed before start() ------------
    // They must outlive the application (shutdown still uses them).
    void setAnimationControl(AnimationControl* animation) { animation_ = animation; }
    void setNetworkControl(NetworkControl* network) { network_ = network; }
    void setFormulaDirectoryLoader(FormulaDirectoryLoader loader) {
        loadFormulaDirectories_ = std::move(loader);
    }
    // Loads formula, IFS or L-system files chosen in the generic Load (the formula
    // subsystem installs it); false when it does not know the files' extension.
    void
    setLibraryFileLoader(std::function<bool(const std::vector<std::filesystem::path>&)> loader) {
        loadLibraryFiles_ = std::move(loader);
    }
    bool loadLibraryFiles(const std::vector<std::filesystem::path>& files) {
        return loadLibraryFiles_ && loadLibraryFiles_(files);
    }
    // Called (on the interface thread) after each change the frontend shows.
    void setChangeListener(std::function<void(ApplicationChange)> listener) {
        changeListener_ = std::move(listener);
    }

    // --- Start and end -----------------------------------------------------------------
    // Program directory, layout preferences, configuration, screen check, libraries,
    // default folders. On failure the reason was shown and the program must end.
    StartupResult start(const StartupOptions& options);
    // The person closes the main window: asks "Exiting program" when that confirmation
    // is on. True when the program may end.
    bool confirmQuit();
    // Ends the program in order: running animation aborted, network stopped, the
    // configuration written when AutoSave is on, views closed, folders and palettes
    // freed. Runs once; the destructor calls it when nobody did.
    void shutdown();
    bool isShutDown() const { return shutDown_; }

    // --- Commands ----------------------------------------------------------------------
    CommandOutcome executeCommand(int id, CommandModifiers modifiers = {});
    CommandOutcome executeToolbarButton(int id);

    // --- Windows -----------------------------------------------------------------------
    // A fractal window is being closed by the person: the running animation's window asks
    // "Aborting animation", any other the "Delete Calculated" question. True when closed.
    bool closeFractalWindow(FractalRecord& record);
    // A tool window (or one of toolbars 200 ... 203) was closed: its open flag clears.
    void toolWindowClosed(int windowId);
    void toolWindowOpened(int windowId);
    // A fractal window's client area was resized; applied by the main timer once the
    // left mouse button is up. Each window keeps only its latest size.
    void fractalWindowResized(FractalRecord& record, int clientWidth, int clientHeight);
    void setMouseButtonDown(bool down) { mouseButtonDown_ = down; }
    // Opens the fractal silently (paused) at the next run of the main timer.
    void queueSilentOpen(FractalRecord& record) { queuedOpen_ = &record; }
    // Makes the fractal current (the window activated or the tree selection moved).
    void selectFractal(FractalRecord& record);

    // --- Timers ------------------------------------------------------------------------
    void onTimer(int id);
    // Without a timer host: runs every timer whose interval has passed.
    void runDueTimers(TimerManager::Clock::time_point now);

    // --- State -------------------------------------------------------------------------
    Frontend& frontend() { return appFrontend_; }
    const std::filesystem::path& programDirectory() const { return programDirectory_; }
    Settings& settings() { return settings_; }
    const Settings& settings() const { return settings_; }
    const LayoutPrefs& layout() const { return layout_; }
    const ScreenInfo& screen() const { return screen_; }
    // The formula, IFS and L-system libraries.
    FormulaLibraries& formulaLibraries() { return *formulaLibraries_; }
    const FormulaLibraries& formulaLibraries() const { return *formulaLibraries_; }
    PaletteList& palettes() { return *palettes_; }
    const PaletteList& palettes() const { return *palettes_; }
    Workspace& workspace() { return *workspace_; }
    const Workspace& workspace() const { return *workspace_; }
    ViewEnvironment& views() { return *environment_; }
    const ViewEnvironment& views() const { return *environment_; }
    MessageWindow& messages() { return messages_; }
    const MessageWindow& messages() const { return messages_; }
    const StatusText& status() const { return status_; }
    // The mouse moved over the main window: the timed text goes at once.
    void clearStatus();
    const StatusFields& statusFields() const { return statusFields_; }
    TimerManager& timers() { return *timers_; }
    ColourCycling& colourCycling() { return cycling_; }
    const ColourCycling& colourCycling() const { return cycling_; }

    // --- Palettes on screen ------------------------------------------------------------
    // The palette the palette windows and commands work on: the current fractal's, else
    // the list's current one, else the default palette.
    Palette& workingPalette() const;
    // Shows the current fractal's palette after a change of its colours or its offset.
    void showCurrentPalette();
    // The cycling window follows the fractal made active (its COLCYC settings); the
    // timer takes the speed. Called on every cycling tick and by the window.
    void followColourCycling();
    // The cycling window changed the settings: they go into the active fractal and the
    // timer runs at the new speed.
    void changeColourCycling(const ColourCyclingSettings& settings);
    AnimationGate& animationLock() { return animationLock_; }
    AnimationControl* animation() const { return animation_; }
    NetworkControl* network() const { return network_; }
    ToolbarMode toolbar(std::size_t index) const { return toolbars_.at(index); }
    void setToolbar(std::size_t index, ToolbarMode mode);

    // The fractal the commands work on: the current fractal of the current folder.
    FractalRecord* currentFractal() const;
    // What a new fractal takes over from the settings.
    RecordCreationContext creationContext() const;
    // The first directory of a path list, or the program directory when it is empty.
    std::filesystem::path firstDirectory(const std::string& pathList) const;
    // Settings switched by commands take effect on the parts that use them.
    void applyConfirmations();
    // Writes Vortimax.cfg into the program directory; a failure is shown.
    bool saveConfiguration();

    // Runs a load on a worker under the progress window `title` (see runAbortableLoad);
    // listeners hear of the changes once it is over. Returns whether it was aborted.
    bool runLoad(std::string_view title, const std::function<bool(Progress&)>& work);
    // Where the image requesters start; remembers the directory last chosen.
    std::filesystem::path& imageDirectory() { return imageDirectory_; }

    void notify(ApplicationChange change);

private:
    friend class StartupSequence;

    void wireSubsystems();
    void forgetRecord(const FractalRecord& record);
    void runMainTimer();
    void refreshProgress();
    void refreshTitle(FractalView& view);
    void refreshStatusWindow();
    void applyPendingResize();

    ApplicationFrontend appFrontend_;
    MessageWindow messages_;
    StatusText status_;
    std::filesystem::path programDirectory_;
    Settings settings_;
    LayoutPrefs layout_;
    ScreenInfo screen_;
    // Listeners are not told of changes the start-up loader makes on its own thread.
    bool quiet_ = false;
    std::unique_ptr<TimerManager> timers_;
    std::unique_ptr<PaletteList> palettes_;
    std::unique_ptr<ViewEnvironment> environment_;
    std::unique_ptr<Workspace> workspace_;
    std::unique_ptr<FormulaLibraries> formulaLibraries_;
    CompoundUpdates compounds_;
    ColourCycling cycling_;
    AnimationGate animationLock_;
    AnimationControl* animation_ = nullptr;
    NetworkControl* network_ = nullptr;
    FormulaDirectoryLoader loadFormulaDirectories_;
    std::function<bool(const std::vector<std::filesystem::path>&)> loadLibraryFiles_;
    std::function<void(ApplicationChange)> changeListener_;
    std::array<ToolbarMode, kToolbarCount> toolbars_{ToolbarMode::Docked, ToolbarMode::Docked,
                                                     ToolbarMode::Closed, ToolbarMode::Closed};
    StatusFields statusFields_;
    std::filesystem::path imageDirectory_;

    FractalRecord* queuedOpen_ = nullptr;
    struct PendingResize {
        FractalRecord* record;
        int width;
        int height;
    };
    std::vector<PendingResize> pendingResizes_;
    bool mouseButtonDown_ = false;
    // When the current fractal's calculation was first seen running (status window).
    std::optional<std::chrono::steady_clock::time_point> calculationStart_;
    const FractalRecord* timedFractal_ = nullptr;
    bool started_ = false; // start() succeeded: only then is the configuration written back
    bool shutDown_ = false;
};

} // namespace vortimax
