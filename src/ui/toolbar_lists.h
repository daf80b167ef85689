#pragma once

#include <QStyle>
#include <cstddef>
#include <span>
#include <string_view>

class QToolBar;
class QWidget;

namespace vortimax {
class Application;
}

namespace vortimax::ui {

struct UiContext;

// A toolbar button: which toolbar (0 ... 3) shows it, its short label and its icon.
struct ToolbarButton {
    int id;
    std::size_t toolbar;
    std::string_view label;
    QStyle::StandardPixmap icon;
};

// The buttons of the four toolbars, in the order they are shown.
std::span<const ToolbarButton> toolbarLayout();

// The folder, fractal and palette lists (buttons 205, 204 and 217) are drop-down lists on
// the toolbar: choosing an entry makes that folder or fractal current, or applies that
// palette to the current fractal. Null for the other buttons.
QWidget* createToolbarList(UiContext& context, int buttonId, QWidget* parent);
// Fills the lists of a toolbar anew from the application's state.
void refreshToolbarLists(QToolBar& toolbar);

// Whether a toolbar button can be used now.
bool toolbarButtonEnabled(const Application& app, int buttonId);

} // namespace vortimax::ui
