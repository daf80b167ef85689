#include "app/menu_state.h"

#include "app/command_handlers.h"
#include "app/command_table.h"
#include "model/command_availability.h"
#include "model/fractal_view.h"
#include "model/view_undo.h"

#include <algorithm>

namespace vortimax {

namespace {

constexpr int kUndo = 29026;
constexpr int kRedo = 29027;
constexpr int kStartMaster = 29145;
constexpr int kStopMaster = 29148;
constexpr int kDisconnect = 29147;
constexpr int kConnect = 29146;
constexpr int kFirstFilter = 29150;
constexpr int kLastFilter = 29156;
constexpr int kDisconnectFilteredCopy = 29175;
constexpr int kFirstToolbarCommand = 29163;
constexpr int kLastToolbarCommand = 29174;

using Check = bool (*)(const Application& app, const CommandRow& row);

const FractalRecord* current(const Application& app) {
    return app.currentFractal();
}

bool confirmationOn(const Application& app, const CommandRow& row) {
    return app.settings().confirmations.at(static_cast<std::size_t>(row.value));
}
bool autoSaveOn(const Application& app, const CommandRow&) {
    return app.settings().autoSave;
}
bool depthChosen(const Application& app, const CommandRow& row) {
    const FractalRecord* record = current(app);
    return (record != nullptr ? record->displayDepth : app.settings().displayDepth) == row.value;
}
bool threeDOn(const Application& app, const CommandRow&) {
    return current(app) != nullptr && current(app)->dims != 0;
}
bool scrollbarsOn(const Application& app, const CommandRow&) {
    return current(app) != nullptr && current(app)->scrollbar != 0;
}
bool networkModeOn(const Application& app, const CommandRow&) {
    return current(app) != nullptr && current(app)->networkMode != 0;
}
bool filterChosen(const Application& app, const CommandRow& row) {
    return current(app) != nullptr && current(app)->imageFilter == row.value;
}
bool toolbarModeChosen(const Application& app, const CommandRow& row) {
    constexpr ToolbarMode kModes[] = {ToolbarMode::Docked, ToolbarMode::Window,
                                      ToolbarMode::Closed};
    const int offset = row.id - kFirstToolbarCommand;
    return app.toolbar(static_cast<std::size_t>(offset / 3)) == kModes[offset % 3];
}

struct CheckRow {
    int first;
    int last;
    Check check;
};

// The items that carry a check mark, by id range.
constexpr CheckRow kChecks[] = {
    {29030, 29030, scrollbarsOn},   {29038, 29038, autoSaveOn},
    {29094, 29099, confirmationOn}, {29122, 29122, networkModeOn},
    {29128, 29128, confirmationOn}, {29140, 29140, threeDOn},
    {29150, 29156, filterChosen},   {kFirstToolbarCommand, kLastToolbarCommand, toolbarModeChosen},
    {29181, 29182, depthChosen},
};

// Items opening dialogs that need something to work on.
struct WidgetNeeds {
    int id;
    CommandNeeds needs;
};
constexpr WidgetNeeds kWidgetNeeds[] = {
    {29009, CommandNeeds::OpenView}, // Print
    {29131, CommandNeeds::Folder},   // Rename folder
    {29133, CommandNeeds::Fractal},  // Rename fractal
    {29146, CommandNeeds::Network},  // Connect to master
    {29118, CommandNeeds::Network},  // Server info
};

// A program is master, slave or neither: as master only Stop Master is offered, as slave
// only Disconnect, otherwise Start Master and Connect.
bool networkStateAllows(const Application& app, int id) {
    const NetworkControl* network = app.network();
    if (network == nullptr)
        return true; // needsMet already refused
    const bool master = network->isMaster();
    const bool slave = network->isConnectedToMaster();
    switch (id) {
    case kStartMaster:
    case kConnect:
        return !master && !slave;
    case kStopMaster:
        return master;
    case kDisconnect:
        return slave;
    default:
        return true;
    }
}

// Filters work on true-colour images; "Disconnect" needs a link to cut.
bool imageStateAllows(const Application& app, int id) {
    const FractalRecord* record = current(app);
    if (id >= kFirstFilter && id <= kLastFilter)
        return record != nullptr && record->displayDepth == 24;
    if (id == kDisconnectFilteredCopy)
        return record != nullptr && record->view != nullptr &&
               (record->view->filteredCopy != nullptr || record->view->filterSource != nullptr);
    return true;
}

bool isEnabled(const Application& app, const CommandRow& row) {
    if (row.handler == CommandHandler::None)
        return true;
    if (!isCommandAvailable(row.id, current(app)))
        return false;
    if (row.fractalType && !app.views().drivers[*row.fractalType])
        return false; // a type that cannot be calculated yet
    if (const CommandHandlerRow* handler = findMenuHandler(row.id))
        return needsMet(app, handler->needs) && networkStateAllows(app, row.id) &&
               imageStateAllows(app, row.id);
    const auto* widget = std::find_if(std::begin(kWidgetNeeds), std::end(kWidgetNeeds),
                                      [&](const WidgetNeeds& needs) { return needs.id == row.id; });
    return (widget == std::end(kWidgetNeeds) || needsMet(app, widget->needs)) &&
           networkStateAllows(app, row.id);
}

} // namespace

MenuItemState menuItemState(const Application& app, int commandId) {
    MenuItemState state;
    const CommandRow* row = findCommand(commandId);
    if (row == nullptr)
        return MenuItemState{false, false, {}};
    state.enabled = isEnabled(app, *row);
    for (const CheckRow& check : kChecks)
        if (commandId >= check.first && commandId <= check.last)
            state.checked = check.check(app, *row);
    if (commandId == kUndo || commandId == kRedo) {
        UndoMenuState undo = undoMenuState(current(app));
        state.text = commandId == kUndo ? undo.undoText : undo.redoText;
        state.enabled = state.enabled && (commandId == kUndo ? undo.canUndo : undo.canRedo);
    }
    return state;
}

bool hasCheckMark(int commandId) {
    return std::any_of(std::begin(kChecks), std::end(kChecks), [&](const CheckRow& check) {
        return commandId >= check.first && commandId <= check.last;
    });
}

} // namespace vortimax
