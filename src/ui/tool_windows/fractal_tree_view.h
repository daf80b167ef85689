#pragma once

#include "model/workspace.h"
#include "ui/tool_window.h"

#include <QtGlobal>
#include <set>
#include <string>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace vortimax::ui {

class FractalTree;

// "FRACTALTREE": every folder with its fractals (or key frames) in folder order. Selecting
// a node makes it current; activating a fractal calculates it; nodes are renamed in place,
// deleted with the Delete key and moved by drag and drop, always through the workspace,
// which decides what is allowed. The tree is rebuilt from the workspace when its contents
// differ from what is shown; otherwise only the highlight follows the current node.
class FractalTreeView final : public ToolWindow {
public:
    FractalTreeView(UiContext& context, QWidget* parent);
    void refresh() override;

    QTreeWidget& tree();
    // The node an item stands for, or none when it is no longer in the workspace.
    TreeNodeRef nodeOf(const QTreeWidgetItem* item) const;
    // Drops one node on another: the workspace moves the entry (or refuses), the tree
    // follows.
    MoveResult dropNode(const QTreeWidgetItem* source, const QTreeWidgetItem* target);

private:
    // One row as shown: identity, text and icon.
    struct ShownNode {
        quintptr folder;
        quintptr fractal;
        std::string name;
        int icon;
        friend bool operator==(const ShownNode&, const ShownNode&) = default;
    };

    std::vector<ShownNode> workspaceNodes() const;
    void rebuild(const std::vector<ShownNode>& nodes);
    QTreeWidgetItem* createItem(const ShownNode& node, QTreeWidgetItem* folderItem);
    void highlightCurrent();
    QTreeWidgetItem* findItem(quintptr folder, quintptr fractal) const;

    void select(QTreeWidgetItem* item);
    void activate(QTreeWidgetItem* item);
    void renamed(QTreeWidgetItem* item);
    void deleteNode(QTreeWidgetItem* item);
    bool makeCurrent(const QTreeWidgetItem* item);
    void showMenu(const QPoint& position);
    void refreshLater();
    // Runs a reaction to one of the tree's signals; refreshes meanwhile wait.
    template <typename Work> void fromTreeSignal(Work work) {
        ++treeSignals_;
        work();
        --treeSignals_;
    }

    FractalTree* tree_;
    std::vector<ShownNode> shown_;
    std::set<quintptr> collapsed_;
    bool rebuilt_ = false;
    int treeSignals_ = 0;
};

} // namespace vortimax::ui
