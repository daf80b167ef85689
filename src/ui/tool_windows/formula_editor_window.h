#pragma once

#include "formula/formula_entry.h"
#include "ui/tool_windows/library_editor_window.h"

#include <memory>
#include <string_view>

class QPlainTextEdit;

namespace vortimax {
template <class Entry> class EntryLibraryAccess;
} // namespace vortimax

namespace vortimax::ui {

// The source of a new formula: z^2 + c, the Mandelbrot set.
inline constexpr std::string_view kBasicFormulaName = "Basic";
inline constexpr std::string_view kBasicFormulaSource = "z = Pixel:\nz = z^2 + Pixel\nabs(z) <= 4";

// A compiled formula "Basic" of the source above.
std::unique_ptr<FormulaEntry> newBasicFormula();

// "FormulaJM": the formula library and the source of the formula shown. Apply compiles the
// text, first only for its errors (shown in the "Parsing formula" box); only a text that
// compiles is stored, while the fractals calculating with the formula wait, and they are
// calculated anew with it.
class FormulaEditorWindow final : public LibraryEditorWindow {
public:
    FormulaEditorWindow(UiContext& context, QWidget* parent);

    QPlainTextEdit& source() { return *source_; }

protected:
    void showEntry(const std::string& name) override;
    bool paneModified() const override;
    bool applyPane() override;

private:
    EntryLibraryAccess<FormulaEntry>& formulas();

    QPlainTextEdit* source_;
};

} // namespace vortimax::ui
