#pragma once

#include "ui/tool_window.h"

class QListWidget;

namespace vortimax::ui {

// "FractSel": every fractal type that can be created. Activating one runs its "New"
// command: a fractal of that type with its defaults joins the current folder and is
// calculated.
class FractalTypeListView final : public ToolWindow {
public:
    FractalTypeListView(UiContext& context, QWidget* parent);
    // The list of types never changes.
    void refresh() override;

    QListWidget& list() { return *list_; }

private:
    QListWidget* list_;
};

} // namespace vortimax::ui
