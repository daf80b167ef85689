#include "app/application.h"

#include "app/config_file.h"
#include "app/formula_libraries.h"
#include "app/tool_window_registry.h"
#include "base/abortable_load.h"
#include "model/calculation_pool.h"
#include "model/fractal_view.h"
#include "palette/palette_application.h"
#include "render/colour/colouring_hooks.h"
#include "render/drivers.h"
#include "render/image_stages.h"

namespace vortimax {

namespace {
constexpr int kFirstToolbarWindow = 200;
} // namespace

Application::Application(Frontend& frontend, TimerHost* timerHost)
    : appFrontend_(frontend, messages_, status_),
      timers_(std::make_unique<TimerManager>(timerHost)),
      palettes_(std::make_unique<PaletteList>()), environment_(std::make_unique<ViewEnvironment>()),
      workspace_(std::make_unique<Workspace>(appFrontend_)),
      formulaLibraries_(std::make_unique<FormulaLibraries>()) {
    wireSubsystems();
}

Application::~Application() {
    shutdown();
}

void Application::wireSubsystems() {
    ViewEnvironment& environment = *environment_;
    environment.frontend = &appFrontend_;
    environment.workerNice = kDesktopWorkerNice;
    CalculationPool::shared().setNice(kDesktopWorkerNice);
    installDrivers(environment.drivers);
    installColouring(environment.hooks);
    installImageStages(environment.hooks);
    installPaletteApplication(environment.hooks, *palettes_);
    formulaLibraries_->install(*this);
    compounds_.install(environment);
    workspace_->closeView = [this](FractalRecord& record) {
        forgetRecord(record);
        compounds_.forgetLayer(record, *environment_);
        vortimax::closeView(record, false, *environment_);
    };
    workspace_->detachFromAnimation = [this](FractalRecord& record) {
        if (animation_ != nullptr && animation_->owns(record))
            animation_->abort();
    };
    workspace_->addListener([this](const WorkspaceNotice& notice) {
        // A renamed fractal's window title is written anew by the next progress refresh.
        if (notice.event == WorkspaceEvent::FractalRenamed && notice.fractal != nullptr &&
            notice.fractal->view != nullptr)
            notice.fractal->view->shownProgress = -4321.0;
        if ((notice.event == WorkspaceEvent::FolderContentsChanged ||
             notice.event == WorkspaceEvent::FractalRenamed) &&
            notice.folder != nullptr)
            compounds_.folderChanged(*notice.folder, *environment_);
        if (notice.event == WorkspaceEvent::CurrentFractalChanged ||
            notice.event == WorkspaceEvent::CurrentFolderChanged)
            notify(ApplicationChange::Menus);
    });
}

void Application::forgetRecord(const FractalRecord& record) {
    if (queuedOpen_ == &record)
        queuedOpen_ = nullptr;
    std::erase_if(pendingResizes_,
                  [&](const PendingResize& resize) { return resize.record == &record; });
    if (timedFractal_ == &record) {
        timedFractal_ = nullptr;
        calculationStart_.reset();
    }
}

FractalRecord* Application::currentFractal() const {
    Folder* folder = workspace_->currentFolder();
    return folder != nullptr ? folder->currentFractal() : nullptr;
}

void Application::selectFractal(FractalRecord& record) {
    workspace_->selectFractal(record);
}

RecordCreationContext Application::creationContext() const {
    RecordCreationContext context;
    context.displayDepth = settings_.displayDepth;
    context.screenDepth = environment_->screenDepth;
    context.defaultComment = settings_.defaultComment.value_or(std::string());
    return context;
}

std::filesystem::path Application::firstDirectory(const std::string& pathList) const {
    auto directories = splitPathList(pathList);
    return directories.empty() ? programDirectory_ : directories.front();
}

void Application::applyConfirmations() {
    workspace_->confirmations.deleteFolder = settings_.confirm(Confirmation::DelProj);
    workspace_->confirmations.deleteFractal = settings_.confirm(Confirmation::DelPic);
    environment_->confirmDeleteCalculated = settings_.confirm(Confirmation::DelTask);
}

bool Application::saveConfiguration() {
    const auto path = programDirectory_ / kConfigFileName;
    if (writeConfiguration(path, settings_))
        return true;
    appFrontend_.messageBox("Save Config",
                            "The configuration could not be written to\n" + path.string(),
                            MessageButtons::Ok, MessageIcon::Error);
    return false;
}

bool Application::runLoad(std::string_view title, const std::function<bool(Progress&)>& work) {
    const bool wasQuiet = std::exchange(quiet_, true);
    bool aborted = false;
    try {
        aborted = runAbortableLoad(appFrontend_, title, work);
    } catch (...) {
        quiet_ = wasQuiet;
        throw;
    }
    quiet_ = wasQuiet;
    notify(ApplicationChange::Menus);
    return aborted;
}

void Application::notify(ApplicationChange change) {
    if (changeListener_ && !quiet_)
        changeListener_(change);
}

void Application::clearStatus() {
    status_.clear();
    notify(ApplicationChange::Status);
}

void Application::setToolbar(std::size_t index, ToolbarMode mode) {
    toolbars_.at(index) = mode;
    notify(ApplicationChange::Toolbars);
    notify(ApplicationChange::Menus);
}

void Application::toolWindowClosed(int windowId) {
    if (windowId >= kFirstToolbarWindow && windowId < kFirstToolbarWindow + int(kToolbarCount)) {
        setToolbar(static_cast<std::size_t>(windowId - kFirstToolbarWindow), ToolbarMode::Closed);
        return;
    }
    if (auto row = ToolWindowRegistry::findByWindowId(windowId))
        toolWindowState(settings_, *row).open = false;
}

void Application::toolWindowOpened(int windowId) {
    if (auto row = ToolWindowRegistry::findByWindowId(windowId))
        toolWindowState(settings_, *row).open = true;
}

void Application::fractalWindowResized(FractalRecord& record, int clientWidth, int clientHeight) {
    std::erase_if(pendingResizes_,
                  [&](const PendingResize& resize) { return resize.record == &record; });
    pendingResizes_.push_back(PendingResize{&record, clientWidth, clientHeight});
}

} // namespace vortimax
