#pragma once

#include "formula/lsystem_entry.h"
#include "ui/tool_windows/library_editor_window.h"

#include <memory>
#include <string>

class QPlainTextEdit;

namespace vortimax {
template <class Entry> class EntryLibraryAccess;
} // namespace vortimax

namespace vortimax::ui {

// An L-system "Basic": no axiom, no rules, angle 8.
std::unique_ptr<LSystemEntry> newBasicLSystem();

// The body of an entry as a library file holds it: "Angle A", "Axiom TEXT", one " X=TEXT"
// line per rule.
std::string lsystemBodyText(const LSystemEntry& entry);

// "FormulaLSyst": the L-system library and the body of the L-system shown, edited as it
// stands in a library file. Apply reads the keywords and rules of the text (lines that are
// none are dropped) and calculates the fractals drawing the L-system anew.
class LSystemEditorWindow final : public LibraryEditorWindow {
public:
    LSystemEditorWindow(UiContext& context, QWidget* parent);

    QPlainTextEdit& body() { return *body_; }

protected:
    void showEntry(const std::string& name) override;
    bool paneModified() const override;
    bool applyPane() override;

private:
    EntryLibraryAccess<LSystemEntry>& lsystems();

    QPlainTextEdit* body_;
};

} // namespace vortimax::ui
