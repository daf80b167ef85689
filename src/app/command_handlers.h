#pragma once

#include "app/application.h"

#include <cstdint>
#include <optional>
#include <span>

namespace vortimax {

// One use of a command: which one, the number its menu row carries and the keys held.
struct CommandInvocation {
    int id = 0;
    int value = 0;                            // filter, display depth, confirmation index
    std::optional<std::uint32_t> fractalType; // "new fractal" commands
    CommandModifiers modifiers;
};

using CommandAction = CommandOutcome (*)(Application& app, const CommandInvocation& command);

// What a command needs before it can be used; without it the item is greyed.
enum class CommandNeeds {
    Nothing,
    Folder,   // a current folder
    Fractal,  // a current fractal
    OpenView, // a current fractal with an open window
    Network,  // the network subsystem
};

struct CommandHandlerRow {
    int id;
    CommandAction action;
    CommandNeeds needs;
};

// The handlers of the menu commands the program carries out itself, sorted by id. The
// "new fractal" commands share one handler, found through their fractal type.
std::span<const CommandHandlerRow> menuCommandHandlers();
// The handlers of the toolbar buttons the program carries out itself.
std::span<const CommandHandlerRow> toolbarHandlers();

const CommandHandlerRow* findMenuHandler(int id);
const CommandHandlerRow* findToolbarHandler(int id);

// Whether what the command needs is there.
bool needsMet(const Application& app, CommandNeeds needs);

} // namespace vortimax
