#include "ui/tool_windows/library_editor_window.h"

#include "app/application.h"
#include "app/library_access.h"
#include "base/text_utils.h"
#include "formula/library_edit.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMetaObject>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QVBoxLayout>

namespace vortimax::ui {

namespace {

constexpr int kNameRole = Qt::UserRole;

constexpr std::string_view kClosingBraceText =
    "The text contains a closing brace \"}\". In a library file a \"}\" ends the entry,\n"
    "so the text could not be read back. Please remove it; nothing was changed.";
constexpr std::string_view kLibraryFullText = "The library is full: no entry was added.";
constexpr std::string_view kBadNameText =
    "\"%s\" cannot be the name of an entry: a library file could not read it back.\n"
    "Names must not be empty or COMMENT, and hold no blanks, control characters,\n"
    "\"(\", \"{\" or \"}\"; they must not start with \";\".";
constexpr std::string_view kPendingEditText =
    "The changes to \"%s\" have not been applied.\n\nShould I apply them now?";

std::string withName(std::string_view pattern, std::string_view name) {
    std::string text(pattern);
    text.replace(text.find("%s"), 2, name);
    return text;
}

struct EditorCommand {
    const char* label;
    void (*run)(LibraryEditorWindow& window);
};

constexpr EditorCommand kCommands[] = {
    {"New", [](LibraryEditorWindow& window) { window.newEntry(); }},
    {"Duplicate", [](LibraryEditorWindow& window) { window.duplicate(); }},
    {"Apply", [](LibraryEditorWindow& window) { window.apply(); }},
    {"Delete", [](LibraryEditorWindow& window) { window.deleteEntry(); }},
    {"Load", [](LibraryEditorWindow& window) { window.loadFromRequester(); }},
    {"Save", [](LibraryEditorWindow& window) { window.save(); }},
    {"Save all", [](LibraryEditorWindow& window) { window.saveAll(); }},
};

} // namespace

LibraryEditorWindow::LibraryEditorWindow(UiContext& context, int windowId, std::string_view title,
                                         std::unique_ptr<LibraryAccess> access, QWidget* parent)
    : ToolWindow(context, windowId, parent), title_(title), access_(std::move(access)),
      list_(new EditingView<QListWidget>(this)) {
    setWindowTitle(toQString(title));
    list_->setObjectName(QStringLiteral("Entries"));
    list_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    connect(list_, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem* item) { onCurrentItemChanged(item); });
    connect(list_, &QListWidget::itemChanged, this,
            [this](QListWidgetItem* item) { onItemChanged(item); });
}

LibraryEditorWindow::~LibraryEditorWindow() = default;

void LibraryEditorWindow::setPane(QWidget* pane, bool hasApply) {
    auto* splitter = new QSplitter(this);
    splitter->addWidget(list_);
    splitter->addWidget(pane);
    splitter->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addWidget(commandRow());
    apply_->setVisible(hasApply);
    resize(560, 320);
    refresh();
}

QWidget* LibraryEditorWindow::commandRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (const EditorCommand& command : kCommands) {
        auto* button = new QPushButton(tr(command.label), row);
        button->setObjectName(QString::fromLatin1(command.label));
        connect(button, &QPushButton::clicked, this, [this, run = command.run] { run(*this); });
        layout->addWidget(button);
        if (std::string_view(command.label) == "Apply")
            apply_ = button;
    }
    return row;
}

void LibraryEditorWindow::refresh() {
    if (!list_->isEditing()) {
        if (std::vector<std::string> names = access_->names(); names != shown_)
            fillList(names);
    }
    if (!access_->contains(current_)) {
        current_ = shown_.empty() ? std::string() : shown_.front();
        markCurrent();
        showEntry(current_);
    } else if (!paneModified() && !paneBusy()) {
        showEntry(current_);
    }
}

void LibraryEditorWindow::fillList(const std::vector<std::string>& names) {
    const QSignalBlocker blocker(list_);
    list_->clear();
    for (const std::string& name : names) {
        auto* item = new QListWidgetItem(toQString(name), list_);
        item->setData(kNameRole, toQString(name));
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    shown_ = names;
    markCurrent();
}

void LibraryEditorWindow::markCurrent() {
    const QSignalBlocker blocker(list_);
    for (int row = 0; row < list_->count(); ++row) {
        if (equalsIgnoreCase(shown_[static_cast<std::size_t>(row)], current_)) {
            list_->setCurrentRow(row);
            return;
        }
    }
    list_->setCurrentRow(-1);
}

void LibraryEditorWindow::onCurrentItemChanged(QListWidgetItem* item) {
    if (item != nullptr)
        select(toStdString(item->data(kNameRole).toString()));
}

// A name typed into the list is taken once the list has finished with the item.
void LibraryEditorWindow::onItemChanged(QListWidgetItem* item) {
    const std::string name = toStdString(item->data(kNameRole).toString());
    const std::string typed = toStdString(item->text().trimmed());
    if (typed == name)
        return;
    QMetaObject::invokeMethod(
        this, [this, name, typed] { rename(name, typed); }, Qt::QueuedConnection);
}

bool LibraryEditorWindow::select(const std::string& name) {
    if (name == current_)
        return true;
    if (!access_->contains(name))
        return false;
    if (!settlePendingEdit()) {
        markCurrent();
        return false;
    }
    current_ = name;
    markCurrent();
    showEntry(current_);
    return true;
}

bool LibraryEditorWindow::settlePendingEdit() {
    if (!paneModified() || !access_->contains(current_))
        return true;
    switch (frontend().messageBox(title_, withName(kPendingEditText, current_),
                                  MessageButtons::YesNoCancel, MessageIcon::Question)) {
    case MessageAnswer::Yes:
        return apply();
    case MessageAnswer::No:
        showEntry(current_);
        return true;
    default:
        return false;
    }
}

void LibraryEditorWindow::changed(const std::string& select) {
    current_ = select;
    showEntry(current_);
    refresh();
    context_.main.refreshAll();
}

bool LibraryEditorWindow::newEntry() {
    if (!settlePendingEdit())
        return false;
    const std::optional<std::string> name = access_->insertNew();
    if (!name) {
        tell(kLibraryFullText);
        return false;
    }
    changed(*name);
    return true;
}

bool LibraryEditorWindow::duplicate() {
    if (!access_->contains(current_) || !settlePendingEdit())
        return false;
    const std::optional<std::string> name = access_->duplicate(current_);
    if (!name) {
        tell(kLibraryFullText);
        return false;
    }
    changed(*name);
    return true;
}

bool LibraryEditorWindow::apply() {
    if (!access_->contains(current_) || !applyPane())
        return false;
    context_.main.refreshAll();
    return true;
}

bool LibraryEditorWindow::deleteEntry() {
    const LibraryAccess::Removal removal = access_->remove(current_);
    if (removal.deleted)
        changed(removal.select);
    return removal.deleted;
}

void LibraryEditorWindow::loadFiles(const std::vector<std::filesystem::path>& files) {
    if (files.empty())
        return;
    context_.app.formulaLibraries().loadFiles(access_->kind(), files, frontend());
    refresh(); // an edit in progress stays
    context_.main.refreshAll();
}

void LibraryEditorWindow::loadFromRequester() {
    const LibraryKindInfo& info = libraryKindInfo(access_->kind());
    const QStringList chosen = QFileDialog::getOpenFileNames(
        this, tr("Load"), fromPath(context_.app.settings().paths.formulaSaveDir),
        toQString(info.filter) + QStringLiteral(";;*"));
    std::vector<std::filesystem::path> files;
    for (const QString& file : chosen)
        files.push_back(toPath(file));
    loadFiles(files);
}

LibrarySaveResult LibraryEditorWindow::save() {
    if (!access_->contains(current_) || !settlePendingEdit())
        return LibrarySaveResult::Cancelled;
    return access_->save(current_);
}

LibrarySaveResult LibraryEditorWindow::saveAll() {
    if (!settlePendingEdit())
        return LibrarySaveResult::Cancelled;
    return access_->saveAll();
}

bool LibraryEditorWindow::rename(const std::string& name, const std::string& newName) {
    if (!isStorableEntryName(newName)) {
        tell(withName(kBadNameText, newName));
        fillList(access_->names());
        return false;
    }
    const std::optional<std::string> renamed = access_->rename(name, newName);
    if (renamed && current_ == name)
        current_ = *renamed;
    fillList(access_->names());
    context_.main.refreshAll();
    return renamed.has_value() && *renamed != name;
}

bool LibraryEditorWindow::storable(std::string_view text) {
    if (text.find('}') == std::string_view::npos)
        return true;
    tell(kClosingBraceText);
    return false;
}

void LibraryEditorWindow::tell(std::string_view text) {
    frontend().messageBox(title_, text, MessageButtons::Ok, MessageIcon::Information);
}

Frontend& LibraryEditorWindow::frontend() {
    return context_.app.frontend();
}

} // namespace vortimax::ui
