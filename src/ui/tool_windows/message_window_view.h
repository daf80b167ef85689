#pragma once

#include "ui/tool_window.h"

class QPlainTextEdit;

namespace vortimax::ui {

// "Output": every line of the message window, newest at the end.
class MessageWindowView final : public ToolWindow {
public:
    MessageWindowView(UiContext& context, QWidget* parent);
    void refresh() override;

private:
    QPlainTextEdit* text_;
    std::uint64_t shownChanges_ = ~std::uint64_t{0};
};

} // namespace vortimax::ui
