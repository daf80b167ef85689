#include "app/command_actions.h"

namespace vortimax::actions {

namespace {

constexpr int kFirstToolbarCommand = 29163;
constexpr std::string_view kMasterTerminated = "Master terminated...";
constexpr std::string_view kDisconnected = "Disconnected...";

void setAllConfirmations(Application& app, bool on) {
    for (std::size_t i = 0; i < kConfirmationCount; ++i)
        app.settings().confirmations[i] = on;
    app.applyConfirmations();
}

} // namespace

CommandOutcome saveConfig(Application& app, const CommandInvocation&) {
    app.saveConfiguration();
    return CommandOutcome::Done;
}

CommandOutcome toggleAutoSave(Application& app, const CommandInvocation&) {
    app.settings().autoSave = !app.settings().autoSave;
    return CommandOutcome::Done;
}

CommandOutcome allConfirmations(Application& app, const CommandInvocation&) {
    setAllConfirmations(app, true);
    return CommandOutcome::Done;
}

CommandOutcome noConfirmations(Application& app, const CommandInvocation&) {
    setAllConfirmations(app, false);
    return CommandOutcome::Done;
}

// The menu row's value is the flag's index in the order of the settings.
CommandOutcome toggleConfirmation(Application& app, const CommandInvocation& command) {
    bool& flag = app.settings().confirmations.at(static_cast<std::size_t>(command.value));
    flag = !flag;
    app.applyConfirmations();
    return CommandOutcome::Done;
}

// Three items per toolbar, in the order docked, as a window, closed.
CommandOutcome toolbarMode(Application& app, const CommandInvocation& command) {
    constexpr ToolbarMode kModes[] = {ToolbarMode::Docked, ToolbarMode::Window,
                                      ToolbarMode::Closed};
    const int offset = command.id - kFirstToolbarCommand;
    app.setToolbar(static_cast<std::size_t>(offset / 3), kModes[offset % 3]);
    return CommandOutcome::Done;
}

// Refused with a box, by the network, while it is master or slave already.
CommandOutcome startMaster(Application& app, const CommandInvocation&) {
    app.network()->startMaster();
    return CommandOutcome::Done;
}

CommandOutcome stopMaster(Application& app, const CommandInvocation&) {
    if (!app.network()->isMaster())
        return CommandOutcome::NotAvailable;
    app.network()->stopMaster();
    app.frontend().addMessage(kMasterTerminated);
    return CommandOutcome::Done;
}

CommandOutcome disconnectFromMaster(Application& app, const CommandInvocation&) {
    if (!app.network()->isConnectedToMaster())
        return CommandOutcome::NotAvailable;
    app.network()->disconnectFromMaster();
    app.frontend().addMessage(kDisconnected);
    return CommandOutcome::Done;
}

CommandOutcome restartNetwork(Application& app, const CommandInvocation&) {
    app.network()->restart();
    return CommandOutcome::Done;
}

} // namespace vortimax::actions
