#pragma once

#include "app/tool_window_registry.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vortimax {

struct FontSetting {
    std::string face;
    int size = 8;
    int style = 0; // passed on to font choice and font creation as it is

    friend bool operator==(const FontSetting&, const FontSetting&) = default;
};

// Main window placement: position, outer size and show state.
struct MainWindowPlacement {
    static constexpr int kMinimised = 2;
    static constexpr int kMaximised = 3; // any other show state is a normal window

    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int showState = 1;

    friend bool operator==(const MainWindowPlacement&, const MainWindowPlacement&) = default;
};

// The switches that make the program ask before deleting or quitting.
enum class Confirmation { DelTask, DelProj, DelPic, DelPal, DelFrm, DelAnm, End };
inline constexpr std::size_t kConfirmationCount = 7;
inline constexpr std::array<std::string_view, kConfirmationCount> kConfirmationKeywords{
    "CNF_DelTask", "CNF_DelProj", "CNF_DelPic", "CNF_DelPal",
    "CNF_DelFrm",  "CNF_DelAnm",  "CNF_End"};

// Library directories. Each list is the text of the setting: directories separated by
// ";". New folders, palettes and formulas are saved into the three save directories.
struct LibraryPaths {
    std::string projects;
    std::string palettes;
    std::string formulas;
    std::string anims;
    std::string pictures;
    std::filesystem::path projectSaveDir;
    std::filesystem::path paletteSaveDir;
    std::filesystem::path formulaSaveDir;

    friend bool operator==(const LibraryPaths&, const LibraryPaths&) = default;
};

// Every user setting that outlives a run of the program, with its built-in default.
struct Settings {
    static constexpr int kMinDrawingSpeed = 10;
    static constexpr int kMaxDrawingSpeed = 1000;
    static constexpr std::size_t kMaxRecentFiles = 8;

    int drawingSpeed = 10; // least milliseconds between two paints of a calculating view
    // Threads that calculate one fractal; 0: as many as the machine has.
    int calculationThreads = 0;
    int displayDepth = 8; // 8 or 24, given to new fractals
    bool autoSave = true; // write the configuration at program end
    FontSetting guiFont{"Arial", 8, 1};
    FontSetting smallFont{"Arial", 8, 0};
    std::optional<MainWindowPlacement> mainWindow; // none until the window was placed
    ToolWindowState parm1;
    ToolWindowState parm2;
    ToolWindowRegistry toolWindows;
    std::array<bool, kConfirmationCount> confirmations{true, true, true, true, true, true, false};
    LibraryPaths paths;
    std::optional<std::string> defaultComment; // lines separated by "\n"
    // Parameter files and images loaded last, the newest first.
    std::vector<std::string> recentFiles;

    bool confirm(Confirmation which) const { return confirmations[index(which)]; }
    void setConfirm(Confirmation which, bool on) { confirmations[index(which)] = on; }

    friend bool operator==(const Settings&, const Settings&) = default;

private:
    static std::size_t index(Confirmation which) { return static_cast<std::size_t>(which); }
};

// The placement and open flag kept for a row of the tool-window registry: the parameter
// windows of all types share Parm1 / Parm2, child rows use their parent's.
ToolWindowState& toolWindowState(Settings& settings, std::size_t row);
const ToolWindowState& toolWindowState(const Settings& settings, std::size_t row);

// The library directories below the program directory ("Palettes", "Fractals",
// "Formulas", "Anims", "Pictures"); the save directories are the same.
void setDefaultLibraryPaths(Settings& settings, const std::filesystem::path& programDir);

// Puts a file at the head of the recent files (once), keeping at most kMaxRecentFiles.
void rememberRecentFile(Settings& settings, const std::filesystem::path& file);

// The directories of a ";"-separated list, empty items skipped.
std::vector<std::filesystem::path> splitPathList(std::string_view list);

} // namespace vortimax
