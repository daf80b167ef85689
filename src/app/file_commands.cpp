#include "app/command_actions.h"
#include "app/generic_load.h"
#include "imagefile/image_commands.h"
#include "model/fractal_view.h"
#include "palette/palette_application.h"
#include "palette/palette_commands.h"
#include "parfile/save_commands.h"

namespace vortimax::actions {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kLoadFolderTitle = "Loading fractal data structures";
constexpr std::string_view kNewProjectName = "Change me";
constexpr std::string_view kNewAnimationName = "Animation";
constexpr std::string_view kNoFolderName = "Unnamed";

Folder& currentFolder(Application& app) {
    return *app.workspace().currentFolder();
}

FractalRecord& current(Application& app) {
    return *app.currentFractal();
}

const fs::path& projectDirectory(Application& app) {
    return app.settings().paths.projectSaveDir;
}

// Shows the fractal's palette as it now is: the calculation pauses while the colour table
// changes, then the image is coloured again (or, unfinished, calculated on).
void showPaletteChange(Application& app, FractalRecord* record) {
    if (record == nullptr || record->view == nullptr)
        return;
    FractalView& view = *record->view;
    pauseView(view);
    applyPaletteToView(view, app.palettes());
    redrawView(view);
}

Palette& workingPalette(Application& app) {
    return app.workingPalette();
}

} // namespace

CommandOutcome loadFolder(Application& app, const CommandInvocation&) {
    auto path =
        app.frontend().requestOpenFile(kLoadFolderTitle, projectDirectory(app), {"*.par", "*.zar"});
    if (path)
        loadParameterFiles(app, {*path});
    return CommandOutcome::Done;
}

CommandOutcome newProjectFolder(Application& app, const CommandInvocation&) {
    Folder& folder =
        app.workspace().createFolder(projectDirectory(app), kNewProjectName, FolderKind::Project);
    app.workspace().selectFolder(folder);
    return CommandOutcome::Done;
}

CommandOutcome newAnimationFolder(Application& app, const CommandInvocation&) {
    Folder& folder = app.workspace().createFolder(app.firstDirectory(app.settings().paths.anims),
                                                  kNewAnimationName, FolderKind::Animation);
    app.workspace().selectFolder(folder);
    return CommandOutcome::Done;
}

CommandOutcome saveFolder(Application& app, const CommandInvocation&) {
    vortimax::saveFolder(currentFolder(app), app.frontend(), app.settings().paths.projectSaveDir,
                         &app.palettes());
    return CommandOutcome::Done;
}

CommandOutcome deleteFolder(Application& app, const CommandInvocation&) {
    app.workspace().deleteFolder(currentFolder(app), true);
    return CommandOutcome::Done;
}

// A fractal of the type with its defaults joins the current folder (a new folder
// "Unnamed" when there is none), becomes current and is calculated in its window.
CommandOutcome newFractal(Application& app, const CommandInvocation& command) {
    if (!app.views().drivers[*command.fractalType])
        return CommandOutcome::NotAvailable; // its calculation is not part of the program yet
    Workspace& workspace = app.workspace();
    Folder* folder = workspace.currentFolder();
    if (folder == nullptr) {
        folder = &workspace.createFolder(projectDirectory(app), kNoFolderName, FolderKind::Project);
        workspace.selectFolder(*folder);
    }
    FractalRecord& added = workspace.addFractal(
        *folder, createRecord(*command.fractalType, 0, app.creationContext()), true);
    openView(added, false, app.views());
    return CommandOutcome::Done;
}

CommandOutcome deleteFractal(Application& app, const CommandInvocation&) {
    app.workspace().deleteFractal(current(app), true);
    return CommandOutcome::Done;
}

CommandOutcome saveFractal(Application& app, const CommandInvocation&) {
    vortimax::saveFractal(current(app), app.frontend(), app.settings().paths.projectSaveDir,
                          &app.palettes());
    return CommandOutcome::Done;
}

CommandOutcome duplicateFractal(Application& app, const CommandInvocation&) {
    FractalRecord& source = current(app);
    app.workspace().addFractal(*source.folder, cloneRecord(source, app.creationContext()), true);
    return CommandOutcome::Done;
}

CommandOutcome loadPalette(Application& app, const CommandInvocation&) {
    FractalRecord* record = app.currentFractal();
    PaletteLoadResult result =
        loadPalettes(app.palettes(), app.frontend(), app.settings().paths.paletteSaveDir, record);
    if (result.applied != nullptr)
        showPaletteChange(app, record);
    return CommandOutcome::Done;
}

CommandOutcome savePalette(Application& app, const CommandInvocation&) {
    vortimax::savePalette(workingPalette(app), app.frontend(), app.settings().paths.paletteSaveDir);
    return CommandOutcome::Done;
}

CommandOutcome saveAllPalettes(Application& app, const CommandInvocation&) {
    vortimax::saveAllPalettes(app.palettes(), app.frontend(), app.settings().paths.paletteSaveDir);
    return CommandOutcome::Done;
}

CommandOutcome deletePalette(Application& app, const CommandInvocation&) {
    FractalRecord* record = app.currentFractal();
    PaletteDeleteResult result =
        vortimax::deletePalette(app.palettes(), workingPalette(app), app.frontend(),
                                app.settings().confirm(Confirmation::DelPal), record);
    if (result == PaletteDeleteResult::Deleted)
        showPaletteChange(app, record);
    return CommandOutcome::Done;
}

CommandOutcome duplicatePalette(Application& app, const CommandInvocation&) {
    FractalRecord* record = app.currentFractal();
    vortimax::duplicatePalette(app.palettes(), workingPalette(app), record);
    showPaletteChange(app, record);
    return CommandOutcome::Done;
}

// The image is written as it stands; a calculation still running waits meanwhile.
CommandOutcome saveImage(Application& app, const CommandInvocation&) {
    FractalRecord& record = current(app);
    FractalView& view = *record.view;
    const bool running = !view.finished();
    if (running)
        pauseView(view);
    vortimax::saveImage(record, view.buffers(), view.colours, app.frontend(),
                        app.settings().paths.projectSaveDir, app.imageDirectory(), &app.palettes());
    if (running)
        resumeView(view);
    return CommandOutcome::Done;
}

// The picture becomes a fractal of its own, shown in its window as it was loaded.
CommandOutcome loadImage(Application& app, const CommandInvocation&) {
    loadImageFile(app, std::nullopt);
    return CommandOutcome::Done;
}

} // namespace vortimax::actions
