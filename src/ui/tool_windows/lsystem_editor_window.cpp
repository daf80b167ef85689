#include "ui/tool_windows/lsystem_editor_window.h"

#include "app/library_access.h"
#include "formula/library_writer.h"
#include "ui/qt_text.h"

#include <QPlainTextEdit>
#include <algorithm>

namespace vortimax::ui {

namespace {

constexpr int kLSystemEditorWindowId = 960;
constexpr std::string_view kLSystemEditorTitle = "L-system editor";
constexpr std::string_view kBasicName = "Basic";

} // namespace

std::unique_ptr<LSystemEntry> newBasicLSystem() {
    auto entry = std::make_unique<LSystemEntry>();
    entry->name = kBasicName;
    return entry;
}

// The entry's file text without its first line ("NAME  {") and its closing brace.
std::string lsystemBodyText(const LSystemEntry& entry) {
    const std::string text = entryText(entry);
    const std::size_t begin = text.find('\n') + 1;
    return text.substr(begin, text.rfind('}') - begin);
}

LSystemEditorWindow::LSystemEditorWindow(UiContext& context, QWidget* parent)
    : LibraryEditorWindow(
          context, kLSystemEditorWindowId, kLSystemEditorTitle,
          std::make_unique<EntryLibraryAccess<LSystemEntry>>(context.app, newBasicLSystem), parent),
      body_(new QPlainTextEdit(this)) {
    body_->setObjectName(QStringLiteral("Body"));
    body_->setLineWrapMode(QPlainTextEdit::NoWrap);
    setPane(body_, true);
}

EntryLibraryAccess<LSystemEntry>& LSystemEditorWindow::lsystems() {
    return static_cast<EntryLibraryAccess<LSystemEntry>&>(access());
}

void LSystemEditorWindow::showEntry(const std::string& name) {
    const LSystemEntry* entry = lsystems().find(name);
    const QString text = entry != nullptr ? toQString(lsystemBodyText(*entry)) : QString();
    body_->setEnabled(entry != nullptr);
    if (body_->toPlainText() != text)
        body_->setPlainText(text);
    body_->document()->setModified(false);
}

bool LSystemEditorWindow::paneModified() const {
    return body_->document()->isModified();
}

bool LSystemEditorWindow::applyPane() {
    LSystemEntry* entry = lsystems().find(currentName());
    std::string text = toStdString(body_->toPlainText());
    std::erase(text, '\r');
    if (entry == nullptr || !storable(text))
        return false;
    LSystemEntry read;
    parseLSystemBody(text, read);
    changeLibraryEntry(context_.app, LibraryKind::LSystem, entry->name,
                       AfterEntryChange::Recalculate, [&] {
                           entry->axiom = std::move(read.axiom);
                           entry->angle = read.angle;
                           entry->rules = std::move(read.rules);
                       });
    showEntry(entry->name);
    return true;
}

} // namespace vortimax::ui
