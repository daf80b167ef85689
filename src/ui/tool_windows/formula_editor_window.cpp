#include "ui/tool_windows/formula_editor_window.h"

#include "app/library_access.h"
#include "ui/qt_text.h"

#include <QPlainTextEdit>
#include <algorithm>

namespace vortimax::ui {

namespace {

constexpr int kFormulaEditorWindowId = 300;
constexpr std::string_view kFormulaEditorTitle = "Formula editor";

// The text as the person sees it: lines end in "\n".
std::string shownText(std::string text) {
    std::erase(text, '\r');
    return text;
}

} // namespace

std::unique_ptr<FormulaEntry> newBasicFormula() {
    auto entry = std::make_unique<FormulaEntry>();
    compileFormula(*entry, kBasicFormulaName, kBasicFormulaSource, {false, true}, nullptr);
    return entry;
}

FormulaEditorWindow::FormulaEditorWindow(UiContext& context, QWidget* parent)
    : LibraryEditorWindow(
          context, kFormulaEditorWindowId, kFormulaEditorTitle,
          std::make_unique<EntryLibraryAccess<FormulaEntry>>(context.app, newBasicFormula), parent),
      source_(new QPlainTextEdit(this)) {
    source_->setObjectName(QStringLiteral("Source"));
    source_->setLineWrapMode(QPlainTextEdit::NoWrap);
    setPane(source_, true);
}

EntryLibraryAccess<FormulaEntry>& FormulaEditorWindow::formulas() {
    return static_cast<EntryLibraryAccess<FormulaEntry>&>(access());
}

void FormulaEditorWindow::showEntry(const std::string& name) {
    const FormulaEntry* entry = formulas().find(name);
    const QString text = entry != nullptr ? toQString(shownText(entry->source)) : QString();
    source_->setEnabled(entry != nullptr);
    if (source_->toPlainText() != text)
        source_->setPlainText(text);
    source_->document()->setModified(false);
}

bool FormulaEditorWindow::paneModified() const {
    return source_->document()->isModified();
}

bool FormulaEditorWindow::applyPane() {
    const std::string name = currentName();
    const std::string text = shownText(toStdString(source_->toPlainText()));
    if (!storable(text))
        return false;
    FormulaEntry compiled;
    if (compileFormula(compiled, name, text, {true, false}, &frontend()) != 0 ||
        compileFormula(compiled, name, text, {false, true}, nullptr) != 0)
        return false;
    FormulaEntry* entry = formulas().find(name);
    if (entry == nullptr)
        return false;
    changeLibraryEntry(context_.app, LibraryKind::Formula, entry->name,
                       AfterEntryChange::Recalculate, [&] {
                           entry->source = std::move(compiled.source);
                           entry->code = std::move(compiled.code);
                       });
    source_->document()->setModified(false);
    return true;
}

} // namespace vortimax::ui
