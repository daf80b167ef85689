#pragma once

namespace vortimax::ui {

class MainWindow;

// A command the desktop program carries out itself because it needs a dialog or window.
struct WidgetCommand {
    int id;
    void (*run)(MainWindow& main);
};

// Menu commands (tool windows excepted: the registry says which window they open).
const WidgetCommand* findWidgetCommand(int id);
// Toolbar buttons.
const WidgetCommand* findWidgetToolbarButton(int id);

} // namespace vortimax::ui
