#pragma once

#include <string_view>

class QWidget;

namespace vortimax::ui {

// One page of the program's help, found by its context number.
struct HelpPage {
    int context;
    std::string_view title;
    std::string_view html;
};

// The page of a context; a context without a page of its own shows the menu page (800).
const HelpPage& helpPage(int context);

// The help window: one window for the whole program, showing the page of a context.
class HelpWindow {
public:
    static void show(QWidget* parent, int context);
};

} // namespace vortimax::ui
