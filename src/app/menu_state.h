#pragma once

#include <string>

namespace vortimax {

class Application;

// How a menu item is shown: greyed or not, checked or not, and its text when the program
// sets it (the Undo and Redo items carry the label of their step); empty text keeps the
// item's own label.
struct MenuItemState {
    bool enabled = true;
    bool checked = false;
    std::string text;
};

// The state of a menu command for the present program state. The frontend reads it
// whenever the application reports a change of the menus.
MenuItemState menuItemState(const Application& app, int commandId);

// Whether the item carries a check mark at all (a toggle or one of a group of choices).
bool hasCheckMark(int commandId);

} // namespace vortimax
