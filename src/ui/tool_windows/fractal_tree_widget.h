#pragma once

#include <QTreeWidget>
#include <functional>

namespace vortimax::ui {

// The tree control of the fractal tree window. It never moves its own items: a drop of
// one of its nodes and the Delete key are handed to the window, which asks the workspace
// and then rebuilds the tree.
class FractalTree final : public QTreeWidget {
public:
    using DropHandler = std::function<void(QTreeWidgetItem* source, QTreeWidgetItem* target)>;
    using ItemHandler = std::function<void(QTreeWidgetItem* item)>;

    explicit FractalTree(QWidget* parent);

    void setDropHandler(DropHandler handler) { onDrop_ = std::move(handler); }
    void setDeleteHandler(ItemHandler handler) { onDelete_ = std::move(handler); }
    // A name is being typed in place.
    bool isEditing() const { return state() == QAbstractItemView::EditingState; }

protected:
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    DropHandler onDrop_;
    ItemHandler onDelete_;
};

} // namespace vortimax::ui
