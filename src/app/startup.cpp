#include "app/application.h"
#include "app/config_file.h"
#include "app/tool_window_registry.h"
#include "model/calculation_pool.h"
#include "palette/palette_commands.h"
#include "parfile/par_loader.h"
#include "parfile/parfile_hooks.h"

namespace vortimax {

namespace startup_texts {
constexpr std::string_view kFailureCaption = "Failure";
constexpr std::string_view kTooFewColours =
    "In order to run Vortimax, you must have at least 256 colors...";
constexpr std::string_view kNoPaletteSupport =
    "Your display driver does not support palette manager functions\n"
    "in this video mode. Due to this Vortimax won't be able to set its\n"
    "colors, although the program basically should work.";
constexpr std::string_view kNoLayout = "The layout preferences could not be loaded:\n";
constexpr std::string_view kNoProgramDirectory = "No program directory could be set up:\n";
constexpr std::string_view kLoadingTitle = "Loading parameter files";
constexpr std::string_view kReadingPalettes = "Reading palette maps";
constexpr std::string_view kReadingParameters = "Reading parameter files";
constexpr std::string_view kReadingFormulas = "Reading formula files";
constexpr std::string_view kDefaultProject = "Vortimax.par";
constexpr std::string_view kAnimationFolder = "Animation";
} // namespace startup_texts

// The start-up of the program after its windows exist, step by step.
class StartupSequence {
public:
    StartupSequence(Application& app, const StartupOptions& options)
        : app_(app), options_(options) {}

    StartupResult run() {
        StartupResult result;
        if (!chooseDirectory(result) || !loadLayout())
            return result;
        app_.timers_->registerTimer(kMainTimer, kMainTimerIntervalMs);
        setDefaults();
        readConfiguration();
        if (!checkScreen())
            return result;
        connectParameterFiles();
        app_.palettes_->setCurrent(&app_.palettes_->defaultPalette());
        loadLibraries();
        createDefaultFolders();
        result.toolWindowsToOpen = toolWindowsToOpen();
        app_.status_.clear();
        result.ok = true;
        app_.started_ = true;
        app_.notify(ApplicationChange::Menus);
        app_.notify(ApplicationChange::Toolbars);
        return result;
    }

private:
    void fail(std::string_view text) {
        app_.appFrontend_.messageBox(startup_texts::kFailureCaption, text, MessageButtons::Ok,
                                     MessageIcon::Error);
    }

    bool chooseDirectory(StartupResult& result) {
        ProgramDirectoryResult chosen = chooseProgramDirectory(options_.directory);
        if (!chosen.ok()) {
            fail(std::string(startup_texts::kNoProgramDirectory) + chosen.error);
            return false;
        }
        app_.programDirectory_ = chosen.directory;
        result.seeded = chosen.seeded;
        return true;
    }

    // Without layout preferences no window can be placed: start-up ends here, saying why.
    bool loadLayout() {
        LayoutStatus status = app_.layout_.load(app_.programDirectory_);
        if (!status.ok())
            fail(std::string(startup_texts::kNoLayout) + status.error);
        return status.ok();
    }

    void setDefaults() {
        Settings& settings = app_.settings_;
        settings.guiFont = FontSetting{"Arial", 8, settings.guiFont.style};
        settings.smallFont = FontSetting{"Arial", 8, settings.smallFont.style};
        setDefaultLibraryPaths(settings, app_.programDirectory_);
    }

    // A missing file leaves the defaults.
    void readConfiguration() {
        vortimax::readConfiguration(app_.programDirectory_ / kConfigFileName, app_.settings_);
        app_.timers_->registerTimer(ColourCycling::kTimerId, app_.cycling_.intervalMs());
        app_.environment_->drawingSpeed.store(app_.settings_.drawingSpeed);
        const int threads = app_.settings_.calculationThreads;
        CalculationPool::shared().setThreadCount(threads > 0 ? threads
                                                             : CalculationPool::hardwareThreads());
        app_.applyConfirmations();
        app_.imageDirectory_ = app_.firstDirectory(app_.settings_.paths.pictures);
    }

    bool checkScreen() {
        const ScreenInfo& screen = options_.screen;
        if (screen.bitsPerPixel < 8) {
            fail(startup_texts::kTooFewColours);
            return false;
        }
        if (screen.bitsPerPixel == 8 && !screen.paletteSupport) {
            fail(startup_texts::kNoPaletteSupport);
            return false;
        }
        app_.screen_ = screen;
        app_.environment_->screenDepth = screen.bitsPerPixel <= 8 ? 8 : 24;
        return true;
    }

    void connectParameterFiles() {
        EntryParseOptions options;
        options.screenDepth = app_.environment_->screenDepth;
        installParameterFileHooks(app_.environment_->hooks, *app_.palettes_, *app_.workspace_,
                                  app_.appFrontend_, options);
    }

    // Palettes, parameter files and formula files, read on a loader thread while the
    // progress window runs. An abort keeps what was read until then.
    void loadLibraries() {
        const LibraryPaths& paths = app_.settings_.paths;
        ParameterLoadOptions parameterOptions;
        parameterOptions.context = app_.creationContext();
        app_.runLoad(startup_texts::kLoadingTitle, [&](Progress& progress) {
            progress.setText(startup_texts::kReadingPalettes);
            loadPaletteDirectories(*app_.palettes_, app_.appFrontend_,
                                   splitPathList(paths.palettes), &progress);
            if (progress.abortRequested())
                return true;
            progress.setText(startup_texts::kReadingParameters);
            loadParameterDirectories(
                paths.projects, *app_.workspace_, &progress, parameterOptions,
                [this](const std::string& refusal) { app_.messages().add(refusal + '.'); });
            if (progress.abortRequested())
                return true;
            progress.setText(startup_texts::kReadingFormulas);
            if (app_.loadFormulaDirectories_)
                app_.loadFormulaDirectories_(splitPathList(paths.formulas), progress);
            return progress.abortRequested();
        });
    }

    void createDefaultFolders() {
        Workspace& workspace = *app_.workspace_;
        Folder* project = nullptr;
        for (Folder& folder : workspace.folders().all())
            if (!folder.isAnimation()) {
                project = &folder;
                break;
            }
        if (project == nullptr)
            project = &workspace.createFolder(app_.settings_.paths.projectSaveDir,
                                              startup_texts::kDefaultProject, FolderKind::Project);
        workspace.setDefaultFolder(project);
        Folder& animation =
            workspace.createFolder(app_.firstDirectory(app_.settings_.paths.anims),
                                   startup_texts::kAnimationFolder, FolderKind::Animation);
        workspace.setAnimationFolder(&animation);
        // New fractals go to the current folder: start in a project, not in the animation.
        if (workspace.currentFolder() == nullptr || workspace.currentFolder()->isAnimation())
            workspace.selectFolder(*project, true);
    }

    // The windows whose open flag is set; a parameter window is reported once, as the
    // first row of its group, and the frontend opens the one of the current type.
    std::vector<std::size_t> toolWindowsToOpen() const {
        std::vector<std::size_t> rows;
        for (std::size_t row = 0; row < ToolWindowRegistry::size(); ++row)
            if (!ToolWindowRegistry::row(row).isChild() &&
                toolWindowState(app_.settings_, row).open)
                rows.push_back(row);
        return rows;
    }

    Application& app_;
    const StartupOptions& options_;
};

StartupResult Application::start(const StartupOptions& options) {
    return StartupSequence(*this, options).run();
}

} // namespace vortimax
