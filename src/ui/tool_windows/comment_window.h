#pragma once

#include "ui/tool_window.h"

class QPlainTextEdit;
class QPushButton;

namespace vortimax {
class FractalRecord;
}

namespace vortimax::ui {

// "Comment": the current fractal's comment, lines separated by "\n". The text is stored
// when the editor loses the focus or on "Apply"; a refresh never throws away what the
// person typed (it is stored into its fractal first when another fractal comes up).
class CommentWindow final : public ToolWindow {
public:
    CommentWindow(UiContext& context, QWidget* parent);
    void refresh() override;
    // Stores the text into the fractal shown; false when there is none any more.
    bool apply();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPlainTextEdit* text_;
    QPushButton* apply_;
    FractalRecord* record_ = nullptr;
};

} // namespace vortimax::ui
