#include "app/command_handlers.h"

#include "app/command_actions.h"
#include "app/command_table.h"
#include "model/command_availability.h"
#include "model/fractal_view.h"

#include <algorithm>

namespace vortimax {

namespace {

using namespace actions;
using N = CommandNeeds;

// Every menu command the program carries out itself, with what it needs.
constexpr CommandHandlerRow kMenuHandlers[] = {
    {29002, loadFolder, N::Nothing},
    {29005, loadPalette, N::Nothing},
    {29006, savePalette, N::Nothing},
    {29008, saveImage, N::OpenView},
    {29024, defaultValues, N::Fractal},
    {29026, undo, N::OpenView},
    {29027, redo, N::OpenView},
    {29028, proportional, N::Fractal},
    {29030, toggleScrollbars, N::Fractal},
    {29032, saveConfig, N::Nothing},
    {29034, select, N::OpenView},
    {29035, deselect, N::OpenView},
    {29036, boxZoom, N::OpenView},
    {29037, boxZoom, N::OpenView},
    {29038, toggleAutoSave, N::Nothing},
    {29041, selectAll, N::OpenView},
    {29094, toggleConfirmation, N::Nothing},
    {29095, toggleConfirmation, N::Nothing},
    {29096, toggleConfirmation, N::Nothing},
    {29097, toggleConfirmation, N::Nothing},
    {29098, toggleConfirmation, N::Nothing},
    {29099, toggleConfirmation, N::Nothing},
    {29100, allConfirmations, N::Nothing},
    {29101, noConfirmations, N::Nothing},
    {29103, newProjectFolder, N::Nothing},
    {29106, saveFractal, N::Fractal},
    {29107, saveFolder, N::Folder},
    {29109, deleteFolder, N::Folder},
    {29110, deleteFractal, N::Fractal},
    {29120, restartNetwork, N::Network},
    {29122, toggleNetworkMode, N::Fractal},
    {29128, toggleConfirmation, N::Nothing},
    {29134, duplicateFractal, N::Fractal},
    {29135, deletePalette, N::Nothing},
    {29137, duplicatePalette, N::Nothing},
    {29138, saveAllPalettes, N::Nothing},
    {29140, toggle3D, N::Fractal},
    {29143, convertType, N::Fractal},
    {29144, convertType, N::Fractal},
    {29145, startMaster, N::Network},
    {29147, disconnectFromMaster, N::Network},
    {29148, stopMaster, N::Network},
    {29150, imageFilter, N::Fractal},
    {29151, imageFilter, N::Fractal},
    {29152, imageFilter, N::Fractal},
    {29153, imageFilter, N::Fractal},
    {29154, imageFilter, N::Fractal},
    {29155, imageFilter, N::Fractal},
    {29156, imageFilter, N::Fractal},
    {29163, toolbarMode, N::Nothing},
    {29164, toolbarMode, N::Nothing},
    {29165, toolbarMode, N::Nothing},
    {29166, toolbarMode, N::Nothing},
    {29167, toolbarMode, N::Nothing},
    {29168, toolbarMode, N::Nothing},
    {29169, toolbarMode, N::Nothing},
    {29170, toolbarMode, N::Nothing},
    {29171, toolbarMode, N::Nothing},
    {29172, toolbarMode, N::Nothing},
    {29173, toolbarMode, N::Nothing},
    {29174, toolbarMode, N::Nothing},
    {29175, disconnectFilteredCopy, N::OpenView},
    {29176, loadImage, N::Nothing},
    {29181, paletteMode, N::Nothing},
    {29182, paletteMode, N::Nothing},
    {29184, recalculate, N::OpenView},
    {29185, redraw, N::OpenView},
    {29191, newAnimationFolder, N::Nothing},
};

// The handler of every "new fractal" command.
constexpr CommandHandlerRow kNewFractalHandler{0, newFractal, N::Nothing};

// Toolbar buttons the program carries out itself; the others open windows.
constexpr CommandHandlerRow kToolbarHandlers[] = {
    {206, calculate, N::Fractal},    {207, deleteFractal, N::Fractal},
    {210, undo, N::OpenView},        {211, redo, N::OpenView},
    {214, saveFractal, N::Fractal},  {218, saveFolder, N::Folder},
    {740, cloneFractal, N::Fractal}, {741, pause, N::OpenView},
    {742, resume, N::OpenView},      {743, defaultValues, N::Fractal},
};

const CommandHandlerRow* findIn(std::span<const CommandHandlerRow> rows, int id) {
    auto it = std::find_if(rows.begin(), rows.end(),
                           [id](const CommandHandlerRow& row) { return row.id == id; });
    return it != rows.end() ? &*it : nullptr;
}

CommandOutcome run(Application& app, const CommandHandlerRow& handler,
                   const CommandInvocation& command) {
    if (!needsMet(app, handler.needs) || !isCommandAvailable(command.id, app.currentFractal()))
        return CommandOutcome::NotAvailable;
    CommandOutcome outcome = handler.action(app, command);
    app.notify(ApplicationChange::Menus);
    return outcome;
}

} // namespace

std::span<const CommandHandlerRow> menuCommandHandlers() {
    return kMenuHandlers;
}

std::span<const CommandHandlerRow> toolbarHandlers() {
    return kToolbarHandlers;
}

const CommandHandlerRow* findMenuHandler(int id) {
    if (const CommandRow* row = findCommand(id); row != nullptr && row->fractalType)
        return &kNewFractalHandler;
    return findIn(kMenuHandlers, id);
}

const CommandHandlerRow* findToolbarHandler(int id) {
    return findIn(kToolbarHandlers, id);
}

bool needsMet(const Application& app, CommandNeeds needs) {
    const FractalRecord* current = app.currentFractal();
    switch (needs) {
    case CommandNeeds::Nothing:
        return true;
    case CommandNeeds::Folder:
        return app.workspace().currentFolder() != nullptr;
    case CommandNeeds::Fractal:
        return current != nullptr;
    case CommandNeeds::OpenView:
        return current != nullptr && current->view != nullptr;
    case CommandNeeds::Network:
        return app.network() != nullptr;
    }
    return false;
}

CommandOutcome Application::executeCommand(int id, CommandModifiers modifiers) {
    const CommandRow* row = findCommand(id);
    if (row == nullptr)
        return CommandOutcome::Unknown;
    if (row->handler == CommandHandler::None)
        return CommandOutcome::NoAction;
    const CommandHandlerRow* handler = findMenuHandler(id);
    if (handler == nullptr)
        return CommandOutcome::ForFrontend;
    return run(*this, *handler, {id, row->value, row->fractalType, modifiers});
}

CommandOutcome Application::executeToolbarButton(int id) {
    if (findToolbarButton(id) == nullptr)
        return CommandOutcome::Unknown;
    const CommandHandlerRow* handler = findToolbarHandler(id);
    if (handler == nullptr)
        return CommandOutcome::ForFrontend;
    return run(*this, *handler, {id, 0, std::nullopt, {}});
}

} // namespace vortimax
