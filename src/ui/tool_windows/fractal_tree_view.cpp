#include "ui/tool_windows/fractal_tree_view.h"

#include "app/application.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"
#include "ui/tool_windows/fractal_tree_widget.h"

#include <QAction>
#include <QMenu>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

namespace vortimax::ui {

namespace {

constexpr int kFractalTreeWindowId = 870;
constexpr int kDeleteFolderCommand = 29109;
constexpr int kDeleteFractalCommand = 29110;
constexpr int kDuplicateCommand = 29134;
constexpr int kCalculateButton = 206;

constexpr int kFolderRole = Qt::UserRole;
constexpr int kFractalRole = Qt::UserRole + 1;

enum NodeIcon { kProjectIcon, kAnimationIcon, kFractalIcon, kOpenFractalIcon, kKeyFrameIcon };

// The picture of each kind of node, by NodeIcon.
constexpr QStyle::StandardPixmap kIcons[] = {
    QStyle::SP_DirIcon,          // project folder
    QStyle::SP_MediaPlay,        // animation folder
    QStyle::SP_FileIcon,         // fractal
    QStyle::SP_ComputerIcon,     // fractal shown in a window
    QStyle::SP_MediaSeekForward, // key frame of an animation
};

int folderIcon(const Folder& folder) {
    return folder.isAnimation() ? kAnimationIcon : kProjectIcon;
}

int fractalIcon(const FractalRecord& record) {
    if (record.entryKind == kEntryKeyFrame)
        return kKeyFrameIcon;
    return record.view != nullptr ? kOpenFractalIcon : kFractalIcon;
}

quintptr keyOf(const void* node) {
    return reinterpret_cast<quintptr>(node);
}

quintptr folderKey(const QTreeWidgetItem* item) {
    return item->data(0, kFolderRole).value<quintptr>();
}

quintptr fractalKey(const QTreeWidgetItem* item) {
    return item->data(0, kFractalRole).value<quintptr>();
}

} // namespace

FractalTreeView::FractalTreeView(UiContext& context, QWidget* parent)
    : ToolWindow(context, kFractalTreeWindowId, parent), tree_(new FractalTree(this)) {
    setWindowTitle(tr("Fractal tree"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tree_);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    tree_->setDropHandler(
        [this](QTreeWidgetItem* source, QTreeWidgetItem* target) { dropNode(source, target); });
    tree_->setDeleteHandler([this](QTreeWidgetItem* item) { deleteNode(item); });
    connect(tree_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { fromTreeSignal([&] { select(item); }); });
    connect(tree_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { fromTreeSignal([&] { activate(item); }); });
    connect(tree_, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item) { fromTreeSignal([&] { renamed(item); }); });
    connect(tree_, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem* item) { collapsed_.insert(folderKey(item)); });
    connect(tree_, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { collapsed_.erase(folderKey(item)); });
    connect(tree_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { showMenu(position); });
    // Changes that came while a name was being edited are shown once the editor is gone.
    connect(tree_->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this] { refreshLater(); });
    resize(240, 360);
}

QTreeWidget& FractalTreeView::tree() {
    return *tree_;
}

// --- Showing the workspace -------------------------------------------------------------

// While the tree is in the middle of one of its own signals its items must stay: the
// refresh waits until the signal is over. An open editor is left alone; its closing
// brings the refresh.
void FractalTreeView::refresh() {
    if (tree_->isEditing())
        return;
    if (treeSignals_ > 0) {
        refreshLater();
        return;
    }
    std::vector<ShownNode> nodes = workspaceNodes();
    if (!rebuilt_ || nodes != shown_)
        rebuild(nodes);
    highlightCurrent();
}

void FractalTreeView::refreshLater() {
    QMetaObject::invokeMethod(
        this, [this] { refresh(); }, Qt::QueuedConnection);
}

// Folders in list order, each followed by its fractals in folder order.
std::vector<FractalTreeView::ShownNode> FractalTreeView::workspaceNodes() const {
    std::vector<ShownNode> nodes;
    for (const Folder& folder : context_.app.workspace().folders().all()) {
        nodes.push_back({keyOf(&folder), 0, folder.name(), folderIcon(folder)});
        for (const FractalRecord& record : folder.fractals().all())
            nodes.push_back({keyOf(&folder), keyOf(&record), record.name, fractalIcon(record)});
    }
    return nodes;
}

void FractalTreeView::rebuild(const std::vector<ShownNode>& nodes) {
    const QSignalBlocker blocker(tree_);
    const int scroll = tree_->verticalScrollBar()->value();
    std::set<quintptr> stillCollapsed;
    tree_->clear();
    QTreeWidgetItem* folderItem = nullptr;
    for (const ShownNode& node : nodes) {
        QTreeWidgetItem* item = createItem(node, node.fractal == 0 ? nullptr : folderItem);
        if (node.fractal != 0)
            continue;
        folderItem = item;
        if (collapsed_.contains(node.folder))
            stillCollapsed.insert(node.folder);
    }
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = tree_->topLevelItem(i);
        item->setExpanded(!stillCollapsed.contains(folderKey(item)));
    }
    collapsed_ = std::move(stillCollapsed);
    tree_->verticalScrollBar()->setValue(scroll);
    shown_ = nodes;
    rebuilt_ = true;
}

QTreeWidgetItem* FractalTreeView::createItem(const ShownNode& node, QTreeWidgetItem* folderItem) {
    auto* item =
        folderItem != nullptr ? new QTreeWidgetItem(folderItem) : new QTreeWidgetItem(tree_);
    item->setText(0, toQString(node.name));
    item->setIcon(0, style()->standardIcon(kIcons[node.icon]));
    item->setData(0, kFolderRole, QVariant::fromValue(node.folder));
    item->setData(0, kFractalRole, QVariant::fromValue(node.fractal));
    if (node.icon == kAnimationIcon)
        item->setToolTip(0, tr("Animation folder"));
    item->setFlags(item->flags() | Qt::ItemIsEditable | Qt::ItemIsDragEnabled |
                   Qt::ItemIsDropEnabled);
    return item;
}

// The current fractal of the current folder is the current item (the folder itself when
// it has none); the current folder is written in bold.
void FractalTreeView::highlightCurrent() {
    const QSignalBlocker blocker(tree_);
    const Folder* folder = context_.app.workspace().currentFolder();
    const FractalRecord* fractal = folder != nullptr ? folder->currentFractal() : nullptr;
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = tree_->topLevelItem(i);
        QFont font = item->font(0);
        font.setBold(folderKey(item) == keyOf(folder));
        item->setFont(0, font);
    }
    QTreeWidgetItem* current = findItem(keyOf(folder), keyOf(fractal));
    if (current == nullptr)
        current = findItem(keyOf(folder), 0);
    if (current != tree_->currentItem())
        tree_->setCurrentItem(current);
}

QTreeWidgetItem* FractalTreeView::findItem(quintptr folder, quintptr fractal) const {
    if (folder == 0)
        return nullptr;
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* folderItem = tree_->topLevelItem(i);
        if (folderKey(folderItem) != folder)
            continue;
        if (fractal == 0)
            return folderItem;
        for (int j = 0; j < folderItem->childCount(); ++j)
            if (fractalKey(folderItem->child(j)) == fractal)
                return folderItem->child(j);
        return nullptr;
    }
    return nullptr;
}

// Items only carry addresses: a node counts when the workspace still holds it.
TreeNodeRef FractalTreeView::nodeOf(const QTreeWidgetItem* item) const {
    if (item == nullptr)
        return {};
    for (Folder& folder : context_.app.workspace().folders().all()) {
        if (keyOf(&folder) != folderKey(item))
            continue;
        if (fractalKey(item) == 0)
            return {&folder, nullptr};
        for (FractalRecord& record : folder.fractals().all())
            if (keyOf(&record) == fractalKey(item))
                return {&folder, &record};
        return {};
    }
    return {};
}

// --- What the person does ---------------------------------------------------------------

bool FractalTreeView::makeCurrent(const QTreeWidgetItem* item) {
    const TreeNodeRef node = nodeOf(item);
    Workspace& workspace = context_.app.workspace();
    if (node.fractal != nullptr)
        workspace.selectFractal(*node.fractal);
    else if (node.folder != nullptr)
        workspace.selectFolder(*node.folder);
    return node.folder != nullptr;
}

void FractalTreeView::select(QTreeWidgetItem* item) {
    if (makeCurrent(item))
        context_.app.notify(ApplicationChange::Menus);
}

// Double click or Enter on a fractal: its window opens (or its calculation goes on).
void FractalTreeView::activate(QTreeWidgetItem* item) {
    if (nodeOf(item).fractal != nullptr && makeCurrent(item))
        context_.main.runToolbarButton(kCalculateButton);
}

// The workspace keeps names short and unique; the tree then shows the name it gave. An
// emptied name keeps the old one.
void FractalTreeView::renamed(QTreeWidgetItem* item) {
    const TreeNodeRef node = nodeOf(item);
    const std::string text = toStdString(item->text(0).trimmed());
    Workspace& workspace = context_.app.workspace();
    if (!text.empty() && node.fractal != nullptr)
        workspace.renameFractal(*node.fractal, text);
    else if (!text.empty() && node.folder != nullptr)
        workspace.renameFolder(*node.folder, text);
    // The item shows what was typed: it is written anew even when no name changed.
    rebuilt_ = false;
    QMetaObject::invokeMethod(
        this, [this] { context_.main.refreshAll(); }, Qt::QueuedConnection);
}

// The delete commands ask their questions and refuse what may not go.
void FractalTreeView::deleteNode(QTreeWidgetItem* item) {
    const TreeNodeRef node = nodeOf(item);
    if (!makeCurrent(item))
        return;
    context_.main.runCommand(node.fractal != nullptr ? kDeleteFractalCommand
                                                     : kDeleteFolderCommand);
}

MoveResult FractalTreeView::dropNode(const QTreeWidgetItem* source, const QTreeWidgetItem* target) {
    const MoveResult result = context_.app.workspace().dropTreeNode(nodeOf(source), nodeOf(target));
    if (result == MoveResult::Moved)
        context_.app.notify(ApplicationChange::Menus);
    refresh();
    return result;
}

void FractalTreeView::showMenu(const QPoint& position) {
    const QTreeWidgetItem* clicked = tree_->itemAt(position);
    const TreeNodeRef node = nodeOf(clicked);
    if (node.folder == nullptr)
        return;
    const quintptr folder = folderKey(clicked);
    const quintptr fractal = fractalKey(clicked);
    QMenu menu(this);
    QAction* calculate = menu.addAction(tr("Calculate"));
    QAction* rename = menu.addAction(tr("Rename"));
    QAction* duplicate = menu.addAction(tr("Duplicate"));
    QAction* remove = menu.addAction(tr("Delete"));
    remove->setShortcut(QKeySequence::Delete);
    calculate->setEnabled(node.fractal != nullptr);
    duplicate->setEnabled(node.fractal != nullptr);
    const QAction* chosen = menu.exec(tree_->viewport()->mapToGlobal(position));
    // While the menu was open the tree may have been rebuilt: look the node up again.
    QTreeWidgetItem* item = findItem(folder, fractal);
    if (chosen == nullptr || nodeOf(item).folder == nullptr)
        return;
    if (chosen == calculate) {
        activate(item);
    } else if (chosen == rename) {
        tree_->editItem(item);
    } else if (chosen == duplicate) {
        if (makeCurrent(item))
            context_.main.runCommand(kDuplicateCommand);
    } else if (chosen == remove) {
        deleteNode(item);
    }
}

} // namespace vortimax::ui
