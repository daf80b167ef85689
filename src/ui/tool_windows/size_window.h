#pragma once

#include "ui/tool_window.h"

#include <span>
#include <vector>

class QPushButton;

namespace vortimax::ui {

// "Sizewindow": the usual image sizes, one button each. A choice gives the current
// fractal that size when its window is open; otherwise it becomes the size of new
// fractals. The button of the size shown is marked.
class SizeWindow final : public ToolWindow {
public:
    struct Size {
        int width;
        int height;
    };
    static std::span<const Size> sizes();

    SizeWindow(UiContext& context, QWidget* parent);
    void refresh() override;

private:
    void choose(const Size& size);

    std::vector<QPushButton*> buttons_;
};

} // namespace vortimax::ui
