#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vortimax {

// Menu commands are numbered in this range; ids outside it are never menu commands.
inline constexpr int kFirstMenuCommand = 29000;
inline constexpr int kLastMenuCommand = 31999;

// Who carries out a command.
enum class CommandHandler {
    Model,  // works on the program's data through the core (may use the Frontend)
    Widget, // needs a window or a dialog of its own: the desktop frontend handles it
    None,   // the menu item exists but does nothing
};

// One menu command. `help` is the status-line text shown while the item is highlighted
// (empty when the item has none).
struct CommandRow {
    int id = 0;
    std::string menuPath; // menu, submenus and item label, separated by '|'
    std::string help;
    CommandHandler handler = CommandHandler::None;
    // The type a "new fractal" command creates.
    std::optional<std::uint32_t> fractalType;
    // The number the handler applies: the image filter of the Image items, the display
    // depth of the palette modes, the index (Confirmation order) of a confirmation
    // toggle. 0 elsewhere.
    int value = 0;
    // Position in the menus: rows are shown in this order within their menu.
    int order = 0;
};

// One toolbar button and its status-line text.
struct ToolbarButtonRow {
    int id;
    std::string_view help;
};

// All menu commands, sorted by id.
std::span<const CommandRow> commandTable();
// The row of a menu command, or null (also for every id outside 29000 ... 31999).
const CommandRow* findCommand(int id);
// Status-line text of a menu command; empty when it has none or the id is unknown.
std::string_view helpText(int id);

std::span<const ToolbarButtonRow> toolbarButtons();
const ToolbarButtonRow* findToolbarButton(int id);

} // namespace vortimax
