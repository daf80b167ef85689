#pragma once

#include "app/parameter_edit.h"
#include "ui/tool_window.h"
#include "ui/tool_windows/parameter_pages.h"

#include <string>
#include <string_view>
#include <vector>

class QLabel;

namespace vortimax {
class FractalRecord;
}

namespace vortimax::ui {

class ParameterForm;

// A tool window made of parameter fields: one form, or one tab per page.
struct FormWindowDesign {
    struct Page {
        std::string_view title;
        RowFilter filter;
    };

    int windowId;
    std::string_view title; // followed by " - " and the fractal's name
    ParameterBlock block;
    std::vector<Page> pages;
    // Whether the window has anything to show for the fractal (null: always).
    bool (*available)(const FractalRecord& record) = nullptr;
    // Shown instead of the fields when the fractal has nothing for the window.
    std::string_view unavailableText;
    // A line above the fields (null: none).
    std::string (*note)(const FractalRecord& record) = nullptr;
};

// Shows the current fractal's values; empty and greyed when there is no current fractal.
class FormWindow final : public ToolWindow {
public:
    FormWindow(UiContext& context, FormWindowDesign design, QWidget* parent);
    void refresh() override;

private:
    FormWindowDesign design_;
    QLabel* note_;
    QLabel* unavailable_;
    std::vector<ParameterForm*> forms_;
};

} // namespace vortimax::ui
