#include "ui/tool_windows/ifs_editor_window.h"

#include "app/library_access.h"
#include "ui/qt_text.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QMetaObject>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace vortimax::ui {

namespace {

constexpr int kIfsEditorWindowId = 920;
constexpr std::string_view kIfsEditorTitle = "IFS editor";
constexpr std::string_view kBasicName = "Basic";

constexpr const char* kElementHeaders[kIfsElementCount] = {
    "m11", "m12", "m13", "m21", "m22", "m23", "m31", "m32", "m33", "v1", "v2", "v3", "p"};

// A line break would split the transformation's line in a library file.
constexpr std::string_view kControlCharacterText =
    "An element cannot hold line breaks or other control characters; nothing was changed.";

bool hasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 32; });
}

} // namespace

std::unique_ptr<IfsEntry> newBasicIfs() {
    auto entry = std::make_unique<IfsEntry>();
    entry->name = kBasicName;
    return entry;
}

IfsEditorWindow::IfsEditorWindow(UiContext& context, QWidget* parent)
    : LibraryEditorWindow(context, kIfsEditorWindowId, kIfsEditorTitle,
                          std::make_unique<EntryLibraryAccess<IfsEntry>>(context.app, newBasicIfs),
                          parent),
      table_(new EditingView<QTableWidget>(0, static_cast<int>(kIfsElementCount), this)) {
    setPane(buildPane(), false);
}

QWidget* IfsEditorWindow::buildPane() {
    auto* pane = new QWidget(this);
    table_->setObjectName(QStringLiteral("Transforms"));
    QStringList headers;
    for (const char* header : kElementHeaders)
        headers << QString::fromLatin1(header);
    table_->setHorizontalHeaderLabels(headers);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Taken once the table has finished with the cell.
    connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        const auto row = static_cast<std::size_t>(item->row());
        const auto column = static_cast<std::size_t>(item->column());
        const std::string text = toStdString(item->text().trimmed());
        QMetaObject::invokeMethod(
            this, [this, row, column, text] { editElement(row, column, text); },
            Qt::QueuedConnection);
    });
    auto* add = new QPushButton(tr("Add transformation"), pane);
    auto* remove = new QPushButton(tr("Remove transformation"), pane);
    add->setObjectName(QStringLiteral("AddTransform"));
    remove->setObjectName(QStringLiteral("RemoveTransform"));
    connect(add, &QPushButton::clicked, this, [this] { addTransform(); });
    connect(remove, &QPushButton::clicked, this, [this] { removeTransform(); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
    return pane;
}

EntryLibraryAccess<IfsEntry>& IfsEditorWindow::ifs() {
    return static_cast<EntryLibraryAccess<IfsEntry>&>(access());
}

void IfsEditorWindow::showEntry(const std::string& name) {
    const IfsEntry* entry = ifs().find(name);
    const QSignalBlocker blocker(table_);
    const int rows = entry != nullptr ? static_cast<int>(entry->transforms.size()) : 0;
    table_->setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        const IfsTransform& transform = entry->transforms[static_cast<std::size_t>(row)];
        for (std::size_t column = 0; column < kIfsElementCount; ++column) {
            const QString text = toQString(transform.elements[column].text);
            QTableWidgetItem* item = table_->item(row, static_cast<int>(column));
            if (item == nullptr)
                table_->setItem(row, static_cast<int>(column), new QTableWidgetItem(text));
            else if (item->text() != text)
                item->setText(text);
        }
    }
    table_->setEnabled(entry != nullptr);
}

bool IfsEditorWindow::paneBusy() const {
    return table_->isEditing();
}

bool IfsEditorWindow::editElement(std::size_t transform, std::size_t element,
                                  const std::string& text) {
    const std::string name = currentName();
    const IfsEntry* entry = ifs().find(name);
    if (entry == nullptr || transform >= entry->transforms.size() || element >= kIfsElementCount)
        return false;
    IfsElement edited = entry->transforms[transform].elements[element];
    if (edited.text == text)
        return true;
    const bool control = hasControlCharacter(text);
    if (control)
        tell(kControlCharacterText);
    if (control || !storable(text)) {
        showEntry(name); // the cell shows the element again
        return false;
    }
    const bool compiled = editIfsElement(edited, text, frontend());
    changeTransforms(
        [&](std::vector<IfsTransform>& transforms) {
            if (transform < transforms.size())
                transforms[transform].elements[element] = std::move(edited);
        },
        compiled ? AfterEntryChange::Recalculate : AfterEntryChange::Resume);
    return compiled;
}

bool IfsEditorWindow::addTransform() {
    IfsTransform added;
    setIfsElement(added.elements[kIfsM33], "1", nullptr);
    return changeTransforms(
        [&](std::vector<IfsTransform>& transforms) { transforms.push_back(std::move(added)); },
        AfterEntryChange::Recalculate);
}

bool IfsEditorWindow::removeTransform() {
    const int row = table_->currentRow();
    if (row < 0)
        return false;
    return changeTransforms(
        [row](std::vector<IfsTransform>& transforms) {
            if (static_cast<std::size_t>(row) < transforms.size())
                transforms.erase(transforms.begin() + row);
        },
        AfterEntryChange::Recalculate);
}

bool IfsEditorWindow::changeTransforms(
    const std::function<void(std::vector<IfsTransform>&)>& change, AfterEntryChange after) {
    IfsEntry* entry = ifs().find(currentName());
    if (entry == nullptr)
        return false;
    changeLibraryEntry(context_.app, LibraryKind::Ifs, entry->name, after,
                       [&] { change(entry->transforms); });
    changed(currentName());
    return true;
}

} // namespace vortimax::ui
